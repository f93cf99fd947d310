// The test report of one test in a table of 100,000 tests, from the command
// line (the program started, the test and its athlete's series read, the
// PDF written), against the sqlite3 command-line tool reading the same rows
// in the same run; and the same report made inside the process.

#include "benchsupport.h"
#include "report/reportcommand.h"
#include "report/reportpage.h"
#include "store/testreader.h"

#include <QGuiApplication>

namespace {

constexpr int testCount = 100000;
// A test late in the table: its athlete's series runs through the table.
constexpr int reportedTest = 99990;

bench::Store &reportStore()
{
    static bench::Store store(testCount, QStringLiteral("'Athlete ' || (x % 50)"),
                              QStringLiteral("'Kniebeuge ' || (x % 7)"));
    return store;
}

void BM_ReportCommandVsSqlite3(benchmark::State &state)
{
    bench::Store &s = reportStore();
    const QString sqlite = bench::sqlite3Tool(state);
    if (sqlite.isEmpty())
        return;
    const QString pdf = s.dir.filePath(QStringLiteral("report.pdf"));
    const QString rows = s.dir.filePath(QStringLiteral("rows.txt"));
    const QString folder = s.dir.path();
    // What the report reads: the test, then its athlete's tests of the exercise up to it.
    const QString sql = QStringLiteral("SELECT * FROM TestTable WHERE Testnr = %1; "
                                       "SELECT * FROM TestTable WHERE Testnr <= %1 AND Name = 'Athlete %2' "
                                       "AND Surname = 'Berger' AND Exercise = 'Kniebeuge %3' ORDER BY Testnr;")
                            .arg(reportedTest)
                            .arg(reportedTest % 50)
                            .arg(reportedTest % 7);
    double reportSeconds = 0;
    double toolSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QProcess program;
        program.start(QStringLiteral(KORVANE_PROGRAM),
                      {QStringLiteral("--report"), QString::number(reportedTest), QStringLiteral("--folder"), folder,
                       QStringLiteral("--output"), pdf});
        program.waitForFinished(-1);
        const double r = bench::secondsOf(timer);
        if (program.exitCode() != 0) {
            state.SkipWithError(program.readAllStandardError().constData());
            return;
        }
        timer.restart();
        if (!bench::runSqlite3(sqlite, {s.tables->TestTable.filePath(), sql}, rows)) {
            state.SkipWithError("sqlite3 failed");
            return;
        }
        const double t = bench::secondsOf(timer);
        reportSeconds += r;
        toolSeconds += t;
        state.SetIterationTime(r);
    }
    bench::reportAgainstBaseline(state, "report_s", reportSeconds, "sqlite3_s", toolSeconds);
    state.counters["pdf_kB"] = double(QFile(pdf).size()) / 1e3;
}
BENCHMARK(BM_ReportCommandVsSqlite3)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Inside the process: reading the two sets of rows, and making and writing the page.
void BM_ReportInProcess(benchmark::State &state)
{
    bench::Store &s = reportStore();
    const QString pdf = s.dir.filePath(QStringLiteral("in-process.pdf"));
    int seriesTests = 0;
    for (auto _ : state) {
        std::unique_ptr<store::SqliteTestReader> reader = store::SqliteTestReader::openFile(s.dir.path());
        const report::ReportPage page = report::storedTestReport(*reader, reportedTest);
        report::writeReportPdf(pdf, page);
        seriesTests = page.content().progress.tests;
    }
    state.counters["series_tests"] = seriesTests;
}
BENCHMARK(BM_ReportInProcess)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    bench::drawOffscreenUnlessSet();
    QGuiApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
