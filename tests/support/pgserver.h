#pragma once

// A PostgreSQL server of the tests' own: initdb in a temporary folder, a
// free port on 127.0.0.1, run as the unprivileged "postgres" user when the
// tests run as root, stopped and removed at the end.  Every test program
// that needs one starts it itself.

#include "store/serveraddress.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>
#ifdef Q_OS_WIN
#include <QDeadlineTimer>
#include <QThread>
#endif

#include <cerrno>
#ifndef Q_OS_WIN
#include <arpa/inet.h>
#include <signal.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <algorithm>

namespace testsupport {

class PostgresServer {
public:
    PostgresServer() = default;
    ~PostgresServer() { stop(); }
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    // Makes and starts the server; false with the reason when it cannot.
    bool start(QString *why)
    {
#ifdef Q_OS_WIN
        // The Windows check runs the tests under Wine, and its script keeps
        // a server on the host: KORVANE_TEST_PGSERVER gives its port and the
        // folder through which the host makes, stops and starts it anew.
        const QStringList server = qEnvironmentVariable("KORVANE_TEST_PGSERVER").split(u';');
        if (server.size() != 2 || server.first().toInt() <= 0)
            return fail(why, QStringLiteral("no PostgreSQL server for the Windows tests (KORVANE_TEST_PGSERVER)"));
        m_port = server.first().toInt();
        m_control = server.last();
        if (!hostRequest(QStringLiteral("fresh"), why))
            return false;
        m_running = true;
        return createDatabase(QStringLiteral("korvane"), why);
#endif
        const QString bin = binFolder();
        if (bin.isEmpty())
            return fail(why, QStringLiteral("no PostgreSQL server programs under /usr/lib/postgresql "
                                             "(scripts/install-deps.sh installs them)"));
        m_bin = bin;
        if (!m_dir.isValid())
            return fail(why, QStringLiteral("no temporary folder"));
        m_data = m_dir.filePath(QStringLiteral("data"));
        if (runsAsRoot() && !run({QStringLiteral("chown"), QStringLiteral("postgres:postgres"), m_dir.path()}, why))
            return false;
        if (!runAsServerUser({m_bin + QStringLiteral("/initdb"), QStringLiteral("-D"), m_data, QStringLiteral("-U"),
                              QStringLiteral("korvane"), QStringLiteral("--auth=trust"), QStringLiteral("-E"),
                              QStringLiteral("UTF8"), QStringLiteral("--locale=C")},
                             why))
            return false;
        // The station account logs in with a password; the others are trusted.
        QFile hba(m_data + QStringLiteral("/pg_hba.conf"));
        const QByteArray rules = "local all all trust\n"
                                 "host all station 127.0.0.1/32 scram-sha-256\n"
                                 "host all all 127.0.0.1/32 trust\n";
        if (!runAsServerUser({QStringLiteral("sh"), QStringLiteral("-c"),
                              QStringLiteral("printf '%1' > '%2'").arg(QString::fromLatin1(rules).replace(QLatin1String("\n"), QLatin1String("\\n")), hba.fileName())},
                             why))
            return false;
        m_port = freePort();
        return startServer(why) && createDatabase(QStringLiteral("korvane"), why);
    }

    // Stops the server at once, as a crash or a cut cable would.
    void kill() { stopWith(QStringLiteral("immediate")); }
    void stop() { stopWith(QStringLiteral("fast")); }
    bool startServer(QString *why)
    {
#ifdef Q_OS_WIN
        m_running = hostRequest(QStringLiteral("start"), why);
        return m_running;
#endif
        const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off "
                                               "-c full_page_writes=off -c max_connections=60")
                                    .arg(m_port)
                                    .arg(m_dir.path());
        if (!runAsServerUser({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_data, QStringLiteral("-o"),
                              options, QStringLiteral("-l"), m_dir.filePath(QStringLiteral("server.log")),
                              QStringLiteral("-w"), QStringLiteral("start")},
                             why))
            return false;
        m_running = true;
        return true;
    }

    // Stops every process of the server (SIGSTOP) as a hung machine would:
    // connections are taken by the system and then nothing answers.
    // resume() lets them go on; stop() and kill() resume first.
#ifdef Q_OS_WIN
    bool pause() { return m_running && hostRequest(QStringLiteral("pause"), nullptr); }
    bool resume() { return m_running && hostRequest(QStringLiteral("resume"), nullptr); }
#else
    bool pause() { return signalAll(SIGSTOP); }
    bool resume() { return signalAll(SIGCONT); }
#endif

    int port() const { return m_port; }
    QString url(const QString &database = QStringLiteral("korvane"), const QString &user = QStringLiteral("korvane")) const
    {
        return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(user).arg(m_port).arg(database);
    }
    store::ServerAddress address(const QString &database = QStringLiteral("korvane")) const
    {
        return *store::ServerAddress::parse(url(database));
    }

