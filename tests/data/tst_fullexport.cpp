// The complete export: the number and date rules, CSV quoting, the exact
// bytes for tricky stored values, the button of the data window, failed
// writes, and the command line's exit codes.

#include "app/commands.h"
#include "model/fullexport.h"
#include "data/tform4.h"
#include "core/errors.h"
#include "platform/messages.h"
#include "store/testnotes.h"
#include "store/trainingtables.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "support/paradoxtables.h"
#include "support/specialfiles.h"

#include <QTextStream>

using FieldValues = QList<QPair<QString, QString>>;

namespace {

class Boxes final : public platform::MessageBoxes {
public:
    void inform(QWidget *, const QString &text) override { shown << QStringLiteral("inform:") + text; }
    void titled(QWidget *, const QString &, const QString &text) override { shown << QStringLiteral("titled:") + text; }
    void error(QWidget *, const QString &text) override { shown << QStringLiteral("error:") + text; }
    bool confirm(QWidget *, const QString &) override { return true; }
    QStringList shown;
};

void storeTest(store::Table &table, const FieldValues &values, int profile = -1)
{
    table.append();
    for (const auto &[name, value] : values)
        table.setFieldText(name, value);
    if (profile >= 0)
        table.setFieldInteger(QStringLiteral("ProfilNr"), profile);
    table.post();
}

// The tests behind tests/data/fullexport-tricky.csv.
void storeTrickyTests(store::Table &t)
{
    auto s = [](const char *text) { return QString::fromUtf8(text); };
    storeTest(t, {{s("Date"), s("06.12.2026")}, {s("Name"), s("Müller; Jr.")}, {s("Surname"), s("Zoë")},
                  {s("Bodyweight"), s("82,5")}, {s("Height"), s("181")}, {s("Exercise"), s("Bench, incline")},
                  {s("Load"), s("100")}, {s("RealTime1"), s("20,5")}, {s("RealR1"), s("6")},
                  {s("RealTime2"), s("-0,4")}, {s("RealR2"), s("5")}, {s("StartRest"), s("1,5")},
                  {s("FroPhase"), s("1")}, {s("ToPhase"), s("1")}, {s("RestafterFro"), s("0,5")},
                  {s("RestafterTo"), s("0,5")}, {s("Rep"), s("6")}, {s("Sets"), s("2")}, {s("RestSets"), s("120")},
                  {s("TUTTotal"), s("1,5E3")}, {s("TUTReal"), s("abc")}},
              7);
    storeTest(t, {{s("Date"), s("6.1.2026")}, {s("Name"), s("He said \"hi\"")}, {s("Surname"), s("李小龍")},
                  {s("Bodyweight"), s(" 70 ")}, {s("Height"), s("1.80")}, {s("Exercise"), s("Kniebeuge\r\nTiefe")},
                  {s("Load"), s("")}, {s("RealTime1"), s("1,5E999")}, {s("RealR1"), s("$A")},
                  {s("RealTime2"), s(",5")}, {s("RealR2"), s("+3")}, {s("Sets"), s("3 x")}, {s("TUTTotal"), s("20,")}},
              1);
    storeTest(t, {});
    storeTest(t, {{s("Date"), s("12/6/26")}, {s("Name"), s("Ana\nLine")}, {s("Exercise"), s("Bench, incline")}});
    storeTest(t, {{s("Date"), s("6 Dec 2026")}, {s("Name"), s("Ünal")}, {s("Exercise"), s("日本語, テスト")}});
    storeTest(t, {{s("Date"), s("31.02.2026")}, {s("Name"), s("Tab\tName")}, {s("Load"), s("1 000")}});
    storeTest(t, {{s("Date"), s("gestern")}, {s("Exercise"), s("\"Quoted\"")}});
    storeTest(t, {{s("Date"), s(" 06.12.2026 ")}});
}

QByteArray expectedTricky()
{
    QFile file(QFINDTESTDATA("fullexport-tricky.csv"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray exportBytes(store::Table &table)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    data::writeFullExport(buffer, table.database());
    return buffer.data();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The built program: beside the test where the Windows check runs it.
QString programPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(KORVANE_PROGRAM));
}

QProcessEnvironment programEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// A device that takes `capacity` bytes and then refuses, like a full disk.
class FullDevice : public QIODevice {
public:
    explicit FullDevice(qint64 capacity) : m_capacity(capacity) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        if (m_written + size > m_capacity) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_written += size;
        return size;
    }

private:
    qint64 m_capacity;
    qint64 m_written = 0;
};

} // namespace

class TstFullExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void numbers_data();
    void numbers();
    void quoting_data();
    void quoting();
    void trickyValuesGiveTheExpectedBytes();
    void emptyTableGivesTheHeaderOnly();
    void notesComeAtTheEnd();
    void fullDeviceIsReported();
    void dataWindowButtonWritesTheFile();
    void failedWriteKeepsTheOlderFile_data();
    void failedWriteKeepsTheOlderFile();
    void commandLine_data();
    void commandLine();
    void commandLineBytesDoNotDependOnTheLocale();
    void commandLineWritesOnlyOrdinaryFilesOrStandardOutput_data();
    void commandLineWritesOnlyOrdinaryFilesOrStandardOutput();
};

void TstFullExport::numbers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("written");   // "-" for no number
    QTest::newRow("whole") << QByteArray("20") << QByteArray("20");
    QTest::newRow("decimal comma") << QByteArray("20,5") << QByteArray("20.5");
    QTest::newRow("negative") << QByteArray("-0,4") << QByteArray("-0.4");
    QTest::newRow("plus sign") << QByteArray("+3") << QByteArray("+3");
    QTest::newRow("blanks around") << QByteArray("  1,25\t") << QByteArray("1.25");
    QTest::newRow("no-break space around") << QByteArray("\xC2\xA0" "7,5") << QByteArray("7.5");
    QTest::newRow("exponent") << QByteArray("1,5E-3") << QByteArray("1.5E-3");
    QTest::newRow("bare fraction") << QByteArray(",5") << QByteArray(".5");
    QTest::newRow("empty") << QByteArray("") << QByteArray("-");
    QTest::newRow("blank") << QByteArray(" ") << QByteArray("-");
    QTest::newRow("decimal point") << QByteArray("1.5") << QByteArray("-");
    QTest::newRow("two commas") << QByteArray("1,5,0") << QByteArray("-");
    QTest::newRow("unit after it") << QByteArray("20 s") << QByteArray("-");
    QTest::newRow("hexadecimal") << QByteArray("$1F") << QByteArray("-");
    QTest::newRow("sign alone") << QByteArray("-") << QByteArray("-");
    QTest::newRow("exponent without digits") << QByteArray("1E") << QByteArray("-");
    QTest::newRow("too large") << QByteArray("1E999") << QByteArray("-");
    QTest::newRow("digit outside ASCII") << QByteArray("\xD9\xA3") << QByteArray("-");
}

void TstFullExport::numbers()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, written);
    const auto number = data::decimalPointNumber(text);
    QCOMPARE(number.value_or(QByteArray("-")), written);
}

void TstFullExport::quoting_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("plain") << QByteArray("Berg") << QByteArray("Berg");
    // Spreadsheets that split at semicolons keep the row.
    QTest::newRow("semicolon") << QByteArray("a;b") << QByteArray("\"a;b\"");
    QTest::newRow("comma") << QByteArray("a,b") << QByteArray("\"a,b\"");
    QTest::newRow("quotes") << QByteArray("say \"hi\"") << QByteArray("\"say \"\"hi\"\"\"");
    QTest::newRow("line feed") << QByteArray("a\nb") << QByteArray("\"a\nb\"");
    QTest::newRow("carriage return") << QByteArray("a\rb") << QByteArray("\"a\rb\"");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
}

