// The data window's grids when another station works on the same tables: an
// edit of a record changed or deleted there meanwhile is refused with a
// message and overwrites nothing; Refresh shows the other station's records.

#include "core/errors.h"
#include "data/dbgrid.h"
#include "data/testnotepanel.h"
#include "data/tform4.h"
#include "store/records.h"
#include "store/testnotes.h"
#include "store/trainingtables.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "support/pgserver.h"

#include <memory>

class SharedGridTest : public QObject {
    Q_OBJECT

    testsupport::PostgresServer m_server;
    QTemporaryDir m_folders;
    int m_next = 0;

    // Two stations' tables on one folder or one server database.
    std::pair<std::unique_ptr<store::TrainingTables>, std::unique_ptr<store::TrainingTables>> twoStations(bool onServer)
    {
        if (onServer) {
            const QString database = m_server.newDatabase();
            return {std::make_unique<store::TrainingTables>(m_server.address(database)),
                    std::make_unique<store::TrainingTables>(m_server.address(database))};
        }
        const QString folder = m_folders.filePath(QString::number(++m_next));
        QDir().mkpath(folder);
        return {std::make_unique<store::TrainingTables>(folder), std::make_unique<store::TrainingTables>(folder)};
    }

private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(m_server.start(&why), qPrintable(why));
    }

    void editMeetsOtherStation_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::addColumn<QString>("otherStation");   // what the other station did to record 1
        QTest::addColumn<QString>("refusal");         // part of the message; empty: stored
        for (const bool onServer : {false, true}) {
            const char *store = onServer ? "server" : "folder";
            QTest::addRow("%s, nothing", store) << onServer << "" << "";
            QTest::addRow("%s, changed", store) << onServer << "UPDATE \"SPTable\" SET \"Height\" = '181' WHERE \"Nr\" = 1"
                                                << "was changed at another station";
            QTest::addRow("%s, deleted", store) << onServer << "DELETE FROM \"SPTable\" WHERE \"Nr\" = 1"
                                                << "was deleted at another station";
        }
    }
    void editMeetsOtherStation()
    {
        QFETCH(bool, onServer);
        QFETCH(QString, otherStation);
        QFETCH(QString, refusal);
        auto [here, there] = twoStations(onServer);
        here->openAll();
        there->openAll();
        store::appendAthlete(here->SPTable, {QStringLiteral("Ann"), QStringLiteral("Lee"), QStringLiteral("60"), QStringLiteral("170")});
        here->SPTable.close();

        TForm4 window(*here);
        window.show();
        data::DBGrid *grid = window.grid(3);
        grid->refresh();
        if (!otherStation.isEmpty()) {
            QSqlQuery other(there->SPTable.database());
            QVERIFY(other.exec(otherStation));
        }
        QVERIFY(grid->model()->setData(grid->model()->index(0, 1), QStringLiteral("Anna")));
        try {
            grid->postPending();
            QVERIFY2(refusal.isEmpty(), "an edit went over another station's change");
        } catch (const core::Failure &failure) {
            QVERIFY2(!refusal.isEmpty(), qPrintable(failure.message()));
            QVERIFY2(failure.message().contains(refusal), qPrintable(failure.message()));
            // The edit is still on show, for the user to enter again.
            QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("Anna"));
        }
        // What the other station stored is there as it stored it.
        there->SPTable.open();
        const bool found = there->SPTable.findKey(1);
        QCOMPARE(found, !otherStation.startsWith(QLatin1String("DELETE")));
        if (found) {
            QCOMPARE(there->SPTable.fieldText(QStringLiteral("Name")), refusal.isEmpty() ? QStringLiteral("Anna") : QStringLiteral("Ann"));
            QCOMPARE(there->SPTable.fieldText(QStringLiteral("Height")), otherStation.isEmpty() ? QStringLiteral("170") : QStringLiteral("181"));
        }
    }

    void editTwiceThenDelete_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::addRow("folder") << false;
        QTest::addRow("server") << true;
    }
    // A record this station stored is its own to change again and to delete:
    // the check against other stations compares with what was stored last.
    void editTwiceThenDelete()
    {
        QFETCH(bool, onServer);
        auto [here, there] = twoStations(onServer);
        here->openAll();
        store::appendAthlete(here->SPTable, {QStringLiteral("Ann"), QStringLiteral("Lee"), QStringLiteral("60"), QStringLiteral("170")});
        store::appendAthlete(here->SPTable, {QStringLiteral("Bo"), QStringLiteral("Kim"), QStringLiteral("70"), QStringLiteral("180")});
        here->SPTable.close();
        TForm4 window(*here);
        window.show();
        data::DBGrid *grid = window.grid(3);
        grid->refresh();
        try {
            for (const QString &name : {QStringLiteral("Anna"), QStringLiteral("Annie")}) {
                QVERIFY(grid->model()->setData(grid->model()->index(0, 1), name));
                grid->postPending();
            }
            QVERIFY(grid->model()->setData(grid->model()->index(0, 2), QStringLiteral("Lee-Park")));
            grid->postPending();
            grid->selectRow(0);
            grid->deleteCurrent();
        } catch (const core::Failure &failure) {
            QFAIL(qPrintable(failure.message()));
        }
        there->openAll();
        QVERIFY(!there->SPTable.findKey(1));
        QVERIFY(there->SPTable.findKey(2));
        QCOMPARE(there->SPTable.fieldText(QStringLiteral("Name")), QStringLiteral("Bo"));
    }

    void deletedTestTakesItsNote_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::addColumn<int>("row");               // the test deleted, by row
        QTest::addColumn<QString>("otherStation");  // what another station did to it first
        for (const bool onServer : {false, true}) {
            const char *store = onServer ? "server" : "folder";
            QTest::addRow("%s, last test", store) << onServer << 2 << QString();
            QTest::addRow("%s, first test", store) << onServer << 0 << QString();
            QTest::addRow("%s, changed meanwhile", store)
                << onServer << 2 << QStringLiteral("UPDATE \"TestTable\" SET \"Load\" = '90' WHERE \"Testnr\" = 3");
        }
    }
    // A deleted test's note goes with it; a test stored later never finds
    // it, and a deletion refused keeps test and note.
    void deletedTestTakesItsNote()
    {
        QFETCH(bool, onServer);
        QFETCH(int, row);
        QFETCH(QString, otherStation);
        auto [here, there] = twoStations(onServer);
        here->openAll();
        there->openAll();
        for (const char *name : {"Ann", "Bo", "Cy"}) {
            store::TestRecord test;
            test.name = QString::fromLatin1(name);
            const qint64 key = store::appendTest(here->TestTable, test);
            store::storeTestNote(here->TestTable, key, {QStringLiteral("RPE of ") + test.name, false, QStringLiteral("KB")});
        }
        here->TestTable.close();
        TForm4 window(*here);
        window.show();
        data::DBGrid *grid = window.grid(1);
        grid->refresh();
        const qint64 deleted = grid->model()->index(row, 0).data().toLongLong();
        if (!otherStation.isEmpty()) {
            QSqlQuery other(there->TestTable.database());
            QVERIFY(other.exec(otherStation));
        }
        grid->goToRow(row);
        try {
            grid->deleteCurrent();
            QVERIFY2(otherStation.isEmpty(), "a test changed at another station was deleted");
        } catch (const core::Failure &failure) {
            QVERIFY2(!otherStation.isEmpty(), qPrintable(failure.message()));
        }
        const bool gone = otherStation.isEmpty();
        const QSqlDatabase db = there->TestTable.database();
        // The panel beside the grid shows the note of the test now current.
        QVERIFY(grid->currentKey() >= 0);
        QCOMPARE(window.notePanel()->testnr(), grid->currentKey());
        QCOMPARE(window.notePanel()->note(), store::readTestNote(db, grid->currentKey()));
        QCOMPARE(store::readTestNotes(db).size(), gone ? 2 : 3);
        QCOMPARE(store::readTestNote(db, deleted).isEmpty(), gone);
        // Numbers are never given twice: the next test counts on.
        store::TestRecord next;
        next.name = QStringLiteral("Dee");
        const qint64 key = store::appendTest(there->TestTable, next);
        QCOMPARE(key, qint64(4));
        QVERIFY(store::readTestNote(db, key).isEmpty());
    }

    // A test table made anew on a server gives its numbers from 1 again:
    // the notes of the tests of the table dropped before do not go to them.
    void newTestTableOnServerFindsNoNotes()
    {
        const QString database = m_server.newDatabase();
        {
            store::TrainingTables before(m_server.address(database));
            before.openAll();
            const qint64 key = store::appendTest(before.TestTable, store::TestRecord{});
            store::storeTestNote(before.TestTable, key, {QStringLiteral("slipped"), false, QStringLiteral("KB")});
            QSqlQuery drop(before.TestTable.database());
            QVERIFY2(drop.exec(QStringLiteral("DROP TABLE \"TestTable\" CASCADE")), qPrintable(drop.lastError().text()));
        }
        store::TrainingTables after(m_server.address(database));
        after.openAll();
        const qint64 key = store::appendTest(after.TestTable, store::TestRecord{});
        QCOMPARE(key, qint64(1));
        QCOMPARE(store::readTestNote(after.TestTable.database(), key), store::TestNote{});
    }

    void refreshShowsOtherStationsTests_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::addRow("folder") << false;
        QTest::addRow("server") << true;
    }
    void refreshShowsOtherStationsTests()
    {
        QFETCH(bool, onServer);
        auto [here, there] = twoStations(onServer);
        here->openAll();
        there->openAll();
        TForm4 window(*here);
        window.show();
        data::DBGrid *grid = window.grid(1);
        grid->refresh();
        QCOMPARE(grid->model()->rowCount(), 0);
        store::TestRecord test;
        test.name = QStringLiteral("Other");
        const qint64 key = store::appendTest(there->TestTable, test);
        grid->refresh();
        QCOMPARE(grid->model()->rowCount(), 1);
        QCOMPARE(grid->model()->index(0, 0).data().toLongLong(), key);
    }
};

QTEST_MAIN(SharedGridTest)
#include "tst_sharedgrid.moc"
