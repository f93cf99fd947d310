#pragma once

#include "store/query.h"

#include <QDialog>

#include <optional>

class QProgressBar;
class QPushButton;
class ProgressWindow;

namespace store { class TrainingTables; }
namespace data {
class DBGrid;
class DBNavigator;
class TableModel;
class TestFilterBar;
class TestNotePanel;
struct TestFilter;
}

// The data window: the three tables in editable grids with their navigators,
// and the export of the stored tests to "Korvane.csv".
class TForm4 : public QDialog {
    Q_OBJECT
public:
    // The tables must be open before the window is first shown.
    explicit TForm4(store::TrainingTables &tables, QWidget *parent = nullptr);
    ~TForm4() override;

    data::DBGrid *grid(int number) const;            // DBGrid1 to DBGrid3
    data::DBNavigator *navigator(int number) const;  // DBNavigator1 to DBNavigator3
    QProgressBar *gauge() const { return Gauge1; }

    // The export's query over the test table; left open after an export.
    store::Query Query1;

public slots:
    void BitBtn1Click();
    void BitBtn3Click();
    // Reads the three tables anew, so the grids show what is stored now;
    // each stays on its record, or stands on its first when it had none.
    void refreshGrids();
    // "Export all fields...": asks for a file name and writes every stored
    // test with all its fields (exportAllTo).
    void ExportAllButtonClick();
    // "Export to Excel...": asks for a file name and writes the workbook of
    // the tables (exportWorkbookTo).
    void ExportWorkbookButtonClick();
    // "Progress...": the progress window over the stored tests.
    void ProgressButtonClick();
    // "Report...": the report of the current test in a print preview.
    void ReportButtonClick();
    // Closing stores a change still pending in a grid; a refused change is
    // reported and the window stays open.
    void done(int result) override;

public:
    // Writes the complete export to `path` and reports how many tests it
    // holds; a failure throws core::Failure and keeps an older file.  With
    // `filtered`, only the tests the filter shows.
    void exportAllTo(const QString &path, bool filtered = false);
    // Writes the workbook to `path` and reports what it holds; a failure
    // throws core::Failure and keeps an older file.
    void exportWorkbookTo(const QString &path, bool filtered = false);
    data::TestFilterBar *filterBar() const { return m_filterBar; }
    data::TestNotePanel *notePanel() const { return m_notePanel; }
    // Shows the tests the filter takes, and how many they are.
    void applyTestFilter();
    // Stores the note being edited when it changed; then shows the note of
    // the current test.
    void showNoteOfCurrentTest();
    void storeShownNote();
    ProgressWindow *progressWindow() const { return m_progress; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void bindGrids();
    // Before an export while the tests are filtered: whether it takes those
    // shown; nothing when the export was called off.
    std::optional<bool> exportFiltered();

    store::TrainingTables &m_tables;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn3 = nullptr;
    QPushButton *ExportAllButton = nullptr;
    QPushButton *ExportWorkbookButton = nullptr;
    QPushButton *ProgressButton = nullptr;
    QPushButton *ReportButton = nullptr;
    ProgressWindow *m_progress = nullptr;
    QProgressBar *Gauge1 = nullptr;
    data::DBGrid *DBGrid1 = nullptr;
    data::DBGrid *DBGrid2 = nullptr;
    data::DBGrid *DBGrid3 = nullptr;
    data::DBNavigator *DBNavigator1 = nullptr;
    data::DBNavigator *DBNavigator2 = nullptr;
    data::DBNavigator *DBNavigator3 = nullptr;
    data::TableModel *m_testModel = nullptr;
    data::TableModel *m_profilModel = nullptr;
    data::TableModel *m_spModel = nullptr;
    data::TestFilterBar *m_filterBar = nullptr;
    data::TestNotePanel *m_notePanel = nullptr;
};
