// The test procedure: set start, the 100 ms clock tick, the end of a set,
// the rest between sets, stop, break and resume.

#include "clock/display.h"
#include "clock/piegauge.h"
#include "clock/tform1.h"
#include "clock/timetext.h"
#include "platform/sound.h"
#include "platform/wallclock.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

namespace {

constexpr std::int32_t kDayMs = 86400000;

// Elapsed time between two time-of-day readings, across midnight too.
std::int32_t elapsedSince(std::int32_t startMs)
{
    std::int32_t diff = platform::wallClock().timeOfDayMs() - startMs;
    if (diff < 0)
        diff += kDayMs;
    return diff;
}

} // namespace

void TForm1::sStartClick()
{
    guarded([this] { setStart(); });
}

void TForm1::setStart()
{
    QString missing;
    if (Edit39->text().isEmpty())
        missing = QStringLiteral("Couldn't find   Name");
    else if (Edit47->text().isEmpty())
        missing = QStringLiteral("Couldn't find  Profil Name");
    else if (Edit51->text().isEmpty())
        missing = QStringLiteral("Couldn't find  Exercise");
    if (!missing.isEmpty()) {
        // An automatic start after a rest stops the test before the box opens,
        // so the ticks that arrive meanwhile find nothing to start again.
        if (m_inAutoStart)
            stop();
        showMessage(missing);
        return;
    }

    ListBox1->hide();
    ListBox2->hide();
    BitBtn3->hide();
    // A set never starts on settings the reset could not read; the clock
    // stands while the message is open instead of running on stale values.
    if (const std::optional<QString> failure = settingsReset()) {
        stop();
        showMessage(*failure);
        return;
    }
    openTestTable();

    if (!m_state.Running) {
        m_state.Running = true;
        m_state.Resting = false;
        m_state.OnBreak = false;
        m_state.SetStartMs = platform::wallClock().timeOfDayMs();
        m_state.SetCarryMs = m_state.SetElapsedMs;
        display::setText(pnAbschnitt, QStringLiteral("Start Rest"));
        display::setText(pClockB, QString());
        setStateColour(display::kRunning);
        ++m_state.CurrentSet;
        display::setText(pnSerie, QString::number(m_state.CurrentSet));
        display::setText(Label69, QString::number(m_state.CurrentSet));
        hideMarkers();
        BitBtn3->show();
        Button1->show();
        sStart->hide();
        ShowSetRows();
        ResetSetRowColours();
    }
}

void TForm1::Timer1Timer()
{
    guarded([this] {
        if (m_state.Resting && !m_state.Running)
            restTick();
        else if (m_state.Running)
            setTick();
    });
}

void TForm1::restTick()
{
    m_state.RestElapsedMs = elapsedSince(m_state.RestStartMs);
    display::setText(pClockB, ClockText(m_state.RestElapsedMs));
    if (CheckBox1->isChecked() && m_state.RestElapsedMs >= m_timing.RestBetweenSetsMs - 10000)
        platform::soundOutput().playWave(QStringLiteral("AnfangFro.wav"));
    if (m_state.RestElapsedMs > m_timing.RestBetweenSetsMs) {
        m_inAutoStart = true;
        try {
            setStart();
        } catch (...) {
            m_inAutoStart = false;
            stop();
            throw;
        }
        m_inAutoStart = false;
    }
}

void TForm1::setTick()
{
    m_state.SetElapsedMs = m_state.SetCarryMs + elapsedSince(m_state.SetStartMs);
    const std::int32_t d = m_state.SetElapsedMs;
    display::setText(pClock, ClockText(d));
    const int gaugeMax = gClock->maxValue();
    const int g = gaugeMax > 0 ? (d / 100) % gaugeMax : 0;

    int n = 0;
    const ClockTiming &v = m_timing;
    if (d >= 0 && d <= v.StartRestMs) {
        display::setText(pClockB, CountdownSeconds(v.StartRestMs - d));
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
        const int full1 = pnClock1->height() - 2;
        const int full2 = pnClock2->height() - 2;
        switch (pos.phase) {
        case Phase::FroPhase:
            setBarHeight(Shape1, 0, barHeight(q / 100, v.FroScale, full1));
            if (q <= 100)
                setBarHeight(Shape2, Shape2->y() - 1, 0);
            if (pnAbschnitt->text() != phaseName(Phase::FroPhase))
                enterPhase(Phase::FroPhase);
            display::setText(pClockB, f < 60000 ? CountdownSeconds(static_cast<std::int32_t>(f - q))
                                                : CountdownClock(static_cast<std::int32_t>(f - q)));
            break;
        case Phase::RestAfterFro:
            setBarHeight(Shape1, 0, full1);
            if (pnAbschnitt->text() != phaseName(Phase::RestAfterFro))
                enterPhase(Phase::RestAfterFro);
            display::setText(pClockB, CountdownSeconds(static_cast<std::int32_t>(f + rf - q)));
            break;
        case Phase::ToPhase: {
            const int height = barHeight((q - f - rf) / 100, v.ToScale, full2);
            setBarHeight(Shape2, full2 - height, height);
            if (pnAbschnitt->text() != phaseName(Phase::ToPhase))
                enterPhase(Phase::ToPhase);
            const auto left = static_cast<std::int32_t>(f + rf + t - q);
            display::setText(pClockB, t < 60000 ? CountdownSeconds(left) : CountdownClock(left));
            break;
        }
        case Phase::RestAfterTo:
            setBarHeight(Shape2, 0, full2);
            if (pnAbschnitt->text() != phaseName(Phase::RestAfterTo))
                enterPhase(Phase::RestAfterTo);
            display::setText(pClockB, CountdownSeconds(static_cast<std::int32_t>(v.CycleMs - q)));
            break;
        case Phase::StartRest:
            break;
        }
    }

    // The pie fills once per set and stands full, not empty, at each exact
    // multiple of its maximum.
    if (g != gClock->progress())
        gClock->setProgress(g == 0 && d > 0 ? gaugeMax : g);
    if (n != m_state.ShownRepetition) {
        m_state.ShownRepetition = n;
        display::setText(pnBNr, QString::number(n));
        display::setText(Label68, QString::number(n));
    }
    applySetButtonRule();
}

