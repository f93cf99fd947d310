#include "platform/modules.h"
#include "platform/speechengine.h"

#include <QCoreApplication>
#include <QtTest>

class TestModules : public QObject {
    Q_OBJECT
private slots:
    void findsFunctionsOrSaysWhy_data();
    void findsFunctionsOrSaysWhy();
};

void TestModules::findsFunctionsOrSaysWhy_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QByteArray>("symbol");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("reasonMentions");
    QTest::newRow("speech engines") << "speech" << QByteArray(platform::kSpeechEnginesSymbol) << true << QString();
    QTest::newRow("start speech") << "speech" << QByteArray(platform::kStartSpeechSymbol) << true << QString();
    // The names the chart and print modules export (data/chartengine.h,
    // report/printengine.h).
    for (const char *name : {"korvaneMakeChartView", "korvaneFillChart", "korvaneAxisSpans", "korvaneWriteSvg"})
        QTest::addRow("charts: %s", name) << "charts" << QByteArray(name) << true << QString();
    for (const char *name : {"korvaneDefaultPrinterPageSize", "korvaneShowPrintPreview"})
        QTest::addRow("print: %s", name) << "print" << QByteArray(name) << true << QString();
    QTest::newRow("no such function") << "speech" << QByteArray("korvaneNoSuchFunction") << false
                                      << "korvaneNoSuchFunction";
    QTest::newRow("no such module") << "no-such-module" << QByteArray("anything") << false
                                    << "korvane_no-such-module";
}

void TestModules::findsFunctionsOrSaysWhy()
{
    QFETCH(QString, module);
    QFETCH(QByteArray, symbol);
    QFETCH(bool, found);
    QFETCH(QString, reasonMentions);
    QString error;
    const QFunctionPointer function = platform::moduleFunction(module, symbol.constData(), &error);
    QCOMPARE(function != nullptr, found);
    if (!found)
        QVERIFY2(error.contains(reasonMentions), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestModules)
#include "tst_modules.moc"
