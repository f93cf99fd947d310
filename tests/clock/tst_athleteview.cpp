#include "clock/athleteview.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(AthleteDisplay)
Q_DECLARE_METATYPE(AthletePlacement)

namespace {

const QColor kRunning(0, 255, 128);
const QColor kRed(255, 0, 0);
const QColor kStopped(255, 255, 0);

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

// Counts the paint events of the view, with their regions.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(AthleteView *view) { view->installEventFilter(this); }
    int paints = 0;
    QRegion region;
    void reset()
    {
        paints = 0;
        region = QRegion();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            region += static_cast<QPaintEvent *>(event)->region();
        }
        return false;
    }
};

// Pixels of `colour` inside `box` of `image`.
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
    void escapeCloses();
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
    QTest::newRow("stopped") << "TEST" << kStopped << "BEGIN" << QColor(Qt::black);
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
    QCOMPARE(view.display(), d);
    const QImage image = view.grab().toImage();

    for (const QRect &panel : {view.phaseRect(), view.countdownRect()}) {
        const QPoint edge(panel.left() + panel.width() / 100 + 2, panel.center().y());
        QCOMPARE(image.pixelColor(edge), colour);
        // The text stands on the panel in the colour that contrasts most.
        QVERIFY2(pixelsOf(image, panel, ink) > panel.width() * panel.height() / 100,
                 qPrintable(phase + u' ' + countdown));
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
    const QRectF ink = metrics.tightBoundingRect(countdown);
    // Always within its panel ...
    QVERIFY(metrics.horizontalAdvance(countdown) <= view.countdownRect().width());
    QVERIFY(ink.height() <= view.countdownRect().height());
    // ... and as large as fits: it fills the panel's width or its height.
    QVERIFY(metrics.horizontalAdvance(countdown) > 0.8 * view.countdownRect().width()
            || ink.height() > 0.6 * view.countdownRect().height());
    if (quarter)
        QVERIFY2(metrics.capHeight() >= size.height() / 4.0, qPrintable(QString::number(metrics.capHeight())));
}

