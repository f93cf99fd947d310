#pragma once

#include "store/dailybackup.h"
#include "store/table.h"

#include <QString>

#include <future>

namespace store {

// The three tables of the program, all in one folder ("." for the working
// folder).  The main window owns one set; the windows reach the tables here.
class TrainingTables {
public:
    explicit TrainingTables(const QString &folder);
    // The tables on a database server that several stations share.
    explicit TrainingTables(const ServerAddress &server);

    // Opens SPTable, TestTable and ProfilTable in this order: first those
    // whose files exist, then the missing ones, created with their layouts.
    // Throws a StoreError naming the file and the reason; the folder is then
    // left as it was: no file is modified, none is created.
    void openAll();
    // openAll() on a thread of its own while the caller goes on; get() on
    // the result waits for it and throws what it threw.  The connections
    // are then handed to the calling thread, the only one that may use
    // them (Qt's drivers belong to a thread).  Nothing else may use the
    // tables until get() returned.
    std::future<void> openAllAside();

    // The tables' folder; empty for tables on a server.
    QString folder() const { return m_folder; }
    const std::optional<ServerAddress> &server() const { return TestTable.server(); }
    bool onServer() const { return TestTable.onServer(); }

    // The copy made before the first write of each day (a server keeps
    // its own backups: none is made there).
    DailyBackup &backup() { return m_backup; }

private:
    void openEach();

    QString m_folder;

public:
    Table SPTable;
    Table TestTable;
    Table ProfilTable;

private:
    DailyBackup m_backup;
};

} // namespace store
