// Looking at paths before they are opened, and private files and folders,
// with their Windows meaning: symbolic links, reserved device names, named
// pipes in their own namespace, access lists, names beyond the ANSI code
// page and paths beyond 260 characters.

#include "core/files.h"
#include "support/specialfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <io.h>

using platform::FileKind;

Q_DECLARE_METATYPE(FileKind)

class TstFilesWin : public QObject {
    Q_OBJECT
private slots:
    void kindIsReadWithoutOpening_data();
    void kindIsReadWithoutOpening();
    void createdFilesAndFoldersArePrivate();
    void unusualPathsWork_data();
    void unusualPathsWork();
    void standardOutputIsRecognised();
};

void TstFilesWin::kindIsReadWithoutOpening_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("follow");
    QTest::addColumn<FileKind>("kind");
    QTest::addColumn<bool>("readable");
    QTest::newRow("ordinary") << "plain" << true << FileKind::Ordinary << true;
    QTest::newRow("link to ordinary, followed") << "link" << true << FileKind::Ordinary << true;
    QTest::newRow("link to ordinary, not followed") << "link" << false << FileKind::Other << true;
    QTest::newRow("dangling link") << "dangling" << true << FileKind::DanglingLink << false;
    QTest::newRow("folder") << "folder" << true << FileKind::Folder << false;
    QTest::newRow("device name in the folder") << "NUL" << true << FileKind::Device << false;
    QTest::newRow("device name with extension") << "com1.wav" << true << FileKind::Device << false;
    QTest::newRow("device namespace") << "\\\\.\\NUL" << true << FileKind::Device << false;
    QTest::newRow("named pipe") << "\\\\.\\pipe\\korvane-none" << true << FileKind::Fifo << false;
    QTest::newRow("missing") << "none" << true << FileKind::Missing << false;
}

void TstFilesWin::kindIsReadWithoutOpening()
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
    QVERIFY(d.mkdir(QStringLiteral("folder")));
    if (name == QLatin1String("link") || name == QLatin1String("dangling")) {
        if (!special::makeLink(d.filePath(QStringLiteral("plain")), d.filePath(QStringLiteral("link")))
            || !special::makeLink(d.filePath(QStringLiteral("gone")), d.filePath(QStringLiteral("dangling"))))
            QSKIP("this system makes no symbolic links for this user");
    }

    const QString path = name.startsWith(QLatin1String("\\\\")) ? name : d.filePath(name);
    QCOMPARE(platform::fileKind(path, follow), kind);
    QString reason;
    const int fd = platform::openOrdinaryForReading(path, &reason);
    if (fd >= 0)
        platform::closeDescriptor(fd);
    QCOMPARE(fd >= 0, readable);
    QCOMPARE(platform::readHead(path, 4), readable ? QByteArray("cont") : QByteArray());
    if (!readable && kind != FileKind::Missing && kind != FileKind::DanglingLink)
        QVERIFY2(reason.contains(platform::describe(kind)), qPrintable(reason));
}

void TstFilesWin::createdFilesAndFoldersArePrivate()
{
    if (!special::accessListsKept())
        QSKIP("this system keeps no access list given to a file (Wine)");
    QTemporaryDir dir;
    const QDir d(dir.path());
    QVERIFY(platform::createPrivateFolder(d.filePath(QStringLiteral("a/b"))));
    QCOMPARE(special::mode(d.filePath(QStringLiteral("a"))), 0700u);
    QCOMPARE(special::mode(d.filePath(QStringLiteral("a/b"))), 0700u);
    QVERIFY(platform::createPrivateFile(d.filePath(QStringLiteral("a/b/f"))));
    QCOMPARE(special::mode(d.filePath(QStringLiteral("a/b/f"))), 0600u);
    // Nothing already there is taken over or changed.
    QVERIFY(!platform::createPrivateFile(d.filePath(QStringLiteral("a/b/f"))));
    QVERIFY(d.mkdir(QStringLiteral("open")));
    QCOMPARE(special::mode(d.filePath(QStringLiteral("open"))), 0755u);
    QVERIFY(platform::createPrivateFolder(d.filePath(QStringLiteral("open"))));
    QCOMPARE(special::mode(d.filePath(QStringLiteral("open"))), 0755u);
    QVERIFY(!platform::createPrivateFile(d.filePath(QStringLiteral("NUL"))));
}

void TstFilesWin::unusualPathsWork_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("user name with umlaut") << QStringLiteral("Users/J\u00FCrgen/Documents/Korvane");
    QTest::newRow("beyond the ANSI code page") << QStringLiteral("\u6570\u636E/\u0394\u03B5\u03B4\u03BF\u03BC\u03AD\u03BD\u03B1");
    QTest::newRow("longer than 260 characters")
        << (QStringLiteral("Korvane-data-folder-with-a-long-name/").repeated(8) + QStringLiteral("end"));
}

void TstFilesWin::unusualPathsWork()
{
    QFETCH(QString, relative);
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(relative);
    QString reason;
    QVERIFY2(platform::createPrivateFolder(folder, &reason), qPrintable(reason));
    QCOMPARE(platform::fileKind(folder), FileKind::Folder);
    QVERIFY(platform::folderIsWritable(folder));
    const QString file = QDir(folder).filePath(QStringLiteral("TestTable.DB"));
    QVERIFY2(platform::createPrivateFile(file, &reason), qPrintable(reason));
    QFile written(file);
    QVERIFY(written.open(QIODevice::WriteOnly));
    written.write("SQLite format 3");
    written.close();
    QVERIFY(platform::syncPath(file, false));
    QCOMPARE(platform::readHead(file, 6), QByteArray("SQLite"));
    // A rename replaces what is in the way, as on Linux.
    const QString other = QDir(folder).filePath(QStringLiteral("Profil.db"));
    QVERIFY(platform::createPrivateFile(other));
    bool otherFileSystem = true;
    QVERIFY(platform::renameInFileSystem(file, other, &otherFileSystem, &reason));
    QVERIFY(!otherFileSystem);
    QCOMPARE(platform::readHead(other, 6), QByteArray("SQLite"));
    QCOMPARE(platform::fileKind(file), FileKind::Missing);
    QVERIFY(platform::sameContent(other, other));
    // A library that opens files by 8-bit names (the workbook's) reaches it.
    const QByteArray narrow = platform::narrowFileName(other);
    QVERIFY2(!narrow.isEmpty(), qPrintable(other));
    std::FILE *opened = std::fopen(narrow.constData(), "rb");
    QVERIFY2(opened, narrow.constData());
    char head[7] = {};
    const size_t read = std::fread(head, 1, 6, opened);
    std::fclose(opened);
    QCOMPARE(QByteArray(head, int(read)), QByteArray("SQLite"));
}

void TstFilesWin::standardOutputIsRecognised()
{
    // The Linux name scripts use is honoured; another file is not the output.
    QVERIFY(platform::namesStandardOutput(QStringLiteral("/dev/stdout")));
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("Korvane-all.csv"));
    QVERIFY(platform::createPrivateFile(file));
    QVERIFY(!platform::namesStandardOutput(file));
}

QTEST_GUILESS_MAIN(TstFilesWin)
#include "tst_files_win.moc"
