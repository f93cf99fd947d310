// The test report read back from its PDF as text: values and their order for
// tricky records, nothing printed past the page's edge, and the command
// line's parsing and exit codes.

#include "app/commands.h"
#include "app/commandline.h"
#include "app/translations.h"
#include "clock/clockwindowfixture.h"
#include "report/reportcommand.h"
#include "report/reportpage.h"
#include "report/reportpreview.h"
#include "store/layout.h"
#include "store/testnotes.h"
#include "store/testreader.h"
#include "store/trainingtables.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFontDatabase>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QTranslator>

#include "support/specialfiles.h"

using Fields = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Fields)

namespace {

// A test of 4 sets of 5 repetitions of a 4 s cycle: 20 s planned per set.
Fields plainTest(const Fields &changes)
{
    Fields fields{{"Date", "07.12.2026"}, {"Name", "Anna"},      {"Surname", "Berger"},     {"Bodyweight", "62,5"},
                  {"Height", "170"},      {"Exercise", "Bench"}, {"Load", "40"},           {"StartRest", "1,5"},
                  {"FroPhase", "1"},      {"ToPhase", "1"},      {"RestafterFro", "1"},     {"RestafterTo", "1"},
                  {"Rep", "5"},           {"Sets", "4"},         {"RestSets", "120"},      {"TUTTotal", "80"},
                  {"TUTReal", "40"}};
    for (int k = 1; k <= 20; ++k) {
        fields.append({QStringLiteral("RealTime%1").arg(k), k <= 4 ? QStringLiteral("20") : QString()});
        fields.append({QStringLiteral("RealR%1").arg(k), k <= 4 ? QStringLiteral("5") : QStringLiteral("0")});
    }
    for (const auto &[name, value] : changes) {
        const auto field = std::find_if(fields.begin(), fields.end(), [&](const auto &f) { return f.first == name; });
        if (field == fields.end())
            fields.append({name, value});
        else
            field->second = value;
    }
    return fields;
}

qint64 storeTest(store::Table &table, const Fields &fields)
{
    table.append();
    for (const auto &[name, value] : fields)
        table.setFieldText(name, value);
    table.post();
    return table.fieldText(QStringLiteral("Testnr")).toLongLong();
}

#ifdef Q_OS_WIN
// The host's name of a file, when the test runs under Wine; empty on Windows.
QString unixFileName(const QString &path)
{
    using Convert = char *(__cdecl *)(const wchar_t *);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char *name = convert ? convert(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16())) : nullptr;
    const QString result = name ? QString::fromUtf8(name) : QString();
    if (name)
        HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Wine starts a program of its host but hands back no process that ends with
// it: the host's shell runs the tool into a file of another name, renamed
// once the tool is done, and the test waits for that name.
QString hostPdfText(const QString &tool, const QString &pdf, const QString &mode)
{
    QTemporaryDir out;
    const QString done = out.filePath(QStringLiteral("text.txt"));
    const QString shell = QStringLiteral("Z:\\bin\\sh");
    if (!QProcess::startDetached(shell, {QStringLiteral("-c"), QStringLiteral("\"$0\" \"$1\" \"$2\" \"$3.part\" && mv \"$3.part\" \"$3\""),
                                         unixFileName(tool), mode, unixFileName(pdf), unixFileName(done)}))
        return QStringLiteral("%1 could not be started").arg(shell);
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(done) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile text(done);
    return text.open(QIODevice::ReadOnly) ? QString::fromUtf8(text.readAll())
                                          : QStringLiteral("%1 gave no text of %2").arg(tool, pdf);
}
#endif

// pdftotext's text of the PDF: with the page's layout, or each word with its box.
// KORVANE_PDFTOTEXT names the tool where it is not on the path: the Windows
// check runs the Linux host's.
QString pdfText(const QString &pdf, const QString &mode)
{
    const QString named = qEnvironmentVariable("KORVANE_PDFTOTEXT");
    const QString tool = named.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("pdftotext")) : named;
    if (tool.isEmpty())
        return QStringLiteral("pdftotext is missing (poppler-utils)");
#ifdef Q_OS_WIN
    if (!unixFileName(tool).isEmpty() && !tool.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        return hostPdfText(tool, pdf, mode);
#endif
    QProcess process;
    process.start(tool, {mode, pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("%1 failed on %2 (%3): %4")
            .arg(tool, pdf, process.errorString(), QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestReportTest : public QObject {
    Q_OBJECT
private slots:
    void pdfContent_data();
    void pdfContent();
    void commandLine_data();
    void commandLine();
    void exitStatus_data();
    void exitStatus();
    void clockWindow_data();
    void clockWindow();
    void clockWindowCarriesTheNote_data();
    void clockWindowCarriesTheNote();
    void germanPage();
    void numbersInProgramLanguage_data();
    void numbersInProgramLanguage();
    void searchableWordsAndOneDateForm_data();
    void searchableWordsAndOneDateForm();
    void previewOffersPdf();
};

void TestReportTest::pdfContent_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<bool>("saved");
    // Regular expressions that must match, one after the other, in the
    // text laid out as on the page.
    QTest::addColumn<QStringList>("expected");

    const QString cjkName = QStringLiteral("小明");
    const QString longSurname = QStringLiteral("Oberhuber-Schwarzenberg-Lichtenstein-Vandermeulen-Papadopoulou-"
                                               "Kowalczyk-Wiśniewska-Ferreira-Dos-Santos");
    QTest::newRow("four sets, one cancelled, one not run")
        << plainTest({{"RealTime2", "12,3"}, {"RealR2", "3"}, {"RealTime4", ""}, {"RealR4", "0"}}) << true
        << QStringList{"Test \\d+", "Date 07\\.12\\.2026", "Name\\s+Anna", "Body weight\\s+62\\.5 kg",
                       "\\n\\s*1\\s+20\\s+20\\s+5\\s+completed", "\\n\\s*2\\s+20\\s+12\\.3\\s+3\\s+cancelled",
                       "\\n\\s*3\\s+20\\s+20\\s+5\\s+completed", "\\n\\s*4\\s+20\\s+–\\s+–\\s+not run",
                       "Progress in Bench up to this test \\(3 tests\\)",
                       // The axis labels each day with its tests, as the progress window does.
                       "07\\.12\\.2026[\\s\\S]*Tests? \\d+"};
    QTest::newRow("one set, empty fields")
        << plainTest({{"Sets", "1"}, {"Bodyweight", ""}, {"Height", " "}, {"Load", ""}, {"TUTReal", ""},
                      {"Date", ""}})
        << true
        << QStringList{"Date –", "Body weight\\s+–\\s", "Load\\s+–\\s", "Height\\s+–\\s", "TUT real\\s+–\\s",
                       "\\n\\s*1\\s+20\\s+20\\s+5\\s+completed\\s*\\n(?![ \\t]*2 )"};
    QTest::newRow("umlauts, a number typed with a point, cancelled in the start rest")
        << plainTest({{"Name", "Jürgen"}, {"Surname", "Öztürk-Weiß"}, {"Exercise", "Kniebeuge äöü"},
                      {"Bodyweight", "82.50"}, {"RealTime1", "-0,4"}, {"Sets", "2"}})
        << true
        << QStringList{"Name\\s+Jürgen", "Surname\\s+Öztürk-Weiß", "Body weight\\s+82\\.5 kg",
                       "\\n\\s*1\\s+20\\s+-0\\.4\\s+5\\s+cancelled", "\\n\\s*2\\s+20\\s+20\\s+5\\s+completed",
                       "Progress in Kniebeuge äöü"};
    QTest::newRow("CJK names, not saved")
        << plainTest({{"Name", cjkName}, {"Surname", "王"}, {"Exercise", "深蹲"}}) << false
        << QStringList{"Test not saved", "Name\\s+" + cjkName, "Surname\\s+王", "Exercise\\s+深蹲",
                       "Progress in 深蹲 up to this test \\(1 test\\)"};
    QTest::newRow("very long surname")
        << plainTest({{"Surname", longSurname}, {"Sets", "1"}}) << true
        << QStringList{"Name\\s+Anna", "Surname", "\\n\\s*1\\s+20\\s+20\\s+5\\s+completed"};
}

void TestReportTest::pdfContent()
{
    QFETCH(Fields, fields);
    QFETCH(bool, saved);
    QFETCH(QStringList, expected);
#ifdef Q_OS_WIN
    // The offscreen platform there knows the fonts beside the program only.
    if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty()
        && std::any_of(fields.cbegin(), fields.cend(), [](const auto &field) {
               return std::any_of(field.second.cbegin(), field.second.cend(),
                                  [](QChar c) { return c.script() == QChar::Script_Han; });
           }))
        QSKIP("no font for Chinese characters on this platform");
#endif

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("tables"));
    QVERIFY(QDir().mkpath(folder));
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    qint64 testnr = 0;
    {
        store::TrainingTables tables(folder);
        tables.openAll();
        // Earlier tests of the athlete and exercise count; those of others
        // and later ones do not.
        const Fields earlier = plainTest({{"Date", "01.12.2026"}});
        storeTest(tables.TestTable, earlier);
        storeTest(tables.TestTable, earlier);
        storeTest(tables.TestTable, plainTest({{"Name", "Ben"}}));
        storeTest(tables.TestTable, plainTest({{"Exercise", "Squat"}}));
        testnr = storeTest(tables.TestTable, fields);
        storeTest(tables.TestTable, plainTest({{"Date", "08.12.2026"}}));
        if (!saved) {
            store::SqliteTestReader reader(tables.TestTable);
            const QStringList record = *reader.test(testnr);
            const QList<QStringList> stored = reader.athleteTests(
                record.value(3), record.value(4), record.value(7), testnr - 1);
            report::writeReportPdf(pdf, report::ReportPage(report::makeTestReport(record, stored, false)));
        }
    }
    if (saved) {
        QString errors;
        QTextStream err(&errors);
        QCOMPARE(app::runReport(folder, testnr, pdf, err), 0);
        err.flush();
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
    }

    const QString text = pdfText(pdf, QStringLiteral("-layout"));
    qsizetype from = 0;
    for (const QString &pattern : expected) {
        const QRegularExpressionMatch match = QRegularExpression(pattern).match(text, from);
        QVERIFY2(match.hasMatch(), qPrintable(QStringLiteral("\"%1\" not found after position %2 in:\n%3")
                                                  .arg(pattern).arg(from).arg(text)));
        from = match.capturedEnd();
    }
    // A stored value never comes out as a zero it did not hold.
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("\\b0 kg|\\b0 cm"))));
    // Every name printed whole (a long one over several lines).
    const QString compact = QString(text).remove(QRegularExpression(QStringLiteral("\\s")));
    for (const auto &[name, value] : fields) {
        if (name == QLatin1String("Name") || name == QLatin1String("Surname") || name == QLatin1String("Exercise"))
            QVERIFY2(compact.contains(QString(value).remove(u' ')), qPrintable(value));
    }

    // Nothing reaches past the page's margins: every word's box in the page.
    const QString boxes = pdfText(pdf, QStringLiteral("-bbox"));
    const QRegularExpression page(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    const QRegularExpressionMatch size = page.match(boxes);
    QVERIFY2(size.hasMatch(), qPrintable(boxes.left(500)));
    const double width = size.captured(1).toDouble();
    const double height = size.captured(2).toDouble();
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.-]+)\" yMin=\"([\\d.-]+)\" xMax=\"([\\d.-]+)\" yMax=\"([\\d.-]+)\">([^<]*)<"));
    int words = 0;
    for (const QRegularExpressionMatch &w : word.globalMatch(boxes)) {
        ++words;
        const double margin = 30;   // a little under the page's margins of 14 and 16 mm
        QVERIFY2(w.captured(1).toDouble() >= margin && w.captured(3).toDouble() <= width - margin
                     && w.captured(2).toDouble() >= margin && w.captured(4).toDouble() <= height - margin,
                 qPrintable(QStringLiteral("\"%1\" at %2,%3 - %4,%5")
                                .arg(w.captured(5), w.captured(1), w.captured(2), w.captured(3), w.captured(4))));
    }
    QVERIFY(words > 50);
}

