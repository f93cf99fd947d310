// The clock window on real tables: opening, choosing and saving profiles and
// athletes, the date field, and storing a test, down to the exported line.

#include "store/analysisviews.h"
#include "store/testnotes.h"
#include "clock/palette.h"
#include "clockwindowfixture.h"
#include "data/tform4.h"
#include "core/errors.h"
#include "store/layout.h"
#include "store/trainingtables.h"
#include "support/pgserver.h"

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>
#include <QToolButton>

#include <cstdio>
#include <memory>
#include <optional>

using Fields = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Fields)

namespace {

// A fresh set of the three tables in a folder of their own.
struct Tables {
    QTemporaryDir dir;
    store::TrainingTables tables{dir.path()};
    Tables() { tables.openAll(); }
};

// Adds a record through the store, as the windows do.
void addRecord(store::Table &table, const Fields &values)
{
    table.open();
    table.append();
    for (const auto &[name, value] : values)
        table.setFieldText(name, value);
    table.post();
}

// Adds a record with a key of our choosing, which the store never assigns.
void insertWithKey(store::Table &table, qint64 key, const Fields &values)
{
    QStringList names{QStringLiteral("Nr")};
    QStringList marks{QStringLiteral("?")};
    for (const auto &value : values) {
        names << value.first;
        marks << QStringLiteral("?");
    }
    QSqlQuery query(table.database());
    QVERIFY(query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                              .arg(table.tableName(), names.join(u','), marks.join(u','))));
    query.addBindValue(key);
    for (const auto &value : values)
        query.addBindValue(value.second);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

// What the file holds, read past the store: every record as name/text pairs
// in field order, by ascending key.
QList<Fields> storedRecords(const store::Table &table)
{
    QList<Fields> records;
    QSqlQuery query(table.database());
    const QString key = table.layout().key().name;
    if (!query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table.tableName(), key))) {
        qWarning() << query.lastError().text();
        return records;
    }
    while (query.next()) {
        Fields record;
        for (int i = 0; i < table.layout().fields.size(); ++i)
            record << qMakePair(table.layout().fields.at(i).name, store::textForm(query.value(i)));
        records << record;
    }
    return records;
}

QString valueOf(const Fields &record, const QString &name)
{
    for (const auto &[field, value] : record) {
        if (field.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return QStringLiteral("<no field %1>").arg(name);
}

QStringList lines(const QListWidget *list)
{
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->item(i)->text();
    return all;
}

int rowStartingWith(const QListWidget *list, const QString &start)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text().startsWith(start))
            return i;
    }
    return -1;
}

bool shown(const TForm1 &form, const QWidget *widget)
{
    return widget->isVisibleTo(&form);
}

QLineEdit *field(const TForm1 &form, const QString &name)
{
    return form.findChild<QLineEdit *>(name);
}

// Makes the store refuse every new record of a table, the way a database
// rule would, until released.
class RefusingRule {
public:
    explicit RefusingRule(store::Table &table)
        : m_table(table)
    {
        QSqlQuery query(table.database());
        if (!query.exec(QStringLiteral("CREATE TRIGGER refuse_new BEFORE INSERT ON %1 "
                                       "BEGIN SELECT RAISE(ABORT, 'new records refused'); END")
                            .arg(table.tableName())))
            qFatal("%s", qPrintable(query.lastError().text()));
    }
    ~RefusingRule() { release(); }
    void release()
    {
        if (m_released)
            return;
        m_released = true;
        QSqlQuery query(m_table.database());
        query.exec(QStringLiteral("DROP TRIGGER refuse_new"));
    }

private:
    store::Table &m_table;
    bool m_released = false;
};

// Another connection that holds the file's write lock until released.
class FileLock {
public:
    explicit FileLock(const store::Table &table)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(table.filePath());
        if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE")))
            qFatal("cannot lock %s", qPrintable(table.filePath()));
    }
    ~FileLock() { release(); }
    void release()
    {
        if (m_released)
            return;
        m_released = true;
        {
            QSqlDatabase db = QSqlDatabase::database(kName, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(kName);
    }

private:
    static inline const QString kName = QStringLiteral("test-file-lock");
    bool m_released = false;
};

// A test as the window would show it after a run: three sets, set 2 without
// its time, set 3 without its repetitions, planned set time "8", 4 repetitions.
void fillThreeSetResults(TForm1 &form)
{
    form.Serien->setText(QStringLiteral("3"));
    form.Wiederholungen->setText(QStringLiteral("4"));
    form.Edit46->setText(QStringLiteral("8"));
    form.realSlots[0]->setText(QStringLiteral("4,2"));
    form.realSlots[1]->setText(QString());
    form.realSlots[2]->setText(QStringLiteral("6,1"));
    form.repetitionSlots[0]->setText(QStringLiteral("2"));
    form.repetitionSlots[1]->setText(QStringLiteral("3"));
    form.repetitionSlots[2]->setText(QStringLiteral("0"));
    form.BitBtn3->show();
}

void pressSaveData(TForm1 &form)
{
    QVERIFY(shown(form, form.BitBtn3));
    form.BitBtn3->click();
}

// A save whose answer never came: the record reaches the server, and the
// station hears of a broken connection.  The begun record is stored through
// a second station under the same save identity before the post fails.
void loseTheFirstAnswer(store::Table &table, store::Table &secondStation)
{
    auto spent = std::make_shared<bool>(false);
    table.setBeforeWrite([&table, &secondStation, spent] {
        if (*spent)
            return;
        *spent = true;
        const auto storeAtTheSecondStation = [&table, &secondStation] {
            secondStation.open();
            secondStation.append();
            const store::Layout &layout = table.layout();
            for (int i = 1; i < layout.fields.size(); ++i) {
                const QString text = table.fieldText(layout.fields.at(i).name);
                if (!text.isEmpty())
                    secondStation.setFieldText(layout.fields.at(i).name, text);
            }
            secondStation.setSaveId(table.saveId());
            secondStation.post();
        };
        // A save on a server runs on a thread of its own; the second
        // station's connection belongs to the main thread.
        if (QThread::currentThread() == qApp->thread())
            storeAtTheSecondStation();
        else
            QMetaObject::invokeMethod(qApp, storeAtTheSecondStation, Qt::BlockingQueuedConnection);
        throw core::Failure(QStringLiteral("the connection to the server broke"));
    });
}

const QString kTestnrMessage = QStringLiteral("inform:Couldn't find  Testnr.");
const QString kNameMessage = QStringLiteral("inform:Couldn't find  Profil Name.");

} // namespace

class TestStoreActions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    // Profiles.
    void emptyTablesGiveEmptyLists();
    void profileListInKeyOrder();
    void loadingCopiesWithFallbacks_data();
    void loadingCopiesWithFallbacks();
    void keyIsTheLeadingNumber_data();
    void keyIsTheLeadingNumber();
    void lineWithoutANumberKeepsPlaceholders();
    void saveProfileStoresTheWorkingCopy();
    void saveProfileMessages_data();
    void saveProfileMessages();
    void saveProfileWithBadNumberStoresNothing_data();
    void saveProfileWithBadNumberStoresNothing();
    void refusedProfileIsDropped();
    void dateClickIsFixedForm_data();
    void dateClickIsFixedForm();

    // Athletes.
    void athleteList();
    void choosingAnAthleteCopiesOnlyItsFields();
    void athleteLineWithoutANumberChangesNothing();
    void saveAthleteWithoutNameChangesNothing();
    void saveAthlete_data();
    void saveAthlete();
    void refusedAthleteIsDropped();

    // Saving a test.
    void savedTestReadBack();
    void noteIsStoredWithTheTest_data();
    void noteIsStoredWithTheTest();
    void completionBeforeStoring_data();
    void completionBeforeStoring();
    void profileNumberBelowOneKeepsResults_data();
    void profileNumberBelowOneKeepsResults();
    void profileNumberNotANumberStoresNothing_data();
    void profileNumberNotANumberStoresNothing();
    void refusedTestLeavesNoRecord_data();
    void refusedTestLeavesNoRecord();
    void removedOrReplacedFileKeepsTheResults_data();
    void removedOrReplacedFileKeepsTheResults();
    void wholeTestToExport();
    void endedSetsStoreWhatRan_data();
    void endedSetsStoreWhatRan();
    void askedBeforeResultsAreCleared_data();
    void askedBeforeResultsAreCleared();
    void falseStartStoresNothing_data();
    void falseStartStoresNothing();
    void saveAfterALostAnswer_data();
    void saveAfterALostAnswer();
    void questionHoldsTheTest_data();
    void questionHoldsTheTest();
    void keptResultsShownOnReopening_data();
    void keptResultsShownOnReopening();

private:
    QLocale m_locale;
    QTemporaryDir m_settings;
    std::unique_ptr<testsupport::PostgresServer> m_server;
};

void TestStoreActions::initTestCase()
{
    m_locale = QLocale();
    // Never the user's own settings.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
}

void TestStoreActions::cleanup()
{
    QLocale::setDefault(m_locale);
}

// Profiles -------------------------------------------------------------------

void TestStoreActions::emptyTablesGiveEmptyLists()
{
    Tables t;
    ClockWindowFixture f(&t.tables);
    f.form->BitBtn5->click();
    QCOMPARE(f.form->ListBox1->count(), 0);
    QVERIFY(shown(*f.form, f.form->ListBox1));
    QVERIFY(shown(*f.form, f.form->BitBtn6));
    f.form->BitBtn4->click();
    QCOMPARE(f.form->ListBox2->count(), 0);
    QVERIFY(shown(*f.form, f.form->ListBox2));
    QCOMPARE(f.platform.boxes.shown, QStringList());
    // Nothing to choose: the working copy is as it was.
    QCOMPARE(f.form->Edit47->text(), QStringLiteral("Bench"));
    QCOMPARE(f.form->Edit48->text(), QStringLiteral(" 1"));
}

