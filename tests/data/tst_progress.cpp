// An athlete's progress: the series made from stored tests, and the progress
// window opened from the data window and the clock window.

#include "clock/tform1.h"
#include "model/progress.h"
#include "data/progresswindow.h"
#include "data/tform4.h"
#include "core/errors.h"
#include "store/testnotes.h"
#include "store/trainingtables.h"
#include "support/recorders.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QGroupBox>
#include <QTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QXYSeries>

using FieldValues = QList<QPair<QString, QString>>;
using Tests = QList<FieldValues>;

namespace {

// A stored test from the values given; the test number is its place in the
// list (from 1) unless "Testnr" is given.
data::StoredTest storedTest(const FieldValues &values, int number)
{
    const store::Layout &layout = store::testTableLayout();
    data::StoredTest test(layout.fields.size());
    test[0] = QString::number(number);
    for (const auto &[name, value] : values)
        test[layout.indexOf(name)] = value;
    return test;
}

QList<data::StoredTest> storedTests(const Tests &tests)
{
    QList<data::StoredTest> stored;
    for (int i = 0; i < tests.size(); ++i)
        stored << storedTest(tests.at(i), i + 1);
    return stored;
}

// The athlete and exercise of most rows.
FieldValues anna(FieldValues more = {})
{
    more.prepend({QStringLiteral("Exercise"), QStringLiteral("Bench Press")});
    more.prepend({QStringLiteral("Surname"), QStringLiteral("Berger")});
    more.prepend({QStringLiteral("Name"), QStringLiteral("Anna")});
    return more;
}

// "Set 1: 1=20,5 3=21 | ..." with the test numbers, or with the places on
// the axis ("1@0"), undated points marked "?".
QString describe(const data::ProgressSeries &series, bool places)
{
    QStringList points;
    for (const data::ProgressPoint &p : series.points) {
        QString text = QString::number(p.testnr);
        if (places)
            text += u'@' + (p.dated ? QString() : QStringLiteral("?")) + QString::number(p.x);
        points << text + u'=' + QString::number(p.value);
    }
    return series.name + QStringLiteral(": ") + points.join(u' ');
}

QString describe(const data::ProgressData &d, bool places)
{
    QStringList parts;
    for (const data::ProgressSeries &s : d.setTimes)
        parts << describe(s, places);
    if (!d.plannedSetTime.points.isEmpty())
        parts << describe(d.plannedSetTime, places);
    for (const data::ProgressSeries &s : d.repetitions)
        parts << QStringLiteral("reps ") + describe(s, places);
    if (!d.tutTotal.points.isEmpty())
        parts << describe(d.tutTotal, places);
    if (!d.tutReal.points.isEmpty())
        parts << describe(d.tutReal, places);
    return parts.join(QStringLiteral(" | "));
}

void storeTest(store::Table &table, const FieldValues &values)
{
    table.open();
    table.append();
    for (const auto &[name, value] : values)
        table.setFieldText(name, value);
    table.post();
}

// A chart view of the window, as the chart module made it.
QChartView *chartOf(const ProgressWindow *window, int number)
{
    return qobject_cast<QChartView *>(window->chartView(number));
}

int seriesCount(QChartView *view, const QString &name)
{
    int count = 0;
    for (QAbstractSeries *series : view->chart()->series())
        count += series->name() == name;
    return count;
}

} // namespace

class TstProgress : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void series_data();
    void series();
    void datesPlaceTheTests_data();
    void datesPlaceTheTests();
    void thousandTests();
    void hoverText_data();
    void hoverText();
    void windowShowsTheChosenAthlete();
    void invalidTestsStayOut();
    void chartIsSavedAsPngAndSvg();
    void refusedSaveKeepsTheOlderFile();
    void clockWindowOpensItForTheAthleteInItsFields();
};

