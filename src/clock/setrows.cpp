// The per-set result rows: planned time, real time and repetitions of every
// set, and the Cancel button that ends a set early.

#include "clock/display.h"
#include "core/numbertext.h"
#include "clock/palette.h"
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
        display::setColour(plannedSlots[k], palette::SlotPlain, QPalette::Base);
        display::setColour(repetitionSlots[k], palette::SlotPlain, QPalette::Base);
    }
}

void TForm1::Button1Click()
{
    guarded([this] { CancelSet(); });
}

void TForm1::CancelSet()
{
    sStart->hide();
    const std::optional<CancelledSet> cancelled = m_procedure.cancelSet();
    if (cancelled)
        writeEndedRow(*cancelled);
}

void TForm1::writeEndedRow(const CancelledSet &ended)
{
    if (ended.set < 1 || ended.set > 20)
        return;
    const int k = ended.set - 1;
    for (QLineEdit *slot : {plannedSlots[k], repetitionSlots[k], realSlots[k]}) {
        slot->show();
        display::setColour(slot, palette::SlotCancelled, QPalette::Base);
    }
    realSlots[k]->setText(floatToText(ended.realSeconds));
    repetitionSlots[k]->setText(QString::number(ended.repetition));
}

void TForm1::setEnded(int set, bool cancelled)
{
    m_outcomes.record(set, cancelled ? SetOutcome::Cancelled : SetOutcome::RanToEnd);
    updateReportButton();
}

void TForm1::setBrokenOff(const CancelledSet &broken)
{
    // A stopped set keeps what the athlete reached, never the planned values.
    writeEndedRow(broken);
    m_outcomes.record(broken.set, SetOutcome::BrokenOff, broken.realSeconds);
    updateReportButton();
}

void TForm1::setNotBegun(int set)
{
    clearResultRow(set);
    m_outcomes.record(set, SetOutcome::NotRun);
    updateReportButton();
}

void TForm1::clearResultRow(int set)
{
    if (set < 1 || set > 20)
        return;
    const int k = set - 1;
    realSlots[k]->clear();
    realSlots[k]->hide();
    repetitionSlots[k]->setText(QStringLiteral("0"));
    repetitionSlots[k]->hide();
    for (QLineEdit *slot : {plannedSlots[k], repetitionSlots[k], realSlots[k]})
        display::setColour(slot, palette::SlotPlain, QPalette::Base);
}

void TForm1::showKeptResults()
{
    if (!m_outcomes.active())
        return;
    ShowSetRows();
    for (int set = 1; set <= 20; ++set) {
        const SetOutcome outcome = m_outcomes.outcome(set);
        if (outcome != SetOutcome::Cancelled && outcome != SetOutcome::BrokenOff)
            continue;
        const int k = set - 1;
        for (QLineEdit *slot : {plannedSlots[k], repetitionSlots[k], realSlots[k]}) {
            slot->show();
            display::setColour(slot, palette::SlotCancelled, QPalette::Base);
        }
    }
}

void TForm1::ClearSetRows()
{
    m_testSave.forget();
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
