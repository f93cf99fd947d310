// The copy of the tables made before the first write of each day.

#include "store/dailybackup.h"
#include "store/trainingtables.h"

#include "support/manualclock.h"
#include "support/specialfiles.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using special::mode;
using special::ObeyPermissions;

namespace {

const QDate kToday(2026, 12, 6);

// Stores one test; its first text field holds `name`.
void storeTest(store::TrainingTables &tables, const QString &name)
{
    store::Table &table = tables.TestTable;
    table.append();
    table.setFieldText(table.layout().fields.at(1).name, name);
    table.post();
}

// The tests stored in a backup copy of TestTable, by that first field.
QStringList testsIn(const QString &file)
{
    QStringList names;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("backup-reader"));
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            const store::Layout &layout = store::testTableLayout();
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("SELECT \"%1\" FROM \"%2\" ORDER BY 1")
                               .arg(layout.fields.at(1).name, layout.tableName)))
                while (query.next())
                    names << query.value(0).toString();
            else
                names << QStringLiteral("<unreadable>");
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("backup-reader"));
    return names;
}

struct Fixture {
    QTemporaryDir folder;
    ManualClock clock;
    store::TrainingTables tables{folder.path()};
    QStringList failures;

    Fixture()
    {
        clock.setDate(kToday);
        platform::setWallClock(&clock);
        tables.openAll();
        tables.backup().setFailureHandler([this](const core::Failure &failure) {
            QCOMPARE(failure.kind(), core::Failure::Kind::BackupFailed);
            failures << failure.message();
        });
    }
    ~Fixture() { platform::setWallClock(nullptr); }
    QString day(const QDate &date) { return tables.backup().dayFolder(date); }
};

} // namespace

class TestDailyBackup : public QObject {
    Q_OBJECT
private slots:
    void onceADayBeforeTheFirstWrite();
    void madeAsideBeforeTheFirstWrite_data();
    void madeAsideBeforeTheFirstWrite();
    void keepsFourteenDaysAndNothingElseGoes();
    void failedBackupLetsTheSaveSucceed_data();
    void failedBackupLetsTheSaveSucceed();
};

void TestDailyBackup::onceADayBeforeTheFirstWrite()
{
    Fixture f;
    QVERIFY(!QFileInfo::exists(f.tables.backup().backupsFolder()));
    storeTest(f.tables, QStringLiteral("Anna"));
    storeTest(f.tables, QStringLiteral("Ben"));
    const QDir first(f.day(kToday));
    // As the tables were before the day's first write, all three of them.
    QCOMPARE(testsIn(first.filePath(QStringLiteral("TestTable.DB"))), QStringList());
    QCOMPARE(first.entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{QStringLiteral("Profil.db"), QStringLiteral("SPTable.db"), QStringLiteral("TestTable.DB")}));
    // (Always on Linux; Wine keeps no access list given to a file.)
    if (special::accessListsKept()) {
        QCOMPARE(mode(first.path()) & 0777, 0700u);
        QCOMPARE(mode(first.filePath(QStringLiteral("TestTable.DB"))) & 0777, 0600u);
    }

    // The next day's first write copies what the day before left.
    f.clock.setDate(kToday.addDays(1));
    storeTest(f.tables, QStringLiteral("Cleo"));
    QCOMPARE(testsIn(QDir(f.day(kToday.addDays(1))).filePath(QStringLiteral("TestTable.DB"))),
             (QStringList{QStringLiteral("Anna"), QStringLiteral("Ben")}));
    QCOMPARE(testsIn(first.filePath(QStringLiteral("TestTable.DB"))), QStringList());

    // Another run on the same day keeps that day's backup as it is.
    {
        store::TrainingTables again(f.folder.path());
        again.openAll();
        storeTest(again, QStringLiteral("Dora"));
    }
    QCOMPARE(testsIn(QDir(f.day(kToday.addDays(1))).filePath(QStringLiteral("TestTable.DB"))),
             (QStringList{QStringLiteral("Anna"), QStringLiteral("Ben")}));
    QCOMPARE(f.failures, QStringList());
}

void TestDailyBackup::madeAsideBeforeTheFirstWrite_data()
{
    QTest::addColumn<bool>("waitForIt");
    QTest::newRow("the save finds it done") << true;
    QTest::newRow("the save comes while it is made") << false;
}

void TestDailyBackup::madeAsideBeforeTheFirstWrite()
{
    QFETCH(bool, waitForIt);
    Fixture f;
    storeTest(f.tables, QStringLiteral("Anna"));
    storeTest(f.tables, QStringLiteral("Ben"));
    // The day turns while the program runs.
    const QDate nextDay = kToday.addDays(1);
    f.clock.setDate(nextDay);
    const QString copy = QDir(f.day(nextDay)).filePath(QStringLiteral("TestTable.DB"));
    f.tables.backup().startAside();
    if (waitForIt) {
        QTRY_VERIFY(!f.tables.backup().isMakingAside());
        // Made without any write.
        QCOMPARE(testsIn(copy), (QStringList{QStringLiteral("Anna"), QStringLiteral("Ben")}));
    }
    storeTest(f.tables, QStringLiteral("Cleo"));
    QVERIFY(!f.tables.backup().isMakingAside());
    // As the tables were before the day's first write, all three of them.
    QCOMPARE(testsIn(copy), (QStringList{QStringLiteral("Anna"), QStringLiteral("Ben")}));
    QCOMPARE(QDir(f.day(nextDay)).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{QStringLiteral("Profil.db"), QStringLiteral("SPTable.db"), QStringLiteral("TestTable.DB")}));
    // Started again on the same day, it leaves the day's backup as it is.
    f.tables.backup().startAside();
    QVERIFY(!f.tables.backup().isMakingAside());
    storeTest(f.tables, QStringLiteral("Dora"));
    QCOMPARE(testsIn(copy), (QStringList{QStringLiteral("Anna"), QStringLiteral("Ben")}));
    QCOMPARE(f.failures, QStringList());
}

