// The export of stored tests: the exact bytes of "Korvane.csv", its code page,
// and what becomes of the old file when writing fails.

#include "model/csvexport.h"
#include "core/errors.h"
#include "store/query.h"
#include "store/trainingtables.h"
#include "support/paradoxtables.h"
#include "support/specialfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

using FieldValues = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(FieldValues)

namespace {

QByteArray exportBytes(store::TrainingTables &tables, int *steps = nullptr)
{
    store::Query query(tables.TestTable);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int advanced = 0;
    data::writeTestExport(buffer, query, [&](int n) { advanced += n; });
    if (steps)
        *steps = advanced;
    return buffer.data();
}

void storeTest(store::Table &table, const FieldValues &values)
{
    table.append();
    for (const auto &[name, value] : values)
        table.setFieldText(name, value);
    table.post();
}

// Stores many tests at once, in one transaction, with an exercise of their own.
void fillTests(store::Table &table, int count, const QString &exercise)
{
    QSqlDatabase db = table.database();
    QVERIFY(db.transaction());
    QSqlQuery insert(db);
    QVERIFY(insert.prepare(QStringLiteral("INSERT INTO TestTable (Exercise) VALUES (?)")));
    for (int i = 0; i < count; ++i) {
        insert.addBindValue(exercise.arg(i));
        QVERIFY(insert.exec());
    }
    QVERIFY(db.commit());
}

QByteArray pairs(int count)
{
    return QByteArray("; ").repeated(count);
}

// A device that takes `capacity` bytes and then refuses, like a full disk.
class FullDevice : public QIODevice {
public:
    explicit FullDevice(qint64 capacity) : m_capacity(capacity) { open(QIODevice::WriteOnly); }
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (written.size() + size > m_capacity) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        written.append(data, size);
        return size;
    }

private:
    qint64 m_capacity;
};

#ifdef Q_OS_WIN
// Windows limits no process in the size of the files it writes; the test
// that needs such a limit is left out there.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64) {}
    bool ok() const { return false; }
};
#else
// Limits the size of files this process writes, as a nearly full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};
#endif

} // namespace

class TstCsvExport : public QObject {
    Q_OBJECT

private slots:
    void headerIsTheFixedLine();
    void emptyTableGivesTheHeaderOnly();
    void rowsHoldTheFirst53Fields_data();
    void rowsHoldTheFirst53Fields();
    void rowsFollowTheKeyOrderAndProgressCountsValues();
    void windows1252_data();
    void windows1252();
    void malformedUtf8_data();
    void malformedUtf8();
    void replacedCharactersAreCounted_data();
    void replacedCharactersAreCounted();
    void twoExportsAreByteIdentical();
    void failingDeviceIsReported();
    void fileIsReplacedWhole();
    void failedWriteKeepsThePreviousFile();
    void onlyAnOrdinaryFileIsWritten_data();
    void onlyAnOrdinaryFileIsWritten();
};

void TstCsvExport::headerIsTheFixedLine()
{
    const QByteArray header = data::exportHeader();
    QVERIFY(header.endsWith("TUTTotal;TUTReal\r\n"));
    const QByteArray line = header.chopped(2);
    QCOMPARE(line.size(), 318);
    QCOMPARE(line.split(';').size(), 57);
    QVERIFY(line.contains(";Rt10;RR10;Rt11;RR11;"));
    QVERIFY(line.contains(";Rt19;RR19;StartRest;froPhase;ToPhase;RestafterFro;RestafterTo;Rep;Set;RestSets;"));
    QVERIFY(!line.contains("Rt20"));
}

void TstCsvExport::emptyTableGivesTheHeaderOnly()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    int steps = -1;
    QCOMPARE(exportBytes(tables, &steps), data::exportHeader());
    QCOMPARE(steps, 0);
}

