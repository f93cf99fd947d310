// The data window: its controls, editing in the grids through the navigators,
// storing a pending edit on close, deleting with confirmation, the export
// button with its progress bar, and the main window's "Data" command.

#include "app/hauptform.h"
#include "model/csvexport.h"
#include "data/dbgrid.h"
#include "data/dbnavigator.h"
#include "data/tform4.h"
#include "platform/messages.h"
#include "store/trainingtables.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

class Boxes final : public platform::MessageBoxes {
public:
    void inform(QWidget *, const QString &text) override { shown << QStringLiteral("inform:") + text; }
    void titled(QWidget *, const QString &, const QString &text) override { shown << QStringLiteral("titled:") + text; }
    void error(QWidget *, const QString &text) override { shown << QStringLiteral("error:") + text; }
    bool confirm(QWidget *, const QString &text) override
    {
        shown << QStringLiteral("confirm:") + text;
        return answer;
    }
    QStringList shown;
    bool answer = true;
};

// Tables in a folder of their own, a window over them and recorded boxes.
struct Fixture {
    QTemporaryDir dir;
    store::TrainingTables tables{dir.path()};
    Boxes boxes;
    std::unique_ptr<TForm4> window;

    Fixture()
    {
        platform::setMessageBoxes(&boxes);
        tables.openAll();
    }
    ~Fixture()
    {
        window.reset();
        platform::setMessageBoxes(nullptr);
    }
    void addAthlete(const QString &name)
    {
        tables.SPTable.append();
        tables.SPTable.setFieldText(QStringLiteral("Name"), name);
        tables.SPTable.post();
    }
    void addTest(const QString &name)
    {
        tables.TestTable.append();
        tables.TestTable.setFieldText(QStringLiteral("Name"), name);
        tables.TestTable.post();
    }
    TForm4 &show()
    {
        if (!window)
            window = std::make_unique<TForm4>(tables);
        window->show();
        return *window;
    }
    // The names as stored, read through a second set of tables.
    QStringList storedNames(const QString &tableFile)
    {
        store::TrainingTables other(dir.path());
        other.openAll();
        store::Table &table = tableFile == QLatin1String("SPTable.db") ? other.SPTable : other.TestTable;
        QStringList names;
        for (table.first(); !table.eof(); table.next())
            names << table.fieldText(QStringLiteral("Name"));
        return names;
    }
};

// Opens the cell editor and types `text` into it, without leaving the cell.
void typeInto(data::DBGrid *grid, int row, int column, const QString &text)
{
    const QModelIndex cell = grid->model()->index(row, column);
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    QLineEdit *editor = nullptr;
    for (QLineEdit *candidate : grid->findChildren<QLineEdit *>()) {
        if (candidate->isVisible())
            editor = candidate;
    }
    QVERIFY(editor);
    editor->setText(text);
}

void click(TForm4 &window, int navigator, const char *button)
{
    QToolButton *b = window.navigator(navigator)->button(QString::fromUtf8(button));
    QVERIFY2(b, button);
    b->click();
}

} // namespace

class TstTForm4 : public QObject {
    Q_OBJECT

private slots:
    void controls();
    void editIsStored_data();
    void editIsStored();
    void editIsStoredWhenTheUserSelectsAnotherRow();
    void insertThroughTheNavigator();
    void insertWithoutTypingIsDropped();
    void cancelDropsTheEdit();
    void navigatorsActFromTheFirstClick_data();
    void navigatorsActFromTheFirstClick();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void refusedEditOnCloseKeepsTheWindowOpen();
    void gridsShowWhatWasStoredMeanwhile();
    void tablesStoreWhileAGridHoldsUnreadRows();
    void exportWritesTheFileAndMovesTheGauge();
    void exportTellsOfReplacedCharacters();
    void refreshKeepsTheCurrentRecord_data();
    void refreshKeepsTheCurrentRecord();
    void editOfARemovedFileIsExplained();
    void damagedPageIsReportedWhenTheGridReadsIt();
    void dataMenuOpensTheTablesAndShowsTheWindow();
    void damagedTableKeepsTheMainWindowFromStarting();
};

