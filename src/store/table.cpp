#include "store/table.h"

#include "core/files.h"
#include "store/postgres.h"
#include "store/sqlitefile.h"
#include "store/storeaction.h"
#include "store/testnotes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <sqlite3.h>

#include <atomic>

namespace store {
namespace {

QString fileReasonOf(const QSqlError &error)
{
    const QString text = errorText(error);
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    return sqliteReason(numeric ? code : SQLITE_ERROR, text);
}

// Connection names must be unique per process, so that several sets of
// tables can live side by side (the tests open many).
QString newConnectionName(const QString &tableName)
{
    static std::atomic<int> counter{0};
    return QStringLiteral("korvane-store-%1-%2").arg(++counter).arg(tableName);
}

} // namespace

QString Table::reasonOf(const QSqlError &error) const
{
    // A server's codes are SQLSTATE texts, not SQLite's numbers.
    if (m_server) {
        const QString text = errorText(error).trimmed();
        return text.isEmpty() ? QCoreApplication::translate("Store", "unknown error") : text;
    }
    return fileReasonOf(error);
}

QString sqliteReason(int code, const QString &text)
{
    const QString said = text.isEmpty() ? QCoreApplication::translate("Store", "unknown error") : text;
    if ((code & 0xFF) == SQLITE_CORRUPT)
        return QCoreApplication::translate("Store", "it is damaged (%1); nothing was changed in it").arg(said);
    return said;
}

QString textForm(const QVariant &value)
{
    if (value.isNull())
        return QString();
    return value.toString();
}

Table::Table(const Layout &layout, const QString &folder)
    : m_layout(layout)
    , m_folder(folder)
    , m_connectionName(newConnectionName(layout.tableName))
    , m_interrupt(std::make_unique<ServerInterrupt>())
{
    QStringList columns;
    for (const FieldDef &field : layout.fields)
        columns << quoted(field.name);
    m_columns = columns.join(QLatin1Char(','));
}

Table::Table(const Layout &layout, const ServerAddress &server)
    : Table(layout, QString())
{
    m_server = server;
}

Table::~Table()
{
    disconnectFile();
}

void Table::disconnectFile()
{
    if (!m_connected)
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        m_interrupt->detach();
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connected = false;
}

void Table::discardCreatedFile()
{
    if (!m_created)
        return;
    close();
    disconnectFile();
    QFile::remove(filePath());
    QFile::remove(filePath() + QStringLiteral("-journal"));
    m_created = false;
}

QString Table::filePath() const
{
    if (m_server)
        return m_layout.tableName;
    return QDir(m_folder).filePath(m_layout.fileName);
}

QString Table::place() const
{
    if (m_server)
        return QCoreApplication::translate("Store", "the table \"%1\" on %2").arg(m_layout.tableName, m_server->display());
    return QDir::toNativeSeparators(QFileInfo(filePath()).absoluteFilePath());
}

QSqlDatabase Table::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

bool Table::fileExists() const
{
    if (m_server)
        return true;
    return QFileInfo::exists(filePath());
}

bool Table::fileWasRemovedOrReplaced() const
{
    if (!m_connected)
        return false;
    sqlite3 *handle = sqliteHandle(database());
    int moved = 0;
    if (!handle || sqlite3_file_control(handle, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK)
        return false;
    return moved != 0;
}

void Table::failIfRemovedOrReplaced() const
{
    if (fileWasRemovedOrReplaced())
        throw StoreError(core::Failure::Kind::TableReplaced, filePath(), QString());
}

void Table::fail(const QString &reason) const
{
    if (m_server)
        throw StoreError(core::Failure::Kind::ServerTable, m_server->display(),
                         QCoreApplication::translate("Store", "table \"%1\": %2").arg(m_layout.tableName, reason));
    throw StoreError(core::Failure::Kind::TableFile, filePath(), reason);
}

void Table::failToStore(const QString &reason) const
{
    // SQLite needs to make its journal beside the table: in a folder that is
    // read-only it says only "attempt to write a readonly database".
    if (!m_server && !platform::folderIsWritable(m_folder))
        throw StoreError(core::Failure::Kind::TableFolderReadOnly, filePath(), reason);
    fail(QCoreApplication::translate("Store", "the record cannot be stored (%1)").arg(reason));
}

void Table::connectFile()
{
    // Only an ordinary file (or a link to one) is opened: SQLite would wait
    // forever on a named pipe, and would create the target of a dangling link.
    const platform::FileKind kind = platform::fileKind(filePath());
    const bool existed = kind != platform::FileKind::Missing;
    if (existed && kind != platform::FileKind::Ordinary)
        fail(QCoreApplication::translate("Store", "it is %1, not an ordinary file").arg(platform::describe(kind)));
    QString notCreated;
    // A new table holds personal data: readable by its owner only (SQLite
    // gives its journal the same permissions).
    if (!existed && !platform::createPrivateFile(filePath(), &notCreated))
        fail(QCoreApplication::translate("Store", "it cannot be created (%1)").arg(notCreated));

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(filePath());
        // A short wait for another program's lock before giving up.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        try {
            if (!db.open())
                fail(reasonOf(db.lastError()));
            QSqlQuery query(db);
            // Every commit reaches the disk before post() returns.
            if (!query.exec(QStringLiteral("PRAGMA synchronous = FULL")))
                fail(reasonOf(query.lastError()));
            if (existed)
                checkLayout(db);
            else
                createLayout(db);
            // Make sure records can be stored at all: a file that another
            // program holds locked past the wait is refused now rather than
            // at the first post.  Nothing is written.
            if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
                fail(QCoreApplication::translate("Store", "it cannot be written (%1)").arg(reasonOf(query.lastError())));
            query.exec(QStringLiteral("ROLLBACK"));
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            // A file begun here and refused is not left behind.
            if (!existed) {
                QFile::remove(filePath());
                QFile::remove(filePath() + QStringLiteral("-journal"));
            }
            throw;
        }
    }
    m_connected = true;
    m_created = !existed;
}

