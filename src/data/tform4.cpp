#include "data/tform4.h"

TForm4::TForm4(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Data source and export"));
    setGeometry(1, 134, 988, 774);
}
