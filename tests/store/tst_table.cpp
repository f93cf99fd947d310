// The table store: layouts, keys, the current record, pending records, field
// access, refused files and the export query.

#include "store/layout.h"
#include "store/query.h"
#include "store/records.h"
#include "store/trainingtables.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "support/specialfiles.h"

#include <cstdio>

using store::StoreError;
using store::Table;
using store::TrainingTables;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Adds one record through the table's own operations; returns its key.
qint64 addProfile(Table &table, const QString &name, const QString &startRest = QString())
{
    table.append();
    table.setFieldText(QStringLiteral("Profil"), name);
    if (!startRest.isNull())
        table.setFieldText(QStringLiteral("StartRest"), startRest);
    table.post();
    return table.fieldText(QStringLiteral("Nr")).toLongLong();
}

QStringList visitNames(Table &table, const QString &field)
{
    QStringList names;
    for (table.first(); !table.eof(); table.next())
        names << table.fieldText(field);
    return names;
}

QString openAllError(TrainingTables &tables)
{
    try {
        tables.openAll();
    } catch (const StoreError &error) {
        return error.message();
    }
    return QString();
}

} // namespace

class TstTable : public QObject {
    Q_OBJECT

private slots:
    void missingFilesAreCreatedWithTheirLayouts();
    void keysCountUpFromOneAndAreNeverReused();
    void valuesComeBackExactly_data();
    void valuesComeBackExactly();
    void profilNrHoldsAWholeNumber();
    void fieldNamesIgnoreCase_data();
    void fieldNamesIgnoreCase();
    void unknownFieldIsAnError();
    void openingAnOpenTableKeepsTheCurrentRecord();
    void firstOnAnEmptyTableIsTheEnd();
    void recordsAreVisitedInKeyOrder();
    void findByKeyMissKeepsTheCurrentRecord();
    void closeKeepsPostedAndDropsUnposted();
    void pendingRecordIsPostedWithChangesAndDroppedWithout_data();
    void pendingRecordIsPostedWithChangesAndDroppedWithout();
    void cancelReturnsToThePreviousRecord();
    void closedTableRefusesWork();
    void keyIsNotWritable();
    void refusedFilesAreLeftUntouched_data();
    void refusedFilesAreLeftUntouched();
    void damageDeeperInTheFileIsReportedWhenRead_data();
    void damageDeeperInTheFileIsReportedWhenRead();
    void removedOrReplacedFileIsExplained_data();
    void removedOrReplacedFileIsExplained();
    void fileLockedByAnotherProgramIsRefused();
    void exportQueryReadsAllFieldsByPosition();
    void exportQueryRejectsOtherTexts();
    void onlyOrdinaryTableFilesAreOpened_data();
    void onlyOrdinaryTableFilesAreOpened();
    void typedRecordsLandInTheirFields();
    void refusedTypedRecordLeavesNothingBegun();
    void readOnlyFolderIsNamedAtTheFirstFailedWrite();
    void tablesOpenedAsideServeTheCallingThread_data();
    void tablesOpenedAsideServeTheCallingThread();
};

void TstTable::missingFilesAreCreatedWithTheirLayouts()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    const struct {
        Table *table;
        const char *file;
        int fields;
    } expected[] = {{&tables.TestTable, "TestTable.DB", 59}, {&tables.ProfilTable, "Profil.db", 12},
                    {&tables.SPTable, "SPTable.db", 5}};
    for (const auto &e : expected) {
        QVERIFY2(QFile::exists(dir.filePath(QString::fromUtf8(e.file))), e.file);
        QCOMPARE(e.table->fileName(), QString::fromUtf8(e.file));
        QSqlQuery query(e.table->database());
        QVERIFY(query.exec(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(e.table->tableName())));
        QStringList names;
        while (query.next())
            names << query.value(0).toString();
        QCOMPARE(names.size(), e.fields);
        for (int i = 0; i < e.fields; ++i)
            QCOMPARE(names.at(i), e.table->layout().fields.at(i).name);
    }
    QCOMPARE(tables.TestTable.layout().fields.at(49).name, QStringLiteral("StartRest"));
    QCOMPARE(tables.TestTable.layout().fields.at(45).name, QStringLiteral("RealTime19"));

    // A second start finds the files it made acceptable.
    TrainingTables again(dir.path());
    QCOMPARE(openAllError(again), QString());
}

