#include "store/shownkeys.h"

#include "store/sqlitefile.h"
#include "store/table.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace store {

QString keepShownKeys(const Table &table, const QList<qint64> &keys)
{
    QSqlDatabase db = table.database();
    QSqlQuery query(db);
    const auto fail = [&](const QSqlError &error) {
        const QString reason = table.reasonOf(error);
        query.finish();
        db.rollback();
        table.fail(reason);
    };
    const QString createStatement = table.onServer()
        ? QStringLiteral("CREATE TEMPORARY TABLE IF NOT EXISTS korvane_shown (k BIGINT PRIMARY KEY)")
        : QStringLiteral("CREATE TEMPORARY TABLE IF NOT EXISTS korvane_shown (k INTEGER PRIMARY KEY)");
    if (!query.exec(createStatement))
        fail(query.lastError());
    if (!db.transaction())
        fail(db.lastError());
    if (!query.exec(QStringLiteral("DELETE FROM korvane_shown")))
        fail(query.lastError());
    // Many keys a statement: a filter over many tests is put in place at once.
    constexpr qsizetype perStatement = 500;
    for (qsizetype from = 0; from < keys.size(); from += perStatement) {
        const qsizetype n = std::min(perStatement, keys.size() - from);
        QStringList marks(n, QStringLiteral("(?)"));
        query.prepare(QStringLiteral("INSERT INTO korvane_shown (k) VALUES ") + marks.join(QLatin1Char(',')));
        for (qsizetype i = 0; i < n; ++i)
            query.addBindValue(keys.at(from + i));
        if (!query.exec())
            fail(query.lastError());
    }
    query.finish();
    if (!db.commit())
        fail(db.lastError());
    return QStringLiteral("%1 IN (SELECT k FROM korvane_shown)").arg(quoted(table.layout().key().name));
}

} // namespace store
