// The test procedure driven by a hand-set clock: set start, tick, phases,
// rests, cues, stop, break and resume.

#include "clock/piegauge.h"
#include "clockwindowfixture.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {
const QColor kGreen(0, 255, 128);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QString kToCue = QStringLiteral("wave:AnfangFro.wav");
const QString kFroCue = QStringLiteral("wave:AnfangTo.wav");
} // namespace

class TestProcedure : public QObject {
    Q_OBJECT
private slots:
    void initialSettingsRoad_data();
    void initialSettingsRoad();
    void testEndsStoppedWithFullGauge();
    void twoSetsWithRest();
    void countdownOfLongPhases_data();
    void countdownOfLongPhases();
    void toCueOncePerRepetition();
    void phaseCues();
    void warningFromFirstTickOfShortRest();
    void setAcrossMidnight();
    void setButtonDuringSetRestartsIt();
    void setButtonDuringRestStartsNextSet();
    void cancelStartsRest();
    void breakAndResume();
    void breakButtonIdleWhenStoppedOrResting();
    void emptyNameAtEndOfRestStopsOnce();
    void startWithoutFieldsShowsMessage_data();
    void startWithoutFieldsShowsMessage();
    void loweredSetCountStillEndsTheTest();
    void unreadableSettingRefusesTheStart_data();
    void unreadableSettingRefusesTheStart();
    void failedResetClearsTheSetMarks();
    void barsFollowThePhases();
    void unchangedTickWritesNothing();
};

void TestProcedure::initialSettingsRoad_data()
{
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<QString>("phase");
    QTest::addColumn<QString>("countdown");
    QTest::addColumn<QString>("repetition");

    QTest::newRow("start rest 0,9") << 100 << "Start Rest" << "0,9" << "0";
    QTest::newRow("start rest ends at 0,0") << 1000 << "Start Rest" << "0,0" << "0";
    QTest::newRow("fro enters just above 1000") << 1050 << "Fro-Phase" << "0,9" << "1";
    QTest::newRow("fro boundary 2000") << 2000 << "Fro-Phase" << "0,0" << "1";
    QTest::newRow("rest after fro") << 2100 << "Rest after Fro-Phase" << "0,9" << "1";
    QTest::newRow("rest after fro boundary 3000") << 3000 << "Rest after Fro-Phase" << "0,0" << "1";
    QTest::newRow("to") << 3050 << "To-Phase" << "0,9" << "1";
    QTest::newRow("to boundary 4000") << 4000 << "To-Phase" << "0,0" << "1";
    QTest::newRow("rest after to") << 4100 << "Rest after To-Phase" << "0,9" << "1";
    QTest::newRow("rest after to late") << 4950 << "Rest after To-Phase" << "0,0" << "1";
}

void TestProcedure::initialSettingsRoad()
{
    QFETCH(int, elapsed);
    ClockWindowFixture f;
    f.form->sStartClick();
    QCOMPARE(f.phase(), QStringLiteral("Start Rest"));
    QCOMPARE(f.countdown(), QString());
    QCOMPARE(f.phaseColour(), kGreen);
    QCOMPARE(f.form->pnSerie->text(), QStringLiteral("1"));
    QCOMPARE(f.form->Label69->text(), QStringLiteral("1"));

    f.tickAt(elapsed);
    QTEST(f.phase(), "phase");
    QTEST(f.countdown(), "countdown");
    QTEST(f.form->pnBNr->text(), "repetition");
    QTEST(f.form->Label68->text(), "repetition");
    QCOMPARE(f.phaseColour(), kGreen);
    QCOMPARE(f.form->pClock->text(), QStringLiteral("00:00:0%1").arg(elapsed / 1000));
}

void TestProcedure::testEndsStoppedWithFullGauge()
{
    ClockWindowFixture f;
    f.form->sStartClick();
    f.tickThrough(100, 4900);
    QVERIFY(f.form->procedure().Running);
    f.tickAt(5100);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QCOMPARE(f.countdown(), QStringLiteral("BEGIN"));
    QCOMPARE(f.phaseColour(), kYellow);
    QCOMPARE(f.form->pClockB->palette().color(QPalette::Window), kYellow);
    QCOMPARE(f.form->gClock->progress(), f.form->gClock->maxValue());
    QCOMPARE(f.form->gClock->maxValue(), 50);
    QVERIFY(!f.form->procedure().Running);
    QVERIFY(!f.form->procedure().Resting);
    QCOMPARE(f.form->procedure().CurrentSet, 0);
    QVERIFY(f.form->sStart->isVisibleTo(f.form.get()));
    // Later ticks change nothing.
    f.tickAt(6000);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
}