void TstProgress::series_data()
{
    QTest::addColumn<Tests>("tests");
    QTest::addColumn<QString>("expected");
    const auto s = [](const char *text) { return QString::fromUtf8(text); };

    QTest::newRow("sets cut short")
        << Tests{anna({{s("Sets"), s("3")}, {s("RealTime1"), s("20,5")}, {s("RealR1"), s("5")},
                       {s("RealTime2"), s("10,845")}, {s("RealR2"), s("3")}, {s("RealTime3"), s("-0,4")},
                       {s("RealR3"), s("5")}}),
                 anna({{s("Sets"), s("2")}, {s("RealTime1"), s("20,5")}, {s("RealR1"), s("5")},
                       {s("RealTime2"), s("12")}, {s("RealR2"), s("4")}})}
        << s("Set 1: 1=20.5 2=20.5 | Set 2: 1=10.845 2=12 | Set 3: 1=-0.4 | reps Set 1: 1=5 2=5 | "
             "reps Set 2: 1=3 2=4 | reps Set 3: 1=5");

    QTest::newRow("sets beyond the number of sets are left out")
        << Tests{anna({{s("Sets"), s("1")}, {s("RealTime1"), s("20")}, {s("RealTime2"), s("19")}, {s("RealR2"), s("4")}})}
        << s("Set 1: 1=20");

    QTest::newRow("all twenty sets when the number of sets cannot be read")
        << Tests{anna({{s("Sets"), s("x")}, {s("RealTime1"), s("20")}, {s("RealTime20"), s("18")}})}
        << s("Set 1: 1=20 | Set 20: 1=18");

    QTest::newRow("empty and unreadable values")
        << Tests{anna({{s("Sets"), s("4")}, {s("RealTime1"), s("")}, {s("RealTime2"), s("abc")},
                       {s("RealTime3"), s("21.5")}, {s("RealTime4"), s(" ")}, {s("RealR3"), s("6 Wdh")},
                       {s("TUTTotal"), s("")}, {s("TUTReal"), s("12,5")}})}
        << s("Set 3: 1=21.5 | TUT real: 1=12.5");

    QTest::newRow("a set never run is no zero result")
        << Tests{anna({{s("Sets"), s("3")}, {s("RealTime1"), s("5,5")}, {s("RealR1"), s("2")},
                       {s("RealTime2"), s("")}, {s("RealR2"), s("0")}, {s("RealR3"), s("0")}})}
        << s("Set 1: 1=5.5 | reps Set 1: 1=2");

    QTest::newRow("other athletes and exercises left out")
        << Tests{anna({{s("TUTTotal"), s("30")}}),
                 {{s("Name"), s("Anna")}, {s("Surname"), s("Bergmann")}, {s("Exercise"), s("Bench Press")},
                  {s("TUTTotal"), s("31")}},
                 {{s("Name"), s("Anna ")}, {s("Surname"), s("Berger")}, {s("Exercise"), s("Bench Press")},
                  {s("TUTTotal"), s("32")}},
                 {{s("Name"), s("Anna")}, {s("Surname"), s("Berger")}, {s("Exercise"), s("Squat")},
                  {s("TUTTotal"), s("33")}},
                 anna({{s("TUTTotal"), s("34")}})}
        << s("TUT total: 1=30 5=34");

    // Five repetitions of a 4000 ms cycle, and of 4500 ms; the start rest
    // does not count.  A test whose settings the clock cannot read has no
    // planned time.
    QTest::newRow("planned set time from the settings")
        << Tests{anna({{s("StartRest"), s("2")}, {s("FroPhase"), s("1")}, {s("ToPhase"), s("1")},
                       {s("RestafterFro"), s("1")}, {s("RestafterTo"), s("1")}, {s("Rep"), s("5")},
                       {s("Sets"), s("1")}, {s("RestSets"), s("5")}, {s("RealTime1"), s("20")}}),
                 anna({{s("StartRest"), s("2")}, {s("FroPhase"), s("1,5")}, {s("ToPhase"), s("1")},
                       {s("RestafterFro"), s("1")}, {s("RestafterTo"), s("1")}, {s("Rep"), s("5")},
                       {s("Sets"), s("1")}, {s("RestSets"), s("5")}, {s("RealTime1"), s("22")}}),
                 anna({{s("Rep"), s("five")}, {s("Sets"), s("1")}, {s("RealTime1"), s("21")}})}
        << s("Set 1: 1=20 2=22 3=21 | Planned set time: 1=20 2=22.5");

    QTest::newRow("no tests") << Tests{} << QString();
}

void TstProgress::series()
{
    QFETCH(Tests, tests);
    QFETCH(QString, expected);
    const data::ProgressData d = data::progressSeries(storedTests(tests), QStringLiteral("Anna"),
                                                      QStringLiteral("Berger"), QStringLiteral("Bench Press"));
    QCOMPARE(describe(d, false), expected);
}

