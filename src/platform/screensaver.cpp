#include "platform/screensaver.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

namespace platform {
namespace {

const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString path = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString interface = QStringLiteral("org.freedesktop.ScreenSaver");
const QString applicationName = QStringLiteral("Korvane");

// Stands in before the application object exists, and after it is gone.
class NoScreenSaver final : public ScreenSaver {
public:
    void inhibit(const QString &) override {}
    void release() override {}
};

ScreenSaver *installed = nullptr;

} // namespace

FreedesktopScreenSaver::FreedesktopScreenSaver(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
}

FreedesktopScreenSaver::~FreedesktopScreenSaver()
{
    if (m_cookie)
        giveBack(*m_cookie);
}

void FreedesktopScreenSaver::inhibit(const QString &reason)
{
    m_wanted = true;
    if (m_asking || m_cookie || !m_bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Inhibit"));
    call << applicationName << reason;
    m_asking = true;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<uint> reply = *finished;
        // A desktop without the service answers with an error: nothing is held.
        answered(reply.isError() ? std::nullopt : std::optional<uint>(reply.value()));
    });
}

void FreedesktopScreenSaver::release()
{
    m_wanted = false;
    if (m_cookie) {
        giveBack(*m_cookie);
        m_cookie.reset();
    }
}

void FreedesktopScreenSaver::answered(std::optional<uint> cookie)
{
    m_asking = false;
    if (!cookie)
        return;
    if (m_wanted)
        m_cookie = cookie;
    else
        giveBack(*cookie);  // released while the service was still answering
}

void FreedesktopScreenSaver::giveBack(uint cookie)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("UnInhibit"));
    call << cookie;
    call.setAutoStartService(false);
    m_bus.send(call);
}

ScreenSaver &screenSaver()
{
    if (installed)
        return *installed;
    // The desktop's screen saver lives as long as the application object, so
    // a hold still in place is given back when the program ends.
    static QPointer<FreedesktopScreenSaver> desktop;
    if (!desktop && QCoreApplication::instance())
        desktop = new FreedesktopScreenSaver(QDBusConnection::sessionBus(), QCoreApplication::instance());
    if (desktop)
        return *desktop;
    static NoScreenSaver none;
    return none;
}

void setScreenSaver(ScreenSaver *screenSaver)
{
    installed = screenSaver;
}

} // namespace platform
