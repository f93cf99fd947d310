// The start of the program: tables first, the main window shown at once, the
// clock and data windows built right after it, and a refused start that shows
// no window and leaves the folder as it was.

#include "app/hauptform.h"
#include "app/startup.h"
#include "clock/tform1.h"
#include "data/tform4.h"
#include "support/recorders.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void refusedStartShowsNoWindowAndMakesNoFile_data();
    void refusedStartShowsNoWindowAndMakesNoFile();
    void windowsAreBuiltRightAfterTheMainWindowShows();
    void menuBuildsTheWindowsWhenUsedFirst();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_previousFolder;
};

void TestStartup::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_previousFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_folder->path()));
}

void TestStartup::cleanup()
{
    QDir::setCurrent(m_previousFolder);
    m_folder.reset();
}

void TestStartup::refusedStartShowsNoWindowAndMakesNoFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("TestTable.DB") << QStringLiteral("TestTable.DB");
    QTest::newRow("Profil.db") << QStringLiteral("Profil.db");
}

void TestStartup::refusedStartShowsNoWindowAndMakesNoFile()
{
    QFETCH(QString, fileName);
    const QByteArray damaged = QByteArray("this is no table\n").repeated(300);
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();

    TestPlatform platform;
    const std::unique_ptr<app::Windows> windows = app::start();
    QVERIFY(!windows);
    QCOMPARE(platform.boxes.shown.size(), 1);
    QVERIFY2(platform.boxes.shown.first().startsWith(QStringLiteral("error:")), qPrintable(platform.boxes.shown.first()));
    QVERIFY2(platform.boxes.shown.first().contains(fileName), qPrintable(platform.boxes.shown.first()));
    for (QWidget *widget : QApplication::topLevelWidgets())
        QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{fileName});
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), damaged);
}

void TestStartup::windowsAreBuiltRightAfterTheMainWindowShows()
{
    TestPlatform platform;
    const std::unique_ptr<app::Windows> windows = app::start();
    QVERIFY(windows);
    QVERIFY(windows->main->isVisible());
    QVERIFY(windows->main->tables().TestTable.isOpen());
    QCOMPARE(QDir::current().entryList(QDir::Files).size(), 3);
    // Not yet: the main window is painted first.
    QVERIFY(!windows->clock());
    QTRY_VERIFY(windows->clock() && windows->data());
    // The program's icon comes with them.
    QVERIFY(!windows->main->windowIcon().isNull());
    QVERIFY(!windows->clock()->windowIcon().isNull());
    QCOMPARE(windows->clock()->parent(), windows->main.get());
    QVERIFY(!windows->clock()->isVisible());
    QVERIFY(!windows->data()->isVisible());
    QCOMPARE(platform.boxes.shown, QStringList());
}

void TestStartup::menuBuildsTheWindowsWhenUsedFirst()
{
    TestPlatform platform;
    const std::unique_ptr<app::Windows> windows = app::start();
    QVERIFY(windows);
    QVERIFY(!windows->data());
    bool shown = false;
    QTimer::singleShot(0, windows->main.get(), [&] {
        shown = windows->data() && windows->data()->isVisible();
        if (windows->data())
            windows->data()->BitBtn1Click();
    });
    windows->main->Daten1Click();
    QVERIFY(shown);
    TForm1 *const clock = windows->clock();
    QVERIFY(clock);
    // The start's own building, after the paint, builds nothing twice.
    QTest::qWait(50);
    QCOMPARE(windows->clock(), clock);
    QCOMPARE(platform.boxes.shown, QStringList());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
