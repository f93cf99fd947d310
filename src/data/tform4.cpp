#include "data/tform4.h"

#include "clock/palette.h"
#include "core/errors.h"
#include "model/csvexport.h"
#include "data/dbgrid.h"
#include "data/dbnavigator.h"
#include "model/fullexport.h"
#include "model/xlsxexport.h"
#include "data/progresswindow.h"
#include "data/testfilterbar.h"
#include "data/testnotepanel.h"
#include "store/shownkeys.h"
#include "store/testnotes.h"
#include "platform/buttonicons.h"
#include "platform/guard.h"
#include "platform/messages.h"
#include "store/trainingtables.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QProgressBar>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QStyle>

namespace {

// A closed door: the picture of the button that leaves the window.
QIcon doorIcon()
{
    QPixmap picture(24, 24);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 40, 20), 1));
    painter.setBrush(QColor(150, 100, 50));
    painter.drawRect(6, 2, 12, 20);
    painter.setBrush(QColor(230, 200, 60));
    painter.drawEllipse(QPointF(15, 12), 1.5, 1.5);
    painter.end();
    return QIcon(picture);
}

data::DBGrid *makeGrid(const char *name, QWidget *parent)
{
    auto *grid = new data::DBGrid(parent);
    grid->setObjectName(QString::fromUtf8(name));
    return grid;
}

} // namespace

TForm4::TForm4(store::TrainingTables &tables, QWidget *parent)
    : QDialog(parent)
    , Query1(tables.TestTable)
    , m_tables(tables)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(tr("Data source and export"));
    setGeometry(1, 134, 988, 774);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, palette::WindowBackground);
    setPalette(background);

    auto *column = new QVBoxLayout(this);

    auto *buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(doorIcon());
    BitBtn1->setIconSize(QSize(24, 24));
    BitBtn1->setToolTip(tr("Close"));
    connect(BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
    buttons->addWidget(BitBtn1);
    buttons->addStretch();
    BitBtn3 = new QPushButton(tr("Export to CSV-File "), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setIcon(platform::buttonIcon(platform::ButtonIcon::Save));
    QFont bold = BitBtn3->font();
    bold.setBold(true);
    BitBtn3->setFont(bold);
    BitBtn3->setAutoDefault(false);
    BitBtn1->setAutoDefault(false);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm4::BitBtn3Click);
    buttons->addWidget(BitBtn3);
    ExportAllButton = new QPushButton(tr("Export all fields..."), this);
    ExportAllButton->setObjectName(QStringLiteral("ExportAllButton"));
    ExportAllButton->setAutoDefault(false);
    connect(ExportAllButton, &QPushButton::clicked, this, &TForm4::ExportAllButtonClick);
    buttons->addWidget(ExportAllButton);
    ExportWorkbookButton = new QPushButton(tr("Export to Excel..."), this);
    ExportWorkbookButton->setObjectName(QStringLiteral("ExportWorkbookButton"));
    ExportWorkbookButton->setAutoDefault(false);
    connect(ExportWorkbookButton, &QPushButton::clicked, this, &TForm4::ExportWorkbookButtonClick);
    buttons->addWidget(ExportWorkbookButton);
    ProgressButton = new QPushButton(tr("Progress..."), this);
    ProgressButton->setObjectName(QStringLiteral("ProgressButton"));
    ProgressButton->setAutoDefault(false);
    connect(ProgressButton, &QPushButton::clicked, this, &TForm4::ProgressButtonClick);
    buttons->addWidget(ProgressButton);
    ReportButton = new QPushButton(tr("Report..."), this);
    ReportButton->setObjectName(QStringLiteral("ReportButton"));
    ReportButton->setToolTip(tr("Print the current test or save it as PDF"));
    ReportButton->setAutoDefault(false);
    connect(ReportButton, &QPushButton::clicked, this, &TForm4::ReportButtonClick);
    buttons->addWidget(ReportButton);
    buttons->addStretch();
    column->addLayout(buttons);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setTextVisible(true);
    Gauge1->setFormat(QStringLiteral("%p%"));
    Gauge1->setAlignment(Qt::AlignCenter);
    Gauge1->setStyleSheet(QStringLiteral(
        "QProgressBar#Gauge1 { border: 1px solid gray; background: white; text-align: center; }"
        "QProgressBar#Gauge1::chunk { background: rgb(21, 131, 70); }"));
    column->addWidget(Gauge1);

    DBGrid3 = makeGrid("DBGrid3", this);
    DBGrid2 = makeGrid("DBGrid2", this);
    DBGrid1 = makeGrid("DBGrid1", this);
    DBNavigator3 = new data::DBNavigator(DBGrid3, Qt::Vertical, this);
    DBNavigator3->setObjectName(QStringLiteral("DBNavigator3"));
    DBNavigator1 = new data::DBNavigator(DBGrid2, Qt::Horizontal, this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator2 = new data::DBNavigator(DBGrid1, Qt::Horizontal, this);
    DBNavigator2->setObjectName(QStringLiteral("DBNavigator2"));

    auto *athletes = new QHBoxLayout;
    athletes->addWidget(DBGrid3, 1);
    athletes->addWidget(DBNavigator3);
    column->addLayout(athletes, 2);
    column->addWidget(DBNavigator1);
    column->addWidget(DBGrid2, 2);
    m_filterBar = new data::TestFilterBar(this);
    connect(m_filterBar, &data::TestFilterBar::filterChanged, this, [this] {
        platform::runGuarded(this, [&] { applyTestFilter(); });
    });
    column->addWidget(m_filterBar);
    auto *tests = new QHBoxLayout;
    tests->addWidget(DBGrid1, 1);
    m_notePanel = new data::TestNotePanel(this);
    m_notePanel->setFixedWidth(260);
    connect(m_notePanel, &data::TestNotePanel::edited, this, [this] {
        platform::runGuarded(this, [&] { storeShownNote(); });
    });
    tests->addWidget(m_notePanel, 0, Qt::AlignTop);
    column->addLayout(tests, 4);
    column->addWidget(DBNavigator2);
    // The grids are bound to their tables at the window's first showing.
}

TForm4::~TForm4() = default;

void TForm4::bindGrids()
{
    m_spModel = new data::TableModel(m_tables.SPTable, this);
    m_profilModel = new data::TableModel(m_tables.ProfilTable, this);
    m_testModel = new data::TableModel(m_tables.TestTable, this);
    DBGrid3->setTableModel(m_spModel);
    DBGrid2->setTableModel(m_profilModel);
    DBGrid1->setTableModel(m_testModel);
    const int exercise = m_testModel->fieldIndex(QStringLiteral("Exercise"));
    if (exercise >= 0)
        DBGrid1->setColumnWidth(exercise, 186);
    for (data::TableModel *model : {m_spModel, m_profilModel, m_testModel})
        data::setDisplayTitles(*model);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        platform::runGuarded(this, [&] { showNoteOfCurrentTest(); });
    });
}

