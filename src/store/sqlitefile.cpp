#include "store/sqlitefile.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

namespace store {

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.data());
}

QString quoted(const QString &identifier)
{
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QString errorText(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

LayoutCheck checkLayout(const QSqlDatabase &db, const Layout &layout)
{
    LayoutCheck check;
    QSqlQuery query(db);
    // The pragma itself rather than its table-valued form: the same rows
    // (cid, name, type, notnull, dflt_value, pk) without a virtual table.
    if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(layout.tableName)))) {
        check.result = LayoutCheck::Result::Unreadable;
        check.error = query.lastError();
        return check;
    }
    bool keyIsInteger = false;
    while (query.next()) {
        if (check.fields.isEmpty()) {
            keyIsInteger = query.value(2).toString().compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0
                && query.value(5).toInt() == 1;
        }
        check.fields << query.value(1).toString();
    }
    if (query.lastError().isValid()) {
        check.result = LayoutCheck::Result::Unreadable;
        check.error = query.lastError();
        return check;
    }
    bool same = check.fields.size() == layout.fields.size();
    for (int i = 0; same && i < check.fields.size(); ++i)
        same = check.fields.at(i).compare(layout.fields.at(i).name, Qt::CaseInsensitive) == 0;
    if (check.fields.isEmpty())
        check.result = LayoutCheck::Result::NoTable;
    else if (!same)
        check.result = LayoutCheck::Result::OtherFields;
    else if (!keyIsInteger)
        check.result = LayoutCheck::Result::KeyNotInteger;
    return check;
}

} // namespace store
