// The main window: banner, menu, information box, showing the clock window.

#include "app/application.h"
#include "app/datasource.h"
#include "app/folderlock.h"
#include "app/hauptform.h"
#include "clock/tform1.h"
#include "data/tform4.h"
#include "support/recorders.h"
#include "support/pgserver.h"
#include "support/screensaver.h"
#include "store/query.h"

#include "platform/messages.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QApplication>
#include <QMenuBar>
#include <QPointer>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qplatformwindow.h>

namespace {

// The rule by which the platform plugins hand a window's title to the
// window system (on X11 as _NET_WM_NAME).
struct PlatformTitle : QPlatformWindow {
    using QPlatformWindow::formatWindowTitle;
};

QString titleAsTheWindowSystemGetsIt(QWidget *window)
{
    if (!window || !window->windowHandle())
        return QStringLiteral("<no window>");
    return PlatformTitle::formatWindowTitle(window->windowHandle()->title(), QStringLiteral(" \u2014 "));
}

} // namespace

class TestHauptform : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void bannerAndMenu();
    void informationBox();
    void activationMaximises_data();
    void activationMaximises();
    void testShowsTheSameResetClockWindow();
    void opensMaximisedWithoutActivation();
    void showsTheDataFolder();
    void ownWindowsCarryTheIconAndGoFirst();
    void savesAreNamedInTheStatusLine_data();
    void savesAreNamedInTheStatusLine();
    void titlesReachTheWindowSystemUnchanged_data();
    void titlesReachTheWindowSystemUnchanged();
    void changeSwitchesTheDataFolder_data();
    void changeSwitchesTheDataFolder();
    void changeKeepsTheDialogOpenUntilTheChoiceIsTaken_data();
    void changeKeepsTheDialogOpenUntilTheChoiceIsTaken();
    void changeAsksForTheServersPassword_data();
    void changeAsksForTheServersPassword();
    void closingAsksAboutResultsNotSaved_data();
    void closingAsksAboutResultsNotSaved();
    void startFolder_data();
    void startFolder();

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_folder;
    // Started by the first test that needs a server.
    std::unique_ptr<testsupport::PostgresServer> m_server;
    QString m_previousFolder;
};

