// The settings arithmetic, the phase table, the bar heights and the clock
// face, without a window.

#include "model/bars.h"
#include "model/clockface.h"
#include "model/phases.h"
#include "model/settings.h"

#include <QTest>

#include <limits>

namespace {

SettingsTexts initialTexts()
{
    return {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"),
            QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("5")};
}

// A former state that no reset would produce, to see what a failing reset keeps.
ClockTiming formerTiming()
{
    ClockTiming t;
    t.StartRestMs = 7;
    t.FroPhaseMs = 7;
    t.RestAfterFroMs = 7;
    t.ToPhaseMs = 7;
    t.RestAfterToMs = 7;
    t.RepetitionCount = 7;
    t.SetCount = 7;
    t.CycleMs = 7;
    t.RestBetweenSetsMs = 7;
    t.SetDurationMs = 7;
    t.GaugeMax = 7;
    t.FroScale = 7;
    t.ToScale = 7;
    return t;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void initialSettings();
    void phaseDurations_data();
    void phaseDurations();
    void counts_data();
    void counts();
    void failureKeepsLaterValues_data();
    void failureKeepsLaterValues();
    void hugeTotalsDoNotWrap();
    void phaseTable_data();
    void phaseTable();
    void barHeight_data();
    void barHeight();
    void clockFace_data();
    void clockFace();
};

void TestSettings::initialSettings()
{
    const SettingsOutcome out = resetSettings(initialTexts(), formerTiming());
    QVERIFY(out.completed);
    QCOMPARE(out.timing.StartRestMs, 1000);
    QCOMPARE(out.timing.FroPhaseMs, 1000);
    QCOMPARE(out.timing.ToPhaseMs, 1000);
    QCOMPARE(out.timing.RestAfterFroMs, 1000);
    QCOMPARE(out.timing.RestAfterToMs, 1000);
    QCOMPARE(qint64(out.timing.CycleMs), qint64(4000));
    QCOMPARE(qint64(out.timing.SetDurationMs), qint64(5000));
    QCOMPARE(out.timing.RestBetweenSetsMs, 5000.0);
    QCOMPARE(out.timing.GaugeMax, 50);
    QCOMPARE(out.timing.FroScale, 10);
    QCOMPARE(out.timing.ToScale, 10);
    QCOMPARE(*out.cycleText, QStringLiteral("00:00:05"));
    QCOMPARE(*out.tutTotal, QStringLiteral("5"));
    QCOMPARE(*out.tutReal, QStringLiteral("2"));
    QCOMPARE(*out.plannedSetTime, QStringLiteral("4"));
}

void TestSettings::phaseDurations_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<int>("ms");

    QTest::newRow("fro 0,5") << "Abwaerts" << "0,5" << "0,5" << 500;
    QTest::newRow("fro 90 by second reading") << "Abwaerts" << "90" << "90" << 90000;
    QTest::newRow("fro 0 raised") << "Abwaerts" << "0" << "0" << 100;
    QTest::newRow("fro 0,05 raised") << "Abwaerts" << "0,05" << "0,05" << 100;
    QTest::newRow("fro blank 5 first reading only") << "Abwaerts" << " 5" << " 5" << 5000;
    QTest::newRow("fro empty keeps floor") << "Abwaerts" << "" << "" << 100;
    QTest::newRow("fro 1,001 exact") << "Abwaerts" << "1,001" << "1,001" << 1001;
    QTest::newRow("to 1.5 shown with comma") << "Aufwaerts" << "1.5" << "1,5" << 1500;
    QTest::newRow("to 2:00 min") << "Aufwaerts" << "120" << "120" << 120000;
    QTest::newRow("start rest 90 is 30 s") << "StartHalte" << "90" << "90" << 100;
    QTest::newRow("start rest 1.5") << "StartHalte" << "1.5" << "1,5" << 1500;
    QTest::newRow("start rest 1:30") << "StartHalte" << "1:30" << "1:30" << 90000;
    QTest::newRow("rest after fro 2,25") << "HalteUnten" << "2,25" << "2,25" << 2250;
    QTest::newRow("rest after to letters") << "HalteOben" << "abc" << "abc" << 100;
}

void TestSettings::phaseDurations()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, shownText);
    QFETCH(int, ms);

    SettingsTexts texts = initialTexts();
    QString *target = field == "Abwaerts" ? &texts.Abwaerts
        : field == "Aufwaerts"            ? &texts.Aufwaerts
        : field == "StartHalte"           ? &texts.StartHalte
        : field == "HalteUnten"           ? &texts.HalteUnten
                                          : &texts.HalteOben;
    *target = text;
    const SettingsOutcome out = resetSettings(texts, ClockTiming{});
    QVERIFY(out.completed);
    const SettingsTexts &shown = out.texts;
    const QString &after = field == "Abwaerts" ? shown.Abwaerts
        : field == "Aufwaerts"                 ? shown.Aufwaerts
        : field == "StartHalte"                ? shown.StartHalte
        : field == "HalteUnten"                ? shown.HalteUnten
                                               : shown.HalteOben;
    QCOMPARE(after, shownText);
    const int value = field == "Abwaerts" ? out.timing.FroPhaseMs
        : field == "Aufwaerts"            ? out.timing.ToPhaseMs
        : field == "StartHalte"           ? out.timing.StartRestMs
        : field == "HalteUnten"           ? out.timing.RestAfterFroMs
                                          : out.timing.RestAfterToMs;
    QCOMPARE(value, ms);
    QCOMPARE(out.timing.FroScale, out.timing.FroPhaseMs / 100);
    QCOMPARE(out.timing.ToScale, out.timing.ToPhaseMs / 100);
}

