#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

namespace app {

// The program's icon in all the sizes it ships.
QIcon programIcon();
// Its pictures, decoded on first use and kept; safe from any thread, so the
// start decodes them beside the main thread.
QList<QImage> programIconImages();

// Gives the application object the program's name and version.  The window
// system then shows each window's caption with the program's name ("Data
// source and export — Korvane"); a caption that already ends with the name
// stays as it is.
void setUpApplication();

// Gives every window, present and future, the program's icon.  Decoding its
// sizes costs the start a few milliseconds, so the start sets it once the
// main window has been painted.
void setProgramIcon();

} // namespace app
