// The complete export of 100,000 stored tests against the sqlite3 command-line
// tool writing the same table as CSV, both in the same run; the ratio is the
// figure that counts.

#include "benchsupport.h"
#include "model/fullexport.h"
#include "model/xlsxexport.h"

#include <QBuffer>
#include <QCoreApplication>

namespace {

bench::Store &exportStore()
{
    static bench::Store store(100000, QStringLiteral("'Athlete ' || (x % 50)"),
                              QStringLiteral("'Kniebeuge, tief ' || (x % 7)"));
    return store;
}

// The export as the button and the command line run it (through a
// temporary file, then put in place), next to sqlite3 -csv.
void BM_FullExportVsSqlite3(benchmark::State &state)
{
    bench::Store &s = exportStore();
    const QString ours = s.dir.filePath(QStringLiteral("Korvane-all.csv"));
    const QString theirs = s.dir.filePath(QStringLiteral("sqlite3.csv"));
    qint64 tests = 0;
    if (!bench::exportAgainstSqlite3(
            state, ours, theirs,
            {QStringLiteral("-csv"), QStringLiteral("-header"), s.tables->TestTable.filePath(),
             QStringLiteral("SELECT * FROM TestTable ORDER BY Testnr;")},
            [&](const QString &path) { tests = data::writeFullExportFile(path, s.tables->TestTable.database()); }))
        return;
    state.counters["tests"] = double(tests);
}
BENCHMARK(BM_FullExportVsSqlite3)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// The workbook of the same tests against the complete export, both written
// to files in each iteration; the ratio is the workbook's time over the
// export's.
void BM_WorkbookVsFullExport(benchmark::State &state)
{
    bench::Store &s = exportStore();
    const QString csv = s.dir.filePath(QStringLiteral("Korvane-all.csv"));
    const QString workbook = s.dir.filePath(QStringLiteral("Korvane.xlsx"));
    data::WorkbookSources sources;
    sources.tests = s.tables->TestTable.database();
    sources.athletes = s.tables->SPTable.database();
    sources.profiles = s.tables->ProfilTable.database();
    double workbookSeconds = 0;
    double csvSeconds = 0;
    data::WorkbookSummary summary;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        summary = data::writeWorkbookFile(workbook, sources);
        const double w = bench::secondsOf(timer);
        timer.restart();
        data::writeFullExportFile(csv, s.tables->TestTable.database());
        csvSeconds += bench::secondsOf(timer);
        workbookSeconds += w;
        state.SetIterationTime(w);
    }
    bench::reportAgainstBaseline(state, "workbook_s", workbookSeconds, "csv_s", csvSeconds);
    state.counters["tests"] = double(summary.tests);
    state.counters["sets"] = double(summary.sets);
    state.counters["workbook_MB"] = double(QFile(workbook).size()) / 1e6;
}
BENCHMARK(BM_WorkbookVsFullExport)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Only the making of the lines, into memory.
void BM_FullExportToMemory(benchmark::State &state)
{
    bench::Store &s = exportStore();
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        data::writeFullExport(buffer, s.tables->TestTable.database());
        bytes = buffer.size();
    }
    state.SetBytesProcessed(bytes * state.iterations());
}
BENCHMARK(BM_FullExportToMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
