#pragma once

#include <QWidget>

class QToolButton;

namespace data {

class DBGrid;

// A row of buttons that moves through, edits, adds and deletes the records
// of one grid.
class DBNavigator : public QWidget {
    Q_OBJECT
public:
    DBNavigator(DBGrid *grid, Qt::Orientation orientation, QWidget *parent = nullptr);

    // The buttons, by their object names: First, Prior, Next, Last, Insert,
    // Delete, Edit, Post, Cancel, Refresh.
    QToolButton *button(const QString &name) const;

public slots:
    void first();
    void prior();
    void next();
    void last();
    void insertRecord();
    void deleteRecord();
    void editRecord();
    void post();
    void cancel();
    void refresh();

private:
    void move(int row);

    DBGrid *m_grid;
};

} // namespace data
