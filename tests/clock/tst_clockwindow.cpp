// The clock window's activation, phase display switch, "Close", and the
// per-set result rows.

#include "clock/piegauge.h"
#include "clockwindowfixture.h"

#include <QCheckBox>
#include <QPaintEvent>
#include <QScreen>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolButton>

namespace {
const QColor kLime(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);

QColor base(const QWidget *w)
{
    return w->palette().color(QPalette::Base);
}

bool shown(const TForm1 &form, const QWidget *w)
{
    return w->isVisibleTo(&form);
}
} // namespace

class TestClockWindow : public QObject {
    Q_OBJECT
private slots:
    void firstShowing();
    void clickOnCountdownStopsTheTest();
    void onlyALeftClickOnTheCountdownCounts_data();
    void onlyALeftClickOnTheCountdownCounts();
    void settingHints_data();
    void settingHints();
    void settingsFieldsShowMinutes_data();
    void settingsFieldsShowMinutes();
    void barDisplaySwitch();
    void closeDuringSetAndReopen();
    void focusChangeKeepsTestRunning();
    void plannedRowsAtSetStart_data();
    void plannedRowsAtSetStart();
    void plannedSetTime_data();
    void plannedSetTime();
    void cancelRecordsRow_data();
    void cancelRecordsRow();
    void cancelAfterEndChangesNoRow();
    void cancelWithUnreadableStartRest();
    void nextSetStartKeepsCancelledResults();
    void closeClearsRows();
    void clockTicksFastOnlyWhileATestRuns();
    void tickRepaintsOnlyWhatChanged_data();
    void tickRepaintsOnlyWhatChanged();
    void phasePanelsPaintAsLabels_data();
    void phasePanelsPaintAsLabels();
};

void TestClockWindow::firstShowing()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    QCOMPARE(w.pnAbschnitt->text(), QStringLiteral("TEST"));
    QCOMPARE(w.pClockB->text(), QStringLiteral("BEGIN"));
    QCOMPARE(w.pnAbschnitt->palette().color(QPalette::Window), kYellow);
    QCOMPARE(w.pClockB->palette().color(QPalette::Window), kYellow);
    QCOMPARE(w.pClock->text(), QStringLiteral("00:00:00"));
    QCOMPARE(w.gClock->progress(), 0);
    QCOMPARE(w.gClock->maxValue(), 50);
    QCOMPARE(w.Panel1->text(), QStringLiteral("00:00:05"));
    QCOMPARE(w.eCycle->text(), QStringLiteral("00:00:05"));
    QCOMPARE(w.TUTtotal->text(), QStringLiteral("5"));
    QCOMPARE(w.TUTreal->text(), QStringLiteral("2"));
    QCOMPARE(w.Edit46->text(), QStringLiteral("4"));
    QCOMPARE(w.Edit48->text(), QStringLiteral(" 1"));
    QCOMPARE(w.Edit37->text(), QStringLiteral("06.12.2026"));
    QVERIFY(w.windowState() & Qt::WindowMaximized);
    QVERIFY(!shown(w, w.BitBtn3));
    QVERIFY(!shown(w, w.Button1));
    QVERIFY(shown(w, w.sStart));
    QVERIFY(!w.ImageClock->pixmap().isNull());
    for (int k = 0; k < 20; ++k) {
        QVERIFY(!shown(w, w.plannedSlots[k]));
        QVERIFY(!shown(w, w.setButtons[k]));
        QCOMPARE(w.plannedSlots[k]->text(), QStringLiteral("0"));
        QCOMPARE(w.repetitionSlots[k]->text(), QStringLiteral("0"));
        QCOMPARE(w.realSlots[k]->text(), QString());
        QCOMPARE(base(w.plannedSlots[k]), kLime);
    }
    // The clock face: black lines on a transparent image.
    const QImage face = w.ImageClock->pixmap().toImage();
    QCOMPARE(face.size(), QSize(129, 129));
    QCOMPARE(face.pixelColor(64, 64).alpha(), 0);
    QCOMPARE(face.pixelColor(1, 64), QColor(Qt::black));
    QCOMPARE(face.pixelColor(127, 64), QColor(Qt::black));   // the frame ends before w - 1
    QCOMPARE(face.pixelColor(128, 64).alpha(), 0);
    QCOMPARE(face.pixelColor(64, 127), QColor(Qt::black));
    QCOMPARE(face.pixelColor(64, 128).alpha(), 0);
    QCOMPARE(face.pixelColor(64, 119), QColor(Qt::black));   // top of the 6 o'clock mark
}

