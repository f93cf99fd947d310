#include "clock/tform1.h"

#include "clock/display.h"
#include "platform/guard.h"
#include "platform/messages.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

TForm1::TForm1(store::TrainingTables *tables, QWidget *parent)
    : QDialog(parent)
    , m_tables(tables)
{
    buildLayout();

    // Enter in a field must not press a button of this window.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    connect(sStart, &QToolButton::clicked, this, &TForm1::sStartClick);
    for (QToolButton *button : setButtons)
        connect(button, &QToolButton::clicked, this, &TForm1::sStartClick);
    connect(sStop, &QToolButton::clicked, this, &TForm1::sStopClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(sReset, &QToolButton::clicked, this, &TForm1::sResetClick);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(pClockB, &ClickLabel::clicked, this, &TForm1::FormActivate);
    connect(Balkenanzeige, &QCheckBox::clicked, this, &TForm1::BalkenanzeigeClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm1::SpeedButton3Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] {
        if (!ListBox1->selectedItems().isEmpty())
            ListBox1Click();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TForm1::BitBtn6Click);
    connect(Edit37, &ClickLineEdit::clicked, this, &TForm1::Edit37Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(ListBox2, &QListWidget::itemSelectionChanged, this, [this] {
        if (!ListBox2->selectedItems().isEmpty())
            ListBox2Click();
    });
    connect(BitBtn7, &QPushButton::clicked, this, &TForm1::BitBtn7Click);

    for (QLineEdit *field : {StartHalte, Aufwaerts, Abwaerts, HalteOben, HalteUnten, Wiederholungen, Serien,
                             Pause}) {
        connect(field, &QLineEdit::textChanged, this, [this, field] { updateSettingHint(field); });
        updateSettingHint(field);
    }

    FormCreate();
    render(m_procedure.display());
    connect(&m_procedure, &ClockProcedure::displayChanged, this, &TForm1::render);
    installProcedureKeys(this);
    connectAthleteSide();

    // The clock runs from now to the end of the program, shown or hidden.
    Timer1->start();
}

TForm1::~TForm1() = default;

void TForm1::showModal()
{
    m_closed = false;
    FormActivate();
    exec();
}

void TForm1::keyPressEvent(QKeyEvent *event)
{
    // Escape would close the window in the middle of a test; "Close" does that.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm1::showMessage(const QString &text)
{
    platform::messageBoxes().inform(this, text);
    // Closing one of the window's own boxes makes it active again.
    FormActivate();
}

void TForm1::guarded(const std::function<void()> &action)
{
    platform::runGuarded(this, action);
}