void TstCsvExport::rowsHoldTheFirst53Fields_data()
{
    QTest::addColumn<FieldValues>("values");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("number only") << FieldValues{} << QByteArray("1; ") + pairs(52) + "\r\n";

    QTest::newRow("clock window's texts")
        << FieldValues{{QStringLiteral("Date"), QStringLiteral("07.12.2026")},
                       {QStringLiteral("ProfilNr"), QStringLiteral("3")},
                       {QStringLiteral("Name"), QStringLiteral("Berg")},
                       {QStringLiteral("Load"), QStringLiteral("82,5")},
                       {QStringLiteral("RealTime1"), QStringLiteral("20,5")},
                       {QStringLiteral("RealR1"), QStringLiteral("6")}}
        << QByteArray("1; 07.12.2026; 3; Berg; ; ; ; ; 82,5; 20,5; 6; ") + pairs(42) + "\r\n";

    // RealTime20 to RestafterFro are the last values; the six fields after
    // them are not written.
    QTest::newRow("last exported fields")
        << FieldValues{{QStringLiteral("RealTime20"), QStringLiteral("a")}, {QStringLiteral("RealR20"), QStringLiteral("b")},
                       {QStringLiteral("StartRest"), QStringLiteral("c")}, {QStringLiteral("FroPhase"), QStringLiteral("d")},
                       {QStringLiteral("ToPhase"), QStringLiteral("e")}, {QStringLiteral("RestafterFro"), QStringLiteral("f")},
                       {QStringLiteral("RestafterTo"), QStringLiteral("NO")}, {QStringLiteral("Rep"), QStringLiteral("NO")},
                       {QStringLiteral("Sets"), QStringLiteral("NO")}, {QStringLiteral("RestSets"), QStringLiteral("NO")},
                       {QStringLiteral("TUTTotal"), QStringLiteral("NO")}, {QStringLiteral("TUTReal"), QStringLiteral("NO")}}
        << QByteArray("1; ") + pairs(46) + "a; b; c; d; e; f; \r\n";

    QTest::newRow("semicolon in exercise")
        << FieldValues{{QStringLiteral("Exercise"), QStringLiteral("Bank;drücken")}, {QStringLiteral("Load"), QStringLiteral("60")}}
        << QByteArray("1; ; ; ; ; ; ; Bank;dr\xFC" "cken; 60; ") + pairs(44) + "\r\n";

    QTest::newRow("characters outside the code page")
        << FieldValues{{QStringLiteral("Name"), QStringLiteral("Zoë")},
                       {QStringLiteral("Surname"), QStringLiteral("Łukasz “€”")},
                       {QStringLiteral("Exercise"), QStringLiteral("深蹲 \U0001F4AA")}}
        << QByteArray("1; ; ; Zo\xEB; ?ukasz \x93\x80\x94; ; ; ?? ?; ") + pairs(45) + "\r\n";

    QTest::newRow("quotes and line breaks stay as they are")
        << FieldValues{{QStringLiteral("Name"), QStringLiteral("\"a\"\nb")}}
        << QByteArray("1; ; ; \"a\"\nb; ") + pairs(49) + "\r\n";
}

void TstCsvExport::rowsHoldTheFirst53Fields()
{
    QFETCH(FieldValues, values);
    QFETCH(QByteArray, line);
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    storeTest(tables.TestTable, values);
    QCOMPARE(exportBytes(tables), data::exportHeader() + line);
}

void TstCsvExport::rowsFollowTheKeyOrderAndProgressCountsValues()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    for (const char *name : {"c", "a", "b"})
        storeTest(tables.TestTable, {{QStringLiteral("Name"), QString::fromUtf8(name)}});
    int steps = 0;
    const QList<QByteArray> lines = exportBytes(tables, &steps).split('\n');
    QCOMPARE(lines.size(), 5);   // header, three tests, nothing after the last line end
    QVERIFY(lines.at(1).startsWith("1; ; ; c; "));
    QVERIFY(lines.at(2).startsWith("2; ; ; a; "));
    QVERIFY(lines.at(3).startsWith("3; ; ; b; "));
    QCOMPARE(lines.at(4), QByteArray());
    QCOMPARE(steps, 3 * 53);
}

