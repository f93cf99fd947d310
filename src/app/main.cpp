#include "app/hauptform.h"
#include "clock/tform1.h"
#include "data/tform4.h"

#include "platform/errors.h"
#include "platform/messages.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));

    // The main window opens the tables; one that cannot be opened ends the
    // program before any window is shown.
    std::unique_ptr<THauptform> created;
    try {
        created = std::make_unique<THauptform>();
    } catch (const platform::ActionError &error) {
        platform::messageBoxes().error(nullptr, error.message());
        return 1;
    }
    THauptform &hauptform = *created;
    TForm1 clockWindow(&hauptform.tables(), &hauptform);
    TForm4 dataWindow(hauptform.tables(), &hauptform);
    hauptform.setWindows(&clockWindow, &dataWindow);

    hauptform.show();
    return app.exec();
}