void TestHauptform::initTestCase()
{
    // The folder chosen in the window is remembered here, not in the
    // settings of whoever runs the tests.
    QVERIFY(m_settings.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
}

void TestHauptform::init()
{
    // The tables live in the working folder.
    m_previousFolder = QDir::currentPath();
    QVERIFY(m_folder.isValid());
    QVERIFY(QDir::setCurrent(m_folder.path()));
}

void TestHauptform::cleanup()
{
    QDir::setCurrent(m_previousFolder);
}

void TestHauptform::bannerAndMenu()
{
    THauptform main;
    QCOMPARE(main.windowTitle(), QStringLiteral("Korvane"));
    QCOMPARE(main.size(), QSize(997, 745));
    auto *banner = main.findChild<QLabel *>(QStringLiteral("Panel1"));
    QVERIFY(banner);
    QCOMPARE(banner->size(), QSize(705, 100));
    QCOMPARE(banner->text(), QStringLiteral("Korvane"));
    QVERIFY(banner->font().bold());
    QCOMPARE(banner->font().pixelSize(), 24);
    auto *logo = main.findChild<QLabel *>(QStringLiteral("Image2"));
    QVERIFY(logo && !logo->pixmap().isNull());
    QCOMPARE(logo->size(), QSize(269, 100));

    QStringList items;
    for (QAction *action : main.menuBar()->actions())
        items << action->objectName() + u'=' + action->text();
    QCOMPARE(items, (QStringList{QStringLiteral("est1=Test"), QStringLiteral("Daten1=Data"),
                                 QStringLiteral("About1=Information"), QStringLiteral("Ende1=Close")}));
}

void TestHauptform::informationBox()
{
    TestPlatform platform;
    THauptform main;
    main.findChild<QAction *>(QStringLiteral("About1"))->trigger();
    QCOMPARE(platform.boxes.shown.size(), 1);
    const QStringList lines = platform.boxes.shown.first().split(u'\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("inform:Korvane Training (Vers 3.1 letztes Update 30.11.10)"));
    QVERIFY(!lines[1].trimmed().isEmpty());
}

void TestHauptform::activationMaximises_data()
{
    QTest::addColumn<bool>("closedFirst");
    QTest::newRow("restored to a smaller size") << false;
    // The click on "Close" activates the window too, and that activation
    // may arrive after the window closed.
    QTest::newRow("closed") << true;
}

void TestHauptform::activationMaximises()
{
    QFETCH(bool, closedFirst);
    THauptform main;
    main.show();
    main.showNormal();
    QVERIFY(!main.isMaximized());
    if (closedFirst) {
        QVERIFY(main.close());
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&main, &activation);
        QVERIFY(!main.isVisible());
        return;
    }
    main.FormActivate();
    QVERIFY(main.isMaximized());
}

void TestHauptform::testShowsTheSameResetClockWindow()
{
    TestPlatform platform;
    platform.clock.set(36000000);
    THauptform main;
    TForm1 clock(&main.tables(), &main);
    TForm4 data(main.tables(), &main);
    main.setWindows(&clock, &data);
    clock.Timer1->stop();

    int shown = 0;
    auto closeWhenShown = [&] {
        QTimer::singleShot(0, &clock, [&] {
            QVERIFY(clock.isVisible());
            ++shown;
            // A test started and closed before anything was reached.
            clock.Edit39->setText(QStringLiteral("Anna"));
            clock.Edit47->setText(QStringLiteral("Bench"));
            clock.Edit51->setText(QStringLiteral("Press"));
            clock.sStartClick();
            QVERIFY(clock.procedure().Running);
            clock.BitBtn1Click();
        });
    };
    closeWhenShown();
    main.findChild<QAction *>(QStringLiteral("est1"))->trigger();
    QCOMPARE(shown, 1);
    QVERIFY(!clock.isVisible());
    // Closing ends the test instead of leaving it running hidden.
    QVERIFY(!clock.procedure().Running);

    // The second "Test" finds the same window, stopped by its activation.
    QTimer::singleShot(0, &clock, [&] {
        ++shown;
        QVERIFY(!clock.procedure().Running);
        QCOMPARE(clock.pnAbschnitt->text(), QStringLiteral("TEST"));
        QCOMPARE(clock.Edit39->text(), QStringLiteral("Anna"));
        clock.BitBtn1Click();
    });
    main.findChild<QAction *>(QStringLiteral("est1"))->trigger();
    QCOMPARE(shown, 2);
}

void TestHauptform::opensMaximisedWithoutActivation()
{
    THauptform main;
    QCOMPARE(main.size(), QSize(997, 745));
    // Checked before any event is handled: no activation has happened yet.
    main.showAtStart();
    QVERIFY(main.isMaximized());
    QVERIFY(!main.isActiveWindow());
}

void TestHauptform::showsTheDataFolder()
{
    THauptform main;
    auto *folder = main.findChild<QLabel *>(QStringLiteral("DataFolder"));
    QVERIFY(folder);
    QCOMPARE(folder->text(), QStringLiteral("Data folder: ") + QDir::toNativeSeparators(m_folder.path()));
    main.show();
    QVERIFY(folder->isVisible());
}

void TestHauptform::ownWindowsCarryTheIconAndGoFirst()
{
    TestPlatform platform;
    app::setUpApplication();
    app::setProgramIcon();
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Korvane"));
    auto main = std::make_unique<THauptform>();
    main->createWindows();
    QPointer<TForm1> clock = main->findChild<TForm1 *>();
    QPointer<TForm4> data = main->findChild<TForm4 *>();
    QVERIFY(clock && data);

    for (QWidget *window : {static_cast<QWidget *>(main.get()), static_cast<QWidget *>(clock.data()),
                            static_cast<QWidget *>(data.data())}) {
        const QIcon icon = window->windowIcon();
        QVERIFY2(!icon.isNull(), qPrintable(window->windowTitle()));
        for (int size : {16, 32, 48, 256})
            QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        QVERIFY(icon.pixmap(QSize(32, 32)).toImage().pixelColor(16, 20).alpha() > 0);
    }

    // The windows go with the main window, before its tables.
    main.reset();
    QVERIFY(!clock);
    QVERIFY(!data);
}

void TestHauptform::savesAreNamedInTheStatusLine_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("status");
    QTest::newRow("Save Data") << "BitBtn3" << "Test 1 saved";
    QTest::newRow("Save Athlet") << "BitBtn7" << "Athlete 1 saved";
    QTest::newRow("Save Profil") << "BitBtn2" << "Profile 1 saved";
}

