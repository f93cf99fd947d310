#include "clock/spokencues.h"

#include <QTimer>

using platform::SpokenCue;
using platform::SpokenEvent;

QList<SpokenEvent> spokenEvents(const ProcedureCue &cue, int repetitionCount, double restBetweenSetsMs)
{
    switch (cue.moment) {
    case CueMoment::FroPhase: {
        // The tick on the very end of a set's last cycle counts as the start
        // of one repetition more; the set ends on the next tick, so that
        // repetition is not announced.
        if (cue.repetition > repetitionCount)
            return {};
        QList<SpokenEvent> events{{SpokenCue::Repetition, cue.repetition}};
        if (cue.switchedOn)
            events.append({SpokenCue::FroPhase});
        return events;
    }
    case CueMoment::RestAfterFro:
        return cue.switchedOn ? QList<SpokenEvent>{{SpokenCue::RestAfterFro}} : QList<SpokenEvent>{};
    case CueMoment::ToPhase:
        return cue.switchedOn ? QList<SpokenEvent>{{SpokenCue::ToPhase}} : QList<SpokenEvent>{};
    case CueMoment::RestAfterTo:
        return cue.switchedOn ? QList<SpokenEvent>{{SpokenCue::RestAfterTo}} : QList<SpokenEvent>{};
    case CueMoment::RestWarning:
        // A rest of ten seconds or less is warned of on its first tick, just
        // after "Rest": the warning would only cut that word off.
        if (restBetweenSetsMs <= 10000)
            return {};
        return {{SpokenCue::RestWarning}};
    case CueMoment::SetStart:
        return {{SpokenCue::SetStart, cue.set}};
    case CueMoment::RestBetweenSets:
        return {{SpokenCue::RestBetweenSets}};
    case CueMoment::TestOver:
        return {{SpokenCue::TestOver}};
    }
    return {};
}

void CueSpeaker::add(const QList<SpokenEvent> &events)
{
    if (events.isEmpty())
        return;
    // Said once control is back in the event loop, after the action that
    // gave the cues has ended.
    if (m_pending.isEmpty())
        QTimer::singleShot(0, this, &CueSpeaker::flush);
    m_pending += events;
}

void CueSpeaker::flush()
{
    if (m_pending.isEmpty())
        return;
    const QString phrase = platform::spokenPhrase(m_pending);
    m_pending.clear();
    platform::speech().say(phrase);
}
