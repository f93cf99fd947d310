#pragma once

// The complete export of the stored tests: every record with all 59 fields in
// layout order, as CSV that analysis tools and spreadsheets read without
// repair (comma-separated, quoted where needed, UTF-8, CRLF line ends).
// Decimal-comma numbers are written with a decimal point and readable dates
// as yyyy-mm-dd; every other value is written as its stored text.

#include "model/testfilter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

class QIODevice;
class QSqlDatabase;
class QTextStream;
struct sqlite3;

namespace data {

// The default file name of the complete export, in the folder of the tables.
inline QString fullExportFileName() { return QStringLiteral("Korvane-all.csv"); }

// The header row: the 59 field names of the test table in layout order, then
// Note, Valid and Tester from the notes of the tests, CRLF.
QByteArray fullExportHeader();

// True for the fields whose values are numbers in the program's decimal-comma
// form: Testnr, ProfilNr, Bodyweight, Height, Load, RealTime1..20,
// RealR1..20, the durations, Rep, Sets, TUTTotal and TUTReal.  `index` is the
// 0-based position in the test table's layout.
bool isNumberField(int index);
// 0-based position of the Date field.
int dateFieldIndex();

// A number in the program's decimal-comma form (blanks around it, one sign,
// digits with at most one comma, an optional exponent: "1,5", "-0,4", "20",
// "1,5E3") with the blanks taken off and the comma turned into a point
// ("1.5").  Empty when the text is no such number ("", "abc", "1.5", "1,5 s").
std::optional<QByteArray> decimalPointNumber(QByteArrayView utf8);

// Appends one CSV field: as it is, or in double quotes with inner quotes
// doubled when it holds a comma, a semicolon, a quote, a carriage return or
// a line feed.
void appendCsvField(QByteArray &out, QByteArrayView utf8);

// The SQLite handle behind a QSQLITE connection; nullptr for any other.

// Writes the whole export to `out`: the header, then one row per stored test
// of the connection's test table in ascending key order, each with its note,
// validity ("true" or "false") and tester at the end.  Reads one snapshot
// of the table.  Only the tests `filter` takes are written (all by default).
// Returns the number of tests written.  A failed read or write throws
// core::Failure with the reason.
qint64 writeFullExport(QIODevice &out, const QSqlDatabase &db, const TestFilter &filter = {});

// Writes the export to `path` through a temporary file in the same folder
// that replaces an older file only when everything was written.  A failure
// throws core::Failure (ReadFailed or WriteFailed) naming the file and the
// reason; an older file is kept.  Returns the number of tests written.
qint64 writeFullExportFile(const QString &path, const QSqlDatabase &db, const TestFilter &filter = {});

} // namespace data
