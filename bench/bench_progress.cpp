// Opening the progress window over 10,000 stored tests of one athlete, until
// its charts are drawn, against opening the data window over the same tables
// in the same run.  The window must open in under half a second.

#include "benchsupport.h"
#include "data/dbgrid.h"
#include "data/progresswindow.h"
#include "data/tform4.h"

#include <QApplication>

namespace {

using bench::secondsOf;

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
    bench::reportAgainstBaseline(state, "progress_s", progressSeconds, "data_window_s", dataSeconds);
    state.counters["tests_charted"] = points;
}
BENCHMARK(BM_OpenProgressWindow)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    bench::drawOffscreenUnlessSet();
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
