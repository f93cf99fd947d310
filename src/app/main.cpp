#include "app/application.h"
#include "app/commandline.h"
#include "app/hauptform.h"

#include "platform/errors.h"
#include "platform/messages.h"
#include "platform/screensaver.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// Writes the export of all stored tests to `file` in the working folder and
// returns the exit status; reasons for a failure go to standard error.
// --export-all runs it without opening a window.
std::function<int(const QString &file)> exportAllTests;

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int exportAll(int argc, char *argv[], const app::CommandLine &commandLine)
{
    QCoreApplication application(argc, argv);
    if (const auto reason = app::enterWorkingFolder(commandLine.folder)) {
        print(stderr, QStringLiteral("korvane: %1\n").arg(*reason));
        return 1;
    }
    if (!exportAllTests) {
        print(stderr, QStringLiteral("korvane: this build cannot export from the command line.\n"));
        return 1;
    }
    return exportAllTests(commandLine.exportFile);
}

int runWindows(char *argv[], const app::CommandLine &commandLine)
{
    // The arguments are the program's own and have been read; the toolkit
    // gets only the program's name.
    int toolkitArgc = 1;
    QApplication application(toolkitArgc, argv);
    app::setUpApplication();
    // Reaches the session bus now rather than when the first test starts.
    platform::screenSaver();

    // Everything after this works in the working folder: the tables, the
    // export and the sound files are named without a folder.
    if (const auto reason = app::enterWorkingFolder(commandLine.folder)) {
        print(stderr, QStringLiteral("korvane: %1\n").arg(*reason));
        platform::messageBoxes().error(nullptr, *reason);
        return 1;
    }

    // Tables of an older kind found in the working folder are dealt with
    // here, before the main window opens the tables.

    // The main window opens the tables; one that cannot be opened ends the
    // program before any window is shown.
    std::unique_ptr<THauptform> hauptform;
    try {
        hauptform = std::make_unique<THauptform>();
    } catch (const platform::ActionError &error) {
        platform::messageBoxes().error(nullptr, error.message());
        return 1;
    }
    hauptform->createWindows();
    hauptform->showAtStart();
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
