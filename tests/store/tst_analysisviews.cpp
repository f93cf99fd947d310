// The typed views for analysis in a folder and on a server: stored texts
// read as numbers and dates (and NULL, never a wrong number, for anything
// else), the sets that ran, and the three analyst queries of the README run
// with sqlite3 and psql against values worked out from the stored texts.

#include "model/testdate.h"
#include "store/analysisviews.h"
#include "store/testnotes.h"
#include "store/trainingtables.h"

#include "support/pgserver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <map>
#include <memory>

using namespace store;

namespace {

// One stored test as the analyst queries see it.
struct Stored {
    const char *date;
    const char *name;
    const char *surname;
    const char *exercise;
    const char *load;
    QStringList realTimes;   // RealTime1.. ; the sets are counted by Sets
    bool valid = true;
};

const QList<Stored> &storedTests()
{
    static const QList<Stored> tests = {
        {"06.12.2026", "Anna", "Berger", "Kniebeuge", "100", {"18", "17,5"}},
        {"13.12.2026", "Anna", "Berger", "Kniebeuge", "97,5", {"18", "12,25"}},
        {"2.1.2027", "Anna", "Berger", "Kniebeuge", "72,5", {"18"}},
        {"15.01.2027", "Anna", "Berger", "Bankdrücken", "abc", {"16,5"}},
        {"20.01.2027", "Ben", "Ohm", "Bankdrücken", "50", {"18"}},
        {"21.01.2027", "Ben", "Ohm", "Bankdrücken", "1.5", {}},
        {"31.02.2027", "Anna", "Berger", "Kniebeuge", "120", {"9"}, false},
        {"gestern", "Ben", "Ohm", "Kniebeuge", "60,25", {"18"}},
    };
    return tests;
}

// The load as a number when it is one in the decimal-comma form used here.
std::optional<double> loadOf(const Stored &test)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(,[0-9]+)?$"));
    const QString text = QString::fromUtf8(test.load);
    if (!number.match(text).hasMatch())
        return std::nullopt;
    return QString(text).replace(u',', u'.').toDouble();
}

void storeTests(TrainingTables &tables)
{
    Table &t = tables.TestTable;
    for (const Stored &test : storedTests()) {
        t.append();
        t.setFieldText(QStringLiteral("Date"), QString::fromUtf8(test.date));
        t.setFieldText(QStringLiteral("Name"), QString::fromUtf8(test.name));
        t.setFieldText(QStringLiteral("Surname"), QString::fromUtf8(test.surname));
        t.setFieldText(QStringLiteral("Exercise"), QString::fromUtf8(test.exercise));
        t.setFieldText(QStringLiteral("Load"), QString::fromUtf8(test.load));
        // One repetition of 1 + 1 + 0,5 + 0,5 s, six of them: 18 s a set.
        for (const auto &[field, value] : {std::pair{"StartRest", "3"}, {"FroPhase", "1"}, {"ToPhase", "1"},
                                           {"RestafterFro", "0,5"}, {"RestafterTo", "0,5"}, {"Rep", "6"},
                                           {"RestSets", "60"}})
            t.setFieldText(QString::fromLatin1(field), QString::fromLatin1(value));
        t.setFieldText(QStringLiteral("Sets"), QString::number(std::max<qsizetype>(test.realTimes.size(), 1)));
        for (int k = 0; k < test.realTimes.size(); ++k) {
            t.setFieldText(QStringLiteral("RealTime%1").arg(k + 1), test.realTimes.at(k));
            t.setFieldText(QStringLiteral("RealR%1").arg(k + 1), QStringLiteral("6"));
        }
        t.post();
        if (!test.valid)
            storeTestNote(t, t.fieldText(QStringLiteral("Testnr")).toLongLong(), {QStringLiteral("slipped"), false, QStringLiteral("KB")});
    }
}

