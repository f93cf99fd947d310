#include "clock/tform1.h"

TForm1::TForm1(store::TrainingTables *, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Korvane"));
}
