// The clock window's actions on the tables: saving a test, the profiles and
// the athletes.

#include "clock/display.h"
#include "core/numbertext.h"
#include "model/records.h"
#include "model/testdate.h"
#include "clock/tform1.h"
#include "platform/messages.h"
#include "platform/stationsettings.h"
#include "core/wallclock.h"
#include "store/records.h"
#include "store/storeaction.h"
#include "store/testnotes.h"
#include "store/trainingtables.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QScopeGuard>
#include <QPushButton>
#include <QToolButton>

namespace {

QString selectedLine(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentItem();
    return item ? item->text() : QString();
}

// Finds the record a pick-list line names.  A line that names no record any
// more (deleted in the data window since the list was filled) ends the choice
// with a message before anything is copied; a line without a number is left
// to the caller's conversion.  `gone` is that message, %1 the number.
void requireListedRecord(store::Table &table, const QString &line, const char *gone)
{
    const std::optional<std::int32_t> key = tryListLineKey(line);
    if (key && !table.findKey(*key))
        throw core::Failure(QCoreApplication::translate("TForm1", gone).arg(*key));
}

} // namespace

store::TrainingTables &TForm1::tables()
{
    if (!m_tables)
        throw core::Failure(tr("The tables are not open."));
    return *m_tables;
}

void TForm1::openTestTable()
{
    if (m_tables)
        m_tables->TestTable.open();
}

// Saving a test --------------------------------------------------------------

void TForm1::SpeedButton3Click()
{
    guarded([this] { saveTest(); });
}

SetResults TForm1::completedResults() const
{
    SetResults results;
    for (int k = 0; k < 20; ++k) {
        results.realTimes << realSlots[k]->text();
        results.repetitions << repetitionSlots[k]->text();
    }
    QStringList planned;
    for (const QLineEdit *slot : plannedSlots)
        planned << slot->text();
    completeSetResults(results, Serien->text(), Edit46->text(), planned, Wiederholungen->text(),
                       m_outcomes.unfinished());
    return results;
}

store::TestSettings TForm1::testSettings() const
{
    return {StartHalte->text(), Abwaerts->text(),       Aufwaerts->text(), HalteUnten->text(),
            HalteOben->text(),  Wiederholungen->text(), Serien->text(),    Pause->text()};
}

store::TestRecord TForm1::testRecord(const SetResults &results) const
{
    store::TestRecord record;
    record.date = Edit37->text();
    record.name = Edit39->text();
    record.surname = Edit40->text();
    record.bodyweight = Edit38->text();
    record.height = Edit41->text();
    record.exercise = Edit51->text();
    record.load = Edit52->text();
    for (int k = 0; k < 20; ++k) {
        record.realTimes[k] = results.realTimes.value(k);
        record.repetitions[k] = results.repetitions.value(k);
    }
    record.settings = testSettings();
    record.tutTotal = TUTtotal->text();
    record.tutReal = TUTreal->text();
    return record;
}

