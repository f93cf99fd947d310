// The clock tick of a running test, repeated on a hand-set clock, for a
// profiler: each tick and the repaint it causes run in tickOnce(), so that
// callgrind can count that function alone, past the window's setup:
//
//   valgrind --tool=callgrind --toggle-collect='*tickOnce*'
//            build/release/bench/profile_tick [--ticks=N] [--athlete-view | --hidden]
//
// It also lists, per widget, the paint events and the painted area of the
// ticks, which shows a repaint that spills over controls that did not change.
// Run it under Xvfb with QT_QPA_PLATFORM=xcb for the cost of a real X
// connection; it draws offscreen unless told otherwise.

#include "clock/athleteview.h"
#include "clock/tform1.h"
#include "support/manualclock.h"
#include "support/recordingsound.h"
#include "support/screensaver.h"

#include <QApplication>
#include <QMap>
#include <QPaintEvent>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

struct PaintLog : QObject {
    struct Entry {
        long paints = 0;
        long long pixels = 0;
    };
    QMap<QString, Entry> widgets;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            Entry &e = widgets[watched->objectName().isEmpty() ? QString::fromLatin1(watched->metaObject()->className())
                                                               : watched->objectName()];
            ++e.paints;
            for (const QRect &r : static_cast<QPaintEvent *>(event)->region())
                e.pixels += static_cast<long long>(r.width()) * r.height();
        }
        return false;
    }
};

void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtWarningMsg || !message.contains(QLatin1String("propagateSizeHints")))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

// Not inlined: the profiler's window onto one tick.
__attribute__((noinline)) void tickOnce(ManualClock &clock, int &now, TForm1 &form)
{
    now += 100;
    clock.set(now % platform::kDayMs);
    form.Timer1Timer();
    QCoreApplication::processEvents();   // the repaint the tick asked for
}

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int ticks = 500;
    bool athleteView = false;
    bool hidden = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--ticks=", 8) == 0)
            ticks = std::max(1, std::atoi(argv[i] + 8));
        else if (std::strcmp(argv[i], "--athlete-view") == 0)
            athleteView = true;
        else if (std::strcmp(argv[i], "--hidden") == 0)
            hidden = true;
    }
    QApplication app(argc, argv);
    ManualClock clock;
    RecordingSound sound;
    RecordingScreenSaver screenSaver;
    platform::setWallClock(&clock);
    platform::setSoundOutput(&sound);
    int now = 36000000;
    clock.set(now);
    int result = 0;
    {
        TForm1 form;
        form.Timer1->stop();
        form.Edit39->setText(QStringLiteral("Anna"));
        form.Edit47->setText(QStringLiteral("Standard"));
        form.Edit51->setText(QStringLiteral("Bench"));
        for (QLineEdit *phase : {form.StartHalte, form.Abwaerts, form.HalteUnten, form.Aufwaerts, form.HalteOben})
            phase->setText(QStringLiteral("5"));
        form.Wiederholungen->setText(QStringLiteral("1000"));
        form.FormActivate();
        form.show();
        form.sStartClick();
        if (athleteView)
            form.AthleteViewButton->click();
        // The ticks without drawing: what a test costs with its window away.
        if (hidden)
            form.hide();
        // Shown, exposed and painted before the ticks are counted.
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();

        PaintLog log;
        for (QWidget *w : QApplication::allWidgets())
            w->installEventFilter(&log);
        for (int i = 0; i < ticks; ++i)
            tickOnce(clock, now, form);

        std::printf("%d ticks, platform %s%s\n", ticks, qPrintable(QGuiApplication::platformName()),
                    athleteView ? ", athlete view open" : "");
        std::printf("%-24s %12s %16s\n", "widget", "paints/tick", "pixels/tick");
        for (auto it = log.widgets.cbegin(); it != log.widgets.cend(); ++it)
            std::printf("%-24s %12.2f %16.1f\n", qPrintable(it.key()), double(it->paints) / ticks,
                        double(it->pixels) / ticks);
        if (!form.procedure().Running || (athleteView && !form.AthleteViewButton->isChecked())) {
            std::printf("the test was not running or the view did not open: figures invalid\n");
            result = 1;
        }
        form.sStopClick();
    }
    platform::setSoundOutput(nullptr);
    platform::setWallClock(nullptr);
    return result;
}
