// The command line and the choice of the working folder.

#include "app/commandline.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using app::CommandLine;
using Action = CommandLine::Action;

namespace {

#ifdef Q_OS_WIN
// The user's documents folder as the registry holds it (its type kept: the
// value is normally a REG_EXPAND_SZ), read and written back.
struct RegistryValue {
    DWORD type = REG_NONE;
    QByteArray data;
};
const wchar_t *const userShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

RegistryValue documentsValue()
{
    RegistryValue value;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, userShellFolders, L"Personal", RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     nullptr, &size)
        == ERROR_SUCCESS) {
        value.data.resize(size);
        RegGetValueW(HKEY_CURRENT_USER, userShellFolders, L"Personal", RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     value.data.data(), &size);
    }
    return value;
}

void setDocumentsValue(const RegistryValue &value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, userShellFolders, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return;
    if (value.type == REG_NONE)
        RegDeleteValueW(key, L"Personal");
    else
        RegSetValueExW(key, L"Personal", 0, value.type, reinterpret_cast<const BYTE *>(value.data.constData()),
                       DWORD(value.data.size()));
    RegCloseKey(key);
}
#endif

// The user's documents folder moved to `folder`, as a user of each system
// moves it: the XDG list of user folders, the registry's shell folders.
void moveDocumentsFolder(const QString &configFolder, const QString &folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(configFolder);
    const QString native = QDir::toNativeSeparators(folder);
    setDocumentsValue({REG_SZ, QByteArray(reinterpret_cast<const char *>(native.utf16()), (native.size() + 1) * 2)});
#else
    QFile list(configFolder + QStringLiteral("/user-dirs.dirs"));
    QVERIFY(QDir().mkpath(configFolder));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("XDG_DOCUMENTS_DIR=\"$HOME/" + QFile::encodeName(QFileInfo(folder).fileName()) + "\"\n");
#endif
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void parse_data();
    void parse();
    void userFolder_data();
    void userFolder();
    void enterFolder_data();
    void enterFolder();

private:
    QTemporaryDir m_home;
    QByteArray m_previousHome;
    QByteArray m_previousConfig;
    QString m_previousFolder;
#ifdef Q_OS_WIN
    RegistryValue m_previousDocuments;
#endif
};

void TestCommandLine::initTestCase()
{
    // A home of our own, so the documents folder is known and empty.
    QVERIFY(m_home.isValid());
    m_previousHome = qgetenv("HOME");
    m_previousConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    m_previousFolder = QDir::currentPath();
#ifdef Q_OS_WIN
    // Windows finds the documents folder in the registry, not below HOME.
    m_previousDocuments = documentsValue();
    moveDocumentsFolder(QString(), m_home.filePath(QStringLiteral("Documents")));
#endif
}

void TestCommandLine::cleanupTestCase()
{
    qputenv("HOME", m_previousHome);
    if (m_previousConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_previousConfig);
#ifdef Q_OS_WIN
    setDocumentsValue(m_previousDocuments);
#endif
}

