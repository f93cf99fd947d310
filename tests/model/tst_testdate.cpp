// Reading the stored test date in its own form and in the older forms
// stations wrote before, whatever the locale of the process.

#include "model/testdate.h"

#include <QLocale>
#include <QTest>

class TstTestDate : public QObject {
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void storedFormIsReadBack_data();
    void storedFormIsReadBack();
};

void TstTestDate::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("iso");   // empty when not a date
    QTest::newRow("dd.mm.yyyy") << QStringLiteral("06.12.2026") << QStringLiteral("2026-12-06");
    QTest::newRow("one-digit day and month") << QStringLiteral("6.1.2026") << QStringLiteral("2026-01-06");
    QTest::newRow("blanks around") << QStringLiteral(" 06.12.2026 ") << QStringLiteral("2026-12-06");
    QTest::newRow("German short form") << QStringLiteral("08.12.26") << QStringLiteral("2026-12-08");
    QTest::newRow("German short form, one-digit day") << QStringLiteral("8.1.26") << QStringLiteral("2026-01-08");
    QTest::newRow("two-digit year of the last century") << QStringLiteral("06.12.98") << QStringLiteral("1998-12-06");
    QTest::newRow("two-digit year 19 ahead") << QStringLiteral("1.1.45") << QStringLiteral("2045-01-01");
    QTest::newRow("two-digit year 80 back") << QStringLiteral("1.1.46") << QStringLiteral("1946-01-01");
    QTest::newRow("ISO") << QStringLiteral("2026-12-08") << QStringLiteral("2026-12-08");
    QTest::newRow("British short form") << QStringLiteral("08/12/2026") << QStringLiteral("2026-12-08");
    QTest::newRow("British short form, one-digit day") << QStringLiteral("8/1/2026") << QStringLiteral("2026-01-08");
    QTest::newRow("US short form") << QStringLiteral("12/8/26") << QStringLiteral("2026-12-08");
    QTest::newRow("US short form, day past 12") << QStringLiteral("1/31/27") << QStringLiteral("2027-01-31");
    QTest::newRow("C locale form") << QStringLiteral("6 Dec 2026") << QStringLiteral("2026-12-06");
    QTest::newRow("not a day") << QStringLiteral("31.02.2026") << QStringLiteral("");
    QTest::newRow("US form with month 13") << QStringLiteral("13/8/26") << QStringLiteral("");
    QTest::newRow("British form, not a day") << QStringLiteral("31/02/2026") << QStringLiteral("");
    QTest::newRow("three-digit year") << QStringLiteral("06.12.202") << QStringLiteral("");
    QTest::newRow("ISO with one-digit month") << QStringLiteral("2026-1-08") << QStringLiteral("");
    QTest::newRow("three-digit day") << QStringLiteral("006.12.2026") << QStringLiteral("");
    QTest::newRow("mixed separators") << QStringLiteral("06.12/2026") << QStringLiteral("");
    QTest::newRow("year zero") << QStringLiteral("01.01.0000") << QStringLiteral("");
    QTest::newRow("words") << QStringLiteral("gestern") << QStringLiteral("");
    QTest::newRow("empty") << QString() << QStringLiteral("");
}

void TstTestDate::reading()
{
    QFETCH(QString, text);
    QFETCH(QString, iso);
    // The locale of the process must not change what is read.
    for (const char *name : {"C", "en_US", "en_GB", "de_DE", "sv_SE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        const auto date = data::readTestDate(text, 2026);
        QVERIFY2((date ? date->toString(Qt::ISODate) : QString()) == iso, name);
        const auto dotted = data::readDottedTestDate(text.toUtf8(), 2026);
        if (dotted)
            QCOMPARE(dotted, date);
    }
    QLocale::setDefault(QLocale::c());
}

void TstTestDate::storedFormIsReadBack_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("stored");
    QTest::newRow("December") << QDate(2026, 12, 8) << QStringLiteral("08.12.2026");
    QTest::newRow("January, first day") << QDate(2027, 1, 1) << QStringLiteral("01.01.2027");
    QTest::newRow("leap day") << QDate(2028, 2, 29) << QStringLiteral("29.02.2028");
}

void TstTestDate::storedFormIsReadBack()
{
    QFETCH(QDate, date);
    QFETCH(QString, stored);
    for (const char *name : {"de_DE", "ar_EG", "en_US"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        QCOMPARE(data::testDateText(date), stored);
        QCOMPARE(data::readTestDate(stored, 2026), date);
    }
    QLocale::setDefault(QLocale::c());
}

QTEST_GUILESS_MAIN(TstTestDate)
#include "tst_testdate.moc"
