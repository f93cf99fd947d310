#include "model/testfilter.h"

#include "core/errors.h"
#include "model/testdate.h"
#include "store/layout.h"
#include "store/sqlitefile.h"
#include "store/testrows.h"

#include <QCoreApplication>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace data {

bool TestFilter::accepts(QStringView testName, QStringView testSurname, QStringView testExercise,
                         const std::optional<QDate> &testDate) const
{
    if (!anyAthlete && (testName.trimmed() != QStringView(name).trimmed()
                        || testSurname.trimmed() != QStringView(surname).trimmed()))
        return false;
    if (!exercise.isEmpty() && testExercise.trimmed() != QStringView(exercise).trimmed())
        return false;
    return acceptsDate(testDate);
}

bool TestFilter::acceptsDate(const std::optional<QDate> &testDate) const
{
    if (!needsDate())
        return true;
    if (!testDate)
        return false;
    return !(from && *testDate < *from) && !(to && *testDate > *to);
}

namespace {

bool isBlankByte(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

QByteArrayView trimmed(QByteArrayView bytes)
{
    qsizetype b = 0;
    qsizetype e = bytes.size();
    while (b < e && isBlankByte(bytes[b]))
        ++b;
    while (e > b && isBlankByte(bytes[e - 1]))
        --e;
    return bytes.sliced(b, e - b);
}

} // namespace

TestRowFilter::TestRowFilter(const TestFilter &filter)
    : m_filter(filter)
    , m_name(filter.name.trimmed().toUtf8())
    , m_surname(filter.surname.trimmed().toUtf8())
    , m_exercise(filter.exercise.trimmed().toUtf8())
{
}

std::optional<QDate> TestRowFilter::date(QByteArrayView text)
{
    if (trimmed(text).isEmpty())
        return std::nullopt;
    const QByteArray key = text.toByteArray();
    auto known = m_dates.constFind(key);
    if (known == m_dates.cend())
        known = m_dates.insert(key, readTestDate(QString::fromUtf8(text)));
    return *known;
}

bool TestRowFilter::accepts(QByteArrayView name, QByteArrayView surname, QByteArrayView exercise, QByteArrayView dateText)
{
    if (!m_filter.anyAthlete && (trimmed(name) != QByteArrayView(m_name) || trimmed(surname) != QByteArrayView(m_surname)))
        return false;
    if (!m_exercise.isEmpty() && trimmed(exercise) != QByteArrayView(m_exercise))
        return false;
    return !m_filter.needsDate() || m_filter.acceptsDate(date(dateText));
}

namespace {

[[noreturn]] void failRead(const QString &reason)
{
    throw core::Failure(core::Failure::Kind::ReadFailed, QString(),
                        QCoreApplication::translate("Export", "The stored tests could not be read: %1").arg(reason));
}

} // namespace

QList<qint64> filteredTestNumbers(const QSqlDatabase &db, const TestFilter &filter)
{
    const store::Layout &layout = store::testTableLayout();
    const int name = layout.indexOf(QStringLiteral("Name"));
    const int surname = layout.indexOf(QStringLiteral("Surname"));
    const int exercise = layout.indexOf(QStringLiteral("Exercise"));
    const int date = layout.indexOf(QStringLiteral("Date"));
    TestRowFilter wanted(filter);
    store::TestRows rows(db, [](const QString &reason) { failRead(reason); });
    QList<qint64> numbers;
    while (rows.next()) {
        if (wanted.accepts(rows.field(name), rows.field(surname), rows.field(exercise), rows.field(date)))
            numbers << rows.field(0).toByteArray().toLongLong();
    }
    return numbers;
}

FilterChoices filterChoices(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT DISTINCT \"Name\", \"Surname\", \"Exercise\" FROM \"TestTable\"")))
        failRead(store::errorText(query.lastError()));
    QSet<QPair<QString, QString>> athletes;
    QSet<QString> exercises;
    while (query.next()) {
        athletes.insert({query.value(0).toString().trimmed(), query.value(1).toString().trimmed()});
        const QString exercise = query.value(2).toString().trimmed();
        if (!exercise.isEmpty())
            exercises.insert(exercise);
    }
    if (query.lastError().isValid())
        failRead(store::errorText(query.lastError()));
    FilterChoices choices;
    choices.athletes = athletes.values();
    choices.exercises = exercises.values();
    const auto byText = [](const QString &a, const QString &b) { return QString::localeAwareCompare(a, b) < 0; };
    std::sort(choices.athletes.begin(), choices.athletes.end(), [&](const auto &a, const auto &b) {
        return a.second != b.second ? byText(a.second, b.second) : byText(a.first, b.first);
    });
    std::sort(choices.exercises.begin(), choices.exercises.end(), byText);
    return choices;
}

} // namespace data
