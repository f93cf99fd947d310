// The main window's data folder: changing it at run time, the network-folder
// warning and the report of a failed daily backup.

#include "app/datasource.h"
#include "app/folderlock.h"
#include "app/hauptform.h"
#include "app/legacyimport.h"
#include "clock/tform1.h"
#include "core/filesystem.h"
#include "core/files.h"
#include "core/wallclock.h"
#include "data/tform4.h"
#include "model/servercopy.h"
#include "platform/guard.h"
#include "platform/messages.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

void THauptform::setFolderLock(std::unique_ptr<app::FolderLock> lock)
{
    m_folderLock = std::move(lock);
}

void THauptform::watchBackups()
{
    m_tables->backup().setFailureHandler([this](const core::Failure &failure) { showBackupFailure(failure.message()); });
    // Made now, the backup is normally done by the day's first save, which
    // would otherwise wait for the copy of the tables.
    m_tables->backup().startAside();
    armDayTurn();
}

void THauptform::armDayTurn()
{
    if (!m_dayTurn) {
        m_dayTurn = new QTimer(this);
        m_dayTurn->setSingleShot(true);
        m_dayTurn->setTimerType(Qt::VeryCoarseTimer);
        connect(m_dayTurn, &QTimer::timeout, this, [this] {
            m_tables->backup().startAside();
            armDayTurn();
        });
    }
    // A few seconds past midnight, so that the clock reads the new day.
    constexpr int kPastMidnightMs = 5000;
    m_dayTurn->start(platform::kDayMs - platform::wallClock().timeOfDayMs() + kPastMidnightMs);
}

void THauptform::showBackupFailure(const QString &message)
{
    // Not a box: the save goes on behind it, and a box over the clock window
    // would run the window's activation.
    m_backupState->setText(message);
    m_backupState->setToolTip(message);
    m_backupState->show();
}

void THauptform::warnAboutNetworkFolder()
{
    if (!m_networkFolder)
        return;
    platform::messageBoxes().inform(
        this, tr("The data folder %1 lies on a network file system.\n\n"
                 "Korvane keeps its tables in SQLite files, and SQLite's locking is not reliable on network file "
                 "systems: when two stations write to the same tables at once, the tables can be damaged. Let only "
                 "one station at a time use this folder.\n\n"
                 "For several stations a shared database server is the right place: choose \"Change...\" beside "
                 "the data-folder line and enter its address. Until then Korvane works in this folder as in any other.")
                  .arg(QDir::toNativeSeparators(QDir(m_tables->folder()).absolutePath())));
}

void THauptform::ChangeFolderClick()
{
    platform::runGuarded(this, [this] {
        app::DataSourceDialog dialog(QDir::currentPath(), m_tables->server(), this);
        // A choice that fails keeps the dialog open with what was typed and
        // the reason, in a box over it and beside the address.
        const auto failed = [&dialog](const QString &reason) {
            platform::messageBoxes().error(&dialog, reason);
            dialog.showFailure(reason);
        };
        dialog.setApply([&] {
            if (const auto server = dialog.server()) {
                if (!switchToServer(*server, dialog.copyFolder(), failed))
                    return false;
                app::rememberDataServer(*server);
                return true;
            }
            if (dialog.folder().isEmpty())
                return true;
            if (!switchDataFolder(dialog.folder(), failed))
                return false;
            app::rememberDataFolder(QDir::currentPath());
            return true;
        });
        dialog.exec();
    });
}

bool THauptform::windowsMayBeReplaced()
{
    // The windows work on the tables; windows owned elsewhere cannot be
    // built anew here.
    if (m_clockWindow && m_clockWindow != m_ownedClockWindow.get())
        return false;
    // Results not saved go to the old tables or are dropped by the user's
    // own answer; Cancel keeps everything as it is.
    return clockResultsSettled();
}