void TestSettings::counts_data()
{
    QTest::addColumn<SettingsTexts>("texts");
    QTest::addColumn<qint64>("cycle");
    QTest::addColumn<double>("restBetween");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("tutTotal");
    QTest::addColumn<QString>("tutReal");
    QTest::addColumn<QString>("planned");

    SettingsTexts t = initialTexts();
    t.StartHalte = t.Abwaerts = t.Aufwaerts = t.HalteOben = t.HalteUnten = QStringLiteral("0,1");
    QTest::newRow("cycle raised to 1000") << t << qint64(1000) << 5000.0 << "00:00:01" << "1,1" << "0,8" << "1";

    t = initialTexts();
    t.Pause = QStringLiteral("0,5");
    QTest::newRow("rest between raised") << t << qint64(4000) << 1000.0 << "00:00:05" << "5" << "2" << "4";

    t = initialTexts();
    t.Serien = QStringLiteral("0");
    QTest::newRow("sets 0 totals 0") << t << qint64(4000) << 5000.0 << "00:00:05" << "0" << "0" << "4";

    t = initialTexts();
    t.Wiederholungen = QStringLiteral("5");
    t.Abwaerts = QStringLiteral("1,1");
    t.Serien = QStringLiteral("3");
    t.Pause = QStringLiteral("90,5");
    QTest::newRow("5 reps of 4100, 3 sets") << t << qint64(4100) << 90500.0 << "00:00:21" << "64,5" << "31,5"
                                            << "20,5";
}

void TestSettings::counts()
{
    QFETCH(SettingsTexts, texts);
    const SettingsOutcome out = resetSettings(texts, ClockTiming{});
    QVERIFY(out.completed);
    QTEST(qint64(out.timing.CycleMs), "cycle");
    QTEST(out.timing.RestBetweenSetsMs, "restBetween");
    QTEST(*out.cycleText, "panel");
    QTEST(*out.tutTotal, "tutTotal");
    QTEST(*out.tutReal, "tutReal");
    QTEST(*out.plannedSetTime, "planned");
}

void TestSettings::failureKeepsLaterValues_data()
{
    QTest::addColumn<SettingsTexts>("texts");
    QTest::addColumn<int>("froMs");          // expected FroPhaseMs
    QTest::addColumn<int>("repetitions");    // expected RepetitionCount
    QTest::addColumn<bool>("cycleWritten");  // Panel1/eCycle written

    SettingsTexts t = initialTexts();
    t.Wiederholungen = QStringLiteral("abc");
    QTest::newRow("repetitions letters end at the TUT") << t << 1000 << 2 << true;

    t = initialTexts();
    t.Serien = QStringLiteral("drei");
    QTest::newRow("sets letters end before the cycle text") << t << 1000 << 1 << false;

    t = initialTexts();
    t.Abwaerts = QStringLiteral("1,2,3");
    QTest::newRow("fro not a number ends at the second reading") << t << 300 << 7 << false;

    t = initialTexts();
    t.Pause = QStringLiteral("fünf");
    QTest::newRow("rest between not a number") << t << 1000 << 1 << false;
}

void TestSettings::failureKeepsLaterValues()
{
    QFETCH(SettingsTexts, texts);
    QFETCH(int, froMs);
    QFETCH(int, repetitions);
    QFETCH(bool, cycleWritten);

    const ClockTiming former = formerTiming();
    const SettingsOutcome out = resetSettings(texts, former);
    QVERIFY(!out.completed);
    QCOMPARE(out.timing.FroPhaseMs, froMs);
    QCOMPARE(out.timing.RepetitionCount, repetitions);
    QCOMPARE(out.cycleText.has_value(), cycleWritten);
    if (cycleWritten)
        QCOMPARE(*out.cycleText, QStringLiteral("00:00:09"));   // 1000 + 2 x 4000
    QVERIFY(!out.tutReal && !out.tutTotal && !out.plannedSetTime);
    QCOMPARE(out.timing.SetDurationMs, former.SetDurationMs);
    QCOMPARE(out.timing.GaugeMax, former.GaugeMax);
    QCOMPARE(out.timing.FroScale, former.FroScale);
    QCOMPARE(out.timing.ToScale, former.ToScale);
}