void TstTable::keysCountUpFromOneAndAreNeverReused()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    Table &table = tables.ProfilTable;
    QCOMPARE(addProfile(table, QStringLiteral("a")), 1);
    QCOMPARE(addProfile(table, QStringLiteral("b")), 2);
    QCOMPARE(addProfile(table, QStringLiteral("c")), 3);
    QSqlQuery remove(table.database());
    QVERIFY(remove.exec(QStringLiteral("DELETE FROM Profil WHERE Nr >= 2")));
    QCOMPARE(addProfile(table, QStringLiteral("d")), 4);
    QCOMPARE(visitNames(table, QStringLiteral("Profil")), (QStringList{QStringLiteral("a"), QStringLiteral("d")}));
}

void TstTable::valuesComeBackExactly_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("decimal comma") << QStringLiteral("1,5");
    QTest::newRow("leading zeros") << QStringLiteral("007");
    QTest::newRow("number-like") << QStringLiteral("1e5");
    QTest::newRow("long digits") << QStringLiteral("123456789012345678901234567890");
    QTest::newRow("blanks kept") << QStringLiteral("  Kniebeuge ");
    QTest::newRow("empty") << QString();
    QTest::newRow("quote and semicolon") << QStringLiteral("O'Neil; \"x\"");
    QTest::newRow("non-latin") << QStringLiteral("Übung € 深蹲");
    QTest::newRow("sql-looking") << QStringLiteral("x'); DROP TABLE TestTable; --");
}

void TstTable::valuesComeBackExactly()
{
    QFETCH(QString, value);
    QTemporaryDir dir;
    {
        TrainingTables tables(dir.path());
        tables.openAll();
        tables.TestTable.append();
        tables.TestTable.setFieldText(QStringLiteral("Exercise"), value);
        tables.TestTable.setFieldText(QStringLiteral("RealTime20"), value);
        tables.TestTable.setFieldText(QStringLiteral("Date"), QStringLiteral("07.12.2026"));
        tables.TestTable.post();
        QCOMPARE(tables.TestTable.fieldText(QStringLiteral("Exercise")), value);
    }
    TrainingTables reopened(dir.path());
    reopened.openAll();
    QVERIFY(reopened.TestTable.findKey(1));
    QCOMPARE(reopened.TestTable.fieldText(QStringLiteral("Exercise")), value);
    QCOMPARE(reopened.TestTable.fieldText(QStringLiteral("RealTime20")), value);
    QCOMPARE(reopened.TestTable.fieldText(QStringLiteral("Date")), QStringLiteral("07.12.2026"));
}

void TstTable::profilNrHoldsAWholeNumber()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    Table &table = tables.TestTable;
    table.append();
    table.setFieldInteger(QStringLiteral("ProfilNr"), 12);
    table.setFieldInteger(QStringLiteral("Rep"), 8);   // a text field takes the number's text
    table.post();
    QCOMPARE(table.fieldText(QStringLiteral("ProfilNr")), QStringLiteral("12"));
    QCOMPARE(table.fieldText(QStringLiteral("Rep")), QStringLiteral("8"));
    QSqlQuery query(table.database());
    QVERIFY(query.exec(QStringLiteral("SELECT typeof(ProfilNr), typeof(Rep) FROM TestTable")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("integer"));
    QCOMPARE(query.value(1).toString(), QStringLiteral("text"));

    table.append();
    QVERIFY_THROWS_EXCEPTION(StoreError, table.setFieldText(QStringLiteral("ProfilNr"), QStringLiteral("zwei")));
    table.setFieldText(QStringLiteral("ProfilNr"), QStringLiteral(" 3 "));
    table.post();
    QCOMPARE(table.fieldText(QStringLiteral("ProfilNr")), QStringLiteral("3"));
}

void TstTable::fieldNamesIgnoreCase_data()
{
    QTest::addColumn<QString>("readAs");
    QTest::newRow("Startrest") << QStringLiteral("Startrest");
    QTest::newRow("STARTREST") << QStringLiteral("STARTREST");
    QTest::newRow("startrest") << QStringLiteral("startrest");
    QTest::newRow("StartRest") << QStringLiteral("StartRest");
}

void TstTable::fieldNamesIgnoreCase()
{
    QFETCH(QString, readAs);
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    const qint64 key = addProfile(tables.ProfilTable, QStringLiteral("Kraft"), QStringLiteral("2,5"));
    tables.ProfilTable.close();
    tables.ProfilTable.open();
    QVERIFY(tables.ProfilTable.findKey(key));
    QCOMPARE(tables.ProfilTable.fieldText(readAs), QStringLiteral("2,5"));
}

void TstTable::unknownFieldIsAnError()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    try {
        tables.SPTable.fieldText(QStringLiteral("Exercise"));
        QFAIL("an unknown field was read");
    } catch (const StoreError &error) {
        QVERIFY(error.message().contains(QStringLiteral("Exercise")));
        QVERIFY(error.message().contains(QStringLiteral("SPTable.db")));
    }
    tables.SPTable.append();
    QVERIFY_THROWS_EXCEPTION(StoreError, tables.SPTable.setFieldText(QStringLiteral("Nummer"), QStringLiteral("1")));
}