void TestHauptform::savesAreNamedInTheStatusLine()
{
    QFETCH(QString, button);
    QFETCH(QString, status);
    TestPlatform platform;
    THauptform main;
    TForm1 clock(&main.tables(), &main);
    TForm4 data(main.tables(), &main);
    main.setWindows(&clock, &data);
    clock.Timer1->stop();
    clock.Edit39->setText(QStringLiteral("Anna"));
    clock.Edit47->setText(QStringLiteral("Bench"));
    clock.BitBtn3->show();
    clock.findChild<QPushButton *>(button)->click();
    // Said in the status line, without a box.
    QCOMPARE(platform.boxes.shown, QStringList());
    QCOMPARE(main.statusBar()->currentMessage(), status);
}


void TestHauptform::titlesReachTheWindowSystemUnchanged_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::newRow("main window") << QStringLiteral("main") << QStringLiteral("Korvane");
    QTest::newRow("clock window") << QStringLiteral("clock") << QStringLiteral("Korvane");
    QTest::newRow("data window") << QStringLiteral("data") << QStringLiteral("Data source and export");
    QTest::newRow("plain message box") << QStringLiteral("inform") << QStringLiteral("Korvane");
    QTest::newRow("box with a title of its own") << QStringLiteral("titled") << QStringLiteral("Error");
}

void TestHauptform::titlesReachTheWindowSystemUnchanged()
{
    QFETCH(QString, window);
    QFETCH(QString, title);
    TestPlatform platform;
    app::setUpApplication();
    THauptform main;
    main.createWindows();
    QString seen;
    if (window == QLatin1String("main") || window == QLatin1String("clock") || window == QLatin1String("data")) {
        QWidget *shown = window == QLatin1String("main") ? static_cast<QWidget *>(&main)
            : window == QLatin1String("clock")           ? static_cast<QWidget *>(main.clockWindow())
                                                         : static_cast<QWidget *>(main.dataWindow());
        shown->show();
        seen = titleAsTheWindowSystemGetsIt(shown);
    } else {
        // The real boxes, read while they are up.
        platform::setMessageBoxes(nullptr);
        QTimer::singleShot(0, &main, [&] {
            QWidget *box = QApplication::activeModalWidget();
            seen = titleAsTheWindowSystemGetsIt(box);
            if (box)
                box->close();
        });
        if (window == QLatin1String("titled"))
            platform::messageBoxes().titled(&main, title, QStringLiteral("Text"));
        else
            platform::messageBoxes().inform(&main, QStringLiteral("Text"));
    }
    QCOMPARE(seen, title);
}

namespace {

// Anna's bench press started at 10:00 on the hand-set clock and ticked on
// to `untilMs` after.
void runTestUntil(TForm1 &clock, TestPlatform &platform, int untilMs)
{
    clock.Edit39->setText(QStringLiteral("Anna"));
    clock.Edit47->setText(QStringLiteral("Bench"));
    clock.Edit51->setText(QStringLiteral("Press"));
    clock.FormActivate();
    clock.sStartClick();
    for (int ms = 100; ms <= untilMs; ms += 100) {
        platform.clock.set(36000000 + ms);
        clock.Timer1Timer();
    }
}

// The number of tests stored in the TestTable of `folder`.
int storedTests(const QString &folder)
{
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("counter"));
        db.setDatabaseName(QDir(folder).filePath(QStringLiteral("TestTable.DB")));
        QSqlQuery query(db);
        if (db.open() && query.exec(QStringLiteral("SELECT COUNT(*) FROM TestTable")) && query.next())
            count = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("counter"));
    return count;
}

} // namespace