void TestStoreActions::profileListInKeyOrder()
{
    Tables t;
    insertWithKey(t.tables.ProfilTable, 50, {{"Profil", "Endurance"}, {"Exercise", "Squat"}});
    insertWithKey(t.tables.ProfilTable, 7, {{"Profil", "Bench"}, {"Exercise", "Press"}});
    insertWithKey(t.tables.ProfilTable, 123, {{"Profil", "Maximalkraft-Test"}, {"Exercise", ""}});
    ClockWindowFixture f(&t.tables);
    f.form->Serien->setText(QStringLiteral("2"));
    f.form->plannedSlots[0]->show();
    f.form->realSlots[1]->show();

    f.form->BitBtn5->click();
    QCOMPARE(lines(f.form->ListBox1), (QStringList{"  7 /      Bench/      Press",
                                                   " 50 /  Endurance/      Squat",
                                                   "123 / Maximalkraft-Test/           "}));
    // The result slots were cleared away first.
    QVERIFY(!shown(*f.form, f.form->plannedSlots[0]));
    QVERIFY(!shown(*f.form, f.form->realSlots[1]));
    QVERIFY(t.tables.ProfilTable.isOpen());

    // Opening again lists the same lines once.
    f.form->BitBtn5->click();
    QCOMPARE(f.form->ListBox1->count(), 3);
}

void TestStoreActions::loadingCopiesWithFallbacks_data()
{
    QTest::addColumn<Fields>("stored");
    QTest::addColumn<Fields>("expected");

    const Fields full{{"Profil", "Bench"},     {"Exercise", "Press"},  {"Load", "60"},
                      {"StartRest", "2"},      {"FroPhase", "3"},      {"ToPhase", "4"},
                      {"RestafterFro", "5"},   {"RestafterTo", "6"},   {"Rep", "7"},
                      {"Sets", "8"},           {"RestSets", "9,5"}};
    QTest::newRow("every field")
        << full
        << Fields{{"Edit48", "1"},      {"Edit47", "Bench"},    {"Edit51", "Press"},      {"Edit52", "60"},
                  {"StartHalte", "2"},  {"Abwaerts", "3"},      {"Aufwaerts", "4"},       {"HalteUnten", "5"},
                  {"HalteOben", "6"},   {"Wiederholungen", "7"}, {"Serien", "8"},         {"Pause", "9,5"}};
    QTest::newRow("nothing stored: fallbacks, the load emptied")
        << Fields{}
        << Fields{{"Edit48", "1"},      {"Edit47", "NN"},       {"Edit51", "NN"},         {"Edit52", ""},
                  {"StartHalte", "1"},  {"Abwaerts", "1"},      {"Aufwaerts", "1"},       {"HalteUnten", "1"},
                  {"HalteOben", "1"},   {"Wiederholungen", "1"}, {"Serien", "1"},         {"Pause", "5"}};
    Fields noRest = full;
    noRest.last().second = QString();
    QTest::newRow("empty rest between sets falls back to 5")
        << noRest << Fields{{"Pause", "5"}, {"Serien", "8"}, {"Edit47", "Bench"}};
    QTest::newRow("stored texts arrive unchanged")
        << Fields{{"Profil", " Bench "}, {"Exercise", "Press"}, {"Load", "62,5"}, {"StartRest", "1.5"},
                  {"Sets", "03"}, {"Rep", " 4"}}
        << Fields{{"Edit47", " Bench "}, {"Edit52", "62,5"}, {"StartHalte", "1.5"}, {"Serien", "03"},
                  {"Wiederholungen", " 4"}, {"Pause", "5"}, {"Abwaerts", "1"}};
}

void TestStoreActions::loadingCopiesWithFallbacks()
{
    QFETCH(Fields, stored);
    QFETCH(Fields, expected);
    Tables t;
    addRecord(t.tables.ProfilTable, stored);
    ClockWindowFixture f(&t.tables);
    // Texts from before the load, which it must not leave behind.
    f.form->Edit52->setText(QStringLiteral("99"));
    for (QLineEdit *edit : {f.form->StartHalte, f.form->Abwaerts, f.form->Aufwaerts, f.form->HalteUnten,
                            f.form->HalteOben, f.form->Wiederholungen, f.form->Serien, f.form->Pause})
        edit->setText(QStringLiteral("7,7"));

    f.form->BitBtn5->click();
    QCOMPARE(f.form->ListBox1->count(), 1);
    f.form->ListBox1->setCurrentRow(0);
    for (const auto &[name, text] : expected) {
        QLineEdit *edit = field(*f.form, name);
        QVERIFY2(edit, qPrintable(name));
        QVERIFY2(edit->text() == text, qPrintable(name + QStringLiteral(": ") + edit->text()));
    }
    QVERIFY(!shown(*f.form, f.form->ListBox1));
    QVERIFY(shown(*f.form, f.form->BitBtn6));
    QCOMPARE(f.platform.boxes.shown, QStringList());
}

void TestStoreActions::keyIsTheLeadingNumber_data()
{
    QTest::addColumn<int>("chosenFirst");   // -1: none
    QTest::addColumn<int>("chosen");
    QTest::addColumn<bool>("deleted");      // removed after the list was filled
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<QString>("message");

    QTest::newRow("one digit") << -1 << 5 << false << "5" << "";
    QTest::newRow("three digits") << -1 << 100 << false << "100" << "";
    QTest::newRow("four digits") << -1 << 1000 << false << "1000" << "";
    QTest::newRow("1234") << -1 << 1234 << false << "1234" << "";
    // The working copy of the first choice stays; nothing of another record comes in.
    QTest::newRow("deleted since listing") << 5 << 1234 << true << "5"
                                           << "error:The profile 1234 is no longer stored. "
                                              "Open the list again to choose another.";
}

void TestStoreActions::keyIsTheLeadingNumber()
{
    QFETCH(int, chosenFirst);
    QFETCH(int, chosen);
    QFETCH(bool, deleted);
    QFETCH(QString, loaded);
    QFETCH(QString, message);
    Tables t;
    for (int key : {5, 100, 1000, 1234, 2000})
        insertWithKey(t.tables.ProfilTable, key,
                      {{"Profil", QStringLiteral("P%1").arg(key)}, {"Exercise", "Press"}, {"Rep", QString::number(key)}});
    ClockWindowFixture f(&t.tables);
    f.form->BitBtn5->click();
    QCOMPARE(f.form->ListBox1->item(2)->text(), QStringLiteral("1000 /      P1000/      Press"));
    const auto rowOf = [&](int key) {
        return rowStartingWith(f.form->ListBox1, QString::number(key).rightJustified(3) + QStringLiteral(" /"));
    };
    if (chosenFirst >= 0) {
        f.form->ListBox1->setCurrentRow(rowOf(chosenFirst));
        f.form->ListBox1->show();
    }
    if (deleted) {
        QSqlQuery query(t.tables.ProfilTable.database());
        QVERIFY(query.exec(QStringLiteral("DELETE FROM %1 WHERE Nr = %2")
                               .arg(t.tables.ProfilTable.tableName())
                               .arg(chosen)));
    }
    const int row = rowOf(chosen);
    QVERIFY(row >= 0);
    f.form->ListBox1->setCurrentRow(row);
    QCOMPARE(f.form->Edit48->text(), loaded);
    QCOMPARE(f.form->Edit47->text(), QStringLiteral("P") + loaded);
    QCOMPARE(f.form->Wiederholungen->text(), loaded);
    QCOMPARE(f.platform.boxes.shown, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(shown(*f.form, f.form->ListBox1), deleted);
}

void TestStoreActions::lineWithoutANumberKeepsPlaceholders()
{
    Tables t;
    addRecord(t.tables.ProfilTable, {{"Profil", "Bench"}, {"Exercise", "Press"}, {"Load", "60"}});
    ClockWindowFixture f(&t.tables);
    f.form->Edit52->setText(QStringLiteral("40"));
    f.form->BitBtn5->click();
    f.form->ListBox1->addItem(QStringLiteral("ab / damaged line"));
    f.form->ListBox1->setCurrentRow(1);
    QCOMPARE(f.platform.boxes.shown, QStringList{QStringLiteral("error:'ab ' ist kein gültiger Integerwert")});
    QCOMPARE(f.form->Edit47->text(), QStringLiteral("NN"));
    QCOMPARE(f.form->Edit51->text(), QStringLiteral("NN"));
    QCOMPARE(f.form->Pause->text(), QStringLiteral("1"));
    QCOMPARE(f.form->Edit48->text(), QString());
    QCOMPARE(f.form->Edit52->text(), QStringLiteral("40"));
}

void TestStoreActions::saveProfileStoresTheWorkingCopy()
{
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    w.Edit47->setText(QStringLiteral("Bench 5x5"));
    w.Edit51->setText(QStringLiteral(" Press"));
    w.Edit52->setText(QStringLiteral("62,5"));
    w.StartHalte->setText(QStringLiteral("2"));
    w.Abwaerts->setText(QStringLiteral("3"));
    w.Aufwaerts->setText(QStringLiteral("4"));
    w.HalteUnten->setText(QStringLiteral("0,5"));
    w.HalteOben->setText(QStringLiteral("6"));
    w.Wiederholungen->setText(QStringLiteral("5"));
    w.Serien->setText(QStringLiteral("5"));
    w.Pause->setText(QStringLiteral("90"));
    w.BitBtn5->click();
    w.BitBtn4->click();

    w.BitBtn2->click();
    w.BitBtn2->click();

    QCOMPARE(f.platform.boxes.shown, QStringList());
    const Fields expected{{"Profil", "Bench 5x5"}, {"Exercise", " Press"}, {"Load", "62,5"},
                          {"StartRest", "2"},      {"FroPhase", "3"},      {"ToPhase", "4"},
                          {"RestafterFro", "0,5"}, {"RestafterTo", "6"},   {"Rep", "5"},
                          {"Sets", "5"},           {"RestSets", "90"}};
    const QList<Fields> records = storedRecords(t.tables.ProfilTable);
    QCOMPARE(records.size(), 2);
    QCOMPARE(records[0].mid(1), expected);
    QCOMPARE(records[1].mid(1), expected);
    QCOMPARE(valueOf(records[0], "Nr"), QStringLiteral("1"));
    QCOMPARE(valueOf(records[1], "Nr"), QStringLiteral("2"));

    QVERIFY(!t.tables.ProfilTable.isOpen());
    QVERIFY(!shown(w, w.ListBox1));
    QVERIFY(!shown(w, w.ListBox2));
    QVERIFY(!shown(w, w.BitBtn6));
    // The window keeps the number of the profile last loaded.
    QCOMPARE(w.Edit48->text(), QStringLiteral(" 1"));

    // Both are listed by the next "Open Profil".
    w.BitBtn5->click();
    QCOMPARE(lines(w.ListBox1), (QStringList{"  1 /  Bench 5x5/      Press", "  2 /  Bench 5x5/      Press"}));
}

void TestStoreActions::saveProfileMessages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number");   // "load 0": from a loaded profile numbered 0
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("startRest");

    // Behind every box the window is activated again, whose settings reset
    // writes "1.5" with the decimal comma before it is stored.
    QTest::newRow("no message") << "Bench" << " 1" << QStringList{} << "1.5";
    QTest::newRow("no name") << "" << " 1" << QStringList{kNameMessage} << "1,5";
    QTest::newRow("loaded profile numbered 0") << "Bench" << "load 0" << QStringList{kTestnrMessage} << "1,5";
    QTest::newRow("negative number") << "Bench" << "-3" << QStringList{kTestnrMessage} << "1,5";
    QTest::newRow("number 0 and no name") << "" << "0" << QStringList{kTestnrMessage, kNameMessage} << "1,5";
}