void TestClockWindow::clickOnCountdownStopsTheTest()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    w.sStartClick();
    f.tickThrough(100, 2500);
    w.Button1->click();
    QVERIFY(shown(w, w.realSlots[0]));
    QTest::mouseClick(w.pClockB, Qt::LeftButton);
    QVERIFY(!w.procedure().Running);
    QCOMPARE(w.pnAbschnitt->text(), QStringLiteral("TEST"));
    QCOMPARE(w.realSlots[0]->text(), QString());
    QCOMPARE(w.repetitionSlots[0]->text(), QStringLiteral("0"));
    QCOMPARE(w.plannedSlots[0]->text(), QStringLiteral("0"));
    QCOMPARE(base(w.plannedSlots[0]), kLime);
}

void TestClockWindow::onlyALeftClickOnTheCountdownCounts_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<bool>("stops");
    QTest::newRow("left click") << "left" << true;
    QTest::newRow("right click") << "right" << false;
    QTest::newRow("middle click") << "middle" << false;
    QTest::newRow("left press dragged off") << "drag off" << false;
    QTest::newRow("release without a press on it") << "release only" << false;
}

void TestClockWindow::onlyALeftClickOnTheCountdownCounts()
{
    QFETCH(QString, gesture);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    w.sStartClick();
    f.tickThrough(100, 2500);
    w.Button1->click();
    const QPoint inside = w.pClockB->rect().center();
    const QPoint outside(w.pClockB->width() + 20, inside.y());
    if (gesture == QLatin1String("left")) {
        QTest::mouseClick(w.pClockB, Qt::LeftButton, {}, inside);
    } else if (gesture == QLatin1String("right")) {
        QTest::mouseClick(w.pClockB, Qt::RightButton, {}, inside);
    } else if (gesture == QLatin1String("middle")) {
        QTest::mouseClick(w.pClockB, Qt::MiddleButton, {}, inside);
    } else if (gesture == QLatin1String("drag off")) {
        QTest::mousePress(w.pClockB, Qt::LeftButton, {}, inside);
        QTest::mouseMove(w.pClockB, outside);
        QTest::mouseRelease(w.pClockB, Qt::LeftButton, {}, outside);
    } else {
        QTest::mouseRelease(w.pClockB, Qt::LeftButton, {}, inside);
    }
    QFETCH(bool, stops);
    QCOMPARE(!w.procedure().Running, stops);
    // The recorded row stays unless the click was one.
    QCOMPARE(w.realSlots[0]->text().isEmpty(), stops);
}

