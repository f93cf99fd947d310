// The test procedure without a window, driven by a hand-set clock: set start,
// tick, phases, rests, cues, stop, break and resume, and what it reports.

#include "model/procedurecases.h"
#include "model/procedurefixture.h"

#include <QSignalSpy>
#include <QTest>

namespace {
constexpr int kFull = 461;   // bar panels 463 pixels high

QString *setting(SettingsTexts &texts, const QString &field)
{
    const struct {
        const char *name;
        QString SettingsTexts::*text;
    } fields[] = {
        {"StartHalte", &SettingsTexts::StartHalte}, {"Abwaerts", &SettingsTexts::Abwaerts},
        {"HalteUnten", &SettingsTexts::HalteUnten}, {"Aufwaerts", &SettingsTexts::Aufwaerts},
        {"HalteOben", &SettingsTexts::HalteOben},   {"Wiederholungen", &SettingsTexts::Wiederholungen},
        {"Serien", &SettingsTexts::Serien},         {"Pause", &SettingsTexts::Pause},
    };
    for (const auto &f : fields) {
        if (field == QLatin1String(f.name))
            return &(texts.*f.text);
    }
    return nullptr;
}
} // namespace

class TestClockProcedure : public QObject {
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
    void breakAndResume();
    void breakButtonIdleWhenStoppedOrResting();
    void emptyNameAtEndOfRestStopsOnce();
    void startWithoutFieldsShowsMessage_data();
    void startWithoutFieldsShowsMessage();
    void loweredSetCountStillEndsTheTest();
    void barsAndMarkersFollowThePhases();
    void cancelEndsTheSet_data();
    void cancelEndsTheSet();
    void displayReportedOncePerChange();
    void cueMoments();
    void soundPreparedWhileATestRuns();
    void counterStaysWithinThePlan_data();
    void counterStaysWithinThePlan();
};

void TestClockProcedure::initialSettingsRoad_data()
{
    addInitialSettingsRoadRows();
}

void TestClockProcedure::initialSettingsRoad()
{
    QFETCH(int, elapsed);
    ProcedureFixture f;
    f.procedure.start();
    QCOMPARE(f.phase(), QStringLiteral("Start Rest"));
    QCOMPARE(f.countdown(), QString());
    QCOMPARE(f.panel(), PanelState::Running);
    QCOMPARE(f.setPanel(), QStringLiteral("1"));
    QCOMPARE(f.largeSet(), QStringLiteral("1"));

    f.tickAt(elapsed);
    QTEST(f.phase(), "phase");
    QTEST(f.countdown(), "countdown");
    QTEST(f.repetitionPanel(), "repetition");
    QTEST(f.largeRepetition(), "repetition");
    QCOMPARE(f.panel(), PanelState::Running);
    QCOMPARE(f.shown().setClock, QStringLiteral("00:00:0%1").arg(elapsed / 1000));
}

void TestClockProcedure::testEndsStoppedWithFullGauge()
{
    ProcedureFixture f;
    f.procedure.start();
    f.tickThrough(100, 4900);
    QVERIFY(f.state().Running);
    f.tickAt(5100);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QCOMPARE(f.countdown(), QStringLiteral("BEGIN"));
    QCOMPARE(f.panel(), PanelState::Stopped);
    QCOMPARE(f.shown().gaugeProgress, f.shown().gaugeMax);
    QCOMPARE(f.shown().gaugeMax, 50);
    QVERIFY(!f.state().Running);
    QVERIFY(!f.state().Resting);
    QCOMPARE(f.state().CurrentSet, 0);
    QVERIFY(f.host.startButtonShown);
    // Later ticks change nothing.
    f.tickAt(6000);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
}

