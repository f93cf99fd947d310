// Holding off the screen saver over D-Bus: a private bus with a stand-in for
// the desktop's org.freedesktop.ScreenSaver service.

#include "platform/screensaver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The desktop's service as far as Korvane uses it, logging every call.
class FakeScreenSaverService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList log;
    uint nextCookie = 41;

public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        log << QStringLiteral("Inhibit:%1:%2:%3").arg(application, reason).arg(nextCookie);
        return nextCookie++;
    }
    void UnInhibit(uint cookie) { log << QStringLiteral("UnInhibit:%1").arg(cookie); }
    // Not part of the service: answered in turn, it tells that every call
    // sent before it has been handled.
    void Ping() {}
};

class TestScreenSaver : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void holdAndRelease_data();
    void holdAndRelease();
    void withoutTheService();
    void withoutABus();

private:
    // Waits until the service has handled everything sent so far, including
    // what the saver sends on answers that were still under way.
    void sync();

    QProcess m_daemon;
    QTemporaryDir m_folder;
    QString m_address;
    std::unique_ptr<FakeScreenSaverService> m_service;
};

void TestScreenSaver::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    QVERIFY2(!daemon.isEmpty(), "dbus-daemon is missing: scripts/install-deps.sh installs it");
    QVERIFY(m_folder.isValid());
    QFile config(m_folder.filePath(QStringLiteral("bus.conf")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral(
        "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
        " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
        "<busconfig><type>session</type><listen>unix:dir=%1</listen>\n"
        "<policy context=\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>\n"
        "<allow own=\"*\"/></policy>\n"
        "</busconfig>\n").arg(m_folder.path()).toUtf8());
    config.close();
    m_daemon.start(daemon, {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                            QStringLiteral("--print-address=1")});
    QVERIFY(m_daemon.waitForStarted());
    QTRY_VERIFY(m_daemon.canReadLine());
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
}

void TestScreenSaver::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("service"));
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

void TestScreenSaver::init()
{
    m_service = std::make_unique<FakeScreenSaverService>();
    QDBusConnection bus = QDBusConnection::connectToBus(m_address, QStringLiteral("service"));
    QVERIFY(bus.isConnected());
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), m_service.get(),
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
}

void TestScreenSaver::cleanup()
{
    QDBusConnection bus(QStringLiteral("service"));
    bus.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
    m_service.reset();
}

void TestScreenSaver::sync()
{
    QDBusConnection client = QDBusConnection::connectToBus(m_address, QStringLiteral("client"));
    // The first answer comes after every answer to an earlier call; the
    // second after what the saver sent on those answers.
    for (int round = 0; round < 2; ++round) {
        QDBusMessage ping = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("Ping"));
        QDBusPendingCallWatcher watcher(client.asyncCall(ping));
        QTRY_VERIFY(watcher.isFinished());
        QVERIFY2(!watcher.isError(), qPrintable(watcher.error().message()));
    }
}

void TestScreenSaver::holdAndRelease_data()
{
    QTest::addColumn<QString>("steps");   // i: inhibit, r: release, s: sync, d: destroy the saver
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<bool>("held");

    const QString inhibit41 = QStringLiteral("Inhibit:Korvane:A test is running:41");
    const QString inhibit42 = QStringLiteral("Inhibit:Korvane:A test is running:42");
    QTest::newRow("held, then given back") << "isrs" << QStringList{inhibit41, "UnInhibit:41"} << false;
    QTest::newRow("held while running") << "is" << QStringList{inhibit41} << true;
    QTest::newRow("asked again: one hold") << "iisirr" << QStringList{inhibit41, "UnInhibit:41"} << false;
    QTest::newRow("released before the answer") << "ir" << QStringList{inhibit41, "UnInhibit:41"} << false;
    QTest::newRow("released and asked again before the answer") << "iri" << QStringList{inhibit41} << true;
    QTest::newRow("release without a hold") << "r" << QStringList{} << false;
    QTest::newRow("two tests in turn")
        << "isrisr" << QStringList{inhibit41, "UnInhibit:41", inhibit42, "UnInhibit:42"} << false;
    QTest::newRow("a hold ends with the saver") << "isd" << QStringList{inhibit41, "UnInhibit:41"} << false;
}

void TestScreenSaver::holdAndRelease()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, log);
    QFETCH(bool, held);

    QDBusConnection client = QDBusConnection::connectToBus(m_address, QStringLiteral("client"));
    auto saver = std::make_unique<platform::FreedesktopScreenSaver>(client);
    for (QChar step : steps) {
        if (step == u'i')
            saver->inhibit(QStringLiteral("A test is running"));
        else if (step == u'r')
            saver->release();
        else if (step == u's')
            sync();
        else if (step == u'd')
            saver.reset();
    }
    sync();
    QCOMPARE(m_service->log, log);
    if (saver)
        QCOMPARE(saver->isHeld(), held);
}

void TestScreenSaver::withoutTheService()
{
    cleanup();
    QDBusConnection client = QDBusConnection::connectToBus(m_address, QStringLiteral("client"));
    platform::FreedesktopScreenSaver saver(client);
    saver.inhibit(QStringLiteral("A test is running"));
    // The bus answers in turn: once this answer has been handled, so has
    // the refusal of the call to the missing service.
    QDBusPendingCallWatcher watcher(client.interface()->asyncCall(QStringLiteral("GetId")));
    bool answered = false;
    connect(&watcher, &QDBusPendingCallWatcher::finished, this, [&] { answered = true; });
    QTRY_VERIFY(answered);
    QVERIFY(!saver.isHeld());
    saver.release();

    // A service that comes later is asked on the next test.
    init();
    saver.inhibit(QStringLiteral("A test is running"));
    sync();
    QCOMPARE(m_service->log, QStringList{QStringLiteral("Inhibit:Korvane:A test is running:41")});
    QVERIFY(saver.isHeld());
}

void TestScreenSaver::withoutABus()
{
    QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                         QStringLiteral("none"));
    QVERIFY(!none.isConnected());
    platform::FreedesktopScreenSaver saver(none);
    saver.inhibit(QStringLiteral("A test is running"));
    saver.release();
    QVERIFY(!saver.isHeld());
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}

QTEST_GUILESS_MAIN(TestScreenSaver)
#include "tst_screensaver.moc"