void TestClockWindow::settingHints_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");   // empty: the field keeps its plain look

    QTest::newRow("start rest 90 s as plain seconds") << "StartHalte" << "90"
                                                      << "\"90\" is read as 0,1 s. For 90 s type 1:30.";
    QTest::newRow("rest after fro 90") << "HalteUnten" << "90" << "\"90\" is read as 0,1 s. For 90 s type 1:30.";
    QTest::newRow("rest after to 75,5") << "HalteOben" << "75,5"
                                        << "\"75,5\" is read as 0,5 s. For 75,5 s type 1:15,5.";
    QTest::newRow("trailing blank") << "StartHalte" << "5 " << "\"5 \" is read as 0,1 s. For 5 s type 5.";
    QTest::newRow("unreadable rest") << "HalteOben" << "abc"
                                     << "\"abc\" cannot be read as a time: the clock takes 0,1 s.";
    QTest::newRow("empty fro-phase") << "Abwaerts" << "" << "No time typed: the clock takes 0,1 s.";
    QTest::newRow("fro-phase in minutes") << "Abwaerts" << "1:30"
                                          << "\"1:30\" is not a number of seconds: a test cannot start. "
                                             "For 90 s type 90.";
    QTest::newRow("sets with a blank") << "Serien" << "3 " << "\"3 \" is not a whole number: a test cannot start.";
    QTest::newRow("rest between sets in words") << "Pause" << "fünf"
                                                << "\"fünf\" is not a number of seconds: a test cannot start.";
    QTest::newRow("start rest 1.30 looks like minutes") << "StartHalte" << "1.30"
                                                        << "\"1,30\" is read as 1,3 s. For 1 min 30 s type 1:30.";
    QTest::newRow("rest after to 2,15") << "HalteOben" << "2,15"
                                        << "\"2,15\" is read as 2,15 s. For 2 min 15 s type 2:15.";
    // The rest between sets reads seconds only, never 1:05.
    QTest::newRow("rest between sets 1.05") << "Pause" << "1.05"
                                            << "\"1,05\" is read as 1,05 s. For 1 min 5 s type 65.";
    QTest::newRow("rest between sets 2,30") << "Pause" << "2,30"
                                            << "\"2,30\" is read as 2,3 s. For 2 min 30 s type 150.";
    QTest::newRow("rest between sets 1:30") << "Pause" << "1:30"
                                            << "\"1:30\" is not a number of seconds: a test cannot start. "
                                               "For 90 s type 90.";
    QTest::newRow("start rest 1,5 is no minutes") << "StartHalte" << "1,75" << "";
    QTest::newRow("start rest 1:30") << "StartHalte" << "1:30" << "";
    QTest::newRow("start rest 1,5") << "StartHalte" << "1,5" << "";
    QTest::newRow("below the lower limit") << "HalteUnten" << "0,05" << "";
    QTest::newRow("fro-phase 90 s") << "Abwaerts" << "90" << "";
    QTest::newRow("to-phase with a point") << "Aufwaerts" << "1.5" << "";
    QTest::newRow("sets 3") << "Serien" << "3" << "";
}

void TestClockWindow::settingHints()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    auto *edit = w.findChild<QLineEdit *>(field);
    const QString plainTip = edit->toolTip();
    QVERIFY(edit->styleSheet().isEmpty());

    edit->setText(text);
    QCOMPARE(edit->toolTip(), hint.isEmpty() ? plainTip : hint);
    QCOMPARE(edit->styleSheet().contains(QStringLiteral("rgb(255, 0, 0)")), !hint.isEmpty());
    // A hint, never a box; the values stay as the reset computes them.
    w.sResetClick();
    const bool refused = hint.contains(QStringLiteral("a test cannot start"));
    QCOMPARE(f.platform.boxes.shown.size(), refused ? 1 : 0);
    if (field == QLatin1String("StartHalte") && text == QLatin1String("90"))
        QCOMPARE(w.timing().StartRestMs, 100);

    // Back to an ordinary text: the frame goes, the field's own tooltip returns.
    edit->setText(QStringLiteral("1"));
    QCOMPARE(edit->toolTip(), plainTip);
    QVERIFY(edit->styleSheet().isEmpty());
}

void TestClockWindow::settingsFieldsShowMinutes_data()
{
    QTest::addColumn<QString>("field");
    for (const char *field : {"StartHalte", "Aufwaerts", "Abwaerts", "HalteOben", "HalteUnten", "Pause"})
        QTest::newRow(field) << QString::fromLatin1(field);
}

void TestClockWindow::settingsFieldsShowMinutes()
{
    QFETCH(QString, field);
    ClockWindowFixture f;
    auto *edit = f.form->findChild<QLineEdit *>(field);
    QVERIFY(edit);
    // The room for text: the frame and the line edit's own margin of 2 on
    // each side taken off.
    const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
    const QMargins margins = edit->textMargins();
    const int room = edit->width() - 2 * frame - 4 - margins.left() - margins.right();
    const int needed = edit->fontMetrics().horizontalAdvance(QStringLiteral("1:30"));
    QVERIFY2(needed <= room, qPrintable(QStringLiteral("%1 px for 1:30, %2 px of room").arg(needed).arg(room)));
}

