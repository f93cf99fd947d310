#pragma once

// Which stored tests a view or an export takes: one athlete, one exercise,
// a range of dates, or any combination; an empty filter takes every test.

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QHash>
#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace data {

struct TestFilter {
    // The athlete by name and surname as stored (blanks around them aside);
    // both empty: every athlete.
    QString name;
    QString surname;
    bool anyAthlete = true;
    // The exercise as stored (blanks around it aside); empty: every exercise.
    QString exercise;
    // The first and last day taken, each optional.  With either set, a test
    // whose date cannot be read is left out.
    std::optional<QDate> from;
    std::optional<QDate> to;

    bool isEmpty() const { return anyAthlete && exercise.isEmpty() && !from && !to; }
    bool needsDate() const { return from || to; }
    // Whether a test of that date is in the range (any date, none included,
    // when no range is set).
    bool acceptsDate(const std::optional<QDate> &testDate) const;
    bool accepts(QStringView testName, QStringView testSurname, QStringView testExercise,
                 const std::optional<QDate> &testDate) const;
};

// The filter applied to stored tests as the exports read them: fields as
// UTF-8 bytes, each date text read once.
class TestRowFilter {
public:
    explicit TestRowFilter(const TestFilter &filter);
    bool takesAll() const { return m_filter.isEmpty(); }
    bool accepts(QByteArrayView name, QByteArrayView surname, QByteArrayView exercise, QByteArrayView date);
    // The date of a test as the filter reads it; nothing when unreadable.
    std::optional<QDate> date(QByteArrayView text);

private:
    TestFilter m_filter;
    QByteArray m_name;
    QByteArray m_surname;
    QByteArray m_exercise;
    QHash<QByteArray, std::optional<QDate>> m_dates;
};

// The numbers of the stored tests the filter takes, ascending.  A failed
// read throws core::Failure.
QList<qint64> filteredTestNumbers(const QSqlDatabase &db, const TestFilter &filter);

// What the filter's lists offer: the athletes (name and surname) and the
// exercises of the stored tests, each once, blanks around them taken off,
// sorted.
struct FilterChoices {
    QList<QPair<QString, QString>> athletes;
    QStringList exercises;
};
FilterChoices filterChoices(const QSqlDatabase &db);

} // namespace data
