// The export of stored tests against the sqlite3 command-line tool writing
// the same table as CSV, and the opening of the data window over a million
// stored tests against a plain table model on the same file.  Both pairs are
// measured in the same run; the ratios are the figures that count.

#include "model/csvexport.h"
#include "data/dbgrid.h"
#include "data/tform4.h"
#include "store/query.h"
#include "store/trainingtables.h"
#include "benchsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTableView>

namespace {

using bench::Store;
using bench::secondsOf;

Store &exportStore()
{
    static Store store(100000, bench::sameDayTests());
    return store;
}

Store &windowStore()
{
    static Store store(1000000, bench::sameDayTests());
    return store;
}

// The export as the button runs it (through a temporary file, made durable,
// then put in place), next to the sqlite3 tool writing the table as CSV.
void BM_ExportVsSqlite3(benchmark::State &state)
{
    Store &s = exportStore();
    const QString ours = s.dir.filePath(QStringLiteral("Korvane.csv"));
    const QString theirs = s.dir.filePath(QStringLiteral("sqlite3.csv"));
    store::Query query(s.tables->TestTable);
    if (!bench::exportAgainstSqlite3(state, ours, theirs,
                                     {QStringLiteral("-csv"), s.tables->TestTable.filePath(),
                                      QStringLiteral("SELECT * FROM TestTable ORDER BY Testnr;")},
                                     [&](const QString &path) { data::exportTestsToFile(path, query, [](int) {}); }))
        return;
    state.counters["tests"] = double(query.recordCount());
}
BENCHMARK(BM_ExportVsSqlite3)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Only the writing of the lines, into memory, without the file.
void BM_ExportToMemory(benchmark::State &state)
{
    Store &s = exportStore();
    store::Query query(s.tables->TestTable);
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        data::writeTestExport(buffer, query, [](int) {});
        bytes = buffer.size();
    }
    state.SetBytesProcessed(bytes * state.iterations());
}
BENCHMARK(BM_ExportToMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

// Showing the data window over a million stored tests, until its grids have
// their first rows, next to a plain table model and view on the same file.
void BM_OpenDataWindow(benchmark::State &state)
{
    Store &s = windowStore();
    double windowSeconds = 0;
    double plainSeconds = 0;
    int rowsShown = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        {
            TForm4 window(*s.tables);
            window.show();
            QCoreApplication::processEvents();
            rowsShown = window.grid(1)->model()->rowCount();
            window.hide();
        }
        const double w = secondsOf(timer);

        timer.restart();
        {
            QSqlTableModel model(nullptr, s.tables->TestTable.database());
            model.setTable(QStringLiteral("TestTable"));
            model.select();
            QTableView view;
            view.setModel(&model);
            view.resize(988, 500);
            view.show();
            QCoreApplication::processEvents();
            view.hide();
        }
        const double p = secondsOf(timer);
        windowSeconds += w;
        plainSeconds += p;
        state.SetIterationTime(w);
    }
    bench::reportAgainstBaseline(state, "window_s", windowSeconds, "plain_model_s", plainSeconds);
    state.counters["rows_fetched"] = rowsShown;
    QSqlQuery count(s.tables->TestTable.database());
    if (count.exec(QStringLiteral("SELECT COUNT(*) FROM TestTable")) && count.next())
        state.counters["stored_tests"] = count.value(0).toDouble();
}
BENCHMARK(BM_OpenDataWindow)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Opening the three tables at start-up over a million stored tests, which
// checks every page of the files, next to a plain connection that opens the
// test table's file and reads its layout only.
void BM_OpenTablesAtStart(benchmark::State &state)
{
    Store &s = windowStore();
    double openSeconds = 0;
    double plainSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        {
            store::TrainingTables tables(s.dir.path());
            tables.openAll();
        }
        const double o = secondsOf(timer);

        timer.restart();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
            db.setDatabaseName(s.tables->TestTable.filePath());
            db.open();
            QSqlQuery query(db);
            query.exec(QStringLiteral("SELECT name FROM pragma_table_info('TestTable')"));
            while (query.next()) {
            }
            query = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("plain"));
        const double p = secondsOf(timer);
        openSeconds += o;
        plainSeconds += p;
        state.SetIterationTime(o);
    }
    bench::reportAgainstBaseline(state, "open_s", openSeconds, "plain_open_s", plainSeconds);
}
BENCHMARK(BM_OpenTablesAtStart)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    bench::drawOffscreenUnlessSet();
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
