#pragma once

#include <QString>

#include <future>
#include <memory>
#include <optional>

class QLockFile;

namespace app {

// One Korvane per working folder: two would convert the same tables at once
// and remove each other's temporary files.  The lock is a file in the folder,
// held until the object goes; the lock of a process that no longer runs is
// taken over.  The command-line export only reads and takes no lock.
class FolderLock {
public:
    FolderLock();
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Takes the lock of `folder`.  Returns the message naming the process
    // that holds it when another Korvane does.  A folder where no lock file
    // can be made (read-only) is not locked; its tables cannot be written
    // either, which the store reports.
    std::optional<QString> acquire(const QString &folder);

    static QString lockFileName();

    // Whether this object holds the lock of `folder` (the same folder by
    // another name, a link, counts).
    bool holds(const QString &folder) const;

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_folder;
};

// Starts taking the lock of `folder` on a thread of its own and returns the
// lock once taken, or none when it was not (another Korvane holds it, or no
// lock file can be made there; FolderLock::acquire says which).  QLockFile
// writes its file through to the disk, milliseconds that the start spends
// connecting to the display meanwhile.
std::future<std::unique_ptr<FolderLock>> takeFolderLockAhead(const QString &folder);

} // namespace app
