// Which file systems count as network ones, and which mount holds a path.

#include "core/filesystem.h"

#include <QTemporaryDir>
#include <QTest>

class TestFileSystem : public QObject {
    Q_OBJECT
private slots:
    void types_data();
    void types();
    void magics_data();
    void magics();
    void mountOfPath_data();
    void mountOfPath();
    void localTemporaryFolder();
};

void TestFileSystem::types_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("network");
    for (const char *type : {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "ceph", "fuse.sshfs", "fuse.rclone",
                             "fuse.gvfsd-fuse", "fuse", "NFS4"})
        QTest::newRow(type) << QString::fromLatin1(type) << true;
    for (const char *type : {"ext4", "xfs", "btrfs", "tmpfs", "overlay", "vfat", "fuseblk", "fuse.portal",
                             "fuse.gocryptfs", "", "nfsd"})
        QTest::newRow(*type ? type : "nothing") << QString::fromLatin1(type) << false;
}

void TestFileSystem::types()
{
    QFETCH(QString, type);
    QFETCH(bool, network);
    QCOMPARE(core::isNetworkFileSystemType(type), network);
}

void TestFileSystem::magics_data()
{
    QTest::addColumn<long>("magic");
    QTest::addColumn<bool>("network");
    QTest::newRow("NFS") << 0x6969L << true;
    QTest::newRow("CIFS") << static_cast<long>(0xFF534D42L) << true;
    QTest::newRow("SMB2") << static_cast<long>(0xFE534D42L) << true;
    QTest::newRow("SMB") << 0x517BL << true;
    QTest::newRow("FUSE") << 0x65735546L << true;
    // statfs() gives f_type sign-extended on some systems.
    QTest::newRow("CIFS sign-extended") << static_cast<long>(static_cast<int>(0xFF534D42u)) << true;
    QTest::newRow("ext4") << 0xEF53L << false;
    QTest::newRow("tmpfs") << 0x01021994L << false;
    QTest::newRow("btrfs") << static_cast<long>(0x9123683EL) << false;
}

void TestFileSystem::magics()
{
    QFETCH(long, magic);
    QFETCH(bool, network);
    QCOMPARE(core::isNetworkFileSystemMagic(magic), network);
}

void TestFileSystem::mountOfPath_data()
{
    const QString mounts = QStringLiteral(
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "30 22 0:26 / /mnt/share rw,relatime shared:7 - nfs4 server:/export rw,vers=4.2\n"
        "31 30 0:27 / /mnt/share/local rw - tmpfs tmpfs rw\n"
        "32 22 0:28 / /mnt/lab\\040data rw - cifs //nas/lab rw\n"
        "33 22 0:29 / /home/anna/remote rw,nosuid - fuse.sshfs anna@host:/data rw\n"
        "34 22 0:30 / /mnt/again rw - ext4 /dev/sdb1 rw\n"
        "35 22 0:31 / /mnt/again rw - nfs server:/again rw\n"
        "not a mount line\n");
    QTest::addColumn<QString>("mounts");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("type");
    QTest::newRow("root") << mounts << "/home/anna" << "ext4";
    QTest::newRow("the mount point itself") << mounts << "/mnt/share" << "nfs4";
    QTest::newRow("below a mount") << mounts << "/mnt/share/Korvane" << "nfs4";
    QTest::newRow("a mount inside a mount") << mounts << "/mnt/share/local/x" << "tmpfs";
    QTest::newRow("a name that only begins alike") << mounts << "/mnt/shared" << "ext4";
    QTest::newRow("a blank in the mount point") << mounts << "/mnt/lab data/Korvane" << "cifs";
    QTest::newRow("sshfs") << mounts << "/home/anna/remote/k" << "fuse.sshfs";
    QTest::newRow("mounted over: the later one") << mounts << "/mnt/again/k" << "nfs";
    QTest::newRow("no mount table") << QString() << "/home" << "";
}

void TestFileSystem::mountOfPath()
{
    QFETCH(QString, mounts);
    QFETCH(QString, path);
    QFETCH(QString, type);
    QCOMPARE(core::fileSystemTypeInMountInfo(mounts, path), type);
}

void TestFileSystem::localTemporaryFolder()
{
    // The build's temporary folders are on this machine.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(!core::isOnNetworkFileSystem(folder.path()));
}

QTEST_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
