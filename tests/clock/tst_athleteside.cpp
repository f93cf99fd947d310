// The clock window's side for the athlete: the athlete view following the
// test, its keys, the spoken cues and the screen held on while a test runs.

#include "clock/athleteview.h"
#include "clock/palette.h"
#include "clockwindowfixture.h"
#include "support/recordingspeech.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(BarLevel)

namespace {

// Ticks every 100 ms from `from` to `to` and lets each tick's phrase be said.
void tickThrough(ClockWindowFixture &f, int from, int to)
{
    for (int ms = from; ms <= to; ms += 100) {
        f.tickAt(ms);
        QCoreApplication::processEvents();
    }
}

} // namespace

class TestAthleteSide : public QObject {
    Q_OBJECT
private slots:
    void mapping_data();
    void mapping();
    void buttonOpensAndClosesTheView();
    void viewFollowsTheTest();
    void unchangedTickPaintsNothing();
    void keysInTheView_data();
    void keysInTheView();
    void spokenCues_data();
    void spokenCues();
    void speakBoxWithoutEngine_data();
    void speakBoxWithoutEngine();
    void restCountdownAndResults();
    void restCountdownAgreesWithTheClockWindow_data();
    void restCountdownAgreesWithTheClockWindow();
    void screenHeldWhileATestRuns_data();
    void screenHeldWhileATestRuns();
};

void TestAthleteSide::mapping_data()
{
    // The texts and colours pass as they are (checked against the window in
    // viewFollowsTheTest); the bars become shares, the repetition stays
    // within the set.
    QTest::addColumn<BarLevel>("fro");
    QTest::addColumn<BarLevel>("to");
    QTest::addColumn<int>("repetition");
    QTest::addColumn<double>("froShare");
    QTest::addColumn<double>("toShare");
    QTest::addColumn<int>("shownRepetition");
    QTest::newRow("stopped") << BarLevel::empty() << BarLevel::empty() << 0 << 0.0 << 0.0 << 0;
    QTest::newRow("mid Fro-Phase") << BarLevel{16, 30} << BarLevel::full() << 3 << 16 / 30.0 << 1.0 << 3;
    QTest::newRow("no scale, past the scale, past the count")
        << BarLevel{5, 0} << BarLevel{12, 10} << 9 << 0.0 << 1.0 << 8;
}

void TestAthleteSide::mapping()
{
    QFETCH(BarLevel, fro);
    QFETCH(BarLevel, to);
    ProcedureDisplay d;
    d.phase = QStringLiteral("Fro-Phase");
    d.panel = PanelState::Running;
    d.countdown = QStringLiteral("1,4");
    d.froBar = fro;
    d.toBar = to;
    QFETCH(int, repetition);
    d.repetition = repetition;
    d.repetitionCount = 8;
    d.set = 2;
    d.setPanel = 0;   // "Close" cleared the small panels; the large numbers count on
    d.gaugeProgress = 190;
    const AthleteDisplay a = athleteDisplay(d);
    QCOMPARE(a.phaseName, d.phase);
    QCOMPARE(a.phaseColour, palette::Running);
    QCOMPARE(a.countdown, d.countdown);
    QCOMPARE(a.set, 2);
    QCOMPARE(a.gaugeProgress, 190);
    QTEST(a.froBar, "froShare");
    QTEST(a.toBar, "toShare");
    QTEST(a.repetition, "shownRepetition");
}

void TestAthleteSide::buttonOpensAndClosesTheView()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    QVERIFY(w.AthleteViewButton->isCheckable());
    QVERIFY(!w.athleteView());   // made when first asked for
    w.AthleteViewButton->click();
    AthleteView *view = w.athleteView();
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QCOMPARE(view->objectName(), QStringLiteral("AthleteView"));
    QCOMPARE(view->display(), athleteDisplay(w.clockProcedure().display()));
    QVERIFY(QTest::qWaitForWindowActive(view));
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(!view->isVisible());
    QVERIFY(!w.AthleteViewButton->isChecked());
    w.AthleteViewButton->click();
    QCOMPARE(w.athleteView(), view);
    QVERIFY(view->isVisible());
    w.AthleteViewButton->click();
    QVERIFY(!view->isVisible());
    // "Close" puts the view away with the window.
    w.AthleteViewButton->click();
    w.BitBtn1->click();
    QVERIFY(!view->isVisible());
    QVERIFY(!w.AthleteViewButton->isChecked());
}

