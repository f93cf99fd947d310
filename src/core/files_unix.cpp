#include "core/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

FileKind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::Ordinary;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    if (S_ISFIFO(mode))
        return FileKind::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return FileKind::Device;
    if (S_ISSOCK(mode))
        return FileKind::Socket;
    return FileKind::Other;
}

} // namespace

FileKind fileKind(const QString &path, bool followLinks)
{
    struct stat info {};
    const QByteArray name = encoded(path);
    if (::lstat(name.constData(), &info) != 0)
        return FileKind::Missing;
    if (!S_ISLNK(info.st_mode))
        return kindOf(info.st_mode);
    if (::stat(name.constData(), &info) != 0)
        return FileKind::DanglingLink;
    return followLinks ? kindOf(info.st_mode) : FileKind::Other;
}

bool isSymLink(const QString &path)
{
    struct stat info {};
    return ::lstat(encoded(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

int openOrdinaryForReading(const QString &path, QString *reason)
{
    // O_NONBLOCK keeps open() from waiting for a writer on a named pipe; the
    // kind is then read from the descriptor, so nothing can be swapped in
    // between a check and the open.
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (reason)
            *reason = errnoText(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        if (reason)
            *reason = QCoreApplication::translate("Files", "it is %1, not an ordinary file").arg(describe(kindOf(info.st_mode)));
        return -1;
    }
    // Reads of an ordinary file never block; the flag is dropped so that
    // libraries reading the descriptor see a plain one.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool createPrivateFile(const QString &path, QString *reason)
{
    const int fd = ::open(encoded(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        if (reason)
            *reason = errnoText(errno);
        return false;
    }
    ::close(fd);
    return true;
}

bool createPrivateFolder(const QString &path, QString *reason)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // The parents first, from the outermost missing one inwards.
    QStringList missing;
    for (QString current = clean; fileKind(current) == FileKind::Missing;) {
        missing.prepend(current);
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            break;
        current = parent;
    }
    for (const QString &folder : missing) {
        if (::mkdir(encoded(folder).constData(), 0700) != 0 && errno != EEXIST) {
            if (reason)
                *reason = errnoText(errno);
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
    struct stat named {};
    struct stat output {};
    return ::stat(encoded(path).constData(), &named) == 0 && ::fstat(STDOUT_FILENO, &output) == 0
        && named.st_dev == output.st_dev && named.st_ino == output.st_ino;
}

bool folderIsWritable(const QString &folder)
{
    // The effective identity decides, as it does for the writes that follow.
    return ::faccessat(AT_FDCWD, encoded(folder.isEmpty() ? QStringLiteral(".") : folder).constData(), W_OK | X_OK,
                       AT_EACCESS)
        == 0;
}

bool syncPath(const QString &path, bool directory)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | (directory ? O_DIRECTORY : 0));
    if (fd < 0)
        return false;
    const int result = ::fsync(fd);
    ::close(fd);
    return result == 0 || directory; // some file systems refuse to sync a folder
}

void closeDescriptor(int fd)
{
    ::close(fd);
}

QByteArray narrowFileName(const QString &path)
{
    return encoded(QFileInfo(path).absoluteFilePath());
}

bool renameInFileSystem(const QString &from, const QString &to, bool *otherFileSystem, QString *reason)
{
    *otherFileSystem = false;
    if (::rename(encoded(from).constData(), encoded(to).constData()) == 0)
        return true;
    *otherFileSystem = errno == EXDEV;
    if (reason)
        *reason = errnoText(errno);
    return false;
}

} // namespace platform
