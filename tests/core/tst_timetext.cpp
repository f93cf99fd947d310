// Millisecond and hundredths texts, the display cuts, typed durations and
// wall-clock readings.

#include "core/timetext.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTime>

#include <cmath>
#include <cstdint>
#include <limits>

class TestTimeText : public QObject {
    Q_OBJECT

private slots:
    void msToText_data();
    void msToText();
    void hundredthsToText_data();
    void hundredthsToText();
    void zeroPad_data();
    void zeroPad();
    void cuts_data();
    void cuts();
    void dropLeadingZero_data();
    void dropLeadingZero();
    void lastDecimalSeparator_data();
    void lastDecimalSeparator();
    void textToHundredths_data();
    void textToHundredths();
    void textToMs_data();
    void textToMs();
    void roundTrip_data();
    void roundTrip();
    void generatedValues();
    void generatedTypedDurations();
    void timeOfDayFromDateTime_data();
    void timeOfDayFromDateTime();
    void timeOfDayFromTime_data();
    void timeOfDayFromTime();
};

void TestTimeText::msToText_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0 << QStringLiteral("00:00:00,000");
    QTest::newRow("under a second") << 999 << QStringLiteral("00:00:00,999");
    QTest::newRow("one minute five") << 65000 << QStringLiteral("00:01:05,000");
    QTest::newRow("every field") << 3723456 << QStringLiteral("01:02:03,456");
    QTest::newRow("last ms of a day") << 86399999 << QStringLiteral("23:59:59,999");
    QTest::newRow("no wrap at 24 h") << 86400000 << QStringLiteral("24:00:00,000");
    QTest::newRow("100 h widens") << 360000000 << QStringLiteral("100:00:00,000");
    QTest::newRow("negative") << -1505 << QStringLiteral("-0:00:01,505");
    QTest::newRow("negative 9 h") << -35999999 << QStringLiteral("-9:59:59,999");
    // From ten hours on the tens digit of the hours gives way to the sign.
    QTest::newRow("negative 10 h") << -36000000 << QStringLiteral("-0:00:00,000");
    QTest::newRow("negative 100 h") << -360000000 << QStringLiteral("-00:00:00,000");
    QTest::newRow("int32 max") << std::numeric_limits<int>::max()
                               << QStringLiteral("596:31:23,647");
    // The magnitude of the smallest value does not fit in 32 bits.
    QTest::newRow("int32 min") << std::numeric_limits<int>::min()
                               << QStringLiteral("-96:31:23,648");
}

void TestTimeText::msToText()
{
    QFETCH(int, ms);
    QFETCH(QString, text);
    QCOMPARE(MsToText(ms), text);
}

void TestTimeText::hundredthsToText_data()
{
    QTest::addColumn<int>("hundredths");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0 << QStringLiteral("00:00:00,00");
    QTest::newRow("one and a half s") << 150 << QStringLiteral("00:00:01,50");
    QTest::newRow("negative") << -150 << QStringLiteral("-0:00:01,50");
    QTest::newRow("24 h") << 8640000 << QStringLiteral("24:00:00,00");
    QTest::newRow("last of an hour") << 359999 << QStringLiteral("00:59:59,99");
    QTest::newRow("100 h") << 36000000 << QStringLiteral("100:00:00,00");
    QTest::newRow("int32 min") << std::numeric_limits<int>::min()
                               << QStringLiteral("-965:13:56,48");
}

void TestTimeText::hundredthsToText()
{
    QFETCH(int, hundredths);
    QFETCH(QString, text);
    QCOMPARE(HundredthsToText(hundredths), text);
}

void TestTimeText::zeroPad_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << qint64(0) << 2 << QStringLiteral("00");
    QTest::newRow("one digit") << qint64(5) << 2 << QStringLiteral("05");
    QTest::newRow("exact width") << qint64(59) << 2 << QStringLiteral("59");
    QTest::newRow("longer is not cut") << qint64(123) << 2 << QStringLiteral("123");
    QTest::newRow("width zero") << qint64(7) << 0 << QStringLiteral("7");
    QTest::newRow("wide") << qint64(42) << 5 << QStringLiteral("00042");
    QTest::newRow("beyond 32 bits") << qint64(5000000000) << 2 << QStringLiteral("5000000000");
}