void TestHauptform::changeSwitchesTheDataFolder_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("switched");
    QTest::addColumn<int>("testsLeftBehind");
    QTest::newRow("nothing unsaved") << "" << int(platform::SaveAnswer::Discard) << true << 0;
    QTest::newRow("unsaved results, Save") << "running" << int(platform::SaveAnswer::Save) << true << 1;
    QTest::newRow("unsaved results, Discard") << "running" << int(platform::SaveAnswer::Discard) << true << 0;
    QTest::newRow("unsaved results, Cancel") << "running" << int(platform::SaveAnswer::Cancel) << false << 0;
    QTest::newRow("a table there cannot be opened") << "bad table" << int(platform::SaveAnswer::Discard) << false
                                                    << 0;
}

void TestHauptform::changeSwitchesTheDataFolder()
{
    QFETCH(QString, before);
    QFETCH(int, answer);
    QFETCH(bool, switched);
    QFETCH(int, testsLeftBehind);
    TestPlatform platform;
    RecordingScreenSaver screenSaver;
    platform.clock.set(36000000);
    QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane")).clear();
    QTemporaryDir other;
    QVERIFY(other.isValid());
    const QString oldFolder = QDir::currentPath();
    const QString newFolder = QDir(other.path()).canonicalPath();
    if (before == QLatin1String("bad table"))
        QVERIFY(QDir(newFolder).mkdir(QStringLiteral("TestTable.DB")));

    auto lock = std::make_unique<app::FolderLock>();
    QVERIFY(!lock->acquire(QStringLiteral(".")));
    THauptform main;
    main.setFolderLock(std::move(lock));
    main.createWindows();
    const int storedBefore = storedTests(oldFolder);
    TForm1 *clock = main.clockWindow();
    clock->Timer1->stop();
    if (before == QLatin1String("running"))
        runTestUntil(*clock, platform, 1500);
    platform.boxes.saveAnswer = static_cast<platform::SaveAnswer>(answer);

    // "Change...", the folder typed into the dialog, OK.
    bool dialogSeen = false;
    bool dialogStayed = false;
    QTimer::singleShot(0, &main, [&] {
        auto *dialog = qobject_cast<app::DataSourceDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialogSeen = true;
        dialog->findChild<QLineEdit *>(QStringLiteral("FolderEdit"))->setText(newFolder);
        dialog->accept();
        // A folder not taken keeps the dialog open to choose again.
        dialogStayed = dialog->isVisible();
        dialog->reject();
    });
    main.findChild<QPushButton *>(QStringLiteral("ChangeDataFolder"))->click();
    QVERIFY(dialogSeen);
    QCOMPARE(dialogStayed, !switched);

    const QString working = switched ? newFolder : oldFolder;
    QCOMPARE(QDir::currentPath(), working);
    QCOMPARE(main.findChild<QLabel *>(QStringLiteral("DataFolder"))->text(),
             QStringLiteral("Data folder: ") + QDir::toNativeSeparators(working));
    QCOMPARE(app::rememberedDataFolder(), switched ? newFolder : QString());
    QCOMPARE(storedTests(oldFolder), storedBefore + testsLeftBehind);
    // The folder in use is locked, the other one free.
    QCOMPARE(QFileInfo::exists(QDir(oldFolder).filePath(app::FolderLock::lockFileName())), !switched);
    QCOMPARE(QFileInfo::exists(QDir(newFolder).filePath(app::FolderLock::lockFileName())), switched);
    QCOMPARE(bool(app::FolderLock().acquire(working)), true);
    if (before == QLatin1String("bad table")) {
        QCOMPARE(platform.boxes.shown.size(), 1);
        QVERIFY(platform.boxes.shown.first().startsWith(QStringLiteral("error:Table file \"TestTable.DB\"")));
    }
    if (!switched)
        return;

    // The windows work on the new folder's tables: a test saved now is
    // stored there, after that day's backup.
    QVERIFY(!main.clockWindow());
    main.buildWindows();
    clock = main.clockWindow();
    QVERIFY(clock);
    clock->Timer1->stop();
    clock->Edit39->setText(QStringLiteral("Ben"));
    clock->Edit47->setText(QStringLiteral("Bench"));
    clock->BitBtn3->show();
    clock->BitBtn3->click();
    QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("Test 1 saved"));
    QCOMPARE(storedTests(newFolder), 1);
    QCOMPARE(storedTests(oldFolder), storedBefore + testsLeftBehind);
    QVERIFY(QFileInfo::exists(QDir(newFolder).filePath(QStringLiteral("Backups/2026-12-06/TestTable.DB"))));
}