// The analyst queries of the README, by their comment line.
std::map<QString, QString> analystQueries()
{
    std::map<QString, QString> queries;
    QFile readme(qEnvironmentVariable("KORVANE_SOURCE_DIR") + QStringLiteral("/README.md"));
    if (!readme.open(QIODevice::ReadOnly))
        return queries;
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("## Analysis in SQL"));
    if (start < 0)
        return queries;
    const qsizetype end = text.indexOf(QStringLiteral("\n## "), start + 1);
    QString title;
    QString statement;
    for (const QString &line : text.mid(start, end - start).split(u'\n')) {
        if (!line.startsWith(QLatin1String("    ")))
            continue;
        const QString code = line.trimmed();
        if (code.startsWith(QLatin1String("-- "))) {
            title = code.mid(3);
            continue;
        }
        statement += code + u' ';
        if (code.endsWith(u';')) {
            queries[title] = statement.trimmed();
            statement.clear();
        }
    }
    return queries;
}

// Rows of comma-separated values as the command-line tools print them.
QList<QStringList> runTool(const QString &program, const QStringList &arguments, QString *errors)
{
    QProcess tool;
    tool.start(program, arguments);
    tool.waitForFinished(60000);
    *errors = QString::fromUtf8(tool.readAllStandardError());
    QList<QStringList> rows;
    for (const QString &line : QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        QStringList fields = line.trimmed().split(u',');
        // sqlite3 quotes texts outside ASCII.
        for (QString &field : fields) {
            if (field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"'))
                field = field.mid(1, field.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        }
        rows << fields;
    }
    return rows;
}

QDate storedDate(const Stored &test)
{
    const QString text = QString::fromUtf8(test.date);
    const QDate padded = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
    return padded.isValid() ? padded : QDate::fromString(text, QStringLiteral("d.M.yyyy"));
}

bool sameNumber(const QString &shown, double expected)
{
    bool ok = false;
    const double value = shown.toDouble(&ok);
    return ok && std::abs(value - expected) < 0.005;
}

} // namespace

class TstAnalysisViews : public QObject {
    Q_OBJECT

    testsupport::PostgresServer m_server;
    bool m_serverRunning = false;
    QTemporaryDir m_dir;
    std::unique_ptr<TrainingTables> m_folder;
    std::unique_ptr<TrainingTables> m_onServer;
    QString m_serverUrl;

    TrainingTables &tables(bool onServer) { return onServer ? *m_onServer : *m_folder; }

    // One value of a view through the store's own connection.
    QVariant viewValue(bool onServer, const QString &sql, qint64 testnr)
    {
        QSqlQuery query(tables(onServer).TestTable.database());
        query.prepare(sql);
        query.addBindValue(testnr);
        if (!query.exec() || !query.next())
            return QStringLiteral("<no row>");
        return query.value(0);
    }

    void addStores()
    {
        QTest::addColumn<bool>("onServer");
    }

private slots:
    void initTestCase();
    void numbers_data();
    void numbers();
    void dates_data();
    void dates();
    void setsThatRan_data();
    void setsThatRan();
    void viewsFollowTheNotesTable_data();
    void viewsFollowTheNotesTable();
    void readmeQueries_data();
    void readmeQueries();
};

void TstAnalysisViews::initTestCase()
{
    const QString folder = m_dir.filePath(QStringLiteral("tables"));
    QVERIFY(QDir().mkpath(folder));
    m_folder = std::make_unique<TrainingTables>(folder);
    m_folder->openAll();
    storeTests(*m_folder);
    QString why;
    m_serverRunning = m_server.start(&why);
    if (!m_serverRunning) {
        qWarning("no test server: %s", qPrintable(why));
        return;
    }
    const QString database = m_server.newDatabase();
    m_serverUrl = m_server.url(database);
    m_onServer = std::make_unique<TrainingTables>(m_server.address(database));
    m_onServer->openAll();
    storeTests(*m_onServer);
}

void TstAnalysisViews::numbers_data()
{
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QVariant>("expected");   // invalid: NULL
    const QList<std::pair<const char *, QVariant>> rows = {
        {"72,5", 72.5}, {"100", 100.0}, {" 7 ", 7.0}, {"-0,4", -0.4}, {",5", 0.5}, {"20,", 20.0}, {"+3", 3.0},
        {"1,5E3", 1500.0}, {"2,5e-1", 0.25}, {"abc", QVariant()}, {"1.5", QVariant()}, {"1,2,3", QVariant()},
        {"1e", QVariant()}, {"", QVariant()}, {"-", QVariant()}, {"1 000", QVariant()}, {"72,5 kg", QVariant()},
        {"0012", 12.0},
    };
    for (bool onServer : {false, true}) {
        for (const auto &[stored, expected] : rows)
            QTest::addRow("%s '%s'", onServer ? "server" : "folder", stored) << onServer << QString::fromUtf8(stored) << expected;
    }
}

void TstAnalysisViews::numbers()
{
    QFETCH(bool, onServer);
    QFETCH(QString, stored);
    QFETCH(QVariant, expected);
    if (onServer && !m_serverRunning)
        QSKIP("no PostgreSQL server programs");
    Table &t = tables(onServer).TestTable;
    t.append();
    t.setFieldText(QStringLiteral("Load"), stored);
    t.post();
    const qint64 testnr = t.fieldText(QStringLiteral("Testnr")).toLongLong();
    const QVariant load = viewValue(onServer, QStringLiteral("SELECT load FROM korvane_tests WHERE testnr = ?"), testnr);
    if (!expected.isValid()) {
        QVERIFY2(load.isNull(), qPrintable(load.toString()));
    } else {
        QVERIFY2(!load.isNull(), "NULL for a number");
        QCOMPARE(load.toDouble(), expected.toDouble());
    }
}

void TstAnalysisViews::dates_data()
{
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");   // empty: NULL
    QList<std::pair<QString, QString>> rows;
    for (const auto &[stored, expected] : std::initializer_list<std::pair<const char *, const char *>>{
             {"06.12.2026", "2026-12-06"}, {"6.1.2026", "2026-01-06"}, {" 29.02.2028 ", "2028-02-29"}, {"29.02.2027", ""},
             {"31.04.2026", ""}, {"31.02.2026", ""}, {"2026-12-06", "2026-12-06"}, {"2026-13-01", ""}, {"2026-1-06", ""},
             {"00.01.2026", ""}, {"01.01.0000", ""}, {"01.01.0099", "0099-01-01"}, {"gestern", ""}, {"", ""},
             {"6.12.26", "2026-12-06"}, {"06.12.026", ""}, {"06.12.20261", ""}, {"006.12.2026", ""}, {"29.2.27", ""},
             {"6/12/2026", "2026-12-06"}, {"13/1/2026", "2026-01-13"}, {"1/13/2026", ""}, {"12/6/26", "2026-12-06"},
             {"1/13/26", "2026-01-13"}, {"13/1/26", ""}, {"2/30/26", ""}, {"6/12.2026", ""}, {"6 Dec 2026", "2026-12-06"},
             {"06 dec 2026", "2026-12-06"}, {"6 DEC 2026", "2026-12-06"}, {"31 Feb 2026", ""}, {"6 Ecn 2026", ""},
             {"6 December 2026", ""}, {"6  Dec 2026", ""}, {"6 Dec 26", ""}})
        rows.append({QString::fromUtf8(stored), QString::fromUtf8(expected)});
    // Two-digit years: the 80 years before the current one and the 19
    // after it, in both short forms.
    const int year = QDate::currentDate().year();
    for (int full : {year - 80, year - 1, year, year + 19}) {
        const QString yy = QStringLiteral("%1").arg(full % 100, 2, 10, QLatin1Char('0'));
        const QString iso = QDate(full, 3, 4).toString(Qt::ISODate);
        rows.append({QStringLiteral("4.3.") + yy, iso});
        rows.append({QStringLiteral("3/4/") + yy, iso});
    }
    for (bool onServer : {false, true}) {
        for (const auto &[stored, expected] : std::as_const(rows))
            QTest::addRow("%s '%s'", onServer ? "server" : "folder", qPrintable(stored)) << onServer << stored << expected;
    }
}

void TstAnalysisViews::dates()
{
    QFETCH(bool, onServer);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    if (onServer && !m_serverRunning)
        QSKIP("no PostgreSQL server programs");
    Table &t = tables(onServer).TestTable;
    t.append();
    t.setFieldText(QStringLiteral("Date"), stored);
    // A set that ran, so that the test has a row among the sets.
    t.setFieldText(QStringLiteral("RealTime1"), QStringLiteral("3,5"));
    t.post();
    const qint64 testnr = t.fieldText(QStringLiteral("Testnr")).toLongLong();
    for (const char *view : {"korvane_tests", "korvane_sets"}) {
        const QVariant date
            = viewValue(onServer, QStringLiteral("SELECT date FROM %1 WHERE testnr = ?").arg(QLatin1String(view)), testnr);
        const QString shown = date.isNull() ? QString()
            : date.typeId() == QMetaType::QDate ? date.toDate().toString(Qt::ISODate) : date.toString();
        QCOMPARE(shown, expected);
        // The program reads the stored date the same way.
        const std::optional<QDate> read = data::readTestDate(stored);
        QCOMPARE(shown, read ? read->toString(Qt::ISODate) : QString());
    }
}

void TstAnalysisViews::setsThatRan_data()
{
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<QStringList>("fields");     // Sets, then RealTime/RealR pairs
    QTest::addColumn<QString>("expected");       // set:real:outcome per set that ran
    for (bool onServer : {false, true}) {
        const char *store = onServer ? "server" : "folder";
        QTest::addRow("%s completed and cancelled", store)
            << onServer << QStringList{"2", "18", "6", "12,5", "4"} << QStringLiteral("1:18:completed 2:12.5:cancelled");
        QTest::addRow("%s set never run left out", store)
            << onServer << QStringList{"3", "18", "6", "", "0", "18", "6"} << QStringLiteral("1:18:completed 3:18:completed");
        QTest::addRow("%s sets past the count left out", store)
            << onServer << QStringList{"1", "18", "6", "18", "6"} << QStringLiteral("1:18:completed");
        QTest::addRow("%s no count: up to the last that ran", store)
            << onServer << QStringList{"x", "", "0", "9,5", "3"} << QStringLiteral("2:9.5:completed");
        QTest::addRow("%s repetitions only", store)
            << onServer << QStringList{"1", "", "5"} << QStringLiteral("1:NULL:completed");
        QTest::addRow("%s time that is no number", store)
            << onServer << QStringList{"1", "abc", "6"} << QStringLiteral("1:NULL:completed");
    }
}

void TstAnalysisViews::setsThatRan()
{
    QFETCH(bool, onServer);
    QFETCH(QStringList, fields);
    QFETCH(QString, expected);
    if (onServer && !m_serverRunning)
        QSKIP("no PostgreSQL server programs");
    Table &t = tables(onServer).TestTable;
    t.append();
    for (const auto &[field, value] : {std::pair{"FroPhase", "1"}, {"ToPhase", "1"}, {"RestafterFro", "0,5"},
                                       {"RestafterTo", "0,5"}, {"Rep", "6"}, {"StartRest", "3"}, {"RestSets", "60"}})
        t.setFieldText(QString::fromLatin1(field), QString::fromLatin1(value));
    t.setFieldText(QStringLiteral("Sets"), fields.at(0));
    for (int i = 1; i + 1 < fields.size(); i += 2) {
        t.setFieldText(QStringLiteral("RealTime%1").arg((i + 1) / 2), fields.at(i));
        t.setFieldText(QStringLiteral("RealR%1").arg((i + 1) / 2), fields.at(i + 1));
    }
    t.post();
    QSqlQuery query(t.database());
    query.prepare(QStringLiteral("SELECT set_number, real_time, outcome, planned_time FROM korvane_sets "
                                 "WHERE testnr = ? ORDER BY set_number"));
    query.addBindValue(t.fieldText(QStringLiteral("Testnr")).toLongLong());
    QVERIFY(query.exec());
    QStringList sets;
    while (query.next()) {
        sets << QStringLiteral("%1:%2:%3")
                    .arg(query.value(0).toInt())
                    .arg(query.value(1).isNull() ? QStringLiteral("NULL") : QString::number(query.value(1).toDouble()))
                    .arg(query.value(2).toString());
        // The planned time needs a whole number of sets, as the clock does.
        if (fields.at(0) != QLatin1String("x"))
            QCOMPARE(query.value(3).toDouble(), 18.0);
        else
            QVERIFY(query.value(3).isNull());
    }
    QCOMPARE(sets.join(u' '), expected);
}

void TstAnalysisViews::viewsFollowTheNotesTable_data()
{
    QTest::addColumn<bool>("onServer");
    QTest::newRow("folder") << false;
    QTest::newRow("server") << true;
}

void TstAnalysisViews::viewsFollowTheNotesTable()
{
    QFETCH(bool, onServer);
    if (onServer && !m_serverRunning)
        QSKIP("no PostgreSQL server programs");
    // Tables without notes: the views say every test is valid.
    std::unique_ptr<TrainingTables> fresh;
    if (onServer) {
        fresh = std::make_unique<TrainingTables>(m_server.address(m_server.newDatabase()));
    } else {
        const QString folder = m_dir.filePath(QStringLiteral("fresh"));
        QVERIFY(QDir().mkpath(folder));
        fresh = std::make_unique<TrainingTables>(folder);
    }
    fresh->openAll();
    Table &t = fresh->TestTable;
    const SqlDialect dialect = onServer ? SqlDialect::Postgres : SqlDialect::Sqlite;
    QVERIFY(!hasRelation(t.database(), dialect, testNotesTableName()));
    t.append();
    t.setFieldText(QStringLiteral("Load"), QStringLiteral("50"));
    t.post();
    const qint64 testnr = t.fieldText(QStringLiteral("Testnr")).toLongLong();
    QSqlQuery query(t.database());
    QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM korvane_tests WHERE valid")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 1);
    query.finish();

    // The first note makes the table, and the views carry it at once.
    storeTestNote(t, testnr, {QStringLiteral("Knie schmerzt; \"RPE 9\""), false, QStringLiteral("Jörg")});
    QVERIFY(hasRelation(t.database(), dialect, testNotesTableName()));
    query.prepare(QStringLiteral("SELECT note, valid, tester FROM korvane_tests WHERE testnr = ?"));
    query.addBindValue(testnr);
    QVERIFY(query.exec());
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("Knie schmerzt; \"RPE 9\""));
    QCOMPARE(query.value(1).toBool(), false);
    QCOMPARE(query.value(2).toString(), QStringLiteral("Jörg"));
    QCOMPARE(readTestNote(t.database(), testnr).tester, QStringLiteral("Jörg"));
    query.finish();

    // Opened again, the views stay as they are: nothing is rewritten.
    QVERIFY(!keepAnalysisViews(t.database(), dialect));
}