void TstFullExport::quoting()
{
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, field);
    QByteArray out("x");
    data::appendCsvField(out, value);
    QCOMPARE(out, QByteArray("x") + field);
}

void TstFullExport::trickyValuesGiveTheExpectedBytes()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    storeTrickyTests(tables.TestTable);
    const QByteArray expected = expectedTricky();
    QVERIFY(!expected.isEmpty());
    const QByteArray written = exportBytes(tables.TestTable);
    const QList<QByteArray> got = written.split('\n');
    const QList<QByteArray> want = expected.split('\n');
    for (int i = 0; i < std::min(got.size(), want.size()); ++i)
        QCOMPARE(got.at(i), want.at(i));
    QCOMPARE(written, expected);
}

void TstFullExport::emptyTableGivesTheHeaderOnly()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    const QByteArray header = data::fullExportHeader();
    QCOMPARE(exportBytes(tables.TestTable), header);
    QVERIFY(expectedTricky().startsWith(header));
    // The 59 fields, then Note, Valid and Tester.
    QCOMPARE(header.count(','), 61);
}

void TstFullExport::notesComeAtTheEnd()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    storeTest(tables.TestTable, {{QStringLiteral("Name"), QStringLiteral("Anna")}});
    storeTest(tables.TestTable, {{QStringLiteral("Name"), QStringLiteral("Ben")}});
    store::storeTestNote(tables.TestTable, 2, {QStringLiteral("Knie; \"RPE 9\""), false, QStringLiteral("Jörg")});
    const QList<QByteArray> lines = exportBytes(tables.TestTable).split('\n');
    QCOMPARE(lines.size(), 4);
    QVERIFY2(lines.at(1).endsWith(",,true,\r"), lines.at(1).constData());
    QVERIFY2(lines.at(2).endsWith(QByteArray(",\"Knie; \"\"RPE 9\"\"\",false,J\xc3\xb6rg\r")), lines.at(2).constData());
}

void TstFullExport::fullDeviceIsReported()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    QSqlQuery fill(tables.TestTable.database());
    QVERIFY(fill.exec(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 5000) "
                                     "INSERT INTO TestTable (Name, Load) SELECT 'Athlete ' || x, '82,5' FROM c")));
    FullDevice device(100000);
    try {
        data::writeFullExport(device, tables.TestTable.database());
        QFAIL("a full device was not reported");
    } catch (const core::Failure &error) {
        QVERIFY2(error.message().contains(QLatin1String("No space left on device")), qPrintable(error.message()));
    }
}

void TstFullExport::dataWindowButtonWritesTheFile()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    storeTrickyTests(tables.TestTable);
    Boxes boxes;
    platform::setMessageBoxes(&boxes);
    {
        TForm4 window(tables);
        auto *button = window.findChild<QPushButton *>(QStringLiteral("ExportAllButton"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("Export all fields..."));
        const QString path = dir.filePath(data::fullExportFileName());
        window.exportAllTo(path);
        QCOMPARE(readAll(path), expectedTricky());
        QCOMPARE(boxes.shown, QStringList{QStringLiteral("inform:8 tests written to \"%1\".").arg(QDir::toNativeSeparators(path))});
    }
    platform::setMessageBoxes(nullptr);
}

void TstFullExport::failedWriteKeepsTheOlderFile_data()
{
    QTest::addColumn<QString>("target");   // in the test's folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder of that name") << QStringLiteral("taken.csv") << QStringLiteral("could not be created");
    QTest::newRow("a missing folder") << QStringLiteral("missing/out.csv") << QStringLiteral("could not be created");
    QTest::newRow("a table file") << QStringLiteral("Profil.db") << QStringLiteral("It is a table file");
}

