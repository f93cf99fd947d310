#include "data/dbgrid.h"

#include "core/errors.h"
#include "platform/guard.h"
#include "platform/messages.h"
#include "store/table.h"
#include "store/testnotes.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSqlRecord>
#include <QSqlError>
#include <QSqlQuery>

namespace data {

TableModel::TableModel(store::Table &table, QObject *parent)
    : QSqlTableModel(parent, table.database())
    , m_table(table)
    , m_tableName(table.tableName())
{
    setEditStrategy(QSqlTableModel::OnRowChange);
    setTable(table.tableName());
    setSort(0, Qt::AscendingOrder);
}

bool TableModel::submit()
{
    // The views call this whenever their current row changes or an editor
    // closes, also while rows are being removed.  The grid decides itself
    // when a change is stored (DBGrid::postPending), so nothing happens here.
    return true;
}

void TableModel::fetchMore(const QModelIndex &parent)
{
    QSqlTableModel::fetchMore(parent);
    reportReadError();
}

bool TableModel::select()
{
    m_readErrorReported = false;
    m_storedValues.clear();
    bool selected = QSqlTableModel::select();
    // A server restarted while the window stood open: read on a new
    // connection.
    if (!selected && m_table.reconnectIfLost())
        selected = QSqlTableModel::select();
    if (selected)
        reportReadError();
    return selected;
}

void TableModel::reportReadError()
{
    if (m_readErrorReported || !query().lastError().isValid())
        return;
    m_readErrorReported = true;
    emit readFailed(readError());
}

QString TableModel::readError() const
{
    const QSqlError error = query().lastError();
    if (!error.isValid())
        return QString();
    return tr("\"%1\" could not be read to its end: %2")
        .arg(m_table.fileName(),
             m_table.reasonOf(error));
}

QString TableModel::unchangedCondition(int row, QVariantList &bindings, QVariantList *stored) const
{
    const bool onServer = m_table.onServer();
    QStringList conditions;
    const QSqlRecord fields = QSqlQueryModel::record();
    // The base model answers from what was read, not from the edits; what
    // this model stored since then stands in the table now.
    const auto storedHere = m_storedValues.constFind(QSqlQueryModel::data(index(row, 0), Qt::EditRole).toLongLong());
    for (int column = 0; column < fields.count(); ++column) {
        const QVariant read = storedHere != m_storedValues.cend() && column < storedHere->size()
                                  ? storedHere->at(column)
                                  : QSqlQueryModel::data(index(row, column), Qt::EditRole);
        if (stored)
            stored->append(read);
        const QString name = QLatin1Char('"') + fields.fieldName(column) + QLatin1Char('"');
        if (read.isNull()) {
            conditions << name + QStringLiteral(" IS NULL");
        } else {
            conditions << name + (onServer ? QStringLiteral(" IS NOT DISTINCT FROM ?") : QStringLiteral(" IS ?"));
            bindings << read;
        }
    }
    return conditions.join(QStringLiteral(" AND "));
}

bool TableModel::refuseChanged(int row)
{
    const QVariant key = QSqlQueryModel::data(index(row, 0), Qt::EditRole);
    QSqlQuery still(database());
    still.prepare(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE \"%2\" = ?")
                      .arg(m_tableName, m_table.layout().key().name));
    still.addBindValue(key);
    const bool deleted = still.exec() && still.next() && still.value(0).toInt() == 0;
    const QString why = deleted
        ? tr("record %1 was deleted at another station meanwhile; your change is still in the grid, Refresh shows "
             "the table as it is stored now").arg(key.toString())
        : tr("record %1 was changed at another station meanwhile; your change was not stored over it and is still in "
             "the grid, Refresh shows the record as it is stored now").arg(key.toString());
    setLastError(QSqlError(why, QString(), QSqlError::TransactionError));
    return false;
}

