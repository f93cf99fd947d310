// Converting the Paradox tables of a folder: the three layouts in every
// version, read back through the store; keys, skipped and unplaced fields;
// the boxes at start; refused files and failed writes leave the folder as
// it was.

#include "legacy/conversion.h"
#include "app/legacyimport.h"
#include "store/trainingtables.h"
#include "support/paradoxtables.h"
#include "support/recorders.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "support/specialfiles.h"

using paradox::snapshot;

namespace {

struct Names {
    QString test, profil, athletes;
};

void writeThree(const QString &folder, const Names &names, int versionCode, int tests = 150)
{
    paradox::writeToFolder(folder, names.test, paradox::trainingTable(store::testTableLayout(), tests, versionCode));
    paradox::writeToFolder(folder, names.profil, paradox::trainingTable(store::profilLayout(), 20, versionCode));
    paradox::writeToFolder(folder, names.athletes, paradox::trainingTable(store::spTableLayout(), 30, versionCode));
}

// All records of a table, key first, through the store.
QList<QStringList> storedRecords(store::Table &table)
{
    QList<QStringList> rows;
    table.open();
    for (table.first(); !table.eof(); table.next()) {
        QStringList row;
        for (const store::FieldDef &field : table.layout().fields)
            row << table.fieldText(field.name);
        rows << row;
    }
    return rows;
}

QString keyAfterNewRecord(store::Table &table)
{
    table.open();
    table.append();
    table.setFieldText(table.layout().fields.last().name, QStringLiteral("new"));
    table.post();
    return table.fieldText(table.layout().key().name);
}

} // namespace

class TstConversion : public QObject {
    Q_OBJECT

private slots:
    void convertsTheThreeTables_data();
    void convertsTheThreeTables();
    void keysSkippedRecordsAndFieldsWithoutPlace();
    void offersConvertsAndReports();
    void declineLeavesTheFolderAsItWas();
    void refusedFilesLeaveTheFolderAsItWas_data();
    void refusedFilesLeaveTheFolderAsItWas();
    void failedWriteLeavesTheFolderAsItWas();
    void noQuestionWithoutParadoxTables();
    void damagedJournalIsReportedAndKept();
    void hostileFolderEntriesLeaveTheFolderAsItWas_data();
    void hostileFolderEntriesLeaveTheFolderAsItWas();
    void journalNamingOtherFilesIsRefused_data();
    void journalNamingOtherFilesIsRefused();
    void cutShortCopyIsMadeAgainBeforeTheOriginalGoes();
    void movesToAnotherFileSystemAreVerified();
    void headerCountThatDisagreesIsReported();
};

void TstConversion::convertsTheThreeTables_data()
{
    QTest::addColumn<int>("versionCode");
    QTest::addColumn<bool>("upperCase");
    QTest::newRow("3.0") << 3 << false;
    QTest::newRow("3.5 upper-case names") << 4 << true;
    QTest::newRow("4.x") << 9 << false;
    QTest::newRow("5.x upper-case names") << 11 << true;
    QTest::newRow("7.x") << 12 << false;
}

