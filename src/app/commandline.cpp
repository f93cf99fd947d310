#include "app/commandline.h"

#include "store/serveraddress.h"

#include "app/translations.h"
#include "core/files.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

#ifndef KORVANE_VERSION
#define KORVANE_VERSION "unknown"
#endif

namespace app {
namespace {

// The options in the order the help lists them.  A new option is one more row
// here and one more branch in parseCommandLine().
struct OptionRow {
    QStringList names;
    const char *valueName;  // nullptr for a switch
    const char *description;
};

const QList<OptionRow> &optionRows()
{
    static const QList<OptionRow> rows = {
        {{QStringLiteral("folder")}, "dir",
         QT_TRANSLATE_NOOP("CommandLine", "Work in <dir>: keep the tables and the export there. The folder is "
         "created when missing. Without this option Korvane works with the folder or database server "
         "chosen last with \"Change...\" in the main window; when none was chosen or that folder is "
         "gone, in the folder it was started in.")},
        {{QStringLiteral("user-folder")}, nullptr,
         QT_TRANSLATE_NOOP("CommandLine", "Work in the folder \"Korvane\" in your documents folder, created when "
         "missing. The desktop menu starts Korvane this way.")},
        {{QStringLiteral("export-all")}, "file",
         QT_TRANSLATE_NOOP("CommandLine", "Write all stored tests to <file> and end, without opening a window. "
         "<file> is relative to the current folder, not to --folder; /dev/stdout "
         "writes to standard output. The tables are read from --folder, which "
         "must exist (it is not created), and are never changed; a folder in "
         "use by a running Korvane may be read. A <file> that is a link, a "
         "folder, a named pipe, a device or a table file is refused.")},
        {{QStringLiteral("export-xlsx")}, "file",
         QT_TRANSLATE_NOOP("CommandLine", "Write the stored tests, their sets, the athletes and the profiles as "
         "an Excel workbook to <file> and end, without opening a window. The tables are read from --folder "
         "or --database as for --export-all and are never changed.")},
        {{QStringLiteral("database")}, "url",
         QT_TRANSLATE_NOOP("CommandLine", "Keep the tables on the database server at <url>, shared by several "
         "stations: postgresql://user@host:port/database, with libpq's parameters such as "
         "?sslmode=verify-full. The password comes from ~/.pgpass or the service file, or is asked for.")},
        {{QStringLiteral("copy-to-database")}, "url",
         QT_TRANSLATE_NOOP("CommandLine", "Copy the tables of --folder with their keys into the empty tables of "
         "the database server at <url>, check the copy and end.")},
        {{QStringLiteral("language")}, "code",
         QT_TRANSLATE_NOOP("CommandLine", "Speak the language <code>: en (English) or de (German). Without this "
         "option Korvane speaks the language of the system, or English.")},
        {{QStringLiteral("report")}, "testnr",
         QT_TRANSLATE_NOOP("CommandLine", "Write the report of the stored test <testnr> as PDF to the file "
         "named by --output and end, without opening a window. Nothing is "
         "created or changed in the working folder.")},
        {{QStringLiteral("output")}, "file", QT_TRANSLATE_NOOP("CommandLine", "The PDF file --report writes.")},
        {{QStringLiteral("h"), QStringLiteral("help")}, nullptr, QT_TRANSLATE_NOOP("CommandLine", "Show this help and end.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, nullptr, QT_TRANSLATE_NOOP("CommandLine", "Show the version and end.")},
    };
    return rows;
}

QString optionSignature(const OptionRow &row)
{
    QStringList names;
    for (const QString &name : row.names)
        names << (name.size() == 1 ? u'-' + name : QStringLiteral("--") + name);
    QString signature = names.join(QStringLiteral(", "));
    if (row.valueName)
        signature += QStringLiteral(" <%1>").arg(QLatin1StringView(row.valueName));
    return signature;
}

// Breaks `text` into lines of at most `width` characters.
QStringList wrapped(const QString &text, qsizetype width)
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

CommandLine failure(const QString &reason, int exitCode)
{
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.text = QStringLiteral("korvane: ") + reason + u'\n';
    result.exitCode = exitCode;
    return result;
}

// A wrong use of the options: the reason, then the help.  Exit status 2.
CommandLine usageError(const QString &reason)
{
    CommandLine result = failure(reason, 2);
    result.text += u'\n' + helpText();
    return result;
}

} // namespace

QString versionText()
{
    return QStringLiteral("Korvane " KORVANE_VERSION "\n");
}

QString helpText()
{
    constexpr qsizetype indent = 2;
    constexpr qsizetype lineWidth = 79;
    qsizetype column = 0;
    for (const OptionRow &row : optionRows())
        column = std::max(column, indent + optionSignature(row).size() + 2);

    QString text = QCoreApplication::translate("CommandLine",
        "Usage: korvane [options]\n"
        "Paces and times strength-training tests.\n"
        "\n"
        "Korvane keeps its tables \"TestTable.DB\", \"Profil.db\" and \"SPTable.db\" and\n"
        "writes its export \"Korvane.csv\" in its working folder.\n"
        "\n"
        "Options:\n");
    for (const OptionRow &row : optionRows()) {
        const QString signature = QString(indent, u' ') + optionSignature(row);
        const QStringList lines = wrapped(QCoreApplication::translate("CommandLine", row.description), lineWidth - column);
        for (qsizetype i = 0; i < lines.size(); ++i)
            text += (i == 0 ? signature.leftJustified(column) : QString(column, u' ')) + lines[i] + u'\n';
    }
    return text;
}

namespace {

// Everything but the language, from a parsed command line.
CommandLine readOptions(const QCommandLineParser &parser)
{
    if (parser.isSet(QStringLiteral("help"))) {
        CommandLine result;
        result.action = CommandLine::Action::Print;
        result.text = helpText();
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        CommandLine result;
        result.action = CommandLine::Action::Print;
        result.text = versionText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QCoreApplication::translate("CommandLine", "Unexpected argument: '%1'.").arg(parser.positionalArguments().first()));

    CommandLine result;
    const bool folderGiven = parser.isSet(QStringLiteral("folder"));
    if (folderGiven && parser.isSet(QStringLiteral("user-folder")))
        return usageError(QCoreApplication::translate("CommandLine", "Give either --folder or --user-folder, not both."));
    if (folderGiven) {
        result.folder = parser.values(QStringLiteral("folder")).constLast();
        if (result.folder.isEmpty())
            return usageError(QCoreApplication::translate("CommandLine", "The folder after --folder is empty."));
    } else if (parser.isSet(QStringLiteral("user-folder"))) {
        result.folder = userDataFolder();
        result.userFolder = true;
        if (result.folder.isEmpty())
            return failure(QCoreApplication::translate("CommandLine", "This system names no documents folder for you; "
                                          "start Korvane with --folder <dir>."), 1);
    }
    const auto readAddress = [&](const QString &option, QString &into) -> std::optional<QString> {
        if (!parser.isSet(option))
            return std::nullopt;
        into = parser.values(option).constLast();
        QString why;
        const auto address = store::ServerAddress::parse(into, &why);
        if (!address)
            return why;
        // Every user of the system could read it in the list of processes.
        if (address->holdsSecret())
            return QCoreApplication::translate("CommandLine", "A password does not belong on the command line, where "
                                               "others can read it. Put it in ~/.pgpass or the service file, or leave "
                                               "it out and Korvane asks for it.");
        return std::nullopt;
    };
    if (const auto why = readAddress(QStringLiteral("database"), result.database))
        return usageError(*why);
    if (const auto why = readAddress(QStringLiteral("copy-to-database"), result.copyToDatabase))
        return usageError(*why);
    if (!result.database.isEmpty() && parser.isSet(QStringLiteral("user-folder")))
        return usageError(QCoreApplication::translate("CommandLine", "Give either --database or --user-folder, not both."));
    if (!result.copyToDatabase.isEmpty()) {
        if (!folderGiven || !result.database.isEmpty())
            return usageError(QCoreApplication::translate("CommandLine", "--copy-to-database copies the tables of --folder <dir>."));
        result.action = CommandLine::Action::CopyToDatabase;
    }
    if (parser.isSet(QStringLiteral("export-all"))) {
        result.action = CommandLine::Action::ExportAll;
        result.exportFile = parser.values(QStringLiteral("export-all")).constLast();
        if (result.exportFile.isEmpty())
            return usageError(QCoreApplication::translate("CommandLine", "The file after --export-all is empty."));
    }
    const bool workbook = parser.isSet(QStringLiteral("export-xlsx"));
    if (workbook) {
        if (result.action == CommandLine::Action::ExportAll)
            return usageError(QCoreApplication::translate("CommandLine", "Give either --export-all or --export-xlsx, not both."));
        result.action = CommandLine::Action::ExportWorkbook;
        result.exportFile = parser.values(QStringLiteral("export-xlsx")).constLast();
        if (result.exportFile.isEmpty())
            return usageError(QCoreApplication::translate("CommandLine", "The file after --export-xlsx is empty."));
    }
    const bool report = parser.isSet(QStringLiteral("report"));
    const bool output = parser.isSet(QStringLiteral("output"));
    if ((report || workbook || parser.isSet(QStringLiteral("export-all"))) && !result.copyToDatabase.isEmpty())
        return usageError(QCoreApplication::translate("CommandLine", "--copy-to-database does not go with --export-all, --export-xlsx or --report."));
    if (report && (result.action == CommandLine::Action::ExportAll || workbook))
        return usageError(QCoreApplication::translate("CommandLine", "Give either an export or --report, not both."));
    if (output && !report)
        return usageError(QCoreApplication::translate("CommandLine", "--output names the file of --report."));
    if (report) {
        const QString number = parser.values(QStringLiteral("report")).constLast();
        bool ok = false;
        result.reportTest = number.trimmed().toLongLong(&ok);
        if (!ok || result.reportTest < 1)
            return usageError(QCoreApplication::translate("CommandLine", "The test number after --report is not a test number: '%1'.").arg(number));
        if (!output)
            return usageError(QCoreApplication::translate("CommandLine", "--report needs --output <file>."));
        result.outputFile = parser.values(QStringLiteral("output")).constLast();
        if (result.outputFile.isEmpty())
            return usageError(QCoreApplication::translate("CommandLine", "The file after --output is empty."));
        result.action = CommandLine::Action::Report;
    }
    return result;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const OptionRow &row : optionRows()) {
        QCommandLineOption option(row.names, QCoreApplication::translate("CommandLine", row.description));
        if (row.valueName)
            option.setValueName(QString::fromUtf8(row.valueName));
        parser.addOption(option);
    }
    // Without an argument list there is not even a program name to skip.
    const QStringList withName = arguments.isEmpty() ? QStringList{QStringLiteral("korvane")} : arguments;
    if (!parser.parse(withName))
        return usageError(parser.errorText());

    // The language first: the help and every usage error are said in it.
    QString language;
    if (parser.isSet(QStringLiteral("language"))) {
        language = parser.values(QStringLiteral("language")).constLast();
        if (!availableLanguages().contains(language))
            return usageError(QCoreApplication::translate("CommandLine", "Unknown language '%1': give en or de.").arg(language));
    }
    CommandLine result = readOptions(parser);
    result.language = language;
    return result;
}

QString userDataFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return {};
    return QDir(documents).filePath(QStringLiteral("Korvane"));
}

std::optional<QString> enterWorkingFolder(const QString &folder)
{
    if (folder.isEmpty())
        return std::nullopt;
#ifdef Q_OS_WIN
    const std::filesystem::path path(folder.toStdWString()); // the ANSI code page would lose characters
#else
    const std::filesystem::path path(QFile::encodeName(folder).toStdString());
#endif
    const QString shown = QDir::toNativeSeparators(folder);
    std::error_code error;
    const bool exists = std::filesystem::exists(path, error);
    if (exists && !std::filesystem::is_directory(path, error))
        return QCoreApplication::translate("CommandLine", "\"%1\" is a file, not a folder.").arg(shown);
    // Readable by its user only: the tables hold personal data.
    QString reason;
    if (!exists && !platform::createPrivateFolder(folder, &reason))
        return QCoreApplication::translate("CommandLine", "The folder \"%1\" cannot be created: %2.").arg(shown, reason);
    std::filesystem::current_path(path, error);
    if (error)
        return QCoreApplication::translate("CommandLine", "Korvane cannot work in the folder \"%1\": %2.")
            .arg(shown, QString::fromLocal8Bit(error.message()));
    return std::nullopt;
}

} // namespace app
