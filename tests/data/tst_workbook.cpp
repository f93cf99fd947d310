// The workbook export read back as analysts read it: with the spreadsheet
// (headless, converted to CSV under an English and a German locale) and with
// a Python reader; types and values cell for cell, tricky texts included.
// Also the command line and a failed write.

#include "app/commands.h"
#include "core/errors.h"
#include "model/xlsxexport.h"
#include "store/testnotes.h"
#include "store/trainingtables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QUrl>

#include <clocale>
#include <map>
#include <optional>

namespace {

using Values = QList<QPair<QString, QString>>;

// One sheet as rows of cells: "n:<number>", "s:<text>", "d:<yyyy-mm-dd>" or
// "" for an empty cell.
using SheetCells = QList<QStringList>;
using Workbook = std::map<QString, SheetCells>;

void store(store::Table &table, const Values &values)
{
    table.append();
    for (const auto &[name, value] : values)
        table.setFieldText(name, value);
    table.post();
}

// Tests 1 to 3, one athlete and one profile, with the values that break
// hand-made spreadsheets.
void storeTables(store::TrainingTables &tables)
{
    const auto s = [](const char *text) { return QString::fromUtf8(text); };
    store(tables.TestTable,
          {{s("Date"), s("06.12.2026")}, {s("Name"), s("Jürgen; \"Jo\"")}, {s("Surname"), s("Mül\nler")},
           {s("Bodyweight"), s("82,5")}, {s("Height"), s(" 181 ")}, {s("Exercise"), s("Bank, schräg; eng")},
           {s("Load"), s("72,5")}, {s("RealTime1"), s("18")}, {s("RealR1"), s("6")}, {s("RealTime2"), s("12,5")},
           {s("RealR2"), s("4")}, {s("RealTime3"), s("abc")}, {s("RealR3"), s("0")}, {s("StartRest"), s("1,5")},
           {s("FroPhase"), s("1")}, {s("ToPhase"), s("1")}, {s("RestafterFro"), s("0,5")},
           {s("RestafterTo"), s("0,5")}, {s("Rep"), s("6")}, {s("Sets"), s("2")}, {s("RestSets"), s("120")},
           {s("TUTTotal"), s("1,5E3")}, {s("TUTReal"), s("-0,25")}});
    store(tables.TestTable, {{s("Date"), s("gestern")}, {s("Name"), s("=1+1")}, {s("Load"), s("1.5")}});
    // No Sets field: the sets that recorded something count.
    store(tables.TestTable, {{s("Date"), s("1.2.2025")}, {s("Name"), s("Ünal")}, {s("Load"), s("100")},
                             {s("RealTime1"), s("")}, {s("RealR1"), s("0")}, {s("RealTime2"), s("9,75")}});
    // Blanks around the Sets field: its second recorded set is past the count.
    store(tables.TestTable, {{s("Name"), s("Sven")}, {s("Sets"), s(" 1 ")}, {s("RealTime1"), s("5")},
                             {s("RealTime2"), s("7")}});
    store(tables.SPTable, {{s("Name"), s("Özlem \"Öz\"")}, {s("Surname"), s("Yılmaz;\nB")},
                           {s("Bodyweight"), s("61,25")}, {s("Height"), s("170")}});
    storeTestNote(tables.TestTable, 2, {s("Knie; \"RPE 9\"\nnass"), false, s("Jörg")});
    store(tables.ProfilTable, {{s("Profil"), s("Kraft, 6×")}, {s("Exercise"), s("Kniebeuge")}, {s("Load"), s("100")},
                               {s("Rep"), s("6")}, {s("Sets"), s("x")}});
}

QString python3WithReader()
{
    // The system's interpreter first: its packages are the ones installed.
    // (Under Wine, "/usr/bin/python3" names the Linux one, which cannot
    // read Windows paths.)
    QStringList candidates{QStandardPaths::findExecutable(QStringLiteral("python3"))};
#ifndef Q_OS_WIN
    candidates.prepend(QStringLiteral("/usr/bin/python3"));
#endif
    for (const QString &python : std::as_const(candidates)) {
        if (python.isEmpty() || !QFile::exists(python))
            continue;
        if (QProcess::execute(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl")}) == 0)
            return python;
    }
    return {};
}

// The workbook through openpyxl; also says whether each sheet has its header
// frozen, an autofilter and set column widths ("layout" pseudo-sheet).
std::optional<Workbook> readWithPython(const QString &python, const QString &path)
{
    static const char script[] = R"(
import json, sys, datetime, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
out = {}
layout = []
for sheet in book.worksheets:
    rows = []
    for row in sheet.iter_rows():
        cells = []
        for cell in row:
            v = cell.value
            if v is None:
                cells.append('')
            elif isinstance(v, bool):
                cells.append('b:' + str(v))
            elif isinstance(v, datetime.datetime):
                cells.append('d:' + v.date().isoformat())
            elif isinstance(v, (int, float)):
                cells.append('n:' + repr(float(v)))
            else:
                cells.append('s:' + v)
        rows.append(cells)
    out[sheet.title] = rows
    widths = [sheet.column_dimensions[c].width for c in sheet.column_dimensions]
    layout.append(['s:%s frozen=%s filter=%s widths=%s' % (sheet.title, sheet.freeze_panes,
                   bool(sheet.auto_filter.ref), bool(widths) and min(widths) >= 6)])
out['layout'] = layout
print(json.dumps(out))
)";
    QProcess reader;
    reader.start(python, {QStringLiteral("-c"), QString::fromLatin1(script), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        qWarning("%s", reader.readAllStandardError().constData());
        return std::nullopt;
    }
    Workbook book;
    const QJsonObject sheets = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    for (auto it = sheets.begin(); it != sheets.end(); ++it) {
        SheetCells rows;
        for (const QJsonValue &row : it.value().toArray()) {
            QStringList cells;
            for (const QJsonValue &cell : row.toArray())
                cells << cell.toString();
            rows << cells;
        }
        book[it.key()] = rows;
    }
    return book;
}

// RFC 4180 CSV (split at `separator`) with every text cell quoted: an
// unquoted field is a boolean, a number
// (or a date shown as yyyy-mm-dd), read with the locale's decimal separator.
SheetCells readCsv(const QString &text, QChar separator, QChar decimal)
{
    SheetCells rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    const auto endField = [&] {
        if (wasQuoted) {
            row << QStringLiteral("s:") + field;
        } else if (field.isEmpty()) {
            row << QString();
        } else if (QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d$")).match(field).hasMatch()) {
            row << QStringLiteral("d:") + field;
        } else if (field == QLatin1String("TRUE") || field == QLatin1String("WAHR")) {
            row << QStringLiteral("b:True");
        } else if (field == QLatin1String("FALSE") || field == QLatin1String("FALSCH")) {
            row << QStringLiteral("b:False");
        } else {
            QString number = field;
            number.replace(decimal, u'.');
            bool ok = false;
            const double value = number.toDouble(&ok);
            row << (ok ? QStringLiteral("n:") + QString::number(value, 'g', 17) : QStringLiteral("?:") + field);
        }
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
            wasQuoted = true;
        } else if (c == separator) {
            endField();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            endField();
            rows << row;
            row.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        endField();
        rows << row;
    }
    return rows;
}

// Every sheet through the spreadsheet under `locale` ("en-US", "de-DE"),
// shown as the cells show them, text cells quoted.
std::optional<Workbook> readWithSpreadsheet(const QString &path, const QString &locale, const QString &scratch)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    const QString profile = QDir(scratch).filePath(QStringLiteral("profile-") + locale);
    const QString out = QDir(scratch).filePath(QStringLiteral("csv-") + locale);
    QDir().mkpath(profile + QStringLiteral("/user"));
    QDir().mkpath(out);
    // A profile of its own that sets the locale, whatever the system has.
    QFile settings(profile + QStringLiteral("/user/registrymodifications.xcu"));
    if (!settings.open(QIODevice::WriteOnly))
        return std::nullopt;
    settings.write(QStringLiteral(
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                       "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
                       "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooSetupSystemLocale\" oor:op=\"fuse\">"
                       "<value>%1</value></prop></item>\n"
                       "</oor:items>\n")
                       .arg(locale)
                       .toUtf8());
    settings.close();
    QProcess office;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString posix = QString(locale).replace(u'-', u'_') + QStringLiteral(".UTF-8");
    environment.insert(QStringLiteral("LANG"), posix);
    environment.insert(QStringLiteral("LC_ALL"), posix);
    office.setProcessEnvironment(environment);
    // Comma (a semicolon where the decimal separator is the comma), quote,
    // UTF-8, from line 1, text cells quoted, cells as shown, every sheet
    // into a file of its own.
    const bool decimalComma = locale.startsWith(QLatin1String("de"));
    office.start(soffice, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                           QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                           QStringLiteral("csv:Text - txt - csv (StarCalc):%1,34,76,1,,0,true,true,true,false,false,-1")
                               .arg(decimalComma ? 59 : 44),
                           QStringLiteral("--outdir"), out, path});
    if (!office.waitForFinished(180000) || office.exitCode() != 0) {
        qWarning("%s", office.readAllStandardError().constData());
        return std::nullopt;
    }
    Workbook book;
    const QString base = QFileInfo(path).completeBaseName();
    for (const char *sheet : {"Tests", "Sets", "Athletes", "Profiles"}) {
        QFile csv(QDir(out).filePath(QStringLiteral("%1-%2.csv").arg(base, QLatin1String(sheet))));
        if (!csv.open(QIODevice::ReadOnly))
            return std::nullopt;
        book[QString::fromLatin1(sheet)] = readCsv(QString::fromUtf8(csv.readAll()), decimalComma ? u';' : u',',
                                                      decimalComma ? u',' : u'.');
    }
    return book;
}

// A cell's text with numbers in one form, so that 72.5 and 72.50000 agree.
QString normalCell(const QString &cell)
{
    if (!cell.startsWith(QLatin1String("n:")))
        return cell;
    return QStringLiteral("n:") + QString::number(cell.mid(2).toDouble(), 'g', 12);
}

QString cellAt(const Workbook &book, const QString &sheet, int row, int column)
{
    const auto found = book.find(sheet);
    if (found == book.end() || row >= found->second.size())
        return QStringLiteral("<missing>");
    const QStringList &cells = found->second.at(row);
    return column < cells.size() ? normalCell(cells.at(column)) : QString();
}

} // namespace

