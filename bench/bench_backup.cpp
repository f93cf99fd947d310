// The first save of a day against an ordinary save, both in the same run, in
// a folder of 1,000,000 stored tests: the day's backup is made aside when the
// folder is opened, so the first save should not wait for the copy.  The
// ratio first_save_s / ordinary_save_s is the figure that counts.

#include "benchsupport.h"
#include "support/manualclock.h"

#include <QDir>
#include <QThread>

namespace {

constexpr int kTests = 1000000;

// The big folder, filled once for every iteration.
QTemporaryDir &bigFolder()
{
    static QTemporaryDir dir;
    static const bool filled = [] {
        store::TrainingTables tables(dir.path());
        tables.openAll();
        return bench::insertTests(tables.TestTable, kTests, bench::sameDayTests());
    }();
    if (!filled) {
        std::fprintf(stderr, "filling the test table failed\n");
        std::abort();
    }
    return dir;
}

// One save as the clock window makes it: a new test record.
void saveOneTest(store::TrainingTables &tables, int n)
{
    store::Table &table = tables.TestTable;
    table.append();
    table.setFieldText(QStringLiteral("Date"), QStringLiteral("08.12.2026"));
    table.setFieldText(QStringLiteral("Name"), QStringLiteral("Bench %1").arg(n));
    table.setFieldText(QStringLiteral("RealTime1"), QStringLiteral("20,5"));
    table.post();
}

// Each iteration is a new day: the folder is opened (which starts the day's
// backup aside, as the main window does), the time a tester takes before the
// first Save passes, then the first save and an ordinary second one are timed.
// With the argument 0 nothing is started aside: the first save makes the
// backup itself, for comparison.
void BM_FirstSaveOfTheDay(benchmark::State &state)
{
    const bool aside = state.range(0) != 0;
    QTemporaryDir &dir = bigFolder();
    ManualClock clock;
    platform::setWallClock(&clock);
    double firstSeconds = 0;
    double ordinarySeconds = 0;
    double backupSeconds = 0;
    int day = 0;
    int saved = 0;
    for (auto _ : state) {
        clock.setDate(QDate(2027, 1, 1).addDays(day++));
        store::TrainingTables tables(dir.path());
        tables.openAll();
        QElapsedTimer timer;
        timer.start();
        if (aside)
            tables.backup().startAside();
        // A test takes longer than the backup: the tester saves after it.
        while (tables.backup().isMakingAside())
            QThread::msleep(5);
        backupSeconds += bench::secondsOf(timer);

        timer.restart();
        saveOneTest(tables, ++saved);
        const double first = bench::secondsOf(timer);
        timer.restart();
        saveOneTest(tables, ++saved);
        const double ordinary = bench::secondsOf(timer);
        firstSeconds += first;
        ordinarySeconds += ordinary;
        state.SetIterationTime(first);

        state.PauseTiming();
        QDir(tables.backup().backupsFolder()).removeRecursively();
        state.ResumeTiming();
    }
    platform::setWallClock(nullptr);
    bench::reportAgainstBaseline(state, "first_save_s", firstSeconds, "ordinary_save_s", ordinarySeconds);
    state.counters["backup_aside_s"] = backupSeconds / double(state.iterations());
    state.counters["tests"] = kTests;
}
BENCHMARK(BM_FirstSaveOfTheDay)->ArgName("aside")->Arg(1)->Arg(0)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
