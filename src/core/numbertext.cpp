#include "core/numbertext.h"

#include "core/errors.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

std::optional<std::int32_t> tryTextToInt(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;

    // Hexadecimal texts may spell the full 32-bit pattern ($FFFFFFFF is -1).
    const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : std::int64_t{1} << 31;
    std::int64_t value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    if (base == 16) {
        const auto bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(bits)) : bits;
    }
    if (negative)
        return static_cast<std::int32_t>(-value);
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t textToInt(const QString &text)
{
    if (auto value = tryTextToInt(text))
        return *value;
    throw core::Failure(core::Failure::Kind::NotAWholeNumber, QString(), text);
}

std::optional<double> tryTextToFloat(const QString &text)
{
    // The number is gathered into plain ASCII and read with std::from_chars,
    // which ignores the C locale: Qt sets that locale from the environment,
    // and strtod() would then read "1.5" as 1 under a comma locale.
    const QString trimmed = text.trimmed();
    std::string plain;
    plain.reserve(static_cast<size_t>(trimmed.size()));
    qsizetype i = 0;
    const qsizetype n = trimmed.size();
    auto takeSign = [&] {
        if (i < n && (trimmed[i] == u'-' || trimmed[i] == u'+')) {
            // from_chars takes no leading "+".
            if (trimmed[i] == u'-')
                plain.push_back('-');
            ++i;
        }
    };
    // Decimal order of the first significant digit, kept to tell an
    // overflow from an underflow when from_chars reports the range.
    int integerDigits = 0;
    int leadingFractionZeros = 0;
    bool significant = false;
    enum class Part { Integer, Fraction, Exponent };
    auto takeDigits = [&](Part part) {
        int count = 0;
        while (i < n && trimmed[i] >= u'0' && trimmed[i] <= u'9') {
            const char c = static_cast<char>(trimmed[i++].unicode());
            plain.push_back(c);
            ++count;
            if (part == Part::Exponent)
                continue;
            if (c != '0')
                significant = true;
            if (part == Part::Integer && significant)
                ++integerDigits;
            else if (part == Part::Fraction && !significant)
                ++leadingFractionZeros;
        }
        return count;
    };

    takeSign();
    const bool negative = !plain.empty();
    int mantissaDigits = takeDigits(Part::Integer);
    if (i < n && trimmed[i] == u',') {
        plain.push_back('.');
        ++i;
        mantissaDigits += takeDigits(Part::Fraction);
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    long exponent = 0;
    if (i < n && (trimmed[i] == u'e' || trimmed[i] == u'E')) {
        plain.push_back('e');
        ++i;
        const std::size_t signAt = plain.size();
        takeSign();
        const bool negativeExponent = plain.size() > signAt;
        const std::size_t digitsAt = plain.size();
        if (takeDigits(Part::Exponent) == 0)
            return std::nullopt;
        for (std::size_t k = digitsAt; k < plain.size() && exponent < 1000000; ++k)
            exponent = exponent * 10 + (plain[k] - '0');
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too small to hold reads as zero; too large to hold is no number.
        const long order = integerDigits > 0 ? exponent + integerDigits
                                             : exponent - leadingFractionZeros;
        if (order > 0)
            return std::nullopt;
        return negative ? -0.0 : 0.0;
    }
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double textToFloat(const QString &text)
{
    if (auto value = tryTextToFloat(text))
        return *value;
    throw core::Failure(core::Failure::Kind::NotADecimalNumber, QString(), text);
}

QString floatToText(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0");

    // 15 significant digits in exponent form tell the digits and the exponent.
    // std::to_chars always writes a "." whatever the C locale says.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, 14);
    const QString formatted = QString::fromLatin1(buffer, written.ptr - buffer);
    const qsizetype e = formatted.indexOf(u'e');
    const int exponent = formatted.mid(e + 1).toInt();
    const bool negative = formatted.startsWith(u'-');
    QString digits = formatted.left(e);
    digits.remove(u'-');
    digits.remove(u'.');
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);

    QString text;
    if (exponent >= 15 || exponent < -5) {
        text = digits.left(1);
        if (digits.size() > 1)
            text += u',' + digits.mid(1);
        text += u'E' + QString::number(exponent);
    } else if (exponent < 0) {
        text = QStringLiteral("0,") + QString(-exponent - 1, u'0') + digits;
    } else if (digits.size() <= exponent + 1) {
        text = digits + QString(exponent + 1 - digits.size(), u'0');
    } else {
        text = digits.left(exponent + 1) + u',' + digits.mid(exponent + 1);
    }
    return negative ? u'-' + text : text;
}
