// The language of the windows: under a German system the captions come out
// German, "--language en" keeps the English ones, Qt's own buttons follow,
// and numbers keep the decimal comma in both.

#include "app/commandline.h"
#include "app/hauptform.h"
#include "app/translations.h"
#include "clock/tform1.h"
#include "data/tform4.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace {

// What `object` shows the user: a window its title, a group box its title,
// a button, label or menu item its caption.
QString shownText(const QObject *object)
{
    if (const auto *action = qobject_cast<const QAction *>(object))
        return action->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(object))
        return button->text();
    if (const auto *group = qobject_cast<const QGroupBox *>(object))
        return group->title();
    if (const auto *label = qobject_cast<const QLabel *>(object))
        return label->text();
    if (const auto *widget = qobject_cast<const QWidget *>(object); widget && widget->isWindow())
        return widget->windowTitle();
    return QStringLiteral("<nothing shown>");
}

QObject *named(QObject *window, const QString &name)
{
    if (window->objectName() == name)
        return window;
    return window->findChild<QObject *>(name);
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void captions_data();
    void captions();

private:
    QTemporaryDir m_folder;
    QString m_previousFolder;
};

void TestLanguage::init()
{
    // The tables live in the working folder.
    m_previousFolder = QDir::currentPath();
    QVERIFY(m_folder.isValid());
    QVERIFY(QDir::setCurrent(m_folder.path()));
}

void TestLanguage::cleanup()
{
    // The next row starts without translations, as a program run does.
    for (QTranslator *translator : QCoreApplication::instance()->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QDir::setCurrent(m_previousFolder);
}

void TestLanguage::captions_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");

    // The test runs under a German system (LANG and LANGUAGE set by ctest).
    const struct {
        const char *window;
        const char *name;
        const char *english;
        const char *german;
    } texts[] = {
        {"main", "Daten1", "Data", "Daten"},
        {"main", "Ende1", "Close", "Schließen"},
        {"clock", "BitBtn3", "Save Data ", "Daten speichern"},
        {"clock", "GroupBox4", "Test Profil Settings", "Testprofil-Einstellungen"},
        // The procedure's state, named in English inside, shown in the language.
        {"clock", "pClockB", "BEGIN", "START"},
        {"data", "Form4", "Data source and export", "Datenquelle und Export"},
        {"data", "BitBtn3", "Export to CSV-File ", "Als CSV-Datei exportieren"},
        // Qt's own button, from Qt's translation.
        {"qt", "Cancel", "Cancel", "Abbrechen"},
        // The time under tension of 1,5 + 2,2 s: the comma in either language.
        {"clock", "TUTreal", "3,7", "3,7"},
    };
    for (const auto &t : texts) {
        QTest::addRow("system German: %s %s", t.window, t.name)
            << QStringList{} << "de" << t.window << t.name << QString::fromUtf8(t.german);
        QTest::addRow("--language en: %s %s", t.window, t.name)
            << QStringList{QStringLiteral("--language"), QStringLiteral("en")} << "en" << t.window << t.name
            << QString::fromUtf8(t.english);
    }
}

void TestLanguage::captions()
{
    QFETCH(QStringList, options);
    QFETCH(QString, language);
    QFETCH(QString, window);
    QFETCH(QString, name);
    QFETCH(QString, shown);

    // As the program starts: the command line's language, else the system's.
    const app::CommandLine commandLine = app::parseCommandLine(QStringList{QStringLiteral("korvane")} + options);
    const QString chosen = app::chooseLanguage(commandLine.language);
    QCOMPARE(chosen, language);
    QVERIFY(app::installTranslations(chosen));

    if (window == QLatin1String("qt")) {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), shown);
        return;
    }
    THauptform main;
    main.createWindows();
    QObject *shownIn = &main;
    if (window == QLatin1String("clock")) {
        TForm1 *clock = main.clockWindow();
        clock->Aufwaerts->setText(QStringLiteral("1,5"));
        clock->Abwaerts->setText(QStringLiteral("2,2"));
        clock->HalteOben->setText(QStringLiteral("0,1"));
        clock->HalteUnten->setText(QStringLiteral("0,1"));
        clock->sResetClick();
        shownIn = clock;
    } else if (window == QLatin1String("data")) {
        shownIn = main.dataWindow();
    }
    const QObject *object = named(shownIn, name);
    QVERIFY2(object, qPrintable(name));
    QCOMPARE(shownText(object), shown);
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
