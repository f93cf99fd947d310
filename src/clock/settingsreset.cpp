// The settings reset: the settings texts become the values the tick reads.

#include "clock/display.h"
#include "clock/piegauge.h"
#include "clock/tform1.h"
#include "platform/wallclock.h"

void TForm1::sResetClick()
{
    guarded([this] {
        if (const std::optional<QString> failure = settingsReset()) {
            stop();
            showMessage(*failure);
        }
    });
}

std::optional<QString> TForm1::settingsReset()
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
    }
    // The marks of the set clock start afresh however far the reset came, so
    // that a set after a failed reset still ends by its time.
    m_state.ShownRepetition = -1;
    m_state.RestMark = 0;
    if (outcome.failure)
        return settingsFailureMessage(*outcome.failure);
    return std::nullopt;
}

void TForm1::updateSettingHint(QLineEdit *field)
{
    // The field's own tooltip comes back when the text reads as it looks.
    const char *const plainTip = "plainToolTip";
    if (!field->property(plainTip).isValid())
        field->setProperty(plainTip, field->toolTip());
    const QString hint = settingHint(field->objectName(), field->text());
    const QString tip = hint.isEmpty() ? field->property(plainTip).toString() : hint;
    if (field->toolTip() != tip)
        field->setToolTip(tip);
    const QString frame = hint.isEmpty() ? QString()
                                         : QStringLiteral("QLineEdit { border: 2px solid rgb(255, 0, 0); }");
    if (field->styleSheet() != frame)
        field->setStyleSheet(frame);
}
