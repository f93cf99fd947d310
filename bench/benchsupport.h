#pragma once

// What the benchmarks share: folders with stored tests, the sqlite3 tool as
// a baseline, timing and the counters they report, and the run itself.

#include "store/trainingtables.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QEvent>
#include <QObject>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace bench {

// Stored tests ---------------------------------------------------------------

// Adds `count` tests in one statement; `values` are SQL expressions over the
// running number x (from 1), one for each field after Testnr.
inline bool insertTests(store::Table &table, int count, const QStringList &values)
{
    QStringList columns;
    for (int i = 1; i < table.layout().fields.size(); ++i)
        columns << QLatin1Char('"') + table.layout().fields.at(i).name + QLatin1Char('"');
    QSqlQuery query(table.database());
    return query.exec(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                                     "INSERT INTO TestTable (%2) SELECT %3 FROM c")
                          .arg(count)
                          .arg(columns.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
}

// Tests of one day, all twenty sets filled, texts as the clock window writes
// them; names and exercises vary with x.
inline QStringList sameDayTests()
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
    return values;
}

// Tests of three sets each, a test a day.  `name` and `exercise` are SQL
// expressions over x.
inline QStringList dailyTests(const QString &name, const QString &exercise)
{
    QStringList values{
        QStringLiteral("printf('%02d.%02d.%04d', x % 28 + 1, (x / 28) % 12 + 1, 2000 + x / 336)"),
        QStringLiteral("x % 40 + 1"), name, QStringLiteral("'Berger'"), QStringLiteral("'82,5'"),
        QStringLiteral("'181'"), exercise, QStringLiteral("'100'")};
    for (int set = 1; set <= 20; ++set) {
        if (set <= 3)
            values << QStringLiteral("printf('%d,%d', 18 + x % 5, x % 10)") << QStringLiteral("'6'");
        else
            values << QStringLiteral("''") << QStringLiteral("'0'");
    }
    values << QStringLiteral("'1,5'") << QStringLiteral("'1'") << QStringLiteral("'1'") << QStringLiteral("'0,5'")
           << QStringLiteral("'0,5'") << QStringLiteral("'6'") << QStringLiteral("'3'") << QStringLiteral("'120'")
           << QStringLiteral("'58,5'") << QStringLiteral("'36'");
    return values;
}

// A temporary folder with its tables and `tests` stored tests.
struct Store {
    QTemporaryDir dir;
    std::unique_ptr<store::TrainingTables> tables;
    Store(int tests, const QStringList &values)
    {
        tables = std::make_unique<store::TrainingTables>(dir.path());
        tables->openAll();
        if (!insertTests(tables->TestTable, tests, values)) {
            std::fprintf(stderr, "filling the test table failed\n");
            std::abort();
        }
    }
    Store(int tests, const QString &name, const QString &exercise) : Store(tests, dailyTests(name, exercise)) {}
};

// The sqlite3 baseline --------------------------------------------------------

// The sqlite3 command-line tool, or an empty text after marking the
// benchmark skipped when it is not installed.
inline QString sqlite3Tool(benchmark::State &state)
{
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite.isEmpty())
        state.SkipWithError("the sqlite3 command-line tool is not installed");
    return sqlite;
}

// Runs the tool with `arguments`, its output into the file `output`; true
// when it succeeded.
inline bool runSqlite3(const QString &sqlite, const QStringList &arguments, const QString &output)
{
    QProcess tool;
    tool.setStandardOutputFile(output);
    tool.start(sqlite, arguments);
    tool.waitForFinished(-1);
    return tool.exitCode() == 0;
}

// Timing and counters ----------------------------------------------------------

inline double secondsOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// The mean seconds of the measured work and of its baseline over the
// iterations, and their ratio.
inline void reportAgainstBaseline(benchmark::State &state, const char *name, double seconds, const char *baseline,
                                  double baselineSeconds)
{
    state.counters[name] = seconds / double(state.iterations());
    state.counters[baseline] = baselineSeconds / double(state.iterations());
    state.counters["ratio"] = seconds / baselineSeconds;
}

// Each iteration writes the export file `ours` with `exportTo(ours)`, then
// has the sqlite3 tool write `theirs` from `arguments`; the iteration time is
// the export's.  Reports export_s, sqlite3_s, their ratio and the two files'
// sizes; false, the benchmark skipped, when the tool is missing or failed.
template <typename Export>
bool exportAgainstSqlite3(benchmark::State &state, const QString &ours, const QString &theirs,
                          const QStringList &arguments, Export exportTo)
{
    const QString sqlite = sqlite3Tool(state);
    if (sqlite.isEmpty())
        return false;
    double exportSeconds = 0;
    double toolSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        exportTo(ours);
        const double e = secondsOf(timer);

        timer.restart();
        const bool toolRan = runSqlite3(sqlite, arguments, theirs);
        const double t = secondsOf(timer);
        if (!toolRan) {
            state.SkipWithError("sqlite3 failed");
            return false;
        }
        exportSeconds += e;
        toolSeconds += t;
        state.SetIterationTime(e);
    }
    reportAgainstBaseline(state, "export_s", exportSeconds, "sqlite3_s", toolSeconds);
    state.counters["export_MB"] = double(QFile(ours).size()) / 1e6;
    state.counters["sqlite3_MB"] = double(QFile(theirs).size()) / 1e6;
    return true;
}

// Counts the paint events of the widgets it filters.
struct PaintCounter : QObject {
    long paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Nanoseconds of CPU time per idle event-loop turn.
inline double idleTurnNs()
{
    constexpr int turns = 20000;
    const std::clock_t start = std::clock();
    for (int i = 0; i < turns; ++i)
        QCoreApplication::processEvents();
    return double(std::clock() - start) / CLOCKS_PER_SEC * 1e9 / turns;
}

// The counters of `ticks` clock ticks that took the CPU time since `start`
// and caused `paints` paints, against an idle loop turn of `idleNs`.
inline void reportTicks(benchmark::State &state, std::clock_t start, long ticks, long paints, double idleNs)
{
    const double tickNs = double(std::clock() - start) / CLOCKS_PER_SEC * 1e9 / ticks;
    state.counters["idle_turn_ns"] = idleNs;
    state.counters["tick_ns"] = tickNs;
    state.counters["ratio_to_idle"] = tickNs / idleNs;
    state.counters["core_share_pct"] = tickNs / 100e6 * 100;   // one tick per 100 ms
    state.counters["paints_per_tick"] = double(paints) / ticks;
}

// The run --------------------------------------------------------------------

// Windows go to the offscreen platform unless QT_QPA_PLATFORM names another.
inline void drawOffscreenUnlessSet()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

enum class UnknownOptions { Refuse, Ignore };

// Runs the benchmarks the command line selects; call it with the application
// made.
inline int runBenchmarks(int argc, char **argv, UnknownOptions unknown = UnknownOptions::Refuse)
{
    benchmark::Initialize(&argc, argv);
    if (unknown == UnknownOptions::Refuse && benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
