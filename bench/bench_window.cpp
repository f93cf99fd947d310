// What the clock window costs the whole process, measured as CPU time (user
// and system, from getrusage) per second of wall time while the event loop
// runs on its own:
//
//   1. an idle event loop with no window, the baseline of the same run;
//   2. the clock window shown and standing (its 100 ms timer runs);
//   3. the clock window running a test on the real wall clock: 5 s phases,
//      20 repetitions, with every repaint the window asks for;
//   4. the same test with the athlete view open beside the window (on the
//      offscreen platform a normal window of 3/4 of the screen);
//   5. the same test with both windows hidden: the ticks without drawing;
//   6. the baseline: stage 5 with a bare window of the same size beside it
//      that repaints a small box at every tick, what showing any ticking
//      window costs on the machine.
//
//   build/release/bench/bench_window [--seconds=N]     (default 10 per stage)
//
// Stages 3 to 5 take turns of a second each, N turns in all; each is
// reported as the median of its turns.
//
// Run it on the offscreen platform (the default here) or, for the cost of a
// real X connection, with QT_QPA_PLATFORM=xcb under Xvfb.  Reports each stage
// in percent of one core and the two window stages against the idle loop.

#include "clock/tform1.h"
#include "support/recordingsound.h"
#include "support/screensaver.h"

#include <QApplication>
#include <QPushButton>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the event loop for `ms` and returns the CPU share of one core in percent.
double runLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    const double cpu = cpuSeconds();
    wall.start();
    loop.exec();
    return (cpuSeconds() - cpu) / (double(wall.nsecsElapsed()) / 1e9) * 100.0;
}

// A box of about the area a clock tick repaints, repainted ten times a second.
class TickingBox : public QWidget {
public:
    explicit TickingBox(QWidget *parent)
        : QWidget(parent)
    {
        setGeometry(10, 10, 90, 100);
        m_timer.setInterval(100);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            ++m_ticks;
            update();
        });
    }
    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), m_ticks % 2 ? Qt::darkGreen : Qt::darkBlue);
    }

private:
    QTimer m_timer;
    int m_ticks = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtWarningMsg || !message.contains(QLatin1String("propagateSizeHints")))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int seconds = 10;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--seconds=", 10) == 0)
            seconds = std::max(1, std::atoi(argv[i] + 10));
    }
    QApplication app(argc, argv);
    const int ms = seconds * 1000;

    // The process warmed up, then the bare loop.
    runLoop(200);
    const double idleLoop = runLoop(ms);

    // Cues are recorded, not played: the sound device is not the window's cost.
    RecordingSound sound;
    platform::setSoundOutput(&sound);
    // Nor is the desktop's screen saver.
    RecordingScreenSaver screenSaver;
    TForm1 form;
    form.Edit39->setText(QStringLiteral("Anna"));
    form.Edit47->setText(QStringLiteral("Standard"));
    form.Edit51->setText(QStringLiteral("Bench"));
    for (QLineEdit *phase : {form.StartHalte, form.Abwaerts, form.HalteUnten, form.Aufwaerts, form.HalteOben})
        phase->setText(QStringLiteral("5"));
    form.Wiederholungen->setText(QStringLiteral("20"));
    form.FormActivate();
    form.show();
    runLoop(500);
    const double standing = runLoop(ms);

    form.sStartClick();
    runLoop(200);
    // The three running stages take turns, a second each, so that a
    // machine whose speed drifts (a virtual one shared with others) slows
    // all of them alike; each figure is the median of its turns.
    std::vector<double> running, withView, hidden, bare;
    bool viewShown = true;
    // The baseline: a bare window of the clock window's size beside the
    // hidden clock window, repainting a small box at every tick; what
    // any window that shows a ticking clock costs on this machine.
    QWidget bareWindow;
    bareWindow.resize(form.size());
    TickingBox box(&bareWindow);
    for (int turn = 0; turn < seconds; ++turn) {
        running.push_back(runLoop(1000));
        // The athlete view open as well: one more window drawing the same ticks.
        form.AthleteViewButton->click();
        runLoop(300);
        withView.push_back(runLoop(1000));
        viewShown = viewShown && form.AthleteViewButton->isChecked();
        form.AthleteViewButton->click();
        // The same with the window hidden: the procedure's ticks without drawing.
        form.hide();
        runLoop(200);
        hidden.push_back(runLoop(1000));
        bareWindow.show();
        box.start();
        runLoop(300);
        bare.push_back(runLoop(1000));
        box.stop();
        bareWindow.hide();
        form.show();
        runLoop(300);
    }
    const bool ran = form.procedure().Running;
    form.sStopClick();
    platform::setSoundOutput(nullptr);

    std::printf("== clock window, %d s per stage, platform %s\n", seconds,
                qPrintable(QGuiApplication::platformName()));
    std::printf("idle event loop        %7.3f %% of one core\n", idleLoop);
    std::printf("clock window standing  %7.3f %% of one core  (+%.3f over the idle loop, %.1fx)\n", standing,
                standing - idleLoop, idleLoop > 0 ? standing / idleLoop : 0.0);
    const auto report = [idleLoop](const char *stage, const std::vector<double> &turns) {
        const double m = median(turns);
        std::printf("%-22s %7.3f %% of one core  (+%.3f over the idle loop; turns %.3f to %.3f)\n", stage, m,
                    m - idleLoop, *std::min_element(turns.begin(), turns.end()),
                    *std::max_element(turns.begin(), turns.end()));
    };
    report("clock window running", running);
    report("running, athlete view", withView);
    report("running, window hidden", hidden);
    report("baseline: bare window", bare);
    const double floor = median(bare);
    std::printf("  (the baseline: the clock window hidden beside a bare window that repaints a 90x100 box at "
                "every tick)\n");
    std::printf("clock window running / baseline  %.2f;  athlete view / baseline  %.2f\n",
                floor > 0 ? median(running) / floor : 0.0, floor > 0 ? median(withView) / floor : 0.0);
    const bool valid = ran && viewShown;
    std::printf("targets: running at most 0.5 %% (clock window), 0.6 %% with the athlete view, standing under "
                "0.1 %%%s\n",
                valid ? "" : "  (the test was not running or the view did not open: figures invalid)");
    return valid ? 0 : 1;
}
