#pragma once

#include <memory>

class THauptform;
class TForm1;
class TForm4;

namespace app {

// The program's windows, created once at start and kept to its end.  The
// main window owns the tables; the other two reach them through it.
struct Windows {
    std::unique_ptr<THauptform> main;
    std::unique_ptr<TForm1> clock;
    std::unique_ptr<TForm4> data;
    ~Windows();
};

// The start of the program: opens the three tables in the working folder
// and shows the main window; a table that cannot be opened is reported in a
// box and nothing is returned, before any window was shown.  The clock and
// data windows are built in the event loop's first turn after that, so the
// main window shows without waiting for them (the menu builds them itself
// should it be used first).  Needs a QApplication.
std::unique_ptr<Windows> start();

} // namespace app