void TestClockWindow::barDisplaySwitch()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.sStartClick();
    f.tickAt(1500);
    QCOMPARE(w.pnAbschnitt->text(), QStringLiteral("Fro-Phase"));
    QTest::mouseClick(w.Balkenanzeige, Qt::LeftButton);
    QVERIFY(!w.Balkenanzeige->isChecked());
    QVERIFY(!shown(w, w.pnClock1));
    QVERIFY(!shown(w, w.pnClock2));
    QVERIFY(shown(w, w.Shape3));
    QVERIFY(shown(w, w.Image1));
    QTest::mouseClick(w.Balkenanzeige, Qt::LeftButton);
    QVERIFY(shown(w, w.pnClock1));
    QVERIFY(shown(w, w.pnClock2));
    for (QWidget *marker : {w.Shape3, w.Shape4, w.Shape5, w.Shape6, static_cast<QWidget *>(w.Image1),
                            static_cast<QWidget *>(w.Image2)})
        QVERIFY(!shown(w, marker));
    f.tickAt(1600);   // still the same phase: no entry, markers stay hidden
    QVERIFY(!shown(w, w.Shape3));
    f.tickAt(2500);   // the next phase entry shows its marker again
    QVERIFY(shown(w, w.Shape5));
}

void TestClockWindow::closeDuringSetAndReopen()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.show();
    w.sStartClick();
    f.tickAt(1500);
    w.BitBtn1->click();
    // Half a second of the set would be lost: asked, and discarded.
    QCOMPARE(f.platform.boxes.shown,
             QStringList{QStringLiteral("save?:The results of the test of Anna started at 10:00:00 are not "
                                        "saved. Save them?")});
    QVERIFY(!w.isVisible());
    QCOMPARE(w.pnSerie->text(), QStringLiteral("0"));
    // Closed, the test is over instead of running on hidden.
    f.tickAt(2500);
    QVERIFY(!w.procedure().Running);
    QCOMPARE(w.pnAbschnitt->text(), QStringLiteral("TEST"));
    QCOMPARE(w.realSlots[0]->text(), QStringLiteral("0,5"));
    QCOMPARE(w.repetitionSlots[0]->text(), QStringLiteral("1"));
    QCOMPARE(w.pnBNr->text(), QStringLiteral("0"));
    QVERIFY(!shown(w, w.setButtons[0]));
    // "Test" again: the results were given up, nothing is asked.
    w.FormActivate();
    QCOMPARE(f.platform.boxes.shown.size(), 1);
    QCOMPARE(w.realSlots[0]->text(), QString());
}

void TestClockWindow::focusChangeKeepsTestRunning()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.sStartClick();
    f.tickAt(1500);
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    QCoreApplication::processEvents();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    QCoreApplication::processEvents();
    QVERIFY(w.procedure().Running);
    f.tickAt(1600);
    QCOMPARE(w.pnAbschnitt->text(), QStringLiteral("Fro-Phase"));
    QCOMPARE(w.pnSerie->text(), QStringLiteral("1"));
}

void TestClockWindow::plannedRowsAtSetStart_data()
{
    QTest::addColumn<QString>("sets");
    QTest::addColumn<int>("visibleRows");
    QTest::newRow("3") << "3" << 3;
    QTest::newRow("20") << "20" << 20;
    QTest::newRow("leading zero") << "03" << 0;
    QTest::newRow("leading blank") << " 3" << 0;
    QTest::newRow("21") << "21" << 0;
}

void TestClockWindow::plannedRowsAtSetStart()
{
    QFETCH(QString, sets);
    QFETCH(int, visibleRows);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(sets);
    w.sStartClick();
    for (int k = 0; k < 20; ++k) {
        QCOMPARE(shown(w, w.plannedSlots[k]), k < visibleRows);
        QCOMPARE(w.plannedSlots[k]->text(), k < visibleRows ? QStringLiteral("4") : QStringLiteral("0"));
        QVERIFY(!shown(w, w.realSlots[k]));
    }
}

