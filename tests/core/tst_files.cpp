#include "core/files.h"
#include "support/specialfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using platform::FileKind;

class TstFiles : public QObject {
    Q_OBJECT
private slots:
    void kindIsReadWithoutOpening_data();
    void kindIsReadWithoutOpening();
    void createdFilesAndFoldersArePrivate();
};

void TstFiles::kindIsReadWithoutOpening_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("follow");
    QTest::addColumn<FileKind>("kind");
    QTest::addColumn<bool>("readable");
    QTest::newRow("ordinary") << "plain" << true << FileKind::Ordinary << true;
    QTest::newRow("link to ordinary, followed") << "link" << true << FileKind::Ordinary << true;
    QTest::newRow("link to ordinary, not followed") << "link" << false << FileKind::Other << true;
    QTest::newRow("dangling link") << "dangling" << true << FileKind::DanglingLink << false;
    QTest::newRow("fifo") << "fifo" << true << FileKind::Fifo << false;
    QTest::newRow("link to fifo") << "fifolink" << true << FileKind::Fifo << false;
    QTest::newRow("folder") << "folder" << true << FileKind::Folder << false;
    QTest::newRow("device") << "/dev/null" << true << FileKind::Device << false;
    QTest::newRow("missing") << "none" << true << FileKind::Missing << false;
}

void TstFiles::kindIsReadWithoutOpening()
{
    QFETCH(QString, name);
    QFETCH(bool, follow);
    QFETCH(FileKind, kind);
    QFETCH(bool, readable);
    QTemporaryDir dir;
    const QDir d(dir.path());
    QFile plain(d.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("content");
    plain.close();
    QVERIFY(special::makeLink(d.filePath(QStringLiteral("plain")), d.filePath(QStringLiteral("link"))));
    QVERIFY(special::makeLink(d.filePath(QStringLiteral("gone")), d.filePath(QStringLiteral("dangling"))));
    QVERIFY(special::makeFifo(d.filePath(QStringLiteral("fifo"))));
    QVERIFY(special::makeLink(d.filePath(QStringLiteral("fifo")), d.filePath(QStringLiteral("fifolink"))));
    QVERIFY(d.mkdir(QStringLiteral("folder")));

    const QString path = name.startsWith(u'/') ? name : d.filePath(name);
    QCOMPARE(platform::fileKind(path, follow), kind);
    // Reading never waits on a pipe without a writer.
    special::FifoGuard guard(d.filePath(QStringLiteral("fifo")));
    QString reason;
    const int fd = platform::openOrdinaryForReading(path, &reason);
    if (fd >= 0)
        ::close(fd);
    QCOMPARE(platform::readHead(path, 4), readable ? QByteArray("cont") : QByteArray());
    QVERIFY2(!guard.disarm(), "a reader blocked on the named pipe");
    QCOMPARE(fd >= 0, readable);
    if (!readable && kind != FileKind::Missing && kind != FileKind::DanglingLink)
        QVERIFY2(reason.contains(platform::describe(kind)), qPrintable(reason));
}

void TstFiles::createdFilesAndFoldersArePrivate()
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    QVERIFY(platform::createPrivateFolder(d.filePath(QStringLiteral("a/b"))));
    QCOMPARE(special::mode(d.filePath(QStringLiteral("a"))), 0700u);
    QCOMPARE(special::mode(d.filePath(QStringLiteral("a/b"))), 0700u);
    QVERIFY(platform::createPrivateFile(d.filePath(QStringLiteral("a/b/f"))));
    QCOMPARE(special::mode(d.filePath(QStringLiteral("a/b/f"))), 0600u);
    // Nothing already there is taken over or changed.
    QVERIFY(!platform::createPrivateFile(d.filePath(QStringLiteral("a/b/f"))));
    QVERIFY(::chmod(QFile::encodeName(d.filePath(QStringLiteral("a"))).constData(), 0755) == 0);
    QVERIFY(platform::createPrivateFolder(d.filePath(QStringLiteral("a"))));
    QCOMPARE(special::mode(d.filePath(QStringLiteral("a"))), 0755u);
    QVERIFY(special::makeLink(d.filePath(QStringLiteral("x")), d.filePath(QStringLiteral("dangling"))));
    QVERIFY(!platform::createPrivateFile(d.filePath(QStringLiteral("dangling"))));
    QVERIFY(!QFileInfo::exists(d.filePath(QStringLiteral("x"))));
}

QTEST_GUILESS_MAIN(TstFiles)
#include "tst_files.moc"
