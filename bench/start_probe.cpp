// Korvane's start as the program runs it (the same calls as main), in the current folder, ending at the first paint of the main
// window.  Run by bench_startup.

#include "app/application.h"
#include "app/hauptform.h"
#include "legacy/legacyimport.h"
#include "app/startup.h"
#include "firstpaint.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app::setUpApplication();
    if (!legacy::offerLegacyConversion(QStringLiteral("."), nullptr))
        return 1;
    const std::unique_ptr<app::Windows> windows = app::start();
    if (!windows)
        return 1;
    new QuitAtFirstPaint(windows->main.get());
    return app.exec();
}
