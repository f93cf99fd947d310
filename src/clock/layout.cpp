// The clock window's controls and their places.

#include "clock/palette.h"
#include "clock/piegauge.h"
#include "clock/tform1.h"
#include "platform/buttonicons.h"
#include "platform/stationsettings.h"

#include <QCheckBox>
#include <QEvent>
#include <QMouseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void setBackground(QWidget *widget, const QColor &colour, QPalette::ColorRole role = QPalette::Window)
{
    QPalette p = widget->palette();
    p.setColor(role, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void setBold(QWidget *widget, int pixelSize = 0)
{
    QFont font = widget->font();
    font.setBold(true);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    widget->setFont(font);
}

void keepPlaceWhenHidden(QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// A small bold panel with a lowered border.
QLabel *smallPanel(QWidget *parent, const char *name, const QString &text)
{
    auto *panel = named(new QLabel(text, parent), name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFixedSize(80, 22);
    setBold(panel);
    return panel;
}

// A red circle marker.
class CircleShape : public QWidget {
public:
    using QWidget::QWidget;
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::black);
        painter.setBrush(palette::RestMarker);
        painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
};

QPixmap arrowPixmap(bool down)
{
    QPixmap pixmap(30, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    QPolygonF arrow;
    if (down)
        arrow << QPointF(11, 0) << QPointF(19, 0) << QPointF(19, 30) << QPointF(29, 30)
              << QPointF(15, 47) << QPointF(1, 30) << QPointF(11, 30);
    else
        arrow << QPointF(15, 1) << QPointF(29, 18) << QPointF(19, 18) << QPointF(19, 48)
              << QPointF(11, 48) << QPointF(11, 18) << QPointF(1, 18);
    painter.drawPolygon(arrow);
    return pixmap;
}

} // namespace

namespace {
// Pictures a ticked label keeps: a countdown's texts of a few phases.
constexpr int kLabelPictures = 128;
} // namespace

bool TickedLabel::paintsFromPictures() const
{
    const QString &shown = text();
    return autoFillBackground() && font().pixelSize() > 0 && alignment() == Qt::AlignCenter && margin() == 0
        && pixmap().isNull() && !movie() && !(textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard))
        && (textFormat() == Qt::PlainText || (textFormat() == Qt::AutoText && !Qt::mightBeRichText(shown)))
        && !shown.contains(u'&');
}

TickedLabel::Look TickedLabel::look() const
{
    return {size(),         devicePixelRatioF(), palette().cacheKey(), font().key(),
            frameStyle(),   wordWrap(),          isEnabled(),          layoutDirection()};
}

QImage TickedLabel::picture()
{
    // As QLabel paints plain text: the background it is filled with, its
    // frame, and the text in its contents.
    const qreal ratio = devicePixelRatioF();
    QImage image((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    painter.fillRect(rect(), palette().brush(backgroundRole()));
    painter.setLayoutDirection(layoutDirection());
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    drawFrame(&painter);
    const Qt::LayoutDirection direction = text().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    int flags = QStyle::visualAlignment(direction, alignment())
        | (direction == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    style()->drawItemText(&painter, contentsRect(), flags, palette(), isEnabled(), text(), foregroundRole());
    return image;
}

void TickedLabel::paintEvent(QPaintEvent *event)
{
    if (!paintsFromPictures()) {
        QLabel::paintEvent(event);
        return;
    }
    const Look now = look();
    if (now != m_look) {
        m_pictures.clear();
        m_look = now;
    }
    auto found = m_pictures.constFind(text());
    if (found == m_pictures.constEnd()) {
        if (m_pictures.size() >= kLabelPictures)
            m_pictures.clear();
        found = m_pictures.insert(text(), picture());
    }
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), *found);
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_leftPressed && rect().contains(event->position().toPoint());
    m_leftPressed = false;
    if (click)
        emit clicked();
}

void ClickLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    emit clicked();
}

void TForm1::buildLayout()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Korvane"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    resize(1207, 760);
    setBackground(this, palette::WindowBackground);

    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(8, 8, 8, 8);
    columns->setSpacing(12);
    columns->addWidget(buildLeftColumn());
    columns->addWidget(buildMiddleColumn());
    columns->addWidget(buildPhaseColumn());
    columns->addWidget(buildRightColumn());
    columns->addStretch();

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
}

QWidget *TForm1::buildLeftColumn()
{
    auto *column = new QWidget(this);
    column->setFixedWidth(350);
    auto *box = new QVBoxLayout(column);
    box->setContentsMargins(0, 0, 0, 0);

    // "Athlet"
    GroupBox2 = named(new QGroupBox(tr("Athlet"), column), "GroupBox2");
    auto *athlete = new QGridLayout(GroupBox2);
    auto addRow = [](QGridLayout *grid, int row, const QString &label, QWidget *field, const QString &unit) {
        grid->addWidget(new QLabel(label), row, 0);
        grid->addWidget(field, row, 1);
        if (!unit.isEmpty())
            grid->addWidget(new QLabel(unit), row, 2);
    };
    Edit39 = named(new QLineEdit(GroupBox2), "Edit39");
    Edit40 = named(new QLineEdit(GroupBox2), "Edit40");
    Edit38 = named(new QLineEdit(GroupBox2), "Edit38");
    Edit41 = named(new QLineEdit(GroupBox2), "Edit41");
    addRow(athlete, 0, tr("Name"), Edit39, {});
    addRow(athlete, 1, tr("Surname"), Edit40, {});
    addRow(athlete, 2, tr("Bodyweight"), Edit38, tr("kg"));
    addRow(athlete, 3, tr("Height"), Edit41, tr("cm"));
    BitBtn4 = named(new QPushButton(tr("Athlet"), GroupBox2), "BitBtn4");
    BitBtn7 = named(new QPushButton(tr("Save Athlet"), GroupBox2), "BitBtn7");
    BitBtn4->setIcon(platform::buttonIcon(platform::ButtonIcon::List));
    BitBtn7->setIcon(platform::buttonIcon(platform::ButtonIcon::Save));
    auto *athleteButtons = new QHBoxLayout;
    athleteButtons->addWidget(BitBtn4);
    athleteButtons->addWidget(BitBtn7);
    ProgressButton = named(new QPushButton(tr("Progress..."), GroupBox2), "ProgressButton");
    connect(ProgressButton, &QPushButton::clicked, this, &TForm1::ProgressButtonClick);
    athleteButtons->addWidget(ProgressButton);
    athlete->addLayout(athleteButtons, 4, 0, 1, 3);
    box->addWidget(GroupBox2);

    // "Testprofil"
    GroupBox3 = named(new QGroupBox(tr("Testprofil"), column), "GroupBox3");
    auto *profile = new QGridLayout(GroupBox3);
    Edit37 = named(new ClickLineEdit(GroupBox3), "Edit37");
    profile->addWidget(Edit37, 0, 1);
    Edit48 = named(new QLineEdit(QStringLiteral(" 1"), GroupBox3), "Edit48");
    Edit48->setReadOnly(true);
    Edit47 = named(new QLineEdit(GroupBox3), "Edit47");
    Edit51 = named(new QLineEdit(GroupBox3), "Edit51");
    addRow(profile, 1, tr("Profil Nr."), Edit48, {});
    addRow(profile, 2, tr("Profil Name"), Edit47, {});
    addRow(profile, 3, tr("Exercise"), Edit51, {});
    box->addWidget(GroupBox3);

    // "Test Profil Settings"
    GroupBox4 = named(new QGroupBox(tr("Test Profil Settings"), column), "GroupBox4");
    auto *settings = new QGridLayout(GroupBox4);
    settings->setVerticalSpacing(4);
    Edit52 = named(new QLineEdit(GroupBox4), "Edit52");
    Edit52->setFixedWidth(60);
    settings->addWidget(new QLabel(tr("Load")), 0, 0);
    settings->addWidget(Edit52, 0, 1, 1, 2);
    settings->addWidget(new QLabel(tr("kg")), 0, 3);
    auto *note = new QLabel(tr("Time intervals 100 ms ( 0,1s) minimum 0,1 s"), GroupBox4);
    note->setWordWrap(true);
    settings->addWidget(note, 1, 0, 1, 6);
    settings->addWidget(new QLabel(tr("Begin")), 2, 4, Qt::AlignCenter);
    settings->addWidget(new QLabel(tr("End")), 2, 5, Qt::AlignCenter);

    const QString phaseHint = tr("ab 1min  keine Dezimalzahl");
    struct Row {
        const char *label;
        QLineEdit **field;
        const char *name;
        const char *initial;
        const char *unit;
    } rows[] = {
        {QT_TR_NOOP("Start Rest"), &StartHalte, "StartHalte", "1", "s"},
        {QT_TR_NOOP("To-Phase"), &Aufwaerts, "Aufwaerts", "1", "s"},
        {QT_TR_NOOP("Fro-Phase"), &Abwaerts, "Abwaerts", "1", "s"},
        {QT_TR_NOOP("Rest after To-Phase"), &HalteOben, "HalteOben", "1", "s"},
        {QT_TR_NOOP("Rest after Fro-Phase"), &HalteUnten, "HalteUnten", "1", "s"},
        {QT_TR_NOOP("Repetitions"), &Wiederholungen, "Wiederholungen", "1", ""},
        {QT_TR_NOOP("Sets"), &Serien, "Serien", "1", "x"},
        {QT_TR_NOOP("Rest in-between Sets"), &Pause, "Pause", "5", "s"},
    };
    int row = 3;
    // Wide enough for a rest of minutes ("10:30") in the field's own font.
    const int fieldWidth = GroupBox4->fontMetrics().horizontalAdvance(QStringLiteral("10:30")) + 14;
    for (const Row &r : rows) {
        *r.field = named(new QLineEdit(QString::fromLatin1(r.initial), GroupBox4), r.name);
        (*r.field)->setFixedWidth(fieldWidth);
        // A long name ("Pause nach Aufwärtsphase") takes a second line
        // rather than being cut.
        auto *label = new QLabel(tr(r.label));
        label->setWordWrap(true);
        settings->addWidget(label, row, 0, 1, 2);
        settings->addWidget(*r.field, row, 2);
        settings->addWidget(new QLabel(QString::fromLatin1(r.unit)), row, 3);
        ++row;
    }
    Abwaerts->setToolTip(phaseHint);
    Aufwaerts->setToolTip(phaseHint);
    // Unlike the rests above it, this field reads seconds only.
    Pause->setToolTip(tr("Seconds only, also for a minute or more: 90 for 1:30"));

    auto beep = [this](const char *name) {
        auto *box = named(new QCheckBox(tr("Beep"), GroupBox4), name);
        box->setChecked(false);
        return box;
    };
    // Each row's switches give the cues of that row's phase: "Begin" at its
    // entry, "End" at the entry of the rest that follows it.
    Tonauf = beep("Tonauf");
    EndeFro = beep("EndeFro");
    Tonab = beep("Tonab");
    EndeTo = beep("EndeTo");
    settings->addWidget(Tonauf, 4, 4);
    settings->addWidget(EndeFro, 4, 5);
    settings->addWidget(Tonab, 5, 4);
    settings->addWidget(EndeTo, 5, 5);
    auto *warning = new QLabel(tr("10 s before continue"), GroupBox4);
    settings->addWidget(warning, 9, 4, 1, 2);
    CheckBox1 = beep("CheckBox1");
    settings->addWidget(CheckBox1, 10, 4, 1, 2);

    BitBtn5 = named(new QPushButton(tr("Open Profil"), GroupBox4), "BitBtn5");
    BitBtn2 = named(new QPushButton(tr("Save Profil "), GroupBox4), "BitBtn2");
    BitBtn5->setIcon(platform::buttonIcon(platform::ButtonIcon::Open));
    BitBtn2->setIcon(platform::buttonIcon(platform::ButtonIcon::Save));
    auto *profileButtons = new QHBoxLayout;
    profileButtons->addWidget(BitBtn5);
    profileButtons->addWidget(BitBtn2);
    settings->addLayout(profileButtons, 11, 0, 1, 6);
    box->addWidget(GroupBox4);
    box->addStretch();

    // The pick lists lie over the column, the athlete list as wide as its
    // lines; placeOverlays() puts them in place.
    ListBox1 = named(new QListWidget(this), "ListBox1");
    ListBox2 = named(new QListWidget(this), "ListBox2");
    for (QListWidget *list : {ListBox1, ListBox2}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        // The list lines are columns of fixed width.
        QFont fixed(QStringLiteral("Monospace"), 9);
        fixed.setStyleHint(QFont::TypeWriter);
        list->setFont(fixed);
        setBackground(list, palette::WindowBackground, QPalette::Base);
        list->hide();
    }
    BitBtn6 = named(new QPushButton(tr("Close Listbox"), this), "BitBtn6");
    BitBtn6->hide();
    column->installEventFilter(this);
    m_leftColumn = column;
    return column;
}

void TForm1::placeOverlays()
{
    if (!m_leftColumn)
        return;
    const QPoint origin = m_leftColumn->pos();
    const QRect settings = GroupBox4->geometry().translated(origin);
    const QRect profile = GroupBox3->geometry().translated(origin);
    const QRect athlete = GroupBox2->geometry().translated(origin);
    ListBox1->setGeometry(settings.left() + 120, settings.top() + 40, settings.width() - 124,
                          settings.height() - 80);
    // An athlete line is 54 characters when no text overflows its column.
    const int lineWidth = ListBox2->fontMetrics().horizontalAdvance(QString(56, u'0'))
        + ListBox2->verticalScrollBar()->sizeHint().width() + 2 * ListBox2->frameWidth();
    ListBox2->setGeometry(profile.left() + 4, athlete.bottom() + 1, std::max(profile.width() - 8, lineWidth),
                          profile.height() + 40);
    // Below the settings group, where it covers no control.
    BitBtn6->setGeometry(settings.right() - 130, settings.bottom() + 6, 130, 26);
    for (QWidget *w : {static_cast<QWidget *>(ListBox2), static_cast<QWidget *>(ListBox1),
                       static_cast<QWidget *>(BitBtn6)})
        w->raise();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_leftColumn && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        placeOverlays();
    return QDialog::eventFilter(watched, event);
}

// The labels a running test writes ten times a second must not cost more
// than their own repaint.  Laid out, they keep their size, so a new text does
// not lay out the window again; and where their parents paint one plain
// colour under them (the group box tints its inside), they paint it
// themselves, so a new text does not repaint the group box and the window.
void TForm1::settleTickedDisplays()
{
    for (QLabel *label : {pClock, Label68, Label69}) {
        if (label->minimumSize() != label->size() || label->maximumSize() != label->size())
            label->setFixedSize(label->size());
        if (label->autoFillBackground())
            continue;
        QWidget *parent = label->parentWidget();
        QImage under(label->size(), QImage::Format_RGB32);
        parent->render(&under, QPoint(), QRegion(label->geometry()), QWidget::DrawWindowBackground);
        const QRgb first = under.pixel(0, 0);
        bool plain = true;
        for (int y = 0; y < under.height() && plain; ++y)
            for (int x = 0; x < under.width() && plain; ++x)
                plain = under.pixel(x, y) == first;
        if (plain) {
            QPalette p = label->palette();
            p.setColor(QPalette::Window, QColor::fromRgb(first));
            label->setPalette(p);
            label->setAutoFillBackground(true);
        }
    }
}

QWidget *TForm1::buildMiddleColumn()
{
    auto *column = new QWidget(this);
    column->setFixedWidth(250);
    auto *box = new QVBoxLayout(column);
    box->setContentsMargins(0, 0, 0, 0);

    GroupBox1 = named(new QGroupBox(tr("Test Procedure"), column), "GroupBox1");
    auto *procedure = new QVBoxLayout(GroupBox1);
    gClock = named(new PieGauge(GroupBox1), "gClock");
    gClock->setFixedSize(129, 129);
    ImageClock = named(new QLabel(gClock), "ImageClock");
    ImageClock->setGeometry(0, 0, 129, 129);
    ImageClock->setAttribute(Qt::WA_TransparentForMouseEvents);
    procedure->addWidget(gClock, 0, Qt::AlignHCenter);
    pClock = named(new QLabel(QStringLiteral("00:00:00"), GroupBox1), "pClock");
    pClock->setAlignment(Qt::AlignCenter);
    setBold(pClock, 19);
    procedure->addWidget(pClock);

    auto pictureButton = [this](const char *name, platform::ButtonIcon icon, const QString &tip) {
        auto *button = named(new QToolButton(GroupBox1), name);
        button->setIcon(platform::buttonIcon(icon));
        button->setIconSize(QSize(28, 28));
        button->setFixedSize(64, 40);
        button->setToolTip(tip);
        return button;
    };
    sStart = pictureButton("sStart", platform::ButtonIcon::Play, tr("Start (F5)"));
    sStop = pictureButton("sStop", platform::ButtonIcon::Stop, tr("Stop (F6)"));
    SpeedButton1 = pictureButton("SpeedButton1", platform::ButtonIcon::Pause, tr("Break / resume (F7)"));
    sReset = pictureButton("sReset", platform::ButtonIcon::Reset, tr("Reset"));
    keepPlaceWhenHidden(sStart);
    auto *buttons = new QGridLayout;
    buttons->addWidget(sStart, 0, 0);
    buttons->addWidget(sStop, 0, 1);
    buttons->addWidget(SpeedButton1, 1, 0);
    buttons->addWidget(sReset, 1, 1);
    procedure->addLayout(buttons);
    Button1 = named(new QPushButton(tr("Cancel"), GroupBox1), "Button1");
    setBold(Button1);
    Button1->setToolTip(tr("Cancel the set (F8)"));
    Button1->setStyleSheet(QStringLiteral("QPushButton#Button1 { color: rgb(255, 0, 0); }"));
    keepPlaceWhenHidden(Button1);
    Button1->hide();
    procedure->addWidget(Button1);

    // The athlete's side of the test: the phase display across the room, and
    // the cues spoken.
    AthleteViewButton = named(new QPushButton(tr("Athlete view"), GroupBox1), "AthleteViewButton");
    AthleteViewButton->setCheckable(true);
    AthleteViewButton->setIcon(platform::buttonIcon(platform::ButtonIcon::AthleteView));
    AthleteViewButton->setToolTip(tr("The phase display in large type for the athlete; Esc closes it"));
    SpeakBox = named(new QCheckBox(tr("Speak"), GroupBox1), "SpeakBox");
    SpeakBox->setChecked(false);
    SpeakBox->setToolTip(tr("Speak the cues as well"));
    auto *athleteRow = new QHBoxLayout;
    athleteRow->addWidget(AthleteViewButton, 1);
    athleteRow->addWidget(SpeakBox);
    procedure->addLayout(athleteRow);
    box->addWidget(GroupBox1);

    auto *counters = new QFormLayout;
    pnSerie = smallPanel(column, "pnSerie", QStringLiteral("0"));
    pnBNr = smallPanel(column, "pnBNr", QStringLiteral("0"));
    TUTreal = smallPanel(column, "TUTreal", QString());
    TUTtotal = smallPanel(column, "TUTtotal", QString());
    Panel1 = smallPanel(column, "Panel1", QString());
    counters->addRow(tr("Sets"), pnSerie);
    counters->addRow(tr("Repetitions"), pnBNr);
    counters->addRow(tr("TUT real"), TUTreal);
    counters->addRow(tr("TUT total"), TUTtotal);
    counters->addRow(tr("Time/Sets"), Panel1);
    box->addLayout(counters);

    auto *large = new QGridLayout;
    auto bigNumber = [column](const char *name) {
        auto *label = named(new QLabel(QStringLiteral("0"), column), name);
        setBold(label, 48);
        label->setAlignment(Qt::AlignCenter);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, palette::LargeNumber);
        label->setPalette(p);
        return label;
    };
    Label68 = bigNumber("Label68");
    Label69 = bigNumber("Label69");
    large->addWidget(new QLabel(tr("Repetitions")), 0, 0, Qt::AlignCenter);
    large->addWidget(new QLabel(tr("Sets")), 0, 1, Qt::AlignCenter);
    large->addWidget(Label68, 1, 0);
    large->addWidget(Label69, 1, 1);
    box->addLayout(large);
    box->addStretch();

    // A note on the test, who ran it and whether the attempt counts, stored
    // with it.  The tester stays from test to test and is remembered by the
    // station.
    NoteEdit = named(new QLineEdit(column), "NoteEdit");
    NoteEdit->setPlaceholderText(tr("Conditions, RPE, ..."));
    TesterEdit = named(new QLineEdit(platform::rememberedTester(), column), "TesterEdit");
    TesterEdit->setPlaceholderText(tr("Name or initials"));
    TesterEdit->setToolTip(tr("Who ran the test; kept for the next tests at this station"));
    InvalidBox = named(new QCheckBox(tr("Invalid attempt"), column), "InvalidBox");
    auto *note = new QFormLayout;
    note->addRow(tr("Note"), NoteEdit);
    note->addRow(tr("Tester"), TesterEdit);
    note->addRow(QString(), InvalidBox);
    box->addLayout(note);

    BitBtn3 = named(new QPushButton(tr("Save Data "), column), "BitBtn3");
    BitBtn3->setIcon(platform::buttonIcon(platform::ButtonIcon::Save));
    setBold(BitBtn3);
    keepPlaceWhenHidden(BitBtn3);
    BitBtn3->hide();
    box->addWidget(BitBtn3);

    eCycle = named(new QLineEdit(column), "eCycle");
    Edit46 = named(new QLineEdit(column), "Edit46");
    eCycle->hide();
    Edit46->hide();
    return column;
}

