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

    // Opens SPTable, TestTable and ProfilTable in this order: first those
    // whose files exist, then the missing ones, created with their layouts.
    // Throws a StoreError naming the file and the reason; the folder is then
    // left as it was: no file is modified, none is created.
    void openAll();

    QString folder() const { return m_folder; }

    // The copy made before the first write of each day.
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
