#include "store/query.h"

#include "store/postgres.h"
#include "store/sqlitefile.h"
#include "store/table.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <memory>

namespace store {
Query::Query(Table &table)
    : m_table(table)
{
}

Query::~Query()
{
    close();
}

void Query::close()
{
    endServerRead();
    if (m_statement)
        sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_eof = true;
    m_atFirst = false;
    m_count = 0;
}

void Query::fail() const
{
    if (!m_handle)
        m_table.fail(QCoreApplication::translate("Store", "the query cannot run"));
    m_table.fail(sqliteReason(sqlite3_extended_errcode(m_handle), QString::fromUtf8(sqlite3_errmsg(m_handle))));
}

void Query::open()
{
    close();
    static const QRegularExpression selectAll(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\S+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = selectAll.match(m_text);
    if (!match.hasMatch()
        || (match.captured(1).compare(m_table.fileName(), Qt::CaseInsensitive) != 0
            && match.captured(1).compare(m_table.tableName(), Qt::CaseInsensitive) != 0)) {
        m_table.fail(QCoreApplication::translate("Store", "the query \"%1\" is not supported").arg(m_text));
    }
    m_table.open();
    const Layout &layout = m_table.layout();
    QStringList columns;
    for (const FieldDef &field : layout.fields)
        columns << QLatin1Char('"') + field.name + QLatin1Char('"');
    const QString table = QLatin1Char('"') + layout.tableName + QLatin1Char('"');
    if (m_table.onServer()) {
        openOnServer(columns.join(QLatin1Char(',')), table);
        return;
    }

    m_handle = sqliteHandle(m_table.database());
    if (!m_handle)
        fail();

    // The rows' statement starts its read before the count runs, so both see
    // the same records whenever there are any.  Any failure on the way
    // finalizes both statements: no read is left holding the file.
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> count(nullptr, sqlite3_finalize);
    try {
        sqlite3_stmt *prepared = nullptr;
        const QByteArray countSql = QStringLiteral("SELECT COUNT(*) FROM %1").arg(table).toUtf8();
        if (sqlite3_prepare_v2(m_handle, countSql.constData(), -1, &prepared, nullptr) != SQLITE_OK)
            fail();
        count.reset(prepared);
        const QByteArray rowsSql = QStringLiteral("SELECT %1 FROM %2 ORDER BY \"%3\"")
                                       .arg(columns.join(QLatin1Char(',')), table, layout.key().name)
                                       .toUtf8();
        if (sqlite3_prepare_v2(m_handle, rowsSql.constData(), -1, &m_statement, nullptr) != SQLITE_OK)
            fail();
        m_fieldCount = layout.fields.size();
        step();   // the rows' statement holds the read lock from here on
        if (sqlite3_step(count.get()) != SQLITE_ROW)
            fail();
        m_count = sqlite3_column_int64(count.get(), 0);
    } catch (...) {
        close();
        throw;
    }
    m_atFirst = true;
}

void Query::openOnServer(const QString &columns, const QString &table)
{
    // The count and the rows come from one snapshot of the table, whatever
    // the other stations store meanwhile.
    QSqlDatabase db = m_table.database();
    if (!db.transaction() && !(m_table.reconnectIfLost() && db.transaction()))
        m_table.fail(errorText(db.lastError()));
    m_inServerRead = true;
    try {
        {
            // Gone before the copy starts: the driver's results must not
            // read on the connection while it copies.
            QSqlQuery count(db);
            if (!count.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"))
                || !count.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)) || !count.next())
                m_table.fail(errorText(count.lastError()));
            m_count = count.value(0).toLongLong();
        }
        m_fieldCount = int(m_table.layout().fields.size());
        m_copy = std::make_unique<CopyRows>(
            db, QStringLiteral("SELECT %1 FROM %2 ORDER BY \"%3\"").arg(columns, table, m_table.layout().key().name),
            QList<QByteArray>());
        if (!m_copy->error().isEmpty())
            m_table.fail(m_copy->error());
        stepOnServer();
    } catch (...) {
        close();
        throw;
    }
    m_atFirst = true;
}

void Query::stepOnServer()
{
    if (m_copy->next()) {
        m_eof = false;
        return;
    }
    m_eof = true;
    const QString error = m_copy->error();
    if (!error.isEmpty()) {
        close();
        m_table.fail(error);
    }
}

void Query::endServerRead()
{
    m_copy.reset();
    if (m_inServerRead) {
        m_inServerRead = false;
        m_table.database().rollback();
    }
}

void Query::step()
{
    if (m_copy) {
        stepOnServer();
        return;
    }
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW) {
        m_eof = false;
    } else if (rc == SQLITE_DONE) {
        m_eof = true;
        // Ends the read at once, so the query left open holds no lock.
        sqlite3_reset(m_statement);
    } else {
        // The reason is read before the reset clears it.
        m_eof = true;
        const int code = sqlite3_extended_errcode(m_handle);
        const QString text = QString::fromUtf8(sqlite3_errmsg(m_handle));
        close();
        m_table.fail(sqliteReason(code, text));
    }
}

void Query::first()
{
    if (m_copy) {
        if (!m_atFirst)
            open();
        return;
    }
    if (!m_statement) {
        open();
    } else if (!m_atFirst) {
        sqlite3_reset(m_statement);
        step();
        m_atFirst = true;
    }
}

void Query::next()
{
    if (m_copy) {
        if (!m_eof) {
            m_atFirst = false;
            stepOnServer();
        }
        return;
    }
    if (!m_statement || m_eof)
        return;
    m_atFirst = false;
    step();
}

QByteArrayView Query::fieldUtf8(int position) const
{
    if (m_copy)
        return m_eof || position < 1 || position > m_fieldCount ? QByteArrayView() : m_copy->field(position - 1);
    if (!m_statement || m_eof || position < 1 || position > m_fieldCount)
        return {};
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, position - 1));
    if (!text)
        return {};
    return QByteArrayView(text, sqlite3_column_bytes(m_statement, position - 1));
}

QString Query::fieldText(int position) const
{
    const QByteArrayView bytes = fieldUtf8(position);
    return QString::fromUtf8(bytes.data(), bytes.size());
}

} // namespace store
