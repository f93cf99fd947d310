#pragma once

// The test settings: turning the settings texts into the millisecond values
// the clock tick works on, and the totals of a test.  No widgets here.

#include <QString>
#include <cstdint>
#include <optional>

// The values the clock tick reads, produced by the settings reset.
struct ClockTiming {
    std::int32_t StartRestMs = 1000;
    std::int32_t FroPhaseMs = 1000;
    std::int32_t RestAfterFroMs = 1000;
    std::int32_t ToPhaseMs = 1000;
    std::int32_t RestAfterToMs = 1000;
    std::int32_t RepetitionCount = 1;
    std::int32_t SetCount = 1;
    std::int64_t CycleMs = 4000;
    double RestBetweenSetsMs = 5000;
    std::int64_t SetDurationMs = 5000;
    int GaugeMax = 50;
    int FroScale = 10;   // Fro-Phase bar: FroPhaseMs div 100
    int ToScale = 10;    // To-Phase bar: ToPhaseMs div 100
};

// The settings fields as typed.
struct SettingsTexts {
    QString StartHalte, Abwaerts, HalteUnten, Aufwaerts, HalteOben, Wiederholungen, Serien, Pause;
};

// The field a reset could not read, and how it should have been written.
struct SettingsFailure {
    QString field;          // the field's name, such as "Serien"
    QString text;           // its text as the reset read it
    bool wholeNumber = false;
};

// What one settings reset produces.  A text that is not a number where one is
// read ends the reset at that step: values and displays from there on keep
// what they had (the optionals below stay empty, `timing` keeps the former
// values for them).
struct SettingsOutcome {
    SettingsTexts texts;                  // with "." turned into ","
    ClockTiming timing;
    std::optional<QString> cycleText;     // eCycle and Panel1
    std::optional<QString> tutReal;
    std::optional<QString> tutTotal;
    std::optional<QString> plannedSetTime;   // Edit46
    bool completed = false;               // ran to its end: bars, gauge, counters reset
    std::optional<SettingsFailure> failure;   // the field that ended it early
};

SettingsOutcome resetSettings(const SettingsTexts &texts, const ClockTiming &previous);

// The label of a settings field's row ("Sets" for "Serien"); the name itself
// for any other text.
QString settingRowLabel(const QString &field);

// The message for a reset that could not finish, naming the field by its row:
// Sets: "3 " is not a whole number
QString settingsFailureMessage(const SettingsFailure &failure);

// A note for a settings text that the clock reads differently from what its
// writer most likely meant: a rest of a minute or more typed as plain seconds
// (read by its seconds within the minute), a text that cannot be read at all,
// or one that keeps a test from starting.  Empty when the text reads as it looks.
QString settingHint(const QString &field, const QString &text);
