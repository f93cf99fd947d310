#pragma once

#include "store/table.h"

#include <QString>

namespace store {

// The three tables of the program, all in one folder ("." for the working
// folder).  The main window owns one set; the windows reach the tables here.
class TrainingTables {
public:
    explicit TrainingTables(const QString &folder);

    // Opens SPTable, TestTable and ProfilTable in this order, creating a
    // missing file with its layout.  Throws a StoreError naming the file and
    // the reason; a file that is refused is never modified.
    void openAll();

    QString folder() const { return m_folder; }

private:
    QString m_folder;

public:
    Table SPTable;
    Table TestTable;
    Table ProfilTable;
};

} // namespace store
