// The clock window's side for the athlete: the athlete view, the spoken
// cues, and the screen held on while a test runs.

#include "clock/athleteview.h"
#include "clock/tform1.h"
#include "platform/screensaver.h"
#include "platform/speech.h"

#include <QCheckBox>
#include <QPushButton>

void TForm1::connectAthleteSide()
{
    connect(AthleteViewButton, &QPushButton::toggled, this, &TForm1::AthleteViewButtonToggled);
    connect(&m_procedure, &ClockProcedure::cueDue, this, &TForm1::speakCue);
}

void TForm1::AthleteViewButtonToggled(bool checked)
{
    guarded([this, checked] {
        if (!checked) {
            if (m_athleteView)
                m_athleteView->close();
            return;
        }
        if (!m_athleteView) {
            // A window of its own with this window as its parent, so that its
            // keys reach it while this window is modal.
            m_athleteView = new AthleteView(this);
            m_athleteView->setDisplay(athleteDisplay(m_procedure.display(), athleteExtras()));
            connect(&m_procedure, &ClockProcedure::displayChanged, m_athleteView,
                    [this](const ProcedureDisplay &display) {
                        m_athleteView->setDisplay(athleteDisplay(display, athleteExtras()));
                    });
            // Esc or the window's own close button.
            connect(m_athleteView, &AthleteView::closed, AthleteViewButton,
                    [this] { AthleteViewButton->setChecked(false); });
            // F5 to F8 act there as here, and only where the buttons would.
            installProcedureKeys(m_athleteView);
        }
        m_athleteView->openBeside(this);
    });
}

AthleteExtras TForm1::athleteExtras() const
{
    AthleteExtras extras;
    const ProcedureState &s = m_procedure.state();
    if (s.Resting)
        extras.restLeftMs = static_cast<std::int32_t>(m_procedure.timing().RestBetweenSetsMs) - s.RestElapsedMs;
    // The sets of a test on hand that ran, as the result rows hold them.
    for (int k = 1; k <= 20; ++k) {
        const SetOutcome outcome = m_outcomes.outcome(k);
        if (outcome == SetOutcome::NotRun)
            continue;
        const bool full = outcome == SetOutcome::RanToEnd;
        const QString time = full ? Edit46->text() : realSlots[k - 1]->text();
        const QString reps = full ? QString::number(m_procedure.timing().RepetitionCount)
                                  : repetitionSlots[k - 1]->text();
        extras.results << tr("Set %1: %2 s, %3 rep.").arg(k).arg(time, reps);
    }
    return extras;
}

void TForm1::speakCue(const ProcedureCue &cue)
{
    if (!SpeakBox->isChecked() || !SpeakBox->isEnabled())
        return;
    const ClockTiming &t = m_procedure.timing();
    m_speaker.add(spokenEvents(cue, t.RepetitionCount, t.RestBetweenSetsMs));
}

void TForm1::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    settleTickedDisplays();
    // The speech engine is looked for when the window first shows, not when
    // the program starts; where there is none the box says why.
    if (!m_speechLookedUp) {
        m_speechLookedUp = true;
        const platform::Speech &speech = platform::speech();
        SpeakBox->setEnabled(speech.isAvailable());
        if (!speech.isAvailable()) {
            SpeakBox->setChecked(false);
            SpeakBox->setToolTip(speech.unavailableReason());
        }
    }
}

void TForm1::done(int result)
{
    if (!m_closeSettled && !settleRunningTest())
        return;
    // "Close" puts the test away: its view closes and the screen may blank.
    m_closed = true;
    if (m_athleteView)
        m_athleteView->close();
    holdScreen(false);
    QDialog::done(result);
}

void TForm1::holdScreen(bool on)
{
    if (on == m_screenHeld)
        return;
    m_screenHeld = on;
    if (on)
        platform::screenSaver().inhibit(tr("A test is running"));
    else
        platform::screenSaver().release();
}