void TestClockProcedure::twoSetsWithRest()
{
    ProcedureFixture f;
    f.host.texts.Serien = QStringLiteral("2");
    f.procedure.start();
    f.tickThrough(100, 4900);
    f.tickAt(5100);   // the set's time is over: the rest begins
    QCOMPARE(f.phase(), QStringLiteral("Rest between Sets"));
    QCOMPARE(f.panel(), PanelState::Resting);
    QVERIFY(f.state().Resting);
    QCOMPARE(f.state().SetEndMark, 1);

    // The rest counts up from 00:00:00.
    f.tickAt(5100);
    QCOMPARE(f.countdown(), QStringLiteral("00:00:00"));
    f.tickAt(6200);
    QCOMPARE(f.countdown(), QStringLiteral("00:00:01"));
    f.tickAt(10100);   // exactly 5000 ms of rest: not yet over
    QVERIFY(f.state().Resting);
    QCOMPARE(f.setPanel(), QStringLiteral("1"));

    f.tickAt(10200);   // more than 5000 ms: set 2 begins with its start rest
    QVERIFY(f.state().Running);
    QVERIFY(!f.state().Resting);
    QCOMPARE(f.phase(), QStringLiteral("Start Rest"));
    QCOMPARE(f.panel(), PanelState::Running);
    QCOMPARE(f.setPanel(), QStringLiteral("2"));
    QCOMPARE(f.state().CurrentSet, 2);

    f.tickAt(10300);
    QCOMPARE(f.countdown(), QStringLiteral("0,9"));
    f.tickThrough(10400, 15100);
    QCOMPARE(f.phase(), QStringLiteral("Rest after To-Phase"));
    f.tickAt(15300);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QCOMPARE(f.countdown(), QStringLiteral("BEGIN"));
    QVERIFY(!f.state().Resting);
}

void TestClockProcedure::countdownOfLongPhases_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<QString>("phase");
    QTest::addColumn<QString>("countdown");

    // Start rest 1 s, the 90 s phase, three phases of 1 s: cycle 93 s.
    // The tick on a cycle's end belongs to that cycle; the next Fro-Phase
    // begins after it.
    QTest::newRow("90 s fro at the first cycle's end") << "Abwaerts" << "90" << 1000 + 93000 << "Rest after To-Phase" << "0,0";
    QTest::newRow("90 s fro of the second cycle") << "Abwaerts" << "90" << 1000 + 93100 << "Fro-Phase" << "0:01:29";
    QTest::newRow("90 s fro later") << "Abwaerts" << "90" << 1000 + 30500 << "Fro-Phase" << "0:00:59";
    QTest::newRow("90 s to in clock cut") << "Aufwaerts" << "90" << 1000 + 2000 + 100 << "To-Phase"
                                          << "0:01:29";
    QTest::newRow("90 s start rest shows 30,0") << "StartHalte" << "1:30" << 0 << "Start Rest" << "30,0";
    QTest::newRow("90 s rest after fro shows seconds") << "HalteUnten" << "1:30" << 1000 + 1000 + 100
                                                       << "Rest after Fro-Phase" << "29,9";
}

void TestClockProcedure::countdownOfLongPhases()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(int, elapsed);

    ProcedureFixture f;
    *setting(f.host.texts, field) = value;
    f.host.texts.Wiederholungen = QStringLiteral("2");
    f.procedure.start();
    if (elapsed == 0) {
        f.tickAt(0);
    } else {
        f.tickAt(elapsed - 50);   // enters the phase
        f.tickAt(elapsed);
    }
    QTEST(f.phase(), "phase");
    QTEST(f.countdown(), "countdown");
}

void TestClockProcedure::toCueOncePerRepetition()
{
    ProcedureFixture f;
    f.host.cues.toBegin = true;
    f.host.texts.Wiederholungen = QStringLiteral("3");
    f.procedure.start();
    f.tickThrough(100, 13100);   // 1 s + 3 x 4 s, then the end
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QCOMPARE(f.sound.played.count(kToCue), 3);
    QCOMPARE(f.sound.played.size(), 3);
}

void TestClockProcedure::phaseCues()
{
    ProcedureFixture f;
    f.host.cues = {true, true, true, true, false};
    f.procedure.start();
    f.tickThrough(100, 4900);
    const QStringList expected{kFroCue, QStringLiteral("beep"), kToCue, QStringLiteral("beep")};
    QCOMPARE(f.sound.played, expected);
}

void TestClockProcedure::warningFromFirstTickOfShortRest()
{
    ProcedureFixture f;
    f.host.texts.Serien = QStringLiteral("2");
    f.host.cues.restWarning = true;
    f.procedure.start();
    f.tickThrough(100, 5100);   // the last tick ends set 1
    QVERIFY(f.sound.played.isEmpty());
    f.tickAt(5200);   // first tick of the rest: 100 ms >= 5000 - 10000
    QCOMPARE(f.sound.played, QStringList{kToCue});
    f.tickAt(5300);
    QCOMPARE(f.sound.played.size(), 2);
}