void TestCommandLine::cleanup()
{
    QDir::setCurrent(m_previousFolder);
}

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("exportFile");
    QTest::addColumn<QString>("textPattern");

    const auto row = [](const char *name, QStringList arguments, Action action, int exitCode,
                        QString folder = {}, QString exportFile = {}, QString textPattern = {}) {
        arguments.prepend(QStringLiteral("korvane"));
        QTest::newRow(name) << arguments << int(action) << exitCode << folder << exportFile << textPattern;
    };
    const QString documentsFolder = QStringLiteral("<home>/Documents/Korvane");
    const QString help = QStringLiteral("^Usage: korvane \\[options\\]\n.*--folder <dir>.*--version");
    const QString helpAfter = QStringLiteral("\n\nUsage: korvane \\[options\\]\n.*--folder <dir>");

    row("no options: the folder started in", {}, Action::Run, 0);
    row("--folder", {"--folder", "tests/a b"}, Action::Run, 0, "tests/a b");
    row("--folder=", {"--folder=/srv/korvane"}, Action::Run, 0, "/srv/korvane");
    row("--folder twice: the last", {"--folder", "a", "--folder", "b"}, Action::Run, 0, "b");
    row("--user-folder", {"--user-folder"}, Action::Run, 0, documentsFolder);
    row("--export-all", {"--export-all", "all.csv"}, Action::ExportAll, 0, {}, "all.csv");
    row("--export-all in a folder", {"--folder", "d", "--export-all", "t.csv"}, Action::ExportAll, 0, "d", "t.csv");
    row("--help", {"--help"}, Action::Print, 0, {}, {}, help);
    row("-h among others", {"--folder", "x", "-h"}, Action::Print, 0, {}, {}, help);
    // Without --folder the start uses the folder or server chosen last.
    row("--help on the start without --folder", {"--help"}, Action::Print, 0, {}, {},
        "--folder <dir>.*Without\\s+this\\s+option\\s+Korvane\\s+works\\s+with\\s+the\\s+folder\\s+or\\s+database"
        "\\s+server\\s+chosen\\s+last\\s+with\\s+\"Change\\.\\.\\.\"\\s+in\\s+the\\s+main\\s+window;\\s+when\\s+none"
        "\\s+was\\s+chosen\\s+or\\s+that\\s+folder\\s+is\\s+gone,\\s+in\\s+the\\s+folder\\s+it\\s+was\\s+started\\s+in\\.");
    row("--version", {"--version"}, Action::Print, 0, {}, {}, "^Korvane \\d+\\.\\d+\n$");
    row("-v", {"-v"}, Action::Print, 0, {}, {}, "^Korvane \\d+\\.\\d+\n$");
    row("unknown option", {"--bogus"}, Action::Fail, 2, {}, {},
        "^korvane: Unknown option 'bogus'\\." + helpAfter);
    row("unknown short option", {"-x"}, Action::Fail, 2, {}, {}, "^korvane: Unknown option 'x'\\." + helpAfter);
    row("--folder without its value", {"--folder"}, Action::Fail, 2, {}, {},
        "^korvane: Missing value after '--folder'\\." + helpAfter);
    row("--export-all without its value", {"--export-all"}, Action::Fail, 2, {}, {},
        "^korvane: Missing value after '--export-all'\\.");
    row("empty folder", {"--folder="}, Action::Fail, 2, {}, {}, "^korvane: The folder after --folder is empty\\.");
    row("a stray argument", {"data"}, Action::Fail, 2, {}, {}, "^korvane: Unexpected argument: 'data'\\." + helpAfter);
    row("both folder options", {"--folder", "a", "--user-folder"}, Action::Fail, 2, {}, {},
        "^korvane: Give either --folder or --user-folder, not both\\.");
    row("--database", {"--database", "postgresql://lab@db/korvane"}, Action::Run, 0);
    row("--database export", {"--database", "postgres://db/k", "--export-all", "a.csv"}, Action::ExportAll, 0, {}, "a.csv");
    row("--database no address", {"--database", "/srv/korvane"}, Action::Fail, 2, {}, {},
        "^korvane: \"/srv/korvane\" is no database address");
    row("--database with a password", {"--database", "postgresql://lab:pa55@db/korvane"}, Action::Fail, 2, {}, {},
        "^korvane: A password does not belong on the command line.*~/.pgpass");
    row("--database with a key's password", {"--database", "postgresql://db/k?sslpassword=pa55"}, Action::Fail, 2, {}, {},
        "^korvane: A password does not belong on the command line");
    row("--database refused, password masked", {"--database", "pg://lab:pa55@db/k"}, Action::Fail, 2, {}, {},
        "^korvane: \"pg://lab:\\*\\*\\*@db/k\" is no database address");
    row("--copy-to-database with a password", {"--folder", "d", "--copy-to-database", "postgresql://lab:pa55@db/k"},
        Action::Fail, 2, {}, {}, "^korvane: A password does not belong on the command line");
    row("--copy-to-database", {"--folder", "d", "--copy-to-database", "postgresql://db/k"}, Action::CopyToDatabase, 0, "d");
    row("--copy-to-database without a folder", {"--copy-to-database", "postgresql://db/k"}, Action::Fail, 2, {}, {},
        "^korvane: --copy-to-database copies the tables of --folder");
    row("--export-xlsx", {"--folder", "d", "--export-xlsx", "k.xlsx"}, Action::ExportWorkbook, 0, "d", "k.xlsx");
    row("--database workbook", {"--database", "postgres://db/k", "--export-xlsx", "k.xlsx"}, Action::ExportWorkbook, 0,
        {}, "k.xlsx");
    row("--export-xlsx and --export-all", {"--export-all", "a.csv", "--export-xlsx", "k.xlsx"}, Action::Fail, 2, {}, {},
        "^korvane: Give either --export-all or --export-xlsx, not both\\.");
    row("--export-xlsx and --report", {"--export-xlsx", "k.xlsx", "--report", "3", "--output", "r.pdf"}, Action::Fail, 2,
        {}, {}, "^korvane: Give either an export or --report, not both\\.");
    row("empty workbook file", {"--export-xlsx="}, Action::Fail, 2, {}, {}, "^korvane: The file after --export-xlsx is empty\\.");
    row("--copy-to-database and --export-all", {"--folder", "d", "--copy-to-database", "postgresql://db/k",
        "--export-all", "a.csv"}, Action::Fail, 2, {}, {}, "^korvane: --copy-to-database does not go with");
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(int, exitCode);
    QFETCH(QString, folder);
    QFETCH(QString, exportFile);
    QFETCH(QString, textPattern);

    const CommandLine result = app::parseCommandLine(arguments);
    QCOMPARE(int(result.action), action);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.folder, folder.replace(QStringLiteral("<home>"), m_home.path()));
    QCOMPARE(result.exportFile, exportFile);
    if (textPattern.isEmpty()) {
        QVERIFY(result.text.isEmpty());
    } else {
        const QRegularExpression pattern(textPattern, QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(pattern.match(result.text).hasMatch(), qPrintable(result.text));
    }
}