QWidget *TForm1::buildPhaseColumn()
{
    auto *column = new QWidget(this);
    column->setFixedWidth(175);
    auto *box = new QVBoxLayout(column);
    box->setContentsMargins(0, 0, 0, 0);

    pnAbschnitt = named(new TickedLabel(shownProcedureText(QStringLiteral("TEST")), column), "pnAbschnitt");
    pnAbschnitt->setFixedSize(169, 55);
    pClockB = named(new ClickLabel(shownProcedureText(QStringLiteral("BEGIN")), column), "pClockB");
    pClockB->setFixedSize(167, 57);
    for (QLabel *panel : {pnAbschnitt, static_cast<QLabel *>(pClockB)}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setAlignment(Qt::AlignCenter);
        panel->setWordWrap(true);
        setBold(panel, 13);
        setBackground(panel, palette::Stopped);
    }
    box->addWidget(pnAbschnitt, 0, Qt::AlignHCenter);
    box->addWidget(pClockB, 0, Qt::AlignHCenter);
    Balkenanzeige = named(new QCheckBox(tr("Visible"), column), "Balkenanzeige");
    Balkenanzeige->setChecked(true);
    box->addWidget(Balkenanzeige);

    // The bar area: markers below, the two bar panels over them.
    constexpr int panelTop = 30;
    constexpr int panelHeight = 463;
    auto *bars = new QWidget(column);
    bars->setObjectName(QStringLiteral("BarArea"));
    bars->setFixedSize(150, panelTop + panelHeight + 30);

    Shape3 = named(new QWidget(bars), "Shape3");
    Shape3->setGeometry(20, panelTop + 20, 30, 345);
    setBackground(Shape3, palette::FroMarker);
    Image1 = named(new QLabel(bars), "Image1");
    Image1->setPixmap(arrowPixmap(true));
    Image1->setGeometry(20, panelTop + 375, 30, 48);
    Shape4 = named(new QWidget(bars), "Shape4");
    Shape4->setGeometry(95, panelTop + 98, 30, 343);
    setBackground(Shape4, palette::ToMarker);
    Image2 = named(new QLabel(bars), "Image2");
    Image2->setPixmap(arrowPixmap(false));
    Image2->setGeometry(95, panelTop + 40, 30, 48);
    Shape5 = named(new CircleShape(bars), "Shape5");
    Shape5->setGeometry(23, panelTop + panelHeight + 3, 24, 24);
    Shape6 = named(new CircleShape(bars), "Shape6");
    Shape6->setGeometry(98, panelTop - 27, 24, 24);

    auto barPanel = [bars](const char *name, int x) {
        auto *panel = named(new QFrame(bars), name);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setLineWidth(1);
        panel->setGeometry(x, panelTop, 60, panelHeight);
        setBackground(panel, palette::WindowBackground);
        return panel;
    };
    pnClock1 = barPanel("pnClock1", 5);
    pnClock2 = barPanel("pnClock2", 80);
    auto *fro = named(new QWidget(pnClock1), "Shape1");
    // A growing bar repaints only the strip it gains.
    fro->setAttribute(Qt::WA_StaticContents);
    setBackground(fro, palette::FroBar);
    auto *to = named(new QWidget(pnClock2), "Shape2");
    setBackground(to, palette::ToBar);
    for (QWidget *marker : {Shape3, Shape4, Shape5, Shape6, static_cast<QWidget *>(Image1),
                            static_cast<QWidget *>(Image2)})
        marker->hide();
    pnClock1->raise();
    pnClock2->raise();
    box->addWidget(bars, 0, Qt::AlignHCenter);
    box->addStretch();
    return column;
}

