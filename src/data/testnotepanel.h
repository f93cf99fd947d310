#pragma once

#include "store/testnotes.h"

#include <QGroupBox>

class QCheckBox;
class QLineEdit;

namespace data {

// The note, validity and tester of the test current in the test grid,
// edited in place; a change is handed on when a field is left or the box
// is toggled.
class TestNotePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit TestNotePanel(QWidget *parent = nullptr);

    // Shows the note of test `testnr`; a negative number (no stored test
    // current) empties and disables the panel.
    void showNote(qint64 testnr, const store::TestNote &note);
    qint64 testnr() const { return m_testnr; }
    // The note as edited.
    store::TestNote note() const;
    bool isChanged() const { return m_testnr >= 0 && note() != m_shown; }
    // The note as edited is the stored one now.
    void markStored() { m_shown = note(); }

    QLineEdit *text() const { return m_text; }
    QCheckBox *valid() const { return m_valid; }
    QLineEdit *tester() const { return m_tester; }

signals:
    void edited();

private:
    QLineEdit *m_text = nullptr;
    QCheckBox *m_valid = nullptr;
    QLineEdit *m_tester = nullptr;
    qint64 m_testnr = -1;
    store::TestNote m_shown;
    bool m_filling = false;
};

} // namespace data
