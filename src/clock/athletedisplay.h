#pragma once

// What the athlete view shows: the same texts, colours and values as the
// clock window's phase display, as one plain value.

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

struct AthleteDisplay {
    QString phaseName = QStringLiteral("TEST");   // as on pnAbschnitt
    QColor phaseColour{255, 255, 0};               // pnAbschnitt's and pClockB's background
    QString countdown = QStringLiteral("BEGIN");   // as on pClockB
    int repetition = 0;        // as on pnBNr
    int repetitionCount = 0;   // repetitions per set
    int set = 0;               // as on pnSerie
    int setCount = 0;
    double froBar = 0;         // Fro-Phase bar, share of its full height, 0 to 1
    double toBar = 0;          // To-Phase bar, share of its full height, 0 to 1
    int gaugeProgress = 0;     // as on gClock
    int gaugeMax = 50;

    bool operator==(const AthleteDisplay &) const = default;
};

struct ProcedureDisplay;

// A text of the procedure's phase display as the user reads it.  The
// procedure names its phases and states in English ("Fro-Phase", "BEGIN",
// "Break"), and compares those names; only what is shown is translated.
// Times and numbers come back as they are.
QString shownProcedureText(const QString &text);

// What the athlete view shows of what the procedure reports to the clock
// window: the same texts and colours, the large set and repetition numbers,
// and the bars as shares of their full height.
AthleteDisplay athleteDisplay(const ProcedureDisplay &display);

// What the athlete sees beyond the clock window's phase display.
struct AthleteExtras {
    // During a rest between sets: the time left until the next set, which
    // the athlete counts down to (the clock window counts the rest up);
    // shown as "Next set in 0:05".
    std::optional<std::int32_t> restLeftMs;
    // After a test: one line per set that ran, "Set 1: 5,5 s, 2 rep.".
    // Empty while no test has ended.
    QStringList results;
};
AthleteDisplay athleteDisplay(const ProcedureDisplay &display, const AthleteExtras &extras);

// "0:05", "1:30", "1:00:05": the whole seconds left, counted up, so that
// they and the clock window's whole seconds of rest (counted down) always
// add up to the rest's length.
QString restLeftText(std::int32_t leftMs);