void TestTimeText::zeroPad()
{
    QFETCH(qint64, value);
    QFETCH(int, width);
    QFETCH(QString, text);
    QCOMPARE(ZeroPad(value, width), text);
}

void TestTimeText::cuts_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<QString>("clock");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("countdownSeconds");
    QTest::addColumn<QString>("countdownClock");

    QTest::newRow("5,3 s") << 5300 << QStringLiteral("00:00:05") << QStringLiteral("05,3")
                           << QStringLiteral("5,3") << QStringLiteral("0:00:05");
    // Later digits are cut off, not rounded.
    QTest::newRow("12,349 s") << 12349 << QStringLiteral("00:00:12") << QStringLiteral("12,3")
                              << QStringLiteral("12,3") << QStringLiteral("0:00:12");
    QTest::newRow("999 ms") << 999 << QStringLiteral("00:00:00") << QStringLiteral("00,9")
                            << QStringLiteral("0,9") << QStringLiteral("0:00:00");
    // Minutes are not part of the seconds cut.
    QTest::newRow("1:05") << 65000 << QStringLiteral("00:01:05") << QStringLiteral("05,0")
                          << QStringLiteral("5,0") << QStringLiteral("0:01:05");
    QTest::newRow("zero") << 0 << QStringLiteral("00:00:00") << QStringLiteral("00,0")
                          << QStringLiteral("0,0") << QStringLiteral("0:00:00");
    QTest::newRow("hours") << 3723456 << QStringLiteral("01:02:03") << QStringLiteral("03,4")
                           << QStringLiteral("3,4") << QStringLiteral("1:02:03");
    QTest::newRow("two-digit hours keep both") << 43200000 << QStringLiteral("12:00:00")
                                               << QStringLiteral("00,0") << QStringLiteral("0,0")
                                               << QStringLiteral("12:00:00");
    QTest::newRow("negative") << -1505 << QStringLiteral("-0:00:01") << QStringLiteral("01,5")
                              << QStringLiteral("1,5") << QStringLiteral("-0:00:01");
}

void TestTimeText::cuts()
{
    QFETCH(int, ms);
    QFETCH(QString, clock);
    QFETCH(QString, seconds);
    QFETCH(QString, countdownSeconds);
    QFETCH(QString, countdownClock);

    const QString text = MsToText(ms);
    QCOMPARE(ClockCut(text), clock);
    QCOMPARE(SecondsCut(text), seconds);
    QCOMPARE(ClockText(ms), clock);
    QCOMPARE(CountdownSeconds(ms), countdownSeconds);
    QCOMPARE(CountdownClock(ms), countdownClock);
}

void TestTimeText::dropLeadingZero_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("seconds") << QStringLiteral("05,3") << QStringLiteral("5,3");
    QTest::newRow("clock") << QStringLiteral("00:01:05") << QStringLiteral("0:01:05");
    QTest::newRow("only one zero goes") << QStringLiteral("00,0") << QStringLiteral("0,0");
    QTest::newRow("no leading zero") << QStringLiteral("12,3") << QStringLiteral("12,3");
    QTest::newRow("empty") << QString() << QString();
}

void TestTimeText::dropLeadingZero()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(DropLeadingZero(text), shown);
}

void TestTimeText::lastDecimalSeparator_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");

    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("none") << QStringLiteral("12:30") << 0;
    QTest::newRow("comma") << QStringLiteral("1,5") << 2;
    QTest::newRow("point") << QStringLiteral("1.5") << 2;
    QTest::newRow("last of mixed") << QStringLiteral("1,2.3") << 4;
    QTest::newRow("last of two commas") << QStringLiteral("1,2,3") << 4;
    QTest::newRow("first character") << QStringLiteral(",5") << 1;
    QTest::newRow("last character") << QStringLiteral("5,") << 2;
    QTest::newRow("time text") << QStringLiteral("01:02:03,456") << 9;
}

void TestTimeText::lastDecimalSeparator()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QCOMPARE(LastDecimalSeparator(text), position);
}

