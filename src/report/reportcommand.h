#pragma once

#include <QString>

class QTextStream;

namespace store { class TestReader; }

namespace report {

class ReportPage;

// The report of test `testnr` from the tests `reader` gives, with the
// athlete's progress up to it.  Throws a StoreError when the tests cannot be
// read and core::Failure when there is no such test.
ReportPage storedTestReport(store::TestReader &reader, qint64 testnr);

// The report without a window, for the command line: reads the tests in
// `folder` without changing anything there (a missing folder or table is
// reported, not created) and writes `file` as PDF (relative to the current
// folder).  Returns 0 on success, 1 when the test does not exist or the
// tests cannot be read, 2 when the file cannot be written; the reason goes
// to `err`.  Needs a QGuiApplication for the fonts.
int runReport(const QString &folder, qint64 testnr, const QString &file, QTextStream &err);

} // namespace report
