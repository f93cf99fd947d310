#include "core/winpaths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace core {

bool isReservedDeviceName(const QString &fileName)
{
    // Windows drops trailing dots and blanks, and the extension does not
    // matter: "nul.txt" and "CON ." are the devices too.
    static const QRegularExpression reserved(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]|CONIN\\$|CONOUT\\$)[ .]*(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return reserved.match(fileName).hasMatch();
}

QString extendedLengthPath(const QString &absoluteNativePath)
{
    const QString &path = absoluteNativePath;
    if (path.startsWith(QLatin1String("\\\\?\\")) || path.startsWith(QLatin1String("\\\\.\\")))
        return path;
    if (path.startsWith(QLatin1String("\\\\")))
        return QStringLiteral("\\\\?\\UNC\\") + path.mid(2);
    return QStringLiteral("\\\\?\\") + path;
}

bool isNetworkPathName(const QString &absoluteNativePath)
{
    const QString &path = absoluteNativePath;
    if (path.startsWith(QLatin1String("\\\\?\\UNC\\"), Qt::CaseInsensitive))
        return true;
    return path.startsWith(QLatin1String("\\\\")) && !path.startsWith(QLatin1String("\\\\?\\"))
        && !path.startsWith(QLatin1String("\\\\.\\"));
}

#ifdef Q_OS_WIN
std::wstring windowsPath(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    if (native.startsWith(QLatin1String("\\\\?\\")) || native.startsWith(QLatin1String("\\\\.\\")))
        return native.toStdWString();
    const QString absolute = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    return extendedLengthPath(absolute).toStdWString();
}

QString windowsError(unsigned long error)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, DWORD(error), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    QString message = length > 0 ? QString::fromWCharArray(text, int(length)).trimmed()
                                 : QStringLiteral("error %1").arg(error);
    LocalFree(text);
    // A reason, as strerror() gives it: the sentences it goes into end
    // with their own period.
    if (message.endsWith(u'.'))
        message.chop(1);
    return message;
}
#endif

} // namespace core
