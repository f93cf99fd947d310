#pragma once

#include <thread>

namespace platform {

// Reads the system's font configuration on a thread of its own.  The first
// text the program lays out needs it, and reading it (a few dozen XML files
// and the font caches) is the longest single step of the start; begun before
// the QApplication, it is done while the toolkit connects to the display.
// Needs no Qt object, so it may run before the application object exists.
// Racing the toolkit is harmless: fontconfig keeps one configuration, and
// should both read it at once, the second copy is dropped.
class FontConfigurationReader {
public:
    FontConfigurationReader();
    // Waits for the reading to end.
    ~FontConfigurationReader();

    FontConfigurationReader(const FontConfigurationReader &) = delete;
    FontConfigurationReader &operator=(const FontConfigurationReader &) = delete;

private:
    std::thread m_thread;
};

} // namespace platform
