#include "app/hauptform.h"

#include "app/folderlock.h"
#include "core/filesystem.h"
#include "clock/tform1.h"
#include "data/progresswindow.h"
#include "data/tform4.h"
#include "platform/guard.h"
#include "platform/buttonicons.h"
#include "platform/messages.h"

#include <QCoreApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

// The pictures are compiled into the library; a static library must register
// them by hand.
static void initResources()
{
    Q_INIT_RESOURCE(korvane);
}

QString informationText()
{
    return QCoreApplication::translate("THauptform", "Korvane Training (Vers 3.1 letztes Update 30.11.10)\n"
                                                     "Written by the Korvane team for testers and their athletes.");
}

QImage bannerLogo()
{
    // Decoded once, by whichever thread asks first: the start decodes it
    // beside the main thread while that opens the tables.
    static const QImage logo = [] {
        initResources();
        // In the form a pixmap keeps it, so that making the banner's pixmap
        // on the main thread converts nothing.
        const QImage read = platform::pngPicture(QStringLiteral(":/korvane/logo.png"));
        return read.convertToFormat(read.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                           : QImage::Format_RGB32);
    }();
    return logo;
}

THauptform::THauptform(QWidget *parent)
    : THauptform(std::make_unique<store::TrainingTables>(QStringLiteral(".")), parent)
{
}

THauptform::THauptform(const store::ServerAddress &server, QWidget *parent)
    : THauptform(std::make_unique<store::TrainingTables>(server), parent)
{
}