bool TableModel::updateRowInTable(int row, const QSqlRecord &values)
{
    QStringList assignments;
    QVariantList bindings;
    for (int i = 0; i < values.count(); ++i) {
        if (!values.isGenerated(i))
            continue;
        assignments << QLatin1Char('"') + values.fieldName(i) + QStringLiteral("\" = ?");
        bindings << values.value(i);
    }
    if (assignments.isEmpty())
        return true;
    QVariantList now;
    const QString where = unchangedCondition(row, bindings, &now);
    if (!changeUnchanged(row, QStringLiteral("UPDATE \"%1\" SET %2 WHERE %3").arg(m_tableName, assignments.join(QLatin1Char(',')), where),
                         bindings))
        return false;
    for (int i = 0; i < values.count() && i < now.size(); ++i) {
        if (values.isGenerated(i))
            now[i] = values.value(i);
    }
    m_storedValues.insert(QSqlQueryModel::data(index(row, 0), Qt::EditRole).toLongLong(), now);
    return true;
}

bool TableModel::deleteRowFromTable(int row)
{
    QVariantList bindings;
    const QString where = unchangedCondition(row, bindings);
    const QString statement = QStringLiteral("DELETE FROM \"%1\" WHERE %2").arg(m_tableName, where);
    if (m_tableName != store::testTableLayout().tableName)
        return changeUnchanged(row, statement, bindings);
    // A test's note goes with it in one transaction: a test stored later
    // under the same number never finds it.
    QSqlDatabase db = database();
    const qint64 testnr = QSqlQueryModel::data(index(row, 0), Qt::EditRole).toLongLong();
    if (!db.transaction()) {
        setLastError(db.lastError());
        return false;
    }
    if (!changeUnchanged(row, statement, bindings)) {
        db.rollback();
        return false;
    }
    const QSqlError removed = store::removeTestNotes(db, testnr);
    if (removed.isValid() || !db.commit()) {
        setLastError(removed.isValid() ? removed : db.lastError());
        db.rollback();
        return false;
    }
    return true;
}

bool TableModel::changeUnchanged(int row, const QString &statement, const QVariantList &bindings)
{
    QSqlQuery change(database());
    change.prepare(statement);
    for (const QVariant &value : bindings)
        change.addBindValue(value);
    if (!change.exec()) {
        setLastError(change.lastError());
        return false;
    }
    return change.numRowsAffected() == 1 || refuseChanged(row);
}

qint64 TableModel::lastInsertedKey() const
{
    QSqlQuery last(database());
    const QString statement = m_table.onServer() ? QStringLiteral("SELECT lastval()") : QStringLiteral("SELECT last_insert_rowid()");
    if (last.exec(statement) && last.next())
        return last.value(0).toLongLong();
    return -1;
}

Qt::ItemFlags TableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QSqlTableModel::flags(index);
    if (index.column() == 0)
        result &= ~Qt::ItemIsEditable;
    return result;
}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    m_editor = editor;
    return editor;
}

DBGrid::DBGrid(QWidget *parent)
    : QTableView(parent)
    , m_delegate(new GridDelegate(this))
{
    setItemDelegate(m_delegate);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(20);
}

void DBGrid::setTableModel(TableModel *model)
{
    m_model = model;
    setModel(model);
    // Rows are read while the view scrolls; a box is shown after that, not
    // inside it.
    connect(model, &TableModel::readFailed, this, &DBGrid::showReadError, Qt::QueuedConnection);
}

void DBGrid::showReadError(const QString &message)
{
    platform::messageBoxes().error(this, message);
}

int DBGrid::currentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void DBGrid::goToRow(int row)
{
    if (!m_model)
        return;
    while (row >= m_model->rowCount() && m_model->canFetchMore())
        m_model->fetchMore();
    row = std::min(row, m_model->rowCount() - 1);
    if (row < 0)
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    setCurrentIndex(m_model->index(row, column));
    scrollTo(currentIndex());
}