void TstAnalysisViews::readmeQueries_data()
{
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<QString>("title");
    const std::map<QString, QString> queries = analystQueries();
    QVERIFY2(queries.size() >= 4, "the README names no analyst queries");
    for (const auto &[title, sql] : queries) {
        for (bool onServer : {false, true}) {
            if (title.contains(QLatin1String(onServer ? "(sqlite3)" : "(psql)")))
                continue;
            QTest::addRow("%s: %s", onServer ? "psql" : "sqlite3", qPrintable(title)) << onServer << title;
        }
    }
}

void TstAnalysisViews::readmeQueries()
{
    QFETCH(bool, onServer);
    QFETCH(QString, title);
    const QString sql = analystQueries().at(title);
    QString errors;
    QList<QStringList> rows;
    if (onServer) {
        const QString psql = QStandardPaths::findExecutable(QStringLiteral("psql"));
        if (!m_serverRunning || psql.isEmpty())
            QSKIP("no PostgreSQL server programs or psql");
        // The notes and numbers of the other test functions stay out: a
        // database of these tests alone.
        const QString database = m_server.newDatabase();
        {
            TrainingTables own(m_server.address(database));
            own.openAll();
            storeTests(own);
        }
        rows = runTool(psql, {QStringLiteral("-X"), QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-F,"),
                              QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-d"),
                              m_server.url(database), QStringLiteral("-c"), sql},
                       &errors);
    } else {
        const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        if (sqlite.isEmpty())
            QSKIP("the sqlite3 command-line tool is not installed");
        QTemporaryDir dir;
        {
            TrainingTables own(dir.path());
            own.openAll();
            storeTests(own);
        }
        rows = runTool(sqlite, {QStringLiteral("-csv"), QStringLiteral("-bail"), dir.filePath(QStringLiteral("TestTable.DB")), sql},
                       &errors);
    }
    QVERIFY2(errors.isEmpty(), qPrintable(errors));

    // The same worked out from the stored texts.
    QList<QStringList> expected;
    if (title.startsWith(QLatin1String("Mean load per exercise"))) {
        std::map<QString, std::pair<int, double>> byExercise;
        for (const Stored &test : storedTests()) {
            const std::optional<double> load = loadOf(test);
            if (!test.valid || !load)
                continue;
            auto &[count, sum] = byExercise[QString::fromUtf8(test.exercise)];
            ++count;
            sum += *load;
        }
        QCOMPARE(rows.size(), int(byExercise.size()));
        int i = 0;
        for (const auto &[exercise, totals] : byExercise) {
            const QStringList &row = rows.at(i++);
            QCOMPARE(row.value(0), exercise);
            QCOMPARE(row.value(1).toInt(), totals.first);
            QVERIFY2(sameNumber(row.value(2), totals.second / totals.first), qPrintable(row.join(u',')));
        }
    } else if (title.startsWith(QLatin1String("Real time per set"))) {
        QList<std::tuple<QDate, int, double>> sets;   // date, set, real time
        for (const Stored &test : storedTests()) {
            const QDate date = storedDate(test);
            if (QLatin1String(test.name) != QLatin1String("Anna") || !test.valid || !date.isValid())
                continue;
            for (int k = 0; k < test.realTimes.size(); ++k)
                sets << std::tuple{date, k + 1, QString(test.realTimes.at(k)).replace(u',', u'.').toDouble()};
        }
        QCOMPARE(rows.size(), sets.size());
        for (int i = 0; i < sets.size(); ++i) {
            const auto &[date, set, real] = sets.at(i);
            QCOMPARE(rows.at(i).value(0), date.toString(Qt::ISODate));
            QCOMPARE(rows.at(i).value(2).toInt(), set);
            QVERIFY2(sameNumber(rows.at(i).value(3), real), qPrintable(rows.at(i).join(u',')));
        }
    } else if (title.startsWith(QLatin1String("Tests per month"))) {
        std::map<QString, int> months;
        for (const Stored &test : storedTests()) {
            const QDate date = storedDate(test);
            if (test.valid && date.isValid())
                ++months[date.toString(QStringLiteral("yyyy-MM"))];
        }
        QCOMPARE(rows.size(), int(months.size()));
        int i = 0;
        for (const auto &[month, count] : months) {
            QCOMPARE(rows.at(i).value(0), month);
            QCOMPARE(rows.at(i).value(1).toInt(), count);
            ++i;
        }
    } else {
        QFAIL(qPrintable(QStringLiteral("no expectation for the query \"%1\"").arg(title)));
    }
}

QTEST_GUILESS_MAIN(TstAnalysisViews)
#include "tst_analysisviews.moc"
