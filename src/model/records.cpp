#include "model/records.h"

#include "core/numbertext.h"

std::optional<int> setNumberOf(const QString &text)
{
    for (int k = 1; k <= 20; ++k) {
        if (text == QString::number(k))
            return k;
    }
    return std::nullopt;
}

QString profileListLine(const QString &nr, const QString &profil, const QString &exercise)
{
    return nr.rightJustified(3) + QStringLiteral(" / ") + profil.rightJustified(10) + QStringLiteral("/ ")
        + exercise.rightJustified(10);
}

QString athleteListLine(const QString &nr, const QString &name, const QString &surname,
                        const QString &bodyweight, const QString &height)
{
    return nr.rightJustified(3) + u'/' + name.rightJustified(15) + surname.rightJustified(15)
        + bodyweight.rightJustified(10) + height.rightJustified(10);
}

std::optional<std::int32_t> tryListLineKey(const QString &line)
{
    QString number = line.section(u'/', 0, 0);
    // The key is right-aligned and the profile lines put a blank before "/".
    while (number.endsWith(u' '))
        number.chop(1);
    return tryTextToInt(number);
}

std::int32_t listLineKey(const QString &line)
{
    if (const std::optional<std::int32_t> key = tryListLineKey(line))
        return *key;
    return textToInt(line.section(u'/', 0, 0));
}

void completeSetResults(SetResults &results, const QString &sets, const QString &plannedSetTime,
                        const QStringList &plannedSlots, const QString &plannedRepetitions)
{
    const std::optional<int> n = setNumberOf(sets);
    if (!n)
        return;
    for (int k = 0; k < *n; ++k) {
        if (results.realTimes[k].isEmpty())
            results.realTimes[k] = *n == 2 ? plannedSlots.value(k) : plannedSetTime;
    }
    for (int k = 0; k < *n; ++k) {
        if (results.repetitions[k] == QLatin1String("0"))
            results.repetitions[k] = plannedRepetitions;
    }
}