void TestReportTest::commandLine_data()
{
    using Action = app::CommandLine::Action;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<qint64>("test");
    QTest::addColumn<QString>("text");

    QTest::newRow("report") << QStringList{"--report", "12", "--output", "r.pdf"} << Action::Report << 0
                            << qint64(12) << QString();
    QTest::newRow("no test number") << QStringList{"--report", "x", "--output", "r.pdf"} << Action::Fail << 2
                                    << qint64(0) << "not a test number: 'x'";
    QTest::newRow("test number 0") << QStringList{"--report", "0", "--output", "r.pdf"} << Action::Fail << 2
                                   << qint64(0) << "not a test number: '0'";
    QTest::newRow("no output") << QStringList{"--report", "12"} << Action::Fail << 2 << qint64(0)
                               << "--report needs --output <file>.";
    QTest::newRow("output alone") << QStringList{"--output", "r.pdf"} << Action::Fail << 2 << qint64(0)
                                  << "--output names the file of --report.";
    QTest::newRow("help") << QStringList{"--help"} << Action::Print << 0 << qint64(0)
                          << "--report <testnr>";
}

void TestReportTest::commandLine()
{
    using Action = app::CommandLine::Action;
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(int, exitCode);
    QFETCH(qint64, test);
    QFETCH(QString, text);
    const app::CommandLine parsed = app::parseCommandLine(QStringList{QStringLiteral("korvane")} + arguments);
    QCOMPARE(parsed.action, action);
    QCOMPARE(parsed.exitCode, exitCode);
    if (action == Action::Report) {
        QCOMPARE(parsed.reportTest, test);
        QCOMPARE(parsed.outputFile, QStringLiteral("r.pdf"));
    }
    QVERIFY2(parsed.text.contains(text), qPrintable(parsed.text));
}