data::DBGrid *TForm4::grid(int number) const
{
    return number == 1 ? DBGrid1 : number == 2 ? DBGrid2 : number == 3 ? DBGrid3 : nullptr;
}

data::DBNavigator *TForm4::navigator(int number) const
{
    return number == 1 ? DBNavigator1 : number == 2 ? DBNavigator2 : number == 3 ? DBNavigator3 : nullptr;
}

void TForm4::refreshGrids()
{
    platform::runGuarded(this, [&] {
        if (!m_testModel)
            bindGrids();
        storeShownNote();
        for (data::DBGrid *grid : {DBGrid3, DBGrid2, DBGrid1}) {
            grid->cancelChanges();
            grid->refresh();
        }
        // The filter stays; what it takes is read anew.  A table that cannot
        // be read leaves the lists as they were: the grid reports it, naming
        // the file.
        try {
            m_filterBar->setChoices(data::filterChoices(m_tables.TestTable.database()));
        } catch (const core::Failure &) {
        }
        applyTestFilter();
    });
}

void TForm4::applyTestFilter()
{
    if (!m_testModel)
        return;
    DBGrid1->postPending();
    const data::TestFilter filter = m_filterBar->filter();
    const QSqlDatabase db = m_tables.TestTable.database();
    QSqlQuery stored(db);
    qint64 storedCount = 0;
    if (stored.exec(QStringLiteral("SELECT COUNT(*) FROM \"TestTable\"")) && stored.next())
        storedCount = stored.value(0).toLongLong();
    stored.finish();
    qint64 shown = storedCount;
    QString condition;
    if (!filter.isEmpty()) {
        const QList<qint64> keys = data::filteredTestNumbers(db, filter);
        condition = store::keepShownKeys(m_tables.TestTable, keys);
        shown = keys.size();
    }
    // The condition names the kept keys, not the keys themselves: the grid
    // is read anew whenever a filter is set.
    if (!condition.isEmpty() || condition != m_testModel->filter()) {
        m_testModel->setFilter(condition);
        DBGrid1->refresh();
    }
    m_filterBar->setShownCount(shown, storedCount);
    showNoteOfCurrentTest();
}

void TForm4::showNoteOfCurrentTest()
{
    storeShownNote();
    const qint64 testnr = DBGrid1->currentKey();
    m_notePanel->showNote(testnr, testnr >= 0 ? store::readTestNote(m_tables.TestTable.database(), testnr) : store::TestNote());
}

