#pragma once

// The content of the test report: what one test record and the athlete's
// progress series say, as the texts the page prints.  No painting here.

#include "model/progress.h"

#include <QList>
#include <QLocale>
#include <QString>

namespace report {

// The mark for a value the record leaves empty.
inline QString dash() { return QStringLiteral("\u2013"); }

// The locale of the language the program speaks (as its installed
// translation says): the report writes its numbers the way that language does.
QLocale programLocale();

// A number in its shortest form with the decimal separator of `locale`:
// "20.5" in English, "20,5" in German.
QString numberText(double value, const QLocale &locale);

// A stored value as the report prints it: a number (stored with the decimal
// comma, also read when typed with a point) in its shortest form as `locale`
// writes it, any other text trimmed as it stands, an empty field as the dash.
QString shownValue(const QString &stored, const QLocale &locale);

struct SetLine {
    enum class Outcome { Done, Cancelled, NotRun };
    int set = 0;             // 1 to 20
    QString planned;         // planned set time, shown form
    QString realTime;        // shown form
    QString repetitions;     // shown form
    Outcome outcome = Outcome::Done;
};

struct TestReport {
    qint64 testnr = 0;       // the stored test's number; 0 before it is saved
    bool saved = true;
    QString date, name, surname, bodyweight, height;     // shown forms
    QString exercise, load;
    QString profileName = dash();  // the profile the test ran, when the profile table names it
    QString startRest, froPhase, restAfterFro, toPhase, restAfterTo, repetitions, sets, restSets;
    QString tutTotal, tutReal;
    QList<SetLine> setLines;
    data::ProgressData progress;   // up to and including this test
    qint64 seriesTestnr = 0;       // this test's number in `progress`
    QString surnameAsStored;       // for the file name
    // The test's note (shown forms) and whether the attempt was valid;
    // tests marked invalid left out of `progress`.
    QString note = dash();
    QString tester = dash();
    bool valid = true;
    int invalidLeftOut = 0;
    QLocale locale;                // how numbers are written, also on the chart axes
};

// The report of `record` (the 59 fields of the test table) with the
// progress series worked out from `athleteTests`: that athlete's tests of
// that exercise up to this one, the way the progress window works it out.
// An unsaved record (`saved` false) is placed after all of them.
//
// A set counts up to the test's number of sets (when that is no number from
// 1 to 20: up to the last set that recorded anything).  A set whose real time
// is empty and whose repetitions read "0" or nothing never ran; one whose
// real time differs from the planned set time was cancelled.
// Numbers are written as `locale` writes them.
TestReport makeTestReport(const data::StoredTest &record, const QList<data::StoredTest> &athleteTests,
                          bool saved = true, const QLocale &locale = programLocale());

// The file name the report is proposed under: "Korvane-<test number>-<surname>.pdf",
// characters a file name cannot hold replaced by "_".
QString reportFileName(const TestReport &report);

} // namespace report
