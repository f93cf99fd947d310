#pragma once

#include "model/testreport.h"
#include "store/testnotes.h"

#include <QHash>
#include <QString>

namespace store { class TestReader; }

namespace report {

class ReportPage;

// The report of test `testnr` from the tests `reader` gives, with the
// athlete's progress up to it, and its note from `notes`; tests that
// `notes` marks invalid stay out of the progress; numbers as `locale` writes
// them.  Throws a StoreError when
// the tests cannot be read and core::Failure when there is no such test.
ReportPage storedTestReport(store::TestReader &reader, qint64 testnr,
                            const QHash<qint64, store::TestNote> &notes = {},
                            const QLocale &locale = programLocale());

// Refuses a report file that is a link, no ordinary file or a table file,
// before anything is written: a core::Failure (WriteFailed) says why.
void checkReportTarget(const QString &path);

} // namespace report