void TestClockProcedure::setAcrossMidnight()
{
    ProcedureFixture f;
    f.clock.set(platform::kDayMs - 2500);   // 23:59:57,500
    f.procedure.start();
    const int start = f.state().SetStartMs;
    QCOMPARE(start, platform::kDayMs - 2500);
    for (int elapsed = 100; elapsed <= 4000; elapsed += 100) {
        f.clock.set((start + elapsed) % platform::kDayMs);
        f.procedure.tick();
        QCOMPARE(f.state().SetElapsedMs, elapsed);
    }
    QCOMPARE(f.phase(), QStringLiteral("To-Phase"));
    QCOMPARE(f.shown().setClock, QStringLiteral("00:00:04"));
}

void TestClockProcedure::setButtonDuringSetRestartsIt()
{
    ProcedureFixture f;
    f.host.texts.Serien = QStringLiteral("3");
    f.procedure.start();
    f.tickThrough(100, 3500);
    QCOMPARE(f.phase(), QStringLiteral("To-Phase"));
    QCOMPARE(f.shown().setButtons, 1);

    f.procedure.start();   // a set button at 3500 ms
    QCOMPARE(f.state().SetElapsedMs, 0);
    QCOMPARE(f.setPanel(), QStringLiteral("1"));
    QCOMPARE(f.state().CurrentSet, 1);
    f.tickAt(3600);   // 100 ms into the restarted start rest
    QCOMPARE(f.state().SetElapsedMs, 100);
    QCOMPARE(f.countdown(), QStringLiteral("0,9"));
    // The phase name stays until the Fro-Phase is entered again.
    QCOMPARE(f.phase(), QStringLiteral("To-Phase"));
    f.tickAt(4600);
    QCOMPARE(f.phase(), QStringLiteral("Fro-Phase"));
    QCOMPARE(f.repetitionPanel(), QStringLiteral("1"));
}

void TestClockProcedure::setButtonDuringRestStartsNextSet()
{
    ProcedureFixture f;
    f.host.texts.Serien = QStringLiteral("3");
    f.procedure.start();
    f.tickThrough(100, 5100);
    QVERIFY(f.state().Resting);
    f.tickAt(6000);
    f.procedure.start();
    QVERIFY(f.state().Running);
    QVERIFY(!f.state().Resting);
    QCOMPARE(f.setPanel(), QStringLiteral("2"));
    QCOMPARE(f.phase(), QStringLiteral("Start Rest"));
    f.tickAt(6100);
    QCOMPARE(f.state().SetElapsedMs, 100);
    QCOMPARE(f.shown().setButtons, 2);
}

void TestClockProcedure::breakAndResume()
{
    ProcedureFixture f;
    f.host.texts.Serien = QStringLiteral("2");
    f.host.cues.froBegin = true;
    f.procedure.start();
    f.tickThrough(100, 5100);
    f.tickAt(10200);   // set 2 begins
    f.tickThrough(10300, 11700);   // 1500 ms into set 2: Fro-Phase
    QCOMPARE(f.phase(), QStringLiteral("Fro-Phase"));
    f.sound.played.clear();

    f.procedure.breakOrResume();
    QCOMPARE(f.countdown(), QStringLiteral("Break"));
    QCOMPARE(f.panel(), PanelState::Resting);
    QVERIFY(!f.state().Running);
    f.tickAt(40000);   // a break of half a minute: nothing moves
    QCOMPARE(f.state().SetElapsedMs, 1500);
    QCOMPARE(f.countdown(), QStringLiteral("Break"));

    f.procedure.breakOrResume();
    QCOMPARE(f.phase(), QStringLiteral("Start Rest"));
    QCOMPARE(f.countdown(), QStringLiteral("0,0"));
    QCOMPARE(f.panel(), PanelState::Running);
    f.tickAt(40100);
    QCOMPARE(f.state().SetElapsedMs, 1600);
    // The current phase is entered again, cue included; the set keeps its number.
    QCOMPARE(f.phase(), QStringLiteral("Fro-Phase"));
    QCOMPARE(f.sound.played, QStringList{kFroCue});
    QCOMPARE(f.state().CurrentSet, 2);
    QCOMPARE(f.setPanel(), QStringLiteral("2"));
    f.tickThrough(40200, 43600);
    f.tickAt(43700);   // 5100 ms into set 2, the last: the test ends
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
}

