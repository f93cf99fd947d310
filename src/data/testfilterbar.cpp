#include "data/testfilterbar.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QScopedValueRollback>

namespace data {
namespace {

constexpr int NameRole = Qt::UserRole;
constexpr int SurnameRole = Qt::UserRole + 1;

QDateEdit *dateEdit(QWidget *parent, const char *name)
{
    auto *edit = new QDateEdit(QDate::currentDate(), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setEnabled(false);
    return edit;
}

} // namespace

TestFilterBar::TestFilterBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TestFilterBar"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(tr("Athlete:"), this));
    m_athletes = new QComboBox(this);
    m_athletes->setObjectName(QStringLiteral("FilterAthlete"));
    m_athletes->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    row->addWidget(m_athletes);
    row->addWidget(new QLabel(tr("Exercise:"), this));
    m_exercises = new QComboBox(this);
    m_exercises->setObjectName(QStringLiteral("FilterExercise"));
    m_exercises->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    row->addWidget(m_exercises);
    m_fromBox = new QCheckBox(tr("From"), this);
    m_fromBox->setObjectName(QStringLiteral("FilterFromBox"));
    m_from = dateEdit(this, "FilterFrom");
    m_toBox = new QCheckBox(tr("to"), this);
    m_toBox->setObjectName(QStringLiteral("FilterToBox"));
    m_to = dateEdit(this, "FilterTo");
    row->addWidget(m_fromBox);
    row->addWidget(m_from);
    row->addWidget(m_toBox);
    row->addWidget(m_to);
    row->addStretch();
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("FilterCount"));
    row->addWidget(m_count);

    setChoices({});
    const auto changed = [this] {
        if (!m_filling)
            emit filterChanged();
    };
    connect(m_athletes, &QComboBox::currentIndexChanged, this, changed);
    connect(m_exercises, &QComboBox::currentIndexChanged, this, changed);
    connect(m_fromBox, &QCheckBox::toggled, m_from, &QWidget::setEnabled);
    connect(m_toBox, &QCheckBox::toggled, m_to, &QWidget::setEnabled);
    connect(m_fromBox, &QCheckBox::toggled, this, changed);
    connect(m_toBox, &QCheckBox::toggled, this, changed);
    connect(m_from, &QDateEdit::dateChanged, this, [this, changed] {
        if (m_fromBox->isChecked())
            changed();
    });
    connect(m_to, &QDateEdit::dateChanged, this, [this, changed] {
        if (m_toBox->isChecked())
            changed();
    });
}

void TestFilterBar::setChoices(const FilterChoices &choices)
{
    const QScopedValueRollback filling(m_filling, true);
    const TestFilter before = filter();

    m_athletes->clear();
    m_athletes->addItem(tr("All athletes"));
    for (const auto &[name, surname] : choices.athletes) {
        const QString shown = surname.isEmpty() ? name : name.isEmpty() ? surname : surname + QStringLiteral(", ") + name;
        m_athletes->addItem(shown.isEmpty() ? tr("(no name)") : shown);
        const int at = m_athletes->count() - 1;
        m_athletes->setItemData(at, name, NameRole);
        m_athletes->setItemData(at, surname, SurnameRole);
        if (!before.anyAthlete && before.name == name && before.surname == surname)
            m_athletes->setCurrentIndex(at);
    }
    m_exercises->clear();
    m_exercises->addItem(tr("All exercises"));
    for (const QString &exercise : choices.exercises) {
        m_exercises->addItem(exercise, exercise);
        if (exercise == before.exercise)
            m_exercises->setCurrentIndex(m_exercises->count() - 1);
    }
}

TestFilter TestFilterBar::filter() const
{
    TestFilter filter;
    const int athlete = m_athletes->currentIndex();
    if (athlete > 0) {
        filter.anyAthlete = false;
        filter.name = m_athletes->itemData(athlete, NameRole).toString();
        filter.surname = m_athletes->itemData(athlete, SurnameRole).toString();
    }
    if (m_exercises->currentIndex() > 0)
        filter.exercise = m_exercises->currentData().toString();
    if (m_fromBox->isChecked())
        filter.from = m_from->date();
    if (m_toBox->isChecked())
        filter.to = m_to->date();
    return filter;
}

void TestFilterBar::setShownCount(qint64 shown, qint64 stored)
{
    if (filter().isEmpty())
        m_count->setText(stored == 1 ? tr("1 test") : tr("%1 tests").arg(stored));
    else
        m_count->setText(tr("%1 of %2 tests shown").arg(shown).arg(stored));
}

} // namespace data