void TestProcedure::twoSetsWithRest()
{
    ClockWindowFixture f;
    f.form->Serien->setText(QStringLiteral("2"));
    f.form->sStartClick();
    f.tickThrough(100, 4900);
    f.tickAt(5100);   // the set's time is over: the rest begins
    QCOMPARE(f.phase(), QStringLiteral("Rest between Sets"));
    QCOMPARE(f.phaseColour(), kRed);
    QVERIFY(f.form->procedure().Resting);
    QCOMPARE(f.form->procedure().SetEndMark, 1);

    // The rest counts up from 00:00:00.
    f.tickAt(5100);
    QCOMPARE(f.countdown(), QStringLiteral("00:00:00"));
    f.tickAt(6200);
    QCOMPARE(f.countdown(), QStringLiteral("00:00:01"));
    f.tickAt(10100);   // exactly 5000 ms of rest: not yet over
    QVERIFY(f.form->procedure().Resting);
    QCOMPARE(f.form->pnSerie->text(), QStringLiteral("1"));

    f.tickAt(10200);   // more than 5000 ms: set 2 begins with its start rest
    QVERIFY(f.form->procedure().Running);
    QVERIFY(!f.form->procedure().Resting);
    QCOMPARE(f.phase(), QStringLiteral("Start Rest"));
    QCOMPARE(f.phaseColour(), kGreen);
    QCOMPARE(f.form->pnSerie->text(), QStringLiteral("2"));
    QCOMPARE(f.form->procedure().CurrentSet, 2);

    f.tickAt(10300);
    QCOMPARE(f.countdown(), QStringLiteral("0,9"));
    f.tickThrough(10400, 15100);
    QCOMPARE(f.phase(), QStringLiteral("Rest after To-Phase"));
    f.tickAt(15300);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QCOMPARE(f.countdown(), QStringLiteral("BEGIN"));
    QVERIFY(!f.form->procedure().Resting);
}

void TestProcedure::countdownOfLongPhases_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<QString>("phase");
    QTest::addColumn<QString>("countdown");

    // Start rest 1 s, the 90 s phase, three phases of 1 s: cycle 93 s.
    QTest::newRow("90 s fro from 0:01:30") << "Abwaerts" << "90" << 1000 + 93000 << "Fro-Phase" << "0:01:30";
    QTest::newRow("90 s fro later") << "Abwaerts" << "90" << 1000 + 30500 << "Fro-Phase" << "0:00:59";
    QTest::newRow("90 s to in clock cut") << "Aufwaerts" << "90" << 1000 + 2000 + 100 << "To-Phase"
                                          << "0:01:29";
    QTest::newRow("90 s start rest shows 30,0") << "StartHalte" << "1:30" << 0 << "Start Rest" << "30,0";
    QTest::newRow("90 s rest after fro shows seconds") << "HalteUnten" << "1:30" << 1000 + 1000 + 100
                                                       << "Rest after Fro-Phase" << "29,9";
}

void TestProcedure::countdownOfLongPhases()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(int, elapsed);

    ClockWindowFixture f;
    f.form->findChild<QLineEdit *>(field)->setText(value);
    f.form->Wiederholungen->setText(QStringLiteral("2"));
    f.form->sStartClick();
    if (elapsed == 0) {
        f.tickAt(0);
    } else {
        f.tickAt(elapsed - 50);   // enters the phase
        f.tickAt(elapsed);
    }
    QTEST(f.phase(), "phase");
    QTEST(f.countdown(), "countdown");
}

void TestProcedure::toCueOncePerRepetition()
{
    ClockWindowFixture f;
    f.form->Tonauf->setChecked(true);
    f.form->Wiederholungen->setText(QStringLiteral("3"));
    f.form->sStartClick();
    f.tickThrough(100, 13100);   // 1 s + 3 x 4 s, then the end
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QCOMPARE(f.platform.sound.played.count(kToCue), 3);
    QCOMPARE(f.platform.sound.played.size(), 3);
}

