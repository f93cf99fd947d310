#pragma once

// An athlete's progress from test to test: the step from stored test records
// to the series the progress chart draws.  No widgets here.

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace data {

// One stored test as text, its 59 fields in the test table's layout order.
using StoredTest = QStringList;

// One point of a series.  `x` is the test's place on the time axis: local
// milliseconds since 1970 of its date (tests of one day spread over the day
// in the order of their numbers); a test whose date cannot be read is placed
// between its dated neighbours by test number and has `dated` false.  When
// no test has a readable date at all, `x` is the test number.
struct ProgressPoint {
    double x = 0;
    double value = 0;
    qint64 testnr = 0;
    QString dateText;   // the date as stored
    bool dated = true;
};

struct ProgressSeries {
    QString name;
    QList<ProgressPoint> points;   // ascending x
};

struct ProgressData {
    QList<ProgressSeries> setTimes;      // real time per set in s, "Set 1" ...
    ProgressSeries plannedSetTime;       // the planned time of one set in s
    QList<ProgressSeries> repetitions;   // repetitions reached per set
    ProgressSeries tutTotal;             // s per test
    ProgressSeries tutReal;              // s per test
    int tests = 0;                       // tests of the athlete and exercise
    int undated = 0;                     // of which the date cannot be read
    bool byTestNumber = false;           // no readable date: x is the test number
};

// A value as the chart reads it: a decimal number with the decimal comma
// (or, as typed into the data window, with a point); nothing for an empty or
// unreadable text.
std::optional<double> chartNumber(const QString &text);

// The planned time of one set in s as the clock window's settings reset works
// it out from the test's stored settings ("20,5"); nothing when the reset
// would not get there.
std::optional<QString> plannedSetTimeText(const StoredTest &test);

// The series of the tests of one athlete (name and surname as stored) in one
// exercise.  Tests of other athletes and exercises are left out.  A set
// counts when its number is within the test's number of sets (all 20 when
// that cannot be read) and its value can be read; the planned set time is
// worked out from the test's settings as the clock window does.
ProgressData progressSeries(const QList<StoredTest> &tests, const QString &name, const QString &surname,
                            const QString &exercise, const QLocale &userLocale = QLocale());

// The text a point shows on hover: test number, date and value with its unit.
QString progressPointText(const ProgressSeries &series, const ProgressPoint &point, const QString &unit);

} // namespace data
