#pragma once

#include <QDialog>

namespace store { class TrainingTables; }

class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(store::TrainingTables *tables = nullptr, QWidget *parent = nullptr);
    void showModal() { exec(); }
};
