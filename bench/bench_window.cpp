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
//   5. the same test with both windows hidden: the ticks without drawing.
//
//   build/release/bench/bench_window [--seconds=N]     (default 10 per stage)
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
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>

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
    const double running = runLoop(ms);
    // The athlete view open as well: one more window drawing the same ticks.
    form.AthleteViewButton->click();
    runLoop(500);
    const double withView = runLoop(ms);
    const bool viewShown = form.AthleteViewButton->isChecked();
    form.AthleteViewButton->click();
    // The same with the window hidden: the procedure's ticks without drawing.
    form.hide();
    const double hidden = runLoop(ms);
    const bool ran = form.procedure().Running;
    form.sStopClick();
    platform::setSoundOutput(nullptr);

    std::printf("== clock window, %d s per stage, platform %s\n", seconds,
                qPrintable(QGuiApplication::platformName()));
    std::printf("idle event loop        %7.3f %% of one core\n", idleLoop);
    std::printf("clock window standing  %7.3f %% of one core  (+%.3f over the idle loop, %.1fx)\n", standing,
                standing - idleLoop, idleLoop > 0 ? standing / idleLoop : 0.0);
    std::printf("clock window running   %7.3f %% of one core  (+%.3f over the idle loop, %.1fx)\n", running,
                running - idleLoop, idleLoop > 0 ? running / idleLoop : 0.0);
    std::printf("running, athlete view  %7.3f %% of one core  (+%.3f over the idle loop, %.1fx)\n", withView,
                withView - idleLoop, idleLoop > 0 ? withView / idleLoop : 0.0);
    std::printf("running, window hidden %7.3f %% of one core  (the ticks alone)\n", hidden);
    const bool valid = ran && viewShown;
    std::printf("targets: running at most 0.5 %% (clock window), 0.6 %% with the athlete view, standing under "
                "0.1 %%%s\n",
                valid ? "" : "  (the test was not running or the view did not open: figures invalid)");
    return valid ? 0 : 1;
}
