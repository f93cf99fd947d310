// The code pages of the Paradox conversion and of the fixed export convert
// alike on Linux (Qt's converters) and on Windows (the system's code page
// functions): every byte decodes to the character, and every character
// encodes to the byte, that the Linux build gives.  The expected tables in
// tests/core/codepages/ were written by the Linux build.

#include "core/codepage.h"

#include <QFile>
#include <QMap>
#include <QTest>

namespace {

struct Expected {
    QMap<int, int> decoded; // byte -> code point (0xFFFD: none)
    QMap<int, int> encoded; // code point -> byte, every character there is
};

Expected readExpected(const QString &path)
{
    Expected expected;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return expected;
    QMap<int, int> *section = nullptr;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith("# decode"))
            section = &expected.decoded;
        else if (line.startsWith("# encode"))
            section = &expected.encoded;
        else if (section && !line.isEmpty()) {
            const QList<QByteArray> fields = line.split(' ');
            section->insert(fields.value(0).toInt(nullptr, 16), fields.value(1).toInt(nullptr, 16));
        }
    }
    return expected;
}

QString expectedFile(int number)
{
    return QStringLiteral("%1/tests/core/codepages/%2.txt").arg(qEnvironmentVariable("KORVANE_SOURCE_DIR")).arg(number);
}

} // namespace

class TstCodePage : public QObject {
    Q_OBJECT
private slots:
    void convertsAsOnLinux_data();
    void convertsAsOnLinux();
    void decodesTextWhole_data();
    void decodesTextWhole();
};

void TstCodePage::convertsAsOnLinux_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("Windows-1252 (export, newer tables)") << 1252 << QStringLiteral("windows-1252");
    QTest::newRow("IBM 850 (older German tables)") << 850 << QStringLiteral("IBM850");
}

void TstCodePage::convertsAsOnLinux()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    const Expected expected = readExpected(expectedFile(number));
    QCOMPARE(expected.decoded.size(), 256);
    const core::CodePage page(number);
    QVERIFY(page.isValid());
    QCOMPARE(page.name(), name);

    for (int byte = 0; byte < 256; ++byte) {
        const char in = char(byte);
        bool replaced = false;
        const QString text = page.decode(QByteArrayView(&in, 1), &replaced);
        QCOMPARE(text.size(), 1);
        QVERIFY2(int(text.at(0).unicode()) == expected.decoded.value(byte),
                 qPrintable(QStringLiteral("byte %1: U+%2").arg(byte, 2, 16).arg(text.at(0).unicode(), 4, 16)));
        QCOMPARE(replaced, text.at(0) == QChar::ReplacementCharacter);
    }

    const QList<qint16> table = page.byteTable();
    QCOMPARE(table.size(), 0x10000);
    QMap<int, int> encoded;
    for (int c = 0; c < table.size(); ++c) {
        if (table.at(c) >= 0)
            encoded.insert(c, table.at(c));
    }
    for (auto it = expected.encoded.cbegin(); it != expected.encoded.cend(); ++it)
        QVERIFY2(encoded.value(it.key(), -1) == it.value(), qPrintable(QStringLiteral("U+%1").arg(it.key(), 4, 16)));
    QCOMPARE(encoded.size(), expected.encoded.size());
}

void TstCodePage::decodesTextWhole_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("1252 umlauts") << 1252 << QByteArray("M\xFCller \xC4\x80") << QStringLiteral("Müller Ä€") << false;
    // The five bytes Windows-1252 leaves undefined stand for the control
    // characters of their number, on both systems.
    QTest::newRow("1252 undefined byte") << 1252 << QByteArray("a\x81z") << QStringLiteral("a\u0081z") << false;
    QTest::newRow("850 umlauts") << 850 << QByteArray("Gr\x94\xE1" "e") << QStringLiteral("Größe") << false;
    QTest::newRow("empty") << 850 << QByteArray() << QString() << false;
    QTest::newRow("unknown code page") << 77 << QByteArray("ab") << QStringLiteral("\uFFFD\uFFFD") << true;
}

void TstCodePage::decodesTextWhole()
{
    QFETCH(int, number);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, replaced);
    bool hadReplacement = !replaced;
    QCOMPARE(core::CodePage(number).decode(bytes, &hadReplacement), text);
    QCOMPARE(hadReplacement, replaced);
}

QTEST_GUILESS_MAIN(TstCodePage)
#include "tst_codepage.moc"