void TestClockWindow::plannedSetTime_data()
{
    QTest::addColumn<QString>("fro");
    QTest::addColumn<QString>("planned");
    QTest::newRow("5 x 4100 ms") << "1,1" << "20,5";
    QTest::newRow("5 x 4000 ms") << "1" << "20";
}

void TestClockWindow::plannedSetTime()
{
    QFETCH(QString, fro);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Wiederholungen->setText(QStringLiteral("5"));
    w.Abwaerts->setText(fro);
    w.sStartClick();
    QTEST(w.Edit46->text(), "planned");
    QTEST(w.plannedSlots[0]->text(), "planned");
}

void TestClockWindow::cancelRecordsRow_data()
{
    QTest::addColumn<QString>("startRest");
    QTest::addColumn<int>("startRestMs");   // what the clock makes of it
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<QString>("real");
    QTest::addColumn<QString>("repetitions");
    QTest::newRow("repetition 3 at 12345") << "1,5" << 1500 << 12345 << "10,845" << "3";
    // Inside its start rest the set has not begun: no time, no red row.
    QTest::newRow("in the start rest") << "1,5" << 1500 << 1100 << "" << "0";
    // The real time counts from the end of the start rest the clock ran.
    QTest::newRow("start rest 1:30") << "1:30" << 90000 << 92345 << "2,345" << "1";
    QTest::newRow("start rest 90, read as 0,1 s") << "90" << 100 << 12345 << "12,245" << "4";
}

void TestClockWindow::cancelRecordsRow()
{
    QFETCH(QString, startRest);
    QFETCH(int, startRestMs);
    QFETCH(int, elapsed);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.StartHalte->setText(startRest);
    w.Wiederholungen->setText(QStringLiteral("5"));
    w.Serien->setText(QStringLiteral("3"));
    w.sStartClick();
    f.tickThrough(0, elapsed - elapsed % 100);
    f.tickAt(elapsed);
    w.Button1->click();
    QTEST(w.realSlots[0]->text(), "real");
    QTEST(w.repetitionSlots[0]->text(), "repetitions");
    const bool recorded = elapsed > startRestMs;
    for (QLineEdit *slot : {w.plannedSlots[0], w.repetitionSlots[0], w.realSlots[0]}) {
        QCOMPARE(shown(w, slot), recorded || slot == w.plannedSlots[0]);
        QCOMPARE(base(slot), recorded ? kRed : kLime);
    }
    QVERIFY(!shown(w, w.sStart));
    QCOMPARE(f.platform.boxes.shown, QStringList());
    // The end of the set is checked only once the start rest is over.
    f.tickAt(elapsed + 100);
    QCOMPARE(w.procedure().Resting, elapsed + 100 > startRestMs);
    f.tickAt(std::max(elapsed + 100, startRestMs + 100));
    QCOMPARE(w.pnAbschnitt->text(), QStringLiteral("Rest between Sets"));
}

void TestClockWindow::cancelAfterEndChangesNoRow()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.sStartClick();
    f.tickThrough(100, 5100);
    QCOMPARE(w.pClockB->text(), QStringLiteral("BEGIN"));
    w.Button1->click();
    QVERIFY(!shown(w, w.sStart));
    QVERIFY(!shown(w, w.realSlots[0]));
    QCOMPARE(w.realSlots[0]->text(), QString());
    QCOMPARE(base(w.plannedSlots[0]), kLime);
}

void TestClockWindow::cancelWithUnreadableStartRest()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    w.sStartClick();
    f.tickThrough(100, 2500);
    w.realSlots[0]->setText(QStringLiteral("earlier"));
    w.StartHalte->setText(QStringLiteral("eins"));
    w.Button1->click();
    // The set ran on the start rest of its reset: the text typed since
    // changes nothing, and no box interrupts the test.
    QCOMPARE(f.platform.boxes.shown, QStringList());
    QVERIFY(shown(w, w.realSlots[0]));
    QCOMPARE(base(w.realSlots[0]), kRed);
    QCOMPARE(w.realSlots[0]->text(), QStringLiteral("1,5"));
    QCOMPARE(w.repetitionSlots[0]->text(), QStringLiteral("1"));
    // The set ends at the next tick.
    QVERIFY(w.procedure().Running);
    f.tickAt(2600);
    QCOMPARE(w.pnAbschnitt->text(), QStringLiteral("Rest between Sets"));
}