void DBGrid::commitEdit()
{
    QWidget *editor = m_delegate->openEditor();
    if (editor && state() == QAbstractItemView::EditingState) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DBGrid::discardEdit()
{
    QWidget *editor = m_delegate->openEditor();
    if (editor && state() == QAbstractItemView::EditingState)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

bool DBGrid::hasPendingChanges() const
{
    return m_model && m_model->isDirty();
}

void DBGrid::postPending()
{
    commitEdit();
    if (m_insertRow >= 0 && m_model) {
        // A begun record that nothing was typed into is dropped, not stored.
        // An editor opened and left empty counts as nothing typed.
        const QSqlRecord record = m_model->record(m_insertRow);
        bool typed = false;
        for (int i = 1; i < record.count(); ++i)
            typed = typed || (record.isGenerated(i) && !record.value(i).toString().isEmpty());
        if (!typed) {
            m_model->revertRow(m_insertRow);
            m_insertRow = -1;
        }
    }
    if (!hasPendingChanges())
        return;
    const int row = currentRow();
    const bool inserted = m_insertRow >= 0 && row == m_insertRow;
    qint64 key = currentKey();
    m_model->table().ensureConnection();
    m_model->table().aboutToWrite();
    if (!m_model->submitAll())
        failChange(tr("The change in \"%1\" could not be stored"), m_model->lastError().text());
    m_insertRow = -1;
    if (inserted)
        key = m_model->lastInsertedKey();
    // Storing reads the table anew; stay on the record the user was on,
    // a new one included, wherever it sorts.
    if (key >= 0 && goToKey(key))
        return;
    if (row >= 0 && !currentIndex().isValid())
        goToRow(row);
}

void DBGrid::failChange(const QString &what, const QString &reason) const
{
    m_model->table().failIfRemovedOrReplaced();
    throw core::Failure(QStringLiteral("%1: %2").arg(what.arg(m_model->tableName()), reason));
}

qint64 DBGrid::currentKey() const
{
    const int row = currentRow();
    if (!m_model || row < 0 || row == m_insertRow)
        return -1;
    bool ok = false;
    const qint64 key = m_model->data(m_model->index(row, 0)).toLongLong(&ok);
    return ok ? key : -1;
}

bool DBGrid::goToKey(qint64 key)
{
    if (!m_model || key < 0)
        return false;
    // Rows come in ascending key order, so the record's row is the number of
    // keys below its own.
    const store::Table &table = m_model->table();
    const QString keyName = table.layout().key().name;
    QSqlQuery below(m_model->database());
    // A filtered grid counts only the rows it shows.
    const QString shown = m_model->filter().isEmpty() ? QString() : QStringLiteral(" AND (%1)").arg(m_model->filter());
    below.prepare(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE \"%2\" < ?%3").arg(table.tableName(), keyName, shown));
    below.addBindValue(key);
    if (!below.exec() || !below.next())
        return false;
    const int row = below.value(0).toInt();
    while (row >= m_model->rowCount() && m_model->canFetchMore())
        m_model->fetchMore();
    if (row >= m_model->rowCount() || m_model->data(m_model->index(row, 0)).toLongLong() != key)
        return false;
    goToRow(row);
    return true;
}

void DBGrid::refresh()
{
    if (!m_model)
        return;
    const int row = currentRow();
    const qint64 key = currentKey();
    if (!m_model->select()) {
        const QSqlError error = m_model->lastError();
        throw store::StoreError(
            tr("\"%1\" could not be read: %2")
                .arg(m_model->table().fileName(),
                     m_model->table().reasonOf(error)));
    }
    if (key >= 0 && goToKey(key))
        return;
    // A table read without a current record stands on its first one, so the
    // navigator's buttons act from the first click.
    goToRow(std::max(row, 0));
}

void DBGrid::insertRecord()
{
    if (!m_model)
        return;
    postPending();
    const int row = std::max(currentRow(), 0);
    if (!m_model->insertRow(row))
        failChange(tr("No record can be added to \"%1\""), m_model->lastError().text());
    m_insertRow = row;
    const QModelIndex cell = m_model->index(row, 1);
    setCurrentIndex(cell);
    scrollTo(cell);
    edit(cell);
}

void DBGrid::cancelChanges()
{
    if (!m_model)
        return;
    const int row = currentRow();
    discardEdit();
    m_model->revertAll();
    m_insertRow = -1;
    if (row >= 0)
        goToRow(row);
}

void DBGrid::deleteCurrent()
{
    if (!m_model)
        return;
    const int row = currentRow();
    if (row < 0)
        return;
    discardEdit();
    if (row == m_insertRow) {
        cancelChanges();
        return;
    }
    // Other pending changes are stored first, so that the deletion below is
    // the only change the model sends.
    postPending();
    const int target = currentRow() >= 0 ? currentRow() : row;
    m_model->table().ensureConnection();
    m_model->table().aboutToWrite();
    if (!m_model->removeRow(target) || !m_model->submitAll()) {
        const QString reason = m_model->lastError().text();
        m_model->revertAll();
        failChange(tr("The record in \"%1\" could not be deleted"), reason);
    }
    // The model keeps a deleted row on show until it reads the table anew.
    refresh();
    goToRow(target);
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    // A change left in the row the user leaves is stored now.  Storing reads
    // the table anew, which must not happen inside the view's own change of
    // the current cell, so it runs right after it.
    if (previous.isValid() && current.isValid() && current.row() != previous.row() && hasPendingChanges()
        && !m_postQueued) {
        m_postQueued = true;
        QMetaObject::invokeMethod(this, &DBGrid::postAfterRowChange, Qt::QueuedConnection);
    }
}

void DBGrid::postAfterRowChange()
{
    m_postQueued = false;
    if (!hasPendingChanges())
        return;
    // Storing stays on the record the user moved to, by its key.
    platform::runGuarded(this, [&] { postPending(); });
}

void setDisplayTitles(TableModel &model)
{
    static const char *const titles[] = {
        QT_TRANSLATE_NOOP("FieldTitles", "Testnr"), QT_TRANSLATE_NOOP("FieldTitles", "Date"),
        QT_TRANSLATE_NOOP("FieldTitles", "ProfilNr"), QT_TRANSLATE_NOOP("FieldTitles", "Name"),
        QT_TRANSLATE_NOOP("FieldTitles", "Surname"), QT_TRANSLATE_NOOP("FieldTitles", "Bodyweight"),
        QT_TRANSLATE_NOOP("FieldTitles", "Height"), QT_TRANSLATE_NOOP("FieldTitles", "Exercise"),
        QT_TRANSLATE_NOOP("FieldTitles", "Load"), QT_TRANSLATE_NOOP("FieldTitles", "StartRest"),
        QT_TRANSLATE_NOOP("FieldTitles", "FroPhase"), QT_TRANSLATE_NOOP("FieldTitles", "ToPhase"),
        QT_TRANSLATE_NOOP("FieldTitles", "RestafterFro"), QT_TRANSLATE_NOOP("FieldTitles", "RestafterTo"),
        QT_TRANSLATE_NOOP("FieldTitles", "Rep"), QT_TRANSLATE_NOOP("FieldTitles", "Sets"),
        QT_TRANSLATE_NOOP("FieldTitles", "RestSets"), QT_TRANSLATE_NOOP("FieldTitles", "TUTTotal"),
        QT_TRANSLATE_NOOP("FieldTitles", "TUTReal"), QT_TRANSLATE_NOOP("FieldTitles", "Nr"),
        QT_TRANSLATE_NOOP("FieldTitles", "Profil"),
    };
    static const QRegularExpression numbered(QStringLiteral("^(RealTime|RealR)(\\d+)$"));
    for (int column = 0; column < model.columnCount(); ++column) {
        const QString field = model.record().fieldName(column);
        QString title = field;
        if (const QRegularExpressionMatch match = numbered.match(field); match.hasMatch()) {
            title = match.captured(1) == QLatin1String("RealTime")
                ? QCoreApplication::translate("FieldTitles", "RealTime%1").arg(match.captured(2))
                : QCoreApplication::translate("FieldTitles", "RealR%1").arg(match.captured(2));
        } else {
            for (const char *known : titles) {
                if (field.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
                    title = QCoreApplication::translate("FieldTitles", known);
            }
        }
        model.setHeaderData(column, Qt::Horizontal, title);
    }
}

} // namespace data
