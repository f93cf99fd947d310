#include "core/filesystem.h"

#include <QFile>
#include <QFileInfo>

#include <sys/vfs.h>

namespace core {

bool isOnNetworkFileSystem(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty()) {
        QFile mounts(QStringLiteral("/proc/self/mountinfo"));
        // A file of /proc reports no size: read it to its end.
        if (mounts.open(QIODevice::ReadOnly)) {
            const QString type = fileSystemTypeInMountInfo(QString::fromUtf8(mounts.readAll()), canonical);
            if (!type.isEmpty())
                return isNetworkFileSystemType(type);
        }
    }
    struct statfs info {};
    if (statfs(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return isNetworkFileSystemMagic(static_cast<long>(info.f_type));
}

} // namespace core