void TestDailyBackup::keepsFourteenDaysAndNothingElseGoes()
{
    Fixture f;
    const QDir backups(f.tables.backup().backupsFolder());
    QVERIFY(backups.mkpath(QStringLiteral(".")));
    // Twenty earlier days with backups, every other day.
    for (int i = 1; i <= 20; ++i) {
        const QDir old(f.day(kToday.addDays(-2 * i)));
        QVERIFY(old.mkpath(QStringLiteral(".")));
        for (const char *name : {"TestTable.DB", "Profil.db", "SPTable.db"})
            QVERIFY(QFile(old.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
    }
    // Entries that are no backups of Korvane's, and a note the user left in
    // the oldest backup.
    QVERIFY(QFile(backups.filePath(QStringLiteral("readme.txt"))).open(QIODevice::WriteOnly));
    QVERIFY(backups.mkpath(QStringLiteral("2026-13-45")));
    QVERIFY(backups.mkpath(QStringLiteral("before the move")));
    QVERIFY(QFile(QDir(f.day(kToday.addDays(-40))).filePath(QStringLiteral("note.txt"))).open(QIODevice::WriteOnly));

    storeTest(f.tables, QStringLiteral("Anna"));

    QStringList expected;
    for (int i = 13; i >= 1; --i)
        expected << kToday.addDays(-2 * i).toString(Qt::ISODate);
    expected << kToday.toString(Qt::ISODate);
    expected.prepend(kToday.addDays(-40).toString(Qt::ISODate)); // holds the note
    expected << QStringLiteral("2026-13-45") << QStringLiteral("before the move") << QStringLiteral("readme.txt");
    QStringList present = backups.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    QCOMPARE(present, expected);
    QCOMPARE(QDir(f.day(kToday.addDays(-40))).entryList(QDir::Files), QStringList{QStringLiteral("note.txt")});
    QCOMPARE(f.failures, QStringList());
}

void TestDailyBackup::failedBackupLetsTheSaveSucceed_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<bool>("aside");
    for (const bool aside : {false, true}) {
        const char *how = aside ? ", made aside" : "";
        QTest::addRow("Backups is a file%s", how) << "file" << aside;
        QTest::addRow("read-only Backups folder%s", how) << "read-only" << aside;
        QTest::addRow("the day's copy is a folder%s", how) << "folder in the way" << aside;
    }
}

void TestDailyBackup::failedBackupLetsTheSaveSucceed()
{
    QFETCH(QString, obstacle);
    QFETCH(bool, aside);
    Fixture f;
    const QString backups = f.tables.backup().backupsFolder();
    if (obstacle == QLatin1String("file")) {
        QVERIFY(QFile(backups).open(QIODevice::WriteOnly));
    } else if (obstacle == QLatin1String("read-only")) {
        QVERIFY(QDir().mkpath(backups));
        QVERIFY(QFile::setPermissions(backups, QFile::ReadOwner | QFile::ExeOwner));
    } else {
        QVERIFY(QDir().mkpath(QDir(f.day(kToday)).filePath(QStringLiteral("SPTable.db.part"))));
    }
    {
        ObeyPermissions obey;
        if (!obey.active())
            QSKIP("file permissions cannot be obeyed here");
        if (aside)
            f.tables.backup().startAside();
        storeTest(f.tables, QStringLiteral("Anna"));
        storeTest(f.tables, QStringLiteral("Ben"));
    }
    QFile::setPermissions(backups, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Both stored, the failure said once.
    f.tables.TestTable.first();
    QStringList stored;
    for (; !f.tables.TestTable.eof(); f.tables.TestTable.next())
        stored << f.tables.TestTable.fieldText(f.tables.TestTable.layout().fields.at(1).name);
    QCOMPARE(stored, (QStringList{QStringLiteral("Anna"), QStringLiteral("Ben")}));
    QCOMPARE(f.failures.size(), 1);
    QVERIFY2(f.failures.first().contains(QDir::toNativeSeparators(f.day(kToday))), qPrintable(f.failures.first()));
    // Tried again the next day.
    f.clock.setDate(kToday.addDays(1));
    storeTest(f.tables, QStringLiteral("Cleo"));
    QCOMPARE(f.failures.size(), obstacle == QLatin1String("file") ? 2 : 1);
}

QTEST_MAIN(TestDailyBackup)
#include "tst_dailybackup.moc"
