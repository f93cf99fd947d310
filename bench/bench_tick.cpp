// The cost of the 100 ms clock tick of a running test, including the repaint
// it causes, against an idle turn of the event loop measured in the same run.
//
//   build/release/bench/bench_tick
//
// Counters: ratio_to_idle (tick / idle loop turn), core_share_pct (CPU share
// of one core at ten ticks a second), paints_per_tick.

#include "benchsupport.h"
#include "clock/tform1.h"
#include "support/manualclock.h"
#include "support/recordingsound.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace {

using bench::PaintCounter;
using bench::idleTurnNs;

struct RunningTest {
    ManualClock clock;
    RecordingSound sound;
    TForm1 form;
    PaintCounter counter;
    int now = 36000000;

    RunningTest()
    {
        platform::setWallClock(&clock);
        platform::setSoundOutput(&sound);
        clock.set(now);
        form.Timer1->stop();
        form.Edit39->setText(QStringLiteral("Anna"));
        form.Edit47->setText(QStringLiteral("Bench"));
        form.Edit51->setText(QStringLiteral("Press"));
        form.Wiederholungen->setText(QStringLiteral("100000"));
        form.FormActivate();
        form.setWindowState(Qt::WindowNoState);
        form.show();
        form.sStartClick();
        QCoreApplication::processEvents();
        for (QWidget *w : form.findChildren<QWidget *>())
            w->installEventFilter(&counter);
        form.installEventFilter(&counter);
    }
    ~RunningTest()
    {
        platform::setWallClock(nullptr);
        platform::setSoundOutput(nullptr);
    }
};

void runTicks(benchmark::State &state, int stepMs)
{
    RunningTest test;
    const double idle = idleTurnNs();
    test.counter.paints = 0;
    const std::clock_t start = std::clock();
    long ticks = 0;
    for (auto _ : state) {
        test.now += stepMs;
        test.clock.set(test.now % platform::kDayMs);
        test.form.Timer1Timer();
        QCoreApplication::processEvents();   // the repaint the tick asked for
        ++ticks;
    }
    bench::reportTicks(state, start, ticks, test.counter.paints, idle);
}

void BM_IdleEventLoopTurn(benchmark::State &state)
{
    for (auto _ : state)
        QCoreApplication::processEvents();
}

void BM_TickRunningSet(benchmark::State &state)
{
    runTicks(state, 100);
}

void BM_TickThatChangesNothing(benchmark::State &state)
{
    runTicks(state, 0);
}

BENCHMARK(BM_IdleEventLoopTurn);
BENCHMARK(BM_TickRunningSet);
BENCHMARK(BM_TickThatChangesNothing);

} // namespace

// The offscreen platform warns about every shown window; the tables stay readable without it.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtWarningMsg || !message.contains(QLatin1String("propagateSizeHints")))
        fprintf(stderr, "%s\n", qPrintable(message));
}

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietHandler);
    bench::drawOffscreenUnlessSet();
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv, bench::UnknownOptions::Ignore);
}