void TstTForm4::controls()
{
    Fixture f;
    TForm4 &w = f.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("Data source and export"));
    QCOMPARE(w.size(), QSize(988, 774));
    QCOMPARE(w.palette().color(QPalette::Window), QColor(230, 242, 231));
    auto *export3 = w.findChild<QPushButton *>(QStringLiteral("BitBtn3"));
    QVERIFY(export3);
    QCOMPARE(export3->text(), QStringLiteral("Export to CSV-File "));
    QVERIFY(export3->font().bold());
    QVERIFY(!export3->icon().isNull());
    auto *close1 = w.findChild<QPushButton *>(QStringLiteral("BitBtn1"));
    QVERIFY(close1 && close1->text().isEmpty() && !close1->icon().isNull());
    QCOMPARE(w.gauge()->objectName(), QStringLiteral("Gauge1"));
    QCOMPARE(w.gauge()->minimum(), 0);
    QCOMPARE(w.gauge()->maximum(), 100);
    QCOMPARE(w.gauge()->value(), 0);
    QVERIFY(w.gauge()->isTextVisible());

    const struct {
        int grid;
        const char *name;
        const store::Layout &layout;
    } grids[] = {{1, "DBGrid1", store::testTableLayout()},
                 {2, "DBGrid2", store::profilLayout()},
                 {3, "DBGrid3", store::spTableLayout()}};
    for (const auto &g : grids) {
        data::DBGrid *grid = w.grid(g.grid);
        QCOMPARE(grid->objectName(), QString::fromUtf8(g.name));
        QCOMPARE(grid->model()->columnCount(), g.layout.fields.size());
        for (int c = 0; c < g.layout.fields.size(); ++c)
            QCOMPARE(grid->model()->headerData(c, Qt::Horizontal).toString(), g.layout.fields.at(c).name);
        QCOMPARE(w.navigator(g.grid)->objectName(), QStringLiteral("DBNavigator%1").arg(g.grid));
    }
    QCOMPARE(w.grid(1)->columnWidth(7), 186);
    for (const char *button : {"First", "Prior", "Next", "Last", "Insert", "Delete", "Edit", "Post", "Cancel", "Refresh"})
        QVERIFY2(w.navigator(2)->button(QString::fromUtf8(button)), button);
}

void TstTForm4::editIsStored_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("post button") << QStringLiteral("post");
    QTest::newRow("next button") << QStringLiteral("next");
    QTest::newRow("closing the window") << QStringLiteral("close");
    QTest::newRow("edit button, then post") << QStringLiteral("edit");
}

void TstTForm4::editIsStored()
{
    QFETCH(QString, how);
    Fixture f;
    f.addAthlete(QStringLiteral("Alt"));
    f.addAthlete(QStringLiteral("Zwei"));
    TForm4 &w = f.show();
    if (how == QLatin1String("edit")) {
        w.grid(3)->goToRow(0);
        click(w, 3, "Edit");   // opens the first cell that can be edited
        QLineEdit *editor = nullptr;
        for (QLineEdit *candidate : w.grid(3)->findChildren<QLineEdit *>()) {
            if (candidate->isVisible())
                editor = candidate;
        }
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("Alt"));
        editor->setText(QStringLiteral("Neu"));
    } else {
        typeInto(w.grid(3), 0, 1, QStringLiteral("Neu"));
    }
    QCOMPARE(f.storedNames(QStringLiteral("SPTable.db")), (QStringList{QStringLiteral("Alt"), QStringLiteral("Zwei")}));
    if (how == QLatin1String("post") || how == QLatin1String("edit"))
        click(w, 3, "Post");
    else if (how == QLatin1String("next"))
        click(w, 3, "Next");
    else
        w.BitBtn1Click();
    QCOMPARE(f.boxes.shown, QStringList());
    QCOMPARE(f.storedNames(QStringLiteral("SPTable.db")), (QStringList{QStringLiteral("Neu"), QStringLiteral("Zwei")}));
    if (how == QLatin1String("next"))
        QCOMPARE(w.grid(3)->currentRow(), 1);
    QCOMPARE(w.isVisible(), how != QLatin1String("close"));
    // The clock window's table sees the stored edit.
    QVERIFY(f.tables.SPTable.findKey(1));
    QCOMPARE(f.tables.SPTable.fieldText(QStringLiteral("Name")), QStringLiteral("Neu"));
}

void TstTForm4::editIsStoredWhenTheUserSelectsAnotherRow()
{
    Fixture f;
    f.addTest(QStringLiteral("a"));
    f.addTest(QStringLiteral("b"));
    TForm4 &w = f.show();
    data::DBGrid *grid = w.grid(1);
    typeInto(grid, 1, 3, QStringLiteral("B"));
    grid->setCurrentIndex(grid->model()->index(0, 3));
    QTRY_COMPARE(f.storedNames(QStringLiteral("TestTable.DB")), (QStringList{QStringLiteral("a"), QStringLiteral("B")}));
    QCOMPARE(grid->currentRow(), 0);
}

