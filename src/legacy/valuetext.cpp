#include "legacy/valuetext.h"

#include "core/numbertext.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace legacy {
namespace {

QString dateText(qint64 day)
{
    // Day 1 is 1 January of the year 1.
    const QDate date = QDate::fromJulianDay(day + 1721425);
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString timeText(qint64 ms)
{
    const QTime time = QTime::fromMSecsSinceStartOfDay(int(ms));
    if (ms < 0 || ms >= 86400000 || !time.isValid())
        return QString();
    return time.toString(ms % 1000 ? QStringLiteral("hh:mm:ss,zzz") : QStringLiteral("hh:mm:ss"));
}

QString decimalText(const QString &digits)
{
    QString text = digits;
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    qsizetype start = 0;
    while (start + 1 < text.size() && text.at(start) == u'0' && text.at(start + 1) != u'.')
        ++start;
    text = text.mid(start);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    text.replace(u'.', u',');
    if (text.isEmpty() || text == QLatin1String("0"))
        return QStringLiteral("0");
    return negative ? u'-' + text : text;
}

} // namespace

QString textForm(const FieldValue &value, bool *replaced)
{
    bool lost = value.replaced;
    QString text;
    switch (value.kind) {
    case FieldValue::Kind::Blank:
    case FieldValue::Kind::Binary:
        break;
    case FieldValue::Kind::Text:
        text = value.ascii.isNull() ? value.text : QString::fromLatin1(value.ascii);
        break;
    case FieldValue::Kind::Integer:
        text = QString::number(value.integer);
        break;
    case FieldValue::Kind::Float:
        if (std::isfinite(value.number))
            text = floatToText(value.number);
        else
            lost = true;
        break;
    case FieldValue::Kind::Decimal:
        text = decimalText(value.text);
        break;
    case FieldValue::Kind::Date:
        text = dateText(value.integer);
        lost = lost || text.isEmpty();
        break;
    case FieldValue::Kind::Time:
        text = timeText(value.integer);
        lost = lost || text.isEmpty();
        break;
    case FieldValue::Kind::Timestamp: {
        if (!std::isfinite(value.number) || std::abs(value.number) > 1e15) {
            lost = true;
            break;
        }
        const auto ms = qint64(std::floor(value.number));
        const qint64 day = ms >= 0 ? ms / 86400000 : (ms - 86399999) / 86400000;
        const QString date = dateText(day);
        const QString time = timeText(ms - day * 86400000);
        if (date.isEmpty() || time.isEmpty())
            lost = true;
        else
            text = date + u' ' + time;
        break;
    }
    case FieldValue::Kind::Logical:
        text = value.integer ? QStringLiteral("True") : QStringLiteral("False");
        break;
    }
    if (replaced)
        *replaced = lost;
    return text;
}

std::optional<qint64> wholeNumber(const FieldValue &value)
{
    switch (value.kind) {
    case FieldValue::Kind::Integer:
        return value.integer;
    case FieldValue::Kind::Float:
        if (std::isfinite(value.number) && value.number == std::floor(value.number) && std::abs(value.number) < 9e15)
            return qint64(value.number);
        return std::nullopt;
    case FieldValue::Kind::Decimal: {
        const QString text = decimalText(value.text);
        bool ok = false;
        const qint64 number = text.toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    case FieldValue::Kind::Text:
        if (auto number = tryTextToInt(textForm(value).trimmed()))
            return *number;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace legacy