class TstWorkbook : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cells_data();
    void cells();
    void sheetLayout();
    void messageCountsTheTextsInNumberFields();
    void commandLine_data();
    void commandLine();
    void failedWriteKeepsTheOlderFile();

private:
    QTemporaryDir m_dir;
    QString m_workbook;
    data::WorkbookSummary m_summary;
    std::map<QString, Workbook> m_read;   // by reader
    QString m_python;
};

void TstWorkbook::initTestCase()
{
    const QString folder = m_dir.filePath(QStringLiteral("tables"));
    QVERIFY(QDir().mkpath(folder));
    store::TrainingTables tables(folder);
    tables.openAll();
    storeTables(tables);
    m_workbook = m_dir.filePath(QStringLiteral("Korvane.xlsx"));
    data::WorkbookSources sources{tables.TestTable.database(), tables.SPTable.database(),
                                  tables.ProfilTable.database(), {}};
    // Written under a German numeric locale: the cells must not change.
    setlocale(LC_NUMERIC, "de_DE.UTF-8");
    m_summary = data::writeWorkbookFile(m_workbook, sources);
    setlocale(LC_NUMERIC, "C");

    m_python = python3WithReader();
    if (!m_python.isEmpty()) {
        const std::optional<Workbook> book = readWithPython(m_python, m_workbook);
        QVERIFY(book);
        m_read[QStringLiteral("openpyxl")] = *book;
    }
    if (!QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()) {
        for (const QString &locale : {QStringLiteral("en-US"), QStringLiteral("de-DE")}) {
            const std::optional<Workbook> book = readWithSpreadsheet(m_workbook, locale, m_dir.path());
            QVERIFY(book);
            m_read[QStringLiteral("spreadsheet ") + locale] = *book;
        }
    }
}

