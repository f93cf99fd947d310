#pragma once

// Path names as Windows reads them.  The string functions are plain and
// available everywhere; the calls into the system only on Windows.

#include <QString>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <string>
#endif

namespace core {

// Whether `fileName` is one of the names Windows keeps for devices in every
// folder (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an extension or
// trailing blanks and dots, in any letter case).
bool isReservedDeviceName(const QString &fileName);

// An absolute path with backslashes in the form that lifts the 260-character
// limit: "\\?\C:\..." or "\\?\UNC\server\share\...".  Paths already in that
// form, or in the device namespace "\\.\", stay as they are.
QString extendedLengthPath(const QString &absoluteNativePath);

// Whether `absoluteNativePath` names a folder or file on another computer by
// its network name ("\\server\share\..." or "\\?\UNC\server\share\...").
bool isNetworkPathName(const QString &absoluteNativePath);

#ifdef Q_OS_WIN
// `path` (any separators, relative to the working folder) for the wide
// Windows calls, in extended-length form.
std::wstring windowsPath(const QString &path);
// The system's text for an error code of GetLastError().
QString windowsError(unsigned long error);
#endif

} // namespace core
