#pragma once

// Links, named pipes and permissions made in a temporary folder for the
// tests, and the guards that keep such a test from hanging or from being
// fooled by root.

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

#ifdef Q_OS_WIN
#include <QDir>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#else
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace special {

#ifdef Q_OS_WIN
// Windows keeps named pipes in a namespace of their own (\\.\pipe\), never
// in a folder; the tests of such pipes have nothing to make there.
inline bool makeFifo(const QString &) { return false; }

// True only when the link is there afterwards: Wine 8 answers the call with
// success and makes nothing.
inline bool makeLink(const QString &target, const QString &link)
{
    const DWORD folder = QFileInfo(target).isDir() ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    const QString nativeLink = QDir::toNativeSeparators(link);
    const QString nativeTarget = QDir::toNativeSeparators(target);
    if (!CreateSymbolicLinkW(reinterpret_cast<const wchar_t *>(nativeLink.utf16()),
                             reinterpret_cast<const wchar_t *>(nativeTarget.utf16()),
                             folder | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        return false;
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(nativeLink.utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The Windows meaning of the private modes: 0700 for a folder and 0600 for a
// file whose access list lets in its owner and the system alone, inheriting
// nothing; 0755 and 0644 for anything more open.  0 when there is nothing.
inline unsigned mode(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return 0;
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                              SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl, nullptr,
                              &descriptor)
        != ERROR_SUCCESS)
        return 0;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    bool owned = acl != nullptr && GetSecurityDescriptorControl(descriptor, &control, &revision)
        && (control & SE_DACL_PROTECTED);
    HANDLE token = nullptr;
    char user[256] = {};
    DWORD size = sizeof user;
    owned = owned && OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)
        && GetTokenInformation(token, TokenUser, user, size, &size);
    if (token)
        CloseHandle(token);
    PSID self = owned ? reinterpret_cast<TOKEN_USER *>(user)->User.Sid : nullptr;
    for (DWORD i = 0; owned && i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE *ace = nullptr;
        if (!GetAce(acl, i, reinterpret_cast<void **>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) {
            owned = false;
            break;
        }
        PSID sid = &ace->SidStart;
        owned = EqualSid(sid, self) || IsWellKnownSid(sid, WinLocalSystemSid);
    }
    LocalFree(descriptor);
    if (info.isDir())
        return owned ? 0700u : 0755u;
    return owned ? 0600u : 0644u;
}

// Whether a file made with an access list of its own reads it back: Wine
// keeps the inherited list instead.
inline bool accessListsKept()
{
    static const bool kept = [] {
        wchar_t folder[MAX_PATH + 1] = {};
        wchar_t name[MAX_PATH + 1] = {};
        if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"acl", 0, name))
            return false;
        DeleteFileW(name);
        HANDLE token = nullptr;
        char user[256] = {};
        DWORD size = sizeof user;
        LPWSTR sid = nullptr;
        const bool known = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)
            && GetTokenInformation(token, TokenUser, user, size, &size)
            && ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(user)->User.Sid, &sid);
        if (token)
            CloseHandle(token);
        if (!known)
            return false;
        const QString sddl = QStringLiteral("D:P(A;;FA;;;%1)(A;;FA;;;SY)").arg(QString::fromWCharArray(sid));
        LocalFree(sid);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(reinterpret_cast<const wchar_t *>(sddl.utf16()),
                                                                  SDDL_REVISION_1, &descriptor, nullptr))
            return false;
        SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
        const HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, &attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        LocalFree(descriptor);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        const bool result = mode(QString::fromWCharArray(name)) == 0600u;
        DeleteFileW(name);
        return result;
    }();
    return kept;
}

// Nothing to guard: no named pipe can be made in a folder.
class FifoGuard {
public:
    explicit FifoGuard(const QString &, int = 3) {}
    bool disarm() { return false; }
};

// Permissions are access lists, which the tests read otherwise.
class ObeyPermissions {
public:
    bool active() const { return false; }
};
#else

inline bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

inline bool makeLink(const QString &target, const QString &link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

// Modes are always kept.
inline bool accessListsKept()
{
    return true;
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

#endif

} // namespace special

// In a test function: makes the link or the named pipe, and fails the test
// when that fails; on Windows, which has no named pipes in folders and may
// refuse links to the user, skips the row instead.
#ifdef Q_OS_WIN
#define SPECIAL_MAKE_LINK(target, link)                                                                    \
    do {                                                                                                   \
        if (!special::makeLink(target, link))                                                              \
            QSKIP("this system makes no symbolic links for this user");                                    \
    } while (false)
#define SPECIAL_MAKE_FIFO(path) QSKIP("Windows has no named pipes in folders")
#else
#define SPECIAL_MAKE_LINK(target, link) QVERIFY(special::makeLink(target, link))
#define SPECIAL_MAKE_FIFO(path) QVERIFY(special::makeFifo(path))
#endif