void TForm1::saveTest()
{
    m_saving = true;
    const auto saved = qScopeGuard([this] { m_saving = false; });
    // A set still in progress ends here with what it reached, as on a stop.
    if (m_procedure.setInProgress())
        m_procedure.stop();

    // Step 1: the sets that ran to their end get their planned values; sets
    // broken off or never run keep what they hold.
    const SetResults results = completedResults();
    for (int k = 0; k < 20; ++k) {
        display::setText(realSlots[k], results.realTimes[k]);
        display::setText(repetitionSlots[k], results.repetitions[k]);
    }

    // Step 2: one new record.
    store::Table &table = tables().TestTable;
    store::runStoreAction({&table}, [&] { table.open(); });
    // The box's closing runs the window's activation: the date is the one
    // read before it, the settings are read after it (the reset behind it
    // writes them in their own form), and the results are the ones completed
    // above, which the reset must not take away.
    const QString date = Edit37->text();
    const std::int32_t profile = textToInt(Edit48->text());
    const bool windowReset = profile < 1;
    if (windowReset)
        showMessage(tr("Couldn't find  Testnr."));
    store::TestRecord record = testRecord(results);
    record.date = date;
    record.profileNumber = profile;
    record.saveId = m_testSave.idFor(store::testFields(record));
    qint64 key = 0;
    try {
        key = store::runStoreAction({&table}, [&] { return store::appendTest(table, record); });
    } catch (...) {
        // Nothing was stored: the results go back where the user can save
        // them again, even when the box's activation had cleared them.
        if (windowReset) {
            for (int k = 0; k < 20; ++k) {
                display::setText(realSlots[k], results.realTimes[k]);
                display::setText(repetitionSlots[k], results.repetitions[k]);
            }
            BitBtn3->show();
        }
        throw;
    }
    // The note goes with the stored test; a note that cannot be stored
    // leaves the test stored and is said.  An empty one still clears what a
    // test deleted earlier under this number may have left.
    QString noteFailure;
    const QString tester = TesterEdit->text().trimmed();
    const store::TestNote note{NoteEdit->text().trimmed(), !InvalidBox->isChecked(), tester};
    TesterEdit->setText(tester);
    platform::rememberTester(tester);
    try {
        store::runStoreAction({&table}, [&] { store::storeTestNote(table, key, note); });
    } catch (const core::Failure &failure) {
        noteFailure = failure.message();
    }
    NoteEdit->clear();
    InvalidBox->setChecked(false);
    table.close();
    m_outcomes.clear();
    m_testSave.forget();
    emit recordStored(tr("Test %1 saved").arg(key));
    if (!noteFailure.isEmpty())
        showMessage(noteFailure);

    // Step 3: back to the starting state.
    BitBtn1->show();
    BitBtn3->hide();
    for (QToolButton *button : setButtons)
        button->hide();
    m_procedure.hideSetButtons();
    ClearSetRows();
    FormActivate();
}

// Profiles -------------------------------------------------------------------

void TForm1::BitBtn5Click()
{
    guarded([this] {
        ClearSetRows();
        ListBox1->clear();
        BitBtn6->show();
        ListBox1->show();
        placeOverlays();
        store::Table &table = tables().ProfilTable;
        table.open();
        table.first();
        while (!table.eof()) {
            ListBox1->addItem(profileListLine(table.fieldText(QStringLiteral("Nr")),
                                              table.fieldText(QStringLiteral("Profil")),
                                              table.fieldText(QStringLiteral("Exercise"))));
            table.next();
        }
        // The table stays open: choosing a line finds the profile in it.
    });
}

void TForm1::ListBox1Click()
{
    guarded([this] {
        const QString line = selectedLine(ListBox1);
        store::Table &table = tables().ProfilTable;
        // A profile deleted since the list was filled changes nothing.
        requireListedRecord(
            table, line, QT_TRANSLATE_NOOP("TForm1", "The profile %1 is no longer stored. Open the list again to choose another."));
        Edit47->setText(QStringLiteral("NN"));
        Edit51->setText(QStringLiteral("NN"));
        for (QLineEdit *field : {StartHalte, Abwaerts, Aufwaerts, HalteUnten, HalteOben, Wiederholungen,
                                 Serien, Pause})
            field->setText(QStringLiteral("1"));
        Edit48->clear();

        table.findKey(listLineKey(line));
        const struct {
            const char *field;
            QLineEdit *edit;
        } copies[] = {
            {"Nr", Edit48},          {"Load", Edit52},        {"Profil", Edit47},
            {"Exercise", Edit51},    {"Startrest", StartHalte}, {"FroPhase", Abwaerts},
            {"ToPhase", Aufwaerts},  {"RestafterFro", HalteUnten}, {"RestafterTo", HalteOben},
            {"Rep", Wiederholungen}, {"Sets", Serien},        {"RestSets", Pause},
        };
        for (const auto &copy : copies)
            copy.edit->setText(table.fieldText(QString::fromLatin1(copy.field)));

        const struct {
            QLineEdit *edit;
            const char *fallback;
        } fallbacks[] = {
            {Edit47, "NN"},    {Edit51, "NN"},         {StartHalte, "1"}, {Abwaerts, "1"}, {Aufwaerts, "1"},
            {HalteUnten, "1"}, {HalteOben, "1"},       {Wiederholungen, "1"}, {Serien, "1"}, {Pause, "5"},
        };
        for (const auto &fallback : fallbacks) {
            if (fallback.edit->text().isEmpty())
                fallback.edit->setText(QString::fromLatin1(fallback.fallback));
        }
        ListBox1->hide();
    });
}

