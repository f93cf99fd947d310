#include "clock/settings.h"

#include "clock/numbertext.h"
#include "clock/timetext.h"
#include "platform/errors.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

std::int32_t atLeast(std::int32_t value, std::int32_t lower)
{
    return std::max(value, lower);
}

// Ordinal, character-by-character comparison; a text that is the beginning of
// the other is the lower one.
bool ordinalLess(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

// Seconds typed as a decimal number, as whole milliseconds (fraction dropped).
// A hair of tolerance keeps 4,1 s from becoming 4099 ms through the binary
// representation of the typed decimal.
std::int32_t secondsToWholeMs(double seconds)
{
    const double ms = std::trunc(seconds * 1000.0 + (seconds >= 0 ? 1e-7 : -1e-7));
    if (ms >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (ms <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(ms);
}

QString wholeMsAsSeconds(__int128 ms)
{
    return floatToText(static_cast<double>(ms) / 1000.0);
}

} // namespace

SettingsOutcome resetSettings(const SettingsTexts &input, const ClockTiming &previous)
{
    SettingsOutcome out;
    out.texts = input;
    out.timing = previous;
    SettingsTexts &t = out.texts;
    ClockTiming &v = out.timing;

    for (QString *text : {&t.StartHalte, &t.Aufwaerts, &t.Abwaerts, &t.Pause})
        text->replace(u'.', u',');

    try {
        v.StartRestMs = atLeast(TextToMs(t.StartHalte), 100);

        // First reading of the movement phases.
        if (ordinalLess(t.Abwaerts, QStringLiteral("60")))
            v.FroPhaseMs = TextToMs(t.Abwaerts);
        if (ordinalLess(t.Aufwaerts, QStringLiteral("60")))
            v.ToPhaseMs = TextToMs(t.Aufwaerts);
        v.FroPhaseMs = atLeast(v.FroPhaseMs, 100);
        v.ToPhaseMs = atLeast(v.ToPhaseMs, 100);

        // Second reading: ordinary input is read as decimal seconds, so a
        // minute or more can be typed as plain seconds ("90").
        if (!ordinalLess(t.Abwaerts, QStringLiteral(" 60")))
            v.FroPhaseMs = atLeast(secondsToWholeMs(textToFloat(t.Abwaerts)), 100);
        if (!ordinalLess(t.Aufwaerts, QStringLiteral(" 60")))
            v.ToPhaseMs = atLeast(secondsToWholeMs(textToFloat(t.Aufwaerts)), 100);

        v.RestAfterFroMs = atLeast(TextToMs(t.HalteUnten), 100);
        v.RestAfterToMs = atLeast(TextToMs(t.HalteOben), 100);
        v.RepetitionCount = atLeast(tryTextToInt(t.Wiederholungen).value_or(2), 1);
        v.SetCount = atLeast(tryTextToInt(t.Serien).value_or(2), 1);
        v.CycleMs = std::max<std::int64_t>(std::int64_t{v.FroPhaseMs} + v.ToPhaseMs + v.RestAfterToMs
                                               + v.RestAfterFroMs,
                                           1000);
        v.RestBetweenSetsMs = std::max(textToFloat(t.Pause) * 1000.0, 1000.0);

        // Totals in 64 bits (and 128 for the products) so that no display wraps.
        // The largest settings would pass even 64 bits: the set duration then
        // stops at the largest count (some 292 million years).
        const std::int64_t duration = static_cast<std::int64_t>(
            std::min<__int128>(__int128{v.StartRestMs} + __int128{v.RepetitionCount} * v.CycleMs,
                               std::numeric_limits<std::int64_t>::max()));
        const std::int32_t typedSets = textToInt(t.Serien);
        out.cycleText = ClockText(duration);
        const std::int32_t typedRepetitions = textToInt(t.Wiederholungen);
        const __int128 realPerSet = static_cast<__int128>(duration) - v.StartRestMs
            - static_cast<__int128>(typedRepetitions) * (std::int64_t{v.RestAfterToMs} + v.RestAfterFroMs);
        out.tutReal = wholeMsAsSeconds(realPerSet * typedSets);
        out.tutTotal = wholeMsAsSeconds(static_cast<__int128>(duration) * typedSets);
        out.plannedSetTime = floatToText(duration / 1000.0 - v.StartRestMs / 1000.0);
        v.SetDurationMs = duration;
        v.GaugeMax = static_cast<int>(std::clamp<std::int64_t>(duration / 100, 10,
                                                               std::numeric_limits<int>::max()));
        v.FroScale = v.FroPhaseMs / 100;
        v.ToScale = v.ToPhaseMs / 100;
        out.completed = true;
    } catch (const platform::ConversionError &) {
        // The reset ends silently; what was set so far stays in force.
    }
    return out;
}

QString phaseName(Phase phase)
{
    switch (phase) {
    case Phase::StartRest:
        return QStringLiteral("Start Rest");
    case Phase::FroPhase:
        return QStringLiteral("Fro-Phase");
    case Phase::RestAfterFro:
        return QStringLiteral("Rest after Fro-Phase");
    case Phase::ToPhase:
        return QStringLiteral("To-Phase");
    case Phase::RestAfterTo:
        return QStringLiteral("Rest after To-Phase");
    }
    return {};
}

SetPosition setPosition(std::int64_t d, const ClockTiming &v)
{
    SetPosition pos;
    if (d >= 0 && d <= v.StartRestMs)
        return pos;
    const std::int64_t r = d - v.StartRestMs;
    pos.q = r % v.CycleMs;
    pos.repetition = static_cast<int>(r / v.CycleMs + 1);
    const std::int64_t f = v.FroPhaseMs;
    const std::int64_t rf = f + v.RestAfterFroMs;
    const std::int64_t to = rf + v.ToPhaseMs;
    if (pos.q <= f)
        pos.phase = Phase::FroPhase;
    else if (pos.q <= rf)
        pos.phase = Phase::RestAfterFro;
    else if (pos.q <= to)
        pos.phase = Phase::ToPhase;
    else
        pos.phase = Phase::RestAfterTo;
    return pos;
}

int barHeight(std::int64_t tenths, int scale, int fullHeight)
{
    if (scale <= 0)
        return 0;
    // Exact rational rounding: nearest pixel, a half going to the even one.
    const __int128 numerator = static_cast<__int128>(tenths) * fullHeight;
    __int128 whole = numerator / scale;
    const __int128 twiceRest = (numerator % scale) * 2;
    if (twiceRest > scale || (twiceRest == scale && whole % 2 != 0))
        ++whole;
    return static_cast<int>(whole);
}

QVector<QRect> clockFaceMarks(int w, int h)
{
    QVector<QRect> marks;
    const int cx = w / 2;
    const int cy = h / 2;
    const int r = 9 * w / 20;
    for (int i = 1; i <= 12; ++i) {
        const double a = i * 2 * std::numbers::pi / 12;
        const double x = r * std::cos(a) + cx;
        const double y = r * std::sin(a) + cy;
        const int left = static_cast<int>(std::trunc(x - 3));
        const int top = static_cast<int>(std::trunc(y - 3));
        const int right = static_cast<int>(std::trunc(x + 3));
        const int bottom = static_cast<int>(std::trunc(y + 3));
        marks << QRect(QPoint(left, top), QPoint(right, bottom));
    }
    return marks;
}
