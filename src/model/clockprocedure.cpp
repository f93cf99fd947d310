#include "model/clockprocedure.h"

#include "core/timetext.h"
#include "model/sound.h"
#include "core/wallclock.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

// Elapsed time between two time-of-day readings, across midnight too.
std::int32_t elapsedSince(std::int32_t startMs)
{
    std::int32_t diff = platform::wallClock().timeOfDayMs() - startMs;
    if (diff < 0)
        diff += platform::kDayMs;
    return diff;
}

unsigned markersOf(Phase phase)
{
    switch (phase) {
    case Phase::FroPhase:
        return FroMarkers;
    case Phase::RestAfterFro:
        return RestAfterFroMarker;
    case Phase::ToPhase:
        return ToMarkers;
    case Phase::RestAfterTo:
        return RestAfterToMarker;
    case Phase::StartRest:
        break;
    }
    return NoMarkers;
}

const QString kWarningWave = QStringLiteral("AnfangFro.wav");

} // namespace

ClockProcedure::ClockProcedure(ProcedureHost &host, QObject *parent)
    : QObject(parent)
    , m_host(host)
{
    m_display.gaugeMax = m_timing.GaugeMax;
    syncFlags();
    m_published = m_display;
}

// Runs `step`, then shows what it changed; also when it throws, so the
// window never keeps a state the procedure has left.
template <typename Step>
void ClockProcedure::publishAfter(Step step)
{
    try {
        step();
    } catch (...) {
        publish();
        throw;
    }
    publish();
}

// Settings reset -------------------------------------------------------------

std::optional<QString> ClockProcedure::reset()
{
    try {
        const std::optional<QString> failure = resetSettingsNow();
        publish();
        return failure;
    } catch (...) {
        publish();
        throw;
    }
}

std::optional<QString> ClockProcedure::resetSettingsNow()
{
    m_state.SetElapsedMs = 0;
    m_state.SetCarryMs = 0;
    m_state.SetEndMark = 0;
    m_state.SetStartMs = platform::wallClock().timeOfDayMs();

    const SettingsOutcome outcome = resetSettings(m_host.settingsTexts(), m_timing);
    m_timing = outcome.timing;
    if (outcome.completed) {
        m_display.gaugeMax = m_timing.GaugeMax;
        m_display.froBar = BarLevel::empty();
        m_display.toBar = BarLevel::empty();
    }
    // The marks of the set clock start afresh however far the reset came, so
    // that a set after a failed reset still ends by its time.
    m_state.ShownRepetition = -1;
    m_state.RestMark = 0;
    syncFlags();
    m_host.settingsRead(outcome);
    if (outcome.failure)
        return settingsFailureMessage(*outcome.failure);
    return std::nullopt;
}

void ClockProcedure::resetButton()
{
    publishAfter([this] {
        if (const std::optional<QString> failure = resetSettingsNow())
            refuse(*failure);
    });
}

// A set does not start: the clock stands while the message is open, instead
// of running on what the reset left half read.
void ClockProcedure::refuse(const QString &message)
{
    stopNow();
    publish();
    m_host.showMessage(message);
}

// Set start ------------------------------------------------------------------

void ClockProcedure::start()
{
    publishAfter([this] { setStart(); });
}

void ClockProcedure::setStart()
{
    const StartFields fields = m_host.startFields();
    QString missing;
    if (!fields.name)
        missing = QCoreApplication::translate("ClockProcedure", "Couldn't find   Name");
    else if (!fields.profileName)
        missing = QCoreApplication::translate("ClockProcedure", "Couldn't find  Profil Name");
    else if (!fields.exercise)
        missing = QCoreApplication::translate("ClockProcedure", "Couldn't find  Exercise");
    if (!missing.isEmpty()) {
        // An automatic start after a rest stops the test before the box opens,
        // so the ticks that arrive meanwhile find nothing to start again.
        if (m_inAutoStart)
            stopNow();
        publish();
        m_host.showMessage(missing);
        return;
    }

    m_host.startAccepted();
    // A set never starts on settings the reset could not read.
    if (const std::optional<QString> failure = resetSettingsNow()) {
        refuse(*failure);
        return;
    }
    m_host.prepareStore();

    if (!m_state.Running) {
        m_state.Running = true;
        m_state.Resting = false;
        m_state.OnBreak = false;
        m_state.SetStartMs = platform::wallClock().timeOfDayMs();
        m_state.SetCarryMs = m_state.SetElapsedMs;
        m_display.phase = phaseName(Phase::StartRest);
        m_display.setPhase = Phase::StartRest;
        m_display.countdown.clear();
        m_clockStands = false;
        setPanel(PanelState::Running);
        ++m_state.CurrentSet;
        m_cancelledBeforeBegin = false;
        m_display.set = m_state.CurrentSet;
        m_display.setPanel = m_state.CurrentSet;
        m_display.markers = NoMarkers;
        syncFlags();
        // The cue starts at once when the output keeps its device ready.
        platform::soundOutput().setPrepared(true);
        giveCue(CueMoment::SetStart, false);
        m_host.setStarted();
    }
}