void TestProcedure::phaseCues()
{
    ClockWindowFixture f;
    for (QCheckBox *box : {f.form->Tonab, f.form->EndeTo, f.form->Tonauf, f.form->EndeFro})
        box->setChecked(true);
    f.form->sStartClick();
    f.tickThrough(100, 4900);
    const QStringList expected{kFroCue, QStringLiteral("beep"), kToCue, QStringLiteral("beep")};
    QCOMPARE(f.platform.sound.played, expected);
}

void TestProcedure::warningFromFirstTickOfShortRest()
{
    ClockWindowFixture f;
    f.form->Serien->setText(QStringLiteral("2"));
    f.form->CheckBox1->setChecked(true);
    f.form->sStartClick();
    f.tickThrough(100, 5100);   // the last tick ends set 1
    QVERIFY(f.platform.sound.played.isEmpty());
    f.tickAt(5200);   // first tick of the rest: 100 ms >= 5000 - 10000
    QCOMPARE(f.platform.sound.played, QStringList{kToCue});
    f.tickAt(5300);
    QCOMPARE(f.platform.sound.played.size(), 2);
}

void TestProcedure::setAcrossMidnight()
{
    ClockWindowFixture f;
    f.platform.clock.set(86400000 - 2500);   // 23:59:57,500
    f.form->sStartClick();
    const int start = f.form->procedure().SetStartMs;
    QCOMPARE(start, 86400000 - 2500);
    for (int elapsed = 100; elapsed <= 4000; elapsed += 100) {
        f.platform.clock.set((start + elapsed) % 86400000);
        f.form->Timer1Timer();
        QCOMPARE(f.form->procedure().SetElapsedMs, elapsed);
    }
    QCOMPARE(f.phase(), QStringLiteral("To-Phase"));
    QCOMPARE(f.form->pClock->text(), QStringLiteral("00:00:04"));
}

void TestProcedure::setButtonDuringSetRestartsIt()
{
    ClockWindowFixture f;
    f.form->Serien->setText(QStringLiteral("3"));
    f.form->sStartClick();
    f.tickThrough(100, 3500);
    QCOMPARE(f.phase(), QStringLiteral("To-Phase"));
    QVERIFY(f.form->setButtons[0]->isVisibleTo(f.form.get()));
    QVERIFY(!f.form->setButtons[1]->isVisibleTo(f.form.get()));

    f.form->setButtons[0]->click();   // at 3500 ms
    QCOMPARE(f.form->procedure().SetElapsedMs, 0);
    QCOMPARE(f.form->pnSerie->text(), QStringLiteral("1"));
    QCOMPARE(f.form->procedure().CurrentSet, 1);
    f.tickAt(3600);   // 100 ms into the restarted start rest
    QCOMPARE(f.form->procedure().SetElapsedMs, 100);
    QCOMPARE(f.countdown(), QStringLiteral("0,9"));
    // The phase name stays until the Fro-Phase is entered again.
    QCOMPARE(f.phase(), QStringLiteral("To-Phase"));
    f.tickAt(4600);
    QCOMPARE(f.phase(), QStringLiteral("Fro-Phase"));
    QCOMPARE(f.form->pnBNr->text(), QStringLiteral("1"));
}

void TestProcedure::setButtonDuringRestStartsNextSet()
{
    ClockWindowFixture f;
    f.form->Serien->setText(QStringLiteral("3"));
    f.form->sStartClick();
    f.tickThrough(100, 5100);
    QVERIFY(f.form->procedure().Resting);
    f.tickAt(6000);
    f.form->setButtons[0]->click();
    QVERIFY(f.form->procedure().Running);
    QVERIFY(!f.form->procedure().Resting);
    QCOMPARE(f.form->pnSerie->text(), QStringLiteral("2"));
    QCOMPARE(f.phase(), QStringLiteral("Start Rest"));
    f.tickAt(6100);
    QCOMPARE(f.form->procedure().SetElapsedMs, 100);
    QVERIFY(f.form->setButtons[1]->isVisibleTo(f.form.get()));
    QVERIFY(!f.form->setButtons[2]->isVisibleTo(f.form.get()));
}

