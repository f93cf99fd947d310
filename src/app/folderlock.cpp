#include "app/folderlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

namespace app {

FolderLock::FolderLock() = default;
FolderLock::~FolderLock() = default;

QString FolderLock::lockFileName()
{
    return QStringLiteral(".korvane.lock");
}

std::optional<QString> FolderLock::acquire(const QString &folder)
{
    // Absolute: the lock file is removed by its name when the lock goes,
    // which may be after the working folder changed.
    const QString path = QDir(QFileInfo(folder).absoluteFilePath()).filePath(lockFileName());
    auto lock = std::make_unique<QLockFile>(path);
    // Stale only when its process is gone, however long a Korvane runs.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        m_folder = QFileInfo(folder).canonicalFilePath();
        return std::nullopt;
    }
    if (lock->error() != QLockFile::LockFailedError)
        return std::nullopt;
    qint64 pid = 0;
    QString host;
    QString application;
    const QString shown = QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath());
    if (!lock->getLockInfo(&pid, &host, &application)) {
        return QCoreApplication::translate("FolderLock",
                                           "Another Korvane is working in the folder %1 (its lock file \"%2\" is "
                                           "there). Close it first, or start Korvane in another folder.")
            .arg(shown, lockFileName());
    }
    return QCoreApplication::translate("FolderLock", "Another Korvane (process %1 on %2) is working in the folder "
                                                     "%3. Close it first, or start Korvane in another folder.")
        .arg(QString::number(pid),
             host.isEmpty() ? QCoreApplication::translate("FolderLock", "this computer") : host, shown);
}

bool FolderLock::holds(const QString &folder) const
{
    return m_lock && !m_folder.isEmpty() && m_folder == QFileInfo(folder).canonicalFilePath();
}

std::future<std::unique_ptr<FolderLock>> takeFolderLockAhead(const QString &folder)
{
    // Qt counts the first thread that asks for its thread data as its main
    // thread, and the lock's thread reads a lock file already there through
    // QFile: this thread, which makes the application, asks first.
    QThread::currentThread();
    // Absolute now: the thread may run after the working folder changed.
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    return std::async(std::launch::async, [absolute]() -> std::unique_ptr<FolderLock> {
        auto lock = std::make_unique<FolderLock>();
        if (lock->acquire(absolute) || !lock->holds(absolute))
            return nullptr;
        return lock;
    });
}

} // namespace app