// Clock tick -----------------------------------------------------------------

void ClockProcedure::tick()
{
    publishAfter([this] {
        if (m_heldRest)
            return;
        if (m_state.Resting && !m_state.Running)
            restTick();
        else if (m_state.Running)
            setTick();
    });
}

void ClockProcedure::restTick()
{
    m_state.RestElapsedMs = elapsedSince(m_state.RestStartMs);
    m_display.countdown = ClockText(m_state.RestElapsedMs);
    if (m_state.RestElapsedMs >= m_timing.RestBetweenSetsMs - 10000) {
        // The warning sound plays on every tick; the moment is reported once.
        const bool warn = m_host.cueSwitches().restWarning;
        if (!m_restWarned) {
            m_restWarned = true;
            giveCue(CueMoment::RestWarning, warn);
        }
        if (warn)
            platform::soundOutput().playWave(kWarningWave);
    }
    if (m_state.RestElapsedMs > m_timing.RestBetweenSetsMs) {
        m_inAutoStart = true;
        try {
            setStart();
        } catch (...) {
            m_inAutoStart = false;
            stopNow();
            throw;
        }
        m_inAutoStart = false;
    }
}

void ClockProcedure::setTick()
{
    m_state.SetElapsedMs = m_state.SetCarryMs + elapsedSince(m_state.SetStartMs);
    const std::int32_t d = m_state.SetElapsedMs;
    m_display.setClock = ClockText(d);
    const int gaugeMax = m_display.gaugeMax;
    const int g = gaugeMax > 0 ? (d / 100) % gaugeMax : 0;

    int n = 0;
    const ClockTiming &v = m_timing;
    if (d >= 0 && d <= v.StartRestMs) {
        m_display.countdown = CountdownSeconds(v.StartRestMs - d);
        m_display.setPhase = Phase::StartRest;
    } else if ((d > v.SetDurationMs && m_state.RestMark == 0) || m_state.SetEndMark == 100) {
        endOfSet();
        return;
    } else {
        const SetPosition pos = setPosition(d, v);
        n = pos.repetition;
        const std::int64_t q = pos.q;
        const std::int64_t f = v.FroPhaseMs;
        const std::int64_t rf = v.RestAfterFroMs;
        const std::int64_t t = v.ToPhaseMs;
        m_display.setPhase = pos.phase;
        const bool entered = m_display.phase != phaseName(pos.phase);
        switch (pos.phase) {
        case Phase::FroPhase:
            m_display.froBar = {q / 100, v.FroScale};
            if (q <= 100)
                m_display.toBar = BarLevel::empty();
            if (entered)
                enterPhase(Phase::FroPhase, n);
            m_display.countdown = f < 60000 ? CountdownSeconds(static_cast<std::int32_t>(f - q))
                                            : CountdownClock(static_cast<std::int32_t>(f - q));
            break;
        case Phase::RestAfterFro:
            m_display.froBar = BarLevel::full();
            if (entered)
                enterPhase(Phase::RestAfterFro, n);
            m_display.countdown = CountdownSeconds(static_cast<std::int32_t>(f + rf - q));
            break;
        case Phase::ToPhase: {
            m_display.toBar = {(q - f - rf) / 100, v.ToScale};
            if (entered)
                enterPhase(Phase::ToPhase, n);
            const auto left = static_cast<std::int32_t>(f + rf + t - q);
            m_display.countdown = t < 60000 ? CountdownSeconds(left) : CountdownClock(left);
            break;
        }
        case Phase::RestAfterTo:
            m_display.toBar = BarLevel::full();
            if (entered)
                enterPhase(Phase::RestAfterTo, n);
            m_display.countdown = CountdownSeconds(static_cast<std::int32_t>(v.CycleMs - q));
            break;
        case Phase::StartRest:
            break;
        }
    }

    // The pie fills once per set and stands full, not empty, at each exact
    // multiple of its maximum.
    if (g != m_display.gaugeProgress)
        m_display.gaugeProgress = g == 0 && d > 0 ? gaugeMax : g;
    if (n != m_state.ShownRepetition) {
        m_state.ShownRepetition = n;
        m_display.repetition = n;
        m_display.repetitionPanel = n;
    }
    // Set buttons 1 to k while the set panel shows k; any other number
    // changes nothing.
    if (m_display.setPanel >= 1 && m_display.setPanel <= 20)
        m_display.setButtons = m_display.setPanel;
}

