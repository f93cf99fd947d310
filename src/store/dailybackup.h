#pragma once

// A copy of the tables once a day, made before the day's first write, so
// that a mistaken edit or a damaged file can be undone from the day before.
// The copy is made aside, on a thread of its own, as soon as the folder is
// opened (and again when the day turns), so the day's first save does not
// wait for it.

#include "core/errors.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <future>
#include <optional>

struct sqlite3;

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
    // Waits for a backup still being made aside.
    ~DailyBackup();
    DailyBackup(const DailyBackup &) = delete;
    DailyBackup &operator=(const DailyBackup &) = delete;

    // Starts today's backup on a thread of its own, reading the table files
    // through connections of its own, unless one was made or tried today or
    // is being made.  Call it once the tables are open.  Never throws.
    void startAside();
    // True while a backup started aside is still being made.
    bool isMakingAside() const;

    // Called before anything is written to one of the tables: waits for a
    // backup being made aside, else makes today's backup unless one was made
    // (by this or an earlier run) or tried today.  Never throws.
    void beforeWrite();
    // Receives the failure of a backup (kind BackupFailed).
    void setFailureHandler(std::function<void(const core::Failure &)> handler) { m_onFailure = std::move(handler); }

    // "Backups" in the tables' folder, and the folder of one day's backup.
    QString backupsFolder() const;
    QString dayFolder(const QDate &day) const;

    // Makes the backup of `day` now (unless the day has a complete one) and
    // removes the folders beyond the kept days; throws the failure.
    void backUp(const QDate &day);

    // One table file as a backup reads it: through the table's own
    // connection (`handle`) or, when that is null, a read-only one of its own.
    struct Source {
        QString fileName;
        QString filePath;
        sqlite3 *handle = nullptr;
    };

private:
    // The tables as the backup reads them; `ownConnections` leaves the
    // tables' connections, which belong to the thread that opened them, alone.
    QList<Source> sources(bool ownConnections) const;
    // Waits for the backup made aside and hands its failure on.
    void finishAside();
    void report(const core::Failure &failure);

    QString m_folder;
    QList<const Table *> m_tables;
    QDate m_triedOn;
    std::function<void(const core::Failure &)> m_onFailure;
    // The backup being made aside and its day; it hands back its failure.
    std::future<std::optional<core::Failure>> m_aside;
    QDate m_asideDay;
};

} // namespace store