void TstWorkbook::cells_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    const auto s = [](const char *text) { return QString::fromUtf8(text); };
    struct Cell {
        const char *name;
        const char *sheet;
        int row, column;
        QString expected;
    };
    const QList<Cell> cells = {
        {"header", "Tests", 0, 0, s("s:Testnr")},
        {"last header", "Tests", 0, 58, s("s:TUTReal")},
        {"key", "Tests", 1, 0, s("n:1")},
        {"date", "Tests", 1, 1, s("d:2026-12-06")},
        {"profile number empty", "Tests", 1, 2, QString()},
        {"semicolon and quotes", "Tests", 1, 3, s("s:Jürgen; \"Jo\"")},
        {"line break", "Tests", 1, 4, s("s:Mül\nler")},
        {"decimal comma", "Tests", 1, 5, s("n:82.5")},
        {"blanks around a number", "Tests", 1, 6, s("n:181")},
        {"comma and semicolon", "Tests", 1, 7, s("s:Bank, schräg; eng")},
        {"load", "Tests", 1, 8, s("n:72.5")},
        {"text in a number field", "Tests", 1, 13, s("s:abc")},
        {"zero", "Tests", 1, 14, s("n:0")},
        {"exponent", "Tests", 1, 57, s("n:1500")},
        {"negative", "Tests", 1, 58, s("n:-0.25")},
        {"unreadable date", "Tests", 2, 1, s("s:gestern")},
        {"formula-like text", "Tests", 2, 3, s("s:=1+1")},
        {"decimal point is no number", "Tests", 2, 8, s("s:1.5")},
        {"one-digit day and month", "Tests", 3, 1, s("d:2025-02-01")},
        {"sets header", "Sets", 0, 7, s("s:PlannedTime")},
        {"set test number", "Sets", 1, 0, s("n:1")},
        {"set date", "Sets", 1, 1, s("d:2026-12-06")},
        {"set athlete", "Sets", 1, 2, s("s:Jürgen; \"Jo\"")},
        {"set load", "Sets", 1, 5, s("n:72.5")},
        {"set number", "Sets", 1, 6, s("n:1")},
        {"planned time", "Sets", 1, 7, s("n:18")},
        {"real time", "Sets", 1, 8, s("n:18")},
        {"repetitions", "Sets", 1, 9, s("n:6")},
        {"completed", "Sets", 1, 10, s("s:completed")},
        {"cancelled", "Sets", 2, 10, s("s:cancelled")},
        {"cancelled time", "Sets", 2, 8, s("n:12.5")},
        // Test 1 has two sets (its third recorded text is past them), test
        // 2 none, test 3 only its second.
        {"set of a test without sets field", "Sets", 3, 6, s("n:2")},
        {"its test", "Sets", 3, 0, s("n:3")},
        {"set of a padded sets field", "Sets", 4, 0, s("n:4")},
        {"no set past a padded count", "Sets", 5, 0, s("<missing>")},
        {"athlete name", "Athletes", 1, 1, s("s:Özlem \"Öz\"")},
        {"athlete surname", "Athletes", 1, 2, s("s:Yılmaz;\nB")},
        {"athlete weight", "Athletes", 1, 3, s("n:61.25")},
        {"profile name", "Profiles", 1, 1, s("s:Kraft, 6×")},
        {"profile load", "Profiles", 1, 3, s("n:100")},
        {"profile sets not a number", "Profiles", 1, 10, s("s:x")},
        {"notes header", "Tests", 0, 59, s("s:Note")},
        {"note with line break and quotes", "Tests", 2, 59, s("s:Knie; \"RPE 9\"\nnass")},
        {"invalid attempt", "Tests", 2, 60, s("b:False")},
        {"tester", "Tests", 2, 61, s("s:Jörg")},
        {"valid without a note", "Tests", 1, 60, s("b:True")},
        {"set of a valid test", "Sets", 1, 11, s("b:True")},
    };
    if (m_read.empty())
        QSKIP("neither the spreadsheet (soffice) nor python3-openpyxl is installed");
    for (const auto &[reader, book] : m_read) {
        for (const Cell &cell : cells) {
            QTest::addRow("%s: %s", qPrintable(reader), cell.name)
                << reader << QString::fromLatin1(cell.sheet) << cell.row << cell.column << cell.expected;
        }
    }
}