void TestProcedure::cancelStartsRest()
{
    ClockWindowFixture f;
    f.form->Serien->setText(QStringLiteral("3"));
    f.form->Wiederholungen->setText(QStringLiteral("3"));
    f.form->sStartClick();
    f.tickThrough(100, 6500);   // repetition 2
    QCOMPARE(f.form->pnBNr->text(), QStringLiteral("2"));
    f.form->Button1->click();
    QCOMPARE(f.form->procedure().SetEndMark, 100);
    QVERIFY(!f.form->sStart->isVisibleTo(f.form.get()));
    f.tickAt(6600);
    QCOMPARE(f.phase(), QStringLiteral("Rest between Sets"));
    QVERIFY(f.form->procedure().Resting);
    QCOMPARE(f.form->procedure().SetEndMark, 1);
}

void TestProcedure::breakAndResume()
{
    ClockWindowFixture f;
    f.form->Serien->setText(QStringLiteral("2"));
    f.form->Tonab->setChecked(true);
    f.form->sStartClick();
    f.tickThrough(100, 5100);
    f.tickAt(10200);   // set 2 begins
    f.tickThrough(10300, 11700);   // 1500 ms into set 2: Fro-Phase
    QCOMPARE(f.phase(), QStringLiteral("Fro-Phase"));
    f.platform.sound.played.clear();

    f.form->SpeedButton1->click();
    QCOMPARE(f.countdown(), QStringLiteral("Break"));
    QCOMPARE(f.phaseColour(), kRed);
    QVERIFY(!f.form->procedure().Running);
    f.tickAt(40000);   // a break of half a minute: nothing moves
    QCOMPARE(f.form->procedure().SetElapsedMs, 1500);
    QCOMPARE(f.countdown(), QStringLiteral("Break"));

    f.form->SpeedButton1->click();
    QCOMPARE(f.phase(), QStringLiteral("Start Rest"));
    QCOMPARE(f.countdown(), QStringLiteral("0,0"));
    QCOMPARE(f.phaseColour(), kGreen);
    f.tickAt(40100);
    QCOMPARE(f.form->procedure().SetElapsedMs, 1600);
    // The current phase is entered again, cue included; the set keeps its number.
    QCOMPARE(f.phase(), QStringLiteral("Fro-Phase"));
    QCOMPARE(f.platform.sound.played, QStringList{kFroCue});
    QCOMPARE(f.form->procedure().CurrentSet, 2);
    QCOMPARE(f.form->pnSerie->text(), QStringLiteral("2"));
    f.tickThrough(40200, 43600);
    f.tickAt(43700);   // 5100 ms into set 2, the last: the test ends
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
}

void TestProcedure::breakButtonIdleWhenStoppedOrResting()
{
    ClockWindowFixture f;
    f.form->SpeedButton1->click();   // stopped
    QVERIFY(!f.form->procedure().Running);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QCOMPARE(f.countdown(), QStringLiteral("BEGIN"));

    f.form->Serien->setText(QStringLiteral("2"));
    f.form->sStartClick();
    f.tickThrough(100, 5100);
    f.tickAt(5500);
    QVERIFY(f.form->procedure().Resting);
    f.form->SpeedButton1->click();   // resting
    QVERIFY(f.form->procedure().Resting);
    QVERIFY(!f.form->procedure().Running);
    QCOMPARE(f.phase(), QStringLiteral("Rest between Sets"));
    f.tickAt(10200);
    QCOMPARE(f.form->pnSerie->text(), QStringLiteral("2"));
}

void TestProcedure::emptyNameAtEndOfRestStopsOnce()
{
    ClockWindowFixture f;
    f.form->Serien->setText(QStringLiteral("2"));
    f.form->sStartClick();
    f.tickThrough(100, 5100);
    f.form->Edit39->clear();
    int ticksWhileOpen = 0;
    f.platform.boxes.onShow = [&] {
        // The timer goes on while the box is open.
        for (int ms = 10300; ms <= 11000; ms += 100, ++ticksWhileOpen)
            f.tickAt(ms);
    };
    f.tickAt(10200);
    QCOMPARE(ticksWhileOpen, 8);
    QCOMPARE(f.platform.boxes.shown, QStringList{QStringLiteral("inform:Couldn't find   Name")});
    QVERIFY(!f.form->procedure().Running);
    QVERIFY(!f.form->procedure().Resting);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    f.platform.boxes.onShow = nullptr;
    f.tickAt(12000);
    QCOMPARE(f.platform.boxes.shown.size(), 1);
}

void TestProcedure::startWithoutFieldsShowsMessage_data()
{
    QTest::addColumn<QString>("emptyField");
    QTest::addColumn<QString>("message");
    QTest::newRow("name") << "Edit39" << "inform:Couldn't find   Name";
    QTest::newRow("profile name") << "Edit47" << "inform:Couldn't find  Profil Name";
    QTest::newRow("exercise") << "Edit51" << "inform:Couldn't find  Exercise";
}