void TstConversion::convertsTheThreeTables()
{
    QFETCH(int, versionCode);
    QFETCH(bool, upperCase);
    QTemporaryDir dir;
    const Names names = upperCase ? Names{QStringLiteral("TESTTABLE.DB"), QStringLiteral("PROFIL.DB"), QStringLiteral("SPTABLE.DB")}
                                  : Names{QStringLiteral("TestTable.DB"), QStringLiteral("Profil.db"), QStringLiteral("SPTable.db")};
    writeThree(dir.path(), names, versionCode);
    const auto before = snapshot(dir.path());

    const legacy::Survey survey = legacy::surveyFolder(dir.path());
    QVERIFY(survey.refusals.isEmpty());
    QCOMPARE(survey.tables.size(), 3);
    QCOMPARE(survey.tables.at(0).fileName, names.test);
    QCOMPARE(survey.tables.at(0).records, 150);
    QCOMPARE(survey.tables.at(1).records, 20);
    QCOMPARE(survey.tables.at(2).records, 30);
    const legacy::ConversionResult result = legacy::convertFolder(dir.path(), survey);
    QCOMPARE(result.keptFolder, legacy::keptFilesFolderName());
    QCOMPARE(result.tables.at(0).converted, 150);

    // The old files lie byte for byte in the kept folder; the new ones in
    // their place; nothing else.
    const auto after = snapshot(dir.path());
    QStringList expected;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        QCOMPARE(after.value(legacy::keptFilesFolderName() + u'/' + it.key()), it.value());
        expected << legacy::keptFilesFolderName() + u'/' + it.key();
    }
    expected << QStringLiteral("TestTable.DB") << QStringLiteral("Profil.db") << QStringLiteral("SPTable.db");
    QStringList found = after.keys();
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);

    store::TrainingTables tables(dir.path());
    tables.openAll();
    const QList<QStringList> tests = storedRecords(tables.TestTable);
    QCOMPARE(tests.size(), 150);
    QCOMPARE(tests.at(41).at(0), QStringLiteral("42"));
    QCOMPARE(tests.at(41).at(2), QStringLiteral("2"));              // ProfilNr
    QCOMPARE(tests.at(41).at(3), QStringLiteral("Name42"));
    QCOMPARE(tests.at(41).at(58), QStringLiteral("TUTReal42"));
    QCOMPARE(storedRecords(tables.ProfilTable).at(19).at(11), QStringLiteral("RestSets20"));
    QCOMPARE(storedRecords(tables.SPTable).at(0).at(4), QStringLiteral("Height1"));
    // New keys go on after the largest one taken over.
    QCOMPARE(keyAfterNewRecord(tables.TestTable), QStringLiteral("151"));
    QCOMPARE(keyAfterNewRecord(tables.SPTable), QStringLiteral("31"));
}

