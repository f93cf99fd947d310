#include "app/application.h"

#include <QGuiApplication>

#ifndef KORVANE_VERSION
#define KORVANE_VERSION "unknown"
#endif

static void initResources()
{
    Q_INIT_RESOURCE(korvane);
}

namespace app {

QIcon programIcon()
{
    initResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/korvane/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

void setUpApplication()
{
    QGuiApplication::setApplicationName(QStringLiteral("Korvane"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Korvane"));
    QGuiApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));
    // Lets a Wayland compositor find the desktop entry, and with it the icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
    QGuiApplication::setWindowIcon(programIcon());
}

} // namespace app