void TstProgress::datesPlaceTheTests_data()
{
    QTest::addColumn<QStringList>("dates");   // one test each, in number order
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("undated");
    QTest::addColumn<QString>("labels");   // of the axis, "place text; ..."

    QTest::newRow("several forms, two tests on one day")
        << QStringList{QStringLiteral("06.12.2026"), QStringLiteral("12/7/26"), QStringLiteral("8 Dec 2026"),
                       QStringLiteral(" 6.12.2026")}
        << QStringLiteral("TUT total: 1@0=1 4@1=4 2@2=2 3@3=3") << 0
        << QStringLiteral("0.5 06.12.2026/2 tests; 2 07.12.2026/Test 2; 3 08.12.2026/Test 3");
    QTest::newRow("three tests on one day, in number order")
        << QStringList{QStringLiteral("06.12.2026"), QStringLiteral("06.12.2026"), QStringLiteral("06.12.2026"),
                       QStringLiteral("05.12.2026")}
        << QStringLiteral("TUT total: 4@0=4 1@1=1 2@2=2 3@3=3") << 0
        << QStringLiteral("0 05.12.2026/Test 4; 2 06.12.2026/Tests 1–3");
    QTest::newRow("dates out of test order")
        << QStringList{QStringLiteral("10.12.2026"), QStringLiteral("01.12.2026")}
        << QStringLiteral("TUT total: 2@0=2 1@1=1") << 0
        << QStringLiteral("0 01.12.2026/Test 2; 1 10.12.2026/Test 1");
    QTest::newRow("undated tests between, before and after dated ones")
        << QStringList{QStringLiteral("??"), QStringLiteral("01.12.2026"), QStringLiteral(""), QStringLiteral("31.02.2026"),
                       QStringLiteral("04.12.2026"), QStringLiteral("heute")}
        << QStringLiteral("TUT total: 1@?0=1 2@1=2 3@?2=3 4@?3=4 5@4=5 6@?5=6") << 4
        << QStringLiteral("0 Test 1; 1 01.12.2026/Test 2; 2 Test 3; 3 Test 4; 4 04.12.2026/Test 5; 5 Test 6");
}

void TstProgress::datesPlaceTheTests()
{
    QFETCH(QStringList, dates);
    QFETCH(QString, expected);
    QFETCH(int, undated);
    QFETCH(QString, labels);
    Tests tests;
    for (int i = 0; i < dates.size(); ++i)
        tests << anna({{QStringLiteral("Date"), dates.at(i)}, {QStringLiteral("TUTTotal"), QString::number(i + 1)}});
    const data::ProgressData d = data::progressSeries(storedTests(tests), QStringLiteral("Anna"),
                                                      QStringLiteral("Berger"), QStringLiteral("Bench Press"));
    QCOMPARE(describe(d.tutTotal, true), expected);
    QCOMPARE(d.undated, undated);
    QVERIFY(!d.byTestNumber);
    QStringList shown;
    for (const data::ProgressAxisLabel &label : data::progressAxisLabels(d, 10))
        shown << QString::number(label.x) + u' ' + QString(label.text).replace(u'\n', u'/');
    QCOMPARE(shown.join(QStringLiteral("; ")), labels);

    // Without any readable date the tests stand at their numbers.
    for (FieldValues &test : tests)
        test[3].second = QStringLiteral("-");
    const data::ProgressData byNumber = data::progressSeries(storedTests(tests), QStringLiteral("Anna"),
                                                             QStringLiteral("Berger"), QStringLiteral("Bench Press"));
    QVERIFY(byNumber.byTestNumber);
    for (const data::ProgressPoint &p : byNumber.tutTotal.points)
        QCOMPARE(p.x, double(p.testnr - 1));
}