void TstConversion::keysSkippedRecordsAndFieldsWithoutPlace()
{
    QTemporaryDir dir;
    // An unkeyed athletes table in code page 850 with a field the layout
    // lacks, a repeated and a missing key, an empty record and the remains
    // of a deleted record.
    paradox::Table athletes;
    athletes.keyed = false;
    athletes.codePage = 850;
    athletes.fields = {{QStringLiteral("NR"), paradox::Short, 2},      {QStringLiteral("name"), paradox::Alpha, 20},
                       {QStringLiteral("Surname"), paradox::Alpha, 20}, {QStringLiteral("Bodyweight"), paradox::Number, 8},
                       {QStringLiteral("Bemerkung"), paradox::Memo, 11}};
    auto person = [](int key, const QString &name, double weight) {
        return QList<QByteArray>{key ? paradox::storedInt(key, 2) : QByteArray(), paradox::text(name, "IBM850"),
                                 paradox::text(QStringLiteral("Größe"), "IBM850"), paradox::storedDouble(weight),
                                 QByteArray("a long remark that needs the memo file")};
    };
    athletes.records = {person(7, QStringLiteral("Jürgen"), 82.5), person(3, QStringLiteral("Anna"), 60),
                        QList<QByteArray>(5), person(7, QStringLiteral("Zoë"), 55.25),
                        person(0, QStringLiteral("Ohne"), 70)};
    athletes.deletedTail = {person(99, QStringLiteral("Gelöscht"), 1)};
    paradox::writeToFolder(dir.path(), QStringLiteral("SPTable.db"), athletes);

    // A profile table whose numbers are stored as numbers and BCD, and a
    // test table whose ProfilNr is text.
    paradox::Table profiles;
    profiles.versionCode = 11;
    profiles.fields = {{QStringLiteral("Nr"), paradox::AutoInc, 4}, {QStringLiteral("Load"), paradox::Currency, 8},
                       {QStringLiteral("StartRest"), paradox::Bcd, 2}, {QStringLiteral("Sets"), paradox::Short, 2},
                       {QStringLiteral("Exercise"), paradox::Memo, 11}};
    profiles.records = {{paradox::storedInt(5, 4), paradox::storedDouble(100.5), paradox::storedBcd(QStringLiteral("2.50"), 2),
                         paradox::storedInt(3, 2), QByteArray("Kniebeuge mit langer Beschreibung")}};
    paradox::writeToFolder(dir.path(), QStringLiteral("Profil.db"), profiles);
    paradox::Table tests;
    tests.fields = {{QStringLiteral("Testnr"), paradox::Long, 4}, {QStringLiteral("ProfilNr"), paradox::Alpha, 5},
                    {QStringLiteral("Date"), paradox::Date, 4}};
    tests.records = {{paradox::storedInt(10, 4), "5", paradox::storedInt(paradox::dayNumber(2003, 11, 9), 4)},
                     {paradox::storedInt(11, 4), "x", QByteArray()}};
    paradox::writeToFolder(dir.path(), QStringLiteral("TestTable.DB"), tests);

    const legacy::Survey survey = legacy::surveyFolder(dir.path());
    QVERIFY(survey.refusals.isEmpty());
    QCOMPARE(survey.tables.size(), 3);
    const legacy::ConversionResult result = legacy::convertFolder(dir.path(), survey);

    const legacy::TableReport &testReport = result.tables.at(0);
    QCOMPARE(testReport.converted, 2);
    QCOMPARE(testReport.notWholeNumbers, 1);
    const legacy::TableReport &athleteReport = result.tables.at(2);
    QCOMPARE(athleteReport.converted, 4);
    QCOMPARE(athleteReport.skipped, 1);
    QCOMPARE(athleteReport.unplacedFields, QStringList{QStringLiteral("Bemerkung")});
    QCOMPARE(athleteReport.replacedValues, 0);
    using Renumbered = QList<std::pair<QString, qint64>>;
    QCOMPARE(athleteReport.renumbered, (Renumbered{{QStringLiteral("7"), 8}, {QString(), 9}}));
    QVERIFY(legacy::conversionReport(result).contains(
        QStringLiteral("SPTable.db (now SPTable): 4 records converted, 1 skipped as empty.\n"
                       "    Fields with no place in Korvane: Bemerkung.\n"
                       "    Values with characters that had to be replaced: 0.\n"
                       "    Keys renumbered because they were repeated or unusable: 2 (Nr 7 became 8; an empty Nr became 9).\n")));

    store::TrainingTables tables(dir.path());
    tables.openAll();
    const QList<QStringList> people = storedRecords(tables.SPTable);
    QCOMPARE(people, (QList<QStringList>{
                         {QStringLiteral("3"), QStringLiteral("Anna"), QStringLiteral("Größe"), QStringLiteral("60"), QString()},
                         {QStringLiteral("7"), QStringLiteral("Jürgen"), QStringLiteral("Größe"), QStringLiteral("82,5"), QString()},
                         {QStringLiteral("8"), QStringLiteral("Zoë"), QStringLiteral("Größe"), QStringLiteral("55,25"), QString()},
                         {QStringLiteral("9"), QStringLiteral("Ohne"), QStringLiteral("Größe"), QStringLiteral("70"), QString()}}));
    QCOMPARE(keyAfterNewRecord(tables.SPTable), QStringLiteral("10"));
    const QStringList profile = storedRecords(tables.ProfilTable).first();
    QCOMPARE(profile.at(0), QStringLiteral("5"));
    QCOMPARE(profile.at(2), QStringLiteral("Kniebeuge mit langer Beschreibung"));
    QCOMPARE(profile.at(3), QStringLiteral("100,5"));
    QCOMPARE(profile.at(4), QStringLiteral("2,5"));
    QCOMPARE(profile.at(10), QStringLiteral("3"));
    QCOMPARE(profile.at(1), QString());
    const QList<QStringList> stored = storedRecords(tables.TestTable);
    QCOMPARE(stored.at(0).mid(0, 3), (QStringList{QStringLiteral("10"), QStringLiteral("09.11.2003"), QStringLiteral("5")}));
    QCOMPARE(stored.at(1).mid(0, 3), (QStringList{QStringLiteral("11"), QString(), QString()}));
    QSqlQuery query(tables.TestTable.database());
    QVERIFY(query.exec(QStringLiteral("SELECT typeof(ProfilNr) FROM TestTable WHERE Testnr = 10")) && query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("integer"));
}

