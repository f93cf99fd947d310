#pragma once

#include "core/files.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>

class QIODevice;

namespace store { class Query; class Table; }

namespace data {

// The export file's name, in the folder of the tables.
inline QString exportFileName() { return QStringLiteral("Korvane.csv"); }
// The query text the export runs over the test table.
inline QString exportQueryText() { return QStringLiteral("Select * from TestTable.db "); }
// Values written per stored test: the first 53 fields of the test table.
constexpr int exportedFieldCount = 53;

// The header line with its CR LF: 318 characters naming 57 columns.  Its
// names do not line up with the 53 values from column 48 on; spreadsheets
// that read the file rely on this layout, so it stays.
QByteArray exportHeader();

// Appends `text` in Windows-1252, one byte per character; a character the
// code page lacks becomes '?'.  Returns the number of characters replaced.
int appendWindows1252(QByteArray &out, QStringView text);
// The same from UTF-8 bytes; a byte that starts no valid sequence becomes '?'.
int appendWindows1252(QByteArray &out, QByteArrayView utf8);

// Writes all of `bytes` to `out`; a short write is retried with the rest,
// and a failed one throws core::Failure with the device's reason.
void writeExportBytes(QIODevice &out, const QByteArray &bytes);

// What an export wrote: the stored tests, and how many of their values held
// characters that were written as '?'.
struct ExportSummary {
    qint64 tests = 0;
    qint64 valuesWithReplacements = 0;
};

// Writes the whole export to `out`: the header, then one line per stored
// test in ascending key order, each value followed by "; ".  `query` is set
// to the export text and run anew; it is left open.  `advance` is called with
// the number of values written since its last call (the progress bar moves
// one step per value).  A failed write throws core::Failure with the
// device's reason; a failure of any kind closes the query.
ExportSummary writeTestExport(QIODevice &out, store::Query &query, const std::function<void(int)> &advance);

// Refuses to write an export at `path` when something other than an
// ordinary file or nothing is there: a link (its target would be
// overwritten), a named pipe, a device, a folder, or a table file of either
// format.  Throws core::Failure starting with `notWritten`.  A new
// export file is made readable by its owner only; an existing one keeps its
// permissions.
// What stands in the way of writing a file at `path`: nothing, a link
// (never written through: QSaveFile would replace its target), something
// that is no ordinary file, or a table file of either format, whose records
// a written file would replace.  Nothing is opened but an ordinary file.
struct WriteTarget {
    enum class Problem { None, Link, NotOrdinary, TableFile };
    Problem problem = Problem::None;
    platform::FileKind kind = platform::FileKind::Missing;
    QString linkTarget;
};
WriteTarget writeTarget(const QString &path);

void checkExportTarget(const QString &path, const QString &notWritten);

// Writes the export to `path` through a temporary file in the same folder that
// replaces the old file only when every write succeeded.  A failure throws
// core::Failure naming the file and the reason; the old file is kept.
ExportSummary exportTestsToFile(const QString &path, store::Query &query, const std::function<void(int)> &advance);

// The message after an export whose values had characters replaced; empty
// when none had (an export is otherwise silent).
QString replacementNotice(const ExportSummary &summary);

} // namespace data