void TstTable::openingAnOpenTableKeepsTheCurrentRecord()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    Table &table = tables.ProfilTable;
    addProfile(table, QStringLiteral("a"));
    addProfile(table, QStringLiteral("b"));
    addProfile(table, QStringLiteral("c"));
    QVERIFY(table.findKey(2));
    table.open();
    QCOMPARE(table.fieldText(QStringLiteral("Profil")), QStringLiteral("b"));
    // Opened anew, a table stands on its first record.
    table.close();
    table.open();
    QCOMPARE(table.fieldText(QStringLiteral("Profil")), QStringLiteral("a"));
}

void TstTable::firstOnAnEmptyTableIsTheEnd()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    tables.SPTable.first();
    QVERIFY(tables.SPTable.eof());
    QCOMPARE(tables.SPTable.fieldText(QStringLiteral("Name")), QString());
    QCOMPARE(visitNames(tables.SPTable, QStringLiteral("Name")), QStringList());
}

void TstTable::recordsAreVisitedInKeyOrder()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    for (const char *name : {"c", "a", "b"}) {
        tables.SPTable.append();
        tables.SPTable.setFieldText(QStringLiteral("Name"), QString::fromUtf8(name));
        tables.SPTable.post();
    }
    QCOMPARE(visitNames(tables.SPTable, QStringLiteral("Nr")),
             (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QCOMPARE(visitNames(tables.SPTable, QStringLiteral("Name")),
             (QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")}));
    // Past the end the last record stays current.
    QCOMPARE(tables.SPTable.fieldText(QStringLiteral("Name")), QStringLiteral("b"));
}

void TstTable::findByKeyMissKeepsTheCurrentRecord()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    Table &table = tables.ProfilTable;
    addProfile(table, QStringLiteral("a"));
    addProfile(table, QStringLiteral("b"));
    QVERIFY(table.findKey(1));
    QVERIFY(!table.findKey(999));
    QCOMPARE(table.fieldText(QStringLiteral("Profil")), QStringLiteral("a"));
    QCOMPARE(table.fieldText(QStringLiteral("Nr")), QStringLiteral("1"));
    QVERIFY(table.findKey(2));
    QCOMPARE(table.fieldText(QStringLiteral("Profil")), QStringLiteral("b"));
}

void TstTable::closeKeepsPostedAndDropsUnposted()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    Table &table = tables.TestTable;
    table.append();
    table.setFieldText(QStringLiteral("Name"), QStringLiteral("posted"));
    table.post();
    table.close();
    table.open();
    table.append();
    table.setFieldText(QStringLiteral("Name"), QStringLiteral("unposted"));
    table.close();
    table.open();
    QCOMPARE(visitNames(table, QStringLiteral("Name")), QStringList{QStringLiteral("posted")});

    TrainingTables other(dir.path());
    other.openAll();
    QCOMPARE(visitNames(other.TestTable, QStringLiteral("Name")), QStringList{QStringLiteral("posted")});
}

void TstTable::pendingRecordIsPostedWithChangesAndDroppedWithout_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("changed");
    for (const char *operation : {"append", "first", "next", "findKey"}) {
        QTest::addRow("%s after a change", operation) << QString::fromUtf8(operation) << true;
        QTest::addRow("%s without a change", operation) << QString::fromUtf8(operation) << false;
    }
}

void TstTable::pendingRecordIsPostedWithChangesAndDroppedWithout()
{
    QFETCH(QString, operation);
    QFETCH(bool, changed);
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    Table &table = tables.SPTable;
    table.append();
    table.setFieldText(QStringLiteral("Name"), QStringLiteral("first"));
    table.post();

    table.append();
    if (changed)
        table.setFieldText(QStringLiteral("Name"), QStringLiteral("pending"));
    if (operation == QLatin1String("append"))
        table.append();
    else if (operation == QLatin1String("first"))
        table.first();
    else if (operation == QLatin1String("next"))
        table.next();
    else
        table.findKey(1);
    table.cancel();

    QStringList expected{QStringLiteral("first")};
    if (changed)
        expected << QStringLiteral("pending");
    QCOMPARE(visitNames(table, QStringLiteral("Name")), expected);
}

