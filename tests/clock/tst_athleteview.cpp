#include "clock/athleteview.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(AthleteDisplay)
Q_DECLARE_METATYPE(AthletePlacement)

namespace {

const QColor kRunning(0, 255, 128);
const QColor kRed(255, 0, 0);

AthleteDisplay midSet()
{
    AthleteDisplay d;
    d.phaseName = QStringLiteral("Fro-Phase");
    d.phaseColour = kRunning;
    d.countdown = QStringLiteral("1,4");
    d.repetition = 3;
    d.repetitionCount = 8;
    d.set = 1;
    d.setCount = 3;
    d.froBar = 0.5;
    d.toBar = 0.25;
    d.gaugeProgress = 190;
    d.gaugeMax = 500;
    return d;
}

// Collects the regions of the view's paint events.
struct PaintCounter : QObject {
    int paints = 0;
    QRegion region;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            region += static_cast<QPaintEvent *>(event)->region();
        }
        return false;
    }
};

int pixelsOf(const QImage &image, const QRect &box, const QColor &colour)
{
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

} // namespace

class TestAthleteView : public QObject {
    Q_OBJECT
private slots:
    void phaseDisplay_data();
    void phaseDisplay();
    void countdownIsLarge_data();
    void countdownIsLarge();
    void barsAndGauge();
    void repaintsOnlyWhatChanged_data();
    void repaintsOnlyWhatChanged();
    void partialRepaintsAddUpToAWholeOne();
    void placement_data();
    void placement();
    void keys_data();
    void keys();
};

void TestAthleteView::phaseDisplay_data()
{
    QTest::addColumn<QString>("phase");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("countdown");
    QTest::addColumn<QColor>("ink");
    QTest::newRow("running") << "Fro-Phase" << kRunning << "1,4" << QColor(Qt::black);
    QTest::newRow("rest between sets") << "Rest between Sets" << kRed << "00:00:07" << QColor(Qt::black);
    QTest::newRow("break") << "To-Phase" << kRed << "Break" << QColor(Qt::black);
    QTest::newRow("stopped") << "TEST" << QColor(255, 255, 0) << "BEGIN" << QColor(Qt::black);
    QTest::newRow("dark colour") << "Start Rest" << QColor(0, 0, 128) << "4,9" << QColor(Qt::white);
}

void TestAthleteView::phaseDisplay()
{
    QFETCH(QString, phase);
    QFETCH(QColor, colour);
    QFETCH(QString, countdown);
    QFETCH(QColor, ink);
    AthleteView view;
    view.resize(1280, 720);
    AthleteDisplay d = midSet();
    d.phaseName = phase;
    d.phaseColour = colour;
    d.countdown = countdown;
    view.setDisplay(d);
    const QImage image = view.grab().toImage();
    for (const QRect &panel : {view.phaseRect(), view.countdownRect()}) {
        QCOMPARE(image.pixelColor(panel.left() + panel.width() / 100 + 2, panel.center().y()), colour);
        // The text stands on the panel in the colour that contrasts most.
        QVERIFY(pixelsOf(image, panel, ink) > panel.width() * panel.height() / 100);
    }
    QCOMPARE(AthleteView::repetitionText(d), QStringLiteral("Repetition 3 / 8"));
    QCOMPARE(AthleteView::setText(d), QStringLiteral("Set 1 / 3"));
    QVERIFY(pixelsOf(image, view.repetitionRect(), Qt::white) > 0);
    QVERIFY(pixelsOf(image, view.setRect(), Qt::white) > 0);
}

void TestAthleteView::countdownIsLarge_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("countdown");
    QTest::addColumn<bool>("quarter");   // digits at least a quarter of the window high
    QTest::newRow("full HD, tenths") << QSize(1920, 1080) << "12,3" << true;
    QTest::newRow("full HD, minutes") << QSize(1920, 1080) << "0:01:30" << true;
    QTest::newRow("half screen, tenths") << QSize(960, 540) << "0,0" << true;
    QTest::newRow("4:3, rest clock") << QSize(800, 600) << "00:00:07" << false;
    QTest::newRow("4:3, word") << QSize(800, 600) << "BEGIN" << false;
}

