// The settings reset: the settings texts become the values the tick reads.

#include "clock/display.h"
#include "clock/piegauge.h"
#include "clock/tform1.h"
#include "platform/wallclock.h"

void TForm1::sResetClick()
{
    m_state.SetElapsedMs = 0;
    m_state.SetCarryMs = 0;
    m_state.SetEndMark = 0;
    m_state.SetStartMs = platform::wallClock().timeOfDayMs();

    const SettingsTexts texts{StartHalte->text(), Abwaerts->text(),  HalteUnten->text(),
                              Aufwaerts->text(),  HalteOben->text(), Wiederholungen->text(),
                              Serien->text(),     Pause->text()};
    const SettingsOutcome outcome = resetSettings(texts, m_timing);
    display::setText(StartHalte, outcome.texts.StartHalte);
    display::setText(Aufwaerts, outcome.texts.Aufwaerts);
    display::setText(Abwaerts, outcome.texts.Abwaerts);
    display::setText(Pause, outcome.texts.Pause);
    m_timing = outcome.timing;

    if (outcome.cycleText) {
        display::setText(eCycle, *outcome.cycleText);
        display::setText(Panel1, *outcome.cycleText);
    }
    if (outcome.tutReal)
        display::setText(TUTreal, *outcome.tutReal);
    if (outcome.tutTotal)
        display::setText(TUTtotal, *outcome.tutTotal);
    if (outcome.plannedSetTime)
        display::setText(Edit46, *outcome.plannedSetTime);
    if (outcome.completed) {
        gClock->setMaxValue(m_timing.GaugeMax);
        setBarHeight(Shape1, 0, 0);
        setBarHeight(Shape2, 0, 0);
        m_state.ShownRepetition = -1;
        m_state.RestMark = 0;
    }
}
