#include "clock/numbertext.h"

#include "platform/errors.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

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
    throw platform::ConversionError(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text));
}

std::optional<double> tryTextToFloat(const QString &text)
{
    const QString trimmed = text.trimmed();
    std::string plain;
    plain.reserve(static_cast<size_t>(trimmed.size()));
    qsizetype i = 0;
    const qsizetype n = trimmed.size();
    auto takeSign = [&] {
        if (i < n && (trimmed[i] == u'-' || trimmed[i] == u'+'))
            plain.push_back(static_cast<char>(trimmed[i++].unicode()));
    };
    auto takeDigits = [&] {
        int count = 0;
        while (i < n && trimmed[i] >= u'0' && trimmed[i] <= u'9') {
            plain.push_back(static_cast<char>(trimmed[i++].unicode()));
            ++count;
        }
        return count;
    };

    takeSign();
    int mantissaDigits = takeDigits();
    if (i < n && trimmed[i] == u',') {
        plain.push_back('.');
        ++i;
        mantissaDigits += takeDigits();
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < n && (trimmed[i] == u'e' || trimmed[i] == u'E')) {
        plain.push_back('e');
        ++i;
        takeSign();
        if (takeDigits() == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    const double value = std::strtod(plain.c_str(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

double textToFloat(const QString &text)
{
    if (auto value = tryTextToFloat(text))
        return *value;
    throw platform::ConversionError(QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(text));
}

QString floatToText(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0");

    // 15 significant digits in exponent form tell the digits and the exponent.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const QString formatted = QString::fromLatin1(buffer);
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
