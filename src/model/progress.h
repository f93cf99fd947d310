#pragma once

// An athlete's progress from test to test: the step from stored test records
// to the series the progress chart draws.  No widgets here.

#include "store/testnotes.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace data {

// One stored test as text, its 59 fields in the test table's layout order.
using StoredTest = QStringList;

// One point of a series.  `x` is the test's place on the chart's axis: its
// position (from 0) among the athlete's tests of the exercise, in the order
// of their dates and, within a day, of their numbers, so that tests of one day
// stand side by side.  A test whose date cannot be read is placed between its
// dated neighbours by test number and has `dated` false.
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

// One set of a test as the tooltip shows it.
struct ProgressSet {
    int number = 0;                   // from 1
    QString realTimeText;             // as stored; empty when the set never ran
    std::optional<double> realTime;   // s
    std::optional<double> repetitions;
};

// One test with everything the chart knows of it, at its place `x`.
struct ProgressTest {
    double x = 0;
    qint64 testnr = 0;
    QString dateText;              // as stored
    std::optional<QDate> date;     // nothing when not readable
    std::optional<double> plannedSetTime;   // s
    QList<ProgressSet> sets;       // the test's sets; with an unreadable number of sets, those that ran
    std::optional<double> tutTotal;         // s
    std::optional<double> tutReal;          // s
};

struct ProgressData {
    QList<ProgressSeries> setTimes;      // real time per set in s, "Set 1" ...
    ProgressSeries plannedSetTime;       // the planned time of one set in s
    QList<ProgressSeries> repetitions;   // repetitions reached per set
    ProgressSeries tutTotal;             // s per test
    ProgressSeries tutReal;              // s per test
    QList<ProgressTest> order;           // the tests at their places: order[i].x == i
    int tests = 0;                       // tests of the athlete and exercise
    int undated = 0;                     // of which the date cannot be read
    bool byTestNumber = false;           // no readable date: placed by test number alone
};

// A label of the chart's axis at the place `x`.
struct ProgressAxisLabel {
    double x = 0;
    QString text;
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
                            const QString &exercise);

// The labels of the axis: one for each day, at the middle of its tests: its
// date and its test's number, the first and last of consecutive numbers, or
// how many tests it has; an undated test is labelled by its number.  With
// more days than `most`, only every second, third ... day is labelled, so
// that the labels stay readable.  Texts are unique.
QList<ProgressAxisLabel> progressAxisLabels(const ProgressData &data, int most);

// The text a test shows on hover: its number, its date, and its values: each
// set's real time of the planned time with its repetitions (a set that never
// ran reads "not run"), TUT total and TUT real.
QString progressTestText(const ProgressTest &test);

// Takes the tests marked invalid in `notes` out of `tests` and returns them,
// in their order: the charts leave them out and say how many.
QList<StoredTest> leaveOutInvalidTests(QList<StoredTest> &tests, const QHash<qint64, store::TestNote> &notes);

} // namespace data