void TstTForm4::insertThroughTheNavigator()
{
    Fixture f;
    f.addAthlete(QStringLiteral("Erste"));
    TForm4 &w = f.show();
    click(w, 3, "Insert");
    data::DBGrid *grid = w.grid(3);
    QLineEdit *editor = nullptr;
    for (QLineEdit *candidate : grid->findChildren<QLineEdit *>()) {
        if (candidate->isVisible())
            editor = candidate;
    }
    QVERIFY2(editor, "insert opens the new record's first cell");
    editor->setText(QStringLiteral("Zweite"));
    click(w, 3, "Post");
    QCOMPARE(f.boxes.shown, QStringList());
    QCOMPARE(f.storedNames(QStringLiteral("SPTable.db")), (QStringList{QStringLiteral("Erste"), QStringLiteral("Zweite")}));
    QVERIFY(f.tables.SPTable.findKey(2));
    QCOMPARE(f.tables.SPTable.fieldText(QStringLiteral("Name")), QStringLiteral("Zweite"));
    QCOMPARE(grid->model()->rowCount(), 2);
}

void TstTForm4::insertWithoutTypingIsDropped()
{
    Fixture f;
    f.addAthlete(QStringLiteral("Erste"));
    TForm4 &w = f.show();
    click(w, 3, "Insert");
    click(w, 3, "Next");
    w.BitBtn1Click();
    QVERIFY(!w.isVisible());
    QCOMPARE(f.storedNames(QStringLiteral("SPTable.db")), QStringList{QStringLiteral("Erste")});
}

void TstTForm4::cancelDropsTheEdit()
{
    Fixture f;
    f.addAthlete(QStringLiteral("Alt"));
    TForm4 &w = f.show();
    typeInto(w.grid(3), 0, 1, QStringLiteral("Neu"));
    click(w, 3, "Cancel");
    w.BitBtn1Click();
    QCOMPARE(f.storedNames(QStringLiteral("SPTable.db")), QStringList{QStringLiteral("Alt")});
    QCOMPARE(w.grid(3)->model()->index(0, 1).data().toString(), QStringLiteral("Alt"));
}

void TstTForm4::navigatorsActFromTheFirstClick_data()
{
    // Each row: the navigator buttons clicked after the window is shown
    // ("close" closes and shows it again), then the athletes stored and the
    // one the grid stands on.
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("current");
    const QStringList all{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QTest::newRow("next goes to the second") << QStringList{QStringLiteral("Next")} << all << QStringLiteral("b");
    QTest::newRow("prior stays on the first") << QStringList{QStringLiteral("Prior")} << all << QStringLiteral("a");
    QTest::newRow("delete deletes the first")
        << QStringList{QStringLiteral("Delete")} << QStringList{QStringLiteral("b"), QStringLiteral("c")}
        << QStringLiteral("b");
    QTest::newRow("edit edits the first")
        << QStringList{QStringLiteral("Edit"), QStringLiteral("Post")}
        << QStringList{QStringLiteral("a!"), QStringLiteral("b"), QStringLiteral("c")} << QStringLiteral("a!");
    QTest::newRow("shown again on the record left")
        << QStringList{QStringLiteral("Next"), QStringLiteral("close"), QStringLiteral("Next")} << all
        << QStringLiteral("c");
}

void TstTForm4::navigatorsActFromTheFirstClick()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, stored);
    QFETCH(QString, current);
    Fixture f;
    for (const QString &name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
        f.addAthlete(name);
        f.addTest(name);
    }
    TForm4 &w = f.show();
    // Every grid over records stands on its first; the empty one on none.
    QCOMPARE(w.grid(1)->currentRow(), 0);
    QCOMPARE(w.grid(3)->currentRow(), 0);
    QCOMPARE(w.grid(2)->currentRow(), -1);
    for (const QString &button : clicks) {
        if (button == QLatin1String("close")) {
            w.BitBtn1Click();
            f.show();
            continue;
        }
        click(w, 3, button.toUtf8().constData());
        if (button == QLatin1String("Edit")) {
            QLineEdit *editor = nullptr;
            for (QLineEdit *candidate : w.grid(3)->findChildren<QLineEdit *>()) {
                if (candidate->isVisible())
                    editor = candidate;
            }
            QVERIFY(editor);
            editor->setText(editor->text() + u'!');
        }
    }
    QCOMPARE(f.boxes.shown, clicks.contains(QStringLiteral("Delete"))
                                ? QStringList{QStringLiteral("confirm:Datensatz löschen?")}
                                : QStringList());
    QCOMPARE(f.storedNames(QStringLiteral("SPTable.db")), stored);
    QCOMPARE(w.grid(3)->currentIndex().siblingAtColumn(1).data().toString(), current);
}