void TestReportTest::exitStatus_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<qint64>("test");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("reason");

    QTest::newRow("written") << "tables" << qint64(1) << "r.pdf" << 0 << QString();
    QTest::newRow("no such test") << "tables" << qint64(2) << "r.pdf" << 1 << "There is no test 2";
    QTest::newRow("no folder") << "no folder" << qint64(1) << "r.pdf" << 1 << "does not exist";
    QTest::newRow("no table") << "empty" << qint64(1) << "r.pdf" << 1 << "There is no table file";
    QTest::newRow("not a table") << "garbage" << qint64(1) << "r.pdf" << 1 << "TestTable.DB";
    QTest::newRow("folder of the file missing") << "tables" << qint64(1) << "missing/r.pdf" << 2 << "r.pdf";
    QTest::newRow("onto the table file") << "tables" << qint64(1) << "tables/TestTable.DB" << 2 << "table file";
    // Neither opened (a named pipe would block the command) nor replaced.
    QTest::newRow("onto a named pipe") << "tables" << qint64(1) << "fifo" << 2 << "named pipe";
    QTest::newRow("through a link") << "tables" << qint64(1) << "link" << 2 << "a link";
}

void TestReportTest::exitStatus()
{
    QFETCH(QString, setup);
    QFETCH(qint64, test);
    QFETCH(QString, output);
    QFETCH(int, status);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("tables"));
    if (setup != QLatin1String("no folder"))
        QVERIFY(QDir().mkpath(folder));
    if (setup == QLatin1String("tables")) {
        store::TrainingTables tables(folder);
        tables.openAll();
        storeTest(tables.TestTable, plainTest({}));
    }
    if (setup == QLatin1String("garbage")) {
        QFile file(QDir(folder).filePath(QStringLiteral("TestTable.DB")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("Testnr;Date\r\n").repeated(300));
    }
    const QStringList before = folderEntries(folder);
    const QString tableFile = QDir(folder).filePath(QStringLiteral("TestTable.DB"));
    const auto tableBytes = [&] {
        QFile table(tableFile);
        return table.exists() && table.open(QIODevice::ReadOnly) ? table.readAll() : QByteArray();
    };
    const QByteArray tableBefore = tableBytes();

    QString errors;
    QTextStream err(&errors);
    const QString out = dir.filePath(output);
    if (output == QLatin1String("fifo"))
        SPECIAL_MAKE_FIFO(out);
    if (output == QLatin1String("link"))
        SPECIAL_MAKE_LINK(tableFile, out);
    QCOMPARE(app::runReport(folder, test, out, err), status);
    err.flush();
    QVERIFY2(errors.contains(reason), qPrintable(errors));
    // The report creates and changes nothing where the tables are.
    QCOMPARE(folderEntries(folder), before);
    QCOMPARE(tableBytes(), tableBefore);
    if (status == 0)
        QVERIFY(pdfText(out, QStringLiteral("-layout")).contains(QStringLiteral("Test 1")));
    else if (output == QLatin1String("r.pdf"))
        QVERIFY(!QFile::exists(out));
}

