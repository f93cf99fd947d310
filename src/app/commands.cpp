#include "app/commands.h"

#include "core/errors.h"
#include "core/files.h"
#include "model/fullexport.h"
#include "model/servercopy.h"
#include "store/table.h"
#include "report/reportcommand.h"
#include "report/reportpage.h"
#include "store/testreader.h"

#include <QCoreApplication>
#include <QFileInfo>
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
            page.emplace(report::storedTestReport(*reader, testnr));
        }
        report::checkReportTarget(file);
        report::writeReportPdf(file, *page);
    });
}

} // namespace app
