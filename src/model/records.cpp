#include "model/records.h"

#include "core/numbertext.h"

#include <QUuid>

#include <algorithm>

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
                        const QStringList &plannedSlots, const QString &plannedRepetitions,
                        std::bitset<20> unfinished)
{
    // No set runs for less than no time: a time below zero was never run.
    for (QString &time : results.realTimes) {
        const std::optional<double> seconds = tryTextToFloat(time);
        if (seconds && *seconds < 0)
            time.clear();
    }
    const std::optional<int> n = setNumberOf(sets);
    if (!n)
        return;
    for (int k = 0; k < *n; ++k) {
        if (unfinished.test(k))
            continue;
        if (results.realTimes[k].isEmpty())
            results.realTimes[k] = *n == 2 ? plannedSlots.value(k) : plannedSetTime;
    }
    for (int k = 0; k < *n; ++k) {
        if (unfinished.test(k))
            continue;
        if (results.repetitions[k] == QLatin1String("0"))
            results.repetitions[k] = plannedRepetitions;
    }
}

void TestOutcomes::begin(const QTime &start)
{
    m_active = true;
    m_start = start;
    m_outcomes.fill(SetOutcome::NotRun);
    m_seconds.fill(0);
}

void TestOutcomes::record(int set, SetOutcome outcome, double realSeconds)
{
    if (!m_active || set < 1 || set > 20)
        return;
    m_outcomes[set - 1] = outcome;
    m_seconds[set - 1] = std::max(realSeconds, 0.0);
}

void TestOutcomes::clear()
{
    m_active = false;
    m_outcomes.fill(SetOutcome::NotRun);
    m_seconds.fill(0);
}

SetOutcome TestOutcomes::outcome(int set) const
{
    if (!m_active || set < 1 || set > 20)
        return SetOutcome::NotRun;
    return m_outcomes[set - 1];
}

std::bitset<20> TestOutcomes::unfinished() const
{
    std::bitset<20> marks;
    if (!m_active)
        return marks;
    for (int k = 0; k < 20; ++k) {
        const SetOutcome o = m_outcomes[k];
        marks.set(k, o == SetOutcome::NotRun || o == SetOutcome::BrokenOff);
    }
    return marks;
}

bool TestOutcomes::hasUnsavedResults(std::optional<double> runningSeconds) const
{
    if (!m_active)
        return false;
    // A set stopped within its start rest saw no movement: nothing is lost.
    if (runningSeconds && *runningSeconds > 0)
        return true;
    for (int k = 0; k < 20; ++k) {
        switch (m_outcomes[k]) {
        case SetOutcome::RanToEnd:
        case SetOutcome::Cancelled:
            return true;
        case SetOutcome::BrokenOff:
            if (m_seconds[k] > 0)
                return true;
            break;
        case SetOutcome::NotRun:
            break;
        }
    }
    return false;
}

QString SaveIdentity::idFor(const QStringList &content)
{
    if (m_id.isEmpty() || content != m_content) {
        m_id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        m_content = content;
    }
    return m_id;
}

void SaveIdentity::forget()
{
    m_id.clear();
    m_content.clear();
}