void TestSettings::hugeTotalsDoNotWrap()
{
    SettingsTexts t = initialTexts();
    t.Wiederholungen = QStringLiteral("2000000");   // 2e6 x 4000 ms overflows 32 bits
    t.Serien = QStringLiteral("1000");
    const SettingsOutcome out = resetSettings(t, ClockTiming{});
    QVERIFY(out.completed);
    QCOMPARE(qint64(out.timing.SetDurationMs), qint64(8000001000));
    QCOMPARE(*out.cycleText, QStringLiteral("2222:13:21"));   // hours beyond 99 widen the text
    QCOMPARE(*out.tutTotal, QStringLiteral("8000001000"));
    QCOMPARE(*out.tutReal, QStringLiteral("4000000000"));
    QCOMPARE(*out.plannedSetTime, QStringLiteral("8000000"));
    QVERIFY(out.timing.GaugeMax > 0);

    // The largest settings: the set duration stops at the largest 64-bit count.
    t.Abwaerts = t.Aufwaerts = QStringLiteral("3000000");
    t.HalteUnten = t.HalteOben = QStringLiteral("99:59:59,99");
    t.Wiederholungen = QStringLiteral("2147483647");
    const SettingsOutcome largest = resetSettings(t, ClockTiming{});
    QVERIFY(largest.completed);
    QCOMPARE(qint64(largest.timing.SetDurationMs), std::numeric_limits<qint64>::max());
    QCOMPARE(largest.timing.GaugeMax, std::numeric_limits<int>::max());
}

void TestSettings::phaseTable_data()
{
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<int>("phase");
    QTest::addColumn<int>("repetition");

    // Initial settings: start rest 1 s, four phases of 1 s.
    QTest::newRow("start") << 0 << int(Phase::StartRest) << 0;
    QTest::newRow("end of start rest") << 1000 << int(Phase::StartRest) << 0;
    QTest::newRow("fro begins") << 1001 << int(Phase::FroPhase) << 1;
    QTest::newRow("fro boundary") << 2000 << int(Phase::FroPhase) << 1;
    QTest::newRow("rest after fro") << 2001 << int(Phase::RestAfterFro) << 1;
    QTest::newRow("rest after fro boundary") << 3000 << int(Phase::RestAfterFro) << 1;
    QTest::newRow("to") << 3100 << int(Phase::ToPhase) << 1;
    QTest::newRow("to boundary") << 4000 << int(Phase::ToPhase) << 1;
    QTest::newRow("rest after to") << 4001 << int(Phase::RestAfterTo) << 1;
    QTest::newRow("cycle's last moment is its rest after to") << 5000 << int(Phase::RestAfterTo) << 1;
    QTest::newRow("next cycle begins with fro") << 5100 << int(Phase::FroPhase) << 2;
    QTest::newRow("second cycle's last moment") << 9000 << int(Phase::RestAfterTo) << 2;
    QTest::newRow("second repetition") << 6500 << int(Phase::RestAfterFro) << 2;
}

void TestSettings::phaseTable()
{
    QFETCH(int, elapsed);
    const SetPosition pos = setPosition(elapsed, ClockTiming{});
    QTEST(int(pos.phase), "phase");
    QTEST(pos.repetition, "repetition");
}

void TestSettings::barHeight_data()
{
    QTest::addColumn<int>("tenths");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("full");
    QTest::addColumn<int>("height");

    QTest::newRow("empty") << 0 << 10 << 461 << 0;
    QTest::newRow("full") << 10 << 10 << 461 << 461;
    QTest::newRow("230.5 to even 230") << 5 << 10 << 461 << 230;
    QTest::newRow("4.5 to even 4") << 3 << 2 << 3 << 4;
    QTest::newRow("1.5 to even 2") << 1 << 2 << 3 << 2;
    QTest::newRow("nearest") << 1 << 3 << 461 << 154;              // 153.67
    QTest::newRow("zero scale") << 3 << 0 << 461 << 0;
}

void TestSettings::barHeight()
{
    QFETCH(int, tenths);
    QFETCH(int, scale);
    QFETCH(int, full);
    QTEST(::barHeight(tenths, scale, full), "height");
}

void TestSettings::clockFace_data()
{
    QTest::addColumn<int>("mark");
    QTest::addColumn<QRect>("box");
    // Centre (64, 64), radius 58 for a gauge of 129 pixels; each corner cut
    // toward zero, so marks that mirror each other can differ by a pixel.
    const int rows[12][4] = {{111, 90, 117, 96}, {90, 111, 96, 117}, {61, 119, 67, 125},
                             {32, 111, 38, 117}, {10, 90, 16, 96},   {3, 61, 9, 67},
                             {10, 32, 16, 38},   {31, 10, 37, 16},   {60, 3, 67, 9},
                             {90, 10, 96, 16},   {111, 31, 117, 37}, {119, 60, 125, 66}};
    for (int i = 0; i < 12; ++i)
        QTest::addRow("hour %d", i + 1)
            << i << QRect(QPoint(rows[i][0], rows[i][1]), QPoint(rows[i][2], rows[i][3]));
}

void TestSettings::clockFace()
{
    QFETCH(int, mark);
    const QVector<QRect> marks = clockFaceMarks(129, 129);
    QCOMPARE(marks.size(), 12);
    QTEST(marks[mark], "box");
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
