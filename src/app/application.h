#pragma once

#include <QIcon>

namespace app {

// The program's icon in all the sizes it ships.
QIcon programIcon();

// Gives the application object the program's name, version and icon.  Every
// window then carries the icon, and the window system shows each window's
// caption with the program's name ("Data source and export — Korvane"); a
// caption that already ends with the name stays as it is.
void setUpApplication();

} // namespace app