void TstCsvExport::windows1252_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("Az09;, ") << QByteArray("Az09;, ");
    QTest::newRow("latin-1 letters") << QStringLiteral("äöüßÄÖÜé") << QByteArray("\xE4\xF6\xFC\xDF\xC4\xD6\xDC\xE9");
    QTest::newRow("no-break space and ÿ") << QStringLiteral("\u00A0\u00FF") << QByteArray("\xA0\xFF");
    QTest::newRow("euro and typographic") << QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹Œ") << QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C");
    QTest::newRow("upper half of the table") << QStringLiteral("Ž‘’“”•–—˜™š›œžŸ")
                                             << QByteArray("\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F");
    QTest::newRow("undefined bytes' controls") << QStringLiteral("\u0081\u008D\u008F\u0090\u009D")
                                               << QByteArray("\x81\x8D\x8F\x90\x9D");
    QTest::newRow("other C1 controls") << QStringLiteral("\u0080\u009F") << QByteArray("??");
    QTest::newRow("outside the code page") << QStringLiteral("ĀЖ中") << QByteArray("???");
    QTest::newRow("one character of two halves") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("lone half") << QString(QChar(0xD800)) + QStringLiteral("x") << QByteArray("?x");
}

void TstCsvExport::windows1252()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QByteArray out("pre");
    data::appendWindows1252(out, text);
    QCOMPARE(out, QByteArray("pre") + bytes);
    // The export reads UTF-8 from the store; both roads give the same bytes.
    QByteArray fromUtf8("pre");
    data::appendWindows1252(fromUtf8, QByteArrayView(text.toUtf8()));
    QCOMPARE(fromUtf8, QByteArray("pre") + bytes);
}

void TstCsvExport::malformedUtf8_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("cut sequence at the end") << QByteArray("ab\xC3") << QByteArray("ab?");
    QTest::newRow("stray continuation") << QByteArray("\x80x") << QByteArray("?x");
    QTest::newRow("invalid lead byte") << QByteArray("\xFFy") << QByteArray("?y");
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QByteArray("??");
    QTest::newRow("broken middle") << QByteArray("\xE2\x82z") << QByteArray("??z");
    QTest::newRow("valid after invalid") << QByteArray("\xFF\xC3\xA4") << QByteArray("?\xE4");
}

void TstCsvExport::malformedUtf8()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, bytes);
    QByteArray out;
    data::appendWindows1252(out, QByteArrayView(utf8));
    QCOMPARE(out, bytes);
}

void TstCsvExport::replacedCharactersAreCounted_data()
{
    QTest::addColumn<FieldValues>("values");
    QTest::addColumn<int>("replacedValues");
    QTest::newRow("all in the code page")
        << FieldValues{{QStringLiteral("Name"), QStringLiteral("Zoë")}, {QStringLiteral("Load"), QStringLiteral("82,5 €")}} << 0;
    QTest::newRow("one value, several characters")
        << FieldValues{{QStringLiteral("Name"), QStringLiteral("Иван")}} << 1;
    QTest::newRow("three values")
        << FieldValues{{QStringLiteral("Name"), QStringLiteral("Łukasz")},
                       {QStringLiteral("Surname"), QStringLiteral("王")},
                       {QStringLiteral("Exercise"), QStringLiteral("Squat \U0001F4AA")},
                       {QStringLiteral("Height"), QStringLiteral("180")}}
        << 3;
    // Only the 53 exported fields count.
    QTest::newRow("not exported") << FieldValues{{QStringLiteral("TUTReal"), QStringLiteral("Ω")}} << 0;
}