void TstProgress::thousandTests()
{
    // 1,000 tests of Anna over 1,000 days, every 50th without a readable
    // date, mixed with as many tests of another athlete.
    QList<data::StoredTest> tests;
    const QDate first(2024, 1, 1);
    for (int i = 0; i < 1000; ++i) {
        const QString date = i % 50 == 7 ? QStringLiteral("n/a") : first.addDays(i).toString(QStringLiteral("dd.MM.yyyy"));
        FieldValues values = anna({{QStringLiteral("Date"), date}, {QStringLiteral("Sets"), QStringLiteral("3")},
                                   {QStringLiteral("TUTTotal"), QStringLiteral("60")}});
        for (int set = 1; set <= 3; ++set) {
            values << QPair{QStringLiteral("RealTime%1").arg(set), QStringLiteral("%1,5").arg(20 + i % 7)}
                   << QPair{QStringLiteral("RealR%1").arg(set), QString::number(5 + i % 3)};
        }
        tests << storedTest(values, 2 * i + 1);
        values[0].second = QStringLiteral("Ben");
        tests << storedTest(values, 2 * i + 2);
    }
    const data::ProgressData d = data::progressSeries(tests, QStringLiteral("Anna"), QStringLiteral("Berger"),
                                                      QStringLiteral("Bench Press"));
    QCOMPARE(d.tests, 1000);
    QCOMPARE(d.undated, 20);
    QCOMPARE(d.setTimes.size(), 3);
    QCOMPARE(d.repetitions.size(), 3);
    QCOMPARE(d.tutTotal.points.size(), 1000);
    const QList<data::ProgressAxisLabel> labels = data::progressAxisLabels(d, 12);
    QVERIFY2(labels.size() >= 6 && labels.size() <= 12, qPrintable(QString::number(labels.size())));
    for (const data::ProgressSeries &s : d.setTimes) {
        QCOMPARE(s.points.size(), 1000);
        for (qsizetype k = 0; k < s.points.size(); ++k) {
            const data::ProgressPoint &p = s.points.at(k);
            QCOMPARE(p.testnr % 2, 1);
            QCOMPARE(p.value, 20.5 + double((p.testnr / 2) % 7));
            // In test order: the dates rise with the numbers, and an undated
            // test sits between its neighbours.
            QCOMPARE(p.testnr, 2 * k + 1);
            if (k > 0)
                QVERIFY(p.x > s.points.at(k - 1).x);
        }
    }
}

void TstProgress::hoverText_data()
{
    QTest::addColumn<FieldValues>("test");
    QTest::addColumn<QString>("expected");
    const auto s = [](const char *text) { return QString::fromUtf8(text); };

    QTest::newRow("each set of its planned time, a set never run")
        << anna({{s("Date"), s("06.12.2026")}, {s("StartRest"), s("2")}, {s("FroPhase"), s("1")},
                 {s("ToPhase"), s("1")}, {s("RestafterFro"), s("1")}, {s("RestafterTo"), s("1")}, {s("Rep"), s("5")}, {s("Sets"), s("3")},
                 {s("RestSets"), s("5")}, {s("RealTime1"), s("20,5")}, {s("RealR1"), s("5")}, {s("RealTime2"), s("")},
                 {s("RealR2"), s("0")}, {s("RealTime3"), s("12")}, {s("RealR3"), s("3")}, {s("TUTTotal"), s("60")},
                 {s("TUTReal"), s("45,5")}})
        << s("Test 1\n06.12.2026\nSet 1: 20,5 s of 20 s, 5 repetitions\nSet 2: not run\n"
             "Set 3: 12 s of 20 s, 3 repetitions\nTUT total: 60 s\nTUT real: 45,5 s");
    QTest::newRow("unreadable date, number of sets and time")
        << anna({{s("Date"), s("gestern")}, {s("Sets"), s("x")}, {s("RealTime1"), s("abc")}, {s("RealTime4"), s("18")},
                 {s("RealR4"), s("4")}})
        << s("Test 1\nDate \"gestern\" not readable; placed by test number\nSet 1: \"abc\" not readable\n"
             "Set 4: 18 s, 4 repetitions");
    QTest::newRow("no date, nothing run")
        << anna({{s("Sets"), s("1")}})
        << s("Test 1\nNo date; placed by test number\nSet 1: not run");
}

void TstProgress::hoverText()
{
    QFETCH(FieldValues, test);
    QFETCH(QString, expected);
    const data::ProgressData d = data::progressSeries({storedTest(test, 1)}, QStringLiteral("Anna"),
                                                      QStringLiteral("Berger"), QStringLiteral("Bench Press"));
    QCOMPARE(d.order.size(), 1);
    QCOMPARE(data::progressTestText(d.order.at(0)), expected);
}

