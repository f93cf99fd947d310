#pragma once

// Texts the clock window builds for its pick lists and the completion of a
// test's per-set results before it is stored.  No widgets here.

#include <QString>
#include <QStringList>

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
// platform::ConversionError naming the text before the "/".
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
void completeSetResults(SetResults &results, const QString &sets, const QString &plannedSetTime,
                        const QStringList &plannedSlots, const QString &plannedRepetitions);
