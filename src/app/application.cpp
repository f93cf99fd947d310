#include "app/application.h"

#include "platform/buttonicons.h"

#include <QGuiApplication>
#include <QPixmap>

#ifndef KORVANE_VERSION
#define KORVANE_VERSION "unknown"
#endif

static void initResources()
{
    Q_INIT_RESOURCE(korvane);
}

namespace app {

QList<QImage> programIconImages()
{
    static const QList<QImage> images = [] {
        initResources();
        // Read as PNG: QIcon::addFile would first ask every icon-engine and
        // image-format plugin whether it knows the file.
        QList<QImage> read;
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            read << platform::pngPicture(QStringLiteral(":/korvane/icons/%1.png").arg(size));
        return read;
    }();
    return images;
}

QIcon programIcon()
{
    QIcon icon;
    for (const QImage &image : programIconImages())
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

void setUpApplication()
{
    // No display name of its own: Qt would append it to every window title
    // that does not end with it ("Error — Korvane").  Where a display name
    // is asked for, Qt gives the application name.
    QGuiApplication::setApplicationName(QStringLiteral("Korvane"));
    QGuiApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));
    // Lets a Wayland compositor find the desktop entry, and with it the icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
}

void setProgramIcon()
{
    QGuiApplication::setWindowIcon(programIcon());
}

} // namespace app
