#pragma once

// A copy of the tables once a day, made before the day's first write, so
// that a mistaken edit or a damaged file can be undone from the day before.

#include "core/errors.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

namespace store {

class Table;

// Copies the tables with SQLite's online backup into "Backups/<yyyy-mm-dd>/"
// of their folder before the first write of each day, and keeps the newest
// kKeptDays such folders.  Only dated folders are ever removed, and of them
// only the files a backup makes; anything else in "Backups" stays.
//
// A backup that fails never stops the write: the failure is handed to the
// failure handler once, and the backup is tried again on the next day.
class DailyBackup {
public:
    static constexpr int kKeptDays = 14;

    DailyBackup(const QString &folder, QList<const Table *> tables);

    // Called before anything is written to one of the tables: makes today's
    // backup unless one was made (by this or an earlier run) or tried today.
    // Never throws.
    void beforeWrite();
    // Receives the failure of a backup (kind BackupFailed).
    void setFailureHandler(std::function<void(const core::Failure &)> handler) { m_onFailure = std::move(handler); }

    // "Backups" in the tables' folder, and the folder of one day's backup.
    QString backupsFolder() const;
    QString dayFolder(const QDate &day) const;

    // Makes the backup of `day` now (unless the day has a complete one) and
    // removes the folders beyond the kept days; throws the failure.
    void backUp(const QDate &day);

private:
    void copyTable(const Table &table, const QString &dayFolder);
    void removeOldBackups();

    QString m_folder;
    QList<const Table *> m_tables;
    QDate m_triedOn;
    std::function<void(const core::Failure &)> m_onFailure;
};

} // namespace store