void TForm4::storeShownNote()
{
    if (!m_notePanel->isChanged())
        return;
    store::storeTestNote(m_tables.TestTable, m_notePanel->testnr(), m_notePanel->note());
    m_notePanel->markStored();
}

std::optional<bool> TForm4::exportFiltered()
{
    if (m_filterBar->filter().isEmpty())
        return false;
    switch (platform::messageBoxes().askExportScope(
        this, tr("The test grid is filtered. Export the tests as filtered, or all tests?"))) {
    case platform::ExportScope::Filtered:
        return true;
    case platform::ExportScope::All:
        return false;
    case platform::ExportScope::Cancel:
        break;
    }
    return std::nullopt;
}

void TForm4::showEvent(QShowEvent *event)
{
    refreshGrids();
    QDialog::showEvent(event);
}

void TForm4::done(int result)
{
    const bool stored = platform::runGuarded(this, [&] {
        for (data::DBGrid *grid : {DBGrid3, DBGrid2, DBGrid1})
            grid->postPending();
        storeShownNote();
    });
    if (stored)
        QDialog::done(result);
}

void TForm4::BitBtn1Click()
{
    platform::runGuarded(this, [&] { close(); });
}

void TForm4::BitBtn3Click()
{
    platform::runGuarded(this, [&] {
        const QString path = QDir(m_tables.folder()).filePath(data::exportFileName());
        const data::ExportSummary summary = data::exportTestsToFile(path, Query1, [this](int steps) {
            // One step per value written, stopping at the top of the scale.
            const int value = std::min(Gauge1->maximum(), Gauge1->value() + steps);
            if (value != Gauge1->value())
                Gauge1->setValue(value);
        });
        // Otherwise silent: only a text the file could not hold is told.
        const QString notice = data::replacementNotice(summary);
        if (!notice.isEmpty())
            platform::messageBoxes().inform(this, notice);
    });
}

void TForm4::ExportAllButtonClick()
{
    platform::runGuarded(this, [&] {
        const std::optional<bool> filtered = exportFiltered();
        if (!filtered)
            return;
        const QString proposed = QDir(m_tables.folder()).absoluteFilePath(data::fullExportFileName());
        const QString path = QFileDialog::getSaveFileName(this, tr("Export all fields"), proposed,
                                                          tr("CSV files (*.csv);;All files (*)"));
        if (!path.isEmpty())
            exportAllTo(path, *filtered);
    });
}

void TForm4::exportAllTo(const QString &path, bool filtered)
{
    m_tables.TestTable.open();
    storeShownNote();
    qint64 count = 0;
    {
        // A large table takes a moment; the cursor tells so.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        count = data::writeFullExportFile(path, m_tables.TestTable.database(),
                                          filtered ? m_filterBar->filter() : data::TestFilter());
    }
    platform::messageBoxes().inform(
        this, tr("%1 written to \"%2\".")
                  .arg(count == 1 ? tr("1 test") : tr("%1 tests").arg(count),
                       QDir::toNativeSeparators(path)));
}

void TForm4::ExportWorkbookButtonClick()
{
    platform::runGuarded(this, [&] {
        const std::optional<bool> filtered = exportFiltered();
        if (!filtered)
            return;
        const QString proposed = QDir(m_tables.folder()).absoluteFilePath(data::workbookFileName());
        const QString path = QFileDialog::getSaveFileName(this, tr("Export to Excel"), proposed,
                                                          tr("Excel workbooks (*.xlsx);;All files (*)"));
        if (!path.isEmpty())
            exportWorkbookTo(path, *filtered);
    });
}

void TForm4::exportWorkbookTo(const QString &path, bool filtered)
{
    for (store::Table *table : {&m_tables.TestTable, &m_tables.SPTable, &m_tables.ProfilTable})
        table->open();
    storeShownNote();
    data::WorkbookSources sources;
    if (filtered)
        sources.filter = m_filterBar->filter();
    sources.tests = m_tables.TestTable.database();
    sources.athletes = m_tables.SPTable.database();
    sources.profiles = m_tables.ProfilTable.database();
    data::WorkbookSummary summary;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        summary = data::writeWorkbookFile(path, sources);
    }
    platform::messageBoxes().inform(this, data::workbookWrittenMessage(summary, path));
}

void TForm4::ProgressButtonClick()
{
    platform::runGuarded(this, [&] {
        if (!m_progress)
            m_progress = new ProgressWindow(m_tables.TestTable, this);
        m_progress->showAthlete(QString(), QString());
    });
}