void TstCsvExport::replacedCharactersAreCounted()
{
    QFETCH(FieldValues, values);
    QFETCH(int, replacedValues);
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    storeTest(tables.TestTable, values);
    storeTest(tables.TestTable, values);
    store::Query query(tables.TestTable);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const data::ExportSummary summary = data::writeTestExport(buffer, query, {});
    QCOMPARE(summary.tests, 2);
    QCOMPARE(summary.valuesWithReplacements, 2 * replacedValues);
    const QString notice = data::replacementNotice(summary);
    QCOMPARE(notice.isEmpty(), replacedValues == 0);
    if (replacedValues > 0) {
        QVERIFY2(notice.contains(QStringLiteral("%1 values hold").arg(2 * replacedValues)), qPrintable(notice));
        QVERIFY2(notice.contains(QStringLiteral("\"?\"")), qPrintable(notice));
    }
    // The file's bytes are those of the plain export.
    QCOMPARE(buffer.data(), exportBytes(tables));
    QCOMPARE(data::replacementNotice({1, 1}).contains(QStringLiteral("1 value holds")), true);
}

void TstCsvExport::twoExportsAreByteIdentical()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    for (int i = 0; i < 50; ++i)
        storeTest(tables.TestTable, {{QStringLiteral("Name"), QStringLiteral("N%1").arg(i)},
                                     {QStringLiteral("RealTime3"), QStringLiteral("%1,25").arg(i)}});
    const QString path = dir.filePath(QStringLiteral("Korvane.csv"));
    store::Query query(tables.TestTable);
    data::exportTestsToFile(path, query, {});
    QFile first(path);
    QVERIFY(first.open(QIODevice::ReadOnly));
    const QByteArray firstBytes = first.readAll();
    first.close();
    data::exportTestsToFile(path, query, {});
    QFile second(path);
    QVERIFY(second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), firstBytes);
    QCOMPARE(firstBytes.count('\n'), 51);
    QCOMPARE(firstBytes, exportBytes(tables));
}

void TstCsvExport::failingDeviceIsReported()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    fillTests(tables.TestTable, 3000, QStringLiteral("Kniebeuge %1"));
    for (qint64 capacity : {qint64(0), qint64(100), qint64(100000)}) {
        FullDevice device(capacity);
        store::Query query(tables.TestTable);
        try {
            data::writeTestExport(device, query, {});
            QFAIL("a refused write went unnoticed");
        } catch (const core::Failure &error) {
            QVERIFY2(error.message().contains(QStringLiteral("No space left on device")), qPrintable(error.message()));
        }
        QVERIFY(device.written.size() <= capacity);
        // The half-read query lets go of the file: another program can
        // write at once, and the table stores the next test.
        QVERIFY(!query.isOpen());
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
            other.setDatabaseName(tables.TestTable.filePath());
            QVERIFY(other.open());
            QSqlQuery write(other);
            QVERIFY2(write.exec(QStringLiteral("BEGIN EXCLUSIVE")), qPrintable(write.lastError().text()));
            QVERIFY(write.exec(QStringLiteral("ROLLBACK")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("writer"));
    }
}

void TstCsvExport::fileIsReplacedWhole()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    const QString path = dir.filePath(QStringLiteral("Korvane.csv"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray("an older, longer export\r\n").repeated(100));
    old.close();
    store::Query query(tables.TestTable);
    data::exportTestsToFile(path, query, {});
    QFile result(path);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll(), data::exportHeader());
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("Korvane*")}, QDir::Files),
             QStringList{QStringLiteral("Korvane.csv")});
}

void TstCsvExport::failedWriteKeepsThePreviousFile()
{
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    fillTests(tables.TestTable, 400, QStringLiteral("Kreuzheben %1"));
    const QString path = dir.filePath(QStringLiteral("Korvane.csv"));
    const QByteArray previous = QByteArray("the previous export\r\n").repeated(20);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(previous);
    old.close();

    QString message;
    {
        FileSizeLimit limit(16 * 1024);
        QVERIFY(limit.ok());
        store::Query query(tables.TestTable);
        try {
            data::exportTestsToFile(path, query, {});
        } catch (const core::Failure &error) {
            message = error.message();
        }
    }
    QVERIFY2(message.contains(QStringLiteral("Korvane.csv")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("File too large"), Qt::CaseInsensitive), qPrintable(message));
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), previous);
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("Korvane*")}, QDir::Files),
             QStringList{QStringLiteral("Korvane.csv")});
}

