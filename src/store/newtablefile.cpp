#include "store/newtablefile.h"

#include "core/files.h"
#include "store/sqlitefile.h"
#include "store/table.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

namespace store {

NewTableFile::NewTableFile(const QString &path, const Layout &layout)
    : m_path(path)
{
    if (platform::fileKind(path) != platform::FileKind::Missing || platform::isSymLink(path)) {
        m_done = true;   // not ours to remove
        throw StoreError(QCoreApplication::translate("Store", "the file \"%1\" is in the way").arg(QFileInfo(path).fileName()));
    }
    // Made first, readable by its owner only: the tables hold personal data.
    QString reason;
    if (!platform::createPrivateFile(path, &reason)) {
        m_done = true;
        throw StoreError(QCoreApplication::translate("Store", "the new table file cannot be created (%1)").arg(reason));
    }
    try {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            fail(QCoreApplication::translate("Store", "cannot be opened"));
        exec(QStringLiteral("PRAGMA journal_mode = OFF"));
        exec(QStringLiteral("PRAGMA synchronous = OFF"));
        exec(createTableStatement(layout));
        exec(QStringLiteral("BEGIN"));
        QStringList names;
        QStringList marks;
        for (const FieldDef &field : layout.fields) {
            names << quoted(field.name);
            marks << QStringLiteral("?");
        }
        const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(quoted(layout.tableName), names.join(u','), marks.join(u','))
                                   .toUtf8();
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &m_insert, nullptr) != SQLITE_OK)
            fail(QCoreApplication::translate("Store", "cannot be written"));
    } catch (...) {
        close();
        throw;
    }
}

NewTableFile::~NewTableFile()
{
    close();
}

void NewTableFile::close()
{
    sqlite3_finalize(m_insert);
    m_insert = nullptr;
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
    if (!m_done)
        QFile::remove(m_path);
    m_done = true;
}

void NewTableFile::fail(const QString &what)
{
    const QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QCoreApplication::translate("Store", "out of memory");
    throw StoreError(QCoreApplication::translate("Store", "the new table file %1 (%2)").arg(what, reason));
}

void NewTableFile::exec(const QString &sql)
{
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(QCoreApplication::translate("Store", "cannot be written"));
}

void NewTableFile::bindNull(int field)
{
    sqlite3_bind_null(m_insert, field + 1);
}

void NewTableFile::bindInteger(int field, qint64 value)
{
    sqlite3_bind_int64(m_insert, field + 1, value);
}

void NewTableFile::bindText(int field, QByteArrayView utf8, bool copy)
{
    sqlite3_bind_text(m_insert, field + 1, utf8.data(), int(utf8.size()), copy ? SQLITE_TRANSIENT : SQLITE_STATIC);
}

void NewTableFile::insert()
{
    if (sqlite3_step(m_insert) != SQLITE_DONE)
        fail(QCoreApplication::translate("Store", "cannot be written"));
    sqlite3_reset(m_insert);
}

void NewTableFile::finish()
{
    exec(QStringLiteral("COMMIT"));
    sqlite3_finalize(m_insert);
    m_insert = nullptr;
    if (sqlite3_close(m_db) != SQLITE_OK)
        fail(QCoreApplication::translate("Store", "cannot be closed"));
    m_db = nullptr;
    if (!platform::syncPath(m_path, false))
        throw StoreError(QCoreApplication::translate("Store", "the new table file cannot be made durable"));
    m_done = true;
}

} // namespace store
