#include "store/testrows.h"

#include "store/layout.h"
#include "store/postgres.h"
#include "store/sqlitefile.h"

#include <QCoreApplication>
#include <QStringList>

#include <sqlite3.h>

#include <stdexcept>

namespace store {

TestRows::TestRows(const QSqlDatabase &db, Failing fail)
    : m_fail(std::move(fail))
    , m_handle(db.isOpen() ? sqliteHandle(db) : nullptr)
{
    prepare(db, QString());
}

TestRows::TestRows(const QSqlDatabase &db, const QString &name, const QString &surname, Failing fail)
    : m_fail(std::move(fail))
    , m_handle(db.isOpen() ? sqliteHandle(db) : nullptr)
    , m_name(name.toUtf8())
    , m_surname(surname.toUtf8())
{
    if (isPostgres(db)) {
        prepare(db, QStringLiteral(" WHERE COALESCE(\"Name\", '') = $1 AND COALESCE(\"Surname\", '') = $2"));
        return;
    }
    prepare(db, QStringLiteral(" WHERE COALESCE(\"Name\", '') = ?1 AND COALESCE(\"Surname\", '') = ?2"));
    sqlite3_bind_text(m_statement, 1, m_name.constData(), int(m_name.size()), SQLITE_STATIC);
    sqlite3_bind_text(m_statement, 2, m_surname.constData(), int(m_surname.size()), SQLITE_STATIC);
}

TestRows::~TestRows()
{
    sqlite3_finalize(m_statement);
}

void TestRows::prepare(const QSqlDatabase &db, const QString &where)
{
    const bool onServer = db.isOpen() && isPostgres(db);
    if (!m_handle && !onServer)
        failWith(QCoreApplication::translate("Store", "the test table is not open"));
    const Layout &layout = testTableLayout();
    QStringList columns;
    for (const FieldDef &field : layout.fields)
        columns << quoted(field.name);
    m_fieldCount = int(layout.fields.size());
    const QByteArray sql = QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4")
                               .arg(columns.join(QLatin1Char(',')), quoted(layout.tableName), where,
                                    quoted(layout.key().name))
                               .toUtf8();
    if (onServer) {
        QList<QByteArray> parameters;
        if (!where.isEmpty())
            parameters = {m_name, m_surname};
        m_copy = std::make_unique<CopyRows>(db, QString::fromUtf8(sql), parameters);
        if (!m_copy->error().isEmpty())
            failWith(m_copy->error());
        return;
    }
    if (sqlite3_prepare_v2(m_handle, sql.constData(), -1, &m_statement, nullptr) != SQLITE_OK)
        fail();
}

void TestRows::fail()
{
    failWith(QString::fromUtf8(sqlite3_errmsg(m_handle)));
}

void TestRows::failWith(const QString &reason)
{
    m_fail(reason);
    // The caller's failure throws; should it not, the rows end here.
    throw std::logic_error("TestRows: the failure did not throw");
}

bool TestRows::next()
{
    if (m_copy) {
        if (m_copy->next())
            return true;
        if (!m_copy->error().isEmpty())
            failWith(m_copy->error());
        return false;
    }
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        fail();
    return false;
}

QByteArrayView TestRows::field(int index) const
{
    if (m_copy)
        return m_copy->field(index);
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, index));
    return text ? QByteArrayView(text, sqlite3_column_bytes(m_statement, index)) : QByteArrayView();
}

} // namespace store