void TestTimeText::textToHundredths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("hundredths");

    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("whole seconds") << QStringLiteral("1") << 100;
    QTest::newRow("decimal comma") << QStringLiteral("1,5") << 150;
    QTest::newRow("decimal point") << QStringLiteral("1.5") << 150;
    QTest::newRow("tenth") << QStringLiteral("0,1") << 10;
    QTest::newRow("two decimals") << QStringLiteral("1,05") << 105;
    QTest::newRow("third decimal not read") << QStringLiteral("1,234") << 123;
    QTest::newRow("last hundredth of a minute") << QStringLiteral("59,99") << 5999;
    QTest::newRow("60 s adds nothing") << QStringLiteral("60") << 0;
    QTest::newRow("75 s adds nothing") << QStringLiteral("75,0") << 0;
    QTest::newRow("hundreds of seconds") << QStringLiteral("125,5") << 2550;
    QTest::newRow("thousands of seconds") << QStringLiteral("1234,5") << 9450;
    QTest::newRow("minutes and seconds") << QStringLiteral("1:30") << 9000;
    QTest::newRow("one-digit seconds") << QStringLiteral("1:5") << 0;
    QTest::newRow("minutes with decimals") << QStringLiteral("1:05,5") << 6550;
    QTest::newRow("90 minutes") << QStringLiteral("90:00,00") << 540000;
    QTest::newRow("three-digit minutes") << QStringLiteral("130:00,00") << 780000;
    QTest::newRow("full time text") << QStringLiteral("01:30:00,00") << 540000;
    QTest::newRow("negative seconds") << QStringLiteral("-12,5") << -1250;
    QTest::newRow("negative time text") << QStringLiteral("-0:00:01,50") << -150;
    QTest::newRow("leading blank") << QStringLiteral(" 5") << 500;
    QTest::newRow("trailing blank") << QStringLiteral("5 ") << 0;
    QTest::newRow("letters") << QStringLiteral("abc") << 0;
    // Only the unreadable field counts 0; the others still add up.
    QTest::newRow("one bad field") << QStringLiteral("01:0x:03,45") << 360345;
    QTest::newRow("99 hours") << QStringLiteral("99:59:59,99") << 35999999;
}

void TestTimeText::textToHundredths()
{
    QFETCH(QString, text);
    QFETCH(int, hundredths);
    QCOMPARE(TextToHundredths(text), hundredths);
}

void TestTimeText::textToMs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("ms");

    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("whole seconds") << QStringLiteral("1") << 1000;
    QTest::newRow("tenth") << QStringLiteral("0,1") << 100;
    QTest::newRow("point") << QStringLiteral("0.1") << 100;
    QTest::newRow("two decimals") << QStringLiteral("2,25") << 2250;
    QTest::newRow("three decimals") << QStringLiteral("1,255") << 1255;
    QTest::newRow("four decimals") << QStringLiteral("12,3456") << 12340;
    QTest::newRow("millisecond text") << QStringLiteral("01:02:03,456") << 3723456;
    QTest::newRow("minutes") << QStringLiteral("1:30") << 90000;
    QTest::newRow("negative") << QStringLiteral("-1,5") << -1500;
    QTest::newRow("negative ms text") << QStringLiteral("-0:00:01,505") << -1505;
    QTest::newRow("bad last digit") << QStringLiteral("5,00x") << 5000;
    QTest::newRow("letters") << QStringLiteral("abc") << 0;
}

void TestTimeText::textToMs()
{
    QFETCH(QString, text);
    QFETCH(int, ms);
    QCOMPARE(TextToMs(text), ms);
}

void TestTimeText::roundTrip_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<bool>("readsBack");

    QTest::newRow("zero") << 0 << true;
    QTest::newRow("one ms") << 1 << true;
    QTest::newRow("a day") << 86400000 << true;
    QTest::newRow("last under 100 h") << 359999999 << true;
    QTest::newRow("minus one ms") << -1 << true;
    QTest::newRow("last negative under 10 h") << -35999999 << true;
    QTest::newRow("100 h") << 360000000 << false;
    QTest::newRow("minus 10 h") << -36000000 << false;
}

void TestTimeText::roundTrip()
{
    QFETCH(int, ms);
    QFETCH(bool, readsBack);
    QCOMPARE(TextToMs(MsToText(ms)) == ms, readsBack);
}

