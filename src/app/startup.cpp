#include "app/startup.h"

#include "app/application.h"
#include "app/commandline.h"
#include "app/datasource.h"
#include "app/folderlock.h"
#include "app/hauptform.h"
#include "clock/tform1.h"
#include "data/tform4.h"
#include "app/legacyimport.h"
#include "app/translations.h"
#include "core/errors.h"
#include "platform/fontconfiguration.h"
#include "platform/buttonicons.h"
#include "platform/guard.h"
#include "platform/messages.h"
#include "platform/screensaver.h"
#include "platform/sound.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QThreadPool>
#include <QTimer>

#include <cstdio>

namespace app {
namespace {

// Runs `work` in the event loop's next turn after `window` was first
// painted, once the window is on the screen.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget *window, std::function<void()> work)
        : QObject(window)
        , m_window(window)
        , m_work(std::move(work))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint) {
            m_window->removeEventFilter(this);
            QTimer::singleShot(0, m_window, std::move(m_work));
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
    std::function<void()> m_work;
};

// Runs `steps` in order, each in a later turn of the event loop than the one
// before, so that events queued meanwhile (input among them) come between.
// A step that fails is reported over `window`; the steps after it still run.
void runInTurns(QWidget *window, QList<std::function<void()>> steps)
{
    if (steps.isEmpty())
        return;
    QTimer::singleShot(0, window, [window, steps = std::move(steps)]() mutable {
        const std::function<void()> step = steps.takeFirst();
        platform::runGuarded(window, step);
        runInTurns(window, std::move(steps));
    });
}

// Work the main window's construction would otherwise do in line, done on
// the application's thread pool while the main thread starts (the
// application waits for the pool when it goes).  Whichever thread comes
// first does each part; the other finds it done.
void prepareMainWindowAside()
{
    QThreadPool::globalInstance()->start([] {
        bannerLogo();
        // The list of the installed fonts, which the first text needs, and
        // the application font's fallbacks, which the font database keeps
        // for every thread (the font engine itself each thread loads anew).
        QFontDatabase::families();
        QFontMetrics(QGuiApplication::font()).height();
    });
}

} // namespace

Windows::~Windows() = default;

TForm1 *Windows::clock() const
{
    return main ? main->clockWindow() : nullptr;
}

TForm4 *Windows::data() const
{
    return main ? main->dataWindow() : nullptr;
}

namespace {

void showMainWindow(Windows &windows);

} // namespace

std::unique_ptr<Windows> start()
{
    auto windows = std::make_unique<Windows>();
    // The main window opens the tables; one that cannot be opened ends the
    // start before any window is shown.
    try {
        windows->main = std::make_unique<THauptform>();
    } catch (const core::Failure &error) {
        platform::messageBoxes().error(nullptr, error.message());
        return nullptr;
    }
    showMainWindow(*windows);
    return windows;
}

std::unique_ptr<Windows> start(store::ServerAddress server, bool *useFolderInstead)
{
    auto windows = std::make_unique<Windows>();
    for (;;) {
        try {
            windows->main = std::make_unique<THauptform>(server);
            break;
        } catch (const core::Failure &error) {
            if (app::askForServerPassword(nullptr, server, error))
                continue;
            if (useFolderInstead) {
                *useFolderInstead = platform::messageBoxes().ask(
                    nullptr, QCoreApplication::translate("Startup", "%1\n\nWork with the tables in the folder %2 instead?")
                                 .arg(error.message(), QDir::toNativeSeparators(QDir::currentPath())));
            } else {
                platform::messageBoxes().error(nullptr, error.message());
            }
            return nullptr;
        }
    }
    showMainWindow(*windows);
    return windows;
}

