// The tables on a database server shared by several stations, beside the
// same operations on a folder's files: keys, saves, reads, the export query,
// stations at once, a lost or restarted server, refused layouts, passwords
// and copying a folder into the server.

#include "model/csvexport.h"
#include "model/fullexport.h"
#include "model/servercopy.h"
#include "store/postgres.h"
#include "store/query.h"
#include "store/records.h"
#include "store/serveraddress.h"
#include "store/testreader.h"
#include "store/testrows.h"
#include "store/testnotes.h"
#include "store/trainingtables.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "support/pgserver.h"

#include <atomic>
#include <memory>
#include <thread>

using store::TrainingTables;

namespace {

const QString kHostileName = QStringLiteral("'); DROP TABLE \"TestTable\"; --");

store::TestRecord testOf(const QString &name, const QString &realTime = QStringLiteral("6,603"))
{
    store::TestRecord record;
    record.date = QStringLiteral("07.12.2026");
    record.profileNumber = 3;
    record.name = name;
    record.surname = QStringLiteral("Müller\tTab\\Slash\nLine");
    record.exercise = QStringLiteral("Squat");
    record.realTimes[0] = realTime;
    record.repetitions[0] = QStringLiteral("2");
    return record;
}

qint64 countOf(store::Table &table)
{
    store::Query query(table);
    query.setText(QStringLiteral("Select * from ") + table.fileName());
    query.open();
    return query.recordCount();
}

QByteArray exportOf(const QSqlDatabase &db)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    data::writeFullExport(buffer, db);
    return bytes;
}

} // namespace

class SharedStoreTest : public QObject {
    Q_OBJECT

    testsupport::PostgresServer m_server;
    QTemporaryDir m_folders;
    int m_nextFolder = 0;

