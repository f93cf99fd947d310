#pragma once

// The clock window: prepares, runs and stores a test.  This header holds the
// window's controls and the shared state of its parts; each concern lives in
// its own source file (layout, settings, procedure, set rows, activation,
// saving, profiles, athletes).

#include "clock/athletedisplay.h"
#include "clock/spokencues.h"
#include "model/clockprocedure.h"
#include "model/records.h"
#include "model/settings.h"
#include "store/records.h"
#include "store/table.h"

#include <QDialog>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class AthleteView;
class QCheckBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QTimer;
namespace report { class ReportPage; struct TestReport; }
class QToolButton;
class PieGauge;

namespace store { class TrainingTables; }

// A label whose texts come back again and again (a countdown): each text is
// painted once into a picture and copied from there, which costs a fraction
// of laying the text out anew at every tick.  Only an opaque label with
// centred plain text in a font sized in pixels is painted this way; any
// other paints as a QLabel does, and so does this one when its look changes.
class TickedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Everything besides the text that the picture depends on.
    struct Look {
        QSize size;
        qreal ratio = 0;
        qint64 palette = 0;
        QString font;
        int frame = 0;
        bool wordWrap = false;
        bool enabled = false;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        bool operator==(const Look &) const = default;
    };
    bool paintsFromPictures() const;
    Look look() const;
    QImage picture();

    Look m_look;
    QHash<QString, QImage> m_pictures;
};

// A panel or label that reports a click: the left button pressed and
// released on it.  Other buttons and a press dragged off before release are
// no click.
class ClickLabel : public TickedLabel {
    Q_OBJECT
public:
    using TickedLabel::TickedLabel;
signals:
    void clicked();
protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
private:
    bool m_leftPressed = false;
};

// A text field that reports a mouse click.
class ClickLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
signals:
    void clicked();
protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};


class TForm1 : public QDialog, private ProcedureHost {
    Q_OBJECT
public:
    explicit TForm1(store::TrainingTables *tables = nullptr, QWidget *parent = nullptr);
    ~TForm1() override;

    // "Test" in the main window: activates the window and shows it modally.
    void showModal();
    // Before the window goes for good (the data folder changes): a running
    // test and results not saved are asked about as at Close and activation.
    // Returns whether the window may go.
    bool settleBeforeClosing();

    const ProcedureState &procedure() const { return m_procedure.state(); }
    const ClockTiming &timing() const { return m_procedure.timing(); }
    // The test procedure this window shows; a further view subscribes to its
    // displayChanged() and cueDue() signals.
    ClockProcedure &clockProcedure() { return m_procedure; }

    // F5 start, F6 stop, F7 break/resume, F8 Cancel while `window` is the
    // active window, whatever has the focus there.  The clock window has
    // them from its creation; a further window of the test gets them here.
    void installProcedureKeys(QWidget *window);

    // The athlete view, once "Athlete view" has opened it; else null.
    AthleteView *athleteView() const { return m_athleteView; }

    // How the sets of the test on hand ended, until it is saved or given up.
    const TestOutcomes &outcomes() const { return m_outcomes; }

signals:
    // "Progress...": the progress window over `testTable` for the athlete in
    // the fields.  Whoever owns both windows shows it.
    void progressRequested(store::Table *testTable, const QString &name, const QString &surname);
    // A record was stored; the text says which ("Test 17 saved").
    void recordStored(const QString &what);

public slots:
    // Settings reset.
    void sResetClick();
    // Test procedure.
    void sStartClick();
    void Timer1Timer();
    void sStopClick();
    void SpeedButton1Click();
    void Button1Click();
    // Window set-up.
    void FormCreate();
    void FormActivate();
    void BalkenanzeigeClick();
    void BitBtn1Click();
    // Saving a test.
    void SpeedButton3Click();
    // Profiles.
    void BitBtn5Click();
    void ListBox1Click();
    void BitBtn2Click();
    void BitBtn6Click();
    void Edit37Click();
    // Athletes.
    void BitBtn4Click();
    void ListBox2Click();
    void BitBtn7Click();
    // The progress window, for the athlete in the fields.
    void ProgressButtonClick();
    // The athlete view and the spoken cues.
    void AthleteViewButtonToggled(bool checked);
    // The report of the test in the window, in a print preview.
    void ReportButtonClick();

public:
    // Set rows.
    void ShowSetRows();
    void ResetSetRowColours();
    void CancelSet();
    void ClearSetRows();

