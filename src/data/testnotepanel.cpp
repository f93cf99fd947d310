#include "data/testnotepanel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace data {

TestNotePanel::TestNotePanel(QWidget *parent)
    : QGroupBox(tr("Note on the test"), parent)
{
    setObjectName(QStringLiteral("TestNotePanel"));
    auto *form = new QFormLayout(this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("NoteText"));
    m_text->setPlaceholderText(tr("Conditions, RPE, ..."));
    m_valid = new QCheckBox(tr("Valid attempt"), this);
    m_valid->setObjectName(QStringLiteral("NoteValid"));
    m_tester = new QLineEdit(this);
    m_tester->setObjectName(QStringLiteral("NoteTester"));
    form->addRow(tr("Note:"), m_text);
    form->addRow(QString(), m_valid);
    form->addRow(tr("Tester:"), m_tester);
    const auto left = [this] {
        if (!m_filling && isChanged())
            emit edited();
    };
    connect(m_text, &QLineEdit::editingFinished, this, left);
    connect(m_tester, &QLineEdit::editingFinished, this, left);
    connect(m_valid, &QCheckBox::toggled, this, left);
    showNote(-1, {});
}

void TestNotePanel::showNote(qint64 testnr, const store::TestNote &note)
{
    const QScopedValueRollback filling(m_filling, true);
    m_testnr = testnr;
    m_shown = note;
    m_text->setText(note.text);
    m_valid->setChecked(note.valid);
    m_tester->setText(note.tester);
    setEnabled(testnr >= 0);
    setTitle(testnr >= 0 ? tr("Note on test %1").arg(testnr) : tr("Note on the test"));
}

store::TestNote TestNotePanel::note() const
{
    return {m_text->text().trimmed(), m_valid->isChecked(), m_tester->text().trimmed()};
}

} // namespace data