void Table::openServerConnection(QSqlDatabase &db)
{
    m_server->applyTo(db);
    // A server that takes the connection but never answers (a stopped
    // process) is given up after a while rather than waited for forever.
    if (!db.connectOptions().contains(QLatin1String("connect_timeout"))) {
        const QString options = db.connectOptions();
        db.setConnectOptions(options + (options.isEmpty() ? QString() : QStringLiteral(";"))
                             + QStringLiteral("connect_timeout=%1").arg(serverConnectTimeoutSeconds));
    }
    // A server that is restarting refuses connections for a moment: a
    // quick refusal is tried once more after a pause.  One that does not
    // answer is not waited for twice.
    QElapsedTimer firstTry;
    firstTry.start();
    if (!db.open() && !(firstTry.elapsed() < 2000 && (QThread::msleep(2000), db.open())))
        throw StoreError(core::Failure::Kind::ServerTable, m_server->display(),
                         QCoreApplication::translate("Store", "it cannot be reached (%1)").arg(reasonOf(db.lastError())));
    m_interrupt->attach(db);
    QSqlQuery session(db);
    // The server's notices ("relation ... already exists, skipping") would
    // go to standard error through libpq; its warnings and errors are enough.
    session.exec(QStringLiteral("SET client_min_messages TO warning"));
    // No statement waits longer than this for a lock or a busy server; a
    // server that answers nothing at all is left by the client (storeaction.h).
    session.exec(QStringLiteral("SET statement_timeout = %1").arg(serverStatementTimeoutMs));
}

void Table::closeServerConnection(QSqlDatabase &db)
{
    m_interrupt->detach();
    db.close();
}

void Table::connectServer()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(postgresDriver(), m_connectionName);
        try {
            openServerConnection(db);
            QSqlQuery query(db);
            // An empty database gets the tables on first use.  Stations that
            // start together make them once: the lock orders them.
            if (!db.transaction()
                || !query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7482301)"))
                || !query.exec(createSaveIdTableStatement()))
                fail(reasonOf(db.lastError().isValid() ? db.lastError() : query.lastError()));
            const bool missing = store::checkServerLayout(db, m_layout).result == LayoutCheck::Result::NoTable;
            if (missing && !query.exec(createTableStatement(m_layout, SqlDialect::Postgres)))
                fail(QCoreApplication::translate("Store", "it cannot be created (%1)").arg(reasonOf(query.lastError())));
            // A new test table gives its numbers from 1 again: notes left by
            // the tests of a table dropped earlier would go to new tests.
            if (missing && m_layout.tableName == testTableLayout().tableName) {
                const QSqlError error = removeTestNotes(db, std::nullopt);
                if (error.isValid())
                    fail(QCoreApplication::translate("Store", "it cannot be created (%1)").arg(reasonOf(error)));
            }
            if (!db.commit())
                fail(reasonOf(db.lastError()));
            checkLayout(db);
        } catch (...) {
            closeServerConnection(db);
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            throw;
        }
    }
    m_connected = true;
}

