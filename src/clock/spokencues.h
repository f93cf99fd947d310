#pragma once

// The procedure's cue moments in words.  The phase entries are spoken where
// their cue switch is on, so the switches choose which movements are called
// out; the numbers and the rests are always announced while speech is on.

#include "model/proceduredisplay.h"
#include "platform/speech.h"

#include <QList>
#include <QObject>

// What is said at one cue moment, in order.  `repetitionCount` and
// `restBetweenSetsMs` come from the settings of the running test.
QList<platform::SpokenEvent> spokenEvents(const ProcedureCue &cue, int repetitionCount, double restBetweenSetsMs);

// Gathers what is due in one action of the procedure (a tick, a click) and
// says it as one phrase once the action has ended: a second say() would cut
// the first phrase off.  Saying returns at once; the tick never waits.
class CueSpeaker : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void add(const QList<platform::SpokenEvent> &events);
    // Says what has gathered, if anything.
    void flush();

private:
    QList<platform::SpokenEvent> m_pending;
};
