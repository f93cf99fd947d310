// Qt keeps the JIT stack of its regular expressions in a thread_local
// object.  Built with MinGW, whose thread-local storage is emulated, that
// object's destructor runs after the thread's storage has been freed, and
// reads a stale pointer: every thread that had matched a JIT-compiled
// expression (the tables opened aside, the thread pool's workers) crashed
// the program when it ended.  The interpreter keeps no such object, so
// Korvane matches without the JIT on Windows.  Qt reads the switch when it
// first compiles an expression, which is after this runs (before main()).

#include <QByteArray>
#include <QtGlobal>

extern "C" {
// Named on every link line (src/CMakeLists.txt), so that the linker takes
// this file from the library although nothing calls into it.
extern const bool korvane_regexWithoutJit;
const bool korvane_regexWithoutJit = qputenv("QT_ENABLE_REGEXP_JIT", QByteArrayLiteral("0"));
}