    // A fresh set of tables: in a new folder, or in a new database.
    std::unique_ptr<TrainingTables> freshTables(bool onServer, QString *database = nullptr)
    {
        if (onServer) {
            const QString name = m_server.newDatabase();
            if (database)
                *database = name;
            return std::make_unique<TrainingTables>(m_server.address(name));
        }
        const QString folder = m_folders.filePath(QString::number(++m_nextFolder));
        QDir().mkpath(folder);
        return std::make_unique<TrainingTables>(folder);
    }

private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(m_server.start(&why), qPrintable(why));
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("shown");
        QTest::addRow("plain") << "postgresql://lab@db.example:5433/korvane" << true
                               << "postgresql://lab@db.example:5433/korvane" << "lab@db.example:5433/korvane";
        QTest::addRow("password never kept") << "postgresql://lab:secret@db/korvane?sslmode=verify-full" << true
                                             << "postgresql://lab@db/korvane?sslmode=verify-full" << "lab@db/korvane";
        QTest::addRow("password parameter dropped") << "postgres://db/k?password=x&connect_timeout=5" << true
                                                    << "postgresql://db/k?connect_timeout=5" << "db/k";
        QTest::addRow("key's password never kept") << "postgresql://db/k?sslpassword=x&sslmode=require" << true
                                                   << "postgresql://db/k?sslmode=require" << "db/k";
        QTest::addRow("other scheme") << "mysql://lab@db/korvane" << false << "" << "";
        QTest::addRow("folder path") << "/home/lab/Korvane" << false << "" << "";
    }
    void addresses()
    {
        QFETCH(QString, url);
        QFETCH(bool, valid);
        const auto address = store::ServerAddress::parse(url);
        QCOMPARE(address.has_value(), valid);
        if (!valid)
            return;
        QFETCH(QString, remembered);
        QFETCH(QString, shown);
        QCOMPARE(address->url(), remembered);
        QCOMPARE(address->display(), shown);
    }

    void refusedAddresses_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("named");
        QTest::addRow("port no number") << "postgresql://db/k?port=54x" << "\"54x\"";
        QTest::addRow("semicolon in a value") << "postgresql://db/k?application_name=a%3Bhost%3Dx" << "\"application_name\"";
        QTest::addRow("parameter name no word") << "postgresql://db/k?a%20host=x" << "\"a host\"";
        QTest::addRow("password masked") << "mysql://lab:pa55word@db/k" << "lab:***@db";
        QTest::addRow("password parameter masked") << "mysql://db/k?sslpassword=pa55word&x=1" << "sslpassword=***&x=1";
    }
    // A refused address says why, never with its password.
    void refusedAddresses()
    {
        QFETCH(QString, url);
        QFETCH(QString, named);
        QString why;
        QVERIFY(!store::ServerAddress::parse(url, &why));
        QVERIFY2(why.contains(named), qPrintable(why));
        QVERIFY2(!why.contains(QLatin1String("pa55word")), qPrintable(why));
    }

    void connectionParameters_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("expected");
        QTest::addRow("blank in a value") << "application_name=Station%201" << "application_name" << "Station 1";
        QTest::addRow("option with blanks") << "options=-c%20statement_timeout%3D5000" << "statement_timeout" << "5s";
        QTest::addRow("no second parameter") << "application_name=a%20sslmode%3Ddisable%20host%3D10.0.0.1"
                                             << "application_name" << "a sslmode=disable host=10.0.0.1";
        QTest::addRow("quotes and backslashes") << "application_name=it's%5C%20x'" << "application_name" << "it's\\ x'";
    }
    // Every parameter reaches the server as one value, blanks, quotes and
    // backslashes included, and starts no other parameter.
    void connectionParameters()
    {
        QFETCH(QString, query);
        QFETCH(QString, setting);
        QFETCH(QString, expected);
        const auto address = store::ServerAddress::parse(m_server.url() + QLatin1Char('?') + query);
        QVERIFY(address);
        store::Table table(store::testTableLayout(), *address);
        table.open();
        QSqlQuery read(table.database());
        QVERIFY2(read.exec(QStringLiteral("SELECT current_setting('%1'), inet_server_addr()::text").arg(setting)),
                 qPrintable(read.lastError().text()));
        QVERIFY(read.next());
        QCOMPARE(read.value(0).toString(), expected);
        QCOMPARE(read.value(1).toString(), QStringLiteral("127.0.0.1/32"));
        // The connection's own limits, unless the address sets them.
        QVERIFY2(address->connectOptions().contains(QLatin1String("connect_timeout='5'")),
                 qPrintable(address->connectOptions()));
    }

    void savesAndReads_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::addRow("folder") << false;
        QTest::addRow("server") << true;
    }
    // The same records, keys and texts on both stores; names that look like
    // SQL are stored as names.
    void savesAndReads()
    {
        QFETCH(bool, onServer);
        auto tables = freshTables(onServer);
        tables->openAll();
        const qint64 first = store::appendTest(tables->TestTable, testOf(kHostileName));
        const qint64 second = store::appendTest(tables->TestTable, testOf(QStringLiteral("Jürgen"), QString()));
        QVERIFY(first >= 1);
        QVERIFY(second > first);
        QVERIFY(tables->TestTable.findKey(first));
        QCOMPARE(tables->TestTable.fieldText(QStringLiteral("Name")), kHostileName);
        QCOMPARE(tables->TestTable.fieldText(QStringLiteral("Surname")), QStringLiteral("Müller\tTab\\Slash\nLine"));
        QCOMPARE(tables->TestTable.fieldText(QStringLiteral("ProfilNr")), QStringLiteral("3"));
        QCOMPARE(countOf(tables->TestTable), 2);

        // The readers of many rows: one athlete's tests, the export query.
        store::TestRows rows(tables->TestTable.database(), kHostileName, QStringLiteral("Müller\tTab\\Slash\nLine"),
                             [](const QString &reason) { throw core::Failure(reason); });
        QVERIFY(rows.next());
        QCOMPARE(rows.field(0).toByteArray(), QByteArray::number(first));
        QCOMPARE(rows.field(9).toByteArray(), QByteArray("6,603"));
        QVERIFY(!rows.next());
        store::Query query(tables->TestTable);
        query.setText(QStringLiteral("Select * from TestTable.DB"));
        query.open();
        QCOMPARE(query.fieldText(5), QStringLiteral("Müller\tTab\\Slash\nLine"));
        query.next();
        QCOMPARE(query.fieldText(1), QString::number(second));
        QVERIFY(query.fieldText(10).isEmpty());
        QVERIFY(query.fieldUtf8(9).isNull());
        query.next();
        QVERIFY(query.eof());

        // The hostile name did nothing to the table.
        tables->TestTable.close();
        tables->TestTable.open();
        QCOMPARE(countOf(tables->TestTable), 2);
    }

    void hostileNamesAreData_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("surname");
        const struct {
            const char *label;
            QString name, surname;
        } names[] = {
            {"quotes", QStringLiteral("O'Brien \"Jr\""), QStringLiteral("'';--")},
            {"parameter in parameter", QStringLiteral("$2"), QStringLiteral("$1")},
            {"copy ended early", QStringLiteral(") TO STDOUT; DELETE FROM \"TestTable\"; DROP TABLE \"SPTable\" --"),
             QStringLiteral("$1")},
            {"escaped quote", QStringLiteral("\\'; DELETE FROM \"TestTable\"; --"), QStringLiteral("$2\\")},
            {"end of copy data", QStringLiteral("\\.\n\\."), QStringLiteral("a\\.b")},
            {"line ends and tabs", QStringLiteral("a\r\nb\tc\n"), QStringLiteral("\t$1\t")},
            {"dollar quote", QStringLiteral("$$; DROP TABLE \"Profil\"; $$"), QStringLiteral("$a$")},
        };
        for (const auto &row : names) {
            QTest::addRow("folder, %s", row.label) << false << row.name << row.surname;
            QTest::addRow("server, %s", row.label) << true << row.name << row.surname;
        }
    }
    // Names that look like SQL, COPY data or parameters are stored and read
    // back as names by every read of the tables, and leave them whole.
    void hostileNamesAreData()
    {
        QFETCH(bool, onServer);
        QFETCH(QString, name);
        QFETCH(QString, surname);
        auto tables = freshTables(onServer);
        tables->openAll();
        store::TestRecord record = testOf(name);
        record.surname = surname;
        const qint64 plain = store::appendTest(tables->TestTable, testOf(QStringLiteral("plain")));
        const qint64 hostile = store::appendTest(tables->TestTable, record);
        store::appendAthlete(tables->SPTable, {name, surname, QStringLiteral("80"), QString()});
        store::ProfileRecord profile;
        profile.profile = name;
        profile.exercise = surname;
        store::appendProfile(tables->ProfilTable, profile);
        // The note and tester of a test are data as well.
        store::storeTestNote(tables->TestTable, hostile, {name, false, surname});
        QCOMPARE(store::readTestNote(tables->TestTable.database(), hostile), (store::TestNote{name, false, surname}));
        const auto failing = [](const QString &reason) { throw core::Failure(reason); };

        // The progress window's read of one athlete's tests.
        try {
            store::TestRows rows(tables->TestTable.database(), name, surname, failing);
            QVERIFY(rows.next());
            QCOMPARE(rows.field(0).toByteArray(), QByteArray::number(hostile));
            const store::Layout &layout = store::testTableLayout();
            QCOMPARE(QString::fromUtf8(rows.field(layout.indexOf(QStringLiteral("Name")))), name);
            QCOMPARE(QString::fromUtf8(rows.field(layout.indexOf(QStringLiteral("Surname")))), surname);
            QVERIFY(!rows.next());
        } catch (const core::Failure &failure) {
            QFAIL(qPrintable(failure.message()));
        }
        // The report's reads.
        store::SqliteTestReader reader(tables->TestTable);
        const QList<QStringList> reported =
            reader.athleteTests(name, surname, QStringLiteral("Squat"), std::numeric_limits<qint64>::max());
        QCOMPARE(reported.size(), 1);
        QCOMPARE(reported.first().at(store::testTableLayout().indexOf(QStringLiteral("Surname"))), surname);
        // Both exports hold both tests.
        const QByteArray full = exportOf(tables->TestTable.database());
        for (const QString &text : {name, surname}) {
            QByteArray field;
            data::appendCsvField(field, text.toUtf8());
            QVERIFY2(full.contains(field), full.constData());
        }
        {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            store::Query query(tables->TestTable);
            QCOMPARE(data::writeTestExport(buffer, query, [](int) {}).tests, 2);
        }
        // The pick lists' and grids' reads of the other tables.
        QVERIFY(tables->SPTable.findKey(1));
        QCOMPARE(tables->SPTable.fieldText(QStringLiteral("Surname")), surname);
        QVERIFY(tables->ProfilTable.findKey(1));
        QCOMPARE(tables->ProfilTable.fieldText(QStringLiteral("Profil")), name);

        // Nothing was changed by any read.
        QCOMPARE(countOf(tables->TestTable), 2);
        QCOMPARE(countOf(tables->SPTable), 1);
        QCOMPARE(countOf(tables->ProfilTable), 1);
        QVERIFY(tables->TestTable.findKey(plain));
    }

    void copyReadsFieldsAsSent_data()
    {
        QTest::addColumn<bool>("null");
        QTest::addColumn<QByteArray>("value");
        QTest::addRow("plain") << false << QByteArray("6,603");
        QTest::addRow("empty") << false << QByteArray("");
        QTest::addRow("null") << true << QByteArray();
        QTest::addRow("text \\N is no null") << false << QByteArray("\\N");
        QTest::addRow("N after a backslash") << false << QByteArray("a\\N");
        QTest::addRow("tabs around") << false << QByteArray("\tin\tside\t");
        QTest::addRow("line ends") << false << QByteArray("a\r\nb\n");
        QTest::addRow("backslashes") << false << QByteArray("\\\\x\\");
        QTest::addRow("backslash t") << false << QByteArray("\\t");
        QTest::addRow("control bytes") << false << QByteArray("\b\f\v.");
        QTest::addRow("utf-8") << false << QByteArray("Müller");
    }
    // Every field of a row read through COPY comes back byte for byte, its
    // neighbours unharmed.
    void copyReadsFieldsAsSent()
    {
        QFETCH(bool, null);
        QFETCH(QByteArray, value);
        auto tables = freshTables(true);
        tables->openAll();
        const QString select = null ? QStringLiteral("SELECT 'before', NULL::text, 'after'")
                                    : QStringLiteral("SELECT 'before', $1::text, 'after'");
        store::CopyRows rows(tables->TestTable.database(), select,
                             null ? QList<QByteArray>{} : QList<QByteArray>{value});
        QVERIFY2(rows.error().isEmpty(), qPrintable(rows.error()));
        QVERIFY(rows.next());
        QCOMPARE(rows.fieldCount(), 3);
        QCOMPARE(rows.field(0).toByteArray(), QByteArray("before"));
        QCOMPARE(rows.field(1).isNull(), null);
        QCOMPARE(rows.field(1).toByteArray(), value);
        QCOMPARE(rows.field(2).toByteArray(), QByteArray("after"));
        QVERIFY(!rows.next());
    }

    // Two stations save at the same time: every test lands once, with keys
    // of its own, and each station reads the other's.
    void stationsSaveTogether()
    {
        QString database;
        auto first = freshTables(true, &database);
        TrainingTables second(m_server.address(database));
        first->openAll();
        second.openAll();
        QSet<qint64> keys;
        for (int i = 0; i < 25; ++i) {
            keys.insert(store::appendTest(first->TestTable, testOf(QStringLiteral("A%1").arg(i))));
            keys.insert(store::appendTest(second.TestTable, testOf(QStringLiteral("B%1").arg(i))));
        }
        QCOMPARE(keys.size(), 50);
        QCOMPARE(countOf(first->TestTable), 50);
        QVERIFY(second.TestTable.findKey(*std::min_element(keys.begin(), keys.end())));
        QCOMPARE(second.TestTable.fieldText(QStringLiteral("Name")), QStringLiteral("A0"));
    }

    void otherLayoutIsRefused()
    {
        const QString database = m_server.newDatabase();
        QVERIFY(m_server.exec(QStringLiteral("CREATE TABLE \"Profil\" (\"Nr\" BIGINT PRIMARY KEY, \"Name\" TEXT)"),
                              nullptr, database));
        TrainingTables tables(m_server.address(database));
        try {
            tables.openAll();
            QFAIL("a table in another layout was used");
        } catch (const core::Failure &failure) {
            QCOMPARE(failure.kind(), core::Failure::Kind::ServerTable);
            QVERIFY2(failure.message().contains(QLatin1String("\"Profil\"")), qPrintable(failure.message()));
            QVERIFY2(failure.message().contains(QLatin1String("\"Name\"")), qPrintable(failure.message()));
        }
    }

    void unreachableServerIsNamed()
    {
        auto address = m_server.address();
        address.port = m_server.port() == 1 ? 2 : 1;
        TrainingTables tables(address);
        try {
            tables.openAll();
            QFAIL("an unreachable server was used");
        } catch (const core::Failure &failure) {
            QCOMPARE(failure.kind(), core::Failure::Kind::ServerTable);
            QVERIFY2(failure.message().contains(QStringLiteral("127.0.0.1:%1").arg(address.port)), qPrintable(failure.message()));
        }
    }

    // A server that refuses connections for a moment, as while it restarts,
    // is reached by the second try; one that takes the connection and never
    // answers is reported soon, naming it.
    void serverAwayForAMoment_data()
    {
        QTest::addColumn<bool>("restarting");
        QTest::newRow("restarting: reached") << true;
        QTest::newRow("not answering: reported") << false;
    }
    void serverAwayForAMoment()
    {
        QFETCH(bool, restarting);
        const QString database = m_server.newDatabase();
        QString why;
        std::thread back;
        if (restarting) {
            m_server.stop();
            back = std::thread([&] { m_server.startServer(&why); });
        } else {
            QVERIFY(m_server.pause());
        }
        QElapsedTimer took;
        took.start();
        QString failure;
        try {
            TrainingTables tables(m_server.address(database));
            tables.openAll();
        } catch (const core::Failure &error) {
            failure = error.message();
        }
        const qint64 elapsed = took.elapsed();
        if (back.joinable())
            back.join();
        else
            QVERIFY(m_server.resume());
        QVERIFY2(why.isEmpty(), qPrintable(why));
        if (restarting) {
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
        } else {
            QVERIFY2(failure.contains(QStringLiteral("127.0.0.1:%1").arg(m_server.port())), qPrintable(failure));
            QVERIFY2(elapsed < 10000, qPrintable(QString::number(elapsed)));
        }
    }

    // The password comes from libpq's password file; without one the reason
    // says that a password is missing.
    void passwordFromPasswordFile()
    {
        const QString database = m_server.newDatabase();
        QVERIFY(m_server.exec(QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'station') "
                                             "THEN CREATE ROLE station LOGIN PASSWORD 'secret 1'; END IF; END $$")));
        QVERIFY(m_server.exec(QStringLiteral("ALTER DATABASE \"%1\" OWNER TO station").arg(database)));
        const store::ServerAddress station = *store::ServerAddress::parse(m_server.url(database, QStringLiteral("station")));
        QTemporaryDir home;
        const QString passFile = home.filePath(QStringLiteral("pgpass"));
        qputenv("PGPASSFILE", passFile.toLocal8Bit());
        {
            TrainingTables tables(station);
            QVERIFY_THROWS_EXCEPTION(core::Failure, tables.openAll());
        }
        QFile file(passFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("127.0.0.1:%1:*:station:secret 1\n").arg(m_server.port()).toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        TrainingTables tables(station);
        tables.openAll();
        QVERIFY(store::appendTest(tables.TestTable, testOf(QStringLiteral("P"))) >= 1);
        qunsetenv("PGPASSFILE");
    }

    // A server restarted while the program stood idle: the next read and
    // the next save open the connection anew by themselves.  A save while the
    // server is away fails and stores nothing; repeated with the same save id
    // once it is back, the test is stored once, also when the first save
    // did arrive and only its answer was lost.
    void lostAndRestartedServer()
    {
        auto tables = freshTables(true);
        tables->openAll();
        const qint64 before = store::appendTest(tables->TestTable, testOf(QStringLiteral("before")));

        m_server.kill();
        QString why;
        QVERIFY2(m_server.startServer(&why), qPrintable(why));
        QVERIFY(tables->TestTable.findKey(before));
        QCOMPARE(tables->TestTable.fieldText(QStringLiteral("Name")), QStringLiteral("before"));

        store::TestRecord record = testOf(QStringLiteral("once"));
        record.saveId = QStringLiteral("save-1");
        m_server.kill();
        // The failed reopening names the server and says why.
        try {
            tables->TestTable.ensureConnection();
            QFAIL("a server that is away was used");
        } catch (const core::Failure &failure) {
            QVERIFY2(failure.message().contains(QStringLiteral("127.0.0.1:%1").arg(m_server.port())), qPrintable(failure.message()));
            QVERIFY2(failure.message().contains(QLatin1String("refused")), qPrintable(failure.message()));
        }
        QVERIFY_THROWS_EXCEPTION(core::Failure, store::appendTest(tables->TestTable, record));
        QVERIFY2(m_server.startServer(&why), qPrintable(why));
        const qint64 stored = store::appendTest(tables->TestTable, record);
        // The same save again, as after an answer that never arrived.
        QCOMPARE(store::appendTest(tables->TestTable, record), stored);
        QCOMPARE(countOf(tables->TestTable), 2);
    }

    // Two copies into one empty database at once: one is stored whole, the
    // other refused without a trace, and the next save gets a key of its own.
    void copiesAtOnce()
    {
        std::unique_ptr<TrainingTables> folders[2] = {freshTables(false), freshTables(false)};
        for (int f = 0; f < 2; ++f) {
            folders[f]->openAll();
            for (int i = 0; i < 400; ++i)
                store::appendTest(folders[f]->TestTable, testOf(QStringLiteral("F%1-%2").arg(f).arg(i)));
            // The second folder's keys start far above the first's.
            QSqlQuery move(folders[f]->TestTable.database());
            QVERIFY(move.exec(QStringLiteral("UPDATE \"TestTable\" SET \"Testnr\" = \"Testnr\" + %1").arg(f * 1000)));
            QVERIFY(move.exec(QStringLiteral("UPDATE sqlite_sequence SET seq = seq + %1").arg(f * 1000)));
        }
        const QString database = m_server.newDatabase();
        const store::ServerAddress address = m_server.address(database);
        // Both copies wait for this lock and then start together.
        TrainingTables holder(address);
        holder.openAll();
        QSqlDatabase held = holder.TestTable.database();
        QVERIFY(held.transaction());
        QVERIFY(QSqlQuery(held).exec(QStringLiteral("LOCK TABLE \"TestTable\" IN ACCESS EXCLUSIVE MODE")));
        std::atomic<int> copied{0};
        QString refusal;
        std::vector<std::thread> copies;
        for (int f = 0; f < 2; ++f) {
            copies.emplace_back([&, f] {
                try {
                    data::copyFolderToServer(folders[f]->folder(), address);
                    ++copied;
                } catch (const core::Failure &failure) {
                    refusal = failure.message();
                }
            });
        }
        QTest::qWait(1000);
        QVERIFY(held.rollback());
        for (std::thread &copy : copies)
            copy.join();
        QCOMPARE(copied.load(), 1);
        QVERIFY2(refusal.contains(QLatin1String("already")), qPrintable(refusal));
        QCOMPARE(countOf(holder.TestTable), 400);
        const qint64 key = store::appendTest(holder.TestTable, testOf(QStringLiteral("new")));
        QVERIFY2(key == 401 || key == 1401, qPrintable(QString::number(key)));
        QCOMPARE(countOf(holder.TestTable), 401);
    }

    // A folder's tables go into an empty server whole, keys included; the
    // server's keys go on after the folder's; a server with records is
    // refused and keeps what it has.
    void copyFolderToServer()
    {
        auto folder = freshTables(false);
        folder->openAll();
        for (int i = 0; i < 5; ++i)
            store::appendTest(folder->TestTable, testOf(i == 2 ? kHostileName : QStringLiteral("T%1").arg(i)));
        store::AthleteRecord athlete{QStringLiteral("Jürgen"), QStringLiteral("Ölz"), QStringLiteral("80"), QString()};
        store::appendAthlete(folder->SPTable, athlete);
        {
            // The last test deleted: its key is never given again.
            QSqlQuery remove(folder->TestTable.database());
            QVERIFY(remove.exec(QStringLiteral("DELETE FROM \"TestTable\" WHERE \"Testnr\" = 5")));
        }
        const QString database = m_server.newDatabase();
        const data::CopiedRecords copied = data::copyFolderToServer(folder->folder(), m_server.address(database));
        QCOMPARE(copied.tests, 4);
        QCOMPARE(copied.athletes, 1);
        QCOMPARE(copied.profiles, 0);

        TrainingTables server(m_server.address(database));
        server.openAll();
        QCOMPARE(exportOf(server.TestTable.database()), exportOf(folder->TestTable.database()));
        QCOMPARE(store::appendTest(server.TestTable, testOf(QStringLiteral("new"))), 6);

        try {
            data::copyFolderToServer(folder->folder(), m_server.address(database));
            QFAIL("a copy went into tables that hold records");
        } catch (const core::Failure &failure) {
            QVERIFY2(failure.message().contains(QLatin1String("\"SPTable\"")), qPrintable(failure.message()));
        }
        QCOMPARE(countOf(server.TestTable), 5);
    }

    void copyMeetsNotesOfDeletedTests_data()
    {
        QTest::addColumn<bool>("folderNotes");
        QTest::addRow("folder without notes") << false;
        QTest::addRow("folder with notes") << true;
    }
    // A server whose tests were all deleted by an older program kept their
    // notes: the folder's tests copied under those numbers do not take them,
    // and the folder's own notes arrive as they are.
    void copyMeetsNotesOfDeletedTests()
    {
        QFETCH(bool, folderNotes);
        const QString database = m_server.newDatabase();
        {
            TrainingTables server(m_server.address(database));
            server.openAll();
            for (int i = 0; i < 2; ++i) {
                const qint64 key = store::appendTest(server.TestTable, testOf(QStringLiteral("old")));
                store::storeTestNote(server.TestTable, key, {QStringLiteral("old note"), false, QStringLiteral("XY")});
            }
            QSqlQuery remove(server.TestTable.database());
            QVERIFY(remove.exec(QStringLiteral("DELETE FROM \"TestTable\"")));
        }
        auto folder = freshTables(false);
        folder->openAll();
        for (int i = 0; i < 3; ++i) {
            const qint64 key = store::appendTest(folder->TestTable, testOf(QStringLiteral("T%1").arg(i)));
            if (folderNotes && i != 1)
                store::storeTestNote(folder->TestTable, key, {QStringLiteral("Knie"), i == 0, QStringLiteral("Jörg")});
        }
        QCOMPARE(data::copyFolderToServer(folder->folder(), m_server.address(database)).tests, 3);
        TrainingTables server(m_server.address(database));
        server.openAll();
        QCOMPARE(store::readTestNotes(server.TestTable.database()), store::readTestNotes(folder->TestTable.database()));
    }
};

QTEST_GUILESS_MAIN(SharedStoreTest)
#include "tst_sharedstore.moc"
