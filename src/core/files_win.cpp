#include "core/files.h"

#include "core/winpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <sddl.h>

// The Windows meaning of the checks: links are symbolic links and junctions
// (other reparse points, such as files a cloud folder keeps online, are the
// files they stand for); named pipes live under \\.\pipe\; devices are the
// reserved names (CON, NUL, COM1, ...) and the \\.\ namespace; private
// files and folders get an access list that lets in their owner and the
// system alone.

namespace platform {
namespace {

using core::windowsError;
using core::windowsPath;

struct Attributes {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    DWORD reparseTag = 0;
};

// The entry itself, not what a link points to.
Attributes attributesOf(const std::wstring &path)
{
    Attributes result;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return result;
    result.attributes = data.dwFileAttributes;
    if (result.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW(path.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            result.reparseTag = found.dwReserved0;
            FindClose(search);
        }
    }
    return result;
}

bool isLink(const Attributes &entry)
{
    return entry.attributes != INVALID_FILE_ATTRIBUTES && (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        && (entry.reparseTag == IO_REPARSE_TAG_SYMLINK || entry.reparseTag == IO_REPARSE_TAG_MOUNT_POINT);
}

FileKind kindOfHandle(HANDLE handle)
{
    switch (GetFileType(handle)) {
    case FILE_TYPE_DISK: {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(handle, &info))
            return FileKind::Other;
        return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Ordinary;
    }
    case FILE_TYPE_PIPE:
        return FileKind::Fifo;
    case FILE_TYPE_CHAR:
        return FileKind::Device;
    default:
        return FileKind::Other;
    }
}

// What a name in the device namespace, or a reserved device name in any
// folder, stands for; Missing for any other name.
FileKind deviceKind(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    if (native.startsWith(QLatin1String("\\\\.\\pipe\\"), Qt::CaseInsensitive))
        return FileKind::Fifo;
    if (native.startsWith(QLatin1String("\\\\.\\")))
        return FileKind::Device;
    return core::isReservedDeviceName(QFileInfo(native).fileName()) ? FileKind::Device : FileKind::Missing;
}

// The access list of private files and folders: full access for the user
// this process runs as and for the system, inherited by what is made inside,
// nothing for anyone else.  Null when it cannot be made (the system's
// default then applies).
SECURITY_ATTRIBUTES *privateSecurity()
{
    struct Private {
        SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
        bool valid = false;
    };
    static Private made = [] {
        Private p;
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return p;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<char> buffer(size);
        LPWSTR sid = nullptr;
        if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)
            && ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &sid)) {
            const std::wstring sddl = L"D:P(A;OICI;FA;;;" + std::wstring(sid) + L")(A;OICI;FA;;;SY)";
            LocalFree(sid);
            PSECURITY_DESCRIPTOR descriptor = nullptr;
            if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                                     nullptr)) {
                p.attributes.lpSecurityDescriptor = descriptor; // kept for the program's life
                p.valid = true;
            }
        }
        CloseHandle(token);
        return p;
    }();
    return made.valid ? &made.attributes : nullptr;
}

} // namespace

FileKind fileKind(const QString &path, bool followLinks)
{
    if (const FileKind device = deviceKind(path); device != FileKind::Missing)
        return device;
    const std::wstring name = windowsPath(path);
    const Attributes entry = attributesOf(name);
    if (entry.attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME
                || error == ERROR_BAD_NETPATH
            ? FileKind::Missing
            : FileKind::Other;
    }
    if (!isLink(entry))
        return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Ordinary;
    // A link: what it points to, opened without reading or writing.
    const HANDLE target = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (target == INVALID_HANDLE_VALUE)
        return FileKind::DanglingLink;
    const FileKind kind = kindOfHandle(target);
    CloseHandle(target);
    return followLinks ? kind : FileKind::Other;
}

bool isSymLink(const QString &path)
{
    return deviceKind(path) == FileKind::Missing && isLink(attributesOf(windowsPath(path)));
}

int openOrdinaryForReading(const QString &path, QString *reason)
{
    // A device is never opened: opening COM1 or a pipe's server end does
    // things of its own.  Any other name is opened, and its kind read from
    // the handle, so nothing can be swapped in between.
    if (const FileKind device = deviceKind(path); device != FileKind::Missing) {
        if (reason)
            *reason = QCoreApplication::translate("Files", "it is %1, not an ordinary file").arg(describe(device));
        return -1;
    }
    const HANDLE handle = CreateFileW(windowsPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (reason)
            *reason = windowsError(GetLastError());
        return -1;
    }
    const FileKind kind = kindOfHandle(handle);
    if (kind != FileKind::Ordinary) {
        CloseHandle(handle);
        if (reason)
            *reason = QCoreApplication::translate("Files", "it is %1, not an ordinary file").arg(describe(kind));
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        const int error = errno;
        CloseHandle(handle);
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(error));
    }
    return fd;
}

void closeDescriptor(int fd)
{
    _close(fd);
}