THauptform::THauptform(std::unique_ptr<store::TrainingTables> tables, QWidget *parent)
    : QMainWindow(parent)
    , m_tables(std::move(tables))
{
    initResources();
    setObjectName(QStringLiteral("Hauptform"));
    setWindowTitle(QStringLiteral("Korvane"));
    resize(997, 745);
    // Tables in a folder are opened on a thread of their own while the
    // window is built; one that cannot be opened still ends the start
    // before the window shows: the wait at the end throws what it threw.
    std::future<void> opened;
    if (m_tables->onServer())
        m_tables->openAll();
    else
        opened = m_tables->openAllAside();
    m_networkFolder = !m_tables->onServer() && core::isOnNetworkFileSystem(QStringLiteral("."));

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto *bannerRow = new QHBoxLayout;
    bannerRow->setSpacing(0);
    Panel1 = new QLabel(QStringLiteral("Korvane"), central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedSize(705, 100);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setAutoFillBackground(true);
    QFont bannerFont = Panel1->font();
    bannerFont.setBold(true);
    bannerFont.setPixelSize(24);
    Panel1->setFont(bannerFont);
    // Colours through the palette: a style sheet would wrap the style in a
    // style-sheet style, which the start pays for.
    QPalette bannerColours = Panel1->palette();
    bannerColours.setColor(QPalette::Window, QColor(21, 131, 70));
    bannerColours.setColor(QPalette::WindowText, Qt::white);
    Panel1->setPalette(bannerColours);
    bannerRow->addWidget(Panel1);

    Image2 = new QLabel(central);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setFixedSize(269, 100);
    Image2->setPixmap(QPixmap::fromImage(bannerLogo()));
    bannerRow->addWidget(Image2);
    bannerRow->addStretch();
    column->addLayout(bannerRow);

    Shape1 = new QFrame(central);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFixedHeight(5);
    QPalette lineColour = Shape1->palette();
    lineColour.setColor(QPalette::Window, Qt::black);
    Shape1->setPalette(lineColour);
    Shape1->setAutoFillBackground(true);
    column->addWidget(Shape1);
    column->addStretch();
    setCentralWidget(central);

    auto *MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    const struct {
        const char *name;
        const char *caption;
        void (THauptform::*handler)();
    } items[] = {
        {"est1", QT_TR_NOOP("Test"), &THauptform::est1Click},
        {"Daten1", QT_TR_NOOP("Data"), &THauptform::Daten1Click},
        {"About1", QT_TR_NOOP("Information"), &THauptform::About1Click},
        {"Ende1", QT_TR_NOOP("Close"), &THauptform::Ende1Click},
    };
    for (const auto &item : items) {
        QAction *action = MainMenu1->addAction(tr(item.caption));
        action->setObjectName(QString::fromUtf8(item.name));
        connect(action, &QAction::triggered, this, item.handler);
    }

    // The tables were found in the working folder; say which one, so nobody
    // has to guess where the tests are kept.
    m_folderLabel = new QLabel(dataFolderText(), this);
    m_folderLabel->setObjectName(QStringLiteral("DataFolder"));
    statusBar()->addWidget(m_folderLabel);
    m_changeFolder = new QPushButton(tr("Change..."), this);
    m_changeFolder->setObjectName(QStringLiteral("ChangeDataFolder"));
    connect(m_changeFolder, &QPushButton::clicked, this, &THauptform::ChangeFolderClick);
    statusBar()->addWidget(m_changeFolder);
    // Said beside the folder and kept: the status line's messages ("Test 1
    // saved") come and go.
    m_backupState = new QLabel(this);
    m_backupState->setObjectName(QStringLiteral("BackupState"));
    m_backupState->hide();
    statusBar()->addPermanentWidget(m_backupState);

    if (opened.valid())
        opened.get();
    watchBackups();
}

THauptform::~THauptform()
{
    // The windows work on the tables, which go with the members after this.
    m_ownedDataWindow.reset();
    m_ownedClockWindow.reset();
    // The tables are closed before the folder's lock goes.
    m_tables.reset();
}

QString THauptform::dataFolderText() const
{
    if (m_tables->onServer())
        return tr("Database: %1").arg(m_tables->server()->display());
    const QString folder = QDir::toNativeSeparators(QDir(m_tables->folder()).absolutePath());
    return m_networkFolder ? tr("Data folder: %1 (network folder)").arg(folder) : tr("Data folder: %1").arg(folder);
}

void THauptform::createWindows()
{
    // The clock window may have been built ahead by buildClockWindow().
    if (!m_ownedClockWindow)
        m_ownedClockWindow = std::make_unique<TForm1>(m_tables.get(), this);
    m_ownedDataWindow = std::make_unique<TForm4>(*m_tables, this);
    setWindows(m_ownedClockWindow.get(), m_ownedDataWindow.get());
}

void THauptform::showAtStart()
{
    showMaximized();
    // Without a window manager nobody carries out the maximised state: the
    // window keeps its first size and has no frame.  Give it the screen then.
    QTimer::singleShot(500, this, [this] {
        QScreen *shown = screen();
        if (!shown || !isMaximized() || frameGeometry() != geometry())
            return;
        const QRect available = shown->availableGeometry();
        if (geometry() != available)
            setGeometry(available);
    });
}

namespace {
// Long enough to read; then the data folder line shows again.
constexpr int kStoredMessageMs = 15000;
} // namespace

void THauptform::setWindows(TForm1 *clockWindow, TForm4 *dataWindow)
{
    m_clockWindow = clockWindow;
    m_dataWindow = dataWindow;
    if (clockWindow)
        openProgressOnRequest(*clockWindow);
    // What was stored goes to the status line: a box would activate the
    // clock window again.
    if (m_clockWindow)
        connect(m_clockWindow, &TForm1::recordStored, this,
                [this](const QString &what) { statusBar()->showMessage(what, kStoredMessageMs); });
}

void THauptform::buildWindows()
{
    // The folder line becomes selectable (for copying the path) only now: a
    // selectable label lays out a whole text document, a few milliseconds
    // the first showing of the window need not wait for.
    m_folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (!m_buildWindows)
        return;
    const std::function<void()> build = std::exchange(m_buildWindows, nullptr);
    build();
}

void THauptform::buildClockWindow()
{
    // Only the windows createWindows() builds are begun here.
    if (m_buildWindows && !m_ownedClockWindow)
        m_ownedClockWindow = std::make_unique<TForm1>(m_tables.get(), this);
}

bool THauptform::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QMainWindow::event(event);
}

bool THauptform::clockResultsSettled()
{
    return !m_clockWindow || m_clockWindow->settleBeforeClosing();
}

void THauptform::closeEvent(QCloseEvent *event)
{
    // The clock window keeps a finished test's results when it is closed and
    // asks about them when it opens again; the program's end would lose them.
    if (!clockResultsSettled()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void THauptform::FormActivate()
{
    // The click on "Close" activates the window as well, and that activation
    // may arrive after the window closed (without a window manager it always
    // does): it must not show the closed window again.
    if (!isVisible())
        return;
    if (!isMaximized())
        showMaximized();
}

void THauptform::est1Click()
{
    platform::runGuarded(this, [this] {
        buildWindows();
        if (m_clockWindow)
            m_clockWindow->showModal();
    });
}

void THauptform::Daten1Click()
{
    platform::runGuarded(this, [this] {
        m_tables->TestTable.open();
        m_tables->ProfilTable.open();
        m_tables->SPTable.open();
        buildWindows();
        if (m_dataWindow)
            m_dataWindow->exec();
    });
}

void THauptform::About1Click()
{
    platform::messageBoxes().inform(this, informationText());
}

void THauptform::Ende1Click()
{
    close();
}
