#include "core/filesystem.h"

#include <QStringList>

namespace core {
namespace {

// Magic numbers from <linux/magic.h> and the file systems' own headers (of
// 32 bits, which a long on Windows is not wide enough to hold unsigned).
constexpr qint64 kNfsMagic = 0x6969;
constexpr qint64 kSmbMagic = 0x517B;
constexpr qint64 kCifsMagic = 0xFF534D42;
constexpr qint64 kSmb2Magic = 0xFE534D42;
constexpr qint64 kFuseMagic = 0x65735546;
constexpr qint64 kCodaMagic = 0x73757245;
constexpr qint64 kAfsMagic = 0x5346414F;
constexpr qint64 kAfsFsMagic = 0x6B414653;
constexpr qint64 kNcpMagic = 0x564C;
constexpr qint64 kCephMagic = 0x00C36400;
constexpr qint64 kV9fsMagic = 0x01021997;

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
    switch (qint64(magic) & 0xFFFFFFFF) {
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

} // namespace core
