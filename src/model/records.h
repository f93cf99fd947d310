#pragma once

// Texts the clock window builds for its pick lists and the completion of a
// test's per-set results before it is stored.  No widgets here.

#include <QString>
#include <QStringList>

#include <QTime>

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

// The set number that a text spells, when it is exactly one of "1" to "20".
std::optional<int> setNumberOf(const QString &text);

// "  7 /      Bench/      Press": Nr in 3, " / ", Profil in 10, "/ ",
// Exercise in 10, each padded on the left and never cut.
QString profileListLine(const QString &nr, const QString &profil, const QString &exercise);

// Nr in 3, "/", Name and Surname in 15, Bodyweight and Height in 10.
QString athleteListLine(const QString &nr, const QString &name, const QString &surname,
                        const QString &bodyweight, const QString &height);

// The key a pick-list line starts with: the whole number before its first
// "/", blanks around it allowed.  A line without one throws
// core::Failure naming the text before the "/".
std::int32_t listLineKey(const QString &line);
std::optional<std::int32_t> tryListLineKey(const QString &line);

// The per-set results of a test: 20 real-time and 20 repetitions texts.
struct SetResults {
    QStringList realTimes;     // RealTime1..RealTime20
    QStringList repetitions;   // RealR1..RealR20
};

// Puts the planned values into the sets that recorded nothing: an empty
// real-time slot takes the planned set time (with exactly two sets, the texts
// of the first two planned-time slots), a repetitions slot reading "0" takes
// the planned repetitions.  Runs only when `sets` is exactly "1" to "20".
// The sets marked in `unfinished` (index 0 for set 1) never ran to their end
// and keep their slots as they stand: an empty time and "0" mean "not run".
// A real time below zero is taken for an empty one.
void completeSetResults(SetResults &results, const QString &sets, const QString &plannedSetTime,
                        const QStringList &plannedSlots, const QString &plannedRepetitions,
                        std::bitset<20> unfinished = {});

// The identity of what one save stores.  The same content keeps its
// identity until it is forgotten, so that a save repeated after its answer
// was lost stores it once; changed content is another record and gets a new
// identity, so that a success is never reported for a record stored before.
class SaveIdentity {
public:
    QString idFor(const QStringList &content);
    // The content was stored or given up.
    void forget();

private:
    QStringList m_content;
    QString m_id;
};

// How a set of the test on hand ended.
enum class SetOutcome {
    NotRun,      // never started, or started over and not yet ended
    RanToEnd,    // ran to its planned end
    Cancelled,   // ended early by Cancel
    BrokenOff,   // running when the test was stopped
};

// What the sets of the test on hand came to, from its first set start until
// it is saved or its results are given up.  Tells a set that ran from one
// that never did, which the result slots alone cannot.
class TestOutcomes {
public:
    // A new test starts at `start`: every set not run.
    void begin(const QTime &start);
    // Set `set` (1 to 20; others are not recorded) ended so.  `realSeconds`
    // is the running time after the start rest when it ended early.
    void record(int set, SetOutcome outcome, double realSeconds = 0);
    // The results were saved or given up: nothing is on hand any more.
    void clear();

    bool active() const { return m_active; }
    QTime startTime() const { return m_start; }
    SetOutcome outcome(int set) const;
    // The sets whose slots the completion before storing must not touch.
    // None while no test is on hand, so that slots filled by hand are
    // completed as they always were.
    std::bitset<20> unfinished() const;
    // Whether clearing the slots would lose something the athlete did: a set
    // that ran to its end or was cancelled, or one broken off after its start
    // rest.  `runningSeconds` is the time after the start rest of a set in
    // progress, which a clearing would break off.
    bool hasUnsavedResults(std::optional<double> runningSeconds = std::nullopt) const;

private:
    bool m_active = false;
    QTime m_start;
    std::array<SetOutcome, 20> m_outcomes{};
    std::array<double, 20> m_seconds{};
};