void TstTForm4::deleteAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("no") << false;
    QTest::newRow("yes") << true;
}

void TstTForm4::deleteAsksFirst()
{
    QFETCH(bool, yes);
    Fixture f;
    f.addTest(QStringLiteral("a"));
    f.addTest(QStringLiteral("b"));
    f.addTest(QStringLiteral("c"));
    TForm4 &w = f.show();
    w.grid(1)->goToRow(1);
    f.boxes.answer = yes;
    click(w, 2, "Delete");
    QCOMPARE(f.boxes.shown, QStringList{QStringLiteral("confirm:Datensatz löschen?")});
    const QStringList expected = yes ? QStringList{QStringLiteral("a"), QStringLiteral("c")}
                                     : QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QCOMPARE(f.storedNames(QStringLiteral("TestTable.DB")), expected);
    QCOMPARE(w.grid(1)->model()->rowCount(), expected.size());
}

void TstTForm4::refusedEditOnCloseKeepsTheWindowOpen()
{
    Fixture f;
    f.addTest(QStringLiteral("a"));
    TForm4 &w = f.show();
    // ProfilNr holds a whole number only.
    typeInto(w.grid(1), 0, 2, QStringLiteral("drei"));
    w.BitBtn1Click();
    QCOMPARE(f.boxes.shown.size(), 1);
    QVERIFY2(f.boxes.shown.first().startsWith(QStringLiteral("error:")), qPrintable(f.boxes.shown.first()));
    QVERIFY2(f.boxes.shown.first().contains(QStringLiteral("TestTable")), qPrintable(f.boxes.shown.first()));
    QVERIFY(w.isVisible());
    click(w, 2, "Cancel");
    w.BitBtn1Click();
    QVERIFY(!w.isVisible());
    QCOMPARE(f.boxes.shown.size(), 1);
}

void TstTForm4::gridsShowWhatWasStoredMeanwhile()
{
    Fixture f;
    TForm4 &w = f.show();
    QCOMPARE(w.grid(1)->model()->rowCount(), 0);
    w.BitBtn1Click();
    f.addTest(QStringLiteral("neu"));
    f.show();
    QCOMPARE(w.grid(1)->model()->rowCount(), 1);
    QCOMPARE(w.grid(1)->model()->index(0, 3).data().toString(), QStringLiteral("neu"));
}