void TstWorkbook::cells()
{
    QFETCH(QString, reader);
    QFETCH(QString, sheet);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, expected);
    QCOMPARE(cellAt(m_read.at(reader), sheet, row, column), normalCell(expected));
}

void TstWorkbook::sheetLayout()
{
    if (m_python.isEmpty())
        QSKIP("python3-openpyxl is not installed");
    const SheetCells layout = m_read.at(QStringLiteral("openpyxl")).at(QStringLiteral("layout"));
    QStringList lines;
    for (const QStringList &row : layout)
        lines << row.value(0);
    QCOMPARE(lines, (QStringList{QStringLiteral("s:Tests frozen=A2 filter=True widths=True"),
                                 QStringLiteral("s:Sets frozen=A2 filter=True widths=True"),
                                 QStringLiteral("s:Athletes frozen=A2 filter=True widths=True"),
                                 QStringLiteral("s:Profiles frozen=A2 filter=True widths=True")}));
}

void TstWorkbook::messageCountsTheTextsInNumberFields()
{
    QCOMPARE(m_summary.tests, 4);
    QCOMPARE(m_summary.sets, 4);
    QCOMPARE(m_summary.athletes, 1);
    QCOMPARE(m_summary.profiles, 1);
    // "abc", "gestern", "1.5" and the profile's "x".
    QCOMPARE(m_summary.textInNumberFields, 4);
    const QString message = data::workbookWrittenMessage(m_summary, QStringLiteral("/x/K.xlsx"));
    QVERIFY2(message.contains(QStringLiteral("4 values")), qPrintable(message));
}