void TestStoreActions::saveProfileMessages()
{
    QFETCH(QString, name);
    QFETCH(QString, number);
    QFETCH(QStringList, messages);
    QFETCH(QString, startRest);
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    if (number == QLatin1String("load 0")) {
        insertWithKey(t.tables.ProfilTable, 0, {{"Profil", "Zero"}, {"Exercise", "Press"}});
        w.BitBtn5->click();
        w.ListBox1->setCurrentRow(0);
        QCOMPARE(w.Edit48->text(), QStringLiteral("0"));
    } else {
        w.Edit48->setText(number);
    }
    w.Edit47->setText(name);
    w.StartHalte->setText(QStringLiteral("1.5"));
    const int before = storedRecords(t.tables.ProfilTable).size();

    w.BitBtn2->click();

    QCOMPARE(f.platform.boxes.shown, messages);
    const QList<Fields> records = storedRecords(t.tables.ProfilTable);
    QCOMPARE(records.size(), before + 1);
    const Fields &saved = records.last();
    QVERIFY(valueOf(saved, "Nr").toInt() >= 1);
    QCOMPARE(valueOf(saved, "Profil"), name);
    QCOMPARE(valueOf(saved, "Exercise"), QStringLiteral("Press"));
    QCOMPARE(valueOf(saved, "StartRest"), startRest);
    QVERIFY(!t.tables.ProfilTable.isOpen());

    // A profile stored without a name comes back as "NN".
    w.BitBtn5->click();
    w.ListBox1->setCurrentRow(w.ListBox1->count() - 1);
    QCOMPARE(w.Edit47->text(), name.isEmpty() ? QStringLiteral("NN") : name);
    QCOMPARE(w.Edit48->text(), valueOf(saved, "Nr"));
}

void TestStoreActions::saveProfileWithBadNumberStoresNothing_data()
{
    QTest::addColumn<QString>("number");
    QTest::newRow("empty after a failed load") << "";
    QTest::newRow("letters") << "abc";
    QTest::newRow("decimal") << "1,0";
}

void TestStoreActions::saveProfileWithBadNumberStoresNothing()
{
    QFETCH(QString, number);
    Tables t;
    ClockWindowFixture f(&t.tables);
    f.form->Edit48->setText(number);
    f.form->BitBtn5->click();
    f.form->BitBtn2->click();
    QCOMPARE(f.platform.boxes.shown,
             QStringList{QStringLiteral("error:'%1' ist kein gültiger Integerwert").arg(number)});
    QCOMPARE(storedRecords(t.tables.ProfilTable).size(), 0);
    QVERIFY(!t.tables.ProfilTable.isInserting());
    // Stopped before the table was touched: the list is still up.
    QVERIFY(shown(*f.form, f.form->ListBox1));
    QVERIFY(t.tables.ProfilTable.isOpen());
}

void TestStoreActions::refusedProfileIsDropped()
{
    Tables t;
    ClockWindowFixture f(&t.tables);
    {
        RefusingRule rule(t.tables.ProfilTable);
        f.form->BitBtn2->click();
    }
    QCOMPARE(f.platform.boxes.shown.size(), 1);
    const QString message = f.platform.boxes.shown.first();
    QVERIFY2(message.startsWith(QStringLiteral("error:")) && message.contains(QStringLiteral("Profil.db"))
                 && message.contains(QStringLiteral("new records refused")),
             qPrintable(message));
    QVERIFY(!t.tables.ProfilTable.isInserting());
    // Later work on the table must not store the half-filled record.
    f.form->BitBtn5->click();
    QCOMPARE(f.form->ListBox1->count(), 0);
    f.form->BitBtn2->click();
    QCOMPARE(storedRecords(t.tables.ProfilTable).size(), 1);
}

void TestStoreActions::dateClickIsFixedForm_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("month first") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("day first, two-digit year") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("day first, slashes") << QLocale(QLocale::English, QLocale::UnitedKingdom);
    QTest::newRow("year first") << QLocale(QLocale::Swedish, QLocale::Sweden);
    QTest::newRow("other digits") << QLocale(QLocale::Arabic, QLocale::Egypt);
}

void TestStoreActions::dateClickIsFixedForm()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    ClockWindowFixture f;
    // The activation fills in the same form as the click.
    QCOMPARE(f.form->Edit37->text(), QStringLiteral("06.12.2026"));
    QTest::mouseClick(f.form->Edit37, Qt::LeftButton);
    QCOMPARE(f.form->Edit37->text(), QStringLiteral("06.12.2026"));
    QTest::mouseClick(f.form->Edit37, Qt::LeftButton);
    QCOMPARE(f.form->Edit37->text(), QStringLiteral("06.12.2026"));
    f.platform.clock.setDate(QDate(2027, 1, 9));
    QTest::mouseClick(f.form->Edit37, Qt::LeftButton);
    QCOMPARE(f.form->Edit37->text(), QStringLiteral("09.01.2027"));
}

// Athletes -------------------------------------------------------------------

void TestStoreActions::athleteList()
{
    Tables t;
    addRecord(t.tables.SPTable, {{"Name", "Anna"}, {"Surname", "Berg"}, {"Bodyweight", "62"}, {"Height", "170"}});
    addRecord(t.tables.SPTable, {{"Name", "Annemarie-Luisee"}, {"Surname", "Schmidt-Hofmannsthal"},
                                 {"Bodyweight", "58,5"}, {"Height", "1,64"}});
    addRecord(t.tables.SPTable, {{"Name", "Bo"}});
    ClockWindowFixture f(&t.tables);
    f.form->BitBtn4->click();
    QCOMPARE(lines(f.form->ListBox2),
             (QStringList{"  1/           Anna           Berg        62       170",
                          "  2/Annemarie-LuiseeSchmidt-Hofmannsthal      58,5      1,64",
                          "  3/             Bo                                   "}));
    QVERIFY(shown(*f.form, f.form->ListBox2));
    QVERIFY(shown(*f.form, f.form->BitBtn6));
    // The profile list is not touched.
    QVERIFY(!shown(*f.form, f.form->ListBox1));
    QVERIFY(t.tables.SPTable.isOpen());
}

