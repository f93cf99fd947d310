#pragma once

#include "store/trainingtables.h"

#include <QImage>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QFrame;
class QPushButton;
class QTimer;
class TForm1;
class TForm4;

namespace app { class FolderLock; }

// The main window: a banner, and a menu that shows the clock window and the
// data window, the information text, or ends the program.
class THauptform : public QMainWindow {
    Q_OBJECT
public:
    // Opens the three tables in the working folder; a table that cannot be
    // opened throws store::StoreError naming the file and the reason.
    explicit THauptform(QWidget *parent = nullptr);
    // The same on the tables of a database server shared by several stations.
    explicit THauptform(const store::ServerAddress &server, QWidget *parent = nullptr);
    // Destroys the clock and data windows it created before its tables.
    ~THauptform() override;

    store::TrainingTables &tables() { return *m_tables; }

    // The lock of the working folder, held while the window works there and
    // handed on when the folder changes.
    void setFolderLock(std::unique_ptr<app::FolderLock> lock);

    // Makes `folder` the working folder: takes its lock, offers its Paradox
    // tables for conversion, opens its tables and builds the clock and data
    // windows anew on them, then lets go of the old folder.  Results not
    // saved in the clock window are asked about first.  Whatever fails is
    // said in a box and leaves everything on the old folder; returns whether
    // the folder changed.
    // `failed`, when given, is told what failed instead of the box.
    bool switchDataFolder(const QString &folder, const std::function<void(const QString &)> &failed = {});
    // The same for the tables on a database server; `copyFolder` first
    // copies the working folder's tables into the server's empty ones.
    bool switchToServer(const store::ServerAddress &server, bool copyFolder = false,
                        const std::function<void(const QString &)> &failed = {});

    // Says once that the working folder lies on a network file system.
    void warnAboutNetworkFolder();

    // Creates the clock window, then the data window, on the tables of this
    // window; they live until this window is destroyed.
    void createWindows();
    // The windows the menu shows, when they are owned elsewhere.
    void setWindows(TForm1 *clockWindow, TForm4 *dataWindow);
    // Builds those windows (calling setWindows) when the menu needs them
    // before the start got round to it; runs at most once.
    void setWindowBuilder(std::function<void()> build) { m_buildWindows = std::move(build); }
    void buildWindows();
    // The first part of buildWindows(), for a start that builds them step by
    // step: the clock window alone, while the windows are still to be built.
    void buildClockWindow();
    TForm1 *clockWindow() const { return m_clockWindow; }
    TForm4 *dataWindow() const { return m_dataWindow; }

    // Shows the window maximised at once, whether or not the window manager
    // activates it.
    void showAtStart();

    // The folder that holds the tables, as the window shows it.
    QString dataFolderText() const;

public slots:
    void est1Click();
    void Daten1Click();
    void About1Click();
    void Ende1Click();
    void FormActivate();
    // "Change..." beside the data-folder line.
    void ChangeFolderClick();

protected:
    bool event(QEvent *event) override;
    // Results the clock window has not saved are asked about before the
    // program ends; Cancel keeps it running.
    void closeEvent(QCloseEvent *event) override;

private:
    THauptform(std::unique_ptr<store::TrainingTables> tables, QWidget *parent);
    // Puts the clock and data windows and the tables in place of the old
    // ones (which go, windows first) once the new tables are open.
    void replaceTables(std::unique_ptr<store::TrainingTables> tables, std::unique_ptr<app::FolderLock> lock);
    // Whether the windows may be built anew: unsaved results are asked about.
    bool windowsMayBeReplaced();
    // A running test and results not saved in the clock window are asked
    // about, as at its Close; false when the user keeps them (Cancel).
    bool clockResultsSettled();
    // Starts the day's backup aside (again each time the day turns) and
    // reports a failed one in the status line.
    void watchBackups();
    void armDayTurn();
    void showBackupFailure(const QString &message);

    std::unique_ptr<store::TrainingTables> m_tables;
    std::unique_ptr<app::FolderLock> m_folderLock;
    bool m_networkFolder = false;
    QPushButton *m_changeFolder = nullptr;
    QLabel *m_backupState = nullptr;
    QTimer *m_dayTurn = nullptr;
    QLabel *Panel1 = nullptr;
    QLabel *Image2 = nullptr;
    QFrame *Shape1 = nullptr;
    QLabel *m_folderLabel = nullptr;
    std::unique_ptr<TForm1> m_ownedClockWindow;
    std::unique_ptr<TForm4> m_ownedDataWindow;
    TForm1 *m_clockWindow = nullptr;
    TForm4 *m_dataWindow = nullptr;
    std::function<void()> m_buildWindows;
};

// The text of the information box.
QString informationText();

// The banner's logo, decoded on first use and kept; safe from any thread.
QImage bannerLogo();