void TestAthleteSide::viewFollowsTheTest()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    w.Wiederholungen->setText(QStringLiteral("2"));
    w.AthleteViewButton->click();
    const AthleteView &view = *w.athleteView();
    w.sStartClick();
    for (int ms = 100; ms <= 24000; ms += 100) {
        f.tickAt(ms);
        const AthleteDisplay &a = view.display();
        // The same texts and colours as the clock window's panels, but for
        // the rest, which counts down to the next set, and the test's end.
        const bool own = w.procedure().Resting || (!w.procedure().Running && ms > 100);
        if (!own) {
            QCOMPARE(a, athleteDisplay(w.clockProcedure().display()));
            QCOMPARE(a.phaseName, w.pnAbschnitt->text());
            QCOMPARE(a.countdown, w.pClockB->text());
        }
        QCOMPARE(a.phaseColour, f.phaseColour());
        QCOMPARE(QString::number(a.set), w.Label69->text());
        QCOMPARE(a.repetition, std::min(w.Label68->text().toInt(), 2));
    }
    QCOMPARE(view.display().phaseName, QStringLiteral("Test over"));
    QCOMPARE(AthleteView::setText(view.display()), QStringLiteral("Set 2 / 2"));
    QCOMPARE(AthleteView::repetitionText(view.display()), QStringLiteral("Repetition 2 / 2"));
}

void TestAthleteSide::unchangedTickPaintsNothing()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.setWindowState(Qt::WindowNoState);
    w.show();
    w.AthleteViewButton->click();
    AthleteView *view = w.athleteView();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    w.sStartClick();
    f.tickAt(1500);
    // The two windows settle: shown, activated, laid out and painted.
    QTest::qWait(200);
    struct PaintCounter : QObject {
        int form = 0;
        int view = 0;
        QWidget *athleteView = nullptr;
        bool eventFilter(QObject *watched, QEvent *e) override
        {
            if (e->type() == QEvent::UpdateRequest || e->type() == QEvent::Paint)
                ++(watched == athleteView ? view : form);
            return false;
        }
    } counter;
    counter.athleteView = view;
    for (QWidget *child : w.findChildren<QWidget *>())
        child->installEventFilter(&counter);
    w.installEventFilter(&counter);
    // A second tick at the same moment changes nothing: neither window paints.
    f.tickAt(1500);
    QCoreApplication::processEvents();
    QCOMPARE(counter.form, 0);
    QCOMPARE(counter.view, 0);
    f.tickAt(1600);
    QCoreApplication::processEvents();
    QVERIFY(counter.form > 0);
    QVERIFY(counter.view > 0);
}

void TestAthleteSide::keysInTheView_data()
{
    QTest::addColumn<bool>("startFirst");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("countdown");   // the clock window's after the key

    QTest::newRow("F5 starts") << false << int(Qt::Key_F5) << "";
    QTest::newRow("F6 stops") << true << int(Qt::Key_F6) << "Set 1: 0,5 s, 1 rep.";
    QTest::newRow("F7 breaks") << true << int(Qt::Key_F7) << "Break";
    QTest::newRow("F8 with Cancel hidden does nothing") << false << int(Qt::Key_F8) << "BEGIN";
}

void TestAthleteSide::keysInTheView()
{
    QFETCH(bool, startFirst);
    QFETCH(int, key);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    if (startFirst) {
        w.sStartClick();
        f.tickAt(1500);
    }
    w.AthleteViewButton->click();
    AthleteView *view = w.athleteView();
    QVERIFY(QTest::qWaitForWindowActive(view));
    QTest::keyClick(view, Qt::Key(key));
    // After a stop the athlete sees the set's result, the window "BEGIN".
    QFETCH(QString, countdown);
    QCOMPARE(w.pClockB->text(), key == Qt::Key_F6 ? QStringLiteral("BEGIN") : countdown);
    QCOMPARE(view->display().countdown, countdown);
    QCOMPARE(w.procedure().SetEndMark, 0);
}