void TestAthleteView::countdownIsLarge()
{
    QFETCH(QSize, size);
    QFETCH(QString, countdown);
    QFETCH(bool, quarter);
    AthleteView view;
    view.resize(size);
    AthleteDisplay d = midSet();
    d.countdown = countdown;
    view.setDisplay(d);
    const QFontMetricsF metrics(view.countdownFont());
    const double width = metrics.horizontalAdvance(countdown);
    const double height = metrics.tightBoundingRect(countdown).height();
    const QRect panel = view.countdownRect();
    // Within its panel, and as large as fits: it fills the width or the height.
    QVERIFY(width <= panel.width() && height <= panel.height());
    QVERIFY(width > 0.8 * panel.width() || height > 0.6 * panel.height());
    if (quarter)
        QVERIFY(metrics.capHeight() >= size.height() / 4.0);
}

void TestAthleteView::barsAndGauge()
{
    AthleteView view;
    view.resize(1280, 720);
    view.setDisplay(midSet());   // Fro-Phase bar half full, To-Phase bar a quarter, pie 190 / 500
    const QImage image = view.grab().toImage();
    const auto at = [&](const QRect &bar, double depth) {
        return image.pixelColor(bar.center().x(), bar.top() + int(depth * bar.height()));
    };
    const QColor trough(230, 242, 231);
    QCOMPARE(at(view.froBarRect(), 0.2), QColor(0, 0, 128));   // hangs from the top
    QCOMPARE(at(view.froBarRect(), 0.8), trough);
    QCOMPARE(at(view.toBarRect(), 0.2), trough);               // stands on the bottom
    QCOMPARE(at(view.toBarRect(), 0.9), QColor(58, 110, 165));

    const QRect gauge = view.gaugeRect();
    const auto onGauge = [&](double hours) {   // clockwise from twelve
        const double angle = hours / 12 * 2 * M_PI;
        return image.pixelColor(gauge.center().x() + int(gauge.width() * 0.3 * std::sin(angle)),
                                gauge.center().y() - int(gauge.height() * 0.3 * std::cos(angle)));
    };
    QCOMPARE(onGauge(1), QColor(0, 0, 255));
    QCOMPARE(onGauge(4), QColor(0, 0, 255));
    QCOMPARE(onGauge(5), QColor(255, 255, 0));
    QCOMPARE(onGauge(9), QColor(255, 255, 0));
}

void TestAthleteView::repaintsOnlyWhatChanged_data()
{
    QTest::addColumn<AthleteDisplay>("next");
    QTest::addColumn<QString>("part");   // empty: nothing repaints
    const AthleteDisplay d = midSet();
    AthleteDisplay tinyBar = d, countdown = d, repetition = d, bar = d, gauge = d;
    tinyBar.froBar += 1e-6;   // less than a pixel
    countdown.countdown = QStringLiteral("1,3");
    repetition.repetition = 4;
    bar.toBar = 0.5;
    gauge.gaugeProgress = 191;
    QTest::newRow("equal display") << d << "";
    QTest::newRow("bar change below a pixel") << tinyBar << "";
    QTest::newRow("countdown") << countdown << "countdown";
    QTest::newRow("repetition") << repetition << "numbers";
    QTest::newRow("To-Phase bar") << bar << "toBar";
    QTest::newRow("gauge") << gauge << "gauge";
}

void TestAthleteView::repaintsOnlyWhatChanged()
{
    QFETCH(AthleteDisplay, next);
    QFETCH(QString, part);
    AthleteView view;
    view.resize(1280, 720);
    view.setDisplay(midSet());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::qWait(50);   // the first showing's paints
    PaintCounter paints;
    view.installEventFilter(&paints);
    view.setDisplay(next);
    QTest::qWait(50);
    const QHash<QString, QRegion> parts{{QStringLiteral("countdown"), view.countdownRect()},
                                        {QStringLiteral("numbers"), QRegion(view.repetitionRect()) + view.setRect()},
                                        {QStringLiteral("toBar"), view.toBarRect()},
                                        {QStringLiteral("gauge"), view.gaugeRect()}};
    QCOMPARE(paints.paints > 0, !part.isEmpty());
    QVERIFY((paints.region - parts.value(part)).isEmpty());
}