    // The test in the window as the record its save would store, for the
    // report: the sets that ended completed, the others as they stand.
    QStringList reportRecord() const;
    // Its report with the athlete's stored tests of the exercise before it
    // (those marked invalid left out), and the note, tester and validity
    // typed for it.
    report::TestReport unsavedReportContent();
    report::ReportPage unsavedReport();

private:
    void buildLayout();
    void placeOverlays();
    void settleTickedDisplays();
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    void connectAthleteSide();
    void speakCue(const ProcedureCue &cue);
    void holdScreen(bool on);
    bool eventFilter(QObject *watched, QEvent *event) override;
    QWidget *buildLeftColumn();
    QWidget *buildMiddleColumn();
    QWidget *buildPhaseColumn();
    QWidget *buildRightColumn();
    QPushButton *buildReportButton(QWidget *parent);
    void updateReportButton();

    // Shows a plain message; its closing makes the window active again.
    void showMessage(const QString &text) override;
    // Runs a handler body, reporting a failure in a box.
    void guarded(const std::function<void()> &action);

    // The procedure's host: its settings, cue switches and the window's steps.
    SettingsTexts settingsTexts() const override;
    CueSwitches cueSwitches() const override;
    StartFields startFields() const override;
    void startAccepted() override;
    void settingsRead(const SettingsOutcome &outcome) override;
    void prepareStore() override;
    void setStarted() override;
    void stopped() override;
    void setEnded(int set, bool cancelled) override;
    void setBrokenOff(const CancelledSet &broken) override;
    void setNotBegun(int set) override;

    // Writes a set's early end into its row, in the colours of Cancel.
    void writeEndedRow(const CancelledSet &ended);
    // Empties a set's row of results: no real time, 0 repetitions, plain.
    void clearResultRow(int set);
    // Shows the rows of the results on hand again: the planned times, and
    // the sets that ended early in Cancel's colours.
    void showKeptResults();
    // Asked before results that were not saved would be cleared.  Returns
    // whether the caller may go on: nothing to lose, Discard, or a save that
    // succeeded; false on Cancel or a failed save.
    bool settleUnsavedResults();
    // Closing while a test runs: asks as above, then stops the test.
    bool settleRunningTest();
    QString unsavedQuestion() const;
    AthleteExtras athleteExtras() const;

    // Draws what the procedure reports, writing only what changed.
    void render(const ProcedureDisplay &display);
    // Frames a settings field in red, with a tooltip, when the clock reads its
    // text differently from what it most likely means.
    void updateSettingHint(QLineEdit *field);
    void drawClockFace();
    void setBarHeight(QWidget *bar, int top, int height);
    // The set results as a save stores them: the sets that ran to their end
    // with their planned values, the others as they stand.
    SetResults completedResults() const;
    // The test in the window as it is stored, with these set results; the
    // profile's number is left to the caller.
    store::TestRecord testRecord(const SetResults &results) const;
    // The settings fields as typed.
    store::TestSettings testSettings() const;
    void saveTest();
    void openTestTable();
    store::TrainingTables &tables();

