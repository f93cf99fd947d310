#include "store/testreader.h"

#include "store/layout.h"
#include "store/sqlitefile.h"
#include "store/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace store {
namespace {

QString columnList()
{
    QStringList columns;
    for (const FieldDef &field : testTableLayout().fields)
        columns << quoted(field.name);
    return columns.join(QLatin1Char(','));
}

// A bound null text would be SQL NULL, which equals nothing.
QString nonNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

QStringList recordOf(const QSqlQuery &query, int count)
{
    QStringList record;
    record.reserve(count);
    for (int i = 0; i < count; ++i)
        record << textForm(query.value(i));
    return record;
}

} // namespace

SqliteTestReader::SqliteTestReader(const QSqlDatabase &db, const QString &folder, const QString &ownConnection)
    : m_db(db)
    , m_folder(folder)
    , m_ownConnection(ownConnection)
    , m_columns(columnList())
{
}

SqliteTestReader::SqliteTestReader(const Table &table)
    : SqliteTestReader(table.database(), QFileInfo(table.filePath()).absolutePath(), QString())
{
}

SqliteTestReader::~SqliteTestReader()
{
    if (!m_ownProfilesConnection.isEmpty()) {
        m_profiles.close();
        m_profiles = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_ownProfilesConnection);
    }
    if (m_ownConnection.isEmpty())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_ownConnection);
}

void SqliteTestReader::fail(const QString &reason) const
{
    throw StoreError(core::Failure::Kind::TableFile, QDir(m_folder).filePath(testTableLayout().fileName), reason);
}

std::unique_ptr<SqliteTestReader> SqliteTestReader::openFile(const QString &folder)
{
    const Layout &layout = testTableLayout();
    const QFileInfo folderInfo(folder);
    const QString shownFolder = QDir::toNativeSeparators(folderInfo.absoluteFilePath());
    if (!folderInfo.isDir())
        throw StoreError(core::Failure::Kind::ReadFailed, folder,
                         QCoreApplication::translate("Store", "The folder %1 does not exist.").arg(shownFolder));
    const QString path = QDir(folder).filePath(layout.fileName);
    if (!QFileInfo(path).isFile())
        throw StoreError(core::Failure::Kind::ReadFailed, path,
                         QCoreApplication::translate("Store", "There is no table file \"%1\" in %2.").arg(layout.fileName, shownFolder));

    static std::atomic<int> counter{0};
    const QString connection = QStringLiteral("korvane-test-reader-%1").arg(++counter);
    const QSqlDatabase db = openTableFileReadOnly(
        path, layout, connection, QCoreApplication::translate("Store", "it holds no test table of this program"));
    std::unique_ptr<SqliteTestReader> reader(new SqliteTestReader(db, folder, connection));
    // The profile names are an extra: a missing or unreadable profile table
    // leaves them out.
    const QString profiles = QDir(folder).filePath(profilLayout().fileName);
    if (QFileInfo(profiles).isFile()) {
        const QString profilesConnection = connection + QStringLiteral("-profiles");
        try {
            reader->m_profiles = openTableFileReadOnly(profiles, profilLayout(), profilesConnection, QString());
            reader->m_ownProfilesConnection = profilesConnection;
        } catch (const StoreError &) {
        }
    }
    return reader;
}

void SqliteTestReader::readProfilesFrom(const Table &profiles)
{
    m_profiles = profiles.database();
}

std::optional<QString> SqliteTestReader::profileName(qint32 number)
{
    if (!m_profiles.isValid() || !m_profiles.isOpen())
        return std::nullopt;
    const Layout &layout = profilLayout();
    QSqlQuery query(m_profiles);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                           .arg(quoted(QStringLiteral("Profil")), quoted(layout.tableName), quoted(layout.key().name))))
        return std::nullopt;
    query.addBindValue(number);
    if (!query.exec() || !query.next())
        return std::nullopt;
    const QString name = textForm(query.value(0)).trimmed();
    return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

std::optional<QStringList> SqliteTestReader::test(qint64 testnr)
{
    const Layout &layout = testTableLayout();
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                           .arg(m_columns, quoted(layout.tableName), quoted(layout.key().name))))
        fail(errorText(query.lastError()));
    query.addBindValue(testnr);
    if (!query.exec())
        fail(errorText(query.lastError()));
    if (!query.next()) {
        if (query.lastError().isValid())
            fail(errorText(query.lastError()));
        return std::nullopt;
    }
    return recordOf(query, int(layout.fields.size()));
}

QList<QStringList> SqliteTestReader::athleteTests(const QString &name, const QString &surname,
                                                  const QString &exercise, qint64 lastTestnr)
{
    const Layout &layout = testTableLayout();
    // The key bounds the rows SQLite visits; the others filter them there.
    // An empty field is stored as NULL or as an empty text, and both match
    // an empty text here, as the progress window matches them.
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    const QString key = quoted(layout.key().name);
    if (!query.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 <= ? AND COALESCE(\"Name\", '') = ? "
                                      "AND COALESCE(\"Surname\", '') = ? AND COALESCE(\"Exercise\", '') = ? "
                                      "ORDER BY %3")
                           .arg(m_columns, quoted(layout.tableName), key)))
        fail(errorText(query.lastError()));
    query.addBindValue(lastTestnr);
    query.addBindValue(nonNull(name));
    query.addBindValue(nonNull(surname));
    query.addBindValue(nonNull(exercise));
    if (!query.exec())
        fail(errorText(query.lastError()));
    QList<QStringList> tests;
    const int count = int(layout.fields.size());
    while (query.next())
        tests << recordOf(query, count);
    if (query.lastError().isValid())
        fail(errorText(query.lastError()));
    return tests;
}

} // namespace store