    // A new, empty database for one test.
    bool createDatabase(const QString &name, QString *why = nullptr) { return exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(name), why); }
    QString newDatabase()
    {
        const QString name = QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        return createDatabase(name) ? name : QString();
    }
    // A statement run as the superuser in `database`.
    bool exec(const QString &statement, QString *why = nullptr, const QString &database = QStringLiteral("postgres"))
    {
        const QString connection = QStringLiteral("pgserver-admin-%1").arg(QUuid::createUuid().toString());
        bool done = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            address(database).applyTo(db);
            if (db.open()) {
                QSqlQuery query(db);
                done = query.exec(statement);
                if (!done && why)
                    *why = query.lastError().text();
            } else if (why) {
                *why = db.lastError().text();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
        return done;
    }

private:
    // pg_ctl's shutdown mode: "fast" ends the sessions cleanly, "immediate"
    // leaves them as a crash would.
    void stopWith(const QString &mode)
    {
        if (!m_running)
            return;
#ifdef Q_OS_WIN
        hostRequest(mode, nullptr);
        m_running = false;
        return;
#endif
        resume();
        QString ignored;
        runAsServerUser({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_data, QStringLiteral("-m"), mode,
                         QStringLiteral("-w"), QStringLiteral("stop")},
                        &ignored);
        m_running = false;
    }
#ifndef Q_OS_WIN
    // The postmaster, from its pid file, and its children, from /proc.
    QList<pid_t> serverProcesses() const
    {
        QFile pidFile(m_data + QStringLiteral("/postmaster.pid"));
        if (!pidFile.open(QIODevice::ReadOnly))
            return {};
        const pid_t postmaster = pid_t(pidFile.readLine().trimmed().toInt());
        if (postmaster <= 0)
            return {};
        QList<pid_t> processes{postmaster};
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &entry : entries) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            // pid (name) state ppid ...; the name may hold blanks.
            const QByteArray line = stat.readAll();
            const QList<QByteArray> after = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (after.size() > 1 && after.at(1).toInt() == postmaster)
                processes << pid_t(entry.toInt());
        }
        return processes;
    }
    bool signalAll(int signal)
    {
        if (!m_running)
            return false;
        // The postmaster first when stopping, so that it forks nothing new
        // meanwhile; last when going on.
        QList<pid_t> processes = serverProcesses();
        if (signal == SIGCONT)
            std::reverse(processes.begin(), processes.end());
        bool all = !processes.isEmpty();
        for (const pid_t pid : processes)
            all = (::kill(pid, signal) == 0 || errno == ESRCH) && all;   // a session that just ended
        return all;
    }
#endif
#ifdef Q_OS_WIN
    // One request to the host ("fresh", "start", "fast", "immediate",
    // "pause", "resume"), written whole under its name, and its answer
    // waited for: "ok", or why not.
    bool hostRequest(const QString &command, QString *why)
    {
        const QDir control(m_control);
        const QString answerFile = control.filePath(QStringLiteral("answer"));
        QFile::remove(answerFile);
        QFile request(control.filePath(QStringLiteral("request.part")));
        if (!request.open(QIODevice::WriteOnly) || request.write(command.toUtf8()) < 0)
            return fail(why, QStringLiteral("cannot ask the host: %1").arg(request.errorString()));
        request.close();
        if (!QFile::rename(request.fileName(), control.filePath(QStringLiteral("request"))))
            return fail(why, QStringLiteral("cannot ask the host in %1").arg(m_control));
        QDeadlineTimer deadline(120000);
        while (!QFile::exists(answerFile) && !deadline.hasExpired())
            QThread::msleep(20);
        QFile answer(answerFile);
        if (!answer.open(QIODevice::ReadOnly))
            return fail(why, QStringLiteral("the host did not answer \"%1\"").arg(command));
        const QString said = QString::fromUtf8(answer.readAll()).trimmed();
        answer.close();
        QFile::remove(answerFile);
        return said == QLatin1String("ok") || fail(why, said);
    }
    QString m_control;
#endif
    static bool runsAsRoot()
    {
#ifdef Q_OS_WIN
        return false;
#else
        return ::geteuid() == 0;
#endif
    }
    static bool fail(QString *why, const QString &reason)
    {
        if (why)
            *why = reason;
        return false;
    }
    static QString binFolder()
    {
#ifdef Q_OS_WIN
        return QString();   // Linux programs, which a Windows build cannot start
#endif
        QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
        for (const QString &version : versions) {
            const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(version);
            if (QFile::exists(bin + QStringLiteral("/initdb")))
                return bin;
        }
        return QString();
    }
    static int freePort()
    {
#ifdef Q_OS_WIN
        return 0;
#else
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        int port = 0;
        if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
            && ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        ::close(s);
        return port;
#endif
    }
    bool run(const QStringList &command, QString *why)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(command.first(), command.mid(1));
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return fail(why, command.join(QLatin1Char(' ')) + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll()));
        return true;
    }
    bool runAsServerUser(const QStringList &command, QString *why)
    {
        if (!runsAsRoot())
            return run(command, why);
        return run(QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")}
                       + command,
                   why);
    }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/korvane-pg-XXXXXX")};
    QString m_bin;
    QString m_data;
    int m_port = 0;
    bool m_running = false;
};

} // namespace testsupport