void TstTForm4::tablesStoreWhileAGridHoldsUnreadRows()
{
    Fixture f;
    QSqlDatabase db = f.tables.TestTable.database();
    QVERIFY(db.transaction());
    QSqlQuery insert(db);
    QVERIFY(insert.prepare(QStringLiteral("INSERT INTO TestTable (Name) VALUES (?)")));
    for (int i = 0; i < 2000; ++i) {
        insert.addBindValue(QStringLiteral("t%1").arg(i));
        QVERIFY(insert.exec());
    }
    QVERIFY(db.commit());
    TForm4 &w = f.show();
    // The grid reads rows as they are scrolled to, so it has not read them all.
    QVERIFY(w.grid(1)->model()->rowCount() < 2000);
    QVERIFY(w.grid(1)->tableModel()->canFetchMore());
    w.BitBtn1Click();
    f.addTest(QStringLiteral("saved later"));
    QCOMPARE(f.tables.TestTable.fieldText(QStringLiteral("Testnr")), QStringLiteral("2001"));
    const QStringList names = f.storedNames(QStringLiteral("TestTable.DB"));
    QCOMPARE(names.size(), 2001);
    QCOMPARE(names.last(), QStringLiteral("saved later"));
    // The export sees it too, with the grid still holding its rows.
    w.BitBtn3Click();
    QCOMPARE(f.boxes.shown, QStringList());
    QFile file(f.dir.filePath(QStringLiteral("Korvane.csv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count('\n'), 2002);
}

void TstTForm4::exportWritesTheFileAndMovesTheGauge()
{
    Fixture f;
    f.addTest(QStringLiteral("eins"));
    TForm4 &w = f.show();
    const QString path = f.dir.filePath(QStringLiteral("Korvane.csv"));
    w.BitBtn3Click();
    QCOMPARE(w.gauge()->value(), 53);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), data::exportHeader() + QByteArray("1; ; ; eins; ") + QByteArray("; ").repeated(49) + "\r\n");
    file.close();

    w.BitBtn3Click();   // never set back: it goes on from 53 and stops at 100
    QCOMPARE(w.gauge()->value(), 100);
    w.BitBtn3Click();
    QCOMPARE(w.gauge()->value(), 100);
    QCOMPARE(f.boxes.shown, QStringList());

    // A file that cannot be made is reported; the window goes on.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("Korvane.csv")));
    w.BitBtn3Click();
    QCOMPARE(f.boxes.shown.size(), 1);
    QVERIFY2(f.boxes.shown.first().contains(QStringLiteral("Korvane.csv")), qPrintable(f.boxes.shown.first()));
    QVERIFY(w.isVisible());
}

void TstTForm4::exportTellsOfReplacedCharacters()
{
    Fixture f;
    f.addTest(QStringLiteral("Łukasz"));
    f.addTest(QStringLiteral("Anna"));
    f.addTest(QStringLiteral("Сергей"));
    TForm4 &w = f.show();
    w.BitBtn3Click();
    QCOMPARE(f.boxes.shown.size(), 1);
    QVERIFY2(f.boxes.shown.first().startsWith(QStringLiteral("inform:\"Korvane.csv\" was written. 2 values hold")),
             qPrintable(f.boxes.shown.first()));
    QFile file(f.dir.filePath(QStringLiteral("Korvane.csv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains("1; ; ; ?ukasz; "));
    QVERIFY(bytes.contains("3; ; ; ??????; "));
}

void TstTForm4::refreshKeepsTheCurrentRecord_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("new record posted in the grid") << QStringLiteral("insert");
    QTest::newRow("an earlier record deleted elsewhere") << QStringLiteral("delete");
    QTest::newRow("new record stored by moving to another") << QStringLiteral("insert and move");
}

void TstTForm4::refreshKeepsTheCurrentRecord()
{
    QFETCH(QString, change);
    Fixture f;
    for (const char *name : {"a", "b", "c"})
        f.addTest(QString::fromUtf8(name));
    TForm4 &w = f.show();
    data::DBGrid *grid = w.grid(1);
    QString expected;
    if (change == QLatin1String("insert")) {
        // Begun on the first row, the new record sorts to the end once stored.
        grid->goToRow(0);
        click(w, 2, "Insert");
        typeInto(grid, 0, 3, QStringLiteral("neu"));
        click(w, 2, "Post");
        expected = QStringLiteral("neu");
    } else if (change == QLatin1String("insert and move")) {
        // Rows: the begun record, a, b, c; moving to b stores the new one.
        grid->goToRow(0);
        click(w, 2, "Insert");
        typeInto(grid, 0, 3, QStringLiteral("neu"));
        grid->setCurrentIndex(grid->model()->index(2, 3));
        QTRY_COMPARE(f.storedNames(QStringLiteral("TestTable.DB")).size(), 4);
        expected = QStringLiteral("b");
    } else {
        grid->goToRow(1);
        QSqlQuery remove(f.tables.TestTable.database());
        QVERIFY(remove.exec(QStringLiteral("DELETE FROM TestTable WHERE Testnr = 1")));
        expected = QStringLiteral("b");
    }
    QCOMPARE(f.boxes.shown, QStringList());
    const auto currentName = [grid] { return grid->currentIndex().siblingAtColumn(3).data().toString(); };
    if (change != QLatin1String("delete"))
        QCOMPARE(currentName(), expected);
    click(w, 2, "Refresh");
    QCOMPARE(currentName(), expected);
    QCOMPARE(f.boxes.shown, QStringList());
}

void TstTForm4::editOfARemovedFileIsExplained()
{
    Fixture f;
    f.addAthlete(QStringLiteral("Alt"));
    TForm4 &w = f.show();
#ifdef Q_OS_WIN
    QSKIP("Windows removes no file that is open (store_tst_table checks that the table then goes on)");
#endif
    QVERIFY(QFile::remove(f.dir.filePath(QStringLiteral("SPTable.db"))));
    typeInto(w.grid(3), 0, 1, QStringLiteral("Neu"));
    click(w, 3, "Post");
    QCOMPARE(f.boxes.shown.size(), 1);
    QVERIFY2(f.boxes.shown.first().contains(QStringLiteral("\"SPTable.db\"")), qPrintable(f.boxes.shown.first()));
    QVERIFY2(f.boxes.shown.first().contains(QStringLiteral("removed or replaced")), qPrintable(f.boxes.shown.first()));
    // The change stays in the grid.
    QVERIFY(w.grid(3)->hasPendingChanges());
    QCOMPARE(w.grid(3)->model()->index(0, 1).data().toString(), QStringLiteral("Neu"));
}

void TstTForm4::damagedPageIsReportedWhenTheGridReadsIt()
{
    // The start does not read every page; the grid that reads the damaged
    // one says so instead of ending the rows there without a word.
    auto f = std::make_unique<Fixture>();
    const QString path = f->dir.filePath(QStringLiteral("TestTable.DB"));
    QSqlDatabase db = f->tables.TestTable.database();
    QVERIFY(db.transaction());
    QSqlQuery insert(db);
    QVERIFY(insert.prepare(QStringLiteral("INSERT INTO TestTable (Name, Exercise) VALUES (?, ?)")));
    for (int i = 0; i < 2000; ++i) {
        insert.addBindValue(QStringLiteral("t%1").arg(i));
        insert.addBindValue(QStringLiteral("x").repeated(200));
        QVERIFY(insert.exec());
    }
    QVERIFY(db.commit());
    insert = QSqlQuery();
    db = QSqlDatabase();
    const QString folder = f->dir.path();
    f->dir.setAutoRemove(false);
    f.reset();

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    for (int i = 60 * 4096; i < 61 * 4096; ++i)
        bytes[i] = char(0x5A ^ (i * 7));
    QVERIFY(file.seek(0));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();

    {
        Boxes boxes;
        platform::setMessageBoxes(&boxes);
        store::TrainingTables tables(folder);
        tables.openAll();
        TForm4 w(tables);
        w.show();
        w.navigator(2)->button(QStringLiteral("Last"))->click();
        QTRY_COMPARE(boxes.shown.size(), 1);
        QVERIFY2(boxes.shown.first().startsWith(QStringLiteral("error:\"TestTable.DB\"")), qPrintable(boxes.shown.first()));
        QVERIFY2(boxes.shown.first().contains(QStringLiteral("damaged")), qPrintable(boxes.shown.first()));
        QVERIFY(w.grid(1)->model()->rowCount() < 2000);
        platform::setMessageBoxes(nullptr);
    }
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), bytes);
    QDir(folder).removeRecursively();
}

void TstTForm4::dataMenuOpensTheTablesAndShowsTheWindow()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    {
        Boxes boxes;
        platform::setMessageBoxes(&boxes);
        THauptform main;
        TForm4 window(main.tables());
        main.setWindows(nullptr, &window);
        QVERIFY(main.tables().TestTable.isOpen());
        main.tables().TestTable.close();
        main.tables().ProfilTable.close();
        bool shownWithOpenTables = false;
        QTimer::singleShot(0, &window, [&] {
            shownWithOpenTables = window.isVisible() && main.tables().TestTable.isOpen()
                && main.tables().ProfilTable.isOpen() && main.tables().SPTable.isOpen();
            window.BitBtn1Click();
        });
        main.Daten1Click();
        QVERIFY(shownWithOpenTables);
        QCOMPARE(boxes.shown, QStringList());
        platform::setMessageBoxes(nullptr);
    }
    QVERIFY(QDir::setCurrent(previous));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("TestTable.DB"))));
}

void TstTForm4::damagedTableKeepsTheMainWindowFromStarting()
{
    QTemporaryDir dir;
    QFile bad(dir.filePath(QStringLiteral("Profil.db")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("not a table\n").repeated(100));
    bad.close();
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QString message;
    try {
        THauptform main;
    } catch (const store::StoreError &error) {
        message = error.message();
    }
    QVERIFY(QDir::setCurrent(previous));
    QVERIFY2(message.contains(QStringLiteral("Profil.db")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("not a database")), qPrintable(message));
}

QTEST_MAIN(TstTForm4)
#include "tst_tform4.moc"
