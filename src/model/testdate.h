#pragma once

// The test date as it is stored in the test table's Date field.  The clock
// window writes it as dd.mm.yyyy whatever the locale, so a stored date means
// the same day at every station; older records may hold the short date form
// of the station that wrote them.  Reading does not depend on the locale of
// the process.

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

namespace data {

// The stored form of `date`: "08.12.2026".
QString testDateText(const QDate &date);

// Reads a stored test date, trying in turn: dd.mm.yyyy (also with one-digit
// day or month), the German short form d.M.yy, ISO yyyy-MM-dd, the British
// short form d/M/yyyy (four-digit year), the US short form M/d/yy (two-digit
// year) and the C locale's form "6 Dec 2026".  Blanks around the text are
// ignored.  A two-digit year lies within the 80 years before and the 19 after
// `referenceYear`.  Empty when the text is none of these or no real day.
std::optional<QDate> readTestDate(QStringView text, int referenceYear = QDate::currentDate().year());

// Only the dotted forms (dd.mm.yyyy, d.M.yy) of the field's UTF-8 bytes,
// without converting the text: for readers that go through many records and
// keep the other forms' results.
std::optional<QDate> readDottedTestDate(QByteArrayView utf8, int referenceYear);

} // namespace data
