#include "core/files.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>

#include <optional>

// What is the same on every system; the rest is in files_unix.cpp and
// files_win.cpp.

namespace platform {

QString describe(FileKind kind)
{
    switch (kind) {
    case FileKind::Missing:
        return QCoreApplication::translate("Files", "missing");
    case FileKind::Ordinary:
        return QCoreApplication::translate("Files", "an ordinary file");
    case FileKind::Folder:
        return QCoreApplication::translate("Files", "a folder");
    case FileKind::DanglingLink:
        return QCoreApplication::translate("Files", "a link to a missing file");
    case FileKind::Fifo:
        return QCoreApplication::translate("Files", "a named pipe (FIFO)");
    case FileKind::Device:
        return QCoreApplication::translate("Files", "a device");
    case FileKind::Socket:
        return QCoreApplication::translate("Files", "a socket");
    case FileKind::Other:
        break;
    }
    return QCoreApplication::translate("Files", "no ordinary file");
}

QByteArray readHead(const QString &path, qint64 count)
{
    QFile file;
    if (!openOrdinary(file, path))
        return {};
    return file.read(count);
}

bool openOrdinary(QFile &file, const QString &path, QString *reason)
{
    const int fd = openOrdinaryForReading(path, reason);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        closeDescriptor(fd);
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

void syncFolder(const QString &folder)
{
    syncPath(folder, true);
}

bool sameContent(const QString &a, const QString &b)
{
    auto digest = [](const QString &path, qint64 *size) -> std::optional<QByteArray> {
        QFile file;
        if (!openOrdinary(file, path))
            return std::nullopt;
        *size = file.size();
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (!hash.addData(&file) || file.error() != QFileDevice::NoError)
            return std::nullopt;
        return hash.result();
    };
    qint64 sizeA = -1;
    qint64 sizeB = -2;
    const auto digestA = digest(a, &sizeA);
    const auto digestB = digest(b, &sizeB);
    return digestA && digestB && sizeA == sizeB && *digestA == *digestB;
}

} // namespace platform
