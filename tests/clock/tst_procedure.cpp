// The clock window running the test procedure on a hand-set clock: its
// buttons, keys and displays.  The procedure itself is tested without a
// window in tst_clockprocedure.

#include "clock/piegauge.h"
#include "clockwindowfixture.h"
#include "model/procedurecases.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {
// The phase panels' colours.
const QColor kGreen(0, 255, 128);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
} // namespace

class TestProcedure : public QObject {
    Q_OBJECT
private slots:
    void initialSettingsRoad_data();
    void initialSettingsRoad();
    void setButtonDuringRestStartsNextSet();
    void cancelStartsRest();
    void breakAndResume();
    void startWithoutFieldsShowsMessage_data();
    void startWithoutFieldsShowsMessage();
    void unreadableSettingRefusesTheStart_data();
    void unreadableSettingRefusesTheStart();
    void failedResetClearsTheSetMarks();
    void barsFollowThePhases();
    void unchangedTickWritesNothing();
    void procedureKeys_data();
    void procedureKeys();
};

void TestProcedure::initialSettingsRoad_data()
{
    addInitialSettingsRoadRows();
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
    // Both panels in the stopped colour, start and "Close" back, the gauge full.
    QCOMPARE(f.form->pClockB->palette().color(QPalette::Window), kYellow);
    QVERIFY(f.form->sStart->isVisibleTo(f.form.get()));
    QVERIFY(f.form->BitBtn1->isVisibleTo(f.form.get()));
    QCOMPARE(f.form->gClock->progress(), f.form->gClock->maxValue());
    QCOMPARE(f.form->Label69->text(), QStringLiteral("2"));
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
    // After a set that ran to its end, the message's activation asks first.
    QStringList boxes{QStringLiteral("inform:") + message};
    if (duringRest)
        boxes << QStringLiteral("save?:The results of the test of Anna started at 10:00:00 are not saved. "
                                "Save them?");
    QCOMPARE(f.platform.boxes.shown, boxes);
    // The clock stood while the message was open, and no set started.
    QVERIFY(!runningWhileOpen);
    QVERIFY(!w.procedure().Running);
    QVERIFY(!w.procedure().Resting);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    f.tickAt(20000);
    QCOMPARE(f.platform.boxes.shown.size(), boxes.size());
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
    // The message, then the question before set 1's result is cleared.
    QCOMPARE(f.platform.boxes.shown.size(), 2);
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

void TestProcedure::procedureKeys_data()
{
    QTest::addColumn<QString>("before");   // what happens before the key
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after");    // where the procedure stands then

    QTest::newRow("F5 starts from a text field") << "" << int(Qt::Key_F5) << "running 0";
    QTest::newRow("F5 while a set runs: start is hidden") << "start" << int(Qt::Key_F5) << "running 1500";
    QTest::newRow("F6 stops") << "start" << int(Qt::Key_F6) << "stopped";
    QTest::newRow("F7 breaks") << "start" << int(Qt::Key_F7) << "break";
    QTest::newRow("F8 cancels the set") << "start" << int(Qt::Key_F8) << "cancelled";
    QTest::newRow("F8 with Cancel hidden does nothing") << "" << int(Qt::Key_F8) << "untouched";
}

void TestProcedure::procedureKeys()
{
    QFETCH(QString, before);
    QFETCH(int, key);
    QFETCH(QString, after);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.setWindowState(Qt::WindowNoState);
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    if (before == QLatin1String("start")) {
        w.sStartClick();
        f.tickAt(1500);
    }
    // The focus in a text field does not keep the keys from the window.
    w.Edit39->setFocus();
    QTest::keyClick(w.Edit39, Qt::Key(key));
    QCOMPARE(w.Edit39->text(), QStringLiteral("Anna"));

    const ProcedureState &p = w.procedure();
    if (after.startsWith(QLatin1String("running"))) {
        QVERIFY(p.Running);
        QCOMPARE(p.SetElapsedMs, after.section(u' ', 1).toInt());
    } else if (after == QLatin1String("stopped")) {
        QVERIFY(!p.Running);
        QCOMPARE(f.phase(), QStringLiteral("TEST"));
    } else if (after == QLatin1String("break")) {
        QCOMPARE(f.countdown(), QStringLiteral("Break"));
    } else if (after == QLatin1String("cancelled")) {
        QCOMPARE(p.SetEndMark, 100);
        QCOMPARE(w.realSlots[0]->text(), QStringLiteral("0,5"));
    } else {
        QCOMPARE(p.SetEndMark, 0);
        QVERIFY(!p.Running);
        QCOMPARE(w.realSlots[0]->text(), QString());
    }
    // Each button names its key.
    QVERIFY(w.sStart->toolTip().contains(QStringLiteral("F5")));
    QVERIFY(w.sStop->toolTip().contains(QStringLiteral("F6")));
    QVERIFY(w.SpeedButton1->toolTip().contains(QStringLiteral("F7")));
    QVERIFY(w.Button1->toolTip().contains(QStringLiteral("F8")));
}

QTEST_MAIN(TestProcedure)
#include "tst_procedure.moc"
