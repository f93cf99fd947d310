#pragma once

// Where the program keeps its tables: the folder chosen in the main window
// is remembered for the next start.

#include "app/commandline.h"
#include "core/errors.h"
#include "store/serveraddress.h"

#include <QDialog>
#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace app {

// The folder chosen last in the window; empty when none was.
QString rememberedDataFolder();
void rememberDataFolder(const QString &folder);
// A database server chosen last in the window (its address without a
// password); nothing when a folder was chosen last.
std::optional<store::ServerAddress> rememberedDataServer();
void rememberDataServer(const store::ServerAddress &server);

// After a server refused the connection: when it wanted a password that
// neither ~/.pgpass nor the service file gave, asks for it in a box and keeps
// it in `server` (in memory only); true when one was given.
bool askForServerPassword(QWidget *parent, store::ServerAddress &server, const core::Failure &failure);

// The database server of a start with windows: --database as given; else,
// unless --folder or --user-folder names a folder, the server chosen last.
std::optional<store::ServerAddress> startServer(const CommandLine &commandLine);

// The working folder of a start with windows: --folder as given; else the
// folder chosen last in the window, when it still exists; else the folder
// of --user-folder, or the current one (empty).
struct StartFolder {
    QString folder;
    // The folder chosen last, when it is gone and `folder` is used instead.
    QString gone;
    QString instead;
};
StartFolder startFolder(const CommandLine &commandLine);

// What the start says when the folder chosen last is gone; empty otherwise.
// Made apart from the choice, which the start makes before its translations
// are installed.
QString goneFolderNote(const StartFolder &start);

// "Change..." beside the data-folder line: asks for the data folder or a
// database server.  OK carries the choice out while the dialog stays open: a
// folder that does not exist is created only when the user confirms it, and
// a choice that fails keeps the dialog open with what was typed and why.
class DataSourceDialog : public QDialog {
    Q_OBJECT
public:
    explicit DataSourceDialog(const QString &currentFolder,
                              const std::optional<store::ServerAddress> &currentServer = std::nullopt,
                              QWidget *parent = nullptr);
    // The folder as typed or chosen, absolute.
    QString folder() const;
    // The server when one was chosen.
    std::optional<store::ServerAddress> server() const;
    // Copy the working folder's tables to the chosen server first.
    bool copyFolder() const;

    // Carries the choice out on OK; the dialog closes when it returns true.
    void setApply(std::function<bool()> apply) { m_apply = std::move(apply); }
    // Shows why the choice failed, beside what was typed.
    void showFailure(const QString &reason);

public slots:
    void BrowseClick();
    void accept() override;

private:
    void showChoice();

    QRadioButton *m_folderChoice = nullptr;
    QRadioButton *m_serverChoice = nullptr;
    QLineEdit *m_folderEdit = nullptr;
    QLineEdit *m_serverEdit = nullptr;
    QCheckBox *m_copyFolder = nullptr;
    QWidget *m_folderPart = nullptr;
    QWidget *m_serverPart = nullptr;
    QLabel *m_failure = nullptr;
    std::function<bool()> m_apply;
};

} // namespace app