void TestClockProcedure::breakButtonIdleWhenStoppedOrResting()
{
    ProcedureFixture f;
    f.procedure.breakOrResume();   // stopped
    QVERIFY(!f.state().Running);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QCOMPARE(f.countdown(), QStringLiteral("BEGIN"));

    f.host.texts.Serien = QStringLiteral("2");
    f.procedure.start();
    f.tickThrough(100, 5100);
    f.tickAt(5500);
    QVERIFY(f.state().Resting);
    f.procedure.breakOrResume();   // resting
    QVERIFY(f.state().Resting);
    QVERIFY(!f.state().Running);
    QCOMPARE(f.phase(), QStringLiteral("Rest between Sets"));
    f.tickAt(10200);
    QCOMPARE(f.setPanel(), QStringLiteral("2"));
}

void TestClockProcedure::emptyNameAtEndOfRestStopsOnce()
{
    ProcedureFixture f;
    f.host.texts.Serien = QStringLiteral("2");
    f.procedure.start();
    f.tickThrough(100, 5100);
    f.host.fields.name = false;
    int ticksWhileOpen = 0;
    f.host.onMessage = [&] {
        // The timer goes on while the box is open.
        for (int ms = 10300; ms <= 11000; ms += 100, ++ticksWhileOpen)
            f.tickAt(ms);
    };
    f.tickAt(10200);
    QCOMPARE(ticksWhileOpen, 8);
    QCOMPARE(f.host.messages, QStringList{QStringLiteral("Couldn't find   Name")});
    QVERIFY(!f.state().Running);
    QVERIFY(!f.state().Resting);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    f.host.onMessage = nullptr;
    f.tickAt(12000);
    QCOMPARE(f.host.messages.size(), 1);
}

void TestClockProcedure::startWithoutFieldsShowsMessage_data()
{
    QTest::addColumn<int>("emptyField");   // 0 name, 1 profile name, 2 exercise
    QTest::addColumn<QString>("message");
    QTest::newRow("name") << 0 << "Couldn't find   Name";
    QTest::newRow("profile name") << 1 << "Couldn't find  Profil Name";
    QTest::newRow("exercise") << 2 << "Couldn't find  Exercise";
}

void TestClockProcedure::startWithoutFieldsShowsMessage()
{
    QFETCH(int, emptyField);
    ProcedureFixture f;
    bool *fields[] = {&f.host.fields.name, &f.host.fields.profileName, &f.host.fields.exercise};
    *fields[emptyField] = false;
    f.procedure.start();
    QTEST(f.host.messages.value(0), "message");
    QCOMPARE(f.host.messages.size(), 1);
    QVERIFY(!f.state().Running);
    QCOMPARE(f.state().CurrentSet, 0);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QCOMPARE(f.host.storeOpened, 0);
}

void TestClockProcedure::loweredSetCountStillEndsTheTest()
{
    ProcedureFixture f;
    f.host.texts.Serien = QStringLiteral("3");
    f.procedure.start();
    f.tickThrough(100, 5100);
    QVERIFY(f.state().Resting);
    // Lowered during the rest: set 2 is now beyond the count and ends the test.
    f.host.texts.Serien = QStringLiteral("1");
    f.tickAt(10200);
    QCOMPARE(f.setPanel(), QStringLiteral("2"));
    f.tickThrough(10300, 15200);
    f.tickAt(15300);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QVERIFY(!f.state().Resting);
}