bool THauptform::switchToServer(const store::ServerAddress &address, bool copyFolder,
                                const std::function<void(const QString &)> &failed)
{
    // A password the server asks for is kept here, in memory only.
    store::ServerAddress server = address;
    const auto report = [&](const QString &message) {
        if (failed)
            failed(message);
        else
            platform::messageBoxes().error(this, message);
    };
    if (m_tables->onServer() && m_tables->server()->url() == server.url())
        return true;
    if (!windowsMayBeReplaced())
        return false;
    for (;;) {
        try {
            if (copyFolder) {
                const data::CopiedRecords copied = data::copyFolderToServer(QDir::currentPath(), server);
                platform::messageBoxes().inform(
                    this, tr("Copied to %1: %2 tests, %3 athletes and %4 profiles, checked against the folder.")
                              .arg(server.display()).arg(copied.tests).arg(copied.athletes).arg(copied.profiles));
            }
            auto tables = std::make_unique<store::TrainingTables>(server);
            tables->openAll();
            // A server needs no folder lock: it keeps the stations apart itself.
            replaceTables(std::move(tables), nullptr);
            return true;
        } catch (const core::Failure &failure) {
            if (app::askForServerPassword(this, server, failure))
                continue;
            report(failure.message());
            return false;
        }
    }
}

void THauptform::replaceTables(std::unique_ptr<store::TrainingTables> tables, std::unique_ptr<app::FolderLock> lock)
{
    // The windows go before the tables they work on; they are built anew on
    // the new tables when the menu needs them.  The old lock goes last.
    m_ownedDataWindow.reset();
    m_ownedClockWindow.reset();
    m_clockWindow = nullptr;
    m_dataWindow = nullptr;
    std::unique_ptr<app::FolderLock> oldLock = std::exchange(m_folderLock, std::move(lock));
    std::unique_ptr<store::TrainingTables> oldTables = std::exchange(m_tables, std::move(tables));
    oldTables.reset();
    oldLock.reset();
    m_buildWindows = [this] { createWindows(); };

    watchBackups();
    m_backupState->hide();
    m_backupState->clear();
    m_networkFolder = !m_tables->onServer() && core::isOnNetworkFileSystem(QStringLiteral("."));
    m_folderLabel->setText(dataFolderText());
    statusBar()->clearMessage();
}

bool THauptform::switchDataFolder(const QString &folder, const std::function<void(const QString &)> &failed)
{
    const auto report = [&](const QString &message) {
        if (failed)
            failed(message);
        else
            platform::messageBoxes().error(this, message);
    };
    const QString target = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString current = m_tables->onServer() ? QString() : QDir(m_tables->folder()).canonicalPath();
    if (QFileInfo(target).canonicalFilePath() == current && !current.isEmpty())
        return true;
    if (!windowsMayBeReplaced())
        return false;

    const QString shown = QDir::toNativeSeparators(target);
    if (!QFileInfo(target).isDir()) {
        QString reason;
        if (QFileInfo::exists(target) || !platform::createPrivateFolder(target, &reason)) {
            report(reason.isEmpty() ? tr("\"%1\" is not a folder.").arg(shown)
                                    : tr("The folder \"%1\" cannot be created: %2.").arg(shown, reason));
            return false;
        }
    }
    // The new folder's lock is taken before the old one goes, so that no
    // other Korvane can start on either in between.
    auto lock = std::make_unique<app::FolderLock>();
    if (const auto reason = lock->acquire(target)) {
        report(*reason);
        return false;
    }
    if (!legacy::offerLegacyConversion(target, this))
        return false;
    auto tables = std::make_unique<store::TrainingTables>(target);
    try {
        tables->openAll();
    } catch (const core::Failure &failure) {
        report(failure.message());
        return false;
    }
    // The export and the sound files are named without a folder.
    if (!QDir::setCurrent(target)) {
        report(tr("Korvane cannot work in the folder \"%1\".").arg(shown));
        return false;
    }

    replaceTables(std::move(tables), std::move(lock));
    warnAboutNetworkFolder();
    return true;
}
