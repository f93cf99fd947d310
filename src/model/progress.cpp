#include "model/progress.h"

#include "core/numbertext.h"
#include "model/settings.h"
#include "model/testdate.h"
#include "store/layout.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

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

QString setName(int number)
{
    return QCoreApplication::translate("Progress", "Set %1").arg(number);
}

QString seconds(double value)
{
    return QCoreApplication::translate("Progress", "%1 s").arg(floatToText(value));
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
                            const QString &exercise)
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
            known = dates.insert(dateText, readTestDate(dateText, referenceYear));
        chosen.push_back({&test, test.value(f.testnr).toLongLong(), *known});
    }
    std::stable_sort(chosen.begin(), chosen.end(), [](const Placed &a, const Placed &b) { return a.testnr < b.testnr; });
    data.tests = int(chosen.size());

    // Dated tests: in the order of their days, within a day in the order
    // of their numbers.
    std::map<QDate, std::vector<Placed *>> days;
    for (Placed &test : chosen) {
        if (test.date)
            days[*test.date].push_back(&test);
        else
            ++data.undated;
    }
    for (auto &[day, onDay] : days) {
        const double n = double(onDay.size());
        for (size_t k = 0; k < onDay.size(); ++k)
            onDay[k]->x = double(day.toJulianDay()) + double(k + 1) / (n + 1);
    }

    // Undated tests: between the dated tests before and after them by test
    // number, evenly; a day apart before the first or after the last.
    data.byTestNumber = days.empty() && !chosen.empty();
    if (data.byTestNumber) {
        for (size_t i = 0; i < chosen.size(); ++i)
            chosen[i].x = double(i);
    } else {
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
                    x = chosen[i - 1].x + double(j + 1);
                } else {
                    x = chosen[end].x - double(run - j);
                }
                chosen[i + j].x = x;
            }
            i = end;
        }
    }
    // Each test its own place, one apart, whatever the days between: tests
    // of one day stay apart, and a year of tests reads as well as a week.
    std::stable_sort(chosen.begin(), chosen.end(), [](const Placed &a, const Placed &b) { return a.x < b.x; });
    for (size_t i = 0; i < chosen.size(); ++i)
        chosen[i].x = double(i);

    // The values.
    ProgressSeries times[maxSets];
    ProgressSeries reps[maxSets];
    data.plannedSetTime.name = QCoreApplication::translate("Progress", "Planned set time");
    data.tutTotal.name = QCoreApplication::translate("Progress", "TUT total");
    data.tutReal.name = QCoreApplication::translate("Progress", "TUT real");
    data.order.reserve(qsizetype(chosen.size()));
    QHash<QString, std::optional<double>> planned;
    for (const Placed &test : chosen) {
        const StoredTest &t = *test.test;
        ProgressTest &shown = data.order.emplace_back();
        shown.x = test.x;
        shown.testnr = test.testnr;
        shown.dateText = t.value(f.date);
        shown.date = test.date;
        int sets = maxSets;
        const auto count = tryTextToInt(t.value(f.sets));
        const bool countKnown = count && *count >= 1 && *count <= maxSets;
        if (countKnown)
            sets = *count;
        bool anyTime = false;
        for (int k = 0; k < sets; ++k) {
            // A set with no real time never ran: its repetitions slot holds
            // "0", which is no result of the athlete's.
            ProgressSet set;
            set.number = k + 1;
            set.realTimeText = t.value(f.realTime[k]);
            if (set.realTimeText.isEmpty()) {
                if (countKnown)
                    shown.sets.append(set);
                continue;
            }
            set.realTime = chartNumber(set.realTimeText);
            set.repetitions = chartNumber(t.value(f.realR[k]));
            shown.sets.append(set);
            if (set.realTime) {
                append(times[k], test, *set.realTime);
                anyTime = true;
            }
            if (set.repetitions)
                append(reps[k], test, *set.repetitions);
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
            shown.plannedSetTime = *known;
            if (*known)
                append(data.plannedSetTime, test, **known);
        }
        shown.tutTotal = chartNumber(t.value(f.tutTotal));
        if (shown.tutTotal)
            append(data.tutTotal, test, *shown.tutTotal);
        shown.tutReal = chartNumber(t.value(f.tutReal));
        if (shown.tutReal)
            append(data.tutReal, test, *shown.tutReal);
    }
    for (int k = 0; k < maxSets; ++k) {
        if (!times[k].points.isEmpty()) {
            times[k].name = setName(k + 1);
            sortByX(times[k]);
            data.setTimes.append(std::move(times[k]));
        }
        if (!reps[k].points.isEmpty()) {
            reps[k].name = setName(k + 1);
            sortByX(reps[k]);
            data.repetitions.append(std::move(reps[k]));
        }
    }
    sortByX(data.plannedSetTime);
    sortByX(data.tutTotal);
    sortByX(data.tutReal);
    return data;
}

