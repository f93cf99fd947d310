#include "model/settings.h"

#include "core/numbertext.h"
#include "core/timetext.h"
#include "core/errors.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

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

    // The field being read when a conversion fails.
    SettingsFailure reading;
    const auto decimal = [&reading](const char *field, const QString &text) {
        reading = {QString::fromLatin1(field), text, false};
        return textToFloat(text);
    };
    const auto whole = [&reading](const char *field, const QString &text) {
        reading = {QString::fromLatin1(field), text, true};
        return textToInt(text);
    };

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
            v.FroPhaseMs = atLeast(secondsToWholeMs(decimal("Abwaerts", t.Abwaerts)), 100);
        if (!ordinalLess(t.Aufwaerts, QStringLiteral(" 60")))
            v.ToPhaseMs = atLeast(secondsToWholeMs(decimal("Aufwaerts", t.Aufwaerts)), 100);

        v.RestAfterFroMs = atLeast(TextToMs(t.HalteUnten), 100);
        v.RestAfterToMs = atLeast(TextToMs(t.HalteOben), 100);
        v.RepetitionCount = atLeast(tryTextToInt(t.Wiederholungen).value_or(2), 1);
        v.SetCount = atLeast(tryTextToInt(t.Serien).value_or(2), 1);
        v.CycleMs = std::max<std::int64_t>(std::int64_t{v.FroPhaseMs} + v.ToPhaseMs + v.RestAfterToMs
                                               + v.RestAfterFroMs,
                                           1000);
        v.RestBetweenSetsMs = std::max(decimal("Pause", t.Pause) * 1000.0, 1000.0);

        // Totals in 64 bits (and 128 for the products) so that no display wraps.
        // The largest settings would pass even 64 bits: the set duration then
        // stops at the largest count (some 292 million years).
        const std::int64_t duration = static_cast<std::int64_t>(
            std::min<__int128>(__int128{v.StartRestMs} + __int128{v.RepetitionCount} * v.CycleMs,
                               std::numeric_limits<std::int64_t>::max()));
        const std::int32_t typedSets = whole("Serien", t.Serien);
        out.cycleText = ClockText(duration);
        const std::int32_t typedRepetitions = whole("Wiederholungen", t.Wiederholungen);
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
    } catch (const core::Failure &failure) {
        if (!failure.isNumberFailure())
            throw;
        // The reset ends here; what was set so far stays in force.
        out.failure = reading;
    }
    return out;
}

namespace {

const struct {
    const char *field;
    const char *label;
} kSettingRows[] = {
    {"StartHalte", QT_TRANSLATE_NOOP("Settings", "Start Rest")},
    {"Aufwaerts", QT_TRANSLATE_NOOP("Settings", "To-Phase")},
    {"Abwaerts", QT_TRANSLATE_NOOP("Settings", "Fro-Phase")},
    {"HalteOben", QT_TRANSLATE_NOOP("Settings", "Rest after To-Phase")},
    {"HalteUnten", QT_TRANSLATE_NOOP("Settings", "Rest after Fro-Phase")},
    {"Wiederholungen", QT_TRANSLATE_NOOP("Settings", "Repetitions")},
    {"Serien", QT_TRANSLATE_NOOP("Settings", "Sets")},
    {"Pause", QT_TRANSLATE_NOOP("Settings", "Rest in-between Sets")},
};

// A duration as a person reads it: [-][[h:]m:]s[,fraction], blanks around it
// allowed.  Empty when the text is no such duration.
std::optional<std::int64_t> meantMs(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*(-?)(?:(\d{1,9}):)?(?:(\d{1,9}):)?(\d{0,9})(?:[.,](\d*))?\s*$)"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch() || (m.captured(4).isEmpty() && m.captured(5).isEmpty()))
        return std::nullopt;
    std::int64_t hours = 0;
    std::int64_t minutes = m.captured(2).toLongLong();
    if (m.hasCaptured(3) && !m.captured(3).isEmpty()) {
        hours = minutes;
        minutes = m.captured(3).toLongLong();
    }
    const std::int64_t seconds = m.captured(4).toLongLong();
    const std::int64_t thousandths = (m.captured(5) + QStringLiteral("000")).left(3).toLongLong();
    const std::int64_t ms = ((hours * 60 + minutes) * 60 + seconds) * 1000 + thousandths;
    return m.captured(1).isEmpty() ? ms : -ms;
}

QString secondsText(std::int64_t ms)
{
    return floatToText(static_cast<double>(ms) / 1000.0);
}

// 90000 ms as "1:30", 65500 as "1:05,5".
QString minutesText(std::int64_t ms)
{
    QString text = QString::number(ms / 60000) + u':' + ZeroPad(ms % 60000 / 1000, 2);
    if (const std::int64_t fraction = ms % 1000) {
        QString digits = ZeroPad(fraction, 3);
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += u',' + digits;
    }
    return text;
}

