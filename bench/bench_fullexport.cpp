// The complete export of 100,000 stored tests against the sqlite3 command-line
// tool writing the same table as CSV, both in the same run; the ratio is the
// figure that counts.

#include "data/fullexport.h"
#include "testtables.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

namespace {

bench::Store &exportStore()
{
    static bench::Store store(100000, QStringLiteral("'Athlete ' || (x % 50)"),
                              QStringLiteral("'Kniebeuge, tief ' || (x % 7)"));
    return store;
}

double secondsOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// The export as the button and the command line run it (through a
// temporary file, then put in place), next to sqlite3 -csv.
void BM_FullExportVsSqlite3(benchmark::State &state)
{
    bench::Store &s = exportStore();
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite.isEmpty()) {
        state.SkipWithError("the sqlite3 command-line tool is not installed");
        return;
    }
    const QString ours = s.dir.filePath(QStringLiteral("Korvane-all.csv"));
    const QString theirs = s.dir.filePath(QStringLiteral("sqlite3.csv"));
    double exportSeconds = 0;
    double toolSeconds = 0;
    qint64 tests = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        tests = data::writeFullExportFile(ours, s.tables->TestTable.database());
        const double e = secondsOf(timer);

        timer.restart();
        QProcess tool;
        tool.setStandardOutputFile(theirs);
        tool.start(sqlite, {QStringLiteral("-csv"), QStringLiteral("-header"), s.tables->TestTable.filePath(),
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
    state.counters["tests"] = double(tests);
}
BENCHMARK(BM_FullExportVsSqlite3)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

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
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