void TForm1::BitBtn2Click()
{
    guarded([this] {
        if (textToInt(Edit48->text()) < 1)
            showMessage(tr("Couldn't find  Testnr."));
        store::Table &table = tables().ProfilTable;
        table.open();
        store::ProfileRecord record;
        if (!Edit47->text().isEmpty())
            record.profile = Edit47->text();
        else
            showMessage(tr("Couldn't find  Profil Name."));
        record.exercise = Edit51->text();
        record.load = Edit52->text();
        record.settings = testSettings();
        record.saveId = m_profileSave.idFor(store::profileFields(record));
        const qint64 number = store::appendProfile(table, record);
        m_profileSave.forget();
        table.close();
        emit recordStored(tr("Profile %1 saved").arg(number));
        ListBox1->hide();
        ListBox2->hide();
        BitBtn6->hide();
    });
}

void TForm1::BitBtn6Click()
{
    guarded([this] {
        BitBtn6->hide();
        ListBox1->hide();
        ListBox2->hide();
    });
}

void TForm1::Edit37Click()
{
    guarded([this] {
        // A fixed form, whatever the user's date settings.
        Edit37->setText(data::testDateText(platform::wallClock().today()));
    });
}

// Athletes -------------------------------------------------------------------

void TForm1::BitBtn4Click()
{
    guarded([this] {
        BitBtn6->show();
        ListBox2->clear();
        ListBox2->show();
        placeOverlays();
        store::Table &table = tables().SPTable;
        table.open();
        table.first();
        while (!table.eof()) {
            ListBox2->addItem(athleteListLine(
                table.fieldText(QStringLiteral("Nr")), table.fieldText(QStringLiteral("Name")),
                table.fieldText(QStringLiteral("Surname")), table.fieldText(QStringLiteral("Bodyweight")),
                table.fieldText(QStringLiteral("Height"))));
            table.next();
        }
    });
}

void TForm1::ListBox2Click()
{
    guarded([this] {
        const QString line = selectedLine(ListBox2);
        store::Table &table = tables().SPTable;
        requireListedRecord(
            table, line, QT_TRANSLATE_NOOP("TForm1", "The athlete %1 is no longer stored. Open the list again to choose another."));
        table.findKey(listLineKey(line));
        Edit38->setText(table.fieldText(QStringLiteral("Bodyweight")));
        Edit39->setText(table.fieldText(QStringLiteral("Name")));
        Edit40->setText(table.fieldText(QStringLiteral("Surname")));
        Edit41->setText(table.fieldText(QStringLiteral("Height")));
        ListBox2->hide();
        display::setText(Panel1, eCycle->text());
    });
}

void TForm1::BitBtn7Click()
{
    guarded([this] {
        if (Edit39->text().isEmpty()) {
            platform::messageBoxes().titled(this, tr("Error"), tr("Please insert athlet data"));
            return;
        }
        store::Table &table = tables().SPTable;
        table.open();
        store::AthleteRecord record;
        record.name = Edit39->text();
        record.surname = Edit40->text();
        record.bodyweight = Edit38->text();
        record.height = Edit41->text();
        record.saveId = m_athleteSave.idFor(store::athleteFields(record));
        const qint64 number = store::appendAthlete(table, record);
        m_athleteSave.forget();
        emit recordStored(tr("Athlete %1 saved").arg(number));
        ListBox1->hide();
        ListBox2->hide();
        BitBtn6->hide();
    });
}