QWidget *TForm1::buildRightColumn()
{
    auto *column = new QWidget(this);
    column->setFixedWidth(250);
    auto *box = new QVBoxLayout(column);
    box->setContentsMargins(0, 0, 0, 0);

    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(4);
    auto *heading = new QLabel(tr("Real Time in s"), column);
    setBold(heading);
    grid->addWidget(heading, 0, 2, 1, 2, Qt::AlignCenter);
    const QIcon startIcon = platform::buttonIcon(platform::ButtonIcon::Play);
    auto slot = [column](const QString &name, int width) {
        auto *edit = new QLineEdit(column);
        edit->setObjectName(name);
        edit->setFixedWidth(width);
        setBackground(edit, palette::SlotPlain, QPalette::Base);
        keepPlaceWhenHidden(edit);
        edit->hide();
        return edit;
    };
    for (int k = 0; k < 20; ++k) {
        const int repetitionsNumber = k < 16 ? 21 + k : 42 + (k - 16);
        repetitionSlots[k] = slot(QStringLiteral("Edit%1").arg(repetitionsNumber), 36);
        auto *button = new QToolButton(column);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(3 + k));
        button->setIcon(startIcon);
        button->setAutoRaise(true);
        button->setFixedSize(22, 22);
        button->setToolTip(tr("Start"));
        keepPlaceWhenHidden(button);
        button->hide();
        setButtons[k] = button;
        plannedSlots[k] = slot(QStringLiteral("Edit%1").arg(1 + k), 70);
        realSlots[k] = slot(QStringLiteral("Edit%1").arg(53 + k), 70);
        grid->addWidget(repetitionSlots[k], k + 1, 0);
        grid->addWidget(button, k + 1, 1);
        grid->addWidget(plannedSlots[k], k + 1, 2);
        grid->addWidget(realSlots[k], k + 1, 3);
    }
    box->addLayout(grid);
    box->addWidget(buildReportButton(column));
    box->addStretch();
    BitBtn1 = named(new QPushButton(tr("Close"), column), "BitBtn1");
    BitBtn1->setIcon(platform::buttonIcon(platform::ButtonIcon::Close));
    setBold(BitBtn1);
    box->addWidget(BitBtn1);
    return column;
}
