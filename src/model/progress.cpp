#include "model/progress.h"

#include "core/numbertext.h"
#include "model/settings.h"
#include "model/fullexport.h"
#include "store/layout.h"

#include <QDateTime>
#include <QHash>

#include <algorithm>
#include <charconv>
#include <map>
#include <vector>

namespace data {
namespace {

constexpr int maxSets = 20;

// Positions of the fields the chart reads, in the test table's layout.
struct Fields {
    int testnr, date, name, surname, exercise;
    int realTime[maxSets], realR[maxSets];
    int startRest, froPhase, toPhase, restAfterFro, restAfterTo, rep, sets, restSets, tutTotal, tutReal;
};

const Fields &fields()
{
    static const Fields f = [] {
        const store::Layout &layout = store::testTableLayout();
        auto at = [&](const char *name) { return layout.indexOf(QString::fromLatin1(name)); };
        Fields f{};
        f.testnr = at("Testnr");
        f.date = at("Date");
        f.name = at("Name");
        f.surname = at("Surname");
        f.exercise = at("Exercise");
        for (int k = 0; k < maxSets; ++k) {
            f.realTime[k] = layout.indexOf(QStringLiteral("RealTime%1").arg(k + 1));
            f.realR[k] = layout.indexOf(QStringLiteral("RealR%1").arg(k + 1));
        }
        f.startRest = at("StartRest");
        f.froPhase = at("FroPhase");
        f.toPhase = at("ToPhase");
        f.restAfterFro = at("RestafterFro");
        f.restAfterTo = at("RestafterTo");
        f.rep = at("Rep");
        f.sets = at("Sets");
        f.restSets = at("RestSets");
        f.tutTotal = at("TUTTotal");
        f.tutReal = at("TUTReal");
        return f;
    }();
    return f;
}

struct Placed {
    const StoredTest *test;
    qint64 testnr;
    std::optional<QDate> date;
    double x = 0;
};

void append(ProgressSeries &series, const Placed &test, double value)
{
    series.points.append({test.x, value, test.testnr, test.test->value(fields().date), test.date.has_value()});
}

void sortByX(ProgressSeries &series)
{
    const auto byX = [](const ProgressPoint &a, const ProgressPoint &b) { return a.x < b.x; };
    if (std::is_sorted(series.points.cbegin(), series.points.cend(), byX))
        return;
    std::stable_sort(series.points.begin(), series.points.end(),
                     [](const ProgressPoint &a, const ProgressPoint &b) { return a.x < b.x; });
}

std::optional<double> plannedSetTime(const StoredTest &test)
{
    const std::optional<QString> text = plannedSetTimeText(test);
    if (!text)
        return std::nullopt;
    return tryTextToFloat(*text);
}

} // namespace

std::optional<QString> plannedSetTimeText(const StoredTest &test)
{
    const Fields &f = fields();
    SettingsTexts texts;
    texts.StartHalte = test.value(f.startRest);
    texts.Abwaerts = test.value(f.froPhase);
    texts.HalteUnten = test.value(f.restAfterFro);
    texts.Aufwaerts = test.value(f.toPhase);
    texts.HalteOben = test.value(f.restAfterTo);
    texts.Wiederholungen = test.value(f.rep);
    texts.Serien = test.value(f.sets);
    texts.Pause = test.value(f.restSets);
    return resetSettings(texts, ClockTiming{}).plannedSetTime;
}

std::optional<double> chartNumber(const QString &text)
{
    // The common forms ("20", "20,5", "-0,4") are read here directly; the
    // rest goes through the program's own reading.
    const qsizetype n = text.size();
    if (n > 0 && n <= 20) {
        char buffer[24];
        qsizetype digits = 0;
        bool comma = false;
        bool plain = true;
        for (qsizetype i = 0; i < n && plain; ++i) {
            const char16_t c = text[i].unicode();
            if (c >= u'0' && c <= u'9') {
                buffer[i] = char(c);
                ++digits;
            } else if (c == u'-' && i == 0) {
                buffer[i] = '-';
            } else if ((c == u',' || c == u'.') && !comma) {
                buffer[i] = '.';
                comma = true;
            } else {
                plain = false;
            }
        }
        if (plain && digits > 0) {
            double value = 0;
            const auto [end, error] = std::from_chars(buffer, buffer + n, value);
            if (error == std::errc() && end == buffer + n)
                return value;
        }
    }
    if (auto value = tryTextToFloat(text))
        return value;
    if (text.contains(u'.') && !text.contains(u',')) {
        QString comma = text;
        comma.replace(u'.', u',');
        return tryTextToFloat(comma);
    }
    return std::nullopt;
}

ProgressData progressSeries(const QList<StoredTest> &tests, const QString &name, const QString &surname,
                            const QString &exercise, const QLocale &userLocale)
{
    const Fields &f = fields();
    ProgressData data;

    // The athlete's tests of the exercise, in the order of their numbers.
    QHash<QString, std::optional<QDate>> dates;
    const int referenceYear = QDate::currentDate().year();
    std::vector<Placed> chosen;
    for (const StoredTest &test : tests) {
        if (test.value(f.name) != name || test.value(f.surname) != surname || test.value(f.exercise) != exercise)
            continue;
        const QString dateText = test.value(f.date);
        auto known = dates.constFind(dateText);
        if (known == dates.cend())
            known = dates.insert(dateText, readTestDate(dateText, userLocale, referenceYear));
        chosen.push_back({&test, test.value(f.testnr).toLongLong(), *known});
    }
    std::stable_sort(chosen.begin(), chosen.end(), [](const Placed &a, const Placed &b) { return a.testnr < b.testnr; });
    data.tests = int(chosen.size());

    // Dated tests: spread over their day in the order of their numbers.
    std::map<QDate, std::vector<Placed *>> days;
    for (Placed &test : chosen) {
        if (test.date)
            days[*test.date].push_back(&test);
        else
            ++data.undated;
    }
    // The time axis shows local time.  Asking the time zone for every day is
    // slow, so its offset is taken once a month: an hour's error on the day
    // of a clock change moves no test to another date.
    QHash<int, qint64> monthOffsets;
    const qint64 epochDay = QDate(1970, 1, 1).toJulianDay();
    constexpr double dayMs = 86400000.0;
    for (auto &[day, onDay] : days) {
        const int month = day.year() * 12 + day.month();
        auto offset = monthOffsets.constFind(month);
        if (offset == monthOffsets.cend()) {
            const QDate first(day.year(), day.month(), 1);
            offset = monthOffsets.insert(month, first.startOfDay().offsetFromUtc());
        }
        const double start = double(day.toJulianDay() - epochDay) * dayMs - double(*offset) * 1000.0;
        const double n = double(onDay.size());
        for (size_t k = 0; k < onDay.size(); ++k)
            onDay[k]->x = start + dayMs * double(k + 1) / (n + 1);
    }

    // Undated tests: between the dated tests before and after them by test
    // number, evenly; a day apart before the first or after the last.
    if (days.empty()) {
        data.byTestNumber = !chosen.empty();
        for (Placed &test : chosen)
            test.x = double(test.testnr);
    } else {
        constexpr double day = 86400000.0;
        size_t i = 0;
        while (i < chosen.size()) {
            if (chosen[i].date) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < chosen.size() && !chosen[end].date)
                ++end;
            const size_t run = end - i;
            const bool before = i > 0;
            const bool after = end < chosen.size();
            for (size_t j = 0; j < run; ++j) {
                double x;
                if (before && after) {
                    const double from = chosen[i - 1].x;
                    const double to = chosen[end].x;
                    x = from + (to - from) * double(j + 1) / double(run + 1);
                } else if (before) {
                    x = chosen[i - 1].x + day * double(j + 1);
                } else {
                    x = chosen[end].x - day * double(run - j);
                }
                chosen[i + j].x = x;
            }
            i = end;
        }
    }