// A rest typed like minutes and seconds with a point or comma ("1.30",
// "2,15") is read as decimal seconds: say so, and how minutes are typed:
// as 1:30, or as plain seconds (90) in a field that reads only seconds.
QString minutesLookHint(const QString &text, const QString &taken, bool secondsOnly = false)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*(\d{1,3})[.,]([0-5]\d)\s*$)"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch() || m.captured(1).toInt() == 0)
        return {};
    const QString minutes = QString::number(m.captured(1).toInt());
    const QString seconds = QString::number(m.captured(2).toInt());
    if (secondsOnly)
        return QCoreApplication::translate("Settings", "\"%1\" is read as %2 s. For %3 min %4 s type %5.")
            .arg(text, taken, minutes, seconds, QString::number(m.captured(1).toInt() * 60 + m.captured(2).toInt()));
    return QCoreApplication::translate("Settings", "\"%1\" is read as %2 s. For %3 min %4 s type %3:%5.")
        .arg(text, taken, minutes, seconds, m.captured(2));
}

bool isOneOf(const QString &field, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (field == QLatin1String(name))
            return true;
    }
    return false;
}

} // namespace

QString settingRowLabel(const QString &field)
{
    for (const auto &row : kSettingRows) {
        if (field == QLatin1String(row.field))
            return QCoreApplication::translate("Settings", row.label);
    }
    return field;
}

QString settingsFailureMessage(const SettingsFailure &failure)
{
    return QCoreApplication::translate("Settings", "%1: \"%2\" is not %3")
        .arg(settingRowLabel(failure.field), failure.text,
             failure.wholeNumber ? QCoreApplication::translate("Settings", "a whole number") : QCoreApplication::translate("Settings", "a number of seconds"));
}

QString settingHint(const QString &field, const QString &typed)
{
    // The reset reads these four with "." turned into ",".
    QString text = typed;
    if (isOneOf(field, {"StartHalte", "Aufwaerts", "Abwaerts", "Pause"}))
        text.replace(u'.', u',');
    const QString quoted = u'"' + text + u'"';
    const QString noStart = QCoreApplication::translate("Settings", "%1 is not %2: a test cannot start.");

    if (isOneOf(field, {"Wiederholungen", "Serien"}))
        return tryTextToInt(text) ? QString() : noStart.arg(quoted, QCoreApplication::translate("Settings", "a whole number"));

    const bool decimalSeconds = field == QLatin1String("Pause")
        || (isOneOf(field, {"Abwaerts", "Aufwaerts"}) && !ordinalLess(text, QStringLiteral(" 60")));
    if (decimalSeconds) {
        if (const std::optional<double> seconds = tryTextToFloat(text)) {
            if (field == QLatin1String("Pause"))
                return minutesLookHint(text, floatToText(*seconds), true);
            return {};
        }
        QString hint = noStart.arg(quoted, QCoreApplication::translate("Settings", "a number of seconds"));
        if (const std::optional<std::int64_t> meant = meantMs(text); meant && *meant >= 0)
            hint += QCoreApplication::translate("Settings", " For %1 s type %1.").arg(secondsText(*meant));
        return hint;
    }

    // Read by its time-text positions: the rests, the start rest, and a
    // movement phase that is empty or begins with a blank.
    if (!isOneOf(field, {"StartHalte", "HalteUnten", "HalteOben", "Abwaerts", "Aufwaerts"}))
        return {};
    const std::int32_t read = TextToMs(text);
    const QString taken = secondsText(std::max(read, 100));
    const std::optional<std::int64_t> meant = meantMs(text);
    if (!meant) {
        if (text.trimmed().isEmpty())
            return QCoreApplication::translate("Settings", "No time typed: the clock takes %1 s.").arg(taken);
        return QCoreApplication::translate("Settings", "%1 cannot be read as a time: the clock takes %2 s.").arg(quoted, taken);
    }
    if (*meant < 0)
        return QCoreApplication::translate("Settings", "A time cannot be negative: the clock takes %1 s.").arg(taken);
    // A minute or more is written as minutes and seconds where the text is
    // read by position; the movement phases read plain seconds.
    const bool rest = isOneOf(field, {"StartHalte", "HalteUnten", "HalteOben"});
    if (*meant == read)
        return rest ? minutesLookHint(text, taken) : QString();
    const QString form = rest && *meant >= 60000 ? minutesText(*meant) : secondsText(*meant);
    return QCoreApplication::translate("Settings", "%1 is read as %2 s. For %3 s type %4.")
        .arg(quoted, taken, secondsText(*meant), form);
}
