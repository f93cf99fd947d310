#pragma once

#include <QDialog>

// The data window: the three tables in editable grids and the CSV export.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
};
