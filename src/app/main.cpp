#include "app/commandline.h"
#include "app/startup.h"
#include "app/translations.h"
#include "app/commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

// The command line as it was typed.  On Windows argv holds it in the ANSI
// code page, which lacks most of the world's characters (a folder named
// "Ωμέγα" arrives as "?????"): there it is read in its wide form.
QStringList programArguments(int argc, char *argv[])
{
    QStringList arguments;
#ifdef Q_OS_WIN
    int count = 0;
    if (wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments << QString::fromWCharArray(wide[i]);
        LocalFree(wide);
        return arguments;
    }
#endif
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

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
    app::installTranslations(app::chooseLanguage(commandLine.language));
    QTextStream err(stderr);
    if (!commandLine.database.isEmpty())
        return app::runServerExportAll(commandLine.database, commandLine.exportFile, err);
    const QString folder = commandLine.folder.isEmpty() ? QStringLiteral(".") : commandLine.folder;
    return app::runExportAll(folder, commandLine.exportFile, err);
}

// --export-xlsx: writes the workbook of the stored tables without opening a
// window, read as --export-all reads them.
int exportWorkbook(int argc, char *argv[], const app::CommandLine &commandLine)
{
    QCoreApplication application(argc, argv);
    app::installTranslations(app::chooseLanguage(commandLine.language));
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!commandLine.database.isEmpty())
        return app::runServerWorkbookExport(commandLine.database, commandLine.exportFile, out, err);
    const QString folder = commandLine.folder.isEmpty() ? QStringLiteral(".") : commandLine.folder;
    return app::runWorkbookExport(folder, commandLine.exportFile, out, err);
}

// --report: writes the report of one test as PDF without opening a window.
// The fonts need the GUI part of Qt, but no display: the offscreen platform
// serves unless another is asked for.
int reportTest(int argc, char *argv[], const app::CommandLine &commandLine)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    app::installTranslations(app::chooseLanguage(commandLine.language));
    QTextStream err(stderr);
    const QString folder = commandLine.folder.isEmpty() ? QStringLiteral(".") : commandLine.folder;
    return app::runReport(folder, commandLine.reportTest, commandLine.outputFile, err);
}

} // namespace

int main(int argc, char *argv[])
{
    // Read before any window system is reached, so --help and --version work
    // without a display.
    const QStringList arguments = programArguments(argc, argv);
    const app::CommandLine commandLine = app::parseCommandLine(arguments);

    switch (commandLine.action) {
    case app::CommandLine::Action::Print:
    case app::CommandLine::Action::Fail: {
        // Read once more in the language asked for, now that translations
        // can be installed.
        QCoreApplication application(argc, argv);
        app::installTranslations(app::chooseLanguage(commandLine.language));
        const app::CommandLine spoken = app::parseCommandLine(arguments);
        print(spoken.action == app::CommandLine::Action::Print ? stdout : stderr, spoken.text);
        return spoken.exitCode;
    }
    case app::CommandLine::Action::ExportAll:
        return exportAll(argc, argv, commandLine);
    case app::CommandLine::Action::ExportWorkbook:
        return exportWorkbook(argc, argv, commandLine);
    case app::CommandLine::Action::Report:
        return reportTest(argc, argv, commandLine);
    case app::CommandLine::Action::CopyToDatabase: {
        QCoreApplication application(argc, argv);
        app::installTranslations(app::chooseLanguage(commandLine.language));
        QTextStream out(stdout);
        QTextStream err(stderr);
        return app::runCopyToDatabase(commandLine.folder, commandLine.copyToDatabase, out, err);
    }
    case app::CommandLine::Action::Run:
        break;
    }
    return app::runWindows(argv, commandLine);
}