bool createPrivateFile(const QString &path, QString *reason)
{
    if (const FileKind device = deviceKind(path); device != FileKind::Missing) {
        if (reason)
            *reason = QCoreApplication::translate("Files", "it is %1, not an ordinary file").arg(describe(device));
        return false;
    }
    // CREATE_NEW with the reparse point itself: a link in the way, dangling
    // or not, is never followed.
    const HANDLE handle = CreateFileW(windowsPath(path).c_str(), GENERIC_WRITE, 0, privateSecurity(), CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (reason)
            *reason = windowsError(GetLastError());
        return false;
    }
    CloseHandle(handle);
    return true;
}

bool createPrivateFolder(const QString &path, QString *reason)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList missing;
    for (QString current = clean; fileKind(current) == FileKind::Missing;) {
        missing.prepend(current);
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            break;
        current = parent;
    }
    for (const QString &folder : missing) {
        if (!CreateDirectoryW(windowsPath(folder).c_str(), privateSecurity())
            && GetLastError() != ERROR_ALREADY_EXISTS) {
            if (reason)
                *reason = windowsError(GetLastError());
            return false;
        }
    }
    if (fileKind(clean) != FileKind::Folder) {
        if (reason)
            *reason = QCoreApplication::translate("Files", "it is %1, not a folder").arg(describe(fileKind(clean)));
        return false;
    }
    return true;
}

bool namesStandardOutput(const QString &path)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE)
        return false;
    // The names scripts use for it: the Unix one, and the console's.
    if (path == QLatin1String("/dev/stdout"))
        return true;
    if (path.compare(QLatin1String("CONOUT$"), Qt::CaseInsensitive) == 0
        || path.compare(QLatin1String("CON"), Qt::CaseInsensitive) == 0)
        return GetFileType(output) == FILE_TYPE_CHAR;
    BY_HANDLE_FILE_INFORMATION out{};
    if (GetFileType(output) != FILE_TYPE_DISK || !GetFileInformationByHandle(output, &out))
        return false;
    const HANDLE named = CreateFileW(windowsPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool same = GetFileInformationByHandle(named, &info)
        && info.dwVolumeSerialNumber == out.dwVolumeSerialNumber && info.nFileIndexHigh == out.nFileIndexHigh
        && info.nFileIndexLow == out.nFileIndexLow;
    CloseHandle(named);
    return same;
}

bool folderIsWritable(const QString &folder)
{
    // Access lists, inherited rights and read-only shares all decide: the
    // only sure answer is a file made there (and gone again on closing).
    const QString base = QDir(folder.isEmpty() ? QStringLiteral(".") : folder)
                             .filePath(QStringLiteral(".korvane-writable-%1-").arg(GetCurrentProcessId()));
    for (int attempt = 0; attempt < 16; ++attempt) {
        const HANDLE probe = CreateFileW(windowsPath(base + QString::number(attempt)).c_str(), GENERIC_WRITE, 0,
                                         nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                         nullptr);
        if (probe != INVALID_HANDLE_VALUE) {
            CloseHandle(probe);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

bool syncPath(const QString &path, bool directory)
{
    // Windows writes a folder's entries through by itself.
    if (directory)
        return true;
    const HANDLE handle = CreateFileW(windowsPath(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(handle);
    CloseHandle(handle);
    return flushed;
}

QByteArray narrowFileName(const QString &path)
{
    // The ANSI calls take MAX_PATH characters at most, and a character the
    // code page lacks comes back as '?'.
    const auto narrow = [](const QString &name) {
        const QByteArray bytes = name.toLocal8Bit();
        return bytes.size() < MAX_PATH && QString::fromLocal8Bit(bytes) == name ? bytes : QByteArray();
    };
    const QByteArray direct = narrow(QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath())));
    if (!direct.isEmpty())
        return direct;
    const std::wstring wide = windowsPath(path);
    std::wstring shortName(MAX_PATH, L'\0');
    DWORD length = GetShortPathNameW(wide.c_str(), shortName.data(), DWORD(shortName.size()));
    if (length >= shortName.size()) {
        shortName.resize(length);
        length = GetShortPathNameW(wide.c_str(), shortName.data(), DWORD(shortName.size()));
    }
    if (length == 0 || length >= shortName.size())
        return {};
    shortName.resize(length);
    // Back from the extended-length form the wide calls were given.
    QString name = QString::fromStdWString(shortName);
    if (name.startsWith(QLatin1String("\\\\?\\UNC\\")))
        name = QLatin1String("\\\\") + name.mid(8);
    else if (name.startsWith(QLatin1String("\\\\?\\")))
        name = name.mid(4);
    return narrow(name);
}

bool renameInFileSystem(const QString &from, const QString &to, bool *otherFileSystem, QString *reason)
{
    *otherFileSystem = false;
    // Without MOVEFILE_COPY_ALLOWED: a move to another drive fails instead
    // of copying unchecked.
    if (MoveFileExW(windowsPath(from).c_str(), windowsPath(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = GetLastError();
    *otherFileSystem = error == ERROR_NOT_SAME_DEVICE;
    if (reason)
        *reason = windowsError(error);
    return false;
}

} // namespace platform