void TestReportTest::clockWindow_data()
{
    QTest::addColumn<int>("cancelAt");   // ms after the start; -1 for none
    QTest::addColumn<int>("until");      // the last tick, ms after the start
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("sets");   // the report's sets, in order

    // 3 sets of 2 repetitions of a 4 s cycle after a start rest of 0,5 s:
    // set 1 ends at 8,5 s.
    QTest::newRow("set 1 running") << -1 << 3000 << false << "not run,not run,not run";
    QTest::newRow("set 1 ended") << -1 << 9000 << true << "completed 8 2,not run,not run";
    QTest::newRow("set 1 cancelled") << 3000 << 3000 << true << "cancelled 2.5 1,not run,not run";
}

void TestReportTest::clockWindow()
{
    QFETCH(int, cancelAt);
    QFETCH(int, until);
    QFETCH(bool, enabled);
    QFETCH(QString, sets);

    ClockWindowFixture f;
    TForm1 &form = *f.form;
    const QList<QPair<QLineEdit *, const char *>> settings{
        {form.StartHalte, "0,5"}, {form.Abwaerts, "1"}, {form.HalteUnten, "1"}, {form.Aufwaerts, "1"},
        {form.HalteOben, "1"},   {form.Wiederholungen, "2"}, {form.Serien, "3"}, {form.Pause, "30"}};
    for (const auto &[field, text] : settings)
        field->setText(QString::fromUtf8(text));
    QVERIFY(!form.ReportButton->isEnabled());
    form.sStartClick();
    f.tickThrough(0, cancelAt >= 0 ? cancelAt : until);
    if (cancelAt >= 0)
        form.Button1Click();
    QCOMPARE(form.ReportButton->isEnabled(), enabled);

    const report::TestReport content = report::makeTestReport(form.reportRecord(), {}, false);
    QStringList shown;
    for (const report::SetLine &line : content.setLines) {
        switch (line.outcome) {
        case report::SetLine::Outcome::Done:
            shown << QStringLiteral("completed %1 %2").arg(line.realTime, line.repetitions);
            break;
        case report::SetLine::Outcome::Cancelled:
            shown << QStringLiteral("cancelled %1 %2").arg(line.realTime, line.repetitions);
            break;
        case report::SetLine::Outcome::NotRun:
            shown << QStringLiteral("not run");
            break;
        }
    }
    QCOMPARE(shown.join(u','), sets);
    QVERIFY(!content.saved);

    // The window's activation (as after a save) ends the test in it.
    form.FormActivate();
    QVERIFY(!form.ReportButton->isEnabled());
}

