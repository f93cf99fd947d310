#include "store/trainingtables.h"

#include "store/analysisviews.h"
#include "store/storeaction.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QThread>

namespace store {

TrainingTables::TrainingTables(const QString &folder)
    : m_folder(folder)
    , SPTable(spTableLayout(), folder)
    , TestTable(testTableLayout(), folder)
    , ProfilTable(profilLayout(), folder)
    , m_backup(folder, {&SPTable, &TestTable, &ProfilTable})
{
    for (Table *table : {&SPTable, &TestTable, &ProfilTable})
        table->setBeforeWrite([this] { m_backup.beforeWrite(); });
}

TrainingTables::TrainingTables(const ServerAddress &server)
    : SPTable(spTableLayout(), server)
    , TestTable(testTableLayout(), server)
    , ProfilTable(profilLayout(), server)
    , m_backup(QString(), {})
{
}

void TrainingTables::openAll()
{
    // A server that does not answer is left after a while (storeaction.h).
    runStoreAction({&SPTable, &TestTable, &ProfilTable}, [this] { openEach(); });
}

void TrainingTables::openEach()
{
    // The files there are checked first, all of them, so that a refused one
    // ends the start before anything was made in the folder; the missing
    // ones are created after.
    Table *const order[] = {&SPTable, &TestTable, &ProfilTable};
    QList<Table *> missing;
    for (Table *table : order) {
        if (table->isOpen())
            continue;
        if (table->fileExists())
            table->open();
        else
            missing << table;
    }
    QList<Table *> created;
    try {
        for (Table *table : missing) {
            table->open();
            created << table;
        }
    } catch (...) {
        // A folder where only some could be made is left as it was found.
        for (Table *table : created)
            table->discardCreatedFile();
        throw;
    }
    // The typed views for analysis follow the tables.  A folder or server
    // where they cannot be made (read-only, no right to create views) works
    // as before without them.
    keepAnalysisViews(TestTable.database(), TestTable.onServer() ? SqlDialect::Postgres : SqlDialect::Sqlite);
}

std::future<void> TrainingTables::openAllAside()
{
    QThread *const caller = QThread::currentThread();
    return std::async(std::launch::async, [this, caller] {
        const auto handOver = [this, caller] {
            for (const Table *table : {&SPTable, &TestTable, &ProfilTable}) {
                const QSqlDatabase db = QSqlDatabase::database(table->connectionName(), false);
                if (db.isValid() && db.driver())
                    db.driver()->moveToThread(caller);
            }
        };
        try {
            openAll();
        } catch (...) {
            // The tables that did open are closed by their owner's thread.
            handOver();
            throw;
        }
        handOver();
    });
}

} // namespace store