void TestProcedure::startWithoutFieldsShowsMessage()
{
    QFETCH(QString, emptyField);
    ClockWindowFixture f;
    f.form->findChild<QLineEdit *>(emptyField)->clear();
    f.form->sStartClick();
    QTEST(f.platform.boxes.shown.value(0), "message");
    QCOMPARE(f.platform.boxes.shown.size(), 1);
    QVERIFY(!f.form->procedure().Running);
    QCOMPARE(f.form->procedure().CurrentSet, 0);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
}

void TestProcedure::loweredSetCountStillEndsTheTest()
{
    ClockWindowFixture f;
    f.form->Serien->setText(QStringLiteral("3"));
    f.form->sStartClick();
    f.tickThrough(100, 5100);
    QVERIFY(f.form->procedure().Resting);
    // Lowered during the rest: set 2 is now beyond the count and ends the test.
    f.form->Serien->setText(QStringLiteral("1"));
    f.tickAt(10200);
    QCOMPARE(f.form->pnSerie->text(), QStringLiteral("2"));
    f.tickThrough(10300, 15200);
    f.tickAt(15300);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QVERIFY(!f.form->procedure().Resting);
}

void TestProcedure::unreadableSettingRefusesTheStart_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("how");   // start, set button, after rest, reset
    QTest::addColumn<QString>("message");   // empty: the set starts

    QTest::newRow("sets with a blank") << "Serien" << "3 " << "start" << "Sets: \"3 \" is not a whole number";
    QTest::newRow("repetitions in letters") << "Wiederholungen" << "x" << "start"
                                            << "Repetitions: \"x\" is not a whole number";
    QTest::newRow("fro-phase in minutes") << "Abwaerts" << "1:30" << "start"
                                          << "Fro-Phase: \"1:30\" is not a number of seconds";
    QTest::newRow("to-phase with two points") << "Aufwaerts" << "1.2.3" << "start"
                                              << "To-Phase: \"1,2,3\" is not a number of seconds";
    QTest::newRow("rest between sets in words") << "Pause" << "fünf" << "start"
                                                << "Rest in-between Sets: \"fünf\" is not a number of seconds";
    QTest::newRow("set button during the rest") << "Serien" << "3 " << "set button"
                                                << "Sets: \"3 \" is not a whole number";
    QTest::newRow("automatic start after the rest") << "Serien" << "3 " << "after rest"
                                                    << "Sets: \"3 \" is not a whole number";
    QTest::newRow("reset button") << "Serien" << "3 " << "reset" << "Sets: \"3 \" is not a whole number";
    // Texts the reset reads without failing start as before.
    QTest::newRow("start rest 90") << "StartHalte" << "90" << "start" << "";
    QTest::newRow("sets 3 after the rest") << "Serien" << "3" << "after rest" << "";
    QTest::newRow("fro-phase with a leading blank") << "Abwaerts" << " 5" << "set button" << "";
    QTest::newRow("reset of ordinary texts") << "HalteOben" << "1:30" << "reset" << "";
}

void TestProcedure::unreadableSettingRefusesTheStart()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, how);
    QFETCH(QString, message);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    const bool duringRest = how == QLatin1String("set button") || how == QLatin1String("after rest");
    if (duringRest) {
        w.Serien->setText(QStringLiteral("2"));
        w.sStartClick();
        f.tickThrough(100, 5100);
        QVERIFY(w.procedure().Resting);
    }
    w.findChild<QLineEdit *>(field)->setText(text);
    bool runningWhileOpen = true;
    f.platform.boxes.onShow = [&] { runningWhileOpen = w.procedure().Running || w.procedure().Resting; };

    if (how == QLatin1String("start"))
        w.sStart->click();
    else if (how == QLatin1String("set button"))
        w.setButtons[0]->click();
    else if (how == QLatin1String("after rest"))
        f.tickAt(10200);
    else
        w.sReset->click();

    if (message.isEmpty()) {
        QCOMPARE(f.platform.boxes.shown, QStringList());
        QCOMPARE(w.procedure().Running, how != QLatin1String("reset"));
        return;
    }
    QCOMPARE(f.platform.boxes.shown, QStringList{QStringLiteral("inform:") + message});
    // The clock stood while the message was open, and no set started.
    QVERIFY(!runningWhileOpen);
    QVERIFY(!w.procedure().Running);
    QVERIFY(!w.procedure().Resting);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    f.tickAt(20000);
    QCOMPARE(f.platform.boxes.shown.size(), 1);
}