void TestAthleteSide::spokenCues_data()
{
    QTest::addColumn<bool>("speak");
    QTest::addColumn<QString>("switches");   // the Beep boxes checked
    QTest::addColumn<QString>("repetitions");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<int>("stopAt");         // the stop button pressed there; 0: the test runs out
    QTest::addColumn<QStringList>("said");

    QTest::newRow("every phase, a short rest")
        << true << "Tonab EndeTo Tonauf EndeFro" << "1" << "5" << 0
        << QStringList{"Set one", "One. Down", "Hold", "Up", "Hold", "Rest",
                       "Set two", "One. Down", "Hold", "Up", "Hold", "Test over"};
    QTest::newRow("no phase switched on, a rest with its warning")
        << true << "" << "1" << "12" << 0
        << QStringList{"Set one", "One", "Rest", "Ten seconds", "Set two", "One", "Test over"};
    QTest::newRow("the downward movements only")
        << true << "Tonab" << "2" << "5" << 0
        << QStringList{"Set one", "One. Down", "Two. Down", "Rest", "Set two", "One. Down", "Two. Down",
                       "Test over"};
    QTest::newRow("stopped in the first set")
        << true << "Tonauf" << "1" << "5" << 3500 << QStringList{"Set one", "One", "Up", "Test over"};
    QTest::newRow("speech off") << false << "Tonab EndeTo Tonauf EndeFro" << "1" << "5" << 0 << QStringList{};
}

void TestAthleteSide::spokenCues()
{
    QFETCH(bool, speak);
    QFETCH(QString, switches);
    QFETCH(QString, repetitions);
    QFETCH(QString, rest);
    QFETCH(int, stopAt);
    InstalledSpeech speech;
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    w.Wiederholungen->setText(repetitions);
    w.Pause->setText(rest);
    for (QCheckBox *box : w.findChildren<QCheckBox *>())
        if (switches.split(u' ').contains(box->objectName()))
            box->setChecked(true);
    w.SpeakBox->setChecked(speak);

    w.sStartClick();
    QCoreApplication::processEvents();
    const int end = 2 * (1000 + w.timing().CycleMs * w.timing().RepetitionCount) + w.timing().RestBetweenSetsMs
                    + 1000;
    if (stopAt > 0) {
        tickThrough(f, 100, stopAt);
        w.sStopClick();
        QCoreApplication::processEvents();
    } else {
        tickThrough(f, 100, end);
        QVERIFY(!w.procedure().Running && !w.procedure().Resting);
    }
    // A standing clock stopped again says nothing more.
    w.FormActivate();
    QCoreApplication::processEvents();
    QTEST(speech.speech.said, "said");
}

void TestAthleteSide::speakBoxWithoutEngine_data()
{
    QTest::addColumn<bool>("available");
    QTest::newRow("no engine") << false;
    QTest::newRow("an engine") << true;
}

void TestAthleteSide::speakBoxWithoutEngine()
{
    QFETCH(bool, available);
    InstalledSpeech speech;
    speech.speech.available = available;
    speech.speech.reason = QStringLiteral("No speech engine is installed.");
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.setWindowState(Qt::WindowNoState);
    w.show();
    QCOMPARE(w.SpeakBox->isEnabled(), available);
    if (!available)
        QCOMPARE(w.SpeakBox->toolTip(), speech.speech.reason);
    // Checked anyway, a disabled box speaks nothing.
    w.SpeakBox->setChecked(true);
    w.sStartClick();
    QCoreApplication::processEvents();
    QCOMPARE(speech.speech.said.size(), available ? 1 : 0);
}

void TestAthleteSide::screenHeldWhileATestRuns_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<bool>("heldAfter");
    QTest::newRow("stop button") << "stop" << false;
    QTest::newRow("last set ends, through the rest and the automatic start") << "run out" << false;
    QTest::newRow("activation") << "activate" << false;
    QTest::newRow("Close ends the test") << "close" << false;
    QTest::newRow("break keeps it") << "break" << true;
}