void TestStoreActions::choosingAnAthleteCopiesOnlyItsFields()
{
    Tables t;
    insertWithKey(t.tables.SPTable, 1, {{"Name", "Anna"}, {"Bodyweight", "62,5"}});
    insertWithKey(t.tables.SPTable, 100, {{"Name", "Carl"}, {"Surname", "Dahl"}, {"Height", "181"}});
    insertWithKey(t.tables.SPTable, 1000, {{"Name", "Dora"}});
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    w.Edit39->setText(QStringLiteral("X"));
    w.Edit40->setText(QStringLiteral("Y"));
    w.Edit38->setText(QStringLiteral("Z"));
    w.Edit41->setText(QStringLiteral("W"));
    w.Edit37->setText(QStringLiteral("01.01.2000"));
    w.StartHalte->setText(QStringLiteral("2,5"));
    w.eCycle->setText(QStringLiteral("17,5"));
    w.Panel1->setText(QStringLiteral("3"));

    w.BitBtn4->click();
    w.ListBox2->setCurrentRow(0);
    QCOMPARE(w.Edit39->text(), QStringLiteral("Anna"));
    QCOMPARE(w.Edit40->text(), QString());
    QCOMPARE(w.Edit38->text(), QStringLiteral("62,5"));
    QCOMPARE(w.Edit41->text(), QString());
    QCOMPARE(w.Panel1->text(), QStringLiteral("17,5"));
    // Nothing else changes.
    QCOMPARE(w.Edit47->text(), QStringLiteral("Bench"));
    QCOMPARE(w.Edit51->text(), QStringLiteral("Press"));
    QCOMPARE(w.Edit48->text(), QStringLiteral(" 1"));
    QCOMPARE(w.Edit37->text(), QStringLiteral("01.01.2000"));
    QCOMPARE(w.StartHalte->text(), QStringLiteral("2,5"));
    QVERIFY(!shown(w, w.ListBox2));
    QVERIFY(shown(w, w.BitBtn6));

    // Athlete 1000 is looked up by its whole number.
    w.BitBtn4->click();
    QCOMPARE(w.ListBox2->item(2)->text().left(4), QStringLiteral("1000"));
    w.ListBox2->setCurrentRow(2);
    QCOMPARE(w.Edit39->text(), QStringLiteral("Dora"));
    QCOMPARE(w.Edit40->text(), QString());
    QCOMPARE(w.Edit38->text(), QString());
    QCOMPARE(w.Edit41->text(), QString());
    QCOMPARE(f.platform.boxes.shown, QStringList());

    // Athlete 100, deleted after the list was filled: nothing is copied.
    w.BitBtn4->click();
    QSqlQuery query(t.tables.SPTable.database());
    QVERIFY(query.exec(QStringLiteral("DELETE FROM %1 WHERE Nr = 100").arg(t.tables.SPTable.tableName())));
    w.ListBox2->setCurrentRow(1);
    QCOMPARE(f.platform.boxes.shown,
             QStringList{QStringLiteral("error:The athlete 100 is no longer stored. Open the list again to choose another.")});
    QCOMPARE(w.Edit39->text(), QStringLiteral("Dora"));
    QVERIFY(shown(w, w.ListBox2));
}

void TestStoreActions::athleteLineWithoutANumberChangesNothing()
{
    Tables t;
    addRecord(t.tables.SPTable, {{"Name", "Carl"}, {"Surname", "Dahl"}});
    ClockWindowFixture f(&t.tables);
    f.form->Edit40->setText(QStringLiteral("Berg"));
    f.form->BitBtn4->click();
    f.form->ListBox2->addItem(QStringLiteral("--/ damaged line"));
    f.form->ListBox2->setCurrentRow(1);
    QCOMPARE(f.platform.boxes.shown, QStringList{QStringLiteral("error:'--' ist kein gültiger Integerwert")});
    QCOMPARE(f.form->Edit39->text(), QStringLiteral("Anna"));
    QCOMPARE(f.form->Edit40->text(), QStringLiteral("Berg"));
    QVERIFY(shown(*f.form, f.form->ListBox2));
}

void TestStoreActions::saveAthleteWithoutNameChangesNothing()
{
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    w.Edit39->clear();
    w.Edit40->setText(QStringLiteral("Berg"));
    w.BitBtn4->click();
    w.BitBtn5->click();
    w.Edit37->setText(QStringLiteral("marker"));
    w.realSlots[0]->setText(QStringLiteral("4,2"));
    w.BitBtn3->show();

    w.BitBtn7->click();

    QCOMPARE(f.platform.boxes.shown, QStringList{QStringLiteral("titled:Error:Please insert athlet data")});
    QCOMPARE(storedRecords(t.tables.SPTable).size(), 0);
    // No activation behind this box: the window is as it was.
    QCOMPARE(w.Edit37->text(), QStringLiteral("marker"));
    QCOMPARE(w.realSlots[0]->text(), QStringLiteral("4,2"));
    QVERIFY(shown(w, w.BitBtn3));
    QVERIFY(shown(w, w.ListBox1));
    QVERIFY(shown(w, w.ListBox2));
    QVERIFY(shown(w, w.BitBtn6));
}

void TestStoreActions::saveAthlete_data()
{
    QTest::addColumn<Fields>("athlete");   // Edit39, Edit40, Edit38, Edit41
    QTest::newRow("all four") << Fields{{"Name", "Anna"}, {"Surname", " Berg"}, {"Bodyweight", "62,5"}, {"Height", "170"}};
    QTest::newRow("only a name") << Fields{{"Name", "Anna"}, {"Surname", ""}, {"Bodyweight", ""}, {"Height", ""}};
}

void TestStoreActions::saveAthlete()
{
    QFETCH(Fields, athlete);
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    const QList<QLineEdit *> edits{w.Edit39, w.Edit40, w.Edit38, w.Edit41};
    for (int i = 0; i < 4; ++i)
        edits[i]->setText(athlete[i].second);
    w.BitBtn4->click();
    w.BitBtn5->click();

    w.BitBtn7->click();
    w.BitBtn7->click();

    QCOMPARE(f.platform.boxes.shown, QStringList());
    const QList<Fields> records = storedRecords(t.tables.SPTable);
    QCOMPARE(records.size(), 2);
    QCOMPARE(records[0].mid(1), athlete);
    QCOMPARE(records[1].mid(1), athlete);
    QCOMPARE(valueOf(records[0], "Nr"), QStringLiteral("1"));
    QCOMPARE(valueOf(records[1], "Nr"), QStringLiteral("2"));
    QVERIFY(t.tables.SPTable.isOpen());
    QVERIFY(!shown(w, w.ListBox1));
    QVERIFY(!shown(w, w.ListBox2));
    QVERIFY(!shown(w, w.BitBtn6));
}

void TestStoreActions::refusedAthleteIsDropped()
{
    Tables t;
    ClockWindowFixture f(&t.tables);
    {
        RefusingRule rule(t.tables.SPTable);
        f.form->BitBtn7->click();
    }
    QCOMPARE(f.platform.boxes.shown.size(), 1);
    const QString message = f.platform.boxes.shown.first();
    QVERIFY2(message.startsWith(QStringLiteral("error:")) && message.contains(QStringLiteral("SPTable.db")),
             qPrintable(message));
    QVERIFY(!t.tables.SPTable.isInserting());
    f.form->BitBtn4->click();
    QCOMPARE(f.form->ListBox2->count(), 0);
    QCOMPARE(storedRecords(t.tables.SPTable).size(), 0);
}

// Saving a test --------------------------------------------------------------

void TestStoreActions::savedTestReadBack()
{
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    Fields expected{{"Testnr", "1"}, {"Date", "06.12.2026 "}, {"ProfilNr", "1"}, {"Name", " Anna"},
                    {"Surname", "Berg "}, {"Bodyweight", "62,5"}, {"Height", "170"}, {"Exercise", "Press"},
                    {"Load", "60"}};
    w.Edit37->setText(QStringLiteral("06.12.2026 "));
    w.Edit39->setText(QStringLiteral(" Anna"));
    w.Edit40->setText(QStringLiteral("Berg "));
    w.Edit38->setText(QStringLiteral("62,5"));
    w.Edit41->setText(QStringLiteral("170"));
    w.Edit51->setText(QStringLiteral("Press"));
    w.Edit52->setText(QStringLiteral("60"));
    for (int k = 0; k < 20; ++k) {
        const QString real = QStringLiteral("%1,%2").arg(k + 10).arg(k + 1);
        const QString reps = QString::number(k + 1);
        w.realSlots[k]->setText(real);
        w.repetitionSlots[k]->setText(reps);
        expected << qMakePair(QStringLiteral("RealTime%1").arg(k + 1), real)
                 << qMakePair(QStringLiteral("RealR%1").arg(k + 1), reps);
    }
    const Fields settings{{"StartRest", "2"}, {"FroPhase", "3"}, {"ToPhase", "4"}, {"RestafterFro", "5"},
                          {"RestafterTo", "6"}, {"Rep", "7"}, {"Sets", "3"}, {"RestSets", "9,5"},
                          {"TUTTotal", "111"}, {"TUTReal", "42"}};
    const QList<QWidget *> sources{w.StartHalte, w.Abwaerts, w.Aufwaerts, w.HalteUnten, w.HalteOben,
                                   w.Wiederholungen, w.Serien, w.Pause, w.TUTtotal, w.TUTreal};
    for (int i = 0; i < settings.size(); ++i) {
        if (auto *edit = qobject_cast<QLineEdit *>(sources[i]))
            edit->setText(settings[i].second);
        else
            qobject_cast<QLabel *>(sources[i])->setText(settings[i].second);
    }
    expected << settings;
    w.BitBtn3->show();
    // As a running test leaves them: set buttons and result slots up.
    w.BitBtn1->hide();
    for (int k = 0; k < 3; ++k) {
        w.setButtons[k]->show();
        w.realSlots[k]->show();
    }

    pressSaveData(w);

    QCOMPARE(f.platform.boxes.shown, QStringList());
    const QList<Fields> records = storedRecords(t.tables.TestTable);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0].size(), 59);
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(records[0][i], expected[i]);

    // The window is back in its starting state.
    QVERIFY(!t.tables.TestTable.isOpen());
    QVERIFY(!shown(w, w.BitBtn3));
    QVERIFY(shown(w, w.BitBtn1));
    for (int k = 0; k < 20; ++k) {
        QVERIFY(!shown(w, w.setButtons[k]));
        QVERIFY(!shown(w, w.realSlots[k]));
        QCOMPARE(w.realSlots[k]->text(), QString());
        QCOMPARE(w.repetitionSlots[k]->text(), QStringLiteral("0"));
    }
    QCOMPARE(w.Edit37->text(), QStringLiteral("06.12.2026"));
}

