// "Report..." in the result area: the report of the test in the window, also
// before it is saved, once a set has a result.

#include "model/records.h"
#include "clock/tform1.h"
#include "model/progress.h"
#include "report/reportpage.h"
#include "report/reportpreview.h"
#include "core/numbertext.h"
#include "store/storeaction.h"
#include "store/layout.h"
#include "store/records.h"
#include "store/testnotes.h"
#include "store/testreader.h"
#include "store/trainingtables.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <limits>

namespace {

// Calls back when a widget is shown or hidden, also while its window is hidden.
class VisibilityWatch : public QObject {
public:
    VisibilityWatch(QObject *parent, std::function<void()> changed)
        : QObject(parent), m_changed(std::move(changed)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
            m_changed();
        return false;
    }

private:
    std::function<void()> m_changed;
};

} // namespace

QPushButton *TForm1::buildReportButton(QWidget *parent)
{
    ReportButton = new QPushButton(tr("Report..."), parent);
    ReportButton->setObjectName(QStringLiteral("ReportButton"));
    ReportButton->setToolTip(tr("Print the test or save it as PDF"));
    ReportButton->setEnabled(false);
    connect(ReportButton, &QPushButton::clicked, this, &TForm1::ReportButtonClick);

    for (QLineEdit *slot : realSlots)
        connect(slot, &QLineEdit::textChanged, this, &TForm1::updateReportButton);
    // "Save Data " stands for a test not yet saved: it shows at a set start
    // and goes with the save or the window's activation.
    BitBtn3->installEventFilter(new VisibilityWatch(this, [this] { updateReportButton(); }));
    return ReportButton;
}

void TForm1::updateReportButton()
{
    if (!ReportButton)
        return;
    bool result = false;
    for (int set = 1; set <= 20; ++set)
        result = result || m_outcomes.outcome(set) != SetOutcome::NotRun;
    for (const QLineEdit *slot : realSlots)
        result = result || !slot->text().isEmpty();
    ReportButton->setEnabled(result && BitBtn3->isVisibleTo(this));
}

QStringList TForm1::reportRecord() const
{
    // The sets that ended get their planned values as the save gives them;
    // the sets still to come stay as they stand, and so read as not run.
    const SetResults results = completedResults();
    store::TestRecord record = testRecord(results);
    record.profileNumber = tryTextToInt(Edit48->text()).value_or(0);
    return store::testFields(record);
}

report::TestReport TForm1::unsavedReportContent()
{
    const QStringList record = reportRecord();
    store::Table &table = tables().TestTable;
    const QString name = Edit39->text(), surname = Edit40->text(), exercise = Edit51->text();
    store::Table &profiles = tables().ProfilTable;
    std::optional<QString> profileName;
    int invalid = 0;
    const QList<QStringList> earlier = store::runStoreAction({&table}, [&] {
        table.open();
        store::SqliteTestReader reader(table);
        if (profiles.isOpen()) {
            reader.readProfilesFrom(profiles);
            if (const std::optional<qint32> profile = tryTextToInt(Edit48->text()))
                profileName = reader.profileName(*profile);
        }
        QList<QStringList> tests = reader.athleteTests(name, surname, exercise, std::numeric_limits<qint64>::max());
        // As in the report of a stored test: the tests marked invalid are
        // left out of the chart and counted.
        invalid = int(data::leaveOutInvalidTests(tests, store::readTestNotes(table.database())).size());
        return tests;
    });
    report::TestReport content = report::makeTestReport(record, earlier, false, report::programLocale());
    content.profileName = profileName.value_or(report::dash());
    // The note, tester and mark as typed: the save stores them so.
    const QString note = NoteEdit->text().trimmed();
    const QString tester = TesterEdit->text().trimmed();
    content.note = note.isEmpty() ? report::dash() : note;
    content.tester = tester.isEmpty() ? report::dash() : tester;
    content.valid = !InvalidBox->isChecked();
    content.invalidLeftOut = invalid;
    return content;
}

report::ReportPage TForm1::unsavedReport()
{
    return report::ReportPage(unsavedReportContent());
}

void TForm1::ReportButtonClick()
{
    guarded([this] { report::showReportPreview(this, unsavedReport(), tables().folder()); });
}
