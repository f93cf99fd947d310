// The baseline of the start-up benchmark: a bare Qt main window, built with
// the same flags as the program, ending when it answers its first input.

#include "firstpaint.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    new QuitWhenAnswering(&window);
    window.show();
    return app.exec();
}
