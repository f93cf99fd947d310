// The clock window's side of the test procedure: its handlers forward to the
// procedure, it answers the procedure's questions, and it draws what the
// procedure reports.

#include "clock/display.h"
#include "clock/palette.h"
#include "clock/piegauge.h"
#include "clock/tform1.h"
#include "core/wallclock.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

namespace {
constexpr int kTickMs = 100;
constexpr int kIdleTickMs = 1000;
} // namespace

void TForm1::sStartClick()
{
    guarded([this] {
        // A new test would put the results of the last one out of reach.
        const ProcedureState &s = m_procedure.state();
        if (!s.Running && !s.Resting && !s.OnBreak && !settleUnsavedResults())
            return;
        m_procedure.start();
    });
}

void TForm1::Timer1Timer()
{
    guarded([this] { m_procedure.tick(); });
}

void TForm1::sStopClick()
{
    guarded([this] { m_procedure.stop(); });
}

void TForm1::SpeedButton1Click()
{
    guarded([this] { m_procedure.breakOrResume(); });
}

void TForm1::installProcedureKeys(QWidget *window)
{
    // Each key acts only where its button would: a hidden or disabled
    // button leaves its key without effect.
    const struct {
        Qt::Key key;
        QAbstractButton *button;
        void (TForm1::*handler)();
    } keys[] = {
        {Qt::Key_F5, sStart, &TForm1::sStartClick},
        {Qt::Key_F6, sStop, &TForm1::sStopClick},
        {Qt::Key_F7, SpeedButton1, &TForm1::SpeedButton1Click},
        {Qt::Key_F8, Button1, &TForm1::Button1Click},
    };
    for (const auto &k : keys) {
        auto *shortcut = new QShortcut(QKeySequence(k.key), window);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        QAbstractButton *button = k.button;
        const auto handler = k.handler;
        connect(shortcut, &QShortcut::activated, this, [this, button, handler] {
            if (button->isVisibleTo(this) && button->isEnabled())
                (this->*handler)();
        });
    }
}

// The procedure's host -------------------------------------------------------

SettingsTexts TForm1::settingsTexts() const
{
    return {StartHalte->text(), Abwaerts->text(),  HalteUnten->text(), Aufwaerts->text(),
            HalteOben->text(),  Wiederholungen->text(), Serien->text(), Pause->text()};
}

CueSwitches TForm1::cueSwitches() const
{
    return {Tonab->isChecked(), EndeTo->isChecked(), Tonauf->isChecked(), EndeFro->isChecked(),
            CheckBox1->isChecked()};
}

StartFields TForm1::startFields() const
{
    return {!Edit39->text().isEmpty(), !Edit47->text().isEmpty(), !Edit51->text().isEmpty()};
}

void TForm1::startAccepted()
{
    ListBox1->hide();
    ListBox2->hide();
    BitBtn3->hide();
}

void TForm1::prepareStore()
{
    openTestTable();
}

void TForm1::setStarted()
{
    // The first set of a test: from here on its results are on hand, and
    // none of an earlier test's rows stays to be stored with them.
    if (m_procedure.state().CurrentSet == 1) {
        m_outcomes.begin(QTime::fromMSecsSinceStartOfDay(platform::wallClock().timeOfDayMs()));
        m_testSave.forget();
        for (int set = 1; set <= 20; ++set)
            clearResultRow(set);
    }
    BitBtn3->show();
    Button1->show();
    sStart->hide();
    ShowSetRows();
    ResetSetRowColours();
    // A set begins, by a button or at the end of a rest: the screen stays on
    // until the test stops.
    if (!m_closed)
        holdScreen(true);
}

void TForm1::stopped()
{
    BitBtn1->show();
    sStart->show();
    holdScreen(false);
}

// Drawing --------------------------------------------------------------------

void TForm1::render(const ProcedureDisplay &d)
{
    // Every control below is written by the procedure alone, so comparing
    // with what was drawn last is comparing with what the control shows.
    const ProcedureDisplay *last = m_rendered ? &*m_rendered : nullptr;
    const auto changed = [last, &d](auto member) { return !last || last->*member != d.*member; };

    if (changed(&ProcedureDisplay::phase))
        display::setText(pnAbschnitt, shownProcedureText(d.phase));
    if (changed(&ProcedureDisplay::countdown))
        display::setText(pClockB, shownProcedureText(d.countdown));
    if (changed(&ProcedureDisplay::panel)) {
        display::setColour(pnAbschnitt, palette::panelColour(d.panel));
        display::setColour(pClockB, palette::panelColour(d.panel));
    }
    if (changed(&ProcedureDisplay::setClock))
        display::setText(pClock, d.setClock);
    gClock->setMaxValue(d.gaugeMax);
    gClock->setProgress(d.gaugeProgress);
    if (changed(&ProcedureDisplay::froBar)) {
        // The Fro-Phase bar hangs from the top of its panel.
        setBarHeight(Shape1, 0, barHeight(d.froBar, pnClock1->height() - 2));
    }
    if (changed(&ProcedureDisplay::toBar)) {
        // The To-Phase bar stands on the bottom of its panel.
        const int full = pnClock2->height() - 2;
        const int height = barHeight(d.toBar, full);
        setBarHeight(Shape2, full - height, height);
    }
    if (changed(&ProcedureDisplay::markers)) {
        display::setShown(Shape3, d.markers & FroMarkers);
        display::setShown(Image1, d.markers & FroMarkers);
        display::setShown(Shape4, d.markers & ToMarkers);
        display::setShown(Image2, d.markers & ToMarkers);
        display::setShown(Shape5, d.markers & RestAfterFroMarker);
        display::setShown(Shape6, d.markers & RestAfterToMarker);
    }
    if (changed(&ProcedureDisplay::set))
        display::setText(Label69, QString::number(d.set));
    if (changed(&ProcedureDisplay::setPanel))
        display::setText(pnSerie, QString::number(d.setPanel));
    if (changed(&ProcedureDisplay::repetition))
        display::setText(Label68, QString::number(d.repetition));
    if (changed(&ProcedureDisplay::repetitionPanel))
        display::setText(pnBNr, QString::number(d.repetitionPanel));
    if (changed(&ProcedureDisplay::setButtons)) {
        for (int i = 0; i < 20; ++i)
            display::setShown(setButtons[i], i < d.setButtons);
    }
    m_rendered = d;

    // With no set and no rest running a tick has nothing to do, so the clock
    // then wakes once a second instead of ten times; a set start or resume
    // brings it back to 100 ms at once.  A stopped timer stays stopped.
    const int interval = d.running || d.resting ? kTickMs : kIdleTickMs;
    if (Timer1->interval() != interval)
        Timer1->setInterval(interval);
}

void TForm1::setBarHeight(QWidget *bar, int top, int height)
{
    // Bars sit inside the 1-pixel lowered border of their panel.
    const QRect wanted(1, 1 + top, bar->parentWidget()->width() - 2, height);
    if (bar->geometry() != wanted)
        bar->setGeometry(wanted);
}
