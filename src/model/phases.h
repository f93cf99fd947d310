#pragma once

// Where in a set a given elapsed time stands: the phases of a repetition and
// their names.  A boundary belongs to the earlier phase.

#include "model/settings.h"

#include <QString>
#include <cstdint>

enum class Phase { StartRest, FroPhase, RestAfterFro, ToPhase, RestAfterTo };

// The name shown for a phase: "Start Rest", "Fro-Phase", ...
QString phaseName(Phase phase);

struct SetPosition {
    Phase phase = Phase::StartRest;
    int repetition = 0;
    std::int64_t q = 0;   // time into the current repetition
};

// Where a set stands after `elapsedMs`.
SetPosition setPosition(std::int64_t elapsedMs, const ClockTiming &timing);
