// One Korvane per working folder: the second is told which process holds
// the folder; the lock of a process that has ended is taken over.

#include "app/folderlock.h"
#include "support/specialfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <private/qcoreapplication_p.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

class TstFolderLock : public QObject {
    Q_OBJECT
private slots:
    void secondLockNamesTheHolder_data();
    void secondLockNamesTheHolder();
    void lockTakenAhead_data();
    void lockTakenAhead();
    void lockTakenAheadLeavesTheMainThread();
};

void TstFolderLock::secondLockNamesTheHolder_data()
{
    QTest::addColumn<bool>("holderRuns");
    QTest::newRow("held by a running process") << true;
    QTest::newRow("left by a process that ended") << false;
}

void TstFolderLock::secondLockNamesTheHolder()
{
    QFETCH(bool, holderRuns);
    QTemporaryDir dir;
    app::FolderLock first;
    if (holderRuns) {
        QVERIFY(!first.acquire(dir.path()));
    } else {
        // The lock file of a process that has ended, in QLockFile's form.
        // This test program, listing its functions, is a process that ends
        // on every system.
        QProcess ended;
        ended.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-functions")});
        QVERIFY(ended.waitForStarted());
        const qint64 pid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QFile file(QDir(dir.path()).filePath(app::FolderLock::lockFileName()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        // The host as QLockFile names it: Windows' computer name there.
#ifdef Q_OS_WIN
        const QByteArray host = qgetenv("COMPUTERNAME");
#else
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
#endif
        file.write(QByteArray::number(pid) + "\nkorvane\n" + host + "\n");
    }
    app::FolderLock second;
    const std::optional<QString> refusal = second.acquire(dir.path());
    if (holderRuns) {
        QVERIFY(refusal);
        QVERIFY2(refusal->contains(QStringLiteral("process %1").arg(QCoreApplication::applicationPid()))
                     && refusal->contains(QDir::toNativeSeparators(dir.path())),
                 qPrintable(*refusal));
    } else {
        QVERIFY2(!refusal, qPrintable(refusal.value_or(QString())));
    }
}

// The start takes the lock on a thread while the toolkit starts; it keeps it
// only for the folder it then works in, and leaves a refusal to the start.
void TstFolderLock::lockTakenAhead_data()
{
    QTest::addColumn<bool>("heldElsewhere");
    QTest::addColumn<bool>("throughLink");
    QTest::newRow("free folder") << false << false;
    QTest::newRow("free folder named by a link") << false << true;
    QTest::newRow("folder another Korvane holds") << true << false;
}

void TstFolderLock::lockTakenAhead()
{
    QFETCH(bool, heldElsewhere);
    QFETCH(bool, throughLink);
    QTemporaryDir dir;
    QTemporaryDir other;
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("tables"));
    QVERIFY(QDir().mkdir(folder));
    const QString link = QDir(dir.path()).filePath(QStringLiteral("link"));
    const bool linked = special::makeLink(folder, link);
#ifndef Q_OS_WIN
    QVERIFY(linked);
#endif
    if (throughLink && !linked)
        QSKIP("this system makes no symbolic links for this user");
    app::FolderLock holder;
    if (heldElsewhere)
        QVERIFY(!holder.acquire(folder));

    std::unique_ptr<app::FolderLock> lock = app::takeFolderLockAhead(throughLink ? link : folder).get();
    const QString lockFile = QDir(folder).filePath(app::FolderLock::lockFileName());
    if (heldElsewhere) {
        QVERIFY(!lock);
        // The holder's lock file is left as it was.
        QVERIFY(holder.holds(folder));
        QVERIFY(QFileInfo::exists(lockFile));
        return;
    }
    QVERIFY(lock);
    QVERIFY(lock->holds(folder));
    QVERIFY(!linked || lock->holds(link));
    QVERIFY(!lock->holds(other.path()));
    QVERIFY(QFileInfo::exists(lockFile));
    // A second start in the same folder is refused while the lock lives.
    app::FolderLock second;
    QVERIFY(second.acquire(folder));
    lock.reset();
    QVERIFY(!QFileInfo::exists(lockFile));
}

namespace {

// The start takes the lock ahead before the application exists, as here
// (run before main), after a crash left the lock file, which the lock's
// thread reads through QFile.  Qt counts the first thread that asks for its
// thread data as its main thread: that must stay the start's own thread.
bool mainThreadKeptWhileLockTakenAhead()
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tst_folderlock-" + std::to_string(getpid()));
    std::filesystem::create_directory(folder);
    std::ofstream(folder / ".korvane.lock") << "2147483647\nkorvane\n\n";
    std::future<std::unique_ptr<app::FolderLock>> lock =
        app::takeFolderLockAhead(QString::fromStdString(folder.string()));
    lock.wait();
    // Read before this thread asks for its own thread data.
    QThread *const mainThread = QCoreApplicationPrivate::theMainThread.loadAcquire();
    const bool kept = mainThread && mainThread == QThread::currentThread();
    const bool taken = lock.get() != nullptr;
    std::filesystem::remove_all(folder);
    return kept && taken;
}

const bool mainThreadKept = mainThreadKeptWhileLockTakenAhead();

} // namespace

void TstFolderLock::lockTakenAheadLeavesTheMainThread()
{
    QVERIFY(mainThreadKept);
}

QTEST_GUILESS_MAIN(TstFolderLock)
#include "tst_folderlock.moc"
