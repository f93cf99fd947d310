// The settings reset: the settings texts become the values the tick reads.

#include "clock/display.h"
#include "clock/tform1.h"

void TForm1::sResetClick()
{
    guarded([this] { m_procedure.resetButton(); });
}

void TForm1::settingsRead(const SettingsOutcome &outcome)
{
    display::setText(StartHalte, outcome.texts.StartHalte);
    display::setText(Aufwaerts, outcome.texts.Aufwaerts);
    display::setText(Abwaerts, outcome.texts.Abwaerts);
    display::setText(Pause, outcome.texts.Pause);
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
