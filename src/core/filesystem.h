#pragma once

// Which kind of file system a folder lies on.  SQLite's locking is not
// reliable on network file systems: two stations writing the same table
// there can damage it, so the program warns about such a folder.

#include <QString>

namespace core {

// Whether a file system of this type (as /proc/self/mountinfo names it:
// "nfs4", "cifs", "fuse.sshfs", ...) keeps its files on another machine.
// FUSE file systems count as network ones, except those on a local block
// device ("fuseblk") and a few known local ones.
bool isNetworkFileSystemType(const QString &type);

// The same for the magic number statfs() gives (f_type), used when the
// mount table cannot be read.  FUSE counts as network.
bool isNetworkFileSystemMagic(long magic);

// The type of the mount that holds `path` (an absolute, canonical path),
// found in the text of /proc/self/mountinfo: the mount with the longest
// mount point that contains the path, the later one of equal ones.  Empty
// when none does.
QString fileSystemTypeInMountInfo(const QString &mountInfo, const QString &path);

// Whether the folder (or file) `path` lies on a network file system.  Reads
// /proc/self/mountinfo, or asks statfs() when that cannot be read; false
// when neither answers.
bool isOnNetworkFileSystem(const QString &path);

} // namespace core
