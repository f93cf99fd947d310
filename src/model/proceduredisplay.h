#pragma once

// What the test procedure has to show, as one value: the clock window draws
// it, and any further view (a display for the athlete) can draw the same.

#include "model/bars.h"
#include "model/phases.h"

#include <QMetaType>
#include <QString>

// What the phase name and countdown panels stand for; each view takes the
// colour of a state from its palette.
enum class PanelState {
    Running,   // a set runs
    Resting,   // rest between sets, break
    Stopped,   // the clock stands
};

// The phase markers beside the bars, as flags.
enum PhaseMarker : unsigned {
    NoMarkers = 0,
    FroMarkers = 1,            // olive bar and down arrow (Shape3, Image1)
    ToMarkers = 2,             // sky-blue bar and up arrow (Shape4, Image2)
    RestAfterFroMarker = 4,    // red circle below the Fro-Phase bar (Shape5)
    RestAfterToMarker = 8,     // red circle above the To-Phase bar (Shape6)
};

struct ProcedureDisplay {
    // The phase name panel: a phase's name, "Rest between Sets" or "TEST".
    QString phase = QStringLiteral("TEST");
    // The countdown panel: time left in the phase, the elapsed rest between
    // sets, "BEGIN" when stopped, "Break", or empty at a set's start.
    QString countdown = QStringLiteral("BEGIN");
    // Background of both panels.
    PanelState panel = PanelState::Stopped;
    // Elapsed time of the set, hh:mm:ss.
    QString setClock = QStringLiteral("00:00:00");
    // The pie gauge, in tenths of a second.
    int gaugeMax = 50;
    int gaugeProgress = 0;
    // The Fro-Phase bar hangs from the top of its panel, the To-Phase bar
    // stands on the bottom of its own.  Pixel heights: barHeight(level, H - 2).
    BarLevel froBar;
    BarLevel toBar;
    unsigned markers = NoMarkers;
    // The set and repetition numbers as the large numbers show them.
    int set = 0;
    int repetition = 0;
    // The same on the small counter panels, which "Close" sets to 0 while
    // the procedure keeps its count.
    int setPanel = 0;
    int repetitionPanel = 0;
    // Set buttons 1 to this number are shown, the others hidden.
    int setButtons = 0;

    // Where the procedure stands, for views that show more than the window.
    bool running = false;      // the set clock runs
    bool resting = false;      // the rest between sets runs
    bool onBreak = false;
    Phase setPhase = Phase::StartRest;   // meaningful while running
    int repetitionCount = 1;   // repetitions per set
    int setCount = 1;          // sets of the test

    bool operator==(const ProcedureDisplay &) const = default;
};

Q_DECLARE_METATYPE(ProcedureDisplay)

// A moment at which the procedure gives, or could give, an acoustic cue.
enum class CueMoment {
    FroPhase,          // entry into the Fro-Phase (a repetition begins)
    RestAfterFro,
    ToPhase,
    RestAfterTo,
    RestWarning,       // the first tick in the last 10 s of a rest between sets
    SetStart,          // a set begins
    RestBetweenSets,   // a rest between sets begins
    TestOver,          // the last set ended, or a stop broke the test off
};

struct ProcedureCue {
    CueMoment moment = CueMoment::FroPhase;
    bool switchedOn = false;   // its wave file or beep plays
    int set = 0;
    int repetition = 0;
};

Q_DECLARE_METATYPE(ProcedureCue)