void TstFullExport::failedWriteKeepsTheOlderFile()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    storeTest(tables.TestTable, {{QStringLiteral("Name"), QStringLiteral("Berg")}});
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.csv")));
    const QString path = dir.filePath(target);
    const QByteArray before = readAll(path);
    try {
        data::writeFullExportFile(path, tables.TestTable.database());
        QFAIL("the failed write was not reported");
    } catch (const core::Failure &error) {
        QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
    }
    QCOMPARE(readAll(path), before);
    // No temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

void TstFullExport::commandLine_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("target");   // relative to the test's folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("success") << QStringLiteral("tables") << QStringLiteral("out.csv") << 0 << QString();
    QTest::newRow("read-only table file") << QStringLiteral("read-only") << QStringLiteral("out.csv") << 0 << QString();
    QTest::newRow("missing folder") << QStringLiteral("no folder") << QStringLiteral("out.csv") << 1
                                    << QStringLiteral("does not exist");
    QTest::newRow("missing table") << QStringLiteral("empty folder") << QStringLiteral("out.csv") << 1
                                   << QStringLiteral("There is no table file \"TestTable.DB\"");
    QTest::newRow("not a table") << QStringLiteral("garbage") << QStringLiteral("out.csv") << 1
                                 << QStringLiteral("Table file \"TestTable.DB\"");
    QTest::newRow("another table") << QStringLiteral("other table") << QStringLiteral("out.csv") << 1
                                   << QStringLiteral("holds no test table");
    QTest::newRow("unwritable target") << QStringLiteral("tables") << QStringLiteral("missing/out.csv") << 2
                                       << QStringLiteral("\"out.csv\" could not be created");
}

void TstFullExport::commandLine()
{
    QFETCH(QString, setup);
    QFETCH(QString, target);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("work"));
    QByteArray expected;
    if (setup != QLatin1String("no folder"))
        QVERIFY(QDir().mkpath(folder));
    if (setup == QLatin1String("tables") || setup == QLatin1String("read-only")) {
        store::TrainingTables tables(folder);
        tables.openAll();
        storeTrickyTests(tables.TestTable);
        expected = exportBytes(tables.TestTable);
    }
    const QString table = QDir(folder).filePath(QStringLiteral("TestTable.DB"));
    if (setup == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(table, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    if (setup == QLatin1String("garbage"))
        writeFile(table, QByteArray("Testnr;Dat;\r\n").repeated(500));
    if (setup == QLatin1String("other table")) {
        // The athletes' layout in a file of the test table's name (closed
        // first: Windows renames no open file).
        {
            store::Table other(store::spTableLayout(), folder);
            other.open();
        }
        QVERIFY(QFile::rename(QDir(folder).filePath(QStringLiteral("SPTable.db")), table));
    }
    const QByteArray tableBefore = readAll(table);

    QString errors;
    QTextStream err(&errors);
    const QString out = dir.filePath(target);
    QCOMPARE(app::runExportAll(folder, out, err), status);
    err.flush();
    if (status == 0) {
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
        QCOMPARE(readAll(out), expected);
    } else {
        QVERIFY2(errors.contains(message), qPrintable(errors));
        QVERIFY(errors.endsWith(u'\n'));
        QVERIFY(!QFile::exists(out));
    }
    // The tables are read, never created or changed.
    QCOMPARE(readAll(table), tableBefore);
}

void TstFullExport::commandLineBytesDoNotDependOnTheLocale()
{
    QTemporaryDir dir;
    // The date as stations under different locales wrote it, and as the
    // clock window writes it now.
    const QStringList stored{QStringLiteral("08.12.2026"), QStringLiteral("08.12.26"), QStringLiteral("12/8/26"),
                             QStringLiteral("08/12/2026"), QStringLiteral("2026-12-08"), QStringLiteral("8 Dec 2026")};
    {
        store::TrainingTables tables(dir.path());
        tables.openAll();
        for (const QString &date : stored)
            storeTest(tables.TestTable, {{QStringLiteral("Date"), date}, {QStringLiteral("Load"), QStringLiteral("82,5")}});
    }
    QByteArray first;
    for (const char *locale : {"C", "en_US.UTF-8", "en_GB.UTF-8", "de_DE.UTF-8"}) {
        const QString out = dir.filePath(QStringLiteral("export-%1.csv").arg(QString::fromLatin1(locale)));
        QProcess program;
        QProcessEnvironment environment = programEnvironment();
        environment.remove(QStringLiteral("LANGUAGE"));
        environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        environment.insert(QStringLiteral("LANG"), QString::fromLatin1(locale));
        program.setProcessEnvironment(environment);
        program.start(programPath(),
                      {QStringLiteral("--folder"), dir.path(), QStringLiteral("--export-all"), out});
        QVERIFY(program.waitForFinished(60000));
        QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
        const QByteArray bytes = readAll(out);
        if (first.isEmpty()) {
            first = bytes;
            const QList<QByteArray> lines = bytes.split('\n');
            QCOMPARE(lines.size(), stored.size() + 2);
            for (int i = 1; i <= stored.size(); ++i)
                QVERIFY2(lines.at(i).contains(",2026-12-08,"), lines.at(i).constData());
        }
        QVERIFY2(bytes == first, locale);
    }
}

void TstFullExport::commandLineWritesOnlyOrdinaryFilesOrStandardOutput_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("status");
    QTest::newRow("link to a file") << "link" << 2;
    QTest::newRow("named pipe") << "fifo" << 2;
    QTest::newRow("folder") << "folder" << 2;
    QTest::newRow("Paradox table") << "paradox" << 2;
    QTest::newRow("standard output, as a stream") << "/dev/stdout" << 0;
}

