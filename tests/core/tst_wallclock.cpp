#include "core/wallclock.h"

#include <QDateTime>
#include <QTest>

#include <ctime>

// The time of day the clock window reads, with the zone's offset looked up
// once a minute: it must agree with the local time at every reading, across
// a change of the offset too.
class TestWallClock : public QObject {
    Q_OBJECT
private slots:
    void timeOfDayFollowsTheLocalTime_data();
    void timeOfDayFollowsTheLocalTime();
    void cleanupTestCase();

private:
    QByteArray m_zone = qgetenv("TZ");
};

void TestWallClock::timeOfDayFollowsTheLocalTime_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("around");
    const auto utc = [](int month, int day, int hour, int minute) {
        return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::UTC);
    };
    QTest::newRow("summer time begins") << QByteArray("Europe/Berlin") << utc(3, 29, 1, 0);
    QTest::newRow("summer time ends") << QByteArray("Europe/Berlin") << utc(10, 25, 1, 0);
    QTest::newRow("a quarter-hour zone at its midnight") << QByteArray("Asia/Kathmandu") << utc(5, 4, 18, 15);
    QTest::newRow("half-hour zone, summer time ends") << QByteArray("America/St_Johns") << utc(11, 1, 3, 30);
    QTest::newRow("UTC at midnight") << QByteArray("UTC") << utc(6, 1, 0, 0);
}

void TestWallClock::timeOfDayFollowsTheLocalTime()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, around);
    qputenv("TZ", zone);
    tzset();
    platform::LocalTimeOfDay clock;
    const qint64 centre = around.toMSecsSinceEpoch();
    // Readings in the order a running clock makes them, a few a minute,
    // and one either side of the change itself.
    QList<qint64> readings;
    for (qint64 t = centre - 180000; t <= centre + 180000; t += 7001)
        readings << t;
    readings << centre - 1 << centre << centre + 1 << centre + 60000;
    std::sort(readings.begin(), readings.end());
    for (const qint64 t : readings) {
        const int expected = QDateTime::fromMSecsSinceEpoch(t).time().msecsSinceStartOfDay();
        QCOMPARE(clock.at(t), expected);
    }
}

void TestWallClock::cleanupTestCase()
{
    if (m_zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", m_zone);
    tzset();
}

QTEST_GUILESS_MAIN(TestWallClock)
#include "tst_wallclock.moc"
