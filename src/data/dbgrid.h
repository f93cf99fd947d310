#pragma once

#include <QPointer>
#include <QHash>
#include <QSqlTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

namespace store { class Table; }

namespace data {

// A table of the store as the grids show it: all rows in ascending key order,
// fetched as the user scrolls, edits stored when the user moves to another
// row or posts.  The key is assigned by the store and cannot be edited.
class TableModel : public QSqlTableModel {
    Q_OBJECT
public:
    TableModel(store::Table &table, QObject *parent = nullptr);
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool submit() override;
    // Reading on past rows that a damaged file could not give stops the rows
    // there; that is reported (readFailed) instead of passing for the end.
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;
    // Why the rows read so far end early: the store's message naming the
    // file; empty while every row read could be read.
    QString readError() const;
    bool select() override;
    QString tableName() const { return m_tableName; }
    store::Table &table() const { return m_table; }
    // The key the store gave the record inserted last on this connection.
    qint64 lastInsertedKey() const;

protected:
    // Changes go only to the record as it was read: a record that another
    // station changed or deleted meanwhile is not overwritten, and the
    // change is refused with a message that says so.
    bool updateRowInTable(int row, const QSqlRecord &values) override;
    bool deleteRowFromTable(int row) override;

signals:
    // The rows end early because the file could not be read past them; sent
    // once per reading of the table.
    void readFailed(const QString &message);

private:
    void reportReadError();
    // The record at `row` as it was read, and the condition that finds it
    // only while it is unchanged.
    // `stored` receives the values compared with.
    QString unchangedCondition(int row, QVariantList &bindings, QVariantList *stored = nullptr) const;
    bool refuseChanged(int row);
    // Runs an update or deletion whose condition finds the record at `row`
    // only while it is unchanged; no record found is refused.
    bool changeUnchanged(int row, const QString &statement, const QVariantList &bindings);

    store::Table &m_table;

    QString m_tableName;
    bool m_readErrorReported = false;
    // The values this model stored last in a record, by its key, until the
    // table is read anew: the base model still holds the values first read.
    QHash<qint64, QVariantList> m_storedValues;
};

// Column headings in the program's language: the field names in English,
// display titles in German.  The fields keep their names.
void setDisplayTitles(TableModel &model);

// Remembers the cell editor that is open, so that the grid can commit it.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    QWidget *openEditor() const { return m_editor; }

private:
    mutable QPointer<QWidget> m_editor;
};

// An editable grid over one table.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget *parent = nullptr);
    void setTableModel(TableModel *model);
    TableModel *tableModel() const { return m_model; }

    int currentRow() const;
    // Makes `row` current, fetching rows up to it; clamped to the rows there are.
    void goToRow(int row);
    // Hands an open cell editor's text to the model.
    void commitEdit();
    // Closes an open cell editor without keeping its text.
    void discardEdit();
    // Stores every pending change of the grid; a refusal throws
    // core::Failure with the store's reason and keeps the change.
    void postPending();
    bool hasPendingChanges() const;
    // Reads the table anew and stands on the record it stood on, found by
    // its key; on the same row number when that record is gone; on the first
    // record when it stood on none.
    void refresh();
    // The key of the current record; -1 on none or on a begun record.
    qint64 currentKey() const;
    // Makes the record with `key` current, fetching rows up to it; false
    // when no row has it.
    bool goToKey(qint64 key);
    // Begins a new, empty record at the current row and opens its first
    // editable cell; a pending change is stored first.
    void insertRecord();
    // Drops every pending change and any begun record.
    void cancelChanges();
    // Deletes the current record at once (a begun record is just dropped).
    void deleteCurrent();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void postAfterRowChange();
    void showReadError(const QString &message);
    // Throws the error of a refused change: the store's explanation of a
    // removed or replaced file, or the model's reason.
    [[noreturn]] void failChange(const QString &what, const QString &reason) const;

    TableModel *m_model = nullptr;
    GridDelegate *m_delegate = nullptr;
    bool m_postQueued = false;
    int m_insertRow = -1;   // the row of a begun record, -1 when none
};

} // namespace data