void TestAthleteSide::screenHeldWhileATestRuns()
{
    QFETCH(QString, ending);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    QVERIFY(f.screenSaver.calls.isEmpty());   // activation of a standing clock
    w.sStartClick();
    QCOMPARE(f.screenSaver.calls, QStringList{QStringLiteral("inhibit:A test is running")});
    f.tickAt(1500);
    if (ending == QLatin1String("stop"))
        w.sStopClick();
    else if (ending == QLatin1String("run out"))
        f.tickThrough(1600, 16000);
    else if (ending == QLatin1String("activate"))
        w.FormActivate();
    else if (ending == QLatin1String("break"))
        w.SpeedButton1Click();
    else if (ending == QLatin1String("close")) {
        w.BitBtn1->click();
        f.tickThrough(1600, 11500);
        QVERIFY(!w.procedure().Running);   // no second set begins hidden
    }
    QTEST(f.screenSaver.held, "heldAfter");
    QStringList expected{QStringLiteral("inhibit:A test is running")};
    if (!f.screenSaver.held)
        expected << QStringLiteral("release");
    QCOMPARE(f.screenSaver.calls, expected);
}

void TestAthleteSide::restCountdownAndResults()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    w.AthleteViewButton->click();
    AthleteView *view = w.athleteView();
    QVERIFY(view);
    w.sStartClick();
    f.tickThrough(100, 5100);
    // The rest of 5 s counts down for the athlete, up in the clock window.
    f.tickAt(7100);
    QCOMPARE(view->display().countdown, QStringLiteral("Next set in 0:03"));
    QCOMPARE(f.countdown(), QStringLiteral("00:00:02"));
    f.tickThrough(7200, 12400);
    QVERIFY(w.procedure().Running);
    w.sStopClick();
    QCOMPARE(view->display().phaseName, QStringLiteral("Test over"));
    QCOMPARE(view->display().countdown, QStringLiteral("Set 1: 4 s, 1 rep.\nSet 2: 1,2 s, 1 rep."));
}

void TestAthleteSide::restCountdownAgreesWithTheClockWindow_data()
{
    QTest::addColumn<QString>("pause");   // the rest between sets, in seconds
    QTest::addColumn<int>("into");        // time into the rest at the tick
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("athlete");
    QTest::newRow("rest begins") << "5" << 0 << "00:00:00" << "Next set in 0:05";
    QTest::newRow("within its first second") << "5" << 900 << "00:00:00" << "Next set in 0:05";
    QTest::newRow("a second and a bit") << "5" << 1200 << "00:00:01" << "Next set in 0:04";
    QTest::newRow("last tenth") << "5" << 4900 << "00:00:04" << "Next set in 0:01";
    QTest::newRow("last moment") << "5" << 5000 << "00:00:05" << "Next set in 0:00";
    QTest::newRow("minutes") << "90" << 300 << "00:00:00" << "Next set in 1:30";
    QTest::newRow("past an hour") << "3605" << 4200 << "00:00:04" << "Next set in 1:00:01";
}

void TestAthleteSide::restCountdownAgreesWithTheClockWindow()
{
    QFETCH(QString, pause);
    QFETCH(int, into);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    w.Pause->setText(pause);
    w.AthleteViewButton->click();
    w.sStartClick();
    f.tickThrough(100, 5100);   // set 1 runs out; the rest begins at 5100
    QVERIFY(w.procedure().Resting);
    f.tickAt(5100 + into);
    QVERIFY(w.procedure().Resting);
    QTEST(f.countdown(), "window");
    QTEST(w.athleteView()->display().countdown, "athlete");
    // The two windows' whole seconds add up to the rest.
    const QTime up = QTime::fromString(f.countdown(), QStringLiteral("HH:mm:ss"));
    const QStringList down = w.athleteView()->display().countdown.section(u' ', -1).split(u':');
    int left = 0;
    for (const QString &part : down)
        left = left * 60 + part.toInt();
    QCOMPARE(up.msecsSinceStartOfDay() / 1000 + left, pause.toInt());
}

QTEST_MAIN(TestAthleteSide)
#include "tst_athleteside.moc"
