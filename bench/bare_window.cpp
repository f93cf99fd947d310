// The baseline of the start-up benchmark: a bare Qt main window, built with
// the same flags as the program, ending at its first paint.

#include "firstpaint.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    new QuitAtFirstPaint(&window);
    window.show();
    return app.exec();
}