void TstWorkbook::commandLine_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::newRow("success") << QStringLiteral("tables") << QStringLiteral("out.xlsx") << 0
                             << QStringLiteral("4 tests with 4 sets written");
    QTest::newRow("tests only") << QStringLiteral("tests only") << QStringLiteral("out.xlsx") << 0
                                << QStringLiteral("4 tests with 4 sets written");
    // Put in place over the older file while nothing holds either open,
    // and written in a folder whose name the ANSI code page of Windows
    // lacks.
    QTest::newRow("older file replaced") << QStringLiteral("older file") << QStringLiteral("out.xlsx") << 0
                                         << QStringLiteral("4 tests with 4 sets written");
    QTest::newRow("folder in other scripts") << QStringLiteral("target folder")
                                             << QStringLiteral("Ωμέγα 東京 Jürgen/out.xlsx") << 0
                                             << QStringLiteral("4 tests with 4 sets written");
    QTest::newRow("missing folder") << QStringLiteral("no folder") << QStringLiteral("out.xlsx") << 1
                                    << QStringLiteral("does not exist");
    QTest::newRow("unwritable target") << QStringLiteral("tables") << QStringLiteral("missing/out.xlsx") << 2
                                       << QStringLiteral("\"out.xlsx\" could not be created");
    QTest::newRow("target is a folder") << QStringLiteral("tables") << QStringLiteral("tables") << 2
                                        << QStringLiteral("\"tables\" was not written");
}

void TstWorkbook::commandLine()
{
    QFETCH(QString, setup);
    QFETCH(QString, target);
    QFETCH(int, status);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("tables"));
    if (setup != QLatin1String("no folder")) {
        QVERIFY(QDir().mkpath(folder));
        store::TrainingTables tables(folder);
        tables.openAll();
        storeTables(tables);
    }
    if (setup == QLatin1String("tests only")) {
        QVERIFY(QFile::remove(QDir(folder).filePath(QStringLiteral("SPTable.db"))));
        QVERIFY(QFile::remove(QDir(folder).filePath(QStringLiteral("Profil.db"))));
    }
    const QString path = dir.filePath(target);
    if (setup == QLatin1String("older file")) {
        QFile older(path);
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("older");
    }
    if (setup == QLatin1String("target folder"))
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QString output;
    QString errors;
    QTextStream out(&output);
    QTextStream err(&errors);
    QCOMPARE(app::runWorkbookExport(folder, path, out, err), status);
    out.flush();
    err.flush();
    if (status == 0) {
        QVERIFY2(output.contains(said), qPrintable(output));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.read(2), QByteArray("PK"));
#ifndef Q_OS_WIN
        // A new file holds personal data: its owner's only.  (On Windows that
        // is its access list, which the tests of the private files read.)
        if (setup != QLatin1String("older file"))
            QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
#endif
    } else {
        QVERIFY2(errors.contains(said), qPrintable(errors));
    }
    // Nothing is left beside the target.
    const QStringList leftovers = QFileInfo(path).dir().entryList({QStringLiteral(".out.xlsx*")}, QDir::Files | QDir::Hidden);
    QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(u' ')));
}

void TstWorkbook::failedWriteKeepsTheOlderFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("K.xlsx"));
    QFile older(path);
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write("older");
    older.close();
    // A database without the test table: the read fails midway.
    {
        QSqlDatabase empty = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("empty"));
        empty.setDatabaseName(dir.filePath(QStringLiteral("empty.db")));
        QVERIFY(empty.open());
        data::WorkbookSources sources;
        sources.tests = empty;
        try {
            data::writeWorkbookFile(path, sources);
            QFAIL("a failed read was reported as success");
        } catch (const core::Failure &failure) {
            QVERIFY2(failure.message().contains(QStringLiteral("previous file is unchanged")), qPrintable(failure.message()));
            QVERIFY(failure.isReadFailure());
        }
        empty.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("empty"));
    QVERIFY(older.open(QIODevice::ReadOnly));
    QCOMPARE(older.readAll(), QByteArray("older"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

QTEST_GUILESS_MAIN(TstWorkbook)
#include "tst_workbook.moc"
