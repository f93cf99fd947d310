#pragma once

// The records the windows store, as typed values.  Which field of which
// table holds which value is said here once; the windows fill a record and
// make one call.

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace store {

class Table;

// The settings of a test as typed: what a profile keeps and a stored test
// repeats.
struct TestSettings {
    QString startRest, froPhase, toPhase, restAfterFro, restAfterTo;
    QString repetitionsPerSet, sets, restBetweenSets;
};

// A test as the clock window stores it: texts as typed, the profile's
// number as a whole number.  Its key (Testnr) is the store's to give.
struct TestRecord {
    QString date;
    qint32 profileNumber = 0;
    QString name, surname, bodyweight, height;
    QString exercise, load;
    std::array<QString, 20> realTimes;     // RealTime1..RealTime20
    std::array<QString, 20> repetitions;   // RealR1..RealR20
    TestSettings settings;
    QString tutTotal, tutReal;
    // The identity of these results: a save repeated after its answer was
    // lost stores them once (see Table::setSaveId).  Not a field.
    QString saveId;
};

// A test profile; without a name its field stays empty (null).
struct ProfileRecord {
    std::optional<QString> profile;
    QString exercise, load;
    TestSettings settings;
    QString saveId = {};   // as TestRecord's
};

struct AthleteRecord {
    QString name, surname, bodyweight, height;
    QString saveId = {};   // as TestRecord's
};

// Each stores one new record in its table (which must be open) in one
// durable transaction and returns the key it got.  A failure stores nothing
// and leaves no begun record behind; it throws the table's StoreError.
qint64 appendTest(Table &table, const TestRecord &record);
qint64 appendProfile(Table &table, const ProfileRecord &record);
qint64 appendAthlete(Table &table, const AthleteRecord &record);

// The 59 fields of the test table in layout order as the record's texts,
// the key empty: what a stored copy of the record reads.
QStringList testFields(const TestRecord &record);
// What a profile or an athlete record stores, as texts (a profile without a
// name differs from one with an empty name).
QStringList profileFields(const ProfileRecord &record);
QStringList athleteFields(const AthleteRecord &record);

} // namespace store