void TstTable::cancelReturnsToThePreviousRecord()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    Table &table = tables.ProfilTable;
    addProfile(table, QStringLiteral("kept"));
    table.append();
    table.setFieldText(QStringLiteral("Profil"), QStringLiteral("dropped"));
    QVERIFY(table.isInserting());
    QCOMPARE(table.fieldText(QStringLiteral("Profil")), QStringLiteral("dropped"));
    table.cancel();
    QVERIFY(!table.isInserting());
    QCOMPARE(table.fieldText(QStringLiteral("Profil")), QStringLiteral("kept"));
    table.post();   // nothing begun: nothing stored
    QCOMPARE(visitNames(table, QStringLiteral("Profil")), QStringList{QStringLiteral("kept")});
}

void TstTable::closedTableRefusesWork()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    tables.ProfilTable.close();
    QVERIFY(!tables.ProfilTable.isOpen());
    QVERIFY_THROWS_EXCEPTION(StoreError, tables.ProfilTable.first());
    QVERIFY_THROWS_EXCEPTION(StoreError, tables.ProfilTable.append());
    QVERIFY_THROWS_EXCEPTION(StoreError, tables.ProfilTable.fieldText(QStringLiteral("Nr")));
}

void TstTable::keyIsNotWritable()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    tables.TestTable.append();
    QVERIFY_THROWS_EXCEPTION(StoreError, tables.TestTable.setFieldText(QStringLiteral("testnr"), QStringLiteral("5")));
    QVERIFY_THROWS_EXCEPTION(StoreError, tables.TestTable.setFieldInteger(QStringLiteral("Testnr"), 5));
}

void TstTable::refusedFilesAreLeftUntouched_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text file") << QStringLiteral("TestTable.DB") << QStringLiteral("text")
                               << QStringLiteral("not a database");
    QTest::newRow("damaged first page") << QStringLiteral("Profil.db") << QStringLiteral("damaged")
                                        << QStringLiteral("malformed");
    QTest::newRow("cut off") << QStringLiteral("TestTable.DB") << QStringLiteral("cut")
                             << QStringLiteral("malformed");
    QTest::newRow("cut off at a page boundary") << QStringLiteral("TestTable.DB") << QStringLiteral("cut page")
                                                << QStringLiteral("malformed");
    QTest::newRow("other layout") << QStringLiteral("SPTable.db") << QStringLiteral("layout")
                                  << QStringLiteral("fields");
    QTest::newRow("key not an integer") << QStringLiteral("SPTable.db") << QStringLiteral("text key")
                                        << QStringLiteral("not an integer key");
    QTest::newRow("other table") << QStringLiteral("TestTable.DB") << QStringLiteral("table")
                                 << QStringLiteral("no table");
    QTest::newRow("empty file") << QStringLiteral("Profil.db") << QStringLiteral("empty")
                                << QStringLiteral("no table");
}

void TstTable::refusedFilesAreLeftUntouched()
{
    QFETCH(QString, fileName);
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    {
        // Good files first, then spoil the one under test.
        TrainingTables tables(dir.path());
        tables.openAll();
        tables.ProfilTable.append();
        tables.ProfilTable.setFieldText(QStringLiteral("Profil"), QStringLiteral("x"));
        tables.ProfilTable.post();
        QSqlDatabase db = tables.TestTable.database();
        QVERIFY(db.transaction());
        QSqlQuery insert(db);
        QVERIFY(insert.prepare(QStringLiteral("INSERT INTO TestTable (Name, Exercise) VALUES (?, ?)")));
        for (int i = 0; i < 1000; ++i) {
            insert.addBindValue(QStringLiteral("Name %1").arg(i));
            insert.addBindValue(QStringLiteral("x").repeated(200));
            QVERIFY(insert.exec());
        }
        QVERIFY(db.commit());
    }
    if (kind == QLatin1String("cut")) {
        QByteArray bytes = fileBytes(path);
        QVERIFY(bytes.size() > 40 * 4096);
        writeFile(path, bytes.left(bytes.size() / 2));
    } else if (kind == QLatin1String("cut page")) {
        QByteArray bytes = fileBytes(path);
        writeFile(path, bytes.left(bytes.size() - 4096));
    } else if (kind == QLatin1String("text")) {
        writeFile(path, QByteArray("Testnr;Date\r\n1;07.12.2026\r\n").repeated(200));
    } else if (kind == QLatin1String("damaged")) {
        QByteArray bytes = fileBytes(path);
        QVERIFY(bytes.size() > 4096);
        for (int i = 100; i < 4000; ++i)
            bytes[i] = char(0xA5 ^ i);
        writeFile(path, bytes);
    } else if (kind == QLatin1String("empty")) {
        writeFile(path, QByteArray());
    } else {
        QFile::remove(path);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("spoil"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        if (kind == QLatin1String("layout"))
            QVERIFY(query.exec(QStringLiteral("CREATE TABLE SPTable (Nr INTEGER PRIMARY KEY, Vorname TEXT)")));
        else if (kind == QLatin1String("text key"))
            QVERIFY(query.exec(createTableStatement(TrainingTables(dir.path()).SPTable.layout())
                                   .replace(QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT"),
                                            QStringLiteral(" TEXT PRIMARY KEY"))));
        else
            QVERIFY(query.exec(QStringLiteral("CREATE TABLE Tests (Nr INTEGER PRIMARY KEY)")));
        query = QSqlQuery();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("spoil"));
    }
    const QByteArray before = fileBytes(path);
    const QDateTime modified = QFileInfo(path).lastModified();

    {
        // Closed at the end, as a refused start closes the other files: an
        // open file cannot be removed on Windows.
        TrainingTables tables(dir.path());
        const QString message = openAllError(tables);
        QVERIFY2(message.contains(fileName), qPrintable(message));
        QVERIFY2(message.contains(reason, Qt::CaseInsensitive), qPrintable(message));
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
        QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
    }

    // With the other two files missing, the refused start makes none of them.
    for (const QString &other : {QStringLiteral("TestTable.DB"), QStringLiteral("Profil.db"), QStringLiteral("SPTable.db")}) {
        if (other != fileName)
            QVERIFY(QFile::remove(dir.filePath(other)));
    }
    TrainingTables alone(dir.path());
    QVERIFY(!openAllError(alone).isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{fileName});
    QCOMPARE(fileBytes(path), before);
}

