// Korvane's start as the program runs it (app::start, the function main
// calls), in the current folder, ending at the first paint of the main
// window.  Run by bench_startup.

#include "app/hauptform.h"
#include "app/startup.h"
#include "firstpaint.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    const std::unique_ptr<app::Windows> windows = app::start();
    if (!windows)
        return 1;
    new QuitAtFirstPaint(windows->main.get());
    return app.exec();
}
