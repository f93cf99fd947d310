// One Korvane per working folder: the second is told which process holds
// the folder; the lock of a process that has ended is taken over.

#include "app/folderlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstFolderLock : public QObject {
    Q_OBJECT
private slots:
    void secondLockNamesTheHolder_data();
    void secondLockNamesTheHolder();
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
        QProcess ended;
        ended.start(QStringLiteral("true"));
        QVERIFY(ended.waitForStarted());
        const qint64 pid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QFile file(QDir(dir.path()).filePath(app::FolderLock::lockFileName()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(pid) + "\nkorvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
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

QTEST_GUILESS_MAIN(TstFolderLock)
#include "tst_folderlock.moc"