    // The values.
    ProgressSeries times[maxSets];
    ProgressSeries reps[maxSets];
    data.plannedSetTime.name = QStringLiteral("Planned set time");
    data.tutTotal.name = QStringLiteral("TUT total");
    data.tutReal.name = QStringLiteral("TUT real");
    QHash<QString, std::optional<double>> planned;
    for (const Placed &test : chosen) {
        const StoredTest &t = *test.test;
        int sets = maxSets;
        if (const auto count = tryTextToInt(t.value(f.sets)); count && *count >= 1 && *count <= maxSets)
            sets = *count;
        bool anyTime = false;
        for (int k = 0; k < sets; ++k) {
            // A set with no real time never ran: its repetitions slot holds
            // "0", which is no result of the athlete's.
            if (t.value(f.realTime[k]).isEmpty())
                continue;
            if (const auto value = chartNumber(t.value(f.realTime[k]))) {
                append(times[k], test, *value);
                anyTime = true;
            }
            if (const auto value = chartNumber(t.value(f.realR[k])))
                append(reps[k], test, *value);
        }
        if (anyTime) {
            // Tests share their settings: each distinct set is worked out once.
            QString key;
            for (int index : {f.startRest, f.froPhase, f.restAfterFro, f.toPhase, f.restAfterTo, f.rep, f.sets,
                              f.restSets})
                key += t.value(index) + QChar(0x1F);
            auto known = planned.constFind(key);
            if (known == planned.cend())
                known = planned.insert(key, plannedSetTime(t));
            if (*known)
                append(data.plannedSetTime, test, **known);
        }
        if (const auto value = chartNumber(t.value(f.tutTotal)))
            append(data.tutTotal, test, *value);
        if (const auto value = chartNumber(t.value(f.tutReal)))
            append(data.tutReal, test, *value);
    }
    for (int k = 0; k < maxSets; ++k) {
        if (!times[k].points.isEmpty()) {
            times[k].name = QStringLiteral("Set %1").arg(k + 1);
            sortByX(times[k]);
            data.setTimes.append(std::move(times[k]));
        }
        if (!reps[k].points.isEmpty()) {
            reps[k].name = QStringLiteral("Set %1").arg(k + 1);
            sortByX(reps[k]);
            data.repetitions.append(std::move(reps[k]));
        }
    }
    sortByX(data.plannedSetTime);
    sortByX(data.tutTotal);
    sortByX(data.tutReal);
    return data;
}

QString progressPointText(const ProgressSeries &series, const ProgressPoint &point, const QString &unit)
{
    QString text = QStringLiteral("Test %1\n").arg(point.testnr);
    if (point.dated) {
        text += point.dateText.trimmed();
    } else if (point.dateText.trimmed().isEmpty()) {
        text += QStringLiteral("No date; placed by test number");
    } else {
        text += QStringLiteral("Date \"%1\" not readable; placed by test number").arg(point.dateText);
    }
    text += QStringLiteral("\n%1: %2").arg(series.name, floatToText(point.value));
    if (!unit.isEmpty())
        text += u' ' + unit;
    return text;
}

} // namespace data