void ClockProcedure::enterPhase(Phase phase, int repetition)
{
    m_display.phase = phaseName(phase);
    const CueSwitches cues = m_host.cueSwitches();
    platform::SoundOutput &sound = platform::soundOutput();
    switch (phase) {
    case Phase::FroPhase:
        giveCue(CueMoment::FroPhase, cues.froBegin, repetition);
        if (cues.froBegin)
            sound.playWave(QStringLiteral("AnfangTo.wav"));
        break;
    case Phase::RestAfterFro:
        giveCue(CueMoment::RestAfterFro, cues.froEnd, repetition);
        if (cues.froEnd)
            sound.beep();
        break;
    case Phase::ToPhase:
        giveCue(CueMoment::ToPhase, cues.toBegin, repetition);
        if (cues.toBegin)
            sound.playWave(QStringLiteral("AnfangFro.wav"));
        break;
    case Phase::RestAfterTo:
        giveCue(CueMoment::RestAfterTo, cues.toEnd, repetition);
        if (cues.toEnd)
            sound.beep();
        break;
    case Phase::StartRest:
        break;
    }
    m_display.markers = markersOf(phase);
}

void ClockProcedure::endOfSet()
{
    if (m_state.SetEndMark == 100 && m_cancelledBeforeBegin)
        m_host.setNotBegun(m_state.CurrentSet);
    else
        m_host.setEnded(m_state.CurrentSet, m_state.SetEndMark == 100);
    m_state.Running = false;
    m_display.gaugeProgress = m_display.gaugeMax;
    // ">=" rather than "=": a set count lowered during a test still ends it.
    if (m_state.CurrentSet >= m_timing.SetCount) {
        giveCue(CueMoment::TestOver, false);
        stopNow();
        return;
    }
    m_display.phase = QStringLiteral("Rest between Sets");
    m_state.SetEndMark = 1;
    m_display.markers = NoMarkers;
    setPanel(PanelState::Resting);
    m_state.Resting = true;
    m_state.RestStartMs = platform::wallClock().timeOfDayMs();
    m_state.RestElapsedMs = 0;
    m_state.RestMark = 1;
    m_restWarned = false;
    syncFlags();
    giveCue(CueMoment::RestBetweenSets, false);
}

// Stop, break and resume -----------------------------------------------------

void ClockProcedure::stop()
{
    publishAfter([this] { stopNow(); });
}

void ClockProcedure::stopNow()
{
    // A stop that breaks off a test in progress ends it as the last set's end
    // does; a stop of a standing clock (every activation) is no moment.
    if (m_state.Running || m_state.Resting || m_state.OnBreak)
        giveCue(CueMoment::TestOver, false);
    // The set in progress keeps what it reached; Cancel pressed just before
    // the stop already ended it.
    if (const std::optional<CancelledSet> broken = setInProgress()) {
        const bool begun = m_state.SetEndMark == 100 ? !m_cancelledBeforeBegin : setHasBegun();
        if (!begun)
            m_host.setNotBegun(broken->set);
        else if (m_state.SetEndMark == 100)
            m_host.setEnded(broken->set, true);
        else
            m_host.setBrokenOff(*broken);
    }
    m_state.Running = false;
    m_state.Resting = false;
    m_state.OnBreak = false;
    m_heldSet = false;
    m_heldRest = false;
    m_display.countdown = QStringLiteral("BEGIN");
    m_clockStands = true;
    m_display.phase = QStringLiteral("TEST");
    m_display.markers &= ~unsigned(RestAfterFroMarker | RestAfterToMarker);
    setPanel(PanelState::Stopped);
    m_state.CurrentSet = 0;
    syncFlags();
    platform::soundOutput().setPrepared(false);
    m_host.stopped();
}

