// The filter above the test grid and the note beside it: which tests are
// shown and counted, the filter kept by Refresh, exports "as filtered" or
// whole, and notes stored from the panel.

#include "app/translations.h"
#include "data/dbgrid.h"
#include "data/testfilterbar.h"
#include "data/testnotepanel.h"
#include "data/tform4.h"
#include "model/fullexport.h"
#include "platform/messages.h"
#include "store/testnotes.h"
#include "store/trainingtables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {

class Boxes final : public platform::MessageBoxes {
public:
    void inform(QWidget *, const QString &text) override { shown << text; }
    void titled(QWidget *, const QString &, const QString &text) override { shown << text; }
    void error(QWidget *, const QString &text) override { shown << QStringLiteral("error:") + text; }
    bool confirm(QWidget *, const QString &) override { return true; }
    platform::ExportScope askExportScope(QWidget *, const QString &) override
    {
        ++asked;
        return scope;
    }
    QStringList shown;
    platform::ExportScope scope = platform::ExportScope::Filtered;
    int asked = 0;
};

struct Fixture {
    QTemporaryDir dir;
    store::TrainingTables tables{dir.path()};
    Boxes boxes;
    std::unique_ptr<TForm4> window;

    Fixture()
    {
        platform::setMessageBoxes(&boxes);
        tables.openAll();
        // Tests 1 to 5.
        add("06.12.2026", "Anna", "Berger", "Kniebeuge");
        add("13.12.2026", "Anna", "Berger", "Bankdrücken");
        add("02.01.2027", " Anna ", "Berger", "Kniebeuge");
        add("gestern", "Ben", "Ohm", "Kniebeuge");
        add("20.01.2027", "Ben", "Ohm", "Kniebeuge");
        window = std::make_unique<TForm4>(tables);
        window->show();
    }
    ~Fixture()
    {
        window.reset();
        platform::setMessageBoxes(nullptr);
    }
    void add(const char *date, const char *name, const char *surname, const char *exercise)
    {
        store::Table &t = tables.TestTable;
        t.append();
        t.setFieldText(QStringLiteral("Date"), QString::fromUtf8(date));
        t.setFieldText(QStringLiteral("Name"), QString::fromUtf8(name));
        t.setFieldText(QStringLiteral("Surname"), QString::fromUtf8(surname));
        t.setFieldText(QStringLiteral("Exercise"), QString::fromUtf8(exercise));
        t.post();
    }
    data::TestFilterBar &bar() { return *window->filterBar(); }
    QList<qint64> shownKeys()
    {
        data::DBGrid *grid = window->grid(1);
        QList<qint64> keys;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            keys << grid->model()->index(row, 0).data().toLongLong();
        return keys;
    }
    void choose(const QString &athlete, const QString &exercise, const QDate &from, const QDate &to)
    {
        if (!athlete.isEmpty())
            bar().athletes()->setCurrentIndex(bar().athletes()->findText(athlete));
        if (!exercise.isEmpty())
            bar().exercises()->setCurrentIndex(bar().exercises()->findText(exercise));
        if (from.isValid()) {
            bar().from()->setDate(from);
            bar().fromBox()->setChecked(true);
        }
        if (to.isValid()) {
            bar().to()->setDate(to);
            bar().toBox()->setChecked(true);
        }
    }
};

} // namespace

class TstTestFilter : public QObject {
    Q_OBJECT

private slots:
    void filterShowsAndCounts_data();
    void filterShowsAndCounts();
    void refreshKeepsTheFilter();
    void exportsAsFilteredOrAll_data();
    void exportsAsFilteredOrAll();
    void notePanelStoresTheNote();
    void headingsFollowTheLanguage_data();
    void headingsFollowTheLanguage();
};

void TstTestFilter::filterShowsAndCounts_data()
{
    QTest::addColumn<QString>("athlete");
    QTest::addColumn<QString>("exercise");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QList<qint64>>("shown");
    QTest::addColumn<QString>("count");
    QTest::newRow("no filter") << QString() << QString() << QDate() << QDate() << QList<qint64>{1, 2, 3, 4, 5}
                               << QStringLiteral("5 tests");
    // Blanks around a stored name do not make another athlete.
    QTest::newRow("athlete") << QStringLiteral("Berger, Anna") << QString() << QDate() << QDate()
                             << QList<qint64>{1, 2, 3} << QStringLiteral("3 of 5 tests shown");
    QTest::newRow("exercise") << QString() << QStringLiteral("Kniebeuge") << QDate() << QDate()
                              << QList<qint64>{1, 3, 4, 5} << QStringLiteral("4 of 5 tests shown");
    QTest::newRow("athlete and exercise") << QStringLiteral("Ohm, Ben") << QStringLiteral("Kniebeuge") << QDate()
                                          << QDate() << QList<qint64>{4, 5} << QStringLiteral("2 of 5 tests shown");
    // A date range leaves out a test whose date cannot be read.
    QTest::newRow("from") << QString() << QString() << QDate(2027, 1, 1) << QDate() << QList<qint64>{3, 5}
                          << QStringLiteral("2 of 5 tests shown");
    QTest::newRow("range, both days included") << QString() << QString() << QDate(2026, 12, 13) << QDate(2027, 1, 2)
                                               << QList<qint64>{2, 3} << QStringLiteral("2 of 5 tests shown");
    QTest::newRow("nothing") << QStringLiteral("Ohm, Ben") << QStringLiteral("Bankdrücken") << QDate() << QDate()
                             << QList<qint64>{} << QStringLiteral("0 of 5 tests shown");
}

