#pragma once

// The test procedure without widgets: the settings reset, set start, the
// 100 ms clock tick, the end of a set, the rest between sets, stop, break and
// resume, and the end of a set by Cancel.  It reads the time of day and plays
// its cues through the platform interfaces, takes its settings and cue
// switches from its host (the clock window), and reports what is to be shown
// as one ProcedureDisplay value.

#include "model/proceduredisplay.h"
#include "model/settings.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

// Where the test procedure stands.
struct ProcedureState {
    bool Running = false;
    bool Resting = false;
    bool OnBreak = false;          // a set was broken off and may be resumed
    std::int32_t SetElapsedMs = 0;
    std::int32_t SetStartMs = 0;
    std::int32_t SetCarryMs = 0;
    std::int32_t RestElapsedMs = 0;
    std::int32_t RestStartMs = 0;
    int SetEndMark = 0;            // 1 while resting, 100 when Cancel asks to end the set
    int RestMark = 0;              // 1 once a rest between sets has begun
    int CurrentSet = 0;
    int ShownRepetition = -1;
};

// The cue switches: which phase entries play their cue.
struct CueSwitches {
    bool froBegin = false;      // "AnfangTo.wav" at the entry into the Fro-Phase
    bool froEnd = false;        // beep at the entry into the Rest after Fro-Phase
    bool toBegin = false;       // "AnfangFro.wav" at the entry into the To-Phase
    bool toEnd = false;         // beep at the entry into the Rest after To-Phase
    bool restWarning = false;   // "AnfangFro.wav" on every tick of the last 10 s of a rest
};

// Which of the fields a test needs are filled.
struct StartFields {
    bool name = true;
    bool profileName = true;
    bool exercise = true;
};

// What Cancel records for the set it ends.
struct CancelledSet {
    int set = 0;                 // 1 to 20
    double realSeconds = 0;      // running time after the start rest
    int repetition = 0;          // the repetition on show
};

// What the procedure reads from the window that holds its settings, and the
// window's share of its steps.  Every step may throw a core::Failure,
// which ends the procedure's action there.
class ProcedureHost {
public:
    virtual ~ProcedureHost() = default;
    virtual SettingsTexts settingsTexts() const = 0;
    virtual CueSwitches cueSwitches() const = 0;
    virtual StartFields startFields() const = 0;

    // A set start found the fields filled: the pick lists and "Save Data " go.
    virtual void startAccepted() {}
    // After every settings reset: the texts and totals to show.
    virtual void settingsRead(const SettingsOutcome &outcome) { static_cast<void>(outcome); }
    // Before a set starts: the table a test is stored in is opened.
    virtual void prepareStore() {}
    // A new set began: "Save Data " and Cancel show, the start button goes,
    // the set rows show the planned times.
    virtual void setStarted() {}
    // The procedure stopped: "Close" and the start button show.
    virtual void stopped() {}
    // Set `set` ended: at its planned end, or early by Cancel.
    virtual void setEnded(int set, bool cancelled)
    {
        static_cast<void>(set);
        static_cast<void>(cancelled);
    }
    // The test stopped while a set ran or stood at a break: that set's
    // result, as Cancel would record it.
    virtual void setBrokenOff(const CancelledSet &broken) { static_cast<void>(broken); }
    // Set `set` was stopped or cancelled inside its start rest: it never
    // began and records nothing.
    virtual void setNotBegun(int set) { static_cast<void>(set); }
    // A plain message.  Closing one of the window's messages activates it,
    // which stops the procedure.
    virtual void showMessage(const QString &text) = 0;
};

class ClockProcedure : public QObject {
    Q_OBJECT
public:
    explicit ClockProcedure(ProcedureHost &host, QObject *parent = nullptr);

    const ProcedureState &state() const { return m_state; }
    const ClockTiming &timing() const { return m_timing; }
    const ProcedureDisplay &display() const { return m_display; }

    // The settings reset.  Returns the message naming the field it could not
    // read; the procedure's marks start afresh either way.
    std::optional<QString> reset();
    // The reset button: a reset that cannot finish stops the procedure and
    // shows its message.
    void resetButton();
    // Set start: the start button, a set button, or the end of a rest.
    void start();
    // The 100 ms clock tick.
    void tick();
    void stop();
    // Break while a set runs; resume a broken-off set.
    void breakOrResume();
    // A question about the test is open: a running set stands at a break,
    // as F7 puts it there, and a rest between sets stands too, until
    // release() lets the test go on where it stood.
    void hold();
    void release();
    // Cancel: the running set ends at the next tick.  The result to record,
    // unless the test has ended or the set number on show is not 1 to 20.
    std::optional<CancelledSet> cancelSet();
    // The result of the set that runs or stands at a break, as Cancel would
    // record it; none between sets or when stopped.
    std::optional<CancelledSet> setInProgress() const;

    // Changes by the window that the procedure's display must reflect.
    void hideMarkers();          // the bars were switched back on
    void clearCounterPanels();   // "Close": counter panels 0, set buttons hidden
    void hideSetButtons();       // "Save Data "

signals:
    // The display changed; emitted once at the end of each action that
    // changed it, and before a message opens.
    void displayChanged(const ProcedureDisplay &display);
    // A cue moment, given whether or not its switch plays a sound.
    void cueDue(const ProcedureCue &cue);

private:
    void setStart();
    std::optional<QString> resetSettingsNow();
    void refuse(const QString &message);
    void restTick();
    void setTick();
    void enterPhase(Phase phase, int repetition);
    void endOfSet();
    void stopNow();
    void setPanel(PanelState panel);
    void syncFlags();
    void publish();
    template <typename Step>
    void publishAfter(Step step);
    void giveCue(CueMoment moment, bool switchedOn, int repetition = 0);
    // Whether the set on hand ran past its start rest as of the last tick.
    bool setHasBegun() const;
    // The running time after the start rest as of the last tick; never below 0.
    double realSeconds() const;

    ProcedureHost &m_host;
    ProcedureState m_state;
    ClockTiming m_timing;
    // From a stop (and at first) until a set starts: the countdown shows
    // "BEGIN" and there is no set to cancel.
    bool m_clockStands = true;
    ProcedureDisplay m_display;
    ProcedureDisplay m_published;
    bool m_inAutoStart = false;
    bool m_restWarned = false;
    // Cancel was pressed while the set was still in its start rest.
    bool m_cancelledBeforeBegin = false;
    // What hold() stopped: the set clock (now at a break) or the rest's clock.
    bool m_heldSet = false;
    bool m_heldRest = false;
};