void ClockProcedure::breakOrResume()
{
    if (m_state.Running) {
        // Break: the set clock stands; the set keeps its number.
        m_state.Running = false;
        m_state.Resting = false;
        m_state.OnBreak = true;
        m_display.countdown = QStringLiteral("Break");
        setPanel(PanelState::Resting);
    } else if (m_state.OnBreak) {
        // Resume at the elapsed time of the break.
        m_state.Running = true;
        m_state.Resting = false;
        m_state.OnBreak = false;
        m_state.SetStartMs = platform::wallClock().timeOfDayMs();
        m_state.SetCarryMs = m_state.SetElapsedMs;
        m_display.phase = phaseName(Phase::StartRest);
        m_display.countdown = QStringLiteral("0,0");
        setPanel(PanelState::Running);
    }
    syncFlags();
    publish();
}

void ClockProcedure::hold()
{
    if (m_state.Running) {
        breakOrResume();
        m_heldSet = true;
    } else if (m_state.Resting && !m_heldRest) {
        m_state.RestElapsedMs = elapsedSince(m_state.RestStartMs);
        m_heldRest = true;
    }
}

void ClockProcedure::release()
{
    if (m_heldSet && m_state.OnBreak)
        breakOrResume();
    if (m_heldRest && m_state.Resting) {
        // The rest counts on from where it stood.
        m_state.RestStartMs = platform::wallClock().timeOfDayMs() - m_state.RestElapsedMs;
        if (m_state.RestStartMs < 0)
            m_state.RestStartMs += platform::kDayMs;
    }
    m_heldSet = false;
    m_heldRest = false;
}

std::optional<CancelledSet> ClockProcedure::cancelSet()
{
    // A second Cancel before the set ended keeps what the first one found.
    if (m_state.SetEndMark != 100)
        m_cancelledBeforeBegin = !setHasBegun();
    m_state.SetEndMark = 100;
    if (m_clockStands)
        return std::nullopt;
    if (m_display.setPanel < 1 || m_display.setPanel > 20)
        return std::nullopt;
    // A set cancelled inside its start rest never began: no row to write.
    if (m_cancelledBeforeBegin)
        return std::nullopt;
    return CancelledSet{m_display.setPanel, realSeconds(), m_display.repetitionPanel};
}

std::optional<CancelledSet> ClockProcedure::setInProgress() const
{
    if (!m_state.Running && !m_state.OnBreak)
        return std::nullopt;
    return CancelledSet{m_state.CurrentSet, realSeconds(), std::max(m_state.ShownRepetition, 0)};
}

bool ClockProcedure::setHasBegun() const
{
    return m_state.SetElapsedMs > m_timing.StartRestMs;
}

double ClockProcedure::realSeconds() const
{
    return std::max<std::int64_t>(std::int64_t{m_state.SetElapsedMs} - m_timing.StartRestMs, 0) / 1000.0;
}

// Changes by the window ------------------------------------------------------

void ClockProcedure::hideMarkers()
{
    m_display.markers = NoMarkers;
    publish();
}

void ClockProcedure::clearCounterPanels()
{
    m_display.setPanel = 0;
    m_display.repetitionPanel = 0;
    m_display.setButtons = 0;
    publish();
}

void ClockProcedure::hideSetButtons()
{
    m_display.setButtons = 0;
    publish();
}

// Reporting ------------------------------------------------------------------

void ClockProcedure::setPanel(PanelState panel)
{
    m_display.panel = panel;
}

void ClockProcedure::syncFlags()
{
    m_display.running = m_state.Running;
    m_display.resting = m_state.Resting;
    m_display.onBreak = m_state.OnBreak;
    m_display.repetitionCount = m_timing.RepetitionCount;
    m_display.setCount = m_timing.SetCount;
}

void ClockProcedure::publish()
{
    syncFlags();
    if (m_display == m_published)
        return;
    m_published = m_display;
    emit displayChanged(m_display);
}

void ClockProcedure::giveCue(CueMoment moment, bool switchedOn, int repetition)
{
    emit cueDue(ProcedureCue{moment, switchedOn, m_state.CurrentSet, repetition});
}
