// Two stations saving tests against a server that is killed, stopped
// (SIGSTOP) and restarted at random for a given time; then every save a
// station was told succeeded must be stored exactly once, and no clock may
// have stood still for long.  Not part of the test run: see
// scripts/run-server-soak.sh.
//
//   store_server_soak MINUTES            the whole run (server, stations, checks)
//   store_server_soak --station N URL SECONDS   one station (started by the run)

#include "store/records.h"
#include "store/storeaction.h"
#include "store/trainingtables.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "support/pgserver.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// One station: saves test after test, each retried with the same identity
// until it is acknowledged (as a user would after a failure), while a
// 100 ms clock measures how late its ticks come.  Prints "saved NAME KEY"
// for each acknowledged save, "tried NAME" before each first attempt, and
// at the end "stall MS" (the largest lateness of a tick against its plan).
int runStation(int station, const QString &url, int seconds)
{
    const auto address = store::ServerAddress::parse(url);
    if (!address)
        return 2;
    store::TrainingTables tables(*address);
    QElapsedTimer running;
    running.start();
    qint64 longestGap = 0;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer clock;
    clock.setTimerType(Qt::PreciseTimer);
    clock.setInterval(100);
    QObject::connect(&clock, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    clock.start();

    int number = 0;
    int failures = 0;
    store::TestRecord record;
    QTimer saving;
    saving.setInterval(150);
    QObject::connect(&saving, &QTimer::timeout, [&] {
        if (running.elapsed() > qint64(seconds) * 1000) {
            saving.stop();
            say(QStringLiteral("stall %1").arg(std::max<qint64>(0, longestGap - 100)));
            say(QStringLiteral("failures %1").arg(failures));
            QCoreApplication::quit();
            return;
        }
        if (record.name.isEmpty()) {
            record.name = QStringLiteral("S%1-%2").arg(station).arg(++number);
            record.surname = QStringLiteral("Soak");
            record.date = QStringLiteral("08.12.2026");
            record.realTimes[0] = QStringLiteral("6,6");
            record.saveId = QUuid::createUuid().toString(QUuid::WithoutBraces);
            say(QStringLiteral("tried %1").arg(record.name));
        }
        try {
            const qint64 key = store::runStoreAction({&tables.TestTable}, [&] {
                tables.TestTable.open();
                return store::appendTest(tables.TestTable, record);
            });
            say(QStringLiteral("saved %1 %2").arg(record.name).arg(key));
            record = store::TestRecord();
        } catch (const core::Failure &error) {
            ++failures;
            say(QStringLiteral("failed %1 %2").arg(record.name, error.message().simplified()));
        }
    });
    saving.start();
    return QCoreApplication::exec();
}

int runSoak(double minutes)
{
    testsupport::PostgresServer server;
    QString why;
    if (!server.start(&why)) {
        say(QStringLiteral("no server: %1").arg(why));
        return 2;
    }
    const QString database = server.newDatabase();
    const QString url = server.url(database);
    // The tables exist before the stations start, as at a real site.
    {
        store::TrainingTables tables(server.address(database));
        tables.openAll();
    }
    const int seconds = int(minutes * 60);
    QTemporaryDir outputs;
    QList<QProcess *> stations;
    for (int station = 1; station <= 2; ++station) {
        auto *process = new QProcess;
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A file, not a pipe: a pipe nobody reads during the run fills up
        // and would stop the station at its next line.
        process->setStandardOutputFile(outputs.filePath(QStringLiteral("station-%1.txt").arg(station)));
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--station"), QString::number(station), url, QString::number(seconds)});
        stations << process;
    }

    // The unlucky network: the server paused, killed or stopped, and back.
    QRandomGenerator &random = *QRandomGenerator::global();
    QElapsedTimer running;
    running.start();
    int pauses = 0, kills = 0, restarts = 0;
    while (running.elapsed() < qint64(seconds - 5) * 1000) {
        QThread::msleep(random.bounded(1000, 6000));
        switch (random.bounded(3)) {
        case 0:
            ++pauses;
            server.pause();
            QThread::msleep(random.bounded(500, 15000));
            server.resume();
            break;
        case 1:
            ++kills;
            server.kill();
            QThread::msleep(random.bounded(200, 4000));
            server.startServer(&why);
            break;
        default:
            ++restarts;
            server.stop();
            server.startServer(&why);
            break;
        }
    }
    say(QStringLiteral("server paused %1, killed %2, restarted %3 times").arg(pauses).arg(kills).arg(restarts));

    QHash<QString, qint64> acknowledged;
    QSet<QString> tried;
    qint64 worstStall = 0;
    int failures = 0;
    bool stationsEnded = true;
    for (int station = 1; station <= stations.size(); ++station) {
        QProcess *process = stations.at(station - 1);
        stationsEnded = process->waitForFinished(120000) && process->exitCode() == 0 && stationsEnded;
        QFile output(outputs.filePath(QStringLiteral("station-%1.txt").arg(station)));
        output.open(QIODevice::ReadOnly);
        const QList<QByteArray> lines = output.readAll().split('\n');
        for (const QByteArray &raw : lines) {
            const QStringList words = QString::fromUtf8(raw).split(QLatin1Char(' '));
            if (words.first() == QLatin1String("saved") && words.size() == 3)
                acknowledged.insert(words.at(1), words.at(2).toLongLong());
            else if (words.first() == QLatin1String("tried") && words.size() == 2)
                tried.insert(words.at(1));
            else if (words.first() == QLatin1String("stall") && words.size() == 2)
                worstStall = std::max(worstStall, words.at(1).toLongLong());
            else if (words.first() == QLatin1String("failures") && words.size() == 2)
                failures += words.at(1).toInt();
        }
        delete process;
    }

    // What the server holds: each name with its keys.
    QHash<QString, QList<qint64>> stored;
    {
        const QString connection = QStringLiteral("soak-check");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            server.address(database).applyTo(db);
            if (!db.open()) {
                say(QStringLiteral("the server cannot be read after the run"));
                return 1;
            }
            QSqlQuery query(QStringLiteral("SELECT \"Name\", \"Testnr\" FROM \"TestTable\""), db);
            while (query.next())
                stored[query.value(0).toString()] << query.value(1).toLongLong();
        }
        QSqlDatabase::removeDatabase(connection);
    }
    int missing = 0, twice = 0, otherKey = 0, unknown = 0;
    for (auto it = acknowledged.cbegin(); it != acknowledged.cend(); ++it) {
        const QList<qint64> keys = stored.value(it.key());
        missing += keys.isEmpty();
        twice += keys.size() > 1;
        otherKey += keys.size() == 1 && keys.first() != it.value();
    }
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        twice += !acknowledged.contains(it.key()) && it.value().size() > 1;
        unknown += !tried.contains(it.key());
    }
    say(QStringLiteral("saves acknowledged %1, tried %2, stored %3; failed attempts %4")
            .arg(acknowledged.size()).arg(tried.size()).arg(stored.size()).arg(failures));
    say(QStringLiteral("missing %1, stored twice %2, under another key %3, never tried %4")
            .arg(missing).arg(twice).arg(otherKey).arg(unknown));
    say(QStringLiteral("largest clock stall %1 ms beyond the plan").arg(worstStall));
    const bool passed = stationsEnded && !acknowledged.isEmpty() && missing == 0 && twice == 0 && otherKey == 0
        && unknown == 0 && worstStall <= 150;
    say(passed ? QStringLiteral("PASSED") : QStringLiteral("FAILED"));
    return passed ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 5 && arguments.at(1) == QLatin1String("--station"))
        return runStation(arguments.at(2).toInt(), arguments.at(3), arguments.at(4).toInt());
    if (arguments.size() == 2)
        return runSoak(arguments.at(1).toDouble());
    say(QStringLiteral("usage: store_server_soak MINUTES"));
    return 2;
}
