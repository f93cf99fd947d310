// The main window's data folder: changing it at run time, the network-folder
// warning and the report of a failed daily backup.

#include "app/datasource.h"
#include "app/folderlock.h"
#include "app/hauptform.h"
#include "app/legacyimport.h"
#include "clock/tform1.h"
#include "core/filesystem.h"
#include "core/files.h"
#include "data/tform4.h"
#include "platform/guard.h"
#include "platform/messages.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

void THauptform::setFolderLock(std::unique_ptr<app::FolderLock> lock)
{
    m_folderLock = std::move(lock);
}

void THauptform::watchBackups()
{
    m_tables->backup().setFailureHandler([this](const core::Failure &failure) { showBackupFailure(failure.message()); });
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
                 "For several stations a shared database server is the right place; Korvane's support for one is "
                 "planned. Until then Korvane works in this folder as in any other.")
                  .arg(QDir::toNativeSeparators(QDir(m_tables->folder()).absolutePath())));
}

void THauptform::ChangeFolderClick()
{
    platform::runGuarded(this, [this] {
        app::DataSourceDialog dialog(QDir(m_tables->folder()).absolutePath(), this);
        if (dialog.exec() != QDialog::Accepted || dialog.folder().isEmpty())
            return;
        if (switchDataFolder(dialog.folder()))
            app::rememberDataFolder(QDir::currentPath());
    });
}

bool THauptform::switchDataFolder(const QString &folder)
{
    const QString target = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString current = QDir(m_tables->folder()).canonicalPath();
    if (QFileInfo(target).canonicalFilePath() == current && !current.isEmpty())
        return true;
    // The windows work on the tables; windows owned elsewhere cannot be
    // built anew here.
    if (m_clockWindow && m_clockWindow != m_ownedClockWindow.get())
        return false;
    // Results not saved go to the old folder's tables or are dropped by the
    // user's own answer; Cancel keeps everything as it is.
    if (m_clockWindow && !m_clockWindow->settleBeforeClosing())
        return false;

    const QString shown = QDir::toNativeSeparators(target);
    if (!QFileInfo(target).isDir()) {
        QString reason;
        if (QFileInfo::exists(target) || !platform::createPrivateFolder(target, &reason)) {
            platform::messageBoxes().error(
                this, reason.isEmpty() ? tr("\"%1\" is not a folder.").arg(shown)
                                       : tr("The folder \"%1\" cannot be created: %2.").arg(shown, reason));
            return false;
        }
    }
    // The new folder's lock is taken before the old one goes, so that no
    // other Korvane can start on either in between.
    auto lock = std::make_unique<app::FolderLock>();
    if (const auto reason = lock->acquire(target)) {
        platform::messageBoxes().error(this, *reason);
        return false;
    }
    if (!legacy::offerLegacyConversion(target, this))
        return false;
    auto tables = std::make_unique<store::TrainingTables>(target);
    try {
        tables->openAll();
    } catch (const core::Failure &failure) {
        platform::messageBoxes().error(this, failure.message());
        return false;
    }
    // The export and the sound files are named without a folder.
    if (!QDir::setCurrent(target)) {
        platform::messageBoxes().error(this, tr("Korvane cannot work in the folder \"%1\".").arg(shown));
        return false;
    }

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
    m_networkFolder = core::isOnNetworkFileSystem(target);
    m_folderLabel->setText(dataFolderText());
    statusBar()->clearMessage();
    warnAboutNetworkFolder();
    return true;
}