void TestReportTest::clockWindowCarriesTheNote_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("tester");
    QTest::addColumn<bool>("invalid");
    QTest::addColumn<QList<bool>>("earlierValid");   // the athlete's stored tests
    QTest::addColumn<QString>("shown");              // note, tester, validity as the report shows them
    QTest::addColumn<int>("leftOut");
    QTest::newRow("nothing typed, no notes") << QString() << QString() << false << QList<bool>{true, true}
                                             << QStringLiteral("-|-|valid") << 0;
    QTest::newRow("note and tester") << QStringLiteral(" RPE 9 ") << QStringLiteral("KB") << false << QList<bool>{true}
                                     << QStringLiteral("RPE 9|KB|valid") << 0;
    QTest::newRow("invalid attempt, earlier invalid") << QStringLiteral("slipped") << QString() << true
                                                      << QList<bool>{false, true, false}
                                                      << QStringLiteral("slipped|-|invalid") << 2;
}

// The report of the test in the clock window shows the note, tester and
// mark typed for it, and leaves the athlete's invalid tests out of its
// chart, as the report of a stored test does.
void TestReportTest::clockWindowCarriesTheNote()
{
    QFETCH(QString, note);
    QFETCH(QString, tester);
    QFETCH(bool, invalid);
    QFETCH(QList<bool>, earlierValid);
    QFETCH(QString, shown);
    QFETCH(int, leftOut);
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    for (const bool valid : earlierValid) {
        const qint64 key = storeTest(tables.TestTable, plainTest({{"Surname", ""}, {"Exercise", "Press"}}));
        if (!valid)
            store::storeTestNote(tables.TestTable, key, {QString(), false, QString()});
    }
    ClockWindowFixture f(&tables);
    TForm1 &form = *f.form;
    form.NoteEdit->setText(note);
    form.TesterEdit->setText(tester);
    form.InvalidBox->setChecked(invalid);
    const report::TestReport content = form.unsavedReportContent();
    QCOMPARE(QStringList({content.note, content.tester, content.valid ? QStringLiteral("valid") : QStringLiteral("invalid")})
                 .join(u'|')
                 .replace(report::dash(), QStringLiteral("-")),
             shown);
    QCOMPARE(content.invalidLeftOut, leftOut);
    // The valid stored tests and the one in the window.
    QCOMPARE(content.progress.tests, int(earlierValid.count(true)) + 1);
}