void TestAthleteView::partialRepaintsAddUpToAWholeOne()
{
    AthleteView view;
    view.resize(1280, 720);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // Tick by tick through the phases, the bars and the pie, then into a
    // rest between sets.
    const QStringList phases{QStringLiteral("Fro-Phase"), QStringLiteral("Rest after Fro-Phase"),
                             QStringLiteral("To-Phase"), QStringLiteral("Rest after To-Phase")};
    AthleteDisplay d = midSet();
    for (int tick = 0; tick <= 140; ++tick) {   // ends on "00:00:09" to "00:00:10"
        const int left = 20 - tick % 20;
        d.phaseName = tick < 130 ? phases[tick / 20 % 4] : QStringLiteral("Rest between Sets");
        d.phaseColour = tick < 130 ? kRunning : kRed;
        d.countdown = tick < 130 ? QStringLiteral("%1,%2").arg(left / 10).arg(left % 10)
                                 : QStringLiteral("00:00:%1").arg(tick - 130, 2, 10, QChar(u'0'));
        d.repetition = tick / 80 + 1;
        d.froBar = tick % 20 / 20.0;
        d.toBar = tick % 40 / 40.0;
        d.gaugeProgress = tick * 3;
        view.setDisplay(d);
        QCoreApplication::processEvents();
    }
    QTest::qWait(50);
    const QImage shown = view.screen()->grabWindow(view.winId()).toImage();
    const QImage whole = view.grab().toImage();
    QCOMPARE(shown.size(), whole.size());
    // Smoothed edges may differ by a shade where a shape was drawn in parts;
    // anything more is a part left stale.
    int stale = 0;
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x) {
            const QColor a = shown.pixelColor(x, y);
            const QColor b = whole.pixelColor(x, y);
            stale += std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                               std::abs(a.blue() - b.blue())}) > 96;
        }
    }
    QCOMPARE(stale, 0);
}

void TestAthleteView::placement_data()
{
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<int>("clockScreen");
    QTest::addColumn<AthletePlacement>("expected");
    const QRect hd(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1920, 1080);
    const QRect tv(3840, 0, 3840, 2160);
    QTest::newRow("one screen") << QList<QRect>{hd} << 0 << AthletePlacement{0, QRect(240, 135, 1440, 810), false};
    QTest::newRow("one screen, offset")
        << QList<QRect>{right} << 0 << AthletePlacement{0, QRect(2160, 135, 1440, 810), false};
    QTest::newRow("two, clock on the first") << QList<QRect>{hd, right} << 0 << AthletePlacement{1, right, true};
    QTest::newRow("two, clock on the second") << QList<QRect>{hd, right} << 1 << AthletePlacement{0, hd, true};
    QTest::newRow("three, the largest other") << QList<QRect>{hd, right, tv} << 0 << AthletePlacement{2, tv, true};
    QTest::newRow("three, clock on the largest") << QList<QRect>{hd, right, tv} << 2 << AthletePlacement{0, hd, true};
    QTest::newRow("unknown clock screen") << QList<QRect>{hd, right} << -1 << AthletePlacement{1, right, true};
    QTest::newRow("no screens") << QList<QRect>{} << 0 << AthletePlacement{0, QRect(0, 0, 1280, 720), false};
}

void TestAthleteView::placement()
{
    QFETCH(QList<QRect>, screens);
    QFETCH(int, clockScreen);
    QFETCH(AthletePlacement, expected);
    const AthletePlacement got = athletePlacement(screens, clockScreen);
    QCOMPARE(got.screen, expected.screen);
    QCOMPARE(got.geometry, expected.geometry);
    QCOMPARE(got.fullScreen, expected.fullScreen);
}

void TestAthleteView::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("signal");
    QTest::newRow("F5 starts") << int(Qt::Key_F5) << QByteArray(SIGNAL(startRequested()));
    QTest::newRow("F6 stops") << int(Qt::Key_F6) << QByteArray(SIGNAL(stopRequested()));
    QTest::newRow("F7 breaks") << int(Qt::Key_F7) << QByteArray(SIGNAL(breakRequested()));
    QTest::newRow("F8 cancels") << int(Qt::Key_F8) << QByteArray(SIGNAL(cancelRequested()));
    QTest::newRow("Esc closes") << int(Qt::Key_Escape) << QByteArray(SIGNAL(closed()));
}

void TestAthleteView::keys()
{
    QFETCH(int, key);
    QFETCH(QByteArray, signal);
    AthleteView view;
    QSignalSpy spy(&view, signal.constData());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::keyClick(&view, Qt::Key(key));
    // Held down, a key repeats its press: it still acts once.
    QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&view, &repeat);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(view.isVisible(), key != Qt::Key_Escape);
}

QTEST_MAIN(TestAthleteView)
#include "tst_athleteview.moc"
