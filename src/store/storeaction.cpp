#include "store/storeaction.h"

#include "store/postgres.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QThread>
#include <QTimer>

#include <exception>
#include <memory>

namespace store {
namespace {

// Only the main thread waits in an event loop, so only it can start a
// second action while one runs.
bool running = false;

void handConnections(const QList<Table *> &tables, QThread *to)
{
    for (const Table *table : tables) {
        const QSqlDatabase db = QSqlDatabase::database(table->connectionName(), false);
        if (db.isValid() && db.driver())
            db.driver()->moveToThread(to);
    }
}

} // namespace

bool storeActionRunning()
{
    return running;
}

void runStoreAction(const QList<Table *> &tables, const std::function<void()> &action)
{
    QList<Table *> onServer;
    for (Table *table : tables) {
        if (table->onServer())
            onServer << table;
    }
    const QCoreApplication *application = QCoreApplication::instance();
    if (onServer.isEmpty() || !application || QThread::currentThread() != application->thread()) {
        action();
        return;
    }
    const QString server = onServer.first()->server()->display();
    if (running)
        throw StoreError(core::Failure::Kind::ServerTable, server,
                         QCoreApplication::translate("Store", "the answer to the last action is still awaited; "
                                                              "try again in a moment"));
    running = true;
    const auto done = qScopeGuard([] { running = false; });

    for (Table *table : onServer)
        table->serverInterrupt().clearCut();
    QThread *const caller = QThread::currentThread();
    std::exception_ptr failure;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            // Opened anew here, or refused with the reason: the action's own
            // attempt would wait for an unreachable server a second time.
            for (Table *table : onServer) {
                if (connectionLost(table->database()))
                    table->ensureConnection();
            }
            action();
        } catch (...) {
            failure = std::current_exception();
        }
        // Connections made by the action belong to this thread as well.
        handConnections(onServer, caller);
    }));
    handConnections(onServer, worker.get());

    QEventLoop waiting;
    QObject::connect(worker.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    bool cut = false;
    QTimer::singleShot(serverCancelAfterMs, &waiting, [&] {
        for (Table *table : onServer)
            table->serverInterrupt().requestCancel();
    });
    QTimer::singleShot(serverCutAfterMs, &waiting, [&] {
        cut = true;
        for (Table *table : onServer)
            table->serverInterrupt().cut();
    });
    worker->start();
    // The clock's timer and the painting go on; clicks and keys wait until
    // the action is over (they are delivered then).
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();

    if (failure && cut)
        throw StoreError(core::Failure::Kind::ServerTable, server,
                         QCoreApplication::translate("Store", "it did not answer within %1 seconds and was left; "
                                                              "nothing was lost, and the action can be tried again")
                             .arg(serverCutAfterMs / 1000));
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace store
