#pragma once

#include "store/dailybackup.h"
#include "store/table.h"

#include <QString>

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

    // The tables' folder; empty for tables on a server.
    QString folder() const { return m_folder; }
    const std::optional<ServerAddress> &server() const { return TestTable.server(); }
    bool onServer() const { return TestTable.onServer(); }

    // The copy made before the first write of each day (a server keeps
    // its own backups: none is made there).
    DailyBackup &backup() { return m_backup; }

private:
    QString m_folder;

public:
    Table SPTable;
    Table TestTable;
    Table ProfilTable;

private:
    DailyBackup m_backup;
};

} // namespace store
