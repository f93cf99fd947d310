// The export of stored tests against the sqlite3 command-line tool writing
// the same table as CSV, and the opening of the data window over a million
// stored tests against a plain table model on the same file.  Both pairs are
// measured in the same run; the ratios are the figures that count.

#include "data/csvexport.h"
#include "data/dbgrid.h"
#include "data/tform4.h"
#include "store/query.h"
#include "store/trainingtables.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

// Fills the test table with `count` tests whose fields hold texts as the
// clock window writes them, in one statement.
void fillTests(store::Table &table, int count)
{
    QStringList values{QStringLiteral("'07.12.2026'"), QStringLiteral("x % 40 + 1"),
                       QStringLiteral("'Name' || x"), QStringLiteral("'Surname'"),
                       QStringLiteral("'82,5'"), QStringLiteral("'181'"),
                       QStringLiteral("'Kniebeuge ' || (x % 7)"), QStringLiteral("'100'")};
    for (int set = 1; set <= 20; ++set)
        values << QStringLiteral("'%1,%2'").arg(20 + set).arg(set % 10) << QStringLiteral("'6'");
    values << QStringLiteral("'3'") << QStringLiteral("'2'") << QStringLiteral("'1,5'") << QStringLiteral("'0,5'")
           << QStringLiteral("'0,5'") << QStringLiteral("'6'") << QStringLiteral("'20'") << QStringLiteral("'120'")
           << QStringLiteral("'540'") << QStringLiteral("'420'");
    QStringList columns;
    for (int i = 1; i < table.layout().fields.size(); ++i)
        columns << QLatin1Char('"') + table.layout().fields.at(i).name + QLatin1Char('"');
    QSqlQuery query(table.database());
    const QString sql = QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                                       "INSERT INTO TestTable (%2) SELECT %3 FROM c")
                            .arg(count)
                            .arg(columns.join(QLatin1Char(',')), values.join(QLatin1Char(',')));
    if (!query.exec(sql)) {
        std::fprintf(stderr, "filling the test table failed\n");
        std::abort();
    }
}

// A folder with its tables, filled once per process.
struct Store {
    QTemporaryDir dir;
    std::unique_ptr<store::TrainingTables> tables;
    explicit Store(int tests)
    {
        tables = std::make_unique<store::TrainingTables>(dir.path());
        tables->openAll();
        fillTests(tables->TestTable, tests);
    }
};

Store &exportStore()
{
    static Store store(100000);
    return store;
}

Store &windowStore()
{
    static Store store(1000000);
    return store;
}

double secondsOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// The export as the button runs it (through a temporary file, made durable,
// then put in place), next to the sqlite3 tool writing the table as CSV.
void BM_ExportVsSqlite3(benchmark::State &state)
{
    Store &s = exportStore();
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite.isEmpty()) {
        state.SkipWithError("the sqlite3 command-line tool is not installed");
        return;
    }
    const QString ours = s.dir.filePath(QStringLiteral("Korvane.csv"));
    const QString theirs = s.dir.filePath(QStringLiteral("sqlite3.csv"));
    store::Query query(s.tables->TestTable);
    double exportSeconds = 0;
    double toolSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        data::exportTestsToFile(ours, query, [](int) {});
        const double e = secondsOf(timer);

        timer.restart();
        QProcess tool;
        tool.setStandardOutputFile(theirs);
        tool.start(sqlite, {QStringLiteral("-csv"), s.tables->TestTable.filePath(),
                            QStringLiteral("SELECT * FROM TestTable ORDER BY Testnr;")});
        tool.waitForFinished(-1);
        const double t = secondsOf(timer);
        if (tool.exitCode() != 0) {
            state.SkipWithError("sqlite3 failed");
            return;
        }
        exportSeconds += e;
        toolSeconds += t;
        state.SetIterationTime(e);
    }
    state.counters["export_s"] = exportSeconds / double(state.iterations());
    state.counters["sqlite3_s"] = toolSeconds / double(state.iterations());
    state.counters["ratio"] = exportSeconds / toolSeconds;
    state.counters["export_MB"] = double(QFile(ours).size()) / 1e6;
    state.counters["sqlite3_MB"] = double(QFile(theirs).size()) / 1e6;
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
    state.counters["window_s"] = windowSeconds / double(state.iterations());
    state.counters["plain_model_s"] = plainSeconds / double(state.iterations());
    state.counters["ratio"] = windowSeconds / plainSeconds;
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
    state.counters["open_s"] = openSeconds / double(state.iterations());
    state.counters["plain_open_s"] = plainSeconds / double(state.iterations());
    state.counters["ratio"] = openSeconds / plainSeconds;
}
BENCHMARK(BM_OpenTablesAtStart)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
