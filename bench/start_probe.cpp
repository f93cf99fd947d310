// Korvane's start as the program runs it (the same function as main), in the
// current folder, ending when the shown main window answers its first input.  Run by
// bench_startup.

#include "app/hauptform.h"
#include "app/startup.h"
#include "firstpaint.h"

int main(int, char *argv[])
{
    // The current folder, whatever folder was last chosen in the window.
    app::CommandLine commandLine;
    commandLine.folder = QStringLiteral(".");
    return app::runWindows(argv, commandLine, [](THauptform &main) { new QuitWhenAnswering(&main); });
}
