// Opening the progress window over 10,000 stored tests of one athlete, until
// its charts are drawn, against opening the data window over the same tables
// in the same run.  The window must open in under half a second.

#include "data/dbgrid.h"
#include "data/progresswindow.h"
#include "data/tform4.h"
#include "testtables.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

namespace {

double secondsOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

void BM_OpenProgressWindow(benchmark::State &state)
{
    static bench::Store store(10000, QStringLiteral("'Anna'"), QStringLiteral("'Bench Press'"));
    double progressSeconds = 0;
    double dataSeconds = 0;
    int points = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        {
            ProgressWindow window(store.tables->TestTable);
            window.showAthlete(QStringLiteral("Anna"), QStringLiteral("Berger"));
            window.repaint();
            QCoreApplication::processEvents();
            points = int(window.progress().tutTotal.points.size());
            window.hide();
        }
        const double p = secondsOf(timer);

        timer.restart();
        {
            TForm4 window(*store.tables);
            window.show();
            window.repaint();
            QCoreApplication::processEvents();
            window.hide();
        }
        const double d = secondsOf(timer);
        progressSeconds += p;
        dataSeconds += d;
        state.SetIterationTime(p);
    }
    state.counters["progress_s"] = progressSeconds / double(state.iterations());
    state.counters["data_window_s"] = dataSeconds / double(state.iterations());
    state.counters["ratio"] = progressSeconds / dataSeconds;
    state.counters["tests_charted"] = points;
}
BENCHMARK(BM_OpenProgressWindow)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

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
