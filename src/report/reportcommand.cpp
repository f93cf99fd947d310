#include "report/reportcommand.h"

#include "core/errors.h"
#include "core/files.h"
#include "core/numbertext.h"
#include "model/csvexport.h"
#include "model/progress.h"
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

} // namespace

ReportPage storedTestReport(store::TestReader &reader, qint64 testnr, const QHash<qint64, store::TestNote> &notes,
                            const QLocale &locale)
{
    const std::optional<QStringList> record = reader.test(testnr);
    if (!record) {
        throw core::Failure(
            QCoreApplication::translate("TestReport", "There is no test %1 in \"%2\".")
                .arg(testnr)
                .arg(store::testTableLayout().fileName));
    }
    QList<QStringList> tests
        = reader.athleteTests(field(*record, "Name"), field(*record, "Surname"), field(*record, "Exercise"), testnr);
    const auto invalid = int(data::leaveOutInvalidTests(tests, notes).size());
    TestReport report = makeTestReport(*record, tests, true, locale);
    const store::TestNote note = notes.value(testnr);
    report.note = note.text.isEmpty() ? dash() : note.text;
    report.tester = note.tester.isEmpty() ? dash() : note.tester;
    report.valid = note.valid;
    report.invalidLeftOut = invalid;
    if (const std::optional<qint32> profile = tryTextToInt(field(*record, "ProfilNr").trimmed()))
        report.profileName = reader.profileName(*profile).value_or(dash());
    return ReportPage(report);
}

void checkReportTarget(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const data::WriteTarget target = data::writeTarget(path);
    switch (target.problem) {
    case data::WriteTarget::Problem::None:
        return;
    case data::WriteTarget::Problem::Link:
    case data::WriteTarget::Problem::NotOrdinary:
        throw core::Failure(core::Failure::Kind::WriteFailed, path,
                            QCoreApplication::translate("TestReport", "\"%1\" was not written: it is %2, not an "
                                                                      "ordinary file.")
                                .arg(name, target.problem == data::WriteTarget::Problem::Link
                                               ? QCoreApplication::translate("TestReport", "a link")
                                               : platform::describe(target.kind)));
    case data::WriteTarget::Problem::TableFile:
        // Replacing a table file with the report would lose its records.
        throw core::Failure(core::Failure::Kind::WriteFailed, path,
                            QCoreApplication::translate("TestReport", "\"%1\" was not written: it is a table "
                                                                      "file, not a report.")
                                .arg(name));
    }
}

} // namespace report
