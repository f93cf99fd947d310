#pragma once

// Links, named pipes and permissions made in a temporary folder for the
// tests, and the guards that keep such a test from hanging or from being
// fooled by root.

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace special {

inline bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

inline bool makeLink(const QString &target, const QString &link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

inline unsigned mode(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

// Opens the writing end of `fifo` after `seconds` unless disarmed, so that a
// reader blocked on it returns and the test fails instead of hanging.
class FifoGuard {
public:
    explicit FifoGuard(const QString &fifo, int seconds = 3)
        : m_thread([this, name = QFile::encodeName(fifo), seconds] {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
            while (!m_disarmed && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            while (!m_disarmed) {
                const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    m_fired = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        })
    {
    }
    ~FifoGuard() { disarm(); }
    // True when a reader had to be released: the code under test blocked.
    bool disarm()
    {
        m_disarmed = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_fired;
    }

private:
    std::atomic<bool> m_disarmed{false};
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};

// Makes this thread obey file permissions while it lives, also as root (by
// lowering CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH from the effective set);
// active() is false when that is not possible.
class ObeyPermissions {
public:
    ObeyPermissions()
    {
        if (::geteuid() != 0) {
            m_active = true;
            return;
        }
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (::syscall(SYS_capget, &header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = ::syscall(SYS_capset, &header, lowered) == 0;
        m_lowered = m_active;
    }
    ~ObeyPermissions()
    {
        if (m_lowered) {
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            ::syscall(SYS_capset, &header, m_saved);
        }
    }
    ObeyPermissions(const ObeyPermissions &) = delete;
    ObeyPermissions &operator=(const ObeyPermissions &) = delete;
    bool active() const { return m_active; }

private:
    __user_cap_data_struct m_saved[2]{};
    bool m_active = false;
    bool m_lowered = false;
};

} // namespace special