void TestProcedure::failedResetClearsTheSetMarks()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("3"));
    w.sStartClick();
    f.tickThrough(100, 5100);
    QCOMPARE(w.procedure().RestMark, 1);
    QCOMPARE(w.procedure().SetEndMark, 1);
    w.Wiederholungen->setText(QStringLiteral("zwei"));
    f.platform.boxes.onShow = [&] {
        QCOMPARE(w.procedure().RestMark, 0);
        QCOMPARE(w.procedure().SetEndMark, 0);
        QCOMPARE(w.procedure().ShownRepetition, -1);
    };
    w.sReset->click();
    QCOMPARE(f.platform.boxes.shown.size(), 1);
    // Mended, the next test runs its sets to their time again.
    f.platform.boxes.onShow = nullptr;
    w.Wiederholungen->setText(QStringLiteral("1"));
    f.platform.clock.set(ClockWindowFixture::kStart + 20000);
    w.sStartClick();
    for (int ms = 20100; ms <= 25100; ms += 100)
        f.tickAt(ms);
    QCOMPARE(f.phase(), QStringLiteral("Rest between Sets"));
}

void TestProcedure::barsFollowThePhases()
{
    ClockWindowFixture f;
    f.form->Wiederholungen->setText(QStringLiteral("2"));
    f.form->sStartClick();
    QCOMPARE(f.form->pnClock1->height(), 463);
    f.tickAt(1050);
    QCOMPARE(f.form->Shape1->height(), 0);
    f.tickAt(1500);   // 5 of 10 tenths: 230.5 rounds to 230
    QCOMPARE(f.form->Shape1->height(), 230);
    QCOMPARE(f.form->Shape1->y(), 1);
    QVERIFY(f.form->Shape3->isVisibleTo(f.form.get()));
    QVERIFY(f.form->Image1->isVisibleTo(f.form.get()));
    QVERIFY(!f.form->Shape5->isVisibleTo(f.form.get()));
    f.tickAt(2000);
    QCOMPARE(f.form->Shape1->height(), 461);
    f.tickAt(2500);   // rest after fro: full
    QCOMPARE(f.form->Shape1->height(), 461);
    QVERIFY(f.form->Shape5->isVisibleTo(f.form.get()));
    QVERIFY(!f.form->Shape3->isVisibleTo(f.form.get()));
    f.tickAt(3700);   // 7 of 10 tenths of the to-phase: 322.7
    QCOMPARE(f.form->Shape2->height(), 323);
    QCOMPARE(f.form->Shape2->y(), 1 + 461 - 323);
    QVERIFY(f.form->Image2->isVisibleTo(f.form.get()));
    f.tickAt(4500);
    QCOMPARE(f.form->Shape2->height(), 461);
    QVERIFY(f.form->Shape6->isVisibleTo(f.form.get()));
    f.tickAt(5050);   // within 100 ms of repetition 2: the to-phase bar is cleared
    QCOMPARE(f.form->Shape2->height(), 0);
    QCOMPARE(f.form->pnBNr->text(), QStringLiteral("2"));
}

void TestProcedure::unchangedTickWritesNothing()
{
    ClockWindowFixture f;
    f.form->sStartClick();
    f.tickAt(1500);
    // A second tick at the same moment must not touch a display.
    int paints = 0;
    struct PaintCounter : QObject {
        int *count;
        explicit PaintCounter(int *c) : count(c) {}
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::UpdateRequest || e->type() == QEvent::Paint)
                ++*count;
            return false;
        }
    } counter(&paints);
    f.form->show();
    QCoreApplication::processEvents();
    for (QWidget *w : f.form->findChildren<QWidget *>())
        w->installEventFilter(&counter);
    f.form->installEventFilter(&counter);
    paints = 0;
    f.tickAt(1500);
    QCoreApplication::processEvents();
    QCOMPARE(paints, 0);
    f.tickAt(1600);
    QCoreApplication::processEvents();
    QVERIFY(paints > 0);
}

QTEST_MAIN(TestProcedure)
#include "tst_procedure.moc"