bool Table::reconnectIfLost(QString *failure)
{
    if (!m_server || !m_connected || m_interrupt->wasCut())
        return false;
    QSqlDatabase db = database();
    if (!connectionLost(db))
        return false;
    closeServerConnection(db);
    try {
        openServerConnection(db);
    } catch (const StoreError &error) {
        if (failure)
            *failure = error.detail();
        return false;
    }
    return true;
}

void Table::ensureConnection()
{
    if (!m_server || !m_connected)
        return;
    QSqlQuery probe(database());
    if (probe.exec(QStringLiteral("SELECT 1")))
        return;
    const QString reason = reasonOf(probe.lastError());
    probe.finish();
    // The lost connection's own error says little ("unknown error"); the
    // failed reopening says why the server cannot be reached.
    QString reopenFailure;
    if (!reconnectIfLost(&reopenFailure))
        throw StoreError(core::Failure::Kind::ServerTable, m_server->display(),
                         reopenFailure.isEmpty()
                             ? QCoreApplication::translate("Store", "it cannot be reached (%1)").arg(reason)
                             : reopenFailure);
}

void Table::checkLayout(QSqlDatabase &db)
{
    // Reading the schema is the first read of the file.  SQLite checks the
    // header then (a foreign file is "not a database") and the page count it
    // states against the file's size (a cut-off file is "malformed"); a
    // damaged first page fails here too.  None of this writes, and none of
    // it reads more than the schema.
    const LayoutCheck check = m_server ? store::checkServerLayout(db, m_layout) : store::checkLayout(db, m_layout);
    QStringList expected;
    for (const FieldDef &field : m_layout.fields)
        expected << field.name;
    switch (check.result) {
    case LayoutCheck::Result::Same:
        break;
    case LayoutCheck::Result::Unreadable:
        fail(reasonOf(check.error));
    case LayoutCheck::Result::NoTable:
        fail(QCoreApplication::translate("Store", "it holds no table \"%1\"").arg(m_layout.tableName));
    case LayoutCheck::Result::OtherFields:
        if (m_server) {
            // The first field that differs, by name, as the server has it.
            qsizetype at = 0;
            while (at < check.fields.size() && at < expected.size() && check.fields.at(at) == expected.at(at))
                ++at;
            const QString found = at < check.fields.size() ? check.fields.at(at) : QStringLiteral("-");
            const QString wanted = at < expected.size() ? expected.at(at) : QStringLiteral("-");
            fail(QCoreApplication::translate("Store", "field %1 is \"%2\" where Korvane keeps \"%3\"; this database holds "
                                                      "the table in another layout and is not used")
                     .arg(at + 1).arg(found, wanted));
        }
        fail(QCoreApplication::translate("Store", "its table \"%1\" has the fields %2 instead of %3")
                 .arg(m_layout.tableName, check.fields.join(QStringLiteral(", ")), expected.join(QStringLiteral(", "))));
    case LayoutCheck::Result::KeyNotInteger:
        fail(QCoreApplication::translate("Store", "its field \"%1\" is not an integer key").arg(m_layout.key().name));
    }
    checkEdges(db);
}

void Table::checkEdges(QSqlDatabase &db)
{
    QSqlQuery query(db);
    // The last record lies where the next record goes: reading it walks the
    // table's right edge, a handful of pages whatever the number of records.
    const QString key = quoted(m_layout.key().name);
    if (!query.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %1 DESC LIMIT 1").arg(key, quoted(m_layout.tableName))))
        fail(reasonOf(query.lastError()));
    query.next();
    if (query.lastError().isValid())
        fail(reasonOf(query.lastError()));
    query.finish();
}

void Table::createLayout(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(createTableStatement(m_layout)))
        fail(QCoreApplication::translate("Store", "it cannot be created (%1)").arg(reasonOf(query.lastError())));
}

void Table::open()
{
    if (m_open)
        return;
    if (!m_connected) {
        if (m_server)
            connectServer();
        else
            connectFile();
    }
    m_open = true;
    m_inserting = false;
    m_modified = false;
    first();
}

void Table::close()
{
    m_inserting = false;
    m_modified = false;
    m_newValues.clear();
    m_open = false;
    m_hasRecord = false;
    m_values.clear();
    m_eof = true;
}

void Table::requireOpen() const
{
    if (!m_open)
        fail(QCoreApplication::translate("Store", "the table \"%1\" is closed").arg(m_layout.tableName));
}

