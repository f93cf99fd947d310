#include "core/filesystem.h"

#include "core/winpaths.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

namespace core {

// A folder named by its network name ("\\server\share"), or on a drive
// letter mapped to a share, is on another computer.  Windows answers for
// the volume that holds the path, so a share mounted into a local folder
// counts as well.
bool isOnNetworkFileSystem(const QString &path)
{
    const QString absolute = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (isNetworkPathName(absolute))
        return true;
    wchar_t volume[MAX_PATH + 1] = {};
    const std::wstring name = absolute.toStdWString();
    if (!GetVolumePathNameW(name.c_str(), volume, MAX_PATH))
        return false;
    return GetDriveTypeW(volume) == DRIVE_REMOTE || isNetworkPathName(QString::fromWCharArray(volume));
}

} // namespace core
