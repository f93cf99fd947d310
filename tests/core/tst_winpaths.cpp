// How Windows reads path names: its reserved device names, the long form of
// a path, and the network names of shares.

#include "core/winpaths.h"

#include <QTest>

class TstWinPaths : public QObject {
    Q_OBJECT
private slots:
    void reservedDeviceNames_data();
    void reservedDeviceNames();
    void extendedLength_data();
    void extendedLength();
};

void TstWinPaths::reservedDeviceNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("reserved");
    QTest::newRow("NUL") << QStringLiteral("NUL") << true;
    QTest::newRow("lower case") << QStringLiteral("con") << true;
    QTest::newRow("with extension") << QStringLiteral("nul.wav") << true;
    QTest::newRow("trailing dot and blank") << QStringLiteral("COM1. ") << true;
    QTest::newRow("printer port") << QStringLiteral("LPT9") << true;
    QTest::newRow("console output") << QStringLiteral("CONOUT$") << true;
    QTest::newRow("COM0 is a name") << QStringLiteral("COM0") << false;
    QTest::newRow("longer word") << QStringLiteral("CONSOLE.txt") << false;
    QTest::newRow("table") << QStringLiteral("TestTable.DB") << false;
    QTest::newRow("prefix only") << QStringLiteral("AUXILIARY") << false;
}

void TstWinPaths::reservedDeviceNames()
{
    QFETCH(QString, name);
    QFETCH(bool, reserved);
    QCOMPARE(core::isReservedDeviceName(name), reserved);
}

void TstWinPaths::extendedLength_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("extended");
    QTest::addColumn<bool>("network");
    QTest::newRow("drive") << QStringLiteral("C:\\Users\\J\u00FCrgen\\Documents\\Korvane")
                           << QStringLiteral("\\\\?\\C:\\Users\\J\u00FCrgen\\Documents\\Korvane") << false;
    QTest::newRow("share") << QStringLiteral("\\\\lab\\tests\\Korvane") << QStringLiteral("\\\\?\\UNC\\lab\\tests\\Korvane")
                           << true;
    QTest::newRow("long form stays") << QStringLiteral("\\\\?\\D:\\a") << QStringLiteral("\\\\?\\D:\\a") << false;
    QTest::newRow("long share stays") << QStringLiteral("\\\\?\\UNC\\lab\\t") << QStringLiteral("\\\\?\\UNC\\lab\\t") << true;
    QTest::newRow("device namespace") << QStringLiteral("\\\\.\\pipe\\x") << QStringLiteral("\\\\.\\pipe\\x") << false;
}

void TstWinPaths::extendedLength()
{
    QFETCH(QString, path);
    QFETCH(QString, extended);
    QFETCH(bool, network);
    QCOMPARE(core::extendedLengthPath(path), extended);
    QCOMPARE(core::isNetworkPathName(path), network);
}

QTEST_GUILESS_MAIN(TstWinPaths)
#include "tst_winpaths.moc"
