#pragma once

// Looking at a path before it is opened or replaced: a working folder may
// hold links, named pipes or device nodes (an unpacked archive, a share),
// and opening a named pipe for reading blocks until a writer comes.

#include <QByteArray>
#include <QString>

class QFile;

namespace platform {

enum class FileKind {
    Missing,      // nothing there
    Ordinary,     // an ordinary file (for followed links: a link to one)
    Folder,
    DanglingLink, // a link whose target is missing
    Fifo,
    Device,
    Socket,
    Other,
};

// What `path` is.  A link is followed when `followLinks`; otherwise a link
// to an existing file is Other (and one to a missing file DanglingLink).
FileKind fileKind(const QString &path, bool followLinks = true);
// Whether `path` itself is a symbolic link (dangling or not).
bool isSymLink(const QString &path);
// "a named pipe (FIFO)", "a folder", ... for the messages that refuse a file.
QString describe(FileKind kind);

// Opens an ordinary file for reading without ever blocking on a named pipe
// or a device: the kind is checked on the opened descriptor.  Returns the
// descriptor, or -1 with `reason` set.
int openOrdinaryForReading(const QString &path, QString *reason = nullptr);
// Closes a descriptor openOrdinaryForReading() gave.
void closeDescriptor(int fd);
// Opens `file` on an ordinary file for reading, as openOrdinaryForReading()
// does; false with `reason` set otherwise.
bool openOrdinary(QFile &file, const QString &path, QString *reason = nullptr);
// The first `count` bytes of an ordinary file; empty for anything else.
QByteArray readHead(const QString &path, qint64 count);

// Creates a new, empty file readable and writable by its owner only (the
// data in it is personal); false when anything is in the way.
bool createPrivateFile(const QString &path, QString *reason = nullptr);
// Creates `path` and its missing parents as folders readable by their owner
// only; an existing folder keeps its permissions.
bool createPrivateFolder(const QString &path, QString *reason = nullptr);

// Whether `path` names the file this process's standard output goes to
// (as /dev/stdout does): the same file, pipe or terminal as descriptor 1.
bool namesStandardOutput(const QString &path);

// Whether new entries can be made in `folder` by this process.
bool folderIsWritable(const QString &folder);

// Makes a file's content, or a folder's entries, durable; false when the
// file could not be synced (a folder that refuses counts as synced).
bool syncPath(const QString &path, bool directory);
void syncFolder(const QString &folder);
// Renames `from` to `to` where both are on the same file system, never
// copying; `otherFileSystem` tells that they are not.  An existing `to` is
// replaced where the system allows it.
bool renameInFileSystem(const QString &from, const QString &to, bool *otherFileSystem, QString *reason = nullptr);
// The name by which the C library's fopen() opens the existing file `path`,
// for libraries that take 8-bit names: the absolute path in the local 8-bit
// encoding; on Windows, where that is the ANSI code page, the short name the
// system keeps for it when the path does not fit that code page or is too
// long for it.  Empty when there is no such name.
QByteArray narrowFileName(const QString &path);
// Whether two ordinary files hold the same bytes (size and checksum).
bool sameContent(const QString &a, const QString &b);

} // namespace platform