void TstTable::damageDeeperInTheFileIsReportedWhenRead_data()
{
    QTest::addColumn<QString>("reader");
    QTest::newRow("visiting the records") << QStringLiteral("visit");
    QTest::newRow("export query") << QStringLiteral("query");
}

void TstTable::damageDeeperInTheFileIsReportedWhenRead()
{
    // The start checks the header, the size, the schema and the table's
    // edges, not every page: a page of garbage in the middle shows when the
    // records on it are read, and is then reported naming the file.
    QFETCH(QString, reader);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TestTable.DB"));
    {
        TrainingTables tables(dir.path());
        tables.openAll();
        QSqlDatabase db = tables.TestTable.database();
        QVERIFY(db.transaction());
        QSqlQuery insert(db);
        QVERIFY(insert.prepare(QStringLiteral("INSERT INTO TestTable (Name, Exercise) VALUES (?, ?)")));
        for (int i = 0; i < 1000; ++i) {
            insert.addBindValue(QStringLiteral("Name %1").arg(i));
            insert.addBindValue(QStringLiteral("x").repeated(200));
            QVERIFY(insert.exec());
        }
        QVERIFY(db.commit());
    }
    QByteArray bytes = fileBytes(path);
    // A page in the middle of the records (the schema with its views takes
    // the first pages).
    const qsizetype damaged = bytes.size() / 4096 / 2 * 4096;
    for (qsizetype i = damaged; i < damaged + 4096; ++i)
        bytes[i] = char(0x5A ^ (i * 7));
    writeFile(path, bytes);

    TrainingTables tables(dir.path());
    QCOMPARE(openAllError(tables), QString());
    QString message;
    try {
        if (reader == QLatin1String("visit")) {
            visitNames(tables.TestTable, QStringLiteral("Name"));
        } else {
            store::Query query(tables.TestTable);
            query.setText(QStringLiteral("Select * from TestTable.db "));
            for (query.open(); !query.eof(); query.next())
                query.fieldText(4);
        }
    } catch (const StoreError &error) {
        message = error.message();
    }
    QVERIFY2(message.contains(QStringLiteral("TestTable.DB")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("damaged")), qPrintable(message));
    QCOMPARE(fileBytes(path), bytes);
}

void TstTable::removedOrReplacedFileIsExplained_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("removed") << QStringLiteral("removed");
    QTest::newRow("moved away") << QStringLiteral("moved");
    QTest::newRow("replaced by another table file") << QStringLiteral("replaced");
}

void TstTable::removedOrReplacedFileIsExplained()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString path = dir.filePath(QStringLiteral("Profil.db"));
    {
        // The replacement: a good file with one profile of its own.
        TrainingTables other(elsewhere.path());
        other.openAll();
        addProfile(other.ProfilTable, QStringLiteral("replacement"));
    }
    TrainingTables tables(dir.path());
    tables.openAll();
    addProfile(tables.ProfilTable, QStringLiteral("before"));

