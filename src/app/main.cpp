#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));

    // Tables that cannot be opened end the program before any window shows.
    const std::unique_ptr<app::Windows> windows = app::start();
    if (!windows)
        return 1;
    return app.exec();
}
