// The number texts of the fields: any text read as a whole number must agree
// with an independent reading built on the C library, a decimal text with the
// C library's strtod, and every decimal written must read back as itself.

#include "core/numbertext.h"
#include "core/errors.h"

#include "fuzzcheck.h"

#include <QRegularExpression>

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

// Whole numbers: blanks, one sign, decimal digits, or "$", "x" or "0x" and
// hexadecimal digits spelling up to 32 bits (negated as bits).
std::optional<std::int32_t> referenceInt(const QString &text)
{
    std::string s;
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return std::nullopt;
        s.push_back(char(c.unicode()));
    }
    size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos)
        return std::nullopt;
    bool negative = false;
    if (s[i] == '-' || s[i] == '+')
        negative = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0) {
        hex = true;
        i += 2;
    }
    const std::string digits = s.substr(std::min(i, s.size()));
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    if (hex) {
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
        const auto bits = std::uint32_t(value);
        return std::int32_t(negative ? 0u - bits : bits);
    }
    if (value > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return std::nullopt;
    return negative ? std::int32_t(-std::int64_t(value)) : std::int32_t(value);
}

struct FloatReading {
    bool valid = false;
    bool underflow = false;   // below the normal range: 0 or a subnormal
    double value = 0;
};

FloatReading referenceFloat(const QString &text)
{
    static const QRegularExpression grammar(
        QStringLiteral("^[+-]?([0-9]+,?[0-9]*|,[0-9]+)([eE][+-]?[0-9]+)?$"));
    const QString trimmed = text.trimmed();
    if (!grammar.match(trimmed).hasMatch())
        return {};
    const std::string c = trimmed.toLatin1().replace(',', '.').toStdString();
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    errno = 0;
    char *end = nullptr;
    const double value = strtod_l(c.c_str(), &end, cLocale);
    if (end != c.c_str() + c.size())
        return {};
    if (errno == ERANGE) {
        if (std::isinf(value))
            return {};   // too large to hold is no number
        return {true, true, value};
    }
    return {true, false, value};
}

void checkInt(const QString &text)
{
    const std::optional<std::int32_t> read = tryTextToInt(text);
    const std::optional<std::int32_t> expected = referenceInt(text);
    FUZZ_CHECK(read == expected,
               QStringLiteral("%1: read %2, expected %3")
                   .arg(shown(text), read ? QString::number(*read) : QStringLiteral("failure"),
                        expected ? QString::number(*expected) : QStringLiteral("failure")));
    try {
        const std::int32_t value = textToInt(text);
        FUZZ_CHECK(read && value == *read, shown(text));
    } catch (const core::Failure &error) {
        FUZZ_CHECK(!read, shown(text));
        FUZZ_CHECK(error.message() == QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text),
                   error.message());
    }
}

void checkFloat(const QString &text)
{
    const std::optional<double> read = tryTextToFloat(text);
    const FloatReading expected = referenceFloat(text);
    FUZZ_CHECK(read.has_value() == expected.valid,
               QStringLiteral("%1: read %2").arg(shown(text), read ? QString::number(*read, 'g', 17) : QStringLiteral("failure")));
    if (read) {
        FUZZ_CHECK(std::isfinite(*read), shown(text));
        if (expected.underflow) {
            FUZZ_CHECK(std::fabs(*read) < DBL_MIN, shown(text));
        } else {
            FUZZ_CHECK(*read == expected.value,
                       QStringLiteral("%1: read %2, expected %3")
                           .arg(shown(text), QString::number(*read, 'g', 17), QString::number(expected.value, 'g', 17)));
        }
    }
    try {
        const double value = textToFloat(text);
        FUZZ_CHECK(read && (value == *read || (std::isnan(value) && std::isnan(*read))), shown(text));
    } catch (const core::Failure &error) {
        FUZZ_CHECK(!read, shown(text));
        FUZZ_CHECK(error.message() == QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(text),
                   error.message());
    }
}

// What a written decimal looks like: a sign, digits with a decimal comma and
// no trailing zeros after it, an exponent "E<n>"; at most 15 significant digits.
void checkWritten(double value)
{
    const QString text = floatToText(value);
    if (value == 0.0 || !std::isfinite(value)) {
        FUZZ_CHECK(text == QStringLiteral("0"), text);
        return;
    }
    static const QRegularExpression form(QStringLiteral("^-?[0-9]+(,[0-9]*[1-9])?(E-?[1-9][0-9]*)?$"));
    FUZZ_CHECK(form.match(text).hasMatch(), QStringLiteral("%1 written as %2").arg(value, 0, 'g', 17).arg(text));
    QString digits = text.section(u'E', 0, 0);
    digits.remove(u'-');
    digits.remove(u',');
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    FUZZ_CHECK(digits.size() <= 15, text);

    // The 15 digits of the very largest values round up past the largest
    // double ("1,79769313486232E308"), which then reads as no number.
    if (std::fabs(value) > 1.79769313486231e308)
        return;
    const std::optional<double> back = tryTextToFloat(text);
    FUZZ_CHECK(back.has_value(), text);
    const double tolerance = std::max(std::fabs(value) * 1e-14, 1e-323);
    FUZZ_CHECK(std::fabs(*back - value) <= tolerance,
               QStringLiteral("%1 written as %2 reads back as %3")
                   .arg(value, 0, 'g', 17).arg(text).arg(*back, 0, 'g', 17));
    if (std::fabs(value) >= DBL_MIN) {
        FUZZ_CHECK(floatToText(*back) == text, QStringLiteral("%1 then %2").arg(text, floatToText(*back)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkInt(text);
    checkFloat(text);

    // The same bytes as numbers: every whole number reads back from its
    // decimal and hexadecimal forms, every decimal from its written form.
    FuzzBytes bytes(data, size);
    const auto number = bytes.take<std::int32_t>();
    FUZZ_CHECK(tryTextToInt(QStringLiteral("  +%1").arg(number).replace(QStringLiteral("+-"), QStringLiteral("-")))
                   == number,
               QString::number(number));
    FUZZ_CHECK(tryTextToInt(u'$' + QString::number(std::uint32_t(number), 16)) == number, QString::number(number));
    FUZZ_CHECK(tryTextToInt(QStringLiteral("0X") + QString::number(std::uint32_t(number), 16).toUpper()) == number,
               QString::number(number));
    checkWritten(bytes.take<double>());
    return 0;
}
