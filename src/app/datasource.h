#pragma once

// Where the program keeps its tables: the folder chosen in the main window
// is remembered for the next start.

#include "app/commandline.h"

#include <QDialog>
#include <QString>

class QLineEdit;

namespace app {

// The folder chosen last in the window; empty when none was.
QString rememberedDataFolder();
void rememberDataFolder(const QString &folder);

// The working folder of a start with windows: --folder as given; else the
// folder chosen last in the window, when it still exists; else the folder
// of --user-folder, or the current one (empty).  `note` receives a message
// when the remembered folder is gone and another one is used.
QString startFolder(const CommandLine &commandLine, QString *note = nullptr);

// "Change..." beside the data-folder line: asks for the data folder.
class DataSourceDialog : public QDialog {
    Q_OBJECT
public:
    explicit DataSourceDialog(const QString &currentFolder, QWidget *parent = nullptr);
    // The folder as typed or chosen, absolute.
    QString folder() const;

public slots:
    void BrowseClick();

private:
    QLineEdit *m_folderEdit = nullptr;
};

} // namespace app
