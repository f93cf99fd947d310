#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

#ifndef Q_OS_WIN
#include <QDBusConnection>
#endif

#include <optional>

namespace platform {

// Keeps the screen saver and the power manager's blanking away while a test
// runs, so the athlete can follow the clock.  Both calls return at once;
// where the desktop offers no such service nothing happens and nothing is
// reported.
class ScreenSaver {
public:
    virtual ~ScreenSaver() = default;
    // Holds the screen on.  Asking again while it is held changes nothing.
    virtual void inhibit(const QString &reason) = 0;
    // Lets the screen saver work again.  Does nothing when nothing is held.
    virtual void release() = 0;
};

// The screen saver in use: the desktop's over the session bus (on Windows
// the system's power requests), unless a test installed another.
ScreenSaver &screenSaver();
// Installs a replacement (nullptr restores the desktop's).
void setScreenSaver(ScreenSaver *screenSaver);

#ifdef Q_OS_WIN
// Windows' power requests: while held, the display stays on and the
// computer awake, as for a presentation.  The reason shows in
// `powercfg /requests`.
class PowerRequestScreenSaver final : public ScreenSaver {
public:
    PowerRequestScreenSaver() = default;
    // Gives back a hold that is still in place.
    ~PowerRequestScreenSaver() override;
    PowerRequestScreenSaver(const PowerRequestScreenSaver &) = delete;
    PowerRequestScreenSaver &operator=(const PowerRequestScreenSaver &) = delete;

    void inhibit(const QString &reason) override;
    void release() override;

    // True while the system holds the display on for this program.
    bool isHeld() const { return m_request != nullptr || m_executionState; }

private:
    void *m_request = nullptr;     // the power request's handle
    bool m_executionState = false; // held through the thread's execution state instead
};
#else
// The freedesktop.org screen saver service (org.freedesktop.ScreenSaver) on
// one bus.  The call to the service is asynchronous: a release that comes
// before the service has answered gives the hold back as soon as it arrives.
// A bus that is not connected, or one without the service, is ignored.
class FreedesktopScreenSaver final : public QObject, public ScreenSaver {
    Q_OBJECT
public:
    explicit FreedesktopScreenSaver(const QDBusConnection &bus, QObject *parent = nullptr);
    // Gives back a hold that is still in place.
    ~FreedesktopScreenSaver() override;

    void inhibit(const QString &reason) override;
    void release() override;

    // True while the service holds the screen on for this program.
    bool isHeld() const { return m_cookie.has_value(); }

private:
    void answered(std::optional<uint> cookie);
    void giveBack(uint cookie);

    QDBusConnection m_bus;
    bool m_wanted = false;        // the program wants the screen held
    bool m_asking = false;        // an Inhibit call awaits its answer
    std::optional<uint> m_cookie; // the service's token for the hold
};
#endif

} // namespace platform