void TestHauptform::changeKeepsTheDialogOpenUntilTheChoiceIsTaken_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("confirmed");    // the answer to "Create the folder ...?"
    QTest::addColumn<QString>("boxes");     // what the boxes said, in order
    QTest::addColumn<bool>("switched");
    QTest::newRow("missing folder, not created") << "missing folder" << false << "confirm:Create the folder %1?" << false;
    QTest::newRow("missing folder, created") << "missing folder" << true << "confirm:Create the folder %1?" << true;
    QTest::newRow("server that cannot be reached") << "server" << true << "error:" << false;
}

void TestHauptform::changeKeepsTheDialogOpenUntilTheChoiceIsTaken()
{
    QFETCH(QString, choice);
    QFETCH(bool, confirmed);
    QFETCH(QString, boxes);
    QFETCH(bool, switched);
    TestPlatform platform;
    platform.clock.set(36000000);
    platform.boxes.answer = confirmed;
    QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane")).clear();
    QTemporaryDir other;
    QVERIFY(other.isValid());
    const QString oldFolder = QDir::currentPath();
    const QString newFolder = QDir(other.path()).filePath(QStringLiteral("new data"));
    // Nothing listens on port 1: the connection is refused at once.
    const QString serverAddress = QStringLiteral("postgresql://lab@127.0.0.1:1/korvane");

    auto lock = std::make_unique<app::FolderLock>();
    QVERIFY(!lock->acquire(QStringLiteral(".")));
    THauptform main;
    main.setFolderLock(std::move(lock));

    bool dialogStayed = false;
    QString typedAfter;
    QString reasonShown;
    QTimer::singleShot(0, &main, [&] {
        auto *dialog = qobject_cast<app::DataSourceDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        if (choice == QLatin1String("server")) {
            dialog->findChild<QRadioButton *>(QStringLiteral("ServerChoice"))->setChecked(true);
            dialog->findChild<QLineEdit *>(QStringLiteral("ServerEdit"))->setText(serverAddress);
        } else {
            dialog->findChild<QLineEdit *>(QStringLiteral("FolderEdit"))->setText(newFolder);
        }
        dialog->accept();
        dialogStayed = dialog->isVisible();
        const auto *edit = dialog->findChild<QLineEdit *>(
            choice == QLatin1String("server") ? QStringLiteral("ServerEdit") : QStringLiteral("FolderEdit"));
        typedAfter = edit->text();
        const auto *reason = dialog->findChild<QLabel *>(QStringLiteral("FailureReason"));
        if (!reason->isHidden())
            reasonShown = reason->text();
        dialog->reject();
    });
    main.findChild<QPushButton *>(QStringLiteral("ChangeDataFolder"))->click();

    QCOMPARE(dialogStayed, !switched);
    QCOMPARE(platform.boxes.shown.size(), 1);
    QVERIFY2(platform.boxes.shown.first().startsWith(boxes.arg(QDir::toNativeSeparators(newFolder))),
             qPrintable(platform.boxes.shown.first()));
    QCOMPARE(QDir::currentPath(), switched ? QDir(newFolder).canonicalPath() : oldFolder);
    QCOMPARE(QFileInfo(newFolder).isDir(), switched);
    if (choice == QLatin1String("server")) {
        // The address stays as typed, and the reason beside it.
        QCOMPARE(typedAfter, serverAddress);
        QVERIFY(!reasonShown.isEmpty());
        QCOMPARE(QStringLiteral("error:") + reasonShown, platform.boxes.shown.first());
        QVERIFY(!app::rememberedDataServer());
    }
    if (switched)
        QVERIFY(QDir::setCurrent(oldFolder));
}

