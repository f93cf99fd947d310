#pragma once

// The commands that run without a window.  Each returns the program's exit
// status and writes the reason of a failure to `err`: 0 on success, 1 when
// the stored tests cannot be read (or the test asked for does not exist), 2
// when the file cannot be written.

#include <QString>

class QTextStream;

namespace core { class Failure; }

namespace app {

// The exit status that tells a script what failed.
int exitStatus(const core::Failure &failure);

// --export-all: reads "TestTable.DB" in `folder` without changing it (a
// missing folder or table is reported, not created) and writes `file`
// (relative to the current directory).
int runExportAll(const QString &folder, const QString &file, QTextStream &err);
// The same from the test table on the database server at `url` (nothing
// is changed there, but the tables are made when the database is empty).
int runServerExportAll(const QString &url, const QString &file, QTextStream &err);
// --export-xlsx: the workbook of the tables in `folder`, read as
// --export-all reads them (a missing athlete or profile table gives an
// empty sheet); says on `out` what was written.
int runWorkbookExport(const QString &folder, const QString &file, QTextStream &out, QTextStream &err);
// The same from the tables on the database server at `url`.
int runServerWorkbookExport(const QString &url, const QString &file, QTextStream &out, QTextStream &err);
// --copy-to-database: copies the tables of `folder` to the server at `url`
// and says on `out` what was copied.
int runCopyToDatabase(const QString &folder, const QString &url, QTextStream &out, QTextStream &err);

// --report: reads the tests in `folder` the same way and writes the report
// of test `testnr` as PDF to `file`.  Needs a QGuiApplication for the fonts.
int runReport(const QString &folder, qint64 testnr, const QString &file, QTextStream &err);

} // namespace app