void TestAthleteView::barsAndGauge()
{
    AthleteView view;
    view.resize(1280, 720);
    view.setDisplay(midSet());   // Fro-Phase bar half full, To-Phase bar a quarter
    const QImage image = view.grab().toImage();
    const QRect fro = view.froBarRect();
    const QRect to = view.toBarRect();
    const auto at = [&](const QRect &bar, double depth) {
        return image.pixelColor(bar.center().x(), bar.top() + static_cast<int>(depth * bar.height()));
    };
    const QColor trough(230, 242, 231);
    QCOMPARE(at(fro, 0.2), QColor(0, 0, 128));   // hangs from the top
    QCOMPARE(at(fro, 0.8), trough);
    QCOMPARE(at(to, 0.2), trough);               // stands on the bottom
    QCOMPARE(at(to, 0.9), QColor(58, 110, 165));

    // 190 of 500: the pie covers twelve to a little past four o'clock.
    const QRect gauge = view.gaugeRect();
    const auto onGauge = [&](double hours) {
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
    QTest::addColumn<QString>("part");   // "" for nothing, or the part that alone repaints
    const AthleteDisplay d = midSet();
    AthleteDisplay countdown = d;
    countdown.countdown = QStringLiteral("1,3");
    AthleteDisplay longer = d;
    longer.countdown = QStringLiteral("10,0");
    AthleteDisplay colour = d;
    colour.phaseColour = kRed;
    AthleteDisplay repetition = d;
    repetition.repetition = 4;
    AthleteDisplay tinyBar = d;
    tinyBar.froBar += 1e-6;   // less than a pixel
    AthleteDisplay bar = d;
    bar.toBar = 0.5;
    AthleteDisplay gauge = d;
    gauge.gaugeProgress = 191;
    QTest::newRow("equal display") << d << "";
    QTest::newRow("bar change below a pixel") << tinyBar << "";
    QTest::newRow("countdown") << countdown << "countdown";
    QTest::newRow("countdown length") << longer << "countdown";
    QTest::newRow("colour") << colour << "panels";
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
    PaintCounter paints(&view);
    // Let the first showing's paints pass, then look only at the change.
    QTest::qWait(50);
    paints.reset();

    view.setDisplay(next);
    QTest::qWait(50);

    const QHash<QString, QRegion> parts{
        {QStringLiteral("countdown"), QRegion(view.countdownRect())},
        {QStringLiteral("panels"), QRegion(view.phaseRect()) + view.countdownRect()},
        {QStringLiteral("numbers"), QRegion(view.repetitionRect()) + view.setRect()},
        {QStringLiteral("toBar"), QRegion(view.toBarRect())},
        {QStringLiteral("gauge"), QRegion(view.gaugeRect())},
    };
    if (part.isEmpty()) {
        QCOMPARE(paints.paints, 0);
    } else {
        QVERIFY(paints.paints >= 1);
        QVERIFY2((paints.region - parts[part]).isEmpty(), qPrintable(part));
    }
}

void TestAthleteView::partialRepaintsAddUpToAWholeOne()
{
    AthleteView view;
    view.resize(1280, 720);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // A set of 2 s Fro-Phase, 1 s rest, 2 s To-Phase, 1 s rest per
    // repetition, tick by tick, then a rest between sets.
    AthleteDisplay d = midSet();
    for (int tick = 0; tick < 150; ++tick) {
        const int q = tick % 60;
        const auto left = [](int t) { return QStringLiteral("%1,%2").arg(t / 10).arg(t % 10); };
        d.repetition = tick / 60 + 1;
        d.gaugeProgress = tick * 3;
        if (q < 20) {
            d.phaseName = QStringLiteral("Fro-Phase");
            d.countdown = left(20 - q);
            d.froBar = q / 20.0;
            d.toBar = 0;
        } else if (q < 30) {
            d.phaseName = QStringLiteral("Rest after Fro-Phase");
            d.countdown = left(30 - q);
        } else if (q < 50) {
            d.phaseName = QStringLiteral("To-Phase");
            d.countdown = left(50 - q);
            d.toBar = (q - 30) / 20.0;
        } else {
            d.phaseName = QStringLiteral("Rest after To-Phase");
            d.countdown = left(60 - q);
        }
        if (tick >= 130) {
            d.phaseName = QStringLiteral("Rest between Sets");
            d.phaseColour = kRed;
            d.countdown = QStringLiteral("00:00:%1").arg((tick - 130) / 10, 2, 10, QChar(u'0'));
        }
        view.setDisplay(d);
        QCoreApplication::processEvents();
    }
    QTest::qWait(50);
    const QImage shown = view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage whole = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
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
    QTest::newRow("one screen") << QList<QRect>{hd} << 0
                                << AthletePlacement{0, QRect(240, 135, 1440, 810), false};
    QTest::newRow("one screen, offset") << QList<QRect>{right} << 0
                                        << AthletePlacement{0, QRect(2160, 135, 1440, 810), false};
    QTest::newRow("two, clock on the first") << QList<QRect>{hd, right} << 0
                                             << AthletePlacement{1, right, true};
    QTest::newRow("two, clock on the second") << QList<QRect>{hd, right} << 1
                                              << AthletePlacement{0, hd, true};
    QTest::newRow("three, the largest other") << QList<QRect>{hd, right, tv} << 0
                                              << AthletePlacement{2, tv, true};
    QTest::newRow("three, clock on the largest") << QList<QRect>{hd, right, tv} << 2
                                                 << AthletePlacement{0, hd, true};
    QTest::newRow("unknown clock screen") << QList<QRect>{hd, right} << -1
                                          << AthletePlacement{1, right, true};
    QTest::newRow("no screens") << QList<QRect>{} << 0
                                << AthletePlacement{0, QRect(0, 0, 1280, 720), false};
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
    if (!got.fullScreen && !screens.isEmpty()) {
        const QRect s = screens[got.screen];
        QVERIFY(2 * qint64(got.geometry.width()) * got.geometry.height() >= qint64(s.width()) * s.height());
        QVERIFY(s.contains(got.geometry));
    }
}

void TestAthleteView::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("signal");
    QTest::newRow("F5 starts") << int(Qt::Key_F5) << QByteArray(SIGNAL(startRequested()));
    QTest::newRow("F6 stops") << int(Qt::Key_F6) << QByteArray(SIGNAL(stopRequested()));
    QTest::newRow("F7 breaks") << int(Qt::Key_F7) << QByteArray(SIGNAL(breakRequested()));
    QTest::newRow("F8 cancels") << int(Qt::Key_F8) << QByteArray(SIGNAL(cancelRequested()));
}

void TestAthleteView::keys()
{
    QFETCH(int, key);
    QFETCH(QByteArray, signal);
    AthleteView view;
    QSignalSpy wanted(&view, signal.constData());
    const QList<QByteArray> all{SIGNAL(startRequested()), SIGNAL(stopRequested()),
                                SIGNAL(breakRequested()), SIGNAL(cancelRequested())};
    QList<QSharedPointer<QSignalSpy>> spies;
    for (const QByteArray &s : all)
        spies << QSharedPointer<QSignalSpy>::create(&view, s.constData());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::keyClick(&view, Qt::Key(key));
    QCOMPARE(wanted.count(), 1);
    // Held down, the key repeats its press: it still acts once.
    QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&view, &repeat);
    QCOMPARE(wanted.count(), 1);
    int total = 0;
    for (const auto &spy : spies)
        total += spy->count();
    QCOMPARE(total, 1);   // that signal alone
    QVERIFY(view.isVisible());
}

void TestAthleteView::escapeCloses()
{
    AthleteView view;
    QSignalSpy closed(&view, &AthleteView::closed);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::keyClick(&view, Qt::Key_Escape);
    QVERIFY(!view.isVisible());
    QCOMPARE(closed.count(), 1);
}

QTEST_MAIN(TestAthleteView)
#include "tst_athleteview.moc"
