#include "report/reportcommand.h"

#include "report/reportpage.h"
#include "store/layout.h"
#include "store/table.h"
#include "store/testreader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace report {
namespace {

QString field(const QStringList &record, const char *name)
{
    return record.value(store::testTableLayout().indexOf(QString::fromLatin1(name)));
}

bool isTableFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArrayView("SQLite format 3\0", 16);
}

} // namespace

ReportPage storedTestReport(store::TestReader &reader, qint64 testnr)
{
    const std::optional<QStringList> record = reader.test(testnr);
    if (!record) {
        throw core::Failure(
            QCoreApplication::translate("TestReport", "There is no test %1 in \"%2\".")
                .arg(testnr)
                .arg(store::testTableLayout().fileName));
    }
    const QList<QStringList> tests =
        reader.athleteTests(field(*record, "Name"), field(*record, "Surname"), field(*record, "Exercise"), testnr);
    return ReportPage(makeTestReport(*record, tests));
}

int runReport(const QString &folder, qint64 testnr, const QString &file, QTextStream &err)
{
    std::optional<ReportPage> page;
    try {
        std::unique_ptr<store::SqliteTestReader> reader = store::SqliteTestReader::openFile(folder);
        page.emplace(storedTestReport(*reader, testnr));
    } catch (const core::Failure &error) {
        err << error.message() << Qt::endl;
        return 1;
    }
    try {
        // Replacing a table file with the report would lose its records.
        if (isTableFile(file)) {
            throw ReportFileError(QCoreApplication::translate("TestReport", "\"%1\" was not written: it is a table "
                                                                            "file, not a report.")
                                      .arg(QFileInfo(file).fileName()));
        }
        writeReportPdf(file, *page);
    } catch (const core::Failure &error) {
        err << error.message() << Qt::endl;
        return 2;
    }
    return 0;
}

} // namespace report