void TestReportTest::germanPage()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("tables"));
    QVERIFY(QDir().mkpath(folder));
    qint64 testnr = 0;
    {
        store::TrainingTables tables(folder);
        tables.openAll();
        testnr = storeTest(tables.TestTable, plainTest({{"RealTime2", "12,3"}, {"RealR2", "3"}, {"Sets", "2"}}));
    }
    QVERIFY(app::installTranslations(QStringLiteral("de")));
    const auto english = qScopeGuard([] {
        for (QTranslator *translator : QCoreApplication::instance()->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    });
    const QString pdf = dir.filePath(QStringLiteral("bericht.pdf"));
    QString errors;
    QTextStream err(&errors);
    QCOMPARE(app::runReport(folder, testnr, pdf, err), 0);
    // The page's own texts, its table and its chart speak German.
    const QString text = pdfText(pdf, QStringLiteral("-layout"));
    for (const QString &expected : {QStringLiteral("Testbericht"), QStringLiteral("Körpergewicht"), QStringLiteral("Sätze"),
                                    QStringLiteral("abgebrochen"), QStringLiteral("Verlauf in Bench"),
                                    QStringLiteral("dieser Test")})
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" in:\n") + text));
}

void TestReportTest::numbersInProgramLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("profile");   // the stored profile's name; empty: the test names a missing one
    // Regular expressions that must match, one after the other, in the text
    // laid out as on the page.
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("English")
        << "en" << "Bench 5x5"
        << QStringList{"Profile name\\s+Bench 5x5", "Body weight\\s+62\\.5 kg", "Load\\s+40\\.25 kg",
                       "Start rest\\s+1\\.5 s", "\\n\\s*2\\s+20\\s+19\\.5\\s+3\\s+cancelled",
                       // The axis of the set times steps by 0.2.
                       "\\n\\s*19\\.6\\s"};
    QTest::newRow("German")
        << "de" << "Bankdrücken"
        << QStringList{"Profilname\\s+Bankdrücken", "Körpergewicht\\s+62,5 kg", "Last\\s+40,25 kg",
                       "Startpause\\s+1,5 s", "\\n\\s*2\\s+20\\s+19,5\\s+3\\s+abgebrochen", "\\n\\s*19,6\\s"};
    QTest::newRow("English, profile missing")
        << "en" << "" << QStringList{"Profile name\\s+–\\s", "Body weight\\s+62\\.5 kg"};
    QTest::newRow("German, profile missing")
        << "de" << "" << QStringList{"Profilname\\s+–\\s", "Körpergewicht\\s+62,5 kg"};
}