void TstConversion::offersConvertsAndReports()
{
    QTemporaryDir dir;
    writeThree(dir.path(), {QStringLiteral("TestTable.DB"), QStringLiteral("PROFIL.DB"), QStringLiteral("SPTable.db")}, 12);
    TestPlatform platform;
    QVERIFY(legacy::offerLegacyConversion(dir.path()));
    QCOMPARE(platform.boxes.shown.size(), 2);
    const QString question = platform.boxes.shown.at(0);
    QVERIFY(question.startsWith(QStringLiteral("confirm:")));
    QVERIFY(question.contains(QDir::toNativeSeparators(QFileInfo(dir.path()).absoluteFilePath())));
    QVERIFY(question.contains(QStringLiteral("TestTable.DB: 150 records")));
    QVERIFY(question.contains(QStringLiteral("PROFIL.DB: 20 records")));
    QVERIFY(question.contains(QStringLiteral("SPTable.db: 30 records")));
    QVERIFY(question.contains(QStringLiteral("kept unchanged")));
    QVERIFY(question.contains(legacy::keptFilesFolderName()));
    const QString report = platform.boxes.shown.at(1);
    QVERIFY(report.startsWith(QStringLiteral("inform:")));
    QVERIFY2(report.contains(QStringLiteral("PROFIL.DB (now Profil): 20 records converted, 0 skipped")), qPrintable(report));
    QVERIFY(report.contains(QStringLiteral("Keys renumbered: none.")));
    // The next start finds Korvane's own tables and asks nothing.
    platform.boxes.shown.clear();
    QVERIFY(legacy::offerLegacyConversion(dir.path()));
    QCOMPARE(platform.boxes.shown, QStringList());
    store::TrainingTables tables(dir.path());
    tables.openAll();
    QCOMPARE(storedRecords(tables.ProfilTable).size(), 20);
}

void TstConversion::declineLeavesTheFolderAsItWas()
{
    QTemporaryDir dir;
    writeThree(dir.path(), {QStringLiteral("TestTable.DB"), QStringLiteral("Profil.db"), QStringLiteral("SPTable.db")}, 9);
    const auto before = snapshot(dir.path());
    TestPlatform platform;
    platform.boxes.answer = false;
    QVERIFY(!legacy::offerLegacyConversion(dir.path()));
    QCOMPARE(platform.boxes.shown.size(), 1);
    QCOMPARE(snapshot(dir.path()), before);
    QVERIFY(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

void TstConversion::refusedFilesLeaveTheFolderAsItWas_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("message");
    QTest::newRow("cut off") << QStringLiteral("cut") << QStringLiteral("\"Profil.db\": it is cut off");
    QTest::newRow("memo file missing") << QStringLiteral("memo") << QStringLiteral("\"Profil.db\": its memo file");
    QTest::newRow("encrypted") << QStringLiteral("encrypted") << QStringLiteral("\"Profil.db\": it is encrypted");
    QTest::newRow("two tables of one name") << QStringLiteral("twice") << QStringLiteral("holds the same table");
}

void TstConversion::refusedFilesLeaveTheFolderAsItWas()
{
    QFETCH(QString, damage);
    QFETCH(QString, message);
    QTemporaryDir dir;
    writeThree(dir.path(), {QStringLiteral("TestTable.DB"), QStringLiteral("Profil.db"), QStringLiteral("SPTable.db")}, 12);
    paradox::Table profiles = paradox::trainingTable(store::profilLayout(), 40);
    profiles.fields[2] = {QStringLiteral("Exercise"), paradox::Memo, 11};
    for (auto &record : profiles.records)
        record[2] = QByteArray("Exercise with a long description");
    profiles.encrypted = damage == QLatin1String("encrypted");
    const paradox::Files files = paradox::writeToFolder(dir.path(), QStringLiteral("Profil.db"), profiles);
    if (damage == QLatin1String("cut"))
        QVERIFY(QFile::resize(QDir(dir.path()).filePath(QStringLiteral("Profil.db")), files.db.size() - 3000));
    if (damage == QLatin1String("memo"))
        QVERIFY(QFile::remove(QDir(dir.path()).filePath(QStringLiteral("Profil.mb"))));
    if (damage == QLatin1String("twice") && QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("SPTABLE.DB"))))
        QSKIP("names that differ in case only name one file here");
    if (damage == QLatin1String("twice"))
        QVERIFY(QFile::copy(QDir(dir.path()).filePath(QStringLiteral("SPTable.db")), QDir(dir.path()).filePath(QStringLiteral("SPTABLE.DB"))));
    const auto before = snapshot(dir.path());

    TestPlatform platform;
    QVERIFY(!legacy::offerLegacyConversion(dir.path()));
    QCOMPARE(platform.boxes.shown.size(), 1);
    QVERIFY2(platform.boxes.shown.first().startsWith(QStringLiteral("error:")), qPrintable(platform.boxes.shown.first()));
    QVERIFY2(platform.boxes.shown.first().contains(message), qPrintable(platform.boxes.shown.first()));
    QCOMPARE(snapshot(dir.path()), before);
}

