// The time texts: any typed text reads without fault and within the range a
// time text can spell; every millisecond and hundredths count under 100 hours
// (under 10 hours when negative) reads back from its text; the display cuts
// are the fixed parts of that text; a time of day lies within the day.

#include "core/timetext.h"

#include "fuzzcheck.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void checkTyped(const QString &text)
{
    const int separator = LastDecimalSeparator(text);
    FUZZ_CHECK(separator >= 0 && separator <= text.size(), shown(text));
    if (separator > 0) {
        const QChar c = text.at(separator - 1);
        FUZZ_CHECK(c == u',' || c == u'.', shown(text));
        FUZZ_CHECK(text.indexOf(u',', separator) < 0 && text.indexOf(u'.', separator) < 0, shown(text));
    } else {
        FUZZ_CHECK(!text.contains(u',') && !text.contains(u'.'), shown(text));
    }

    // The largest text the fixed positions can spell: 99 hours, 999 minutes,
    // 59 seconds, 99 hundredths.
    const std::int64_t hundredths = TextToHundredths(text);
    constexpr std::int64_t most = 99 * 360000LL + 999 * 6000LL + 59 * 100 + 99;
    FUZZ_CHECK(std::llabs(hundredths) <= most, QStringLiteral("%1 reads %2").arg(shown(text)).arg(hundredths));

    // The milliseconds are the hundredths and one more digit, signed by a
    // leading "-" alone.
    const std::int64_t ms = TextToMs(text);
    FUZZ_CHECK(std::llabs(ms) / 10 == std::llabs(hundredths),
               QStringLiteral("%1: %2 ms, %3 hundredths").arg(shown(text)).arg(ms).arg(hundredths));
    FUZZ_CHECK(text.startsWith(u'-') ? ms <= 0 : ms >= 0, QStringLiteral("%1 reads %2").arg(shown(text)).arg(ms));
}

void checkMs(std::int32_t ms)
{
    const QString text = MsToText(ms);
    // hh:mm:ss,mmm, more hour digits from 100 hours on.
    FUZZ_CHECK(text.size() >= 12 && text.at(text.size() - 4) == u',' && text.at(text.size() - 7) == u':'
                   && text.at(text.size() - 10) == u':',
               QStringLiteral("%1 gives %2").arg(ms).arg(text));
    if (ms >= 0 && ms < 360000000)
        FUZZ_CHECK(text.size() == 12, text);
    if (ms > -36000000 && ms < 360000000)
        FUZZ_CHECK(TextToMs(text) == ms, QStringLiteral("%1 gives %2, which reads %3").arg(ms).arg(text).arg(TextToMs(text)));

    if (text.size() == 12)
        FUZZ_CHECK(SecondsCut(text) == text.mid(6, 4), text);
    FUZZ_CHECK(ClockCut(text) == text.left(text.size() - 4), text);
    FUZZ_CHECK(ClockText(ms) == ClockCut(text), text);
    const QString countdown = CountdownSeconds(ms);
    FUZZ_CHECK(countdown == SecondsCut(text) || u'0' + countdown == SecondsCut(text), countdown);
    const QString clock = CountdownClock(ms);
    FUZZ_CHECK(clock == ClockCut(text) || u'0' + clock == ClockCut(text), clock);
}

void checkHundredths(std::int32_t n)
{
    const QString text = HundredthsToText(n);
    FUZZ_CHECK(text.size() >= 11 && text.at(text.size() - 3) == u',', QStringLiteral("%1 gives %2").arg(n).arg(text));
    if (n > -3600000 && n < 36000000)
        FUZZ_CHECK(TextToHundredths(text) == n, QStringLiteral("%1 gives %2").arg(n).arg(text));
}

void checkZeroPad(std::int64_t value, int width)
{
    const QString text = ZeroPad(value, width);
    const QString digits = QString::number(value);
    FUZZ_CHECK(text.size() == std::max<qsizetype>(width, digits.size()) && text.endsWith(digits),
               QStringLiteral("%1 in %2 gives %3").arg(value).arg(width).arg(text));
    if (value >= 0)
        FUZZ_CHECK(text.toLongLong() == value, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkTyped(text);

    FuzzBytes bytes(data, size);
    checkMs(bytes.take<std::int32_t>());
    checkHundredths(bytes.take<std::int32_t>());
    checkZeroPad(bytes.take<std::int64_t>(), bytes.take<std::uint8_t>() % 40);

    const double dateTime = bytes.take<double>();
    const std::int32_t ofDay = TimeOfDayMs(dateTime);
    FUZZ_CHECK(ofDay >= 0 && ofDay <= 86399999, QStringLiteral("%1 gives %2").arg(dateTime, 0, 'g', 17).arg(ofDay));
    if (std::isfinite(dateTime) && std::fabs(dateTime) < 1e6) {
        // Whole days do not move the time of day.
        const std::int32_t nextDay = TimeOfDayMs(dateTime + (dateTime < 0 ? -1.0 : 1.0));
        const std::int32_t drift = std::abs(nextDay - ofDay);
        FUZZ_CHECK(drift <= 1 || drift >= 86399999 - 1,
                   QStringLiteral("%1: %2 and %3").arg(dateTime, 0, 'g', 17).arg(ofDay).arg(nextDay));
    }
    const auto h = bytes.take<std::uint8_t>(), m = bytes.take<std::uint8_t>(), s = bytes.take<std::uint8_t>();
    const auto milli = bytes.take<std::uint16_t>();
    const QTime time(h % 25, m % 61, s % 61, milli % 1001);
    const std::int32_t fromTime = TimeOfDayMs(time);
    FUZZ_CHECK(time.isValid() ? fromTime == time.msecsSinceStartOfDay() : fromTime == 0, time.toString());
    return 0;
}
