// The language of the windows: under a German system the captions come out
// German, "--language en" keeps the English ones, Qt's own buttons follow,
// and numbers keep the decimal comma in both.

#include "app/commandline.h"
#include "app/hauptform.h"
#include "app/legacyimport.h"
#include "app/translations.h"
#include "clock/tform1.h"
#include "data/tform4.h"
#include "store/layout.h"
#include "store/table.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
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
    void sentences_data();
    void sentences();
    void germanTermsAgree_data();
    void germanTermsAgree();

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
        {"main", "Ende1", "Close", "Beenden"},
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

void TestLanguage::sentences_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("shown"); // %1 stands for the folder

    const QStringList en{QStringLiteral("--language"), QStringLiteral("en")};
    const QStringList de{QStringLiteral("--language"), QStringLiteral("de")};
    // Under the German system, "--language en" keeps every text English
    // byte for byte, also where it comes before the usage error.
    QTest::newRow("help, --language de") << de << "help"
        << "Aufruf: korvane [Optionen]\nTaktet und misst Tests im Krafttraining.\n";
    QTest::newRow("help, --language en") << en << "help"
        << "Usage: korvane [options]\nPaces and times strength-training tests.\n";
    QTest::newRow("option, system German") << QStringList{} << "option" << "Diese Hilfe zeigen und enden.\n";
    QTest::newRow("option, --language en") << en << "option" << "Show this help and end.\n";
    QTest::newRow("usage error, system German") << QStringList{} << "usage"
        << "korvane: Geben Sie entweder --folder oder --user-folder an, nicht beide.\n";
    QTest::newRow("usage error, --language en") << en << "usage"
        << "korvane: Give either --folder or --user-folder, not both.\n";
    QTest::newRow("store failure, system German") << QStringList{} << "store"
        << QString::fromUtf8("Tabellendatei „TestTable.DB“ in %1: sie ist ein Ordner, keine gewöhnliche Datei");
    QTest::newRow("store failure, --language en") << en << "store"
        << "Table file \"TestTable.DB\" in %1: it is a folder, not an ordinary file";
    QTest::newRow("conversion refusal, system German") << QStringList{} << "refusal"
        << QString::fromUtf8("Die Paradox-Tabellen im Ordner\n%1\nkönnen nicht umgewandelt werden:\n\n"
                             "\"testtable.db\": sie heißt wie die Tabelle „TestTable.DB“, ist aber keine "
                             "Paradox-Tabelle (ihr Kopf passt nicht).\n\nIm Ordner wurde nichts geändert. "
                             "Korvane wird beendet.");
    QTest::newRow("conversion refusal, --language en") << en << "refusal"
        << "The Paradox tables in the folder\n%1\ncannot be converted:\n\n\"testtable.db\": it is named like "
           "the table \"TestTable.DB\" but is no Paradox table (its header does not match).\n\nNothing in the "
           "folder was changed. Korvane ends.";
}

void TestLanguage::sentences()
{
    QFETCH(QStringList, options);
    QFETCH(QString, subject);
    QFETCH(QString, shown);

    // As main() prints: the command line read once to learn the language,
    // then read again with the translations installed.
    QStringList arguments{QStringLiteral("korvane")};
    arguments << options;
    if (subject == QLatin1String("help") || subject == QLatin1String("option"))
        arguments << QStringLiteral("--help");
    else if (subject == QLatin1String("usage"))
        arguments << QStringLiteral("--folder") << QStringLiteral("a") << QStringLiteral("--user-folder");
    QVERIFY(app::installTranslations(app::chooseLanguage(app::parseCommandLine(arguments).language)));
    // A folder of its own: the captions leave tables in the shared one.
    QTemporaryDir own;
    QVERIFY(own.isValid());
    QVERIFY(QDir::setCurrent(own.path()));
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());

    QString text;
    if (subject == QLatin1String("help")) {
        text = app::parseCommandLine(arguments).text.left(shown.size());
    } else if (subject == QLatin1String("option")) {
        const QStringList lines = app::parseCommandLine(arguments).text.split(u'\n');
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [](const QString &l) { return l.startsWith(QLatin1String("  -h, --help")); });
        QVERIFY(line != lines.end());
        text = line->mid(line->indexOf(QLatin1String("  "), 12)).trimmed() + u'\n';
    } else if (subject == QLatin1String("usage")) {
        const app::CommandLine commandLine = app::parseCommandLine(arguments);
        QCOMPARE(commandLine.exitCode, 2);
        text = commandLine.text.left(commandLine.text.indexOf(u'\n') + 1);
    } else if (subject == QLatin1String("store")) {
        QVERIFY(QDir().mkdir(QStringLiteral("TestTable.DB")));
        store::Table table(store::testTableLayout(), QStringLiteral("."));
        try {
            table.open();
            QFAIL("a folder in the place of the table file was opened");
        } catch (const core::Failure &failure) {
            text = failure.message();
        }
    } else {
        QFile misnamed(QStringLiteral("testtable.db"));
        QVERIFY(misnamed.open(QIODevice::WriteOnly));
        misnamed.write("not a table");
        misnamed.close();
        const legacy::Survey survey = legacy::surveyFolder(QStringLiteral("."));
        QCOMPARE(survey.refusals.size(), 1);
        text = legacy::refusalMessage(QStringLiteral("."), survey.refusals);
    }
    QCOMPARE(text, shown.contains(QLatin1String("%1")) ? shown.arg(folder) : shown);
}

void TestLanguage::germanTermsAgree_data()
{
    QTest::addColumn<QStringList>("texts");   // "context|source" of each place the quantity is named
    QTest::addColumn<QString>("term");        // in each German text; empty: the texts are the same

    const auto places = [](std::initializer_list<const char *> list) {
        QStringList texts;
        for (const char *text : list)
            texts << QString::fromLatin1(text);
        return texts;
    };
    QTest::newRow("real time") << places({"TForm1|Real Time in s", "ProgressWindow|Real time per set",
                                          "TestReport|Real time in s", "TestReport|Real time per set in s"})
                               << QStringLiteral("Ist-Zeit");
    QTest::newRow("rest after the to-phase") << places({"Settings|Rest after To-Phase", "TForm1|Rest after To-Phase",
                                                        "Phases|Rest after To-Phase", "TestReport|Rest after To-Phase"})
                                             << QString();
    QTest::newRow("rest after the fro-phase")
        << places({"Settings|Rest after Fro-Phase", "TForm1|Rest after Fro-Phase", "Phases|Rest after Fro-Phase",
                   "TestReport|Rest after Fro-Phase"})
        << QString();
    QTest::newRow("completed set") << places({"TestReport|completed"}) << QString::fromUtf8("vollständig");
    QTest::newRow("set never run") << places({"TestReport|not run"}) << QStringLiteral("nicht durchgeführt");
    QTest::newRow("the menu's Close") << places({"THauptform|Close"}) << QStringLiteral("Beenden");
}

void TestLanguage::germanTermsAgree()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, term);
    QVERIFY(app::installTranslations(QStringLiteral("de")));
    QString first;
    for (const QString &place : texts) {
        const QByteArray context = place.section(u'|', 0, 0).toUtf8();
        const QByteArray source = place.section(u'|', 1).toUtf8();
        const QString german = QCoreApplication::translate(context.constData(), source.constData());
        QVERIFY2(german != QString::fromUtf8(source), qPrintable(place + QStringLiteral(": not translated")));
        if (!term.isEmpty())
            QVERIFY2(german.contains(term), qPrintable(place + QStringLiteral(": ") + german));
        else if (first.isEmpty())
            first = german;
        else
            QCOMPARE(german, first);
    }
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