void TestHauptform::changeAsksForTheServersPassword_data()
{
    QTest::addColumn<QString>("given");        // typed into the password box; empty: cancelled
    QTest::addColumn<QString>("refusal");      // the error shown then; empty: none
    QTest::newRow("right password") << "secret 1" << "";
    QTest::newRow("wrong password") << "wrong" << "password authentication failed";
    QTest::newRow("box cancelled") << "" << "no password supplied";
}

void TestHauptform::changeAsksForTheServersPassword()
{
    QFETCH(QString, given);
    QFETCH(QString, refusal);
    if (!m_server) {
        m_server = std::make_unique<testsupport::PostgresServer>();
        QString why;
        if (!m_server->start(&why))
            QSKIP(qPrintable(why));
        QVERIFY(m_server->exec(QStringLiteral("CREATE ROLE station LOGIN PASSWORD 'secret 1'")));
        QVERIFY(m_server->exec(QStringLiteral("ALTER DATABASE korvane OWNER TO station")));
    }
    // Neither ~/.pgpass nor a service file gives the password.
    QTemporaryDir home;
    qputenv("PGPASSFILE", home.filePath(QStringLiteral("none")).toLocal8Bit());
    TestPlatform platform;
    platform.clock.set(36000000);
    if (!given.isEmpty())
        platform.boxes.password = given;
    QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane")).clear();
    const QString address = m_server->url(QStringLiteral("korvane"), QStringLiteral("station"));
    const QString shownAddress = store::ServerAddress::parse(address)->display();

    auto lock = std::make_unique<app::FolderLock>();
    QVERIFY(!lock->acquire(QStringLiteral(".")));
    THauptform main;
    main.setFolderLock(std::move(lock));
    bool dialogStayed = false;
    QString reasonShown;
    QTimer::singleShot(0, &main, [&] {
        auto *dialog = qobject_cast<app::DataSourceDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->findChild<QRadioButton *>(QStringLiteral("ServerChoice"))->setChecked(true);
        dialog->findChild<QLineEdit *>(QStringLiteral("ServerEdit"))->setText(address);
        dialog->accept();
        dialogStayed = dialog->isVisible();
        const auto *reason = dialog->findChild<QLabel *>(QStringLiteral("FailureReason"));
        if (!reason->isHidden())
            reasonShown = reason->text();
        dialog->reject();
    });
    main.findChild<QPushButton *>(QStringLiteral("ChangeDataFolder"))->click();
    qunsetenv("PGPASSFILE");

    // Asked once, as the start asks.
    QVERIFY2(!platform.boxes.shown.isEmpty(), "no box");
    QCOMPARE(platform.boxes.shown.first(), QStringLiteral("password:Database password:Password of %1:").arg(shownAddress));
    QCOMPARE(dialogStayed, !refusal.isEmpty());
    if (refusal.isEmpty()) {
        QCOMPARE(platform.boxes.shown.size(), 1);
        QVERIFY(main.findChild<QLabel *>(QStringLiteral("DataFolder"))->text().contains(shownAddress));
        // Remembered without the password.
        QCOMPARE(app::rememberedDataServer()->url(), store::ServerAddress::parse(address)->url());
        QSettings settings(QStringLiteral("Korvane"), QStringLiteral("Korvane"));
#ifdef Q_OS_WIN
        // In the registry there: every value read back.
        for (const QString &key : settings.allKeys())
            QVERIFY2(!settings.value(key).toString().contains(QStringLiteral("secret")), qPrintable(key));
#else
        QFile file(settings.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains("secret"));
#endif
    } else {
        QCOMPARE(platform.boxes.shown.size(), 2);
        QVERIFY2(platform.boxes.shown.at(1).contains(refusal), qPrintable(platform.boxes.shown.at(1)));
        QVERIFY2(reasonShown.contains(refusal), qPrintable(reasonShown));
        if (!given.isEmpty())
            QVERIFY(!platform.boxes.shown.join(u'|').contains(given));
        QVERIFY(!app::rememberedDataServer());
    }
}

