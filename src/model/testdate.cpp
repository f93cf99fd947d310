#include "model/testdate.h"

#include <QLocale>

namespace data {
namespace {

bool isBlank(char16_t c)
{
    // The characters QString::trimmed() takes off that fit in ASCII.
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Three numbers with `separator` between them, blanks around the whole
// allowed; the digits of each part are counted in `widths`.
template <typename Char>
bool readParts(const Char *s, qsizetype n, char16_t separator, int (&parts)[3], int (&widths)[3])
{
    qsizetype b = 0;
    qsizetype e = n;
    while (b < e && isBlank(char16_t(s[b])))
        ++b;
    while (e > b && isBlank(char16_t(s[e - 1])))
        --e;
    int part = 0;
    for (qsizetype i = b; i < e; ++i) {
        const char16_t c = char16_t(s[i]);
        if (isDigit(c)) {
            if (++widths[part] > 4)
                return false;
            parts[part] = parts[part] * 10 + (c - u'0');
        } else if (c == separator && part < 2) {
            ++part;
        } else {
            return false;
        }
    }
    return part == 2 && widths[0] > 0 && widths[1] > 0 && widths[2] > 0;
}

// The year of a two-digit year in the 100 years from 80 before the
// reference year.
int placeTwoDigitYear(int yy, int referenceYear)
{
    const int first = referenceYear - 80;
    return first + ((yy - first % 100) % 100 + 100) % 100;
}

std::optional<QDate> validDate(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1 || year > 9999)
        return std::nullopt;
    return date;
}

bool dayAndMonthWidths(const int (&widths)[3], int first, int second)
{
    return widths[first] <= 2 && widths[second] <= 2;
}

// dd.mm.yyyy and d.M.yy.
template <typename Char>
std::optional<QDate> dottedDate(const Char *s, qsizetype n, int referenceYear)
{
    int parts[3] = {0, 0, 0};
    int widths[3] = {0, 0, 0};
    if (!readParts(s, n, u'.', parts, widths) || !dayAndMonthWidths(widths, 0, 1))
        return std::nullopt;
    if (widths[2] == 4)
        return validDate(parts[2], parts[1], parts[0]);
    if (widths[2] == 2)
        return validDate(placeTwoDigitYear(parts[2], referenceYear), parts[1], parts[0]);
    return std::nullopt;
}

// yyyy-MM-dd.
std::optional<QDate> isoDate(QStringView text)
{
    int parts[3] = {0, 0, 0};
    int widths[3] = {0, 0, 0};
    if (!readParts(text.utf16(), text.size(), u'-', parts, widths) || widths[0] != 4 || widths[1] != 2 || widths[2] != 2)
        return std::nullopt;
    return validDate(parts[0], parts[1], parts[2]);
}

// d/M/yyyy with a four-digit year, M/d/yy with a two-digit one: the two
// short forms tell themselves apart by the year.
std::optional<QDate> slashedDate(QStringView text, int referenceYear)
{
    int parts[3] = {0, 0, 0};
    int widths[3] = {0, 0, 0};
    if (!readParts(text.utf16(), text.size(), u'/', parts, widths) || !dayAndMonthWidths(widths, 0, 1))
        return std::nullopt;
    if (widths[2] == 4)
        return validDate(parts[2], parts[1], parts[0]);
    if (widths[2] == 2)
        return validDate(placeTwoDigitYear(parts[2], referenceYear), parts[0], parts[1]);
    return std::nullopt;
}

} // namespace

QString testDateText(const QDate &date)
{
    // Digits only: the same text in every language.
    return QLocale::c().toString(date, QStringLiteral("dd.MM.yyyy"));
}

std::optional<QDate> readTestDate(QStringView text, int referenceYear)
{
    if (auto date = dottedDate(text.utf16(), text.size(), referenceYear))
        return date;
    if (auto date = isoDate(text))
        return date;
    if (auto date = slashedDate(text, referenceYear))
        return date;
    const QString trimmed = text.trimmed().toString();
    if (trimmed.isEmpty())
        return std::nullopt;
    const QDate date = QLocale::c().toDate(trimmed, QLocale::c().dateFormat(QLocale::ShortFormat));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QDate> readDottedTestDate(QByteArrayView utf8, int referenceYear)
{
    return dottedDate(utf8.data(), utf8.size(), referenceYear);
}

} // namespace data
