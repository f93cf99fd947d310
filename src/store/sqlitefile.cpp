#include "store/sqlitefile.h"

#include "store/table.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

namespace store {

void *driverHandle(const QSqlDatabase &db, std::initializer_list<const char *> typeNames)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid())
        return nullptr;
    for (const char *name : typeNames) {
        if (qstrcmp(handle.typeName(), name) == 0)
            return *static_cast<void *const *>(handle.data());
    }
    return nullptr;
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    return static_cast<sqlite3 *>(driverHandle(db, {"sqlite3*"}));
}

QString quoted(const QString &identifier)
{
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QString errorText(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

QSqlDatabase openTableFileReadOnly(const QString &path, const Layout &layout, const QString &connection,
                                   const QString &foreign)
{
    QString reason;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open()) {
            reason = errorText(db.lastError());
        } else {
            const LayoutCheck check = checkLayout(db, layout);
            if (check.result == LayoutCheck::Result::Unreadable)
                reason = errorText(check.error);
            else if (!check.sameFields())
                reason = foreign;
        }
        if (reason.isEmpty())
            return db;
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    throw StoreError(core::Failure::Kind::TableFile, path, reason);
}

LayoutCheck checkFieldList(QSqlQuery &query, bool ran, const Layout &layout, int nameColumn,
                           const std::function<bool(const QSqlQuery &)> &isIntegerKey, Qt::CaseSensitivity names)
{
    LayoutCheck check;
    bool keyIsInteger = false;
    if (ran) {
        while (query.next()) {
            if (check.fields.isEmpty())
                keyIsInteger = isIntegerKey(query);
            check.fields << query.value(nameColumn).toString();
        }
    }
    if (!ran || query.lastError().isValid()) {
        check.result = LayoutCheck::Result::Unreadable;
        check.error = query.lastError();
        return check;
    }
    bool same = check.fields.size() == layout.fields.size();
    for (int i = 0; same && i < check.fields.size(); ++i)
        same = check.fields.at(i).compare(layout.fields.at(i).name, names) == 0;
    if (check.fields.isEmpty())
        check.result = LayoutCheck::Result::NoTable;
    else if (!same)
        check.result = LayoutCheck::Result::OtherFields;
    else if (!keyIsInteger)
        check.result = LayoutCheck::Result::KeyNotInteger;
    return check;
}

LayoutCheck checkLayout(const QSqlDatabase &db, const Layout &layout)
{
    QSqlQuery query(db);
    // The pragma itself rather than its table-valued form: the same rows
    // (cid, name, type, notnull, dflt_value, pk) without a virtual table.
    const bool ran = query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(layout.tableName)));
    return checkFieldList(query, ran, layout, 1, [](const QSqlQuery &row) {
        return row.value(2).toString().compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0
            && row.value(5).toInt() == 1;
    }, Qt::CaseInsensitive);
}

} // namespace store
