#pragma once

#include "model/testfilter.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;

namespace data {

// The filter above the test grid: athlete, exercise and a range of dates,
// with the number of tests shown.
class TestFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit TestFilterBar(QWidget *parent = nullptr);

    // The athletes and exercises offered; what was chosen stays chosen while
    // it is offered.
    void setChoices(const FilterChoices &choices);
    TestFilter filter() const;
    void setShownCount(qint64 shown, qint64 stored);

    QComboBox *athletes() const { return m_athletes; }
    QComboBox *exercises() const { return m_exercises; }
    QCheckBox *fromBox() const { return m_fromBox; }
    QDateEdit *from() const { return m_from; }
    QCheckBox *toBox() const { return m_toBox; }
    QDateEdit *to() const { return m_to; }
    QLabel *count() const { return m_count; }

signals:
    void filterChanged();

private:
    QComboBox *m_athletes = nullptr;
    QComboBox *m_exercises = nullptr;
    QCheckBox *m_fromBox = nullptr;
    QDateEdit *m_from = nullptr;
    QCheckBox *m_toBox = nullptr;
    QDateEdit *m_to = nullptr;
    QLabel *m_count = nullptr;
    bool m_filling = false;
};

} // namespace data
