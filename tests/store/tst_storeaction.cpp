// Store actions against a database server that stops answering (its
// processes stopped, as on a hung machine): each returns within its bound
// with a failure naming the server, a 100 ms clock driven by the same event
// loop ticks on meanwhile, and what was to be saved can be saved again,
// once, when the server is back.

#include "store/records.h"
#include "store/storeaction.h"
#include "store/testrows.h"
#include "store/trainingtables.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include "support/pgserver.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

// The clock of a running test: a 100 ms timer, with the longest time
// between two of its ticks.
class TickingClock {
public:
    TickingClock()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(100);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longestGap = std::max(m_longestGap, m_sinceTick.restart());
            ++m_ticks;
        });
        m_sinceTick.start();
        m_timer.start();
    }
    // Also counts the time since the last tick, so that a clock that never
    // ticked again shows its whole stall.
    qint64 longestGap() const { return std::max(m_longestGap, m_sinceTick.elapsed()); }
    int ticks() const { return m_ticks; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    qint64 m_longestGap = 0;
    int m_ticks = 0;
};

store::TestRecord testOf(const QString &name)
{
    store::TestRecord record;
    record.date = QStringLiteral("08.12.2026");
    record.profileNumber = 1;
    record.name = name;
    record.surname = QStringLiteral("Hung");
    record.realTimes[0] = QStringLiteral("6,6");
    record.repetitions[0] = QStringLiteral("3");
    record.saveId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return record;
}

int testsNamed(store::Table &table, const QString &name)
{
    return store::runStoreAction({&table}, [&] {
        store::TestRows rows(table.database(), name, QStringLiteral("Hung"), [&](const QString &why) { table.fail(why); });
        int count = 0;
        while (rows.next())
            ++count;
        return count;
    });
}

enum class Action { Save, ProgressRead, Start };

} // namespace

class StoreActionTest : public QObject {
    Q_OBJECT

    testsupport::PostgresServer m_server;

private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(m_server.start(&why), qPrintable(why));
    }

    void hungServer_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addRow("save") << Action::Save;
        QTest::addRow("progress read") << Action::ProgressRead;
        QTest::addRow("start") << Action::Start;
    }
    void hungServer()
    {
        QFETCH(Action, action);
        const store::ServerAddress address = m_server.address(m_server.newDatabase());
        auto tables = std::make_unique<store::TrainingTables>(address);
        tables->openAll();
        store::Table &table = tables->TestTable;
        const store::TestRecord record = testOf(QStringLiteral("Anna"));
        if (action == Action::ProgressRead)
            store::runStoreAction({&table}, [&] { store::appendTest(table, record); });
        if (action == Action::Start)
            tables = std::make_unique<store::TrainingTables>(address);

        // Should the action wait for the server after all, it is let go
        // after a while, so that the test fails instead of hanging.
        std::atomic<bool> resumed{false};
        std::thread rescue([&] {
            for (int waited = 0; waited < 200 && !resumed; ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            m_server.resume();
        });
        const auto release = qScopeGuard([&] {
            resumed = true;
            rescue.join();
        });
        QVERIFY(m_server.pause());

        const TickingClock clock;
        QElapsedTimer took;
        took.start();
        std::optional<core::Failure> failure;
        try {
            switch (action) {
            case Action::Save:
                store::runStoreAction({&table}, [&] { store::appendTest(table, record); });
                break;
            case Action::ProgressRead:
                testsNamed(table, record.name);
                break;
            case Action::Start:
                tables->openAll();
                break;
            }
        } catch (const core::Failure &error) {
            failure = error;
        }
        const qint64 elapsed = took.elapsed();
        const qint64 stall = clock.longestGap();
        qInfo("failed after %lld ms; the clock's longest gap %lld ms", elapsed, stall);
        QVERIFY2(failure.has_value(), "the action reported success from a server that answers nothing");
        QCOMPARE(failure->kind(), core::Failure::Kind::ServerTable);
        QCOMPARE(failure->file(), address.display());
        QVERIFY2(elapsed < 10000, qPrintable(QStringLiteral("the failure came after %1 ms").arg(elapsed)));
        // The clock's plan is a tick each 100 ms; 150 ms late is the most a
        // test may see.  The slack is for a loaded test machine.
        QVERIFY2(stall < 100 + 150 + 250, qPrintable(QStringLiteral("the clock stood still for %1 ms").arg(stall)));
        QVERIFY(clock.ticks() >= int(elapsed / 100) / 2);

        QVERIFY(m_server.resume());
        if (action == Action::Start) {
            tables->openAll();
            return;
        }
        // Back again: the results kept by the caller are saved now, once.
        store::runStoreAction({&tables->TestTable}, [&] { store::appendTest(tables->TestTable, record); });
        QCOMPARE(testsNamed(tables->TestTable, record.name), 1);
    }

    // A second action started from a timer while one waits for its server
    // is refused; the first one goes on undisturbed.
    void oneActionAtATime()
    {
        auto tables = std::make_unique<store::TrainingTables>(m_server.address(m_server.newDatabase()));
        tables->openAll();
        store::Table &table = tables->TestTable;
        std::optional<QString> refusal;
        QTimer::singleShot(50, [&] {
            try {
                store::runStoreAction({&table}, [&] { store::appendTest(table, testOf(QStringLiteral("Second"))); });
            } catch (const core::Failure &error) {
                refusal = error.file();
            }
        });
        store::runStoreAction({&table}, [&] {
            QSqlQuery(table.database()).exec(QStringLiteral("SELECT pg_sleep(0.3)"));
            store::appendTest(table, testOf(QStringLiteral("First")));
        });
        QCOMPARE(refusal, std::optional<QString>(table.server()->display()));
        QVERIFY(!store::storeActionRunning());
        QCOMPARE(testsNamed(table, QStringLiteral("First")), 1);
        QCOMPARE(testsNamed(table, QStringLiteral("Second")), 0);
    }
};

QTEST_GUILESS_MAIN(StoreActionTest)
#include "tst_storeaction.moc"
