#include "model/testreport.h"

#include "model/records.h"
#include "model/testdate.h"

#include "core/numbertext.h"
#include "store/layout.h"

#include <QCoreApplication>

#include <cmath>

namespace report {
namespace {

QString field(const data::StoredTest &record, const QString &name)
{
    return record.value(store::testTableLayout().indexOf(name));
}

QString field(const data::StoredTest &record, const char *name)
{
    return field(record, QString::fromLatin1(name));
}

bool isEmptyText(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

QLocale programLocale()
{
    //: The language whose number forms the report uses: "en" or "de".
    return QLocale(QCoreApplication::translate("TestReport", "en"));
}

QString numberText(double value, const QLocale &locale)
{
    QString text = floatToText(value);
    text.replace(u',', locale.decimalPoint());
    text.replace(u'-', locale.negativeSign());
    return text;
}

QString shownValue(const QString &stored, const QLocale &locale)
{
    const QString text = stored.trimmed();
    if (text.isEmpty())
        return dash();
    if (const std::optional<double> number = data::chartNumber(text))
        return numberText(*number, locale);
    return text;
}

TestReport makeTestReport(const data::StoredTest &record, const QList<data::StoredTest> &athleteTests, bool saved,
                          const QLocale &locale)
{
    TestReport r;
    r.saved = saved;
    r.locale = locale;
    const auto shownValue = [&](const QString &stored) { return report::shownValue(stored, locale); };
    r.testnr = saved ? field(record, "Testnr").toLongLong() : 0;
    // One date form on the page, whatever form the station stored.
    const QString storedDate = field(record, "Date").trimmed();
    if (storedDate.isEmpty())
        r.date = dash();
    else if (const std::optional<QDate> date = data::readTestDate(storedDate))
        r.date = data::testDateText(*date);
    else
        r.date = storedDate;
    // Names and the exercise are texts even when they look like numbers.
    const auto text = [&](const char *name) {
        const QString value = field(record, name).trimmed();
        return value.isEmpty() ? dash() : value;
    };
    r.name = text("Name");
    r.surname = text("Surname");
    r.surnameAsStored = field(record, "Surname").trimmed();
    r.exercise = text("Exercise");
    r.bodyweight = shownValue(field(record, "Bodyweight"));
    r.height = shownValue(field(record, "Height"));
    r.load = shownValue(field(record, "Load"));
    r.startRest = shownValue(field(record, "StartRest"));
    r.froPhase = shownValue(field(record, "FroPhase"));
    r.restAfterFro = shownValue(field(record, "RestafterFro"));
    r.toPhase = shownValue(field(record, "ToPhase"));
    r.restAfterTo = shownValue(field(record, "RestafterTo"));
    r.repetitions = shownValue(field(record, "Rep"));
    r.sets = shownValue(field(record, "Sets"));
    r.restSets = shownValue(field(record, "RestSets"));
    r.tutTotal = shownValue(field(record, "TUTTotal"));
    r.tutReal = shownValue(field(record, "TUTReal"));

    // The sets.
    const std::optional<QString> plannedText = data::plannedSetTimeText(record);
    const std::optional<double> planned = plannedText ? data::chartNumber(*plannedText) : std::nullopt;
    const auto realTimeOf = [&](int k) { return field(record, QStringLiteral("RealTime%1").arg(k)); };
    const auto repetitionsOf = [&](int k) { return field(record, QStringLiteral("RealR%1").arg(k)); };
    const auto ran = [&](int k) {
        const QString reps = repetitionsOf(k).trimmed();
        return !isEmptyText(realTimeOf(k)) || !(reps.isEmpty() || reps == QLatin1String("0"));
    };
    int count = 0;
    if (const std::optional<int> sets = setNumberOf(field(record, "Sets").trimmed())) {
        count = *sets;
    } else {
        for (int k = 1; k <= 20; ++k) {
            if (ran(k))
                count = k;
        }
    }
    for (int k = 1; k <= count; ++k) {
        SetLine line;
        line.set = k;
        line.planned = plannedText ? shownValue(*plannedText) : dash();
        if (!ran(k)) {
            line.outcome = SetLine::Outcome::NotRun;
            line.realTime = dash();
            line.repetitions = dash();
        } else {
            line.realTime = shownValue(realTimeOf(k));
            line.repetitions = shownValue(repetitionsOf(k));
            const std::optional<double> real = data::chartNumber(realTimeOf(k).trimmed());
            // A set that ran to its end was stored with the planned time.
            if (real && planned && std::abs(*real - *planned) > 0.0005)
                line.outcome = SetLine::Outcome::Cancelled;
        }
        r.setLines << line;
    }

    // The progress series, this test included.  An unsaved test is placed
    // after every stored test of the athlete by a number above theirs.
    QList<data::StoredTest> tests = athleteTests;
    r.seriesTestnr = r.testnr;
    if (!saved) {
        const int key = store::testTableLayout().indexOf(QStringLiteral("Testnr"));
        qint64 last = 0;
        for (const data::StoredTest &test : tests)
            last = std::max(last, test.value(key).toLongLong());
        data::StoredTest unsaved = record;
        unsaved[key] = QString::number(last + 1);
        tests << unsaved;
        r.seriesTestnr = last + 1;
    }
    r.progress = data::progressSeries(tests, field(record, "Name"), field(record, "Surname"), field(record, "Exercise"));
    return r;
}

QString reportFileName(const TestReport &report)
{
    QString surname = report.surnameAsStored;
    for (QChar &c : surname) {
        if (c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    QString name = QStringLiteral("Korvane-");
    name += report.saved ? QString::number(report.testnr) : QStringLiteral("unsaved");
    if (!surname.isEmpty())
        name += u'-' + surname;
    return name + QStringLiteral(".pdf");
}

} // namespace report
