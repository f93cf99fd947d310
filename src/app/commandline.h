#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace app {

// What the command line asks for.  It is read before any window exists, so
// that --help, --version and a wrong option work without a display.
struct CommandLine {
    enum class Action {
        Run,        // open the windows
        ExportAll,  // write the export of all stored tests and end
        ExportWorkbook, // write the workbook of the stored tables and end
        Report,     // write the report of one test as PDF and end
        CopyToDatabase, // copy the folder's tables to a database server and end
        Print,      // print `text` on standard output and end
        Fail,       // print `text` on standard error and end
    };
    Action action = Action::Run;
    // The working folder as given (--folder) or chosen (--user-folder);
    // empty keeps the folder the program was started in.
    QString folder;
    // --user-folder was given (the desktop menu's start).
    bool userFolder = false;
    // The database server of --database (a checked URL); empty: a folder.
    QString database;
    // The server of --copy-to-database.
    QString copyToDatabase;
    // The language named by --language ("en", "de"); empty follows the system.
    QString language;
    // The export file named by --export-all or --export-xlsx.
    QString exportFile;
    // The test and the PDF file named by --report and --output.
    qint64 reportTest = 0;
    QString outputFile;
    // What Print and Fail print.
    QString text;
    // The exit status for Print and Fail.
    int exitCode = 0;
};

// Reads the arguments (the program's name first, as in argv).
CommandLine parseCommandLine(const QStringList &arguments);

// The usage text that --help prints.
QString helpText();

// The program's name and version, as --version prints them.
QString versionText();

// The folder that --user-folder chooses: "Korvane" in the user's documents
// folder.  Empty when the system names no documents folder.
QString userDataFolder();

// Makes `folder` the working folder, creating it (and missing parents) first.
// An empty folder keeps the working folder as it is.  Returns the reason when
// the folder cannot be created or entered; then the working folder is unchanged.
std::optional<QString> enterWorkingFolder(const QString &folder);

} // namespace app