void TestClockProcedure::barsAndMarkersFollowThePhases()
{
    ProcedureFixture f;
    f.host.texts.Wiederholungen = QStringLiteral("2");
    f.procedure.start();
    const auto fro = [&f] { return barHeight(f.shown().froBar, kFull); };
    const auto to = [&f] { return barHeight(f.shown().toBar, kFull); };
    QCOMPARE(f.shown().markers, unsigned(NoMarkers));
    f.tickAt(1050);
    QCOMPARE(fro(), 0);
    f.tickAt(1500);   // 5 of 10 tenths: 230.5 rounds to 230
    QCOMPARE(fro(), 230);
    QCOMPARE(f.shown().markers, unsigned(FroMarkers));
    f.tickAt(2000);
    QCOMPARE(fro(), kFull);
    f.tickAt(2500);   // rest after fro: full
    QCOMPARE(fro(), kFull);
    QCOMPARE(f.shown().markers, unsigned(RestAfterFroMarker));
    f.tickAt(3700);   // 7 of 10 tenths of the to-phase: 322.7
    QCOMPARE(to(), 323);
    QCOMPARE(f.shown().markers, unsigned(ToMarkers));
    f.tickAt(4500);
    QCOMPARE(to(), kFull);
    QCOMPARE(f.shown().markers, unsigned(RestAfterToMarker));
    f.tickAt(5050);   // within 100 ms of repetition 2: the to-phase bar is cleared
    QCOMPARE(to(), 0);
    QCOMPARE(f.repetitionPanel(), QStringLiteral("2"));
    // The bars switched back on hide the markers until the next phase entry.
    f.procedure.hideMarkers();
    f.tickAt(5100);
    QCOMPARE(f.shown().markers, unsigned(NoMarkers));
    f.tickAt(6500);
    QCOMPARE(f.shown().markers, unsigned(RestAfterFroMarker));
}

void TestClockProcedure::cancelEndsTheSet_data()
{
    QTest::addColumn<QString>("startRest");
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<double>("real");
    QTest::addColumn<int>("repetition");
    QTest::addColumn<bool>("recorded");   // a set cancelled in its start rest never began
    QTest::newRow("repetition 3 at 12345") << "1,5" << 12345 << 10.845 << 3 << true;
    QTest::newRow("in the start rest") << "1,5" << 1100 << 0.0 << 0 << false;
    QTest::newRow("last moment of the start rest") << "1,5" << 1500 << 0.0 << 0 << false;
    QTest::newRow("just after the start rest") << "1,5" << 1501 << 0.001 << 1 << true;
    QTest::newRow("start rest 1:30") << "1:30" << 92345 << 2.345 << 1 << true;
    QTest::newRow("start rest 90, read as 0,1 s") << "90" << 12345 << 12.245 << 4 << true;
}

void TestClockProcedure::cancelEndsTheSet()
{
    QFETCH(QString, startRest);
    QFETCH(int, elapsed);
    ProcedureFixture f;
    f.host.texts.StartHalte = startRest;
    f.host.texts.Wiederholungen = QStringLiteral("5");
    f.host.texts.Serien = QStringLiteral("3");
    f.procedure.start();
    f.tickThrough(0, elapsed - elapsed % 100);
    f.tickAt(elapsed);
    const std::optional<CancelledSet> cancelled = f.procedure.cancelSet();
    QFETCH(bool, recorded);
    QCOMPARE(bool(cancelled), recorded);
    if (cancelled) {
        QCOMPARE(cancelled->set, 1);
        QFETCH(double, real);
        QVERIFY2(qAbs(cancelled->realSeconds - real) < 1e-9, qPrintable(QString::number(cancelled->realSeconds)));
        QTEST(cancelled->repetition, "repetition");
    }
    QCOMPARE(f.state().SetEndMark, 100);
    f.tickAt(std::max(elapsed + 100, f.procedure.timing().StartRestMs + 100));
    QCOMPARE(f.phase(), QStringLiteral("Rest between Sets"));
    QCOMPARE(f.state().SetEndMark, 1);
    // The test ended: nothing to record.
    f.procedure.stop();
    QVERIFY(!f.procedure.cancelSet());
}

void TestClockProcedure::displayReportedOncePerChange()
{
    ProcedureFixture f;
    QSignalSpy spy(&f.procedure, &ClockProcedure::displayChanged);
    f.procedure.start();
    QCOMPARE(spy.count(), 1);
    f.tickAt(1500);
    QCOMPARE(spy.count(), 2);
    f.tickAt(1500);   // nothing changed: nothing reported
    QCOMPARE(spy.count(), 2);
    f.tickAt(1600);
    QCOMPARE(spy.count(), 3);
    const auto last = spy.last().at(0).value<ProcedureDisplay>();
    QCOMPARE(last, f.shown());
    QCOMPARE(last.countdown, QStringLiteral("0,4"));
    QCOMPARE(last.setCount, 1);
    QVERIFY(last.running);
}