void TestStoreActions::noteIsStoredWithTheTest_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("invalid");
    QTest::addColumn<QString>("typedTester");
    QTest::addColumn<bool>("leftover");     // a note of a test deleted earlier under number 1
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("tester");
    QTest::addColumn<bool>("notesTable");   // whether the notes table is there after the save
    QTest::newRow("note of an invalid attempt") << QStringLiteral("Knie; \"RPE 9\"") << true << QString() << false
                                                << QStringLiteral("Knie; \"RPE 9\"") << QString() << true;
    QTest::newRow("invalid without a note") << QString() << true << QString() << false << QString() << QString() << true;
    QTest::newRow("note of a valid attempt") << QStringLiteral(" nass ") << false << QString() << false << QStringLiteral("nass")
                                             << QString() << true;
    QTest::newRow("nothing to note") << QStringLiteral("  ") << false << QString() << false << QString() << QString() << false;
    QTest::newRow("tester only") << QString() << false << QStringLiteral(" Jörg ") << false << QString() << QStringLiteral("Jörg")
                                 << true;
    QTest::newRow("tester and note") << QStringLiteral("RPE 8") << true << QStringLiteral("KB") << false
                                     << QStringLiteral("RPE 8") << QStringLiteral("KB") << true;
    QTest::newRow("leftover note, nothing to note") << QString() << false << QString() << true << QString() << QString() << true;
    QTest::newRow("leftover note, new note") << QStringLiteral("neu") << false << QString() << true << QStringLiteral("neu")
                                             << QString() << true;
}

void TestStoreActions::noteIsStoredWithTheTest()
{
    QFETCH(QString, typed);
    QFETCH(bool, invalid);
    QFETCH(QString, typedTester);
    QFETCH(bool, leftover);
    QFETCH(QString, note);
    QFETCH(QString, tester);
    QFETCH(bool, notesTable);
    // This station's settings start empty in every row.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const auto restored = qScopeGuard(
        [this] { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path()); });
#ifdef Q_OS_WIN
    // The registry, where Windows keeps them, is not moved by setPath().
    QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane")).remove(QStringLiteral("Clock/Tester"));
#endif
    Tables t;
    if (leftover)
        store::storeTestNote(t.tables.TestTable, 1, {QStringLiteral("alt"), false, QStringLiteral("XY")});
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    QCOMPARE(w.TesterEdit->text(), QString());
    fillThreeSetResults(w);
    w.NoteEdit->setText(typed);
    w.InvalidBox->setChecked(invalid);
    w.TesterEdit->setText(typedTester);
    pressSaveData(w);
    QCOMPARE(f.platform.boxes.shown, QStringList());
    QCOMPARE(storedRecords(t.tables.TestTable).size(), 1);
    const QSqlDatabase db = t.tables.TestTable.database();
    QCOMPARE(store::hasRelation(db, store::SqlDialect::Sqlite, store::testNotesTableName()), notesTable);
    QCOMPARE(store::readTestNote(db, 1), (store::TestNote{note, !invalid, tester}));
    // The next test starts without note and mark, with the same tester, also
    // in a window opened later at this station.
    QCOMPARE(w.NoteEdit->text(), QString());
    QVERIFY(!w.InvalidBox->isChecked());
    QCOMPARE(w.TesterEdit->text(), tester);
    ClockWindowFixture later(&t.tables);
    QCOMPARE(later.form->TesterEdit->text(), tester);
    // The settings file also names folders and servers: the user's only.
    const QString file = QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane")).fileName();
#ifdef Q_OS_WIN
    // In the user's own registry hive there, and no file of that name.
    QCOMPARE(QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane")).value(QStringLiteral("Clock/Tester")).toString(),
             tester);
    QVERIFY2(!QFile::exists(file), qPrintable(file));
#else
    QCOMPARE(QFile::exists(file), !tester.isEmpty());
    if (!tester.isEmpty())
        QCOMPARE(QFile::permissions(file) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
}

void TestStoreActions::completionBeforeStoring_data()
{
    QTest::addColumn<QString>("sets");
    QTest::addColumn<QStringList>("realTimes");   // RealTime1..4
    QTest::addColumn<QStringList>("repetitions"); // RealR1..4

    // See fillThreeSetResults(): set 2 lacks its time, set 3 its repetitions.
    QTest::newRow("3 sets") << "3" << QStringList{"4,2", "8", "6,1", ""} << QStringList{"2", "3", "4", "0"};
    QTest::newRow("2 sets take the planned-time slots")
        << "2" << QStringList{"4,2", "8,5", "6,1", ""} << QStringList{"2", "3", "0", "0"};
    for (const char *sets : {" 3", "03", "21"}) {
        QTest::newRow(qPrintable(QStringLiteral("sets '%1'").arg(QLatin1String(sets))))
            << QString::fromLatin1(sets) << QStringList{"4,2", "", "6,1", ""} << QStringList{"2", "3", "0", "0"};
    }
}

void TestStoreActions::completionBeforeStoring()
{
    QFETCH(QString, sets);
    QFETCH(QStringList, realTimes);
    QFETCH(QStringList, repetitions);
    Tables t;
    ClockWindowFixture f(&t.tables);
    fillThreeSetResults(*f.form);
    f.form->Serien->setText(sets);
    f.form->plannedSlots[0]->setText(QStringLiteral("7,5"));
    f.form->plannedSlots[1]->setText(QStringLiteral("8,5"));

    pressSaveData(*f.form);

    QCOMPARE(f.platform.boxes.shown, QStringList());
    const QList<Fields> records = storedRecords(t.tables.TestTable);
    QCOMPARE(records.size(), 1);
    const Fields &r = records[0];
    QCOMPARE(valueOf(r, "Sets"), sets);
    QCOMPARE(valueOf(r, "Rep"), QStringLiteral("4"));
    for (int k = 1; k <= 20; ++k) {
        QCOMPARE(valueOf(r, QStringLiteral("RealTime%1").arg(k)), realTimes.value(k - 1));
        QCOMPARE(valueOf(r, QStringLiteral("RealR%1").arg(k)), repetitions.value(k - 1, QStringLiteral("0")));
    }
}

void TestStoreActions::profileNumberBelowOneKeepsResults_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("stored");
    QTest::newRow("0") << "0" << "0";
    QTest::newRow("-1 with a blank") << " -1" << "-1";
}

void TestStoreActions::profileNumberBelowOneKeepsResults()
{
    QFETCH(QString, number);
    QFETCH(QString, stored);
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    // A test is running when the save is pressed.
    w.sStartClick();
    f.tickThrough(100, 2500);
    QVERIFY(w.procedure().Running);
    fillThreeSetResults(w);
    w.Edit48->setText(number);
    w.StartHalte->setText(QStringLiteral("1.5"));
    QString shownWhileOpen;
    f.platform.boxes.onShow = [&] {
        shownWhileOpen = w.realSlots[1]->text() + u'/' + w.repetitionSlots[2]->text();
        f.tickAt(2600);   // the clock goes on while the box is open
    };

    pressSaveData(w);

    QCOMPARE(f.platform.boxes.shown, QStringList{kTestnrMessage});
    // The box showed the results as the save took them, and they are what is
    // stored: set 1, broken off by the save, with what it reached; sets 2
    // and 3 never ran and get no planned values.
    QCOMPARE(shownWhileOpen, QStringLiteral("/0"));
    const QList<Fields> records = storedRecords(t.tables.TestTable);
    QCOMPARE(records.size(), 1);
    const Fields &r = records[0];
    QCOMPARE(valueOf(r, "ProfilNr"), stored);
    QCOMPARE(valueOf(r, "RealTime1"), QStringLiteral("1,5"));
    QCOMPARE(valueOf(r, "RealTime2"), QString());
    QCOMPARE(valueOf(r, "RealTime3"), QStringLiteral("6,1"));
    QCOMPARE(valueOf(r, "RealR1"), QStringLiteral("1"));
    QCOMPARE(valueOf(r, "RealR2"), QStringLiteral("3"));
    QCOMPARE(valueOf(r, "RealR3"), QStringLiteral("0"));
    // The settings are read after the activation behind the box.
    QCOMPARE(valueOf(r, "StartRest"), QStringLiteral("1,5"));
    QVERIFY(!w.procedure().Running);
    QVERIFY(!shown(w, w.BitBtn3));
}

void TestStoreActions::profileNumberNotANumberStoresNothing_data()
{
    QTest::addColumn<QString>("number");
    QTest::newRow("letters") << "abc";
    QTest::newRow("empty") << "";
    QTest::newRow("trailing blank") << "1 ";
}

void TestStoreActions::profileNumberNotANumberStoresNothing()
{
    QFETCH(QString, number);
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    fillThreeSetResults(w);
    w.Edit48->setText(number);

    pressSaveData(w);

    QCOMPARE(f.platform.boxes.shown, QStringList{QStringLiteral("error:'%1' ist kein gültiger Integerwert").arg(number)});
    QCOMPARE(storedRecords(t.tables.TestTable).size(), 0);
    QVERIFY(!t.tables.TestTable.isInserting());
    QVERIFY(shown(w, w.BitBtn3));
    QCOMPARE(w.realSlots[1]->text(), QStringLiteral("8"));
    QCOMPARE(w.repetitionSlots[2]->text(), QStringLiteral("4"));

    // Saving again once the number is mended stores one record, this one.
    w.Edit48->setText(QStringLiteral(" 1"));
    w.Edit39->setText(QStringLiteral("Bert"));
    pressSaveData(w);
    const QList<Fields> records = storedRecords(t.tables.TestTable);
    QCOMPARE(records.size(), 1);
    QCOMPARE(valueOf(records[0], "Name"), QStringLiteral("Bert"));
    QCOMPARE(valueOf(records[0], "RealTime2"), QStringLiteral("8"));
    QCOMPARE(valueOf(records[0], "RealR3"), QStringLiteral("4"));
}