    store::TrainingTables *m_tables = nullptr;
    ClockProcedure m_procedure{*this};
    std::optional<ProcedureDisplay> m_rendered;
    AthleteView *m_athleteView = nullptr;
    CueSpeaker m_speaker;
    bool m_speechLookedUp = false;   // SpeakBox reflects whether speech works
    bool m_screenHeld = false;
    bool m_closed = false;           // "Close" hid the window; a showing clears it
    bool m_saving = false;           // a save is under way: its own reset asks nothing
    bool m_closeSettled = false;     // "Close" asked already; the closing asks no more
    TestOutcomes m_outcomes;
    // The identities of what the saves store: a save repeated after a lost
    // connection stores its record once; anything changed since is new.
    SaveIdentity m_testSave;
    SaveIdentity m_profileSave;
    SaveIdentity m_athleteSave;

public:
    // The controls, named as the window's users and tests know them.
    QTimer *Timer1 = nullptr;

    QGroupBox *GroupBox2 = nullptr;   // "Athlet"
    QLineEdit *Edit39 = nullptr, *Edit40 = nullptr, *Edit38 = nullptr, *Edit41 = nullptr;
    QPushButton *BitBtn4 = nullptr, *BitBtn7 = nullptr;
    QPushButton *ProgressButton = nullptr;

    QGroupBox *GroupBox3 = nullptr;   // "Testprofil"
    ClickLineEdit *Edit37 = nullptr;
    QLineEdit *Edit48 = nullptr, *Edit47 = nullptr, *Edit51 = nullptr;

    QGroupBox *GroupBox4 = nullptr;   // "Test Profil Settings"
    QLineEdit *Edit52 = nullptr;
    QLineEdit *StartHalte = nullptr, *Aufwaerts = nullptr, *Abwaerts = nullptr, *HalteOben = nullptr,
              *HalteUnten = nullptr, *Wiederholungen = nullptr, *Serien = nullptr, *Pause = nullptr;
    QCheckBox *Tonab = nullptr, *EndeTo = nullptr, *Tonauf = nullptr, *EndeFro = nullptr, *CheckBox1 = nullptr;
    QPushButton *BitBtn5 = nullptr, *BitBtn2 = nullptr;
    QListWidget *ListBox1 = nullptr, *ListBox2 = nullptr;
    QPushButton *BitBtn6 = nullptr;

    QGroupBox *GroupBox1 = nullptr;   // "Test Procedure"
    PieGauge *gClock = nullptr;
    QLabel *ImageClock = nullptr;
    QLabel *pClock = nullptr;
    QToolButton *sStart = nullptr, *sStop = nullptr, *SpeedButton1 = nullptr, *sReset = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *AthleteViewButton = nullptr;
    QCheckBox *SpeakBox = nullptr;
    // The note stored with Save Data, and the box that marks the attempt
    // invalid.
    QLineEdit *NoteEdit = nullptr;
    QLineEdit *TesterEdit = nullptr;
    QCheckBox *InvalidBox = nullptr;
    QLabel *pnSerie = nullptr, *pnBNr = nullptr, *TUTreal = nullptr, *TUTtotal = nullptr, *Panel1 = nullptr;
    QLabel *Label68 = nullptr, *Label69 = nullptr;
    QPushButton *BitBtn3 = nullptr;
    QLineEdit *eCycle = nullptr, *Edit46 = nullptr;

    QLabel *pnAbschnitt = nullptr;
    ClickLabel *pClockB = nullptr;
    QCheckBox *Balkenanzeige = nullptr;
    QFrame *pnClock1 = nullptr, *pnClock2 = nullptr;
    QWidget *Shape1 = nullptr, *Shape2 = nullptr;   // the bars, found by name at creation
    QWidget *Shape3 = nullptr, *Shape4 = nullptr, *Shape5 = nullptr, *Shape6 = nullptr;
    QLabel *Image1 = nullptr, *Image2 = nullptr;

    // Set rows, index 0 for set 1.
    std::array<QLineEdit *, 20> repetitionSlots{};
    std::array<QToolButton *, 20> setButtons{};
    std::array<QLineEdit *, 20> plannedSlots{};
    std::array<QLineEdit *, 20> realSlots{};
    QPushButton *ReportButton = nullptr;   // "Report..."
    QPushButton *BitBtn1 = nullptr;   // "Close"

private:
    QWidget *m_leftColumn = nullptr;
};