void TstConversion::failedWriteLeavesTheFolderAsItWas()
{
    // Something in the way of the new file: the conversion fails before
    // anything is moved, and what it wrote is gone again.
    QTemporaryDir dir;
    writeThree(dir.path(), {QStringLiteral("TestTable.DB"), QStringLiteral("Profil.db"), QStringLiteral("SPTable.db")}, 12);
    QVERIFY(QDir(dir.path()).mkdir(legacy::temporaryFileName(store::spTableLayout())));
    const auto before = snapshot(dir.path());
    TestPlatform platform;
    QVERIFY(!legacy::offerLegacyConversion(dir.path()));
    QCOMPARE(platform.boxes.shown.size(), 2);
    QVERIFY2(platform.boxes.shown.at(1).contains(QStringLiteral("\"SPTable.db\"")), qPrintable(platform.boxes.shown.at(1)));
    QCOMPARE(snapshot(dir.path()), before);
    QVERIFY(!QFileInfo::exists(QDir(dir.path()).filePath(legacy::keptFilesFolderName())));
}

void TstConversion::noQuestionWithoutParadoxTables()
{
    QTemporaryDir dir;
    TestPlatform platform;
    QVERIFY(legacy::offerLegacyConversion(dir.path()));
    {
        store::TrainingTables tables(dir.path());
        tables.openAll();
    }
    QVERIFY(legacy::offerLegacyConversion(dir.path()));
    QCOMPARE(platform.boxes.shown, QStringList());
}

void TstConversion::damagedJournalIsReportedAndKept()
{
    QTemporaryDir dir;
    writeThree(dir.path(), {QStringLiteral("TestTable.DB"), QStringLiteral("Profil.db"), QStringLiteral("SPTable.db")}, 12);
    QFile journal(QDir(dir.path()).filePath(legacy::journalFileName()));
    QVERIFY(journal.open(QIODevice::WriteOnly));
    journal.write("KORVANE-CONVERSION 1\nmove\t../elsewhere\nend\n");
    journal.close();
    const auto before = snapshot(dir.path());
    TestPlatform platform;
    QVERIFY(!legacy::offerLegacyConversion(dir.path()));
    QCOMPARE(platform.boxes.shown.size(), 1);
    QVERIFY2(platform.boxes.shown.first().contains(QStringLiteral("journal \".korvane-conversion-journal\" is damaged")),
             qPrintable(platform.boxes.shown.first()));
    QCOMPARE(snapshot(dir.path()), before);
}

void TstConversion::hostileFolderEntriesLeaveTheFolderAsItWas_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    QTest::newRow("named pipe named like a table")
        << "fifo" << "\"PROFIL.DB\": it is a named pipe (FIFO), not an ordinary file";
    QTest::newRow("no Paradox table under a table's name in another case")
        << "misnamed" << "\"PROFIL.DB\": it is named like the table \"Profil.db\" but is no Paradox table";
    QTest::newRow("kept folder name taken by a file")
        << "keptfile" << "\"Paradox tables (before conversion)\" that receives the old files cannot be used: it is "
                         "an ordinary file, not a folder";
    QTest::newRow("kept folder name a dangling link")
        << "keptlink" << "cannot be used: it is a link to a missing file, not a folder";
    QTest::newRow("read-only folder") << "readonly" << "cannot be converted because the folder is read-only";
}