void TestStoreActions::refusedTestLeavesNoRecord_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("number");
    QTest::newRow("refusing rule") << "rule" << " 1";
    QTest::newRow("file locked by another program") << "lock" << " 1";
    QTest::newRow("refusing rule after the profile number message") << "rule" << "0";
}

void TestStoreActions::refusedTestLeavesNoRecord()
{
    QFETCH(QString, how);
    QFETCH(QString, number);
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    fillThreeSetResults(w);
    w.Edit48->setText(number);
    {
        std::optional<RefusingRule> rule;
        std::optional<FileLock> lock;
        if (how == QLatin1String("rule"))
            rule.emplace(t.tables.TestTable);
        else
            lock.emplace(t.tables.TestTable);
        pressSaveData(w);
    }

    const QStringList boxes = f.platform.boxes.shown;
    QVERIFY(!boxes.isEmpty());
    QCOMPARE(boxes.size(), number == QLatin1String("0") ? 2 : 1);
    QVERIFY2(boxes.last().startsWith(QStringLiteral("error:")) && boxes.last().contains(QStringLiteral("TestTable.DB")),
             qPrintable(boxes.last()));
    QCOMPARE(storedRecords(t.tables.TestTable).size(), 0);
    QVERIFY(!t.tables.TestTable.isInserting());
    // The results are still there to be saved again.
    QVERIFY(shown(w, w.BitBtn3));
    QCOMPARE(w.realSlots[0]->text(), QStringLiteral("4,2"));
    QCOMPARE(w.realSlots[1]->text(), QStringLiteral("8"));
    QCOMPARE(w.repetitionSlots[2]->text(), QStringLiteral("4"));

    // Nothing later stores the refused record: not a move on the table...
    t.tables.TestTable.open();
    t.tables.TestTable.first();
    QCOMPARE(storedRecords(t.tables.TestTable).size(), 0);
    // ...nor the save of another test.
    w.Edit48->setText(QStringLiteral(" 1"));
    w.Edit39->setText(QStringLiteral("Bert"));
    pressSaveData(w);
    const QList<Fields> records = storedRecords(t.tables.TestTable);
    QCOMPARE(records.size(), 1);
    QCOMPARE(valueOf(records[0], "Name"), QStringLiteral("Bert"));
    QCOMPARE(valueOf(records[0], "RealTime2"), QStringLiteral("8"));
}

void TestStoreActions::removedOrReplacedFileKeepsTheResults_data()
{
    QTest::addColumn<bool>("replaced");
    QTest::newRow("removed") << false;
    QTest::newRow("replaced") << true;
}

void TestStoreActions::removedOrReplacedFileKeepsTheResults()
{
    QFETCH(bool, replaced);
#ifdef Q_OS_WIN
    QSKIP("Windows removes and replaces no file that is open (store_tst_table checks that the table then goes on)");
#endif
    Tables t;
    QTemporaryDir elsewhere;
    const QString path = t.tables.TestTable.filePath();
    if (replaced) {
        store::TrainingTables other(elsewhere.path());
        other.openAll();
        QCOMPARE(std::rename(qPrintable(other.TestTable.filePath()), qPrintable(path)), 0);
    } else {
        QVERIFY(QFile::remove(path));
    }
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    fillThreeSetResults(w);
    w.Edit48->setText(QStringLiteral("1"));
    pressSaveData(w);

    const QStringList boxes = f.platform.boxes.shown;
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes.first().startsWith(QStringLiteral("error:")), qPrintable(boxes.first()));
    QVERIFY2(boxes.first().contains(QStringLiteral("\"TestTable.DB\"")), qPrintable(boxes.first()));
    QVERIFY2(boxes.first().contains(QStringLiteral("removed or replaced while Korvane was running")),
             qPrintable(boxes.first()));
    QVERIFY2(!boxes.first().contains(QStringLiteral("readonly")), qPrintable(boxes.first()));
    // The results and Save Data stay.
    QVERIFY(shown(w, w.BitBtn3));
    QCOMPARE(w.realSlots[0]->text(), QStringLiteral("4,2"));
    QCOMPARE(w.realSlots[1]->text(), QStringLiteral("8"));
    QVERIFY(!t.tables.TestTable.isInserting());

    // After a restart the same results are stored in the folder's file.
    store::TrainingTables restarted(t.dir.path());
    restarted.openAll();
    QCOMPARE(storedRecords(restarted.TestTable).size(), 0);
    ClockWindowFixture again(&restarted);
    fillThreeSetResults(*again.form);
    again.form->Edit48->setText(QStringLiteral("1"));
    pressSaveData(*again.form);
    QCOMPARE(again.platform.boxes.shown, QStringList());
    QCOMPARE(storedRecords(restarted.TestTable).size(), 1);
}