int Table::fieldIndex(const QString &name) const
{
    const int index = m_layout.indexOf(name);
    if (index < 0)
        fail(QCoreApplication::translate("Store", "the table \"%1\" has no field \"%2\"").arg(m_layout.tableName, name));
    return index;
}

void Table::settlePending()
{
    if (!m_inserting)
        return;
    if (m_modified) {
        post();
    } else {
        m_inserting = false;
        m_newValues.clear();
    }
}

bool Table::loadRecord(const QString &condition, const QVariantList &bindings)
{
    try {
        return readRecord(condition, bindings);
    } catch (const StoreError &) {
        // A server restarted while the program stood idle: read again on a
        // new connection.
        if (!reconnectIfLost())
            throw;
    }
    return readRecord(condition, bindings);
}

bool Table::readRecord(const QString &condition, const QVariantList &bindings)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT %1 FROM %2 %3")
                           .arg(m_columns, quoted(m_layout.tableName), condition)))
        fail(reasonOf(query.lastError()));
    for (const QVariant &value : bindings)
        query.addBindValue(value);
    if (!query.exec())
        fail(reasonOf(query.lastError()));
    if (!query.next()) {
        if (query.lastError().isValid())
            fail(reasonOf(query.lastError()));
        return false;
    }
    const int count = m_layout.fields.size();
    m_values.resize(count);
    for (int i = 0; i < count; ++i)
        m_values[i] = query.value(i);
    m_hasRecord = true;
    return true;
}

void Table::first()
{
    requireOpen();
    settlePending();
    const QString key = quoted(m_layout.key().name);
    m_eof = !loadRecord(QStringLiteral("ORDER BY %1 LIMIT 1").arg(key), {});
    if (m_eof) {
        m_hasRecord = false;
        m_values.clear();
    }
}

void Table::next()
{
    requireOpen();
    settlePending();
    if (!m_hasRecord) {
        m_eof = true;
        return;
    }
    const QString key = quoted(m_layout.key().name);
    if (!loadRecord(QStringLiteral("WHERE %1 > ? ORDER BY %1 LIMIT 1").arg(key), {m_values.first()}))
        m_eof = true;
}

void Table::append()
{
    requireOpen();
    settlePending();
    m_newValues = QList<QVariant>(m_layout.fields.size());
    m_saveId.clear();
    m_inserting = true;
    m_modified = false;
}

void Table::cancel()
{
    m_inserting = false;
    m_modified = false;
    m_newValues.clear();
    m_saveId.clear();
}

void Table::post()
{
    requireOpen();
    if (!m_inserting)
        return;
    aboutToWrite();
    if (m_server) {
        postToServer();
        return;
    }
    QSqlDatabase db = database();
    QSqlQuery query(db);
    if (!prepareInsert(query, QString()))
        fail(reasonOf(query.lastError()));

    // One transaction per record: it is on disk, whole, or not at all.
    // SQLite refuses to write a file that is no longer the folder's; that
    // refusal is explained as what it is.
    if (!db.transaction()) {
        failIfRemovedOrReplaced();
        failToStore(reasonOf(db.lastError()));
    }
    if (!query.exec()) {
        const QString reason = reasonOf(query.lastError());
        db.rollback();
        failIfRemovedOrReplaced();
        failToStore(reason);
    }
    const QVariant key = query.lastInsertId();
    query.finish();
    if (!db.commit()) {
        const QString reason = reasonOf(db.lastError());
        db.rollback();
        failIfRemovedOrReplaced();
        failToStore(reason);
    }
    becomeStored(key.toLongLong());
}

void Table::becomeStored(qint64 key)
{
    m_values = m_newValues;
    m_values[0] = key;
    m_hasRecord = true;
    m_eof = false;
    m_inserting = false;
    m_modified = false;
    m_newValues.clear();
    m_saveId.clear();
}

bool Table::prepareInsert(QSqlQuery &query, const QString &tail) const
{
    QStringList columns;
    QStringList marks;
    for (int i = 1; i < m_layout.fields.size(); ++i) {
        columns << quoted(m_layout.fields.at(i).name);
        marks << QStringLiteral("?");
    }
    if (!query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)%4")
                           .arg(quoted(m_layout.tableName), columns.join(QLatin1Char(',')),
                                marks.join(QLatin1Char(',')), tail)))
        return false;
    for (int i = 1; i < m_layout.fields.size(); ++i) {
        const QVariant &value = m_newValues.at(i);
        // An empty field is NULL of the column's type (a server wants to
        // know the type of every value).
        query.addBindValue(value.isValid() ? value
                                           : QVariant(m_layout.fields.at(i).kind == FieldKind::Integer
                                                          ? QMetaType(QMetaType::Int) : QMetaType(QMetaType::QString)));
    }
    return true;
}

