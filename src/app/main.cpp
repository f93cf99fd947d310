#include "app/hauptform.h"
#include "clock/tform1.h"
#include "data/tform4.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));

    THauptform hauptform;
    TForm1 clockWindow(nullptr, &hauptform);
    TForm4 dataWindow(&hauptform);
    hauptform.setWindows(&clockWindow, &dataWindow);

    hauptform.show();
    return app.exec();
}