// Random values under 100 hours (under ten if negative) against QTime's own
// formatting, the cuts' arithmetic and the read-back.
void TestTimeText::generatedValues()
{
    QRandomGenerator random(20261207);
    for (int k = 0; k < 100000; ++k) {
        const bool negative = k % 4 == 3;
        const int ms = negative ? -random.bounded(1, 36000000) : random.bounded(0, 360000000);
        const QString text = MsToText(ms);
        const int magnitude = std::abs(ms);

        if (magnitude < 86400000) {
            QString expected = QTime::fromMSecsSinceStartOfDay(magnitude)
                                   .toString(QStringLiteral("hh:mm:ss,zzz"));
            if (negative)
                expected[0] = u'-';
            if (text != expected)
                QFAIL(qPrintable(QStringLiteral("%1 -> %2, want %3").arg(ms).arg(text, expected)));
        }
        QCOMPARE(text.size(), 12);

        const QString seconds = QStringLiteral("%1,%2")
                                    .arg(magnitude / 1000 % 60, 2, 10, QChar(u'0'))
                                    .arg(magnitude / 100 % 10);
        if (SecondsCut(text) != seconds)
            QFAIL(qPrintable(QStringLiteral("seconds cut of %1: %2").arg(ms).arg(SecondsCut(text))));

        const int back = TextToMs(text);
        if (back != ms)
            QFAIL(qPrintable(QStringLiteral("%1 -> %2 -> %3").arg(ms).arg(text).arg(back)));
    }
}

// Durations typed as seconds or m:ss with up to three decimals.
void TestTimeText::generatedTypedDurations()
{
    QRandomGenerator random(4711);
    for (int k = 0; k < 100000; ++k) {
        const int minutes = random.bounded(0, 100);
        const int seconds = random.bounded(0, 60);
        const int millis = random.bounded(0, 1000);
        const QChar separator = random.bounded(2) ? u',' : u'.';
        const QString fraction = QStringLiteral("%1").arg(millis, 3, 10, QChar(u'0'));
        const int decimals = random.bounded(0, 4);
        QString text = minutes > 0 ? QStringLiteral("%1:%2").arg(minutes).arg(seconds, 2, 10, QChar(u'0'))
                                   : QString::number(seconds);
        int expected = (minutes * 60 + seconds) * 1000;
        if (decimals > 0) {
            text += separator + fraction.left(decimals);
            expected += fraction.left(decimals).toInt() * (decimals == 1 ? 100 : decimals == 2 ? 10 : 1);
        }
        if (random.bounded(2)) {
            text.prepend(u'-');
            expected = -expected;
        }
        const int read = TextToMs(text);
        if (read != expected)
            QFAIL(qPrintable(QStringLiteral("'%1' -> %2, want %3").arg(text).arg(read).arg(expected)));
    }
}

void TestTimeText::timeOfDayFromDateTime_data()
{
    QTest::addColumn<double>("dateTime");
    QTest::addColumn<int>("ms");

    QTest::newRow("noon of day 0") << 0.5 << 43200000;
    QTest::newRow("evening") << 45000.75 << 64800000;
    QTest::newRow("midnight") << 45000.0 << 0;
    QTest::newRow("every field") << 45000.0 + 3723456.0 / 86400000.0 << 3723456;
    QTest::newRow("1 ms before midnight") << 45000.0 + 86399999.0 / 86400000.0 << 86399999;
    // Nearer to the next midnight than to the last millisecond of the day.
    QTest::newRow("rounds to next midnight") << 45000.0 + 86399999.8 / 86400000.0 << 0;
    QTest::newRow("rounds to nearest ms") << 45000.0 + 1234.6 / 86400000.0 << 1235;
    // Before day 0 the day counts down but the time still counts from midnight.
    QTest::newRow("before day 0") << -1.25 << 21600000;
    QTest::newRow("not a number") << std::nan("") << 0;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 0;
}

void TestTimeText::timeOfDayFromDateTime()
{
    QFETCH(double, dateTime);
    QFETCH(int, ms);
    QCOMPARE(TimeOfDayMs(dateTime), ms);
}

void TestTimeText::timeOfDayFromTime_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("ms");

    QTest::newRow("midnight") << QTime(0, 0) << 0;
    QTest::newRow("every field") << QTime(1, 2, 3, 456) << 3723456;
    QTest::newRow("last ms") << QTime(23, 59, 59, 999) << 86399999;
    QTest::newRow("invalid") << QTime() << 0;
}

void TestTimeText::timeOfDayFromTime()
{
    QFETCH(QTime, time);
    QFETCH(int, ms);
    QCOMPARE(TimeOfDayMs(time), ms);
}

QTEST_GUILESS_MAIN(TestTimeText)
#include "tst_timetext.moc"
