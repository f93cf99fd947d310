// The cost of the athlete view following a running test: each step feeds it
// the display of the next 100 ms tick (countdown, bars, gauge) and lets it
// repaint, against an idle turn of the event loop measured in the same run.
//
//   build/release/bench/bench_athleteview
//
// Counters: ratio_to_idle (step / idle loop turn), core_share_pct (CPU share
// of one core at ten ticks a second), paints_per_tick.

#include "benchsupport.h"
#include "clock/athleteview.h"

#include <QApplication>
#include <QEvent>
#include <benchmark/benchmark.h>

#include <ctime>

namespace {

using bench::PaintCounter;
using bench::idleTurnNs;

// The display `tenths` tenths of a second into a set of 2 s Fro-Phase, 1 s
// rest, 2 s To-Phase, 1 s rest per repetition, 8 repetitions.
AthleteDisplay displayAt(long tenths)
{
    AthleteDisplay d;
    d.phaseColour = QColor(0, 255, 128);
    d.repetitionCount = 8;
    d.set = 1;
    d.setCount = 3;
    d.gaugeMax = 480;
    d.gaugeProgress = int(tenths % 480);
    const int q = int(tenths % 60);
    d.repetition = int(tenths / 60 % 8) + 1;
    const auto left = [](int t) { return QStringLiteral("%1,%2").arg(t / 10).arg(t % 10); };
    if (q < 20) {
        d.phaseName = QStringLiteral("Fro-Phase");
        d.countdown = left(20 - q);
        d.froBar = q / 20.0;
    } else if (q < 30) {
        d.phaseName = QStringLiteral("Rest after Fro-Phase");
        d.countdown = left(30 - q);
        d.froBar = 1;
    } else if (q < 50) {
        d.phaseName = QStringLiteral("To-Phase");
        d.countdown = left(50 - q);
        d.froBar = 1;
        d.toBar = (q - 30) / 20.0;
    } else {
        d.phaseName = QStringLiteral("Rest after To-Phase");
        d.countdown = left(60 - q);
        d.froBar = 1;
        d.toBar = 1;
    }
    return d;
}

void follow(benchmark::State &state, int width, int height, int stepTenths)
{
    AthleteView view;
    view.resize(width, height);
    view.setDisplay(displayAt(0));
    view.show();
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    PaintCounter counter;
    view.installEventFilter(&counter);
    const double idle = idleTurnNs();
    long tenths = 0;
    long ticks = 0;
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        tenths += stepTenths;
        view.setDisplay(displayAt(tenths));
        QCoreApplication::processEvents();   // the repaint it asked for
        ++ticks;
    }
    bench::reportTicks(state, start, ticks, counter.paints, idle);
}

void BM_AthleteViewFullHd(benchmark::State &state) { follow(state, 1920, 1080, 1); }
void BM_AthleteViewHalfScreen(benchmark::State &state) { follow(state, 1440, 810, 1); }
void BM_AthleteViewTickThatChangesNothing(benchmark::State &state) { follow(state, 1920, 1080, 0); }

BENCHMARK(BM_AthleteViewFullHd);
BENCHMARK(BM_AthleteViewHalfScreen);
BENCHMARK(BM_AthleteViewTickThatChangesNothing);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv, bench::UnknownOptions::Ignore);
}
