#include "app/application.h"
#include "app/commandline.h"
#include "app/startup.h"
#include "data/fullexport.h"
#include "legacy/legacyimport.h"
#include "platform/messages.h"
#include "platform/screensaver.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// --export-all: writes the export of all stored tests without opening a
// window and returns the exit status; the reason of a failure goes to
// standard error.  The tables are read where --folder says (nothing is
// created there), the file is written relative to the current folder.
int exportAll(int argc, char *argv[], const app::CommandLine &commandLine)
{
    QCoreApplication application(argc, argv);
    QTextStream err(stderr);
    const QString folder = commandLine.folder.isEmpty() ? QStringLiteral(".") : commandLine.folder;
    return data::runExportAll(folder, commandLine.exportFile, err);
}

int runWindows(char *argv[], const app::CommandLine &commandLine)
{
    // The arguments are the program's own and have been read; the toolkit
    // gets only the program's name.
    int toolkitArgc = 1;
    QApplication application(toolkitArgc, argv);
    app::setUpApplication();

    // Everything after this works in the working folder: the tables, the
    // export and the sound files are named without a folder.
    if (const auto reason = app::enterWorkingFolder(commandLine.folder)) {
        print(stderr, QStringLiteral("korvane: %1\n").arg(*reason));
        platform::messageBoxes().error(nullptr, *reason);
        return 1;
    }

    // Tables of an older kind found in the working folder are offered for
    // conversion before the main window opens the tables; No, a refused file
    // or a failed conversion ends the program (its box has said why).
    if (!legacy::offerLegacyConversion(QStringLiteral("."), nullptr))
        return 1;

    // The main window opens the tables; one that cannot be opened ends the
    // program before any window is shown.
    const std::unique_ptr<app::Windows> windows = app::start();
    if (!windows)
        return 1;
    // Reaches the session bus once the window shows rather than when the
    // first test starts.
    QTimer::singleShot(0, [] { platform::screenSaver(); });
    return application.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // Read before any window system is reached, so --help and --version work
    // without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const app::CommandLine commandLine = app::parseCommandLine(arguments);

    switch (commandLine.action) {
    case app::CommandLine::Action::Print:
        print(stdout, commandLine.text);
        return commandLine.exitCode;
    case app::CommandLine::Action::Fail:
        print(stderr, commandLine.text);
        return commandLine.exitCode;
    case app::CommandLine::Action::ExportAll:
        return exportAll(argc, argv, commandLine);
    case app::CommandLine::Action::Run:
        break;
    }
    return runWindows(argv, commandLine);
}