void Table::postToServer()
{
    QSqlDatabase db = database();
    // A connection that broke while the program stood idle fails at the
    // transaction's start, before anything was sent: open it again once.
    if (!db.transaction()) {
        if (!reconnectIfLost() || !db.transaction())
            failToStore(reasonOf(db.lastError()));
    }
    const auto failInside = [&](const QSqlError &error) {
        const QString reason = reasonOf(error);
        db.rollback();
        if (connectionLost(db))
            fail(QCoreApplication::translate("Store", "the connection to the server broke while the record was stored (%1); "
                                                      "what you entered stays in the window and can be stored again")
                     .arg(reason));
        failToStore(reason);
    };
    QSqlQuery query(db);
    if (!m_saveId.isEmpty()) {
        // Stored before, and the answer lost: the record is there once.
        query.prepare(QStringLiteral("SELECT \"RecordKey\" FROM %1 WHERE \"SaveId\" = ?").arg(quoted(saveIdTable())));
        query.addBindValue(m_saveId);
        if (!query.exec())
            failInside(query.lastError());
        if (query.next()) {
            const qint64 key = query.value(0).toLongLong();
            query.finish();
            if (!db.commit())
                failInside(db.lastError());
            becomeStored(key);
            return;
        }
        query.finish();
    }
    if (!prepareInsert(query, QStringLiteral(" RETURNING ") + quoted(m_layout.key().name)))
        failInside(query.lastError());
    if (!query.exec() || !query.next())
        failInside(query.lastError());
    const qint64 key = query.value(0).toLongLong();
    query.finish();
    if (!m_saveId.isEmpty()) {
        QSqlQuery remember(db);
        remember.prepare(QStringLiteral("INSERT INTO %1 (\"SaveId\", \"TableName\", \"RecordKey\") VALUES (?, ?, ?)")
                             .arg(quoted(saveIdTable())));
        remember.addBindValue(m_saveId);
        remember.addBindValue(m_layout.tableName);
        remember.addBindValue(key);
        if (!remember.exec())
            failInside(remember.lastError());
    }
    if (!db.commit())
        failInside(db.lastError());
    becomeStored(key);
}

bool Table::findKey(qint64 key)
{
    requireOpen();
    settlePending();
    const QString keyName = quoted(m_layout.key().name);
    const bool found = loadRecord(QStringLiteral("WHERE %1 = ?").arg(keyName), {key});
    if (found)
        m_eof = false;
    return found;
}

QString Table::fieldText(const QString &name) const
{
    requireOpen();
    const int index = fieldIndex(name);
    if (m_inserting)
        return textForm(m_newValues.at(index));
    if (!m_hasRecord)
        return QString();
    return textForm(m_values.at(index));
}

void Table::setFieldText(const QString &name, const QString &value)
{
    requireOpen();
    const int index = fieldIndex(name);
    const FieldDef &field = m_layout.fields.at(index);
    if (field.kind == FieldKind::Key)
        fail(QCoreApplication::translate("Store", "the field \"%1\" is assigned by the store").arg(field.name));
    if (!m_inserting)
        fail(QCoreApplication::translate("Store", "no record of \"%1\" is being inserted").arg(m_layout.tableName));
    if (field.kind == FieldKind::Integer) {
        const QString trimmed = value.trimmed();
        if (trimmed.isEmpty()) {
            m_newValues[index] = QVariant();
        } else {
            bool ok = false;
            const qint32 number = trimmed.toInt(&ok);
            if (!ok)
                fail(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(value));
            m_newValues[index] = number;
        }
    } else {
        m_newValues[index] = value;
    }
    m_modified = true;
}

void Table::setFieldInteger(const QString &name, qint32 value)
{
    requireOpen();
    const int index = fieldIndex(name);
    const FieldDef &field = m_layout.fields.at(index);
    if (field.kind == FieldKind::Key)
        fail(QCoreApplication::translate("Store", "the field \"%1\" is assigned by the store").arg(field.name));
    if (!m_inserting)
        fail(QCoreApplication::translate("Store", "no record of \"%1\" is being inserted").arg(m_layout.tableName));
    if (field.kind == FieldKind::Integer)
        m_newValues[index] = value;
    else
        m_newValues[index] = QString::number(value);
    m_modified = true;
}

} // namespace store
