#include "app/commands.h"

#include "core/errors.h"
#include "core/files.h"
#include "model/fullexport.h"
#include "model/servercopy.h"
#include "model/xlsxexport.h"
#include "store/sqlitefile.h"
#include "store/table.h"
#include "report/reportcommand.h"
#include "report/reportpage.h"
#include "store/testreader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTextStream>

#include <optional>

namespace app {
namespace {

// Runs `command`; a failure is said on `err` and chooses the exit status.
template <typename Command>
int reported(QTextStream &err, Command command)
{
    try {
        command();
        return 0;
    } catch (const core::Failure &failure) {
        err << failure.message() << Qt::endl;
        return exitStatus(failure);
    }
}

} // namespace

int exitStatus(const core::Failure &failure)
{
    return failure.kind() == core::Failure::Kind::WriteFailed ? 2 : 1;
}

int runExportAll(const QString &folder, const QString &file, QTextStream &err)
{
    return reported(err, [&] {
        const std::unique_ptr<store::SqliteTestReader> reader = store::SqliteTestReader::openFile(folder);
        data::writeFullExportFile(file, reader->database());
    });
}

int runServerExportAll(const QString &url, const QString &file, QTextStream &err)
{
    return reported(err, [&] {
        const auto server = store::ServerAddress::parse(url);
        store::Table tests(store::testTableLayout(), *server);
        tests.open();
        data::writeFullExportFile(file, tests.database());
    });
}

namespace {

// A table file of the folder opened read-only for the workbook, closed
// again at the end; a missing file leaves the connection invalid.
class ReadOnlyTable {
public:
    ReadOnlyTable(const QString &folder, const store::Layout &layout)
        : m_connection(QStringLiteral("korvane-workbook-%1").arg(layout.tableName))
    {
        const QString path = QDir(folder).filePath(layout.fileName);
        if (QFileInfo(path).isFile())
            m_db = store::openTableFileReadOnly(path, layout, m_connection,
                                                QCoreApplication::translate("Commands", "it holds no table \"%1\" of this program")
                                                    .arg(layout.tableName));
    }
    ~ReadOnlyTable()
    {
        if (!m_db.isValid())
            return;
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
    const QSqlDatabase &database() const { return m_db; }

private:
    QString m_connection;
    QSqlDatabase m_db;
};

void sayWritten(QTextStream &out, const data::WorkbookSummary &summary, const QString &file)
{
    out << data::workbookWrittenMessage(summary, file) << Qt::endl;
}

} // namespace

int runWorkbookExport(const QString &folder, const QString &file, QTextStream &out, QTextStream &err)
{
    return reported(err, [&] {
        const std::unique_ptr<store::SqliteTestReader> reader = store::SqliteTestReader::openFile(folder);
        const ReadOnlyTable athletes(folder, store::spTableLayout());
        const ReadOnlyTable profiles(folder, store::profilLayout());
        data::WorkbookSources sources;
        sources.tests = reader->database();
        sources.athletes = athletes.database();
        sources.profiles = profiles.database();
        sayWritten(out, data::writeWorkbookFile(file, sources), file);
    });
}

int runServerWorkbookExport(const QString &url, const QString &file, QTextStream &out, QTextStream &err)
{
    return reported(err, [&] {
        const auto server = store::ServerAddress::parse(url);
        store::Table tests(store::testTableLayout(), *server);
        store::Table athletes(store::spTableLayout(), *server);
        store::Table profiles(store::profilLayout(), *server);
        for (store::Table *table : {&tests, &athletes, &profiles})
            table->open();
        data::WorkbookSources sources;
        sources.tests = tests.database();
        sources.athletes = athletes.database();
        sources.profiles = profiles.database();
        sayWritten(out, data::writeWorkbookFile(file, sources), file);
    });
}

int runCopyToDatabase(const QString &folder, const QString &url, QTextStream &out, QTextStream &err)
{
    return reported(err, [&] {
        const auto server = store::ServerAddress::parse(url);
        const data::CopiedRecords copied = data::copyFolderToServer(folder, *server);
        out << QCoreApplication::translate("Commands", "Copied to %1: %2 tests, %3 athletes and %4 profiles, "
                                                       "checked against the folder.")
                   .arg(server->display())
                   .arg(copied.tests)
                   .arg(copied.athletes)
                   .arg(copied.profiles)
            << Qt::endl;
    });
}

int runReport(const QString &folder, qint64 testnr, const QString &file, QTextStream &err)
{
    return reported(err, [&] {
        std::optional<report::ReportPage> page;
        {
            const std::unique_ptr<store::SqliteTestReader> reader = store::SqliteTestReader::openFile(folder);
            page.emplace(report::storedTestReport(*reader, testnr, store::readTestNotes(reader->database()),
                                                           report::programLocale()));
        }
        report::checkReportTarget(file);
        report::writeReportPdf(file, *page);
    });
}

} // namespace app
