// The settings reset over any eight settings texts (one per input line, in the
// order StartHalte, Abwaerts, HalteUnten, Aufwaerts, HalteOben, Wiederholungen,
// Serien, Pause): the values obey their lower limits and sum up as the clock
// expects, the totals read back as the products they show, and a reset that
// ends early keeps the former values of every later step.

#include "core/numbertext.h"
#include "model/settings.h"
#include "core/timetext.h"

#include "fuzzcheck.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The values before the reset: none of them one a reset could produce from
// the texts by chance, so that a value kept is told from a value set.
ClockTiming formerTiming()
{
    ClockTiming t;
    t.StartRestMs = 7;
    t.FroPhaseMs = 11;
    t.RestAfterFroMs = 13;
    t.ToPhaseMs = 17;
    t.RestAfterToMs = 19;
    t.RepetitionCount = -23;
    t.SetCount = -29;
    t.CycleMs = 31;
    t.RestBetweenSetsMs = 37.5;
    t.SetDurationMs = 41;
    t.GaugeMax = 43;
    t.FroScale = 47;
    t.ToScale = 53;
    return t;
}

bool readsAsSeconds(const QString &text)
{
    return QString::compare(text, QStringLiteral(" 60"), Qt::CaseSensitive) < 0 || tryTextToFloat(text).has_value();
}

// A shown decimal reads back as the value it was made from (15 digits).
void checkShown(const std::optional<QString> &shownText, long double expected, const char *what)
{
    FUZZ_CHECK(shownText.has_value(), QString::fromLatin1(what));
    const std::optional<double> back = tryTextToFloat(*shownText);
    FUZZ_CHECK(back.has_value(), QStringLiteral("%1 shows %2").arg(QString::fromLatin1(what), *shownText));
    const long double tolerance = std::max<long double>(std::fabs(expected) * 1e-13L, 1e-9L);
    FUZZ_CHECK(std::fabs(*back - expected) <= tolerance,
               QStringLiteral("%1 shows %2, expected %3")
                   .arg(QString::fromLatin1(what), *shownText)
                   .arg(double(expected), 0, 'g', 17));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    QStringList lines = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).split(u'\n');
    while (lines.size() < 8)
        lines << QString();
    const SettingsTexts in{lines[0], lines[1], lines[2], lines[3], lines[4], lines[5], lines[6], lines[7]};
    const ClockTiming former = formerTiming();

    const SettingsOutcome out = resetSettings(in, former);
    const SettingsTexts &t = out.texts;
    const ClockTiming &v = out.timing;
    const QString all = shown(lines.mid(0, 8).join(QStringLiteral(" | ")));

    // "." becomes "," in the four fields read as seconds; the others stay.
    auto commas = [](QString s) { return s.replace(u'.', u','); };
    FUZZ_CHECK(t.StartHalte == commas(in.StartHalte) && t.Abwaerts == commas(in.Abwaerts)
                   && t.Aufwaerts == commas(in.Aufwaerts) && t.Pause == commas(in.Pause),
               all);
    FUZZ_CHECK(t.HalteUnten == in.HalteUnten && t.HalteOben == in.HalteOben && t.Wiederholungen == in.Wiederholungen
                   && t.Serien == in.Serien,
               all);

    // Steps that cannot fail always take effect.
    FUZZ_CHECK(v.StartRestMs == std::max(TextToMs(t.StartHalte), 100), all);

    const bool phasesRead = readsAsSeconds(t.Abwaerts) && readsAsSeconds(t.Aufwaerts);
    const bool completes = phasesRead && tryTextToFloat(t.Pause) && tryTextToInt(t.Serien)
        && tryTextToInt(t.Wiederholungen);
    FUZZ_CHECK(out.completed == completes, all);

    if (!phasesRead) {
        FUZZ_CHECK(v.RestAfterFroMs == former.RestAfterFroMs && v.RestAfterToMs == former.RestAfterToMs
                       && v.RepetitionCount == former.RepetitionCount && v.CycleMs == former.CycleMs,
                   all);
    } else {
        FUZZ_CHECK(v.FroPhaseMs >= 100 && v.ToPhaseMs >= 100 && v.RestAfterFroMs >= 100 && v.RestAfterToMs >= 100, all);
        FUZZ_CHECK(v.RepetitionCount >= 1 && v.SetCount >= 1, all);
        FUZZ_CHECK(v.CycleMs == std::max<std::int64_t>(std::int64_t{v.FroPhaseMs} + v.ToPhaseMs + v.RestAfterFroMs
                                                           + v.RestAfterToMs,
                                                       1000),
                   all);
    }
    if (!out.cycleText)
        FUZZ_CHECK(!out.tutReal, all);

    if (!out.completed) {
        FUZZ_CHECK(!out.tutTotal && !out.plannedSetTime, all);
        FUZZ_CHECK(v.SetDurationMs == former.SetDurationMs && v.GaugeMax == former.GaugeMax
                       && v.FroScale == former.FroScale && v.ToScale == former.ToScale,
                   all);
        return 0;
    }

    // A rest of 1E308 s or so is infinite in milliseconds: a rest that never
    // ends, as any of some million years would be.
    FUZZ_CHECK(v.RestBetweenSetsMs >= 1000, all);
    // The set duration, held at the largest 64-bit count beyond it.
    const __int128 duration = std::min<__int128>(__int128{v.StartRestMs} + __int128{v.RepetitionCount} * v.CycleMs,
                                                 std::numeric_limits<std::int64_t>::max());
    FUZZ_CHECK(duration == v.SetDurationMs, all);
    FUZZ_CHECK(out.cycleText == ClockText(v.SetDurationMs), all);
    FUZZ_CHECK(v.GaugeMax == std::clamp<std::int64_t>(v.SetDurationMs / 100, 10, std::numeric_limits<int>::max()), all);
    FUZZ_CHECK(v.FroScale == v.FroPhaseMs / 100 && v.ToScale == v.ToPhaseMs / 100, all);

    const long double sets = *tryTextToInt(t.Serien);
    const long double repetitions = *tryTextToInt(t.Wiederholungen);
    const long double d = static_cast<long double>(duration);
    checkShown(out.tutTotal, d * sets / 1000, "TUT total");
    checkShown(out.tutReal,
               (d - v.StartRestMs - repetitions * (static_cast<long double>(v.RestAfterToMs) + v.RestAfterFroMs)) * sets
                   / 1000,
               "TUT real");
    checkShown(out.plannedSetTime, (d - v.StartRestMs) / 1000, "planned set time");
    return 0;
}
