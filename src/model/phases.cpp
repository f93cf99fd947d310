#include "model/phases.h"

QString phaseName(Phase phase)
{
    switch (phase) {
    case Phase::StartRest:
        return QStringLiteral("Start Rest");
    case Phase::FroPhase:
        return QStringLiteral("Fro-Phase");
    case Phase::RestAfterFro:
        return QStringLiteral("Rest after Fro-Phase");
    case Phase::ToPhase:
        return QStringLiteral("To-Phase");
    case Phase::RestAfterTo:
        return QStringLiteral("Rest after To-Phase");
    }
    return {};
}

SetPosition setPosition(std::int64_t d, const ClockTiming &v)
{
    SetPosition pos;
    if (d >= 0 && d <= v.StartRestMs)
        return pos;
    const std::int64_t r = d - v.StartRestMs;
    pos.q = r % v.CycleMs;
    pos.repetition = static_cast<int>(r / v.CycleMs + 1);
    // The end of a repetition is its own last moment, not the first of the
    // next one: a set ends in the Rest after To-Phase of its last repetition,
    // never showing a repetition beyond the plan.
    if (pos.q == 0 && r > 0) {
        pos.q = v.CycleMs;
        pos.repetition -= 1;
    }
    const std::int64_t f = v.FroPhaseMs;
    const std::int64_t rf = f + v.RestAfterFroMs;
    const std::int64_t to = rf + v.ToPhaseMs;
    if (pos.q <= f)
        pos.phase = Phase::FroPhase;
    else if (pos.q <= rf)
        pos.phase = Phase::RestAfterFro;
    else if (pos.q <= to)
        pos.phase = Phase::ToPhase;
    else
        pos.phase = Phase::RestAfterTo;
    return pos;
}