#ifdef Q_OS_WIN
    // Windows removes, moves and replaces no file that is open: the table
    // file stays, and what is entered is stored in it.
    if (how == QLatin1String("removed"))
        QVERIFY(!QFile::remove(path));
    else if (how == QLatin1String("moved"))
        QVERIFY(!QFile::rename(path, dir.filePath(QStringLiteral("Profil-old.db"))));
    else
        QVERIFY(!MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(elsewhere.filePath(QStringLiteral("Profil.db"))).utf16()),
                             reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                             MOVEFILE_REPLACE_EXISTING));
    QVERIFY(!tables.ProfilTable.fileWasRemovedOrReplaced());
    addProfile(tables.ProfilTable, QStringLiteral("after"));
    QCOMPARE(visitNames(tables.ProfilTable, QStringLiteral("Profil")),
             (QStringList{QStringLiteral("before"), QStringLiteral("after")}));
    return;
#endif
    if (how == QLatin1String("removed"))
        QVERIFY(QFile::remove(path));
    else if (how == QLatin1String("moved"))
        QVERIFY(QFile::rename(path, dir.filePath(QStringLiteral("Profil-old.db"))));
    else
        QVERIFY(std::rename(qPrintable(elsewhere.filePath(QStringLiteral("Profil.db"))), qPrintable(path)) == 0);
    QVERIFY(tables.ProfilTable.fileWasRemovedOrReplaced());
    QVERIFY(!tables.SPTable.fileWasRemovedOrReplaced());

    tables.ProfilTable.append();
    tables.ProfilTable.setFieldText(QStringLiteral("Profil"), QStringLiteral("after"));
    QString message;
    try {
        tables.ProfilTable.post();
    } catch (const StoreError &error) {
        message = error.message();
    }
    QVERIFY2(message.contains(QStringLiteral("\"Profil.db\"")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("removed or replaced while Korvane was running")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("start it again")), qPrintable(message));
    QVERIFY2(!message.contains(QStringLiteral("readonly")), qPrintable(message));
    // The entry is still there to be stored once the file is back.
    QVERIFY(tables.ProfilTable.isInserting());
    QCOMPARE(tables.ProfilTable.fieldText(QStringLiteral("Profil")), QStringLiteral("after"));

    // A restart opens whatever the folder holds now: the replacement, or a
    // new empty file.
    TrainingTables restarted(dir.path());
    QCOMPARE(openAllError(restarted), QString());
    const QStringList expected = how == QLatin1String("replaced") ? QStringList{QStringLiteral("replacement")}
                                                                   : QStringList();
    QCOMPARE(visitNames(restarted.ProfilTable, QStringLiteral("Profil")), expected);
    addProfile(restarted.ProfilTable, QStringLiteral("after"));
    QCOMPARE(visitNames(restarted.ProfilTable, QStringLiteral("Profil")), expected + QStringList{QStringLiteral("after")});
}

void TstTable::fileLockedByAnotherProgramIsRefused()
{
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite.isEmpty())
        QSKIP("the sqlite3 command-line tool is not installed");
    QTemporaryDir dir;
    {
        TrainingTables tables(dir.path());
        tables.openAll();
    }
    // Another program takes the write lock and keeps it while we start.
    QProcess other;
    other.start(sqlite, {dir.filePath(QStringLiteral("SPTable.db"))});
    QVERIFY(other.waitForStarted());
    other.write("BEGIN EXCLUSIVE;\nSELECT 'locked';\n");
    QByteArray answer;
    while (!answer.contains("locked") && other.waitForReadyRead(5000))
        answer += other.readAllStandardOutput();
    QVERIFY2(answer.contains("locked"), answer.constData());

    const QByteArray before = fileBytes(dir.filePath(QStringLiteral("SPTable.db")));
    QElapsedTimer timer;
    timer.start();
    TrainingTables tables(dir.path());
    const QString message = openAllError(tables);
    QVERIFY2(message.contains(QStringLiteral("SPTable.db")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("locked")), qPrintable(message));
    QVERIFY(timer.elapsed() < 10000);

    other.write("ROLLBACK;\n.quit\n");
    other.closeWriteChannel();
    QVERIFY(other.waitForFinished(5000));
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("SPTable.db"))), before);

    // Once the other program let go, the same files open.
    TrainingTables later(dir.path());
    QCOMPARE(openAllError(later), QString());
}

void TstTable::exportQueryReadsAllFieldsByPosition()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    Table &table = tables.TestTable;
    for (int i = 1; i <= 3; ++i) {
        table.append();
        table.setFieldText(QStringLiteral("Name"), QStringLiteral("n%1").arg(i));
        table.setFieldInteger(QStringLiteral("ProfilNr"), 10 + i);
        table.setFieldText(QStringLiteral("TUTReal"), QStringLiteral("%1,5").arg(i));
        table.post();
    }
    store::Query query(table);
    query.setText(QStringLiteral("Select * from TestTable.db "));
    query.open();
    QCOMPARE(query.recordCount(), 3);
    QCOMPARE(query.fieldCount(), 59);
    QStringList rows;
    for (query.first(); !query.eof(); query.next()) {
        rows << QStringLiteral("%1|%2|%3|%4|%5").arg(query.fieldText(1), query.fieldText(3), query.fieldText(4),
                                                   query.fieldText(59), query.fieldText(2));
    }
    QCOMPARE(rows, (QStringList{QStringLiteral("1|11|n1|1,5|"), QStringLiteral("2|12|n2|2,5|"),
                                QStringLiteral("3|13|n3|3,5|")}));
    // Run again, the query sees what was stored since.
    table.append();
    table.post();
    query.open();
    QCOMPARE(query.recordCount(), 4);
}