void TestClockProcedure::cueMoments()
{
    ProcedureFixture f;
    f.host.texts.Serien = QStringLiteral("2");
    f.host.cues.toBegin = true;
    QList<ProcedureCue> cues;
    connect(&f.procedure, &ClockProcedure::cueDue, this, [&cues](const ProcedureCue &cue) { cues << cue; });
    f.procedure.start();
    f.tickThrough(100, 5100);   // set 1, then the rest begins
    f.tickThrough(5200, 10200);   // the rest with its warning, then set 2
    f.tickThrough(10300, 15300);   // set 2 to the end of the test
    QStringList moments;
    for (const ProcedureCue &c : cues)
        moments << QStringLiteral("%1/%2/%3%4").arg(int(c.moment)).arg(c.set).arg(c.repetition).arg(c.switchedOn ? "+" : "");
    const QStringList expected{
        "5/1/0",                                  // set 1 starts
        "0/1/1", "1/1/1", "2/1/1+", "3/1/1",      // its four phases, the To-Phase cue on
        "6/1/0",                                  // rest between sets
        "4/1/0",                                  // the warning, once
        "5/2/0", "0/2/1", "1/2/1", "2/2/1+", "3/2/1",
        "7/2/0",                                  // test over
    };
    QCOMPARE(moments, expected);
}

void TestClockProcedure::soundPreparedWhileATestRuns()
{
    ProcedureFixture f;
    QVERIFY(!f.sound.prepared);
    f.host.texts.Serien = QStringLiteral("2");
    f.procedure.start();
    QVERIFY(f.sound.prepared);
    f.tickThrough(100, 6000);
    QVERIFY(f.state().Resting);
    QVERIFY(f.sound.prepared);
    f.procedure.stop();
    QVERIFY(!f.sound.prepared);
}

void TestClockProcedure::counterStaysWithinThePlan_data()
{
    QTest::addColumn<QString>("repetitions");
    QTest::addColumn<QString>("phase");     // every phase's duration
    QTest::addColumn<QStringList>("cues");  // the phase entries of the last repetition
    // A set started by a tick runs on exact 100 ms steps, so a tick lands on
    // the set's last moment and on every cycle's.
    QTest::newRow("1 repetition") << "1" << "1" << QStringList{"0/1", "1/1", "2/1", "3/1"};
    QTest::newRow("2 repetitions") << "2" << "1" << QStringList{"0/2", "1/2", "2/2", "3/2"};
    QTest::newRow("3 repetitions of half seconds") << "3" << "0,5" << QStringList{"0/3", "1/3", "2/3", "3/3"};
    QTest::newRow("cycle raised to 1 s") << "2" << "0,1" << QStringList{"0/2", "1/2", "2/2", "3/2"};
}

void TestClockProcedure::counterStaysWithinThePlan()
{
    QFETCH(QString, repetitions);
    QFETCH(QString, phase);
    ProcedureFixture f;
    f.host.texts.Wiederholungen = repetitions;
    f.host.texts.Abwaerts = f.host.texts.Aufwaerts = f.host.texts.HalteUnten = f.host.texts.HalteOben = phase;
    QStringList entries;
    connect(&f.procedure, &ClockProcedure::cueDue, this, [&entries](const ProcedureCue &c) {
        if (c.repetition > 0)
            entries << QStringLiteral("%1/%2").arg(int(c.moment)).arg(c.repetition);
    });
    f.procedure.start();
    const std::int64_t end = f.procedure.timing().SetDurationMs;
    int highest = 0;
    for (int ms = 100; ms <= end; ms += 100) {
        f.tickAt(ms);
        highest = std::max(highest, f.shown().repetition);
        QVERIFY2(f.shown().repetitionPanel <= repetitions.toInt(), qPrintable(QString::number(ms)));
    }
    // The set's last moment: its last repetition's rest, counted down to 0.
    QCOMPARE(f.phase(), QStringLiteral("Rest after To-Phase"));
    QCOMPARE(f.countdown(), QStringLiteral("0,0"));
    QCOMPARE(QString::number(f.shown().repetitionPanel), repetitions);
    QCOMPARE(QString::number(highest), repetitions);
    QCOMPARE(entries.size(), 4 * repetitions.toInt());
    QTEST(entries.mid(entries.size() - 4), "cues");
    f.tickAt(int(end) + 100);
    QCOMPARE(f.phase(), QStringLiteral("TEST"));
    QCOMPARE(QString::number(f.shown().repetitionPanel), repetitions);
}

QTEST_GUILESS_MAIN(TestClockProcedure)
#include "tst_clockprocedure.moc"