void TstProgress::windowShowsTheChosenAthlete()
{
    TestPlatform platform;
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    const auto s = [](const char *text) { return QString::fromUtf8(text); };
    storeTest(tables.TestTable, anna({{s("Date"), s("01.12.2026")}, {s("Sets"), s("2")}, {s("RealTime1"), s("20,5")},
                                      {s("RealTime2"), s("19")}, {s("TUTTotal"), s("40")}}));
    storeTest(tables.TestTable, {{s("Name"), s("Zoë")}, {s("Surname"), s("Ähm")}, {s("Exercise"), s("Squat")}});
    storeTest(tables.TestTable, anna({{s("Date"), s("kaputt")}, {s("Sets"), s("1")}, {s("RealTime1"), s("21")}}));
    storeTest(tables.TestTable, {{s("Name"), s("Anna")}, {s("Surname"), s("Berger")}, {s("Exercise"), s("Squat")}});

    TForm4 dataWindow(tables);
    dataWindow.show();
    auto *button = dataWindow.findChild<QPushButton *>(QStringLiteral("ProgressButton"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Progress..."));
    button->click();
    QCOMPARE(platform.boxes.shown, QStringList());
    ProgressWindow *w = dataWindow.progressWindow();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->objectName(), QStringLiteral("ProgressWindow"));

    QCOMPARE(w->athleteList()->count(), 2);
    QCOMPARE(w->athleteList()->item(0)->text(), QStringLiteral("Zoë Ähm  (1)"));
    QCOMPARE(w->athleteList()->item(1)->text(), QStringLiteral("Anna Berger  (3)"));
    QCOMPARE(w->athleteList()->currentRow(), 0);
    w->athleteList()->setCurrentRow(1);
    // The exercise with the most tests comes first.
    // The exercise chosen for the athlete before stays chosen.
    QCOMPARE(w->exerciseBox()->count(), 2);
    QCOMPARE(w->exerciseBox()->currentText(), QStringLiteral("Squat"));
    w->exerciseBox()->setCurrentText(QStringLiteral("Bench Press"));
    QCOMPARE(w->progress().tests, 2);
    QCOMPARE(w->progress().undated, 1);
    QCOMPARE(seriesCount(chartOf(w, 1), QStringLiteral("Set 1")), 1);
    QCOMPARE(seriesCount(chartOf(w, 1), QStringLiteral("Set 2")), 1);
    QCOMPARE(seriesCount(chartOf(w, 1), QStringLiteral("Date not readable")), 1);
    QCOMPARE(seriesCount(chartOf(w, 3), QStringLiteral("Date not readable")), 0);
    QVERIFY(w->summary()->text().startsWith(QStringLiteral("2 tests, 1 without a readable date")));

    // Hovering near the first point of set 1, or of TUT total, shows that
    // whole test.
    auto *set1 = qobject_cast<QXYSeries *>(chartOf(w, 1)->chart()->series().first());
    auto *tutTotal = qobject_cast<QXYSeries *>(chartOf(w, 3)->chart()->series().first());
    QVERIFY(set1 && tutTotal);
    const QString test1 = QStringLiteral("Test 1\n01.12.2026\nSet 1: 20,5 s\nSet 2: 19 s\nTUT total: 40 s");
    QCOMPARE(w->hoverText(set1, set1->at(0) + QPointF(0.2, 0.2)), test1);
    QCOMPARE(w->hoverText(tutTotal, tutTotal->at(0) + QPointF(0.2, 0.2)), test1);

    // The window keeps the athlete when shown again, and a test stored
    // meanwhile is in it.
    storeTest(tables.TestTable, anna({{s("Date"), s("02.12.2026")}, {s("TUTTotal"), s("41")}}));
    w->close();
    button->click();
    QCOMPARE(w->athleteList()->currentItem()->text(), QStringLiteral("Anna Berger  (4)"));
    QCOMPARE(w->progress().tutTotal.points.size(), 2);

    w->exerciseBox()->setCurrentText(QStringLiteral("Squat"));
    QCOMPARE(w->progress().tests, 1);

    // It closes with the data window.
    dataWindow.hide();
    QVERIFY(!w->isVisible());
}

void TstProgress::invalidTestsStayOut()
{
    TestPlatform platform;
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    const auto s = [](const char *text) { return QString::fromUtf8(text); };
    for (const char *date : {"01.12.2026", "02.12.2026", "03.12.2026"})
        storeTest(tables.TestTable, anna({{s("Date"), s(date)}, {s("Sets"), s("1")}, {s("RealTime1"), s("20")}}));
    store::storeTestNote(tables.TestTable, 2, {s("slipped"), false, s("KB")});
    // A valid note changes nothing.
    store::storeTestNote(tables.TestTable, 3, {s("fine"), true, QString()});
    TForm4 dataWindow(tables);
    dataWindow.show();
    dataWindow.findChild<QPushButton *>(QStringLiteral("ProgressButton"))->click();
    ProgressWindow *w = dataWindow.progressWindow();
    QVERIFY(w);
    QCOMPARE(w->progress().tests, 2);
    QCOMPARE(w->progress().setTimes.value(0).points.size(), 2);
    QVERIFY2(w->summary()->text().endsWith(QStringLiteral(", 1 invalid test left out")), qPrintable(w->summary()->text()));
    QCOMPARE(platform.boxes.shown, QStringList());
}

void TstProgress::chartIsSavedAsPngAndSvg()
{
    TestPlatform platform;
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    storeTest(tables.TestTable, anna({{QStringLiteral("Date"), QStringLiteral("01.12.2026")},
                                      {QStringLiteral("RealTime1"), QStringLiteral("20")}}));
    ProgressWindow w(tables.TestTable);
    w.showAthlete(QStringLiteral("Anna"), QStringLiteral("Berger"));
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    const QString png = dir.filePath(QStringLiteral("chart.png"));
    w.saveChart(png);
    QImage picture(png);
    QVERIFY(!picture.isNull());
    QVERIFY(picture.width() > 600);

    const QString svg = dir.filePath(QStringLiteral("chart.SVG"));
    w.saveChart(svg);
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("<svg"));
    QVERIFY(text.contains("Real time per set: Anna Berger, Bench Press"));
    // Drawn as vectors: lines and texts, not one embedded picture.
    QVERIFY(text.count("<polyline") + text.count("<path") > 20);
    QVERIFY(text.count("<text") > 20);
    QVERIFY(!text.contains("<image"));
}