void TstCsvExport::onlyAnOrdinaryFileIsWritten_data()
{
    // What stands at "Korvane.csv" before the export; "" when it is refused,
    // else the permissions the written file must have.
    QTest::addColumn<QString>("setup");
    QTest::addColumn<unsigned>("mode");
    QTest::newRow("nothing: a new, private file") << "none" << 0600u;
    QTest::newRow("an older export keeps its permissions") << "old0644" << 0644u;
    QTest::newRow("link to the test table") << "tablelink" << 0u;
    QTest::newRow("link to a file outside the folder") << "outsidelink" << 0u;
    QTest::newRow("dangling link") << "dangling" << 0u;
    QTest::newRow("named pipe") << "fifo" << 0u;
    QTest::newRow("folder") << "folder" << 0u;
    QTest::newRow("a copy of the test table") << "tablecopy" << 0u;
    QTest::newRow("a Paradox table") << "paradox" << 0u;
}

void TstCsvExport::onlyAnOrdinaryFileIsWritten()
{
    QFETCH(QString, setup);
    QFETCH(unsigned, mode);
    QTemporaryDir dir;
    QTemporaryDir outside;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    fillTests(tables.TestTable, 3, QStringLiteral("Bankdrücken %1"));
    const QString path = dir.filePath(QStringLiteral("Korvane.csv"));
    const QString table = tables.TestTable.filePath();
    const QString elsewhere = QDir(outside.path()).filePath(QStringLiteral("notes.txt"));
    QFile other(elsewhere);
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("keep me");
    other.close();
    if (setup == QLatin1String("old0644")) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                   | QFileDevice::ReadOther));
    } else if (setup == QLatin1String("tablelink")) {
        SPECIAL_MAKE_LINK(table, path);
    } else if (setup == QLatin1String("outsidelink")) {
        SPECIAL_MAKE_LINK(elsewhere, path);
    } else if (setup == QLatin1String("dangling")) {
        SPECIAL_MAKE_LINK(QDir(outside.path()).filePath(QStringLiteral("gone")), path);
    } else if (setup == QLatin1String("fifo")) {
        SPECIAL_MAKE_FIFO(path);
    } else if (setup == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Korvane.csv")));
    } else if (setup == QLatin1String("tablecopy")) {
        QVERIFY(QFile::copy(table, path));
    } else if (setup == QLatin1String("paradox")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(paradox::write(paradox::trainingTable(store::profilLayout(), 2)).db);
    }
    const QByteArray tableBefore = paradox::snapshot(dir.path()).value(tables.TestTable.fileName());
    const auto stands = paradox::snapshot(dir.path()).value(QStringLiteral("Korvane.csv"));

    special::FifoGuard guard(path);
    QString message;
    try {
        store::Query query(tables.TestTable);
        data::exportTestsToFile(path, query, {});
    } catch (const core::Failure &error) {
        message = error.message();
    }
    QVERIFY2(!guard.disarm(), "the export blocked on the named pipe");
    QCOMPARE(paradox::snapshot(dir.path()).value(tables.TestTable.fileName()), tableBefore);
    QCOMPARE(paradox::snapshot(outside.path()).value(QStringLiteral("notes.txt")), QByteArray("keep me"));
    if (mode == 0) {
        QVERIFY2(message.contains(QStringLiteral("\"Korvane.csv\" was not written")), qPrintable(message));
        QCOMPARE(paradox::snapshot(dir.path()).value(QStringLiteral("Korvane.csv")), stands);
    } else {
        QVERIFY2(message.isEmpty(), qPrintable(message));
        QVERIFY(paradox::snapshot(dir.path()).value(QStringLiteral("Korvane.csv")).startsWith(data::exportHeader()));
        if (!special::accessListsKept())
            QSKIP("this system keeps no access list given to a file (Wine)");
        QCOMPARE(special::mode(path), mode);
    }
}

QTEST_GUILESS_MAIN(TstCsvExport)
#include "tst_csvexport.moc"