void TestClockWindow::nextSetStartKeepsCancelledResults()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    w.sStartClick();
    f.tickThrough(100, 2500);
    w.Button1->click();
    const QString real = w.realSlots[0]->text();
    QCOMPARE(real, QStringLiteral("1,5"));
    f.tickAt(2600);
    w.setButtons[0]->click();   // set 2 at once
    QCOMPARE(w.pnSerie->text(), QStringLiteral("2"));
    QCOMPARE(base(w.plannedSlots[0]), kLime);
    QCOMPARE(base(w.repetitionSlots[0]), kLime);
    QCOMPARE(base(w.realSlots[0]), kRed);
    QCOMPARE(w.realSlots[0]->text(), real);
    QCOMPARE(w.repetitionSlots[0]->text(), QStringLiteral("1"));
    QCOMPARE(w.plannedSlots[0]->text(), QStringLiteral("4"));
}

void TestClockWindow::closeClearsRows()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("3"));
    w.sStartClick();
    f.tickThrough(100, 1500);
    w.Button1->click();
    w.BitBtn1Click();
    for (int k = 0; k < 20; ++k) {
        QVERIFY(!shown(w, w.plannedSlots[k]));
        QVERIFY(!shown(w, w.realSlots[k]));
        QVERIFY(!shown(w, w.repetitionSlots[k]));
        QVERIFY(!shown(w, w.setButtons[k]));
    }
    QCOMPARE(w.plannedSlots[2]->text(), QStringLiteral("4"));
    QCOMPARE(base(w.plannedSlots[0]), kLime);
    QCOMPARE(w.pnBNr->text(), QStringLiteral("0"));
}

void TestClockWindow::clockTicksFastOnlyWhileATestRuns()
{
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    QCOMPARE(w.Timer1->interval(), 1000);
    w.sStartClick();
    QCOMPARE(w.Timer1->interval(), 100);
    f.tickThrough(100, 5100);
    QVERIFY(w.procedure().Resting);
    QCOMPARE(w.Timer1->interval(), 100);
    w.SpeedButton1Click();   // resting: no break, the rest goes on
    QCOMPARE(w.Timer1->interval(), 100);
    f.tickAt(10200);
    w.SpeedButton1Click();   // break in set 2
    QCOMPARE(w.Timer1->interval(), 1000);
    w.SpeedButton1Click();   // resume
    QCOMPARE(w.Timer1->interval(), 100);
    w.sStopClick();
    QCOMPARE(w.Timer1->interval(), 1000);
    // The timer the test stopped stays stopped throughout.
    QVERIFY(!w.Timer1->isActive());

    // A running window's timer keeps running, at 100 ms while a set runs.
    TForm1 other;
    QVERIFY(other.Timer1->isActive());
    QCOMPARE(other.Timer1->interval(), 1000);
    other.Edit39->setText(QStringLiteral("Anna"));
    other.Edit47->setText(QStringLiteral("Bench"));
    other.Edit51->setText(QStringLiteral("Press"));
    other.sStartClick();
    QVERIFY(other.Timer1->isActive());
    QCOMPARE(other.Timer1->interval(), 100);
}