void TstTable::exportQueryRejectsOtherTexts()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    store::Query query(tables.TestTable);
    query.setText(QStringLiteral("Select * from Profil.db "));
    QVERIFY_THROWS_EXCEPTION(StoreError, query.open());
    query.setText(QStringLiteral("Delete from TestTable.db"));
    QVERIFY_THROWS_EXCEPTION(StoreError, query.open());
}

void TstTable::onlyOrdinaryTableFilesAreOpened_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("refusal");   // empty: opens
    QTest::newRow("missing: created private") << "none" << QString();
    QTest::newRow("link to a table file") << "link" << QString();
    QTest::newRow("named pipe") << "fifo" << "it is a named pipe (FIFO), not an ordinary file";
    QTest::newRow("link to a named pipe") << "fifolink" << "it is a named pipe (FIFO), not an ordinary file";
    QTest::newRow("dangling link") << "dangling" << "it is a link to a missing file, not an ordinary file";
    QTest::newRow("folder") << "folder" << "it is a folder, not an ordinary file";
}

void TstTable::onlyOrdinaryTableFilesAreOpened()
{
    QFETCH(QString, setup);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QDir d(dir.path());
    const QString path = d.filePath(QStringLiteral("Profil.db"));
    const QString other = QDir(elsewhere.path()).filePath(QStringLiteral("real.db"));
    if (setup == QLatin1String("link")) {
        {
            Table table(store::profilLayout(), elsewhere.path());
            table.open();
        }
        QVERIFY(QFile::rename(QDir(elsewhere.path()).filePath(QStringLiteral("Profil.db")), other));
        SPECIAL_MAKE_LINK(other, path);
    } else if (setup == QLatin1String("fifo")) {
        SPECIAL_MAKE_FIFO(path);
    } else if (setup == QLatin1String("fifolink")) {
        SPECIAL_MAKE_FIFO(other);
        SPECIAL_MAKE_LINK(other, path);
    } else if (setup == QLatin1String("dangling")) {
        SPECIAL_MAKE_LINK(other, path);
    } else if (setup == QLatin1String("folder")) {
        QVERIFY(d.mkdir(QStringLiteral("Profil.db")));
    }
    special::FifoGuard guard(QFileInfo(path).isSymLink() ? other : path);
    Table table(store::profilLayout(), dir.path());
    QString message;
    try {
        table.open();
    } catch (const StoreError &error) {
        message = error.message();
    }
    QVERIFY2(!guard.disarm(), "opening the table blocked on the named pipe");
    if (refusal.isEmpty()) {
        QVERIFY2(message.isEmpty(), qPrintable(message));
        if (setup == QLatin1String("none")) {
            if (!special::accessListsKept())
                QSKIP("this system keeps no access list given to a file (Wine)");
            QCOMPARE(special::mode(path), 0600u);
        }
    } else {
        QVERIFY2(message.contains(QStringLiteral("\"Profil.db\"")) && message.contains(refusal), qPrintable(message));
        // A dangling link's target is not created.
        QVERIFY(setup == QLatin1String("fifolink") || !QFileInfo::exists(other));
    }
}

void TstTable::readOnlyFolderIsNamedAtTheFirstFailedWrite()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    special::ObeyPermissions obey;
    if (!obey.active())
        QSKIP("this process cannot be made to obey file permissions");
    tables.TestTable.append();
    tables.TestTable.setFieldText(QStringLiteral("Name"), QStringLiteral("Berg"));
    QString message;
    try {
        tables.TestTable.post();
    } catch (const StoreError &error) {
        message = error.message();
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(message.contains(QStringLiteral("the folder %1 is read-only").arg(QDir::toNativeSeparators(dir.path()))),
             qPrintable(message));
}