QList<ProgressAxisLabel> progressAxisLabels(const ProgressData &data, int most)
{
    // The days (or undated tests) as runs of neighbouring tests.
    struct Run {
        qsizetype from, to;
    };
    std::vector<Run> runs;
    const QList<ProgressTest> &order = data.order;
    for (qsizetype i = 0; i < order.size(); ++i) {
        const bool sameDay = i > 0 && order.at(i).date && order.at(i).date == order.at(i - 1).date;
        if (sameDay)
            runs.back().to = i;
        else
            runs.push_back({i, i});
    }
    const size_t step = most > 0 ? std::max<size_t>(1, (runs.size() + size_t(most) - 1) / size_t(most)) : 1;
    QList<ProgressAxisLabel> labels;
    QSet<QString> used;
    for (size_t r = 0; r < runs.size(); r += step) {
        const ProgressTest &first = order.at(runs[r].from);
        const ProgressTest &last = order.at(runs[r].to);
        QString text;
        if (first.date)
            text = first.date->toString(QStringLiteral("dd.MM.yyyy")) + u'\n';
        const qsizetype count = runs[r].to - runs[r].from + 1;
        if (count == 1)
            text += QCoreApplication::translate("Progress", "Test %1").arg(first.testnr);
        else if (last.testnr - first.testnr == count - 1)
            text += QCoreApplication::translate("Progress", "Tests %1–%2").arg(first.testnr).arg(last.testnr);
        else
            text += QCoreApplication::translate("Progress", "%1 tests").arg(count);
        // The axis knows its labels by their texts.
        if (used.contains(text))
            continue;
        used.insert(text);
        labels.append({(first.x + last.x) / 2, text});
    }
    return labels;
}

QString progressTestText(const ProgressTest &test)
{
    QStringList lines;
    lines << QCoreApplication::translate("Progress", "Test %1").arg(test.testnr);
    if (test.date)
        lines << test.dateText.trimmed();
    else if (test.dateText.trimmed().isEmpty())
        lines << QCoreApplication::translate("Progress", "No date; placed by test number");
    else
        lines << QCoreApplication::translate("Progress", "Date \"%1\" not readable; placed by test number")
                     .arg(test.dateText);
    for (qsizetype k = 0; k < test.sets.size(); ++k) {
        const ProgressSet &set = test.sets.at(k);
        QString line = setName(set.number) + QStringLiteral(": ");
        if (set.realTimeText.isEmpty()) {
            line += QCoreApplication::translate("Progress", "not run");
        } else {
            line += set.realTime ? seconds(*set.realTime)
                                 : QCoreApplication::translate("Progress", "\"%1\" not readable").arg(set.realTimeText);
            if (test.plannedSetTime)
                line += QCoreApplication::translate("Progress", " of %1").arg(seconds(*test.plannedSetTime));
            if (set.repetitions)
                line += QCoreApplication::translate("Progress", ", %1 repetitions").arg(floatToText(*set.repetitions));
        }
        lines << line;
    }
    if (test.tutTotal)
        lines << QCoreApplication::translate("Progress", "TUT total: %1").arg(seconds(*test.tutTotal));
    if (test.tutReal)
        lines << QCoreApplication::translate("Progress", "TUT real: %1").arg(seconds(*test.tutReal));
    return lines.join(u'\n');
}

QList<StoredTest> leaveOutInvalidTests(QList<StoredTest> &tests, const QHash<qint64, store::TestNote> &notes)
{
    QList<StoredTest> invalid;
    if (notes.isEmpty())
        return invalid;
    QList<StoredTest> valid;
    for (StoredTest &test : tests) {
        const auto note = notes.constFind(test.value(0).toLongLong());
        if (note != notes.cend() && !note->valid)
            invalid << std::move(test);
        else
            valid << std::move(test);
    }
    tests = std::move(valid);
    return invalid;
}

} // namespace data
