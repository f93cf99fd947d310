#include "core/filesystem.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sys/vfs.h>

namespace core {
namespace {

// Magic numbers from <linux/magic.h> and the file systems' own headers.
constexpr long kNfsMagic = 0x6969;
constexpr long kSmbMagic = 0x517B;
constexpr long kCifsMagic = 0xFF534D42;
constexpr long kSmb2Magic = 0xFE534D42;
constexpr long kFuseMagic = 0x65735546;
constexpr long kCodaMagic = 0x73757245;
constexpr long kAfsMagic = 0x5346414F;
constexpr long kAfsFsMagic = 0x6B414653;
constexpr long kNcpMagic = 0x564C;
constexpr long kCephMagic = 0x00C36400;
constexpr long kV9fsMagic = 0x01021997;

// mountinfo writes blanks, tabs, newlines and backslashes in paths as octal
// escapes ("\040").
QString unescapeMountPath(const QString &field)
{
    QString result;
    result.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == u'\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                result += QChar(code);
                i += 3;
                continue;
            }
        }
        result += field.at(i);
    }
    return result;
}

bool contains(const QString &mountPoint, const QString &path)
{
    if (mountPoint == QLatin1String("/"))
        return path.startsWith(u'/');
    return path == mountPoint || path.startsWith(mountPoint + u'/');
}

} // namespace

bool isNetworkFileSystemType(const QString &type)
{
    const QString name = type.trimmed().toLower();
    static const QStringList network = {
        QStringLiteral("nfs"),       QStringLiteral("nfs4"),      QStringLiteral("cifs"),
        QStringLiteral("smb3"),      QStringLiteral("smbfs"),     QStringLiteral("ncpfs"),
        QStringLiteral("afs"),       QStringLiteral("coda"),      QStringLiteral("ceph"),
        QStringLiteral("9p"),        QStringLiteral("glusterfs"), QStringLiteral("lustre"),
        QStringLiteral("davfs"),     QStringLiteral("gfs2"),      QStringLiteral("ocfs2"),
        QStringLiteral("fuse"),
    };
    if (network.contains(name))
        return true;
    if (name.startsWith(QLatin1String("fuse."))) {
        // FUSE file systems that keep their files on this machine.
        static const QStringList local = {
            QStringLiteral("fuse.portal"),  QStringLiteral("fuse.lxcfs"),      QStringLiteral("fuse.bindfs"),
            QStringLiteral("fuse.encfs"),   QStringLiteral("fuse.gocryptfs"),  QStringLiteral("fuse.squashfuse"),
            QStringLiteral("fuse.ntfs-3g"), QStringLiteral("fuse.appimagefs"),
        };
        return !local.contains(name);
    }
    return false;
}

bool isNetworkFileSystemMagic(long magic)
{
    switch (magic & 0xFFFFFFFFL) {
    case kNfsMagic:
    case kSmbMagic:
    case kCifsMagic:
    case kSmb2Magic:
    case kFuseMagic:
    case kCodaMagic:
    case kAfsMagic:
    case kAfsFsMagic:
    case kNcpMagic:
    case kCephMagic:
    case kV9fsMagic:
        return true;
    default:
        return false;
    }
}

QString fileSystemTypeInMountInfo(const QString &mountInfo, const QString &path)
{
    QString type;
    qsizetype longest = -1;
    for (const QStringView line : QStringView(mountInfo).split(u'\n')) {
        // "36 35 98:0 /root /mount/point options [optional fields] - type source options"
        const QList<QStringView> fields = line.split(u' ', Qt::SkipEmptyParts);
        const qsizetype separator = fields.indexOf(u"-");
        if (fields.size() < 5 || separator < 5 || separator + 1 >= fields.size())
            continue;
        const QString mountPoint = unescapeMountPath(fields.at(4).toString());
        if (!contains(mountPoint, path) || mountPoint.size() < longest)
            continue;
        longest = mountPoint.size();
        type = fields.at(separator + 1).toString();
    }
    return type;
}

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
