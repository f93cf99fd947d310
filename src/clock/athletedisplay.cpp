#include "clock/athletedisplay.h"

#include "clock/palette.h"
#include "model/proceduredisplay.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// A bar's share of its full height; a bar without a scale stays empty, as
// in the clock window.
double barShare(const BarLevel &level)
{
    if (level.scale <= 0)
        return 0;
    return std::clamp(static_cast<double>(level.tenths) / level.scale, 0.0, 1.0);
}

// The texts the procedure puts on its phase display.
[[maybe_unused]] const char *const procedureTexts[] = {
    QT_TRANSLATE_NOOP("Phases", "Start Rest"),
    QT_TRANSLATE_NOOP("Phases", "Fro-Phase"),
    QT_TRANSLATE_NOOP("Phases", "Rest after Fro-Phase"),
    QT_TRANSLATE_NOOP("Phases", "To-Phase"),
    QT_TRANSLATE_NOOP("Phases", "Rest after To-Phase"),
    QT_TRANSLATE_NOOP("Phases", "Rest between Sets"),
    QT_TRANSLATE_NOOP("Phases", "TEST"),
    QT_TRANSLATE_NOOP("Phases", "BEGIN"),
    QT_TRANSLATE_NOOP("Phases", "Break"),
};

} // namespace

QString shownProcedureText(const QString &text)
{
    // A countdown ticks ten times a second: its digits need no look-up.
    if (text.isEmpty() || !text.front().isLetter())
        return text;
    return QCoreApplication::translate("Phases", text.toUtf8().constData());
}

AthleteDisplay athleteDisplay(const ProcedureDisplay &d)
{
    AthleteDisplay a;
    a.phaseName = shownProcedureText(d.phase);
    a.phaseColour = palette::panelColour(d.panel);
    a.countdown = shownProcedureText(d.countdown);
    // The athlete never sees a repetition beyond the set's count.
    a.repetition = d.repetitionCount > 0 ? std::min(d.repetition, d.repetitionCount) : d.repetition;
    a.repetitionCount = d.repetitionCount;
    a.set = d.set;
    a.setCount = d.setCount;
    a.froBar = barShare(d.froBar);
    a.toBar = barShare(d.toBar);
    a.gaugeProgress = d.gaugeProgress;
    a.gaugeMax = d.gaugeMax;
    return a;
}

AthleteDisplay athleteDisplay(const ProcedureDisplay &d, const AthleteExtras &extras)
{
    AthleteDisplay a = athleteDisplay(d);
    if (d.resting && extras.restLeftMs)
        a.countdown = QCoreApplication::translate("AthleteView", "Next set in %1").arg(restLeftText(*extras.restLeftMs));
    // "TEST" and "BEGIN" after a test would invite the athlete to start again.
    if (!d.running && !d.resting && !d.onBreak && !extras.results.isEmpty()) {
        a.phaseName = QCoreApplication::translate("AthleteView", "Test over");
        a.countdown = extras.results.join(u'\n');
    }
    return a;
}

QString restLeftText(std::int32_t leftMs)
{
    const std::int64_t seconds = (std::max<std::int64_t>(leftMs, 0) + 999) / 1000;
    const QString minutesAndSeconds = QStringLiteral("%1:%2").arg(seconds / 60 % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return minutesAndSeconds;
    return QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutesAndSeconds.rightJustified(5, QLatin1Char('0')));
}