void TestClockWindow::tickRepaintsOnlyWhatChanged_data()
{
    // Settings of 5 s phases, 3 repetitions; the test starts at 0.
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("painted");   // the widgets the tick paints
    const QStringList countdown{QStringLiteral("pClockB")};
    const QStringList gauge{QStringLiteral("gClock"), QStringLiteral("ImageClock")};
    QTest::newRow("start rest, a tenth") << 1200 << 1300 << countdown + gauge;
    QTest::newRow("start rest, a second") << 1900 << 2000 << countdown + gauge + QStringList{QStringLiteral("pClock")};
    QTest::newRow("Fro-Phase, a tenth") << 5200 << 5300 << countdown + gauge + QStringList{QStringLiteral("Shape1")};
    QTest::newRow("To-Phase, a tenth")
        << 15200 << 15300 << countdown + gauge + QStringList{QStringLiteral("Shape2")};
    QTest::newRow("the same moment again") << 5300 << 5300 << QStringList{};
}

// A tick repaints the displays it changes and nothing around them: neither
// the group box nor the window behind a label, nor a neighbouring control;
// and the window so drawn in parts looks as when drawn whole.
void TestClockWindow::tickRepaintsOnlyWhatChanged()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, painted);
    ClockWindowFixture f;
    TForm1 &w = *f.form;
    for (QLineEdit *phase : {w.StartHalte, w.Abwaerts, w.HalteUnten, w.Aufwaerts, w.HalteOben})
        phase->setText(QStringLiteral("5"));
    w.Wiederholungen->setText(QStringLiteral("3"));
    // Its own size, columns side by side, also on a small offscreen screen.
    w.setWindowState(Qt::WindowNoState);
    w.resize(1207, 760);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.sStartClick();
    f.tickThrough(0, from);
    QTest::qWait(20);

    struct PaintLog : QObject {
        QStringList widgets;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && !widgets.contains(watched->objectName()))
                widgets << watched->objectName();
            return false;
        }
    } log;
    for (QWidget *child : w.findChildren<QWidget *>())
        child->installEventFilter(&log);
    w.installEventFilter(&log);
    f.tickAt(to);
    QCoreApplication::processEvents();
    for (QWidget *child : w.findChildren<QWidget *>())
        child->removeEventFilter(&log);
    w.removeEventFilter(&log);
    log.widgets.sort();
    painted.sort();
    QCOMPARE(log.widgets, painted);

    const QImage shown = w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage whole = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), whole.size());
    QVERIFY(shown == whole);
}

void TestClockWindow::phasePanelsPaintAsLabels_data()
{
    // Steps of text and panel colour, each painted after the one before.
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<QColor>>("colours");
    QTest::newRow("countdown, texts again") << QStringList{"4,9", "4,8", "4,9", "10,0", "4,8"}
                                            << QList<QColor>{kLime, kLime, kLime, kLime, kLime};
    QTest::newRow("same text, new colour") << QStringList{"1,0", "1,0", "1,0"}
                                           << QList<QColor>{kLime, kRed, kLime};
    QTest::newRow("words wrapped, then digits")
        << QStringList{"Rest after Fro-Phase", "0:05", "Rest after Fro-Phase", "BEGIN"}
        << QList<QColor>{kRed, kRed, kYellow, kYellow};
}

void TestClockWindow::phasePanelsPaintAsLabels()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<QColor>, colours);
    ClockWindowFixture f;
    for (QLabel *panel : {static_cast<QLabel *>(f.form->pClockB), f.form->pnAbschnitt}) {
        // A plain label set up as the panel is, painted as Qt paints it.
        QLabel plain;
        plain.setFrameStyle(panel->frameStyle());
        plain.setAlignment(panel->alignment());
        plain.setWordWrap(panel->wordWrap());
        plain.setFont(panel->font());
        plain.setAutoFillBackground(true);
        plain.setFixedSize(panel->size());
        for (qsizetype i = 0; i < texts.size(); ++i) {
            for (QLabel *label : {panel, &plain}) {
                label->setText(texts[i]);
                QPalette p = label->palette();
                p.setColor(QPalette::Window, colours[i]);
                label->setPalette(p);
            }
            const QImage painted = panel->grab().toImage();
            QCOMPARE(painted.size(), plain.size());
            QVERIFY2(painted == plain.grab().toImage(),
                     qPrintable(QStringLiteral("%1, step %2").arg(panel->objectName()).arg(i)));
        }
    }
}

QTEST_MAIN(TestClockWindow)
#include "tst_clockwindow.moc"
