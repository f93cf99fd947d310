#include "store/dailybackup.h"

#include "core/files.h"
#include "core/wallclock.h"
#include "store/sqlitefile.h"
#include "store/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace store {
namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// A day's folder by its name; invalid for any other name.
QDate dayOfFolder(const QString &name)
{
    const QDate day = QDate::fromString(name, kDateFormat);
    return day.isValid() && day.toString(kDateFormat) == name ? day : QDate();
}

QString partName(const QString &fileName)
{
    return fileName + QStringLiteral(".part");
}

struct CloseDatabase {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

QString sqliteText(sqlite3 *db, int code)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
}

void copyTable(const DailyBackup::Source &table, const QString &folder);
void removeOldBackups(const QString &backupsFolder, const QList<DailyBackup::Source> &tables);

QString dayFolderIn(const QString &backupsFolder, const QDate &day)
{
    return QDir(backupsFolder).filePath(day.toString(kDateFormat));
}

// Makes the backup of `day` in `backupsFolder` unless the day has a complete
// one, and removes the folders beyond the kept days; throws the failure.
void backUpTables(const QString &backupsFolder, const QList<DailyBackup::Source> &tables, const QDate &day)
{
    const QString folder = dayFolderIn(backupsFolder, day);
    bool complete = true;
    for (const DailyBackup::Source &table : tables)
        complete = complete
            && platform::fileKind(QDir(folder).filePath(table.fileName), false) == platform::FileKind::Ordinary;
    if (!complete) {
        QString reason;
        if (!platform::createPrivateFolder(folder, &reason))
            throw core::Failure(core::Failure::Kind::BackupFailed, folder, reason);
        for (const DailyBackup::Source &table : tables)
            copyTable(table, folder);
    }
    removeOldBackups(backupsFolder, tables);
}

} // namespace

DailyBackup::DailyBackup(const QString &folder, QList<const Table *> tables)
    : m_folder(folder)
    , m_tables(std::move(tables))
{
}

DailyBackup::~DailyBackup()
{
    if (m_aside.valid())
        m_aside.wait();
}

QList<DailyBackup::Source> DailyBackup::sources(bool ownConnections) const
{
    QList<Source> list;
    for (const Table *table : m_tables)
        list.append({table->fileName(), table->filePath(), ownConnections ? nullptr : sqliteHandle(table->database())});
    return list;
}

void DailyBackup::report(const core::Failure &failure)
{
    if (m_onFailure)
        m_onFailure(failure);
}

void DailyBackup::startAside()
{
    if (m_tables.isEmpty())
        return;
    const QDate today = platform::wallClock().today();
    if (m_triedOn == today || (m_aside.valid() && m_asideDay == today))
        return;
    if (m_aside.valid())
        finishAside();
    m_asideDay = today;
    // The thread gets values only: nothing it reads changes under it.
    m_aside = std::async(std::launch::async, [backups = backupsFolder(), tables = sources(true), today] {
        try {
            backUpTables(backups, tables, today);
        } catch (const core::Failure &failure) {
            return std::optional<core::Failure>(failure);
        }
        return std::optional<core::Failure>();
    });
}

bool DailyBackup::isMakingAside() const
{
    return m_aside.valid() && m_aside.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

void DailyBackup::finishAside()
{
    const std::optional<core::Failure> failure = m_aside.get();
    m_triedOn = m_asideDay;
    if (failure)
        report(*failure);
}

QString DailyBackup::backupsFolder() const
{
    return QDir(m_folder).filePath(QStringLiteral("Backups"));
}

QString DailyBackup::dayFolder(const QDate &day) const
{
    return dayFolderIn(backupsFolder(), day);
}

void DailyBackup::beforeWrite()
{
    // The write waits for a backup being made aside: the backup holds the
    // tables as they were before it.
    if (m_aside.valid())
        finishAside();
    const QDate today = platform::wallClock().today();
    if (m_triedOn == today)
        return;
    m_triedOn = today;
    try {
        backUp(today);
    } catch (const core::Failure &failure) {
        report(failure);
    }
}

void DailyBackup::backUp(const QDate &day)
{
    if (m_aside.valid())
        finishAside();
    backUpTables(backupsFolder(), sources(false), day);
}

namespace {

void copyTable(const DailyBackup::Source &table, const QString &folder)
{
    const QString target = QDir(folder).filePath(table.fileName);
    const QString part = QDir(folder).filePath(partName(table.fileName));
    auto fail = [&](const QString &reason) {
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
        throw core::Failure(core::Failure::Kind::BackupFailed, folder,
                            QStringLiteral("\"%1\": %2").arg(table.fileName, reason));
    };

    // The table's own connection when it has one: the copy then reads it as
    // one consistent state under that connection's lock.  A connection of
    // the backup's own reads one consistent state under its read lock.
    sqlite3 *source = table.handle;
    Database ownSource;
    if (!source) {
        sqlite3 *opened = nullptr;
        const int code = sqlite3_open_v2(table.filePath.toUtf8().constData(), &opened,
                                         SQLITE_OPEN_READONLY, nullptr);
        ownSource.reset(opened);
        if (code != SQLITE_OK)
            fail(sqliteText(opened, code));
        source = opened;
    }

    // A part left by an interrupted backup is made anew; the copy is written
    // beside its final name and renamed when whole, as a private file.
    QFile::remove(part);
    QFile::remove(part + QStringLiteral("-journal"));
    QString reason;
    if (!platform::createPrivateFile(part, &reason))
        fail(reason);
    {
        sqlite3 *opened = nullptr;
        const int code = sqlite3_open_v2(part.toUtf8().constData(), &opened, SQLITE_OPEN_READWRITE, nullptr);
        Database target(opened);
        if (code != SQLITE_OK)
            fail(sqliteText(opened, code));
        sqlite3_backup *backup = sqlite3_backup_init(opened, "main", source, "main");
        if (!backup)
            fail(sqliteText(opened, SQLITE_ERROR));
        const int stepped = sqlite3_backup_step(backup, -1);
        const int finished = sqlite3_backup_finish(backup);
        if (stepped != SQLITE_DONE)
            fail(QString::fromUtf8(sqlite3_errstr(stepped)));
        if (finished != SQLITE_OK)
            fail(sqliteText(opened, finished));
    }
    if (!platform::syncPath(part, false))
        fail(QStringLiteral("the copy could not be written to the disk"));
    // rename() replaces what a failed backup may have left under the name.
    bool otherFileSystem = false;
    if (!platform::renameInFileSystem(part, target, &otherFileSystem, &reason))
        fail(reason);
    platform::syncFolder(folder);
}

void removeOldBackups(const QString &backupsFolder, const QList<DailyBackup::Source> &tables)
{
    QDir backups(backupsFolder);
    QList<QDate> days;
    for (const QString &name : backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        const QDate day = dayOfFolder(name);
        if (day.isValid())
            days << day;
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    for (qsizetype i = DailyBackup::kKeptDays; i < days.size(); ++i) {
        // Only what a backup makes goes; a folder holding anything else stays.
        const QDir old(dayFolderIn(backupsFolder, days.at(i)));
        for (const DailyBackup::Source &table : tables) {
            for (const QString &name : {table.fileName, partName(table.fileName),
                                        partName(table.fileName) + QStringLiteral("-journal")})
                QFile::remove(old.filePath(name));
        }
        backups.rmdir(days.at(i).toString(kDateFormat));
    }
}

} // namespace

} // namespace store