namespace {

void showMainWindow(Windows &windows)
{
    THauptform &hauptform = *windows.main;
    hauptform.setWindowBuilder([&hauptform] { hauptform.createWindows(); });
    // Each step in a turn of its own: a click on the painted window waits
    // for one step at most, not for all of them.
    new AfterFirstPaint(&hauptform, [&hauptform] {
        // The program's icon is decoded beside the main thread once the
        // window stands, not during the start, whose threads keep both
        // processors busy; setting it waits for the decoding if need be.
        QThreadPool::globalInstance()->start([] { programIconImages(); });
        runInTurns(&hauptform, {
            [&hauptform] { hauptform.buildClockWindow(); },
            [] { setProgramIcon(); },
            [&hauptform] { hauptform.buildWindows(); },
            // Said once the window stands.
            [&hauptform] { hauptform.warnAboutNetworkFolder(); },
            // The session bus is reached once the window stands rather than
            // when the first test starts; connecting waits for the bus.
            [] { platform::screenSaver(); },
        });
    });
    hauptform.showAtStart();
}

} // namespace

int runWindows(char *argv[], const CommandLine &commandLine, const std::function<void(THauptform &)> &started)
{
    const platform::FontConfigurationReader fontConfiguration;
    // The folder chosen in the window last time, unless the command line
    // names one, and the server likewise; the choice is said below.
    const StartFolder folder = startFolder(commandLine);
    const std::optional<store::ServerAddress> server = startServer(commandLine);
    // The folder's lock is taken ahead, while the toolkit connects to the
    // display, when the start will work in a folder that is there; a folder
    // still to be made, or refused, is left to the steps below, which say
    // why in the user's language.
    std::future<std::unique_ptr<FolderLock>> lockAhead;
    if (!server) {
        const QString shown = folder.folder.isEmpty() ? QStringLiteral(".") : folder.folder;
        if (QFileInfo(shown).isDir())
            lockAhead = takeFolderLockAhead(shown);
    }
    // The arguments are the program's own and have been read; the toolkit
    // gets only the program's name.
    int toolkitArgc = 1;
    QApplication application(toolkitArgc, argv);
    setUpApplication();
    QApplication::setStyle(new platform::ProgramStyle);
    installTranslations(chooseLanguage(commandLine.language));
    platform::useDeviceSoundOutput();
    prepareMainWindowAside();

    // Everything after this works in the working folder: the tables, the
    // export and the sound files are named without a folder.
    if (const QString note = goneFolderNote(folder); !note.isEmpty()) {
        std::fputs(qPrintable(QStringLiteral("korvane: %1\n").arg(note)), stderr);
        platform::messageBoxes().inform(nullptr, note);
    }
    if (const auto reason = enterWorkingFolder(folder.folder)) {
        std::fputs(qPrintable(QStringLiteral("korvane: %1\n").arg(*reason)), stderr);
        platform::messageBoxes().error(nullptr, *reason);
        return 1;
    }

    // Tables on a database server: the server keeps the stations apart, so
    // no folder lock, and there is nothing of the older kind to convert.
    if (server) {
        bool useFolderInstead = false;
        const std::unique_ptr<Windows> windows = start(*server, &useFolderInstead);
        if (windows) {
            if (started)
                started(*windows->main);
            return application.exec();
        }
        if (!useFolderInstead)
            return 1;
    }

    // One Korvane per folder; the lock is held while Korvane works there.
    // Unless taken ahead for this folder, it is taken now (a lock taken
    // ahead for another folder goes first), with the message of a refusal.
    std::unique_ptr<FolderLock> folderLock = lockAhead.valid() ? lockAhead.get() : nullptr;
    if (!folderLock || !folderLock->holds(QStringLiteral("."))) {
        folderLock = std::make_unique<FolderLock>();
        if (const auto reason = folderLock->acquire(QStringLiteral("."))) {
            std::fputs(qPrintable(QStringLiteral("korvane: %1\n").arg(*reason)), stderr);
            platform::messageBoxes().error(nullptr, *reason);
            return 1;
        }
    }

    // Tables of an older kind found in the working folder are offered for
    // conversion before the main window opens the tables; No, a refused file
    // or a failed conversion ends the program (its box has said why).
    if (!legacy::offerLegacyConversion(QStringLiteral("."), nullptr))
        return 1;

    // The main window opens the tables; one that cannot be opened ends the
    // program before any window is shown.
    const std::unique_ptr<Windows> windows = start();
    if (!windows)
        return 1;
    // The main window holds the lock from now on and hands it on when the
    // folder changes.
    windows->main->setFolderLock(std::move(folderLock));
    if (started)
        started(*windows->main);
    return application.exec();
}

} // namespace app