void TestHauptform::closingAsksAboutResultsNotSaved_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("stored");
    QTest::newRow("nothing unsaved") << "" << int(platform::SaveAnswer::Cancel) << true << 0;
    QTest::newRow("set running, Save") << "running" << int(platform::SaveAnswer::Save) << true << 1;
    // "Close" in the clock window keeps a finished test's results for its
    // next opening; the program's end must not drop them unasked.
    QTest::newRow("finished, clock closed, Save") << "finished" << int(platform::SaveAnswer::Save) << true << 1;
    QTest::newRow("finished, clock closed, Discard") << "finished" << int(platform::SaveAnswer::Discard) << true << 0;
    QTest::newRow("finished, clock closed, Cancel") << "finished" << int(platform::SaveAnswer::Cancel) << false << 0;
}

void TestHauptform::closingAsksAboutResultsNotSaved()
{
    QFETCH(QString, before);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(int, stored);
    TestPlatform platform;
    RecordingScreenSaver screenSaver;
    platform.clock.set(36000000);
    THauptform main;
    main.createWindows();
    main.show();
    TForm1 *clock = main.clockWindow();
    clock->Timer1->stop();
    if (!before.isEmpty()) {
        runTestUntil(*clock, platform, before == QLatin1String("running") ? 1500 : 10000);
        QCOMPARE(clock->procedure().Running, before == QLatin1String("running"));
        if (before == QLatin1String("finished"))
            clock->BitBtn1Click();
    }
    platform.boxes.saveAnswer = static_cast<platform::SaveAnswer>(answer);
    platform.boxes.shown.clear();
    const int storedBefore = storedTests(QDir::currentPath());

    QCOMPARE(main.close(), closed);
    QCOMPARE(main.isVisible(), !closed);
    QCOMPARE(platform.boxes.shown.filter(QStringLiteral("save?:")).size(), before.isEmpty() ? 0 : 1);
    QCOMPARE(storedTests(QDir::currentPath()), storedBefore + stored);
}

void TestHauptform::startFolder_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("noted");
    const QString chosen = QDir::currentPath();
    const QString gone = QDir(chosen).filePath(QStringLiteral("gone"));
    const QString user = app::userDataFolder();
    QTest::newRow("nothing chosen") << QStringList() << QString() << QString() << false;
    QTest::newRow("chosen") << QStringList() << chosen << chosen << false;
    QTest::newRow("--folder wins") << QStringList{QStringLiteral("--folder"), QStringLiteral("/srv/k")} << chosen
                                   << QStringLiteral("/srv/k") << false;
    QTest::newRow("menu start, chosen") << QStringList{QStringLiteral("--user-folder")} << chosen << chosen << false;
    QTest::newRow("menu start, nothing chosen") << QStringList{QStringLiteral("--user-folder")} << QString() << user
                                                << false;
    QTest::newRow("chosen folder gone") << QStringList() << gone << QString() << true;
    QTest::newRow("menu start, chosen folder gone") << QStringList{QStringLiteral("--user-folder")} << gone << user
                                                    << true;
}

void TestHauptform::startFolder()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, remembered);
    QFETCH(QString, folder);
    QFETCH(bool, noted);
    QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane")).clear();
    if (!remembered.isEmpty())
        app::rememberDataFolder(remembered);
    const app::CommandLine commandLine = app::parseCommandLine(QStringList{QStringLiteral("korvane")} + arguments);
    const app::StartFolder start = app::startFolder(commandLine);
    const QString note = app::goneFolderNote(start);
    QCOMPARE(start.folder, folder);
    QCOMPARE(!note.isEmpty(), noted);
}

QTEST_MAIN(TestHauptform)
#include "tst_hauptform.moc"