void TestStoreActions::wholeTestToExport()
{
    Tables t;
    addRecord(t.tables.SPTable, {{"Name", "Carla"}, {"Surname", "Berg"}, {"Bodyweight", "62,5"}, {"Height", "170"}});
    addRecord(t.tables.ProfilTable, {{"Profil", "Spare"}, {"Exercise", "Row"}});
    addRecord(t.tables.ProfilTable, {{"Profil", "Two sets"}, {"Exercise", "Press"}, {"Load", "60"},
                                     {"Sets", "2"}, {"RestSets", "5"}});
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;

    w.BitBtn4->click();
    w.ListBox2->setCurrentRow(0);
    w.BitBtn5->click();
    w.ListBox1->setCurrentRow(1);
    QCOMPARE(w.Edit48->text(), QStringLiteral("2"));
    w.BitBtn6->click();

    // Set 1: cancelled in repetition 1, 2,5 s into the set.
    w.sStart->click();
    f.tickThrough(100, 2500);
    QCOMPARE(w.pnBNr->text(), QStringLiteral("1"));
    w.Button1->click();
    f.tickAt(2600);
    QVERIFY(w.procedure().Resting);
    // The rest of 5 s, then set 2 runs to its end.
    f.tickThrough(2700, 7700);
    QCOMPARE(w.pnSerie->text(), QStringLiteral("2"));
    f.tickThrough(7800, 13000);
    QVERIFY(!w.procedure().Running);
    QVERIFY(!w.procedure().Resting);
    QCOMPARE(w.realSlots[0]->text(), QStringLiteral("1,5"));
    QCOMPARE(w.repetitionSlots[0]->text(), QStringLiteral("1"));
    QCOMPARE(w.realSlots[1]->text(), QString());
    QCOMPARE(w.repetitionSlots[1]->text(), QStringLiteral("0"));
    const QString date = w.Edit37->text();
    // Two sets of 5 s: 10 s in all, 2 s of movement in each.
    QCOMPARE(w.TUTtotal->text(), QStringLiteral("10"));
    QCOMPARE(w.TUTreal->text(), QStringLiteral("4"));

    pressSaveData(w);
    QCOMPARE(f.platform.boxes.shown, QStringList());

    // Set 2 ran out: it gets the planned set time of 4 s and 1 repetition.
    QStringList values{"1", date, "2", "Carla", "Berg", "62,5", "170", "Press", "60",
                       "1,5", "1", "4", "1"};
    for (int k = 3; k <= 20; ++k)
        values << QString() << QStringLiteral("0");
    values << "1" << "1" << "1" << "1" << "1" << "1" << "2" << "5" << "10" << "4";
    const QList<Fields> records = storedRecords(t.tables.TestTable);
    QCOMPARE(records.size(), 1);
    QStringList stored;
    for (const auto &[name, value] : records[0])
        stored << value;
    QCOMPARE(stored, values);

    // The data window's export writes the first 53 fields as its second line.
    TForm4 data(t.tables);
    data.BitBtn3Click();
    QFile file(t.dir.filePath(QStringLiteral("Korvane.csv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> fileLines = file.readAll().split('\n');
    QCOMPARE(fileLines.size(), 3);
    QByteArray expected;
    for (const QString &value : values.mid(0, 53))
        expected += value.toLatin1() + "; ";
    expected += '\r';
    QCOMPARE(fileLines[1], expected);
    QCOMPARE(fileLines[2], QByteArray());
}

void TestStoreActions::endedSetsStoreWhatRan_data()
{
    QTest::addColumn<QString>("ending");        // how set 1 ends, 6,5 s into it
    QTest::addColumn<QStringList>("stored");    // RealTime1, RealR1, RealTime2, RealR2

    // 2 sets of 3 repetitions of 4 s after a start rest of 1 s: planned 12 s.
    const QStringList broken{"5,5", "2", "", "0"};
    QTest::newRow("stop button") << "stop" << broken;
    QTest::newRow("F6") << "F6" << broken;
    QTest::newRow("break, then stop") << "break" << broken;
    QTest::newRow("click on the countdown, Save") << "countdown" << broken;
    QTest::newRow("Save Data during the set") << "save" << broken;
    QTest::newRow("cancelled, set 2 runs out") << "cancel" << QStringList{"5,5", "2", "12", "3"};
    QTest::newRow("both sets run out") << "run out" << QStringList{"12", "3", "12", "3"};
}

void TestStoreActions::endedSetsStoreWhatRan()
{
    QFETCH(QString, ending);
    QFETCH(QStringList, stored);
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    w.Wiederholungen->setText(QStringLiteral("3"));
    w.Serien->setText(QStringLiteral("2"));
    f.platform.boxes.saveAnswer = platform::SaveAnswer::Save;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.sStart->click();
    f.tickThrough(100, 6500);
    QCOMPARE(w.pnBNr->text(), QStringLiteral("2"));

    if (ending == QLatin1String("stop")) {
        w.sStop->click();
    } else if (ending == QLatin1String("F6")) {
        QTest::keyClick(&w, Qt::Key_F6);
    } else if (ending == QLatin1String("break")) {
        w.SpeedButton1->click();
        f.tickAt(9000);
        w.sStop->click();
    } else if (ending == QLatin1String("cancel")) {
        w.Button1->click();
        f.tickThrough(6600, 32000);
    } else if (ending == QLatin1String("run out")) {
        f.tickThrough(6600, 32000);
    }
    if (ending != QLatin1String("save") && ending != QLatin1String("countdown")) {
        QVERIFY(!w.procedure().Running);
        // The row shows what the window will store, in Cancel's colours
        // when the set ended early.
        QCOMPARE(w.realSlots[0]->text(), ending == QLatin1String("run out") ? QString() : stored[0]);
        const bool early = ending != QLatin1String("run out");
        QCOMPARE(w.realSlots[0]->palette().color(QPalette::Base) == palette::SlotCancelled, early);
        QCOMPARE(w.realSlots[1]->text(), QString());
        QCOMPARE(w.repetitionSlots[1]->text(), QStringLiteral("0"));
    }
    if (ending == QLatin1String("countdown"))
        QTest::mouseClick(w.pClockB, Qt::LeftButton);
    else
        pressSaveData(w);

    const QList<Fields> records = storedRecords(t.tables.TestTable);
    QCOMPARE(records.size(), 1);
    QCOMPARE((QStringList{valueOf(records[0], "RealTime1"), valueOf(records[0], "RealR1"),
                          valueOf(records[0], "RealTime2"), valueOf(records[0], "RealR2")}),
             stored);
    // Only the countdown's activation had results to ask about.
    QCOMPARE(f.platform.boxes.shown.size(), ending == QLatin1String("countdown") ? 1 : 0);
    QVERIFY(!w.procedure().Running);
}

void TestStoreActions::askedBeforeResultsAreCleared_data()
{
    QTest::addColumn<QString>("before");   // what ran before the action
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("answer");       // platform::SaveAnswer
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("records");      // stored afterwards
    QTest::addColumn<bool>("kept");        // results still on hand, Save Data shown

    const int save = int(platform::SaveAnswer::Save);
    const int discard = int(platform::SaveAnswer::Discard);
    const int cancel = int(platform::SaveAnswer::Cancel);
    QTest::newRow("start again, Save") << "finished" << "start" << save << true << 1 << false;
    QTest::newRow("start again, Discard") << "finished" << "start" << discard << true << 0 << false;
    QTest::newRow("start again, Cancel") << "finished" << "start" << cancel << true << 0 << true;
    QTest::newRow("opened again, Save") << "finished" << "activate" << save << true << 1 << false;
    QTest::newRow("opened again, Cancel") << "finished" << "activate" << cancel << true << 0 << true;
    QTest::newRow("countdown click, Discard") << "finished" << "countdown" << discard << true << 0 << false;
    QTest::newRow("start refused for the name, Save") << "finished" << "no name" << save << true << 1 << false;
    QTest::newRow("start refused for the name, Cancel") << "finished" << "no name" << cancel << true << 0 << true;
    QTest::newRow("closed in the rest, Save") << "resting" << "close" << save << true << 1 << false;
    QTest::newRow("closed in the rest, Discard") << "resting" << "close" << discard << true << 0 << false;
    QTest::newRow("closed in the rest, Cancel") << "resting" << "close" << cancel << true << 0 << true;
    QTest::newRow("fresh window") << "nothing" << "activate" << save << false << 0 << false;
    QTest::newRow("after a save") << "saved" << "start" << save << false << 1 << false;
    QTest::newRow("stopped in the start rest") << "start rest" << "activate" << save << false << 0 << false;
}

void TestStoreActions::askedBeforeResultsAreCleared()
{
    QFETCH(QString, before);
    QFETCH(QString, action);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(int, records);
    QFETCH(bool, kept);
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    w.Serien->setText(QStringLiteral("2"));
    w.show();
    if (before == QLatin1String("start rest")) {
        w.sStart->click();
        f.tickAt(500);
        w.sStop->click();
    } else if (before != QLatin1String("nothing")) {
        // Set 1 runs out; the 5 s rest begins.
        w.sStart->click();
        f.tickThrough(100, 5100);
        QVERIFY(w.procedure().Resting);
        if (before != QLatin1String("resting"))
            w.sStop->click();
        if (before == QLatin1String("saved"))
            pressSaveData(w);
    }
    f.platform.boxes.saveAnswer = static_cast<platform::SaveAnswer>(answer);
    f.platform.boxes.shown.clear();

    if (action == QLatin1String("start")) {
        w.sStart->click();
    } else if (action == QLatin1String("activate")) {
        w.FormActivate();
    } else if (action == QLatin1String("countdown")) {
        QTest::mouseClick(w.pClockB, Qt::LeftButton);
    } else if (action == QLatin1String("no name")) {
        w.Edit39->clear();
        w.sStart->click();
    } else if (action == QLatin1String("close")) {
        w.BitBtn1->click();
    }

    const QString question = QStringLiteral("save?:The results of the test of %1 started at 10:00:00 are not saved. "
                                            "Save them?")
                                 .arg(action == QLatin1String("no name") ? QStringLiteral("an unnamed athlete")
                                                                         : QStringLiteral("Anna"));
    QCOMPARE(f.platform.boxes.shown.contains(question), asked);
    QCOMPARE(f.platform.boxes.shown.count(question), asked ? 1 : 0);
    const QList<Fields> stored = storedRecords(t.tables.TestTable);
    QCOMPARE(stored.size(), records);
    if (records == 1 && before != QLatin1String("saved")) {
        // Saved as Save Data saves it: set 1 ran out, set 2 never began.
        QCOMPARE(valueOf(stored[0], "RealTime1"), QStringLiteral("4"));
        QCOMPARE(valueOf(stored[0], "RealR1"), QStringLiteral("1"));
        QCOMPARE(valueOf(stored[0], "RealTime2"), QString());
        QCOMPARE(valueOf(stored[0], "RealR2"), QStringLiteral("0"));
    }
    QCOMPARE(w.outcomes().hasUnsavedResults(), kept);
    // A new test shows Save Data anew; "Close" leaves it as it stands.
    if (action != QLatin1String("start") && action != QLatin1String("close"))
        QCOMPARE(shown(w, w.BitBtn3), kept);
    if (action == QLatin1String("close")) {
        // Closing ends the test unless called off.
        QCOMPARE(w.isVisible(), kept);
        QCOMPARE(w.procedure().Resting, kept);
    }
    if (action == QLatin1String("start"))
        QCOMPARE(w.procedure().Running, !kept);
}

void TestStoreActions::falseStartStoresNothing_data()
{
    QTest::addColumn<QString>("ending");   // how the first start ends inside its start rest
    QTest::addColumn<int>("at");           // the last tick before it, into the set
    QTest::newRow("stop") << "stop" << 600;
    QTest::newRow("stop on the start rest's last moment") << "stop" << 1000;
    QTest::newRow("break, then stop") << "break" << 400;
    QTest::newRow("cancel, the set ends") << "cancel" << 600;
    QTest::newRow("cancel, then stop") << "cancel stop" << 300;
}

void TestStoreActions::falseStartStoresNothing()
{
    QFETCH(QString, ending);
    QFETCH(int, at);
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    f.platform.boxes.saveAnswer = platform::SaveAnswer::Save;
    w.show();
    w.sStart->click();
    f.tickThrough(100, at);
    if (ending == QLatin1String("stop")) {
        w.sStop->click();
    } else if (ending == QLatin1String("break")) {
        w.SpeedButton1->click();
        f.tickAt(3000);
        w.sStop->click();
    } else {
        w.Button1->click();
        if (ending == QLatin1String("cancel"))
            f.tickThrough(at + 100, 1100);   // the start rest passes: the test is over
        else
            w.sStop->click();
    }
    QVERIFY(!w.procedure().Running);
    QCOMPARE(w.realSlots[0]->text(), QString());
    QVERIFY(!shown(w, w.realSlots[0]));
    QVERIFY(w.realSlots[0]->palette().color(QPalette::Base) != palette::SlotCancelled);

    // Nothing would be lost: the test starts again without a question, on
    // clean rows, runs to its end and stores what this run did.
    f.tickAt(2000);
    w.sStart->click();
    QCOMPARE(f.platform.boxes.shown, QStringList());
    QVERIFY(w.procedure().Running);
    QCOMPARE(w.realSlots[0]->text(), QString());
    QCOMPARE(w.repetitionSlots[0]->text(), QStringLiteral("0"));
    f.tickThrough(2100, 7100);
    QVERIFY(!w.procedure().Running);
    pressSaveData(w);
    const QList<Fields> records = storedRecords(t.tables.TestTable);
    QCOMPARE(records.size(), 1);
    QCOMPARE(valueOf(records[0], "RealTime1"), QStringLiteral("4"));
    QCOMPARE(valueOf(records[0], "RealR1"), QStringLiteral("1"));
}

void TestStoreActions::saveAfterALostAnswer_data()
{
    QTest::addColumn<QString>("record");       // what is saved: test, athlete, profile
    QTest::addColumn<QString>("then");         // after the lost answer
    QTest::addColumn<QStringList>("stored");   // the names on the server, by key

    QTest::newRow("test, saved again") << "test" << "again" << QStringList{"Anan"};
    QTest::newRow("test, typo corrected") << "test" << "correct" << QStringList{"Anan", "Anna"};
    QTest::newRow("test, discarded, the next athlete's") << "test" << "next" << QStringList{"Anan", "Bert"};
    QTest::newRow("athlete, saved again") << "athlete" << "again" << QStringList{"Anan"};
    QTest::newRow("athlete, typo corrected") << "athlete" << "correct" << QStringList{"Anan", "Anna"};
    QTest::newRow("profile, saved again") << "profile" << "again" << QStringList{"Anan"};
    QTest::newRow("profile, typo corrected") << "profile" << "correct" << QStringList{"Anan", "Anna"};
}

void TestStoreActions::saveAfterALostAnswer()
{
    QFETCH(QString, record);
    QFETCH(QString, then);
    if (!m_server) {
        m_server = std::make_unique<testsupport::PostgresServer>();
        QString why;
        QVERIFY2(m_server->start(&why), qPrintable(why));
    }
    const QString database = m_server->newDatabase();
    store::TrainingTables tables(m_server->address(database));
    store::TrainingTables secondStation(m_server->address(database));
    tables.openAll();
    secondStation.openAll();
    ClockWindowFixture f(&tables);
    TForm1 &w = *f.form;
    QSignalSpy reports(&w, &TForm1::recordStored);

    const bool isTest = record == QLatin1String("test");
    store::Table &table = isTest ? tables.TestTable
                                 : record == QLatin1String("athlete") ? tables.SPTable : tables.ProfilTable;
    store::Table &second = isTest ? secondStation.TestTable
                                  : record == QLatin1String("athlete") ? secondStation.SPTable : secondStation.ProfilTable;
    QLineEdit *name = record == QLatin1String("profile") ? w.Edit47 : w.Edit39;
    const auto save = [&] {
        w.Edit48->setText(QStringLiteral("1"));
        if (isTest) {
            fillThreeSetResults(w);
            pressSaveData(w);
        } else if (record == QLatin1String("athlete")) {
            w.BitBtn7->click();
        } else {
            w.BitBtn2->click();
        }
    };
    name->setText(QStringLiteral("Anan"));
    loseTheFirstAnswer(table, second);
    save();
    QCOMPARE(reports.count(), 0);
    QCOMPARE(f.platform.boxes.shown.size(), 1);

    if (then == QLatin1String("correct")) {
        name->setText(QStringLiteral("Anna"));
    } else if (then == QLatin1String("next")) {
        f.platform.boxes.saveAnswer = platform::SaveAnswer::Discard;
        w.FormActivate();
        name->setText(QStringLiteral("Bert"));
    }
    save();

    QFETCH(QStringList, stored);
    const QString nameField = record == QLatin1String("profile") ? QStringLiteral("Profil") : QStringLiteral("Name");
    QStringList names;
    QString lastKey;
    table.open();
    table.first();
    while (!table.eof()) {
        names << table.fieldText(nameField);
        lastKey = table.fieldText(table.layout().key().name);
        table.next();
    }
    QCOMPARE(names, stored);
    // The success reported is the record just written.
    QCOMPARE(reports.count(), 1);
    QVERIFY2(reports.last().at(0).toString().endsWith(QStringLiteral(" %1 saved").arg(lastKey)),
             qPrintable(reports.last().at(0).toString()));
}

void TestStoreActions::questionHoldsTheTest_data()
{
    QTest::addColumn<QString>("action");       // close, or the folder changes
    QTest::addColumn<int>("at");               // into the test: in set 1, or in the rest after it
    QTest::addColumn<int>("answer");           // platform::SaveAnswer
    QTest::addColumn<QStringList>("stored");   // RealTime1, RealR1, RealTime2, RealR2; empty: nothing

    // 2 sets of 3 repetitions of 4 s after a start rest of 1 s; set 1 ends
    // at 13 s and the 5 s rest after it at 18 s.
    const int save = int(platform::SaveAnswer::Save);
    const int discard = int(platform::SaveAnswer::Discard);
    const int cancel = int(platform::SaveAnswer::Cancel);
    const QStringList broken{"5,5", "2", "", "0"};
    const QStringList ranOut{"12", "3", "", "0"};
    QTest::newRow("close in a set, Save") << "close" << 6500 << save << broken;
    QTest::newRow("close in a set, Discard") << "close" << 6500 << discard << QStringList();
    QTest::newRow("close in a set, Cancel") << "close" << 6500 << cancel << QStringList();
    QTest::newRow("close in the rest, Save") << "close" << 15000 << save << ranOut;
    QTest::newRow("close in the rest, Cancel") << "close" << 15000 << cancel << QStringList();
    QTest::newRow("folder change in a set, Save") << "folder" << 6500 << save << broken;
    QTest::newRow("folder change in the rest, Discard") << "folder" << 15000 << discard << QStringList();
}

void TestStoreActions::questionHoldsTheTest()
{
    QFETCH(QString, action);
    QFETCH(int, at);
    QFETCH(int, answer);
    QFETCH(QStringList, stored);
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    w.Wiederholungen->setText(QStringLiteral("3"));
    w.Serien->setText(QStringLiteral("2"));
    w.show();
    w.sStart->click();
    f.tickThrough(100, at);
    const bool inSet = w.procedure().Running;
    const std::int32_t elapsed = inSet ? w.procedure().SetElapsedMs : w.procedure().RestElapsedMs;

    // Half a minute passes while the question waits: enough to end set 1,
    // the rest and set 2, were the test not standing.
    f.platform.boxes.saveAnswer = static_cast<platform::SaveAnswer>(answer);
    bool asked = false;
    f.platform.boxes.onShow = [&] {
        if (asked)
            return;
        asked = true;
        QCOMPARE(w.procedure().Running, false);
        if (inSet)
            QCOMPARE(w.pClockB->text(), QStringLiteral("Break"));
        f.tickThrough(at + 100, at + 30000);
    };
    bool mayGo = false;
    if (action == QLatin1String("close")) {
        w.BitBtn1->click();
        mayGo = !w.isVisible();
    } else {
        mayGo = w.settleBeforeClosing();
    }
    QVERIFY(asked);
    QCOMPARE(mayGo, answer != int(platform::SaveAnswer::Cancel));

    const QList<Fields> records = storedRecords(t.tables.TestTable);
    QCOMPARE(records.size(), stored.isEmpty() ? 0 : 1);
    if (!stored.isEmpty()) {
        QCOMPARE((QStringList{valueOf(records[0], "RealTime1"), valueOf(records[0], "RealR1"),
                              valueOf(records[0], "RealTime2"), valueOf(records[0], "RealR2")}),
                 stored);
    }
    if (mayGo) {
        // The test ended with the answer.
        QVERIFY(!w.procedure().Running && !w.procedure().Resting && !w.procedure().OnBreak);
        return;
    }
    // Cancel: the test goes on from where it stood when asked.
    f.tickAt(at + 30100);
    QCOMPARE(w.procedure().CurrentSet, 1);
    QCOMPARE(w.procedure().Running, inSet);
    QCOMPARE(w.procedure().Resting, !inSet);
    QCOMPARE(inSet ? w.procedure().SetElapsedMs : w.procedure().RestElapsedMs, elapsed + 100);
}

void TestStoreActions::keptResultsShownOnReopening_data()
{
    QTest::addColumn<QString>("ending");        // how set 1 of 2 ended before "Close"
    QTest::addColumn<QString>("real");          // its row's real time
    QTest::addColumn<bool>("early");            // shown in Cancel's colours
    QTest::newRow("ran out, then stopped in the rest") << "run out" << "" << false;
    QTest::newRow("cancelled") << "cancel" << "5,5" << true;
    QTest::newRow("stopped") << "stop" << "5,5" << true;
}

void TestStoreActions::keptResultsShownOnReopening()
{
    QFETCH(QString, ending);
    QFETCH(bool, early);
    Tables t;
    ClockWindowFixture f(&t.tables);
    TForm1 &w = *f.form;
    w.Wiederholungen->setText(QStringLiteral("3"));
    w.Serien->setText(QStringLiteral("2"));
    w.show();
    w.sStart->click();
    f.tickThrough(100, 6500);
    if (ending == QLatin1String("cancel"))
        w.Button1->click();
    else if (ending == QLatin1String("run out"))
        f.tickThrough(6600, 13100);
    w.sStop->click();
    f.platform.boxes.saveAnswer = platform::SaveAnswer::Cancel;
    w.BitBtn1->click();
    QVERIFY(!w.isVisible());

    // "Test" again, and the results are kept: what Save Data and
    // "Report..." would take is on show.
    w.FormActivate();
    QCOMPARE(f.platform.boxes.shown.size(), 1);
    QVERIFY(shown(w, w.BitBtn3));
    QVERIFY(w.ReportButton->isEnabled());
    for (int k = 0; k < 2; ++k) {
        QVERIFY(shown(w, w.plannedSlots[k]));
        QCOMPARE(w.plannedSlots[k]->text(), QStringLiteral("12"));
    }
    QCOMPARE(shown(w, w.realSlots[0]), early);
    QCOMPARE(shown(w, w.repetitionSlots[0]), early);
    QTEST(w.realSlots[0]->text(), "real");
    QCOMPARE(w.plannedSlots[0]->palette().color(QPalette::Base) == palette::SlotCancelled, early);
    QVERIFY(!shown(w, w.realSlots[1]));
    // Saved, it stores what was on show.
    f.platform.boxes.saveAnswer = platform::SaveAnswer::Save;
    pressSaveData(w);
    const QList<Fields> records = storedRecords(t.tables.TestTable);
    QCOMPARE(records.size(), 1);
    QCOMPARE(valueOf(records[0], "RealTime1"), early ? QStringLiteral("5,5") : QStringLiteral("12"));
}

QTEST_MAIN(TestStoreActions)
#include "tst_storeactions.moc"
