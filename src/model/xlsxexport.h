#pragma once

// The stored tables as an Excel workbook for analysis: the sheets "Tests"
// (one row per test, every field under its name), "Sets" (one row per set
// that ran), "Athletes" and "Profiles".  Numbers are numeric cells, test
// dates date cells, everything else text; a value of a number field that is
// no number stays text in its cell and is counted.  Header rows are frozen,
// columns as wide as their values and every sheet has an autofilter.

#include "model/testfilter.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace data {

// The default file name of the workbook, in the folder of the tables.
inline QString workbookFileName() { return QStringLiteral("Korvane.xlsx"); }

// The column headers of the "Sets" sheet.
QStringList setSheetHeader();
// The columns the notes of the tests add at the end of the "Tests" sheet
// and of the complete export.
QStringList noteColumnNames();

// Where the workbook's sheets come from.  An invalid connection leaves its
// sheet with the header row only.
struct WorkbookSources {
    QSqlDatabase tests;
    QSqlDatabase athletes;
    QSqlDatabase profiles;
    // The tests taken; the athletes and profiles are always written whole.
    TestFilter filter;
};

struct WorkbookSummary {
    qint64 tests = 0;
    qint64 sets = 0;
    qint64 athletes = 0;
    qint64 profiles = 0;
    // Values of number fields that are no numbers (and test dates that
    // cannot be read), written as text.
    qint64 textInNumberFields = 0;
};

// Writes the workbook to `path` through a temporary file in the same folder
// that replaces an older file only when everything was written.  A failure
// throws core::Failure (ReadFailed or WriteFailed) naming the file and the
// reason; an older file is kept.  The bytes written never depend on the
// locale of the process.
WorkbookSummary writeWorkbookFile(const QString &path, const WorkbookSources &sources);

// What the window and the command say after the workbook was written.
QString workbookWrittenMessage(const WorkbookSummary &summary, const QString &path);

} // namespace data