void TstProgress::refusedSaveKeepsTheOlderFile()
{
    TestPlatform platform;
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    ProgressWindow w(tables.TestTable);
    w.showAthlete(QString(), QString());
    QCOMPARE(w.summary()->text(), QStringLiteral("No stored tests."));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.png")));
    for (const QString &target : {QStringLiteral("taken.png"), QStringLiteral("missing/chart.svg")}) {
        try {
            w.saveChart(dir.filePath(target));
            QFAIL("the refused save was not reported");
        } catch (const core::Failure &error) {
            QVERIFY2(error.message().contains(QStringLiteral("could not be created")), qPrintable(error.message()));
        }
    }
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken.png"))).isDir());
}

void TstProgress::clockWindowOpensItForTheAthleteInItsFields()
{
    TestPlatform platform;
    QTemporaryDir dir;
    store::TrainingTables tables(dir.path());
    tables.openAll();
    storeTest(tables.TestTable, {{QStringLiteral("Name"), QStringLiteral("Ben")}, {QStringLiteral("Surname"), QStringLiteral("Alt")}});
    storeTest(tables.TestTable, anna({{QStringLiteral("Exercise"), QStringLiteral("Squat")}}));
    storeTest(tables.TestTable, anna());
    storeTest(tables.TestTable, anna());
    tables.TestTable.close();
    TForm1 clock(&tables);
    openProgressOnRequest(clock);   // as the main window does
    clock.Timer1->stop();
    clock.Edit39->setText(QStringLiteral("Anna"));
    clock.Edit40->setText(QStringLiteral("Berger"));
    QVERIFY(clock.ProgressButton);
    QCOMPARE(clock.ProgressButton->parentWidget(), clock.GroupBox2);
    clock.show();
    clock.ProgressButton->click();
    QCOMPARE(platform.boxes.shown, QStringList());
    auto *w = clock.findChild<ProgressWindow *>();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->athleteList()->currentItem()->text(), QStringLiteral("Anna Berger  (3)"));
    // First shown, the exercise with the most tests.
    QCOMPARE(w->exerciseBox()->currentText(), QStringLiteral("Bench Press"));
    // Reading the tests leaves the table closed as the clock window left it.
    QVERIFY(!tables.TestTable.isOpen());

    // Without tables the click reports it.
    TForm1 alone;
    alone.Timer1->stop();
    alone.ProgressButton->click();
    QCOMPARE(platform.boxes.shown, QStringList{QStringLiteral("error:The tables are not open.")});
}

QTEST_MAIN(TstProgress)
#include "tst_progress.moc"
