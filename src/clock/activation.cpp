// Creation, activation, the bar display switch and "Close".

#include "clock/display.h"
#include "model/clockface.h"
#include "model/testdate.h"
#include "clock/piegauge.h"
#include "clock/tform1.h"
#include "core/wallclock.h"
#include "platform/guard.h"
#include "platform/messages.h"

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

void TForm1::FormCreate()
{
    // The bars are looked up by name: bar 1 the Fro-Phase bar, bar 2 the To-Phase bar.
    for (int k = 1; k <= 2; ++k) {
        auto *bar = findChild<QWidget *>(QStringLiteral("Shape%1").arg(k));
        (k == 1 ? Shape1 : Shape2) = bar;
        setBarHeight(bar, 0, 0);
    }
}

void TForm1::FormActivate()
{
    // The activation clears the result rows: results not yet saved are
    // asked about first, and Cancel keeps them, on show as Save Data and
    // "Report..." would take them (a "Close" before had hidden their rows).
    if (!settleUnsavedResults()) {
        showKeptResults();
        return;
    }
    // A set in progress is broken off before the reset zeroes its clock; the
    // row it records goes with the others below.
    m_procedure.stop();
    // Behind the save's own message the results stay on hand until stored.
    if (!m_saving)
        m_outcomes.clear();
    setWindowState(windowState() | Qt::WindowMaximized);
    m_procedure.reset();
    BitBtn3->hide();
    sStart->show();
    BitBtn5->show();
    BitBtn2->show();
    for (int k = 0; k < 20; ++k) {
        display::setText(plannedSlots[k], QStringLiteral("0"));
        display::setText(repetitionSlots[k], QStringLiteral("0"));
        display::setText(realSlots[k], QString());
    }
    m_procedure.stop();
    ResetSetRowColours();
    // The stored form, whatever the locale: every station reads it.
    display::setText(Edit37, data::testDateText(platform::wallClock().today()));
    drawClockFace();
}

void TForm1::drawClockFace()
{
    const int w = gClock->width();
    const int h = gClock->height();
    QPixmap face(w, h);
    // White is the face's transparent colour: only the black lines show.
    face.fill(Qt::transparent);
    QPainter painter(&face);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    // The corners name the pixels just outside the right and bottom edges,
    // and Qt's stroke adds one pixel: hence the one pixel less.
    painter.drawRect(QRect(QPoint(1, 1), QPoint(w - 3, h - 3)));
    for (const QRect &mark : clockFaceMarks(w, h))
        painter.drawEllipse(mark.adjusted(0, 0, -2, -2));
    painter.end();
    ImageClock->setGeometry(0, 0, w, h);
    ImageClock->setPixmap(face);
}

void TForm1::BalkenanzeigeClick()
{
    const bool bars = Balkenanzeige->isChecked();
    pnClock1->setVisible(bars);
    pnClock2->setVisible(bars);
    if (bars)
        m_procedure.hideMarkers();
}

void TForm1::BitBtn1Click()
{
    if (!settleRunningTest())
        return;
    // The counter panels read 0 and the set buttons go; the procedure counts on.
    display::setText(pnSerie, QStringLiteral("0"));
    display::setText(pnBNr, QStringLiteral("0"));
    for (QToolButton *button : setButtons)
        button->hide();
    m_procedure.clearCounterPanels();
    ClearSetRows();
    ResetSetRowColours();
    // Hidden, not destroyed.
    m_closeSettled = true;
    reject();
    m_closeSettled = false;
}

QString TForm1::unsavedQuestion() const
{
    const QString athlete = (Edit39->text().trimmed() + u' ' + Edit40->text().trimmed()).trimmed();
    return tr("The results of the test of %1 started at %2 are not saved. Save them?")
        .arg(athlete.isEmpty() ? tr("an unnamed athlete") : athlete,
             m_outcomes.startTime().toString(QStringLiteral("HH:mm:ss")));
}

bool TForm1::settleUnsavedResults()
{
    // The save's own activation (behind its message) must not ask again.
    if (m_saving)
        return true;
    std::optional<double> running;
    if (const std::optional<CancelledSet> set = m_procedure.setInProgress())
        running = set->realSeconds;
    if (!m_outcomes.hasUnsavedResults(running))
        return true;
    // This box's closing runs no activation, so the question cannot come back
    // by itself.  While it is open the test stands, so that the answer
    // settles the results the question named and no later ones.
    const ProcedureState &s = m_procedure.state();
    const bool held = s.Running || s.Resting;
    m_procedure.hold();
    const platform::SaveAnswer answer = platform::messageBoxes().askToSave(this, unsavedQuestion(), true);
    if (answer == platform::SaveAnswer::Cancel) {
        m_procedure.release();
        return false;
    }
    // Save and Discard end the test as the stop does.
    if (held)
        m_procedure.stop();
    if (answer == platform::SaveAnswer::Discard) {
        m_outcomes.clear();
        m_testSave.forget();
        return true;
    }
    return platform::runGuarded(this, [this] { saveTest(); });
}

bool TForm1::settleBeforeClosing()
{
    return settleRunningTest() && settleUnsavedResults();
}

bool TForm1::settleRunningTest()
{
    const ProcedureState &s = m_procedure.state();
    if (!s.Running && !s.Resting && !s.OnBreak)
        return true;
    if (!settleUnsavedResults())
        return false;
    // Discard, or nothing worth keeping: the test ends with the window instead
    // of running on hidden.
    m_procedure.stop();
    m_outcomes.clear();
    return true;
}