void TForm1::enterPhase(Phase phase)
{
    pnAbschnitt->setText(phaseName(phase));
    platform::SoundOutput &sound = platform::soundOutput();
    switch (phase) {
    case Phase::FroPhase:
        if (Tonab->isChecked())
            sound.playWave(QStringLiteral("AnfangTo.wav"));
        break;
    case Phase::RestAfterFro:
        if (EndeTo->isChecked())
            sound.beep();
        break;
    case Phase::ToPhase:
        if (Tonauf->isChecked())
            sound.playWave(QStringLiteral("AnfangFro.wav"));
        break;
    case Phase::RestAfterTo:
        if (EndeFro->isChecked())
            sound.beep();
        break;
    case Phase::StartRest:
        break;
    }
    setMarkers(phase);
}

void TForm1::setMarkers(Phase phase)
{
    display::setShown(Shape3, phase == Phase::FroPhase);
    display::setShown(Image1, phase == Phase::FroPhase);
    display::setShown(Shape4, phase == Phase::ToPhase);
    display::setShown(Image2, phase == Phase::ToPhase);
    display::setShown(Shape5, phase == Phase::RestAfterFro);
    display::setShown(Shape6, phase == Phase::RestAfterTo);
}

void TForm1::hideMarkers()
{
    setMarkers(Phase::StartRest);
}

void TForm1::setBarHeight(QWidget *bar, int top, int height)
{
    // Bars sit inside the 1-pixel lowered border of their panel.
    const QRect wanted(1, 1 + top, bar->parentWidget()->width() - 2, height);
    if (bar->geometry() != wanted)
        bar->setGeometry(wanted);
}

void TForm1::endOfSet()
{
    m_state.Running = false;
    gClock->setProgress(gClock->maxValue());
    // ">=" rather than "=": a set count lowered during a test still ends it.
    if (m_state.CurrentSet >= m_timing.SetCount) {
        stop();
        display::setShown(Shape5, false);
        display::setShown(Shape6, false);
        return;
    }
    display::setText(pnAbschnitt, QStringLiteral("Rest between Sets"));
    m_state.SetEndMark = 1;
    hideMarkers();
    setStateColour(display::kRed);
    m_state.Resting = true;
    m_state.RestStartMs = platform::wallClock().timeOfDayMs();
    m_state.RestElapsedMs = 0;
    m_state.RestMark = 1;
}

void TForm1::sStopClick()
{
    guarded([this] { stop(); });
}

void TForm1::stop()
{
    m_state.Running = false;
    m_state.Resting = false;
    m_state.OnBreak = false;
    display::setText(pClockB, QStringLiteral("BEGIN"));
    BitBtn1->show();
    display::setText(pnAbschnitt, QStringLiteral("TEST"));
    display::setShown(Shape5, false);
    display::setShown(Shape6, false);
    setStateColour(display::kStopped);
    m_state.CurrentSet = 0;
    sStart->show();
}

void TForm1::SpeedButton1Click()
{
    guarded([this] {
        if (m_state.Running) {
            // Break: the set clock stands; the set keeps its number.
            m_state.Running = false;
            m_state.Resting = false;
            m_state.OnBreak = true;
            display::setText(pClockB, QStringLiteral("Break"));
            setStateColour(display::kRed);
        } else if (m_state.OnBreak) {
            // Resume at the elapsed time of the break.
            m_state.Running = true;
            m_state.Resting = false;
            m_state.OnBreak = false;
            m_state.SetStartMs = platform::wallClock().timeOfDayMs();
            m_state.SetCarryMs = m_state.SetElapsedMs;
            display::setText(pnAbschnitt, QStringLiteral("Start Rest"));
            display::setText(pClockB, QStringLiteral("0,0"));
            setStateColour(display::kRunning);
        }
    });
}

void TForm1::setStateColour(const QColor &colour)
{
    display::setColour(pnAbschnitt, colour);
    display::setColour(pClockB, colour);
}

void TForm1::applySetButtonRule()
{
    const std::optional<int> k = setNumberOf(pnSerie->text());
    if (!k)
        return;
    for (int i = 0; i < 20; ++i)
        display::setShown(setButtons[i], i < *k);
}
