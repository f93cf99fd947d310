// Korvane's start as the program runs it (the same function as main), in the
// current folder, ending at the first paint of the main window.  Run by
// bench_startup.

#include "app/hauptform.h"
#include "app/startup.h"
#include "firstpaint.h"

int main(int, char *argv[])
{
    return app::runWindows(argv, app::CommandLine{}, [](THauptform &main) { new QuitAtFirstPaint(&main); });
}