void TstTable::typedRecordsLandInTheirFields()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();

    store::TestRecord test;
    test.date = QStringLiteral("07.12.2026");
    test.profileNumber = 7;
    test.name = QStringLiteral("Anna");
    test.surname = QStringLiteral("Berger");
    test.exercise = QStringLiteral("Bench Press");
    test.realTimes[0] = QStringLiteral("12,5");
    test.repetitions[0] = QStringLiteral("3");
    test.repetitions[19] = QStringLiteral("0");
    test.settings.restBetweenSets = QStringLiteral("1:30");
    test.tutReal = QStringLiteral("24");
    QCOMPARE(store::appendTest(tables.TestTable, test), qint64(1));
    QCOMPARE(store::appendTest(tables.TestTable, test), qint64(2));
    // What is stored reads back field for field as the record's own list.
    const QStringList expected = store::testFields(test);
    const store::Layout &layout = store::testTableLayout();
    for (int i = 1; i < layout.fields.size(); ++i)
        QCOMPARE(tables.TestTable.fieldText(layout.fields.at(i).name), expected.at(i));
    QCOMPARE(tables.TestTable.fieldText(QStringLiteral("RealTime1")), QStringLiteral("12,5"));
    QCOMPARE(tables.TestTable.fieldText(QStringLiteral("RealR20")), QStringLiteral("0"));
    QCOMPARE(tables.TestTable.fieldText(QStringLiteral("RestSets")), QStringLiteral("1:30"));

    store::ProfileRecord unnamed;
    unnamed.exercise = QStringLiteral("Squat");
    unnamed.settings.sets = QStringLiteral("3");
    QCOMPARE(store::appendProfile(tables.ProfilTable, unnamed), qint64(1));
    QVERIFY(tables.ProfilTable.fieldText(QStringLiteral("Profil")).isEmpty());
    QCOMPARE(tables.ProfilTable.fieldText(QStringLiteral("Exercise")), QStringLiteral("Squat"));
    QCOMPARE(tables.ProfilTable.fieldText(QStringLiteral("Sets")), QStringLiteral("3"));

    QCOMPARE(store::appendAthlete(tables.SPTable, {QStringLiteral("J\u00fcrgen"), QStringLiteral("Gro\u00df"),
                                                    QStringLiteral("82,5"), QStringLiteral("181")}),
             qint64(1));
    QCOMPARE(tables.SPTable.fieldText(QStringLiteral("Surname")), QStringLiteral("Gro\u00df"));
    QCOMPARE(tables.SPTable.fieldText(QStringLiteral("Bodyweight")), QStringLiteral("82,5"));
}

void TstTable::refusedTypedRecordLeavesNothingBegun()
{
    QTemporaryDir dir;
    TrainingTables tables(dir.path());
    tables.openAll();
    // A rule of the file that refuses every new test.
    QSqlQuery(tables.TestTable.database())
        .exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TestTable BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    QVERIFY_THROWS_EXCEPTION(StoreError, store::appendTest(tables.TestTable, store::TestRecord{}));
    QVERIFY(!tables.TestTable.isInserting());
    tables.TestTable.first();
    QVERIFY(tables.TestTable.eof());
}

// The start opens the tables on a thread of its own; the main thread then
// works with them as with tables it opened, and a refusal reaches it.
void TstTable::tablesOpenedAsideServeTheCallingThread_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QByteArray>("damagedProfil");
    QTest::newRow("new folder") << false << QByteArray();
    QTest::newRow("existing tables") << true << QByteArray();
    QTest::newRow("damaged profile table") << true << QByteArray("not a table");
}

void TstTable::tablesOpenedAsideServeTheCallingThread()
{
    QFETCH(bool, existing);
    QFETCH(QByteArray, damagedProfil);
    QTest::failOnWarning(QRegularExpression(QStringLiteral("thread")));
    QTemporaryDir dir;
    if (existing) {
        TrainingTables before(dir.path());
        before.openAll();
        addProfile(before.ProfilTable, QStringLiteral("kept"));
    }
    if (!damagedProfil.isEmpty())
        writeFile(dir.filePath(QStringLiteral("Profil.db")), damagedProfil);

    TrainingTables tables(dir.path());
    std::future<void> opened = tables.openAllAside();
    if (!damagedProfil.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(StoreError, opened.get());
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("Profil.db"))), damagedProfil);
        return;
    }
    opened.get();
    for (const Table *table : {&tables.SPTable, &tables.TestTable, &tables.ProfilTable})
        QCOMPARE(table->database().driver()->thread(), QThread::currentThread());
    QCOMPARE(visitNames(tables.ProfilTable, QStringLiteral("Profil")),
             existing ? QStringList{QStringLiteral("kept")} : QStringList());
    addProfile(tables.ProfilTable, QStringLiteral("added"));
    TrainingTables reopened(dir.path());
    reopened.openAll();
    QCOMPARE(visitNames(reopened.ProfilTable, QStringLiteral("Profil")).last(), QStringLiteral("added"));
}

QTEST_GUILESS_MAIN(TstTable)
#include "tst_table.moc"
