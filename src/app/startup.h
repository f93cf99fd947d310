#pragma once

#include "app/commandline.h"

#include <QString>

#include <functional>
#include <memory>

class THauptform;
class TForm1;
class TForm4;

#include "store/serveraddress.h"

namespace app {

// The program's windows, created once at start and kept to its end.  The
// main window owns the tables and the two other windows, and destroys those
// windows before its tables.
struct Windows {
    std::unique_ptr<THauptform> main;
    ~Windows();
    // Null until they are built.
    TForm1 *clock() const;
    TForm4 *data() const;
};

// The start of the program: opens the three tables in the working folder
// and shows the main window maximised; a table that cannot be opened is
// reported in a box and nothing is returned, before any window was shown.
// The clock and data windows are built in the event loop's first turn after
// that, so the main window shows without waiting for them (the menu builds
// them itself should it be used first).  Needs a QApplication.
std::unique_ptr<Windows> start();
// The same on the tables of a database server.  A server that cannot be
// reached is said with its reason, and the user may choose to work in the
// local folder instead (`useFolderInstead` is then set and nothing is
// returned).  A password the server asks for is asked for in a box.
std::unique_ptr<Windows> start(store::ServerAddress server, bool *useFolderInstead = nullptr);

// The program's run with windows, from before the toolkit is up to the end
// of its event loop; returns the exit status.  Speaks the language the
// command line or the system asks for, works in its folder (the current
// folder when none is given), offers tables of the older kind there for
// conversion, then starts as start() does.  `started`, when given, is
// called with the main window as soon as it was shown.
int runWindows(char *argv[], const CommandLine &commandLine,
               const std::function<void(THauptform &)> &started = {});

} // namespace app
