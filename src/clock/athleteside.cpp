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
            m_athleteView->setDisplay(athleteDisplay(m_procedure.display()));
            connect(&m_procedure, &ClockProcedure::displayChanged, m_athleteView,
                    [view = m_athleteView](const ProcedureDisplay &display) {
                        view->setDisplay(athleteDisplay(display));
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
        platform::screenSaver().inhibit(QStringLiteral("A test is running"));
    else
        platform::screenSaver().release();
}