void TestCommandLine::userFolder_data()
{
    QTest::addColumn<QString>("documents");   // empty: where the system has it
    QTest::addColumn<QString>("expected");
    QTest::newRow("no user folder list: ~/Documents") << QString() << QStringLiteral("Documents/Korvane");
    QTest::newRow("the list's documents folder") << QStringLiteral("Unterlagen") << QStringLiteral("Unterlagen/Korvane");
}

void TestCommandLine::userFolder()
{
    QFETCH(QString, documents);
    QFETCH(QString, expected);
    const QString configFolder = m_home.filePath(QStringLiteral("config"));
    if (!documents.isEmpty())
        moveDocumentsFolder(configFolder, m_home.filePath(documents));
    const QString folder = app::userDataFolder();
    // Back where initTestCase put it.
    QFile::remove(configFolder + QStringLiteral("/user-dirs.dirs"));
#ifdef Q_OS_WIN
    moveDocumentsFolder(configFolder, m_home.filePath(QStringLiteral("Documents")));
#endif
    QCOMPARE(folder, m_home.filePath(expected));
}

void TestCommandLine::enterFolder_data()
{
    QTest::addColumn<QString>("folder");      // below a fresh temporary folder
    QTest::addColumn<QStringList>("present");  // made before; "=x" is a file
    QTest::addColumn<QString>("reasonPattern");
    QTest::newRow("empty: stay") << QString() << QStringList() << QString();
    QTest::newRow("existing") << QStringLiteral("data") << QStringList{QStringLiteral("data")} << QString();
    QTest::newRow("missing, created with its parents")
        << QStringLiteral("one/two/Korvane data") << QStringList() << QString();
    QTest::newRow("a file") << QStringLiteral("notes") << QStringList{QStringLiteral("=notes")}
                            << QStringLiteral("^\"[^\"]*[/\\\\]notes\" is a file, not a folder\\.$");
    QTest::newRow("below a file") << QStringLiteral("notes/data") << QStringList{QStringLiteral("=notes")}
                                  << QStringLiteral("^The folder \"[^\"]*[/\\\\]notes[/\\\\]data\" cannot be created: .*[^.]\\.$");
}

void TestCommandLine::enterFolder()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, present);
    QFETCH(QString, reasonPattern);

    QTemporaryDir base;
    QVERIFY(base.isValid());
    for (const QString &entry : present) {
        if (entry.startsWith(u'=')) {
            QFile file(base.filePath(entry.mid(1)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir(base.path()).mkpath(entry));
        }
    }
    const QString target = folder.isEmpty() ? QString() : base.filePath(folder);
    const QString before = QDir::currentPath();

    const std::optional<QString> reason = app::enterWorkingFolder(target);
    if (reasonPattern.isEmpty()) {
        QVERIFY2(!reason, qPrintable(reason.value_or(QString())));
        const QString expected = folder.isEmpty() ? before : target;
        QCOMPARE(QDir::currentPath(), QFileInfo(expected).canonicalFilePath());
        // A table is then created in that folder by its bare name.
        QFile table(QStringLiteral("Profil.db"));
        QVERIFY(table.open(QIODevice::WriteOnly));
        table.close();
        QVERIFY(QFileInfo::exists(QDir(expected).filePath(QStringLiteral("Profil.db"))));
        table.remove();
    } else {
        QVERIFY(reason);
        QVERIFY2(QRegularExpression(reasonPattern).match(*reason).hasMatch(), qPrintable(*reason));
        QCOMPARE(QDir::currentPath(), before);
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
