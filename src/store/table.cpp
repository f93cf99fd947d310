#include "store/table.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace store {
namespace {

QString quoted(const QString &identifier)
{
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QString reasonOf(const QSqlError &error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unknown error") : text;
}

// Connection names must be unique per process, so that several sets of
// tables can live side by side (the tests open many).
QString newConnectionName(const QString &tableName)
{
    static std::atomic<int> counter{0};
    return QStringLiteral("korvane-store-%1-%2").arg(++counter).arg(tableName);
}

} // namespace

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
{
    QStringList columns;
    for (const FieldDef &field : layout.fields)
        columns << quoted(field.name);
    m_columns = columns.join(QLatin1Char(','));
}

Table::~Table()
{
    if (!m_connected)
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QString Table::filePath() const
{
    return QDir(m_folder).filePath(m_layout.fileName);
}

QSqlDatabase Table::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

void Table::fail(const QString &reason) const
{
    const QString folder = QDir::toNativeSeparators(QFileInfo(m_folder).absoluteFilePath());
    throw StoreError(QStringLiteral("Table file \"%1\" in %2: %3").arg(m_layout.fileName, folder, reason));
}

void Table::connectFile()
{
    const QFileInfo info(filePath());
    const bool existed = info.exists();
    if (existed && !info.isFile())
        fail(QStringLiteral("it is not a file"));

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
                fail(QStringLiteral("it cannot be written (%1)").arg(reasonOf(query.lastError())));
            query.exec(QStringLiteral("ROLLBACK"));
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            throw;
        }
    }
    m_connected = true;
}

void Table::checkLayout(QSqlDatabase &db)
{
    // Reading the schema is the first read of the file: a file that is not
    // SQLite, or whose first page is damaged, fails here without a write.
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)")))
        fail(reasonOf(query.lastError()));
    query.addBindValue(m_layout.tableName);
    if (!query.exec())
        fail(reasonOf(query.lastError()));
    QStringList names;
    bool keyOk = false;
    while (query.next()) {
        if (names.isEmpty()) {
            keyOk = query.value(1).toString().compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0
                && query.value(2).toInt() == 1;
        }
        names << query.value(0).toString();
    }
    if (query.lastError().isValid())
        fail(reasonOf(query.lastError()));
    if (names.isEmpty())
        fail(QStringLiteral("it holds no table \"%1\"").arg(m_layout.tableName));
    QStringList expected;
    for (const FieldDef &field : m_layout.fields)
        expected << field.name;
    bool same = names.size() == expected.size();
    for (int i = 0; same && i < names.size(); ++i)
        same = names.at(i).compare(expected.at(i), Qt::CaseInsensitive) == 0;
    if (!same) {
        fail(QStringLiteral("its table \"%1\" has the fields %2 instead of %3")
                 .arg(m_layout.tableName, names.join(QStringLiteral(", ")), expected.join(QStringLiteral(", "))));
    }
    if (!keyOk)
        fail(QStringLiteral("its field \"%1\" is not an integer key").arg(m_layout.key().name));

    // Damage past the first page (a cut-off file, a page of garbage) shows
    // only when the pages are read: check them all now, read-only, rather
    // than fail in the middle of some later action.  This reads the whole
    // file once, about half a second for a million stored tests.
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        fail(QStringLiteral("it is damaged (%1)").arg(reasonOf(query.lastError())));
    if (!query.next() || query.value(0).toString() != QLatin1String("ok")) {
        const QString finding = query.lastError().isValid() ? reasonOf(query.lastError()) : query.value(0).toString();
        fail(QStringLiteral("it is damaged (%1)").arg(finding));
    }
    query.finish();
}

void Table::createLayout(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(createTableStatement(m_layout)))
        fail(QStringLiteral("it cannot be created (%1)").arg(reasonOf(query.lastError())));
}

void Table::open()
{
    if (m_open)
        return;
    if (!m_connected)
        connectFile();
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
        fail(QStringLiteral("the table \"%1\" is closed").arg(m_layout.tableName));
}

int Table::fieldIndex(const QString &name) const
{
    const int index = m_layout.indexOf(name);
    if (index < 0)
        fail(QStringLiteral("the table \"%1\" has no field \"%2\"").arg(m_layout.tableName, name));
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
    m_inserting = true;
    m_modified = false;
}

void Table::cancel()
{
    m_inserting = false;
    m_modified = false;
    m_newValues.clear();
}

void Table::post()
{
    requireOpen();
    if (!m_inserting)
        return;
    QSqlDatabase db = database();
    QStringList columns;
    QStringList marks;
    for (int i = 1; i < m_layout.fields.size(); ++i) {
        columns << quoted(m_layout.fields.at(i).name);
        marks << QStringLiteral("?");
    }
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(quoted(m_layout.tableName), columns.join(QLatin1Char(',')),
                                marks.join(QLatin1Char(',')))))
        fail(reasonOf(query.lastError()));
    for (int i = 1; i < m_layout.fields.size(); ++i)
        query.addBindValue(m_newValues.at(i));

    // One transaction per record: it is on disk, whole, or not at all.
    if (!db.transaction())
        fail(QStringLiteral("the record cannot be stored (%1)").arg(reasonOf(db.lastError())));
    if (!query.exec()) {
        const QString reason = reasonOf(query.lastError());
        db.rollback();
        fail(QStringLiteral("the record cannot be stored (%1)").arg(reason));
    }
    const QVariant key = query.lastInsertId();
    query.finish();
    if (!db.commit()) {
        const QString reason = reasonOf(db.lastError());
        db.rollback();
        fail(QStringLiteral("the record cannot be stored (%1)").arg(reason));
    }
    m_values = m_newValues;
    m_values[0] = key.toLongLong();
    m_hasRecord = true;
    m_eof = false;
    m_inserting = false;
    m_modified = false;
    m_newValues.clear();
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
        fail(QStringLiteral("the field \"%1\" is assigned by the store").arg(field.name));
    if (!m_inserting)
        fail(QStringLiteral("no record of \"%1\" is being inserted").arg(m_layout.tableName));
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
        fail(QStringLiteral("the field \"%1\" is assigned by the store").arg(field.name));
    if (!m_inserting)
        fail(QStringLiteral("no record of \"%1\" is being inserted").arg(m_layout.tableName));
    if (field.kind == FieldKind::Integer)
        m_newValues[index] = value;
    else
        m_newValues[index] = QString::number(value);
    m_modified = true;
}

} // namespace store