void TstFullExport::commandLineWritesOnlyOrdinaryFilesOrStandardOutput()
{
    QFETCH(QString, target);
    QFETCH(int, status);
    QTemporaryDir dir;
    const QDir d(dir.path());
    QByteArray expected;
    {
        store::TrainingTables tables(dir.path());
        tables.openAll();
        storeTrickyTests(tables.TestTable);
        expected = exportBytes(tables.TestTable);
    }
    writeFile(d.filePath(QStringLiteral("kept.txt")), "kept");
    if (target == QLatin1String("link"))
        SPECIAL_MAKE_LINK(d.filePath(QStringLiteral("kept.txt")), d.filePath(QStringLiteral("link")));
    if (target == QLatin1String("fifo"))
        SPECIAL_MAKE_FIFO(d.filePath(QStringLiteral("fifo")));
    QVERIFY(d.mkdir(QStringLiteral("folder")));
    writeFile(d.filePath(QStringLiteral("paradox")), paradox::write(paradox::trainingTable(store::profilLayout(), 2)).db);
    const auto before = paradox::snapshot(dir.path());

    // The program itself, with its standard output and error read as a
    // shell's pipe would.
    special::FifoGuard guard(d.filePath(QStringLiteral("fifo")));
    QProcess program;
    program.setProcessEnvironment(programEnvironment());
    program.start(programPath(), {QStringLiteral("--folder"), dir.path(), QStringLiteral("--export-all"),
                                  target.startsWith(u'/') ? target : d.filePath(target)});
    QVERIFY(program.waitForFinished(60000));
    QVERIFY2(!guard.disarm(), "the export blocked on the named pipe");
    const QByteArray streamed = program.readAllStandardOutput();
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == status, qPrintable(errors));
    // Nothing in the folder changed: no link target, pipe or table was replaced.
    QCOMPARE(paradox::snapshot(dir.path()), before);
    if (status == 0) {
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
        QCOMPARE(streamed, expected);
    } else {
        QVERIFY2(errors.contains(QStringLiteral("\"%1\" was not written").arg(target)), qPrintable(errors));
        QVERIFY(streamed.isEmpty());
    }
}

QTEST_MAIN(TstFullExport)
#include "tst_fullexport.moc"