void TstTestFilter::filterShowsAndCounts()
{
    QFETCH(QString, athlete);
    QFETCH(QString, exercise);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QList<qint64>, shown);
    QFETCH(QString, count);
    Fixture f;
    f.choose(athlete, exercise, from, to);
    QCOMPARE(f.shownKeys(), shown);
    QCOMPARE(f.bar().count()->text(), count);
    QVERIFY2(f.boxes.shown.isEmpty(), qPrintable(f.boxes.shown.join(u'\n')));
}

void TstTestFilter::refreshKeepsTheFilter()
{
    Fixture f;
    f.choose(QStringLiteral("Ohm, Ben"), QString(), QDate(), QDate());
    QCOMPARE(f.shownKeys(), (QList<qint64>{4, 5}));
    // Another station stores a test of the athlete meanwhile.
    store::TrainingTables other(f.dir.path());
    other.openAll();
    other.TestTable.append();
    other.TestTable.setFieldText(QStringLiteral("Name"), QStringLiteral("Ben"));
    other.TestTable.setFieldText(QStringLiteral("Surname"), QStringLiteral("Ohm"));
    other.TestTable.post();
    f.window->refreshGrids();
    QCOMPARE(f.bar().athletes()->currentText(), QStringLiteral("Ohm, Ben"));
    QCOMPARE(f.shownKeys(), (QList<qint64>{4, 5, 6}));
    QCOMPARE(f.bar().count()->text(), QStringLiteral("3 of 6 tests shown"));
}

void TstTestFilter::exportsAsFilteredOrAll_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<int>("rows");
    QTest::newRow("as filtered") << int(platform::ExportScope::Filtered) << 2;
    QTest::newRow("all") << int(platform::ExportScope::All) << 5;
}

void TstTestFilter::exportsAsFilteredOrAll()
{
    QFETCH(int, scope);
    QFETCH(int, rows);
    Fixture f;
    f.choose(QStringLiteral("Ohm, Ben"), QString(), QDate(), QDate());
    f.boxes.scope = platform::ExportScope(scope);
    const QString path = f.dir.filePath(QStringLiteral("out.csv"));
    f.window->exportAllTo(path, scope == int(platform::ExportScope::Filtered));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("\r\n"), rows + 1);
}

void TstTestFilter::notePanelStoresTheNote()
{
    Fixture f;
    data::TestNotePanel &panel = *f.window->notePanel();
    f.window->grid(1)->goToRow(1);
    QCOMPARE(panel.testnr(), 2);
    QVERIFY(panel.valid()->isChecked());
    panel.text()->setText(QStringLiteral("Knie; \"RPE 9\""));
    panel.tester()->setText(QStringLiteral("Jörg"));
    emit panel.tester()->editingFinished();
    panel.valid()->setChecked(false);
    // Moving on shows the next test's (empty) note.
    f.window->grid(1)->goToRow(2);
    QCOMPARE(panel.testnr(), 3);
    QVERIFY(panel.text()->text().isEmpty());
    const store::TestNote stored = store::readTestNote(f.tables.TestTable.database(), 2);
    QCOMPARE(stored, (store::TestNote{QStringLiteral("Knie; \"RPE 9\""), false, QStringLiteral("Jörg")}));
    // Back on test 2 the note is shown as stored.
    f.window->grid(1)->goToRow(1);
    QCOMPARE(panel.text()->text(), stored.text);
    QVERIFY(!panel.valid()->isChecked());
    QVERIFY2(f.boxes.shown.isEmpty(), qPrintable(f.boxes.shown.join(u'\n')));
}

// The last test: German, once installed, stays for the rest of the run.
void TstTestFilter::headingsFollowTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("headings");   // Exercise, RealTime3, TUTTotal
    QTest::newRow("English: the field names") << QStringLiteral("en")
                                              << QStringList{"Exercise", "RealTime3", "TUTTotal"};
    QTest::newRow("German: display titles") << QStringLiteral("de")
                                            << QStringList{"Übung", "Ist-Zeit 3", "TUT gesamt"};
}

void TstTestFilter::headingsFollowTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QStringList, headings);
    QVERIFY(app::installTranslations(language));
    Fixture f;
    QAbstractItemModel *model = f.window->grid(1)->model();
    QStringList shown;
    for (const char *field : {"Exercise", "RealTime3", "TUTTotal"}) {
        const int column = f.window->grid(1)->tableModel()->fieldIndex(QString::fromLatin1(field));
        shown << model->headerData(column, Qt::Horizontal).toString();
    }
    QCOMPARE(shown, headings);
    // The export keeps the field names.
    QVERIFY(data::fullExportHeader().contains(",Exercise,Load,RealTime1,"));
}

QTEST_MAIN(TstTestFilter)
#include "tst_testfilter.moc"
