#include "core/timetext.h"

#include "core/wallclock.h"

#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

constexpr std::int64_t kDayMs = platform::kDayMs;

// Reads a field as a whole decimal number: leading blanks and one sign, then
// digits only.  Anything else, a trailing blank included, makes it unreadable.
std::optional<std::int64_t> readField(QStringView field)
{
    qsizetype i = 0;
    while (i < field.size() && field[i] == u' ')
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == u'-' || field[i] == u'+')) {
        negative = field[i] == u'-';
        ++i;
    }
    if (i == field.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return negative ? -value : value;
}

} // namespace

std::int32_t TimeOfDayMs(double dateTime)
{
    if (!std::isfinite(dateTime))
        return 0;
    // The fraction counts forward from midnight also for days before day 0
    // (-1.25 is 6:00), so the sign is dropped first; fmod is exact.
    const double fraction = std::fmod(std::fabs(dateTime), 1.0);
    // A fraction that rounds up to a whole day is the next midnight, 0.
    const std::int64_t ms = std::llround(fraction * kDayMs) % kDayMs;
    const std::int64_t hours = ms / 3600000;
    const std::int64_t minutes = ms / 60000 % 60;
    const std::int64_t seconds = ms / 1000 % 60;
    const std::int64_t millis = ms % 1000;
    return static_cast<std::int32_t>(hours * 3600000 + minutes * 60000 + seconds * 1000 + millis);
}

std::int32_t TimeOfDayMs(const QTime &time)
{
    // An invalid time has -1 in every field; it counts as midnight.
    if (!time.isValid())
        return 0;
    return time.hour() * 3600000 + time.minute() * 60000 + time.second() * 1000 + time.msec();
}

QString ZeroPad(std::int64_t value, int width)
{
    QString text = QString::number(value);
    while (text.size() < width)
        text.prepend(u'0');
    return text;
}

namespace {

QString hundredthsText(std::int64_t n)
{
    const std::int64_t m = n < 0 ? -n : n;
    QString text = ZeroPad(m / 360000, 2) + u':' + ZeroPad(m / 6000 % 60, 2) + u':'
        + ZeroPad(m / 100 % 60, 2) + u',' + ZeroPad(m % 100, 2);
    if (n < 0)
        text[0] = u'-';
    return text;
}

QString msText(std::int64_t n)
{
    const std::int64_t m = n < 0 ? -n : n;
    QString text = hundredthsText(m / 10) + QString::number(m % 10);
    if (n < 0)
        text[0] = u'-';
    return text;
}

} // namespace

QString HundredthsToText(std::int32_t n)
{
    return hundredthsText(n);
}

QString MsToText(std::int32_t n)
{
    return msText(n);
}

int LastDecimalSeparator(const QString &text)
{
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (text[i] == u',' || text[i] == u'.')
            return static_cast<int>(i + 1);
    }
    return 0;
}

std::int32_t TextToHundredths(const QString &input)
{
    QString text = input;
    const bool negative = text.startsWith(u'-');
    if (negative)
        text[0] = u' ';

    int p = LastDecimalSeparator(text);
    if (p == 0)
        p = static_cast<int>(text.size()) + 1;
    while (p < 9) {
        text.prepend(u'0');
        ++p;
    }
    while (text.size() < 11)
        text.append(u'0');

    const QStringView view(text);
    std::int64_t total = 0;
    if (auto hours = readField(view.mid(0, 2)))
        total = *hours * 360000;
    if (auto minutes = readField(view.mid(3, 2)))
        total += *minutes * 6000;
    // The hundreds digit of a three-digit minute count (mmm:ss,cc) lands here.
    const QChar hundredsOfMinutes = text[2];
    if (hundredsOfMinutes >= u'1' && hundredsOfMinutes <= u'9')
        total += (hundredsOfMinutes.unicode() - u'0') * 600000;
    if (auto seconds = readField(view.mid(6, 2)); seconds && *seconds >= 0 && *seconds <= 59)
        total += *seconds * 100;
    if (auto hundredths = readField(view.mid(9, 2)))
        total += *hundredths;

    return static_cast<std::int32_t>(negative ? -total : total);
}

std::int32_t TextToMs(const QString &text)
{
    int thousandths = 0;
    const int p = LastDecimalSeparator(text);
    if (p != 0 && text.size() - p == 3) {
        const QChar last = text.back();
        if (last >= u'0' && last <= u'9')
            thousandths = last.unicode() - u'0';
    }
    const std::int64_t h = TextToHundredths(text);
    const std::int64_t ms = 10 * std::llabs(h) + thousandths;
    return static_cast<std::int32_t>(text.startsWith(u'-') ? -ms : ms);
}

QString ClockCut(const QString &text)
{
    // hh:mm:ss; with 100 hours or more the hours take more digits, and the
    // cut still ends with the seconds.
    const int separator = LastDecimalSeparator(text);
    return separator > 9 ? text.left(separator - 1) : text.left(8);
}

QString SecondsCut(const QString &msText)
{
    return msText.mid(6, 4);
}

QString DropLeadingZero(const QString &text)
{
    return text.startsWith(u'0') ? text.mid(1) : text;
}

QString ClockText(std::int64_t ms)
{
    return ClockCut(msText(ms));
}

QString CountdownSeconds(std::int32_t ms)
{
    return DropLeadingZero(SecondsCut(MsToText(ms)));
}

QString CountdownClock(std::int32_t ms)
{
    return DropLeadingZero(ClockCut(MsToText(ms)));
}