void TstConversion::hostileFolderEntriesLeaveTheFolderAsItWas()
{
    QFETCH(QString, setup);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QDir d(dir.path());
    const bool withoutProfiles = setup == QLatin1String("fifo") || setup == QLatin1String("misnamed");
    paradox::writeToFolder(dir.path(), QStringLiteral("TestTable.DB"), paradox::trainingTable(store::testTableLayout(), 5));
    if (!withoutProfiles)
        paradox::writeToFolder(dir.path(), QStringLiteral("Profil.db"), paradox::trainingTable(store::profilLayout(), 5));
    const QString kept = d.filePath(legacy::keptFilesFolderName());
    if (setup == QLatin1String("fifo"))
        SPECIAL_MAKE_FIFO(d.filePath(QStringLiteral("PROFIL.DB")));
    if (setup == QLatin1String("misnamed")) {
        QFile file(d.filePath(QStringLiteral("PROFIL.DB")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("Nr;Name\r\n").repeated(40));
    }
    if (setup == QLatin1String("keptfile")) {
        QFile file(kept);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (setup == QLatin1String("keptlink"))
        SPECIAL_MAKE_LINK(d.filePath(QStringLiteral("gone")), kept);
    const auto before = snapshot(dir.path());
    if (setup == QLatin1String("readonly"))
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    special::ObeyPermissions obey;
    if (setup == QLatin1String("readonly") && !obey.active())
        QSKIP("this process cannot be made to obey file permissions");

    special::FifoGuard guard(d.filePath(QStringLiteral("PROFIL.DB")));
    TestPlatform platform;
    const bool went = legacy::offerLegacyConversion(dir.path());
    QVERIFY2(!guard.disarm(), "the start blocked on the named pipe");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!went);
    QVERIFY(!platform.boxes.shown.isEmpty());
    QVERIFY2(platform.boxes.shown.last().startsWith(QStringLiteral("error:")) && platform.boxes.shown.last().contains(message),
             qPrintable(platform.boxes.shown.last()));
    QCOMPARE(snapshot(dir.path()), before);
}

void TstConversion::journalNamingOtherFilesIsRefused_data()
{
    QTest::addColumn<QString>("journal");
    QTest::addColumn<QString>("named");
    const QString temporary = legacy::temporaryFileName(store::testTableLayout());
    QTest::newRow("another kept folder") << "kept\tDocuments\nend\n" << "Documents";
    QTest::newRow("another file moved")
        << QStringLiteral("kept\t%1\nmove\tnotes.txt\nplace\t%2\tTestTable.DB\nend\n").arg(legacy::keptFilesFolderName(), temporary)
        << "notes.txt";
    QTest::newRow("another file put in place")
        << QStringLiteral("kept\t%1\nplace\t%2\tProfil.db\nend\n").arg(legacy::keptFilesFolderName(), temporary)
        << "Profil.db";
    QTest::newRow("the live table moved aside")
        << QStringLiteral("kept\t%1\nmove\tTestTable.DB\nplace\t%2\tTestTable.DB\nend\n").arg(legacy::keptFilesFolderName(), temporary)
        << "TestTable.DB";
}

void TstConversion::journalNamingOtherFilesIsRefused()
{
    QFETCH(QString, journal);
    QFETCH(QString, named);
    QTemporaryDir dir;
    const QDir d(dir.path());
    {
        // The live tables, and another table under the temporary name.
        store::TrainingTables tables(dir.path());
        tables.openAll();
        keyAfterNewRecord(tables.TestTable);
        store::Table other(store::testTableLayout(), QDir(dir.path()).filePath(QStringLiteral("sub")));
        QVERIFY(d.mkdir(QStringLiteral("sub")));
        other.open();
    }
    QVERIFY(QFile::rename(d.filePath(QStringLiteral("sub/TestTable.DB")),
                          d.filePath(legacy::temporaryFileName(store::testTableLayout()))));
    QFile file(d.filePath(QStringLiteral("notes.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QFile journalFile(d.filePath(legacy::journalFileName()));
    QVERIFY(journalFile.open(QIODevice::WriteOnly));
    journalFile.write("KORVANE-CONVERSION 1\n" + journal.toUtf8());
    journalFile.close();
    const auto before = snapshot(dir.path());
    TestPlatform platform;
    QVERIFY(!legacy::offerLegacyConversion(dir.path()));
    QCOMPARE(platform.boxes.shown.size(), 1);
    QVERIFY2(platform.boxes.shown.first().contains(QStringLiteral("\"%1\"").arg(named))
                 && platform.boxes.shown.first().contains(QStringLiteral("which a conversion never writes")),
             qPrintable(platform.boxes.shown.first()));
    QCOMPARE(snapshot(dir.path()), before);
}

void TstConversion::cutShortCopyIsMadeAgainBeforeTheOriginalGoes()
{
    // A move across file systems stopped by a full disk: the copy in the kept
    // folder is short, the original still there.  The next start copies
    // again and removes the original only then.
    QTemporaryDir dir;
    const QDir d(dir.path());
    writeThree(dir.path(), {QStringLiteral("TestTable.DB"), QStringLiteral("Profil.db"), QStringLiteral("SPTable.db")}, 12);
    const auto originals = snapshot(dir.path());
    const legacy::Survey survey = legacy::surveyFolder(dir.path());
    QString journal = QStringLiteral("KORVANE-CONVERSION 1\nkept\t%1\n").arg(legacy::keptFilesFolderName());
    QString places;
    for (const legacy::FoundTable &found : survey.tables) {
        QFile db(d.filePath(found.fileName));
        QVERIFY(db.open(QIODevice::ReadOnly));
        const QByteArray bytes = db.readAll();
        legacy::convertTable(legacy::ParadoxTable(bytes), *found.layout, d.filePath(legacy::temporaryFileName(*found.layout)));
        for (const QString &name : QStringList{found.fileName} + found.companions)
            journal += QStringLiteral("move\t%1\n").arg(name);
        places += QStringLiteral("place\t%1\t%2\n").arg(legacy::temporaryFileName(*found.layout), found.layout->fileName);
    }
    QFile file(d.filePath(legacy::journalFileName()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write((journal + places + QStringLiteral("end\n")).toUtf8());
    file.close();
    QVERIFY(d.mkdir(legacy::keptFilesFolderName()));
    const QString kept = legacy::keptFilesFolderName() + QStringLiteral("/TestTable.DB");
    QFile partial(d.filePath(kept));
    QVERIFY(partial.open(QIODevice::WriteOnly));
    partial.write(originals.value(QStringLiteral("TestTable.DB")).left(1000));
    partial.close();

    QCOMPARE(legacy::recoverConversion(dir.path()), legacy::Recovery::Completed);
    const auto after = snapshot(dir.path());
    for (auto it = originals.cbegin(); it != originals.cend(); ++it)
        QCOMPARE(after.value(legacy::keptFilesFolderName() + u'/' + it.key()), it.value());
    store::TrainingTables tables(dir.path());
    tables.openAll();
    QCOMPARE(storedRecords(tables.TestTable).size(), 150);
}

void TstConversion::movesToAnotherFileSystemAreVerified()
{
    // The kept folder is a link to a folder on another file system, so the
    // old files are copied, compared and only then removed.
    QTemporaryDir dir;
    QTemporaryDir other(QStringLiteral("/dev/shm/korvane-kept-XXXXXX"));
    struct stat here {};
    struct stat there {};
    if (!other.isValid() || ::stat(QFile::encodeName(dir.path()).constData(), &here) != 0
        || ::stat(QFile::encodeName(other.path()).constData(), &there) != 0 || here.st_dev == there.st_dev)
        QSKIP("no second file system for the temporary folders");
    writeThree(dir.path(), {QStringLiteral("TestTable.DB"), QStringLiteral("Profil.db"), QStringLiteral("SPTable.db")}, 12);
    const auto originals = snapshot(dir.path());
    SPECIAL_MAKE_LINK(other.path(), QDir(dir.path()).filePath(legacy::keptFilesFolderName()));
    const legacy::ConversionResult result = legacy::convertFolder(dir.path(), legacy::surveyFolder(dir.path()));
    QCOMPARE(result.tables.size(), 3);
    QCOMPARE(snapshot(other.path()), originals);
    store::TrainingTables tables(dir.path());
    tables.openAll();
    QCOMPARE(storedRecords(tables.ProfilTable).size(), 20);
}

void TstConversion::headerCountThatDisagreesIsReported()
{
    QTemporaryDir dir;
    writeThree(dir.path(), {QStringLiteral("TestTable.DB"), QStringLiteral("Profil.db"), QStringLiteral("SPTable.db")}, 12);
    // The header of the athletes' table says 99 records; its blocks hold 30.
    QFile file(QDir(dir.path()).filePath(QStringLiteral("SPTable.db")));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(6));
    file.write(QByteArray("\x63\0\0\0", 4));
    file.close();
    TestPlatform platform;
    QVERIFY(legacy::offerLegacyConversion(dir.path()));
    QCOMPARE(platform.boxes.shown.size(), 2);
    const QString report = platform.boxes.shown.last();
    QVERIFY2(report.contains(QStringLiteral("SPTable.db (now SPTable): 30 records converted, 0 skipped as empty.\n"
                                            "    Its header counts 99 records but its blocks hold 30 records")),
             qPrintable(report));
    QVERIFY2(!report.contains(QStringLiteral("TestTable.DB (now TestTable): 150 records converted, 0 skipped as empty.\n    Its header")),
             qPrintable(report));
}

QTEST_MAIN(TstConversion)
#include "tst_conversion.moc"