void TestReportTest::numbersInProgramLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, profile);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("tables"));
    QVERIFY(QDir().mkpath(folder));
    qint64 testnr = 0;
    {
        store::TrainingTables tables(folder);
        tables.openAll();
        QString profileNumber = QStringLiteral("99");
        if (!profile.isEmpty()) {
            tables.ProfilTable.append();
            tables.ProfilTable.setFieldText(QStringLiteral("Profil"), QStringLiteral("Other"));
            tables.ProfilTable.post();
            tables.ProfilTable.append();
            tables.ProfilTable.setFieldText(QStringLiteral("Profil"), profile);
            tables.ProfilTable.post();
            profileNumber = tables.ProfilTable.fieldText(QStringLiteral("Nr"));
        }
        testnr = storeTest(tables.TestTable, plainTest({{"Load", "40,25"}, {"RealTime2", "19,5"}, {"RealR2", "3"},
                                                        {"RealTime3", "19,7"}, {"RealR3", "3"}, {"Sets", "3"},
                                                        {"ProfilNr", profileNumber}}));
    }
    QVERIFY(app::installTranslations(language));
    const auto english = qScopeGuard([] {
        for (QTranslator *translator : QCoreApplication::instance()->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    });
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QString errors;
    QTextStream err(&errors);
    QCOMPARE(app::runReport(folder, testnr, pdf, err), 0);
    const QString text = pdfText(pdf, QStringLiteral("-layout"));
    qsizetype from = 0;
    for (const QString &pattern : expected) {
        const QRegularExpressionMatch match = QRegularExpression(pattern).match(text, from);
        QVERIFY2(match.hasMatch(), qPrintable(QStringLiteral("\"%1\" not found after position %2 in:\n%3")
                                                  .arg(pattern).arg(from).arg(text)));
        from = match.capturedEnd();
    }
}

void TestReportTest::searchableWordsAndOneDateForm_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("storedDate");
    QTest::addColumn<QStringList>("words");   // found by a search of the PDF's text
    const QStringList english{QStringLiteral("Profile"), QStringLiteral("Date 08.12.2026")};
    const QStringList german{QStringLiteral("Profil"), QStringLiteral("Testbericht"), QStringLiteral("Datum 08.12.2026")};
    for (const char *stored : {"08.12.2026", "12/8/26", "08.12.26", "2026-12-08", "08/12/2026"}) {
        QTest::addRow("English, stored %s", stored) << "en" << QString::fromLatin1(stored) << english;
        QTest::addRow("German, stored %s", stored) << "de" << QString::fromLatin1(stored) << german;
    }
}

void TestReportTest::searchableWordsAndOneDateForm()
{
    QFETCH(QString, language);
    QFETCH(QString, storedDate);
    QFETCH(QStringList, words);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("tables"));
    QVERIFY(QDir().mkpath(folder));
    qint64 testnr = 0;
    {
        store::TrainingTables tables(folder);
        tables.openAll();
        testnr = storeTest(tables.TestTable, plainTest({{"Date", storedDate}}));
    }
    const auto english = qScopeGuard([] {
        for (QTranslator *translator : QCoreApplication::instance()->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    });
    if (language == QLatin1String("de"))
        QVERIFY(app::installTranslations(language));
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QString errors;
    QTextStream err(&errors);
    QCOMPARE(app::runReport(folder, testnr, pdf, err), 0);
    // The text as a search in a PDF viewer sees it: no ligature glyphs.
    const QString text = pdfText(pdf, QStringLiteral("-raw"));
    for (const QString &word : words)
        QVERIFY2(text.contains(word), qPrintable(word + QStringLiteral(" in:\n") + text));
}

void TestReportTest::previewOffersPdf()
{
    // The preview comes from the print module: it opens over its page with
    // "Save as PDF..." on its tool bar.
    ClockWindowFixture f;
    const report::ReportPage page(report::makeTestReport(f.form->reportRecord(), {}, false));
    QString title;
    QString action;
    QTimer closer;   // goes with the test, whatever the preview did
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        title = dialog->windowTitle();
        if (auto *save = dialog->findChild<QAction *>(QStringLiteral("SavePdfAction")))
            action = save->text();
        dialog->reject();
    });
    closer.start(0);
    report::showReportPreview(f.form.get(), page, QDir::tempPath());
    QCOMPARE(title, QStringLiteral("Test report"));
    QCOMPARE(action, QStringLiteral("Save as PDF..."));
    // No printer here: the paper is A4.
    QCOMPARE(report::defaultPageSize().id(), QPageSize::A4);
}

QTEST_MAIN(TestReportTest)
#include "tst_report.moc"
