// The per-set result rows: planned time, real time and repetitions of every
// set, and the Cancel button that ends a set early.

#include "clock/display.h"
#include "clock/numbertext.h"
#include "clock/tform1.h"

#include <QToolButton>

void TForm1::ShowSetRows()
{
    const std::optional<int> sets = setNumberOf(Serien->text());
    if (!sets)
        return;
    for (int k = 0; k < *sets; ++k) {
        plannedSlots[k]->show();
        plannedSlots[k]->setText(Edit46->text());
    }
}

void TForm1::ResetSetRowColours()
{
    for (int k = 0; k < 20; ++k) {
        display::setColour(plannedSlots[k], display::kLime, QPalette::Base);
        display::setColour(repetitionSlots[k], display::kLime, QPalette::Base);
    }
}

void TForm1::Button1Click()
{
    guarded([this] { CancelSet(); });
}

void TForm1::CancelSet()
{
    sStart->hide();
    m_state.SetEndMark = 100;
    if (pClockB->text() == QLatin1String("BEGIN"))
        return;
    const std::optional<int> set = setNumberOf(pnSerie->text());
    if (!set)
        return;
    const int k = *set - 1;
    for (QLineEdit *slot : {plannedSlots[k], repetitionSlots[k], realSlots[k]}) {
        slot->show();
        display::setColour(slot, display::kRed, QPalette::Base);
    }
    // The running time after the start rest the clock used, as of the last tick.
    const double real = (std::int64_t{m_state.SetElapsedMs} - m_timing.StartRestMs) / 1000.0;
    realSlots[k]->setText(floatToText(real));
    repetitionSlots[k]->setText(pnBNr->text());
}

void TForm1::ClearSetRows()
{
    for (int k = 0; k < 20; ++k) {
        plannedSlots[k]->hide();
        realSlots[k]->hide();
        repetitionSlots[k]->hide();
    }
    if (const std::optional<int> sets = setNumberOf(Serien->text())) {
        for (int k = 0; k < *sets; ++k)
            plannedSlots[k]->setText(Edit46->text());
    }
}
