// Whole and decimal numbers read from and written into fields.

#include "core/numbertext.h"
#include "core/errors.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void readInt_data();
    void readInt();
    void intFailureMessage_data();
    void intFailureMessage();
    void readFloat_data();
    void readFloat();
    void floatFailureMessage_data();
    void floatFailureMessage();
    void writeFloat_data();
    void writeFloat();
    void generatedFloatsReadBack();
    void commaLocaleIgnored();
};

void TestNumberText::readInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");

    QTest::newRow("zero") << QStringLiteral("0") << true << 0;
    QTest::newRow("digits") << QStringLiteral("42") << true << 42;
    QTest::newRow("leading zeros") << QStringLiteral("007") << true << 7;
    QTest::newRow("leading blanks") << QStringLiteral("   42") << true << 42;
    QTest::newRow("plus") << QStringLiteral("+7") << true << 7;
    QTest::newRow("minus") << QStringLiteral("-7") << true << -7;
    QTest::newRow("blanks then sign") << QStringLiteral("  -12") << true << -12;
    QTest::newRow("int32 max") << QStringLiteral("2147483647") << true
                               << std::numeric_limits<int>::max();
    QTest::newRow("int32 min") << QStringLiteral("-2147483648") << true
                               << std::numeric_limits<int>::min();
    QTest::newRow("dollar hex") << QStringLiteral("$1F") << true << 31;
    QTest::newRow("lower-case hex digits") << QStringLiteral("$ff") << true << 255;
    QTest::newRow("x hex") << QStringLiteral("x10") << true << 16;
    QTest::newRow("0x hex") << QStringLiteral("0x10") << true << 16;
    QTest::newRow("negative hex") << QStringLiteral("-$10") << true << -16;
    QTest::newRow("sign then x") << QStringLiteral(" +x1A") << true << 26;
    QTest::newRow("negative 0x") << QStringLiteral("-0x1") << true << -1;
    // Hexadecimal spells the 32-bit pattern.
    QTest::newRow("hex all bits") << QStringLiteral("$FFFFFFFF") << true << -1;
    QTest::newRow("hex sign bit") << QStringLiteral("$80000000") << true
                                  << std::numeric_limits<int>::min();
    QTest::newRow("zero alone is no prefix") << QStringLiteral("0") << true << 0;

    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("blanks only") << QStringLiteral("   ") << false << 0;
    QTest::newRow("sign only") << QStringLiteral("-") << false << 0;
    QTest::newRow("trailing blank") << QStringLiteral("12 ") << false << 0;
    QTest::newRow("inner blank") << QStringLiteral("1 2") << false << 0;
    QTest::newRow("blank after sign") << QStringLiteral("- 5") << false << 0;
    QTest::newRow("tab") << QStringLiteral("\t5") << false << 0;
    QTest::newRow("two signs") << QStringLiteral("--5") << false << 0;
    QTest::newRow("decimal comma") << QStringLiteral("1,5") << false << 0;
    QTest::newRow("letters") << QStringLiteral("abc") << false << 0;
    QTest::newRow("trailing letter") << QStringLiteral("12a") << false << 0;
    QTest::newRow("hex digit in decimal") << QStringLiteral("1F") << false << 0;
    QTest::newRow("dollar only") << QStringLiteral("$") << false << 0;
    QTest::newRow("0x only") << QStringLiteral("0x") << false << 0;
    QTest::newRow("no hex digit") << QStringLiteral("$G") << false << 0;
    QTest::newRow("sign after prefix") << QStringLiteral("$-5") << false << 0;
    QTest::newRow("over int32 max") << QStringLiteral("2147483648") << false << 0;
    QTest::newRow("under int32 min") << QStringLiteral("-2147483649") << false << 0;
    QTest::newRow("hex over 32 bits") << QStringLiteral("$100000000") << false << 0;
    QTest::newRow("far beyond 64 bits") << QStringLiteral("99999999999999999999999") << false << 0;
    QTest::newRow("hex far beyond 64 bits") << QStringLiteral("$FFFFFFFFFFFFFFFFFFFF") << false << 0;
}

void TestNumberText::readInt()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);

    const std::optional<std::int32_t> read = tryTextToInt(text);
    QCOMPARE(read.has_value(), ok);
    if (ok) {
        QCOMPARE(*read, value);
        QCOMPARE(textToInt(text), value);
    } else {
        QVERIFY_THROWS_EXCEPTION(core::Failure, textToInt(text));
    }
}

void TestNumberText::intFailureMessage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("letters") << QStringLiteral("abc")
                             << QStringLiteral("'abc' ist kein gültiger Integerwert");
    QTest::newRow("empty") << QString() << QStringLiteral("'' ist kein gültiger Integerwert");
    QTest::newRow("blanks kept") << QStringLiteral(" 12 ")
                                 << QStringLiteral("' 12 ' ist kein gültiger Integerwert");
    // The text goes in as it is, placeholders and all.
    QTest::newRow("percent") << QStringLiteral("%1%s")
                             << QStringLiteral("'%1%s' ist kein gültiger Integerwert");
}

void TestNumberText::intFailureMessage()
{
    QFETCH(QString, text);
    QFETCH(QString, message);

    try {
        textToInt(text);
        QFAIL("no exception");
    } catch (const core::Failure &e) {
        QCOMPARE(e.message(), message);
        QCOMPARE(QString::fromUtf8(e.what()), message);
    }
}

void TestNumberText::readFloat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");

    QTest::newRow("comma") << QStringLiteral("1,5") << true << 1.5;
    QTest::newRow("negative") << QStringLiteral("-0,4") << true << -0.4;
    QTest::newRow("blanks around") << QStringLiteral(" 2 ") << true << 2.0;
    QTest::newRow("exponent") << QStringLiteral("1,5E3") << true << 1500.0;
    QTest::newRow("small exponent") << QStringLiteral("2,5e-3") << true << 0.0025;
    QTest::newRow("plus signs") << QStringLiteral("+3E+2") << true << 300.0;
    QTest::newRow("no integer digits") << QStringLiteral(",5") << true << 0.5;
    QTest::newRow("no decimals") << QStringLiteral("5,") << true << 5.0;
    QTest::newRow("many digits") << QStringLiteral("12,345678901234") << true << 12.345678901234;
    // Too small to hold reads as zero.
    QTest::newRow("underflow") << QStringLiteral("1E-400") << true << 0.0;
    QTest::newRow("negative underflow") << QStringLiteral("-0,001E-99999") << true << -0.0;
    QTest::newRow("zero with huge exponent") << QStringLiteral("0E99999") << true << 0.0;
    QTest::newRow("smallest denormal") << QStringLiteral("4,9406564584124654E-324") << true
                                       << std::numeric_limits<double>::denorm_min();

    QTest::newRow("point") << QStringLiteral("1.5") << false << 0.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("blanks only") << QStringLiteral("  ") << false << 0.0;
    QTest::newRow("letters") << QStringLiteral("abc") << false << 0.0;
    QTest::newRow("two commas") << QStringLiteral("1,2,3") << false << 0.0;
    QTest::newRow("comma only") << QStringLiteral(",") << false << 0.0;
    QTest::newRow("sign only") << QStringLiteral("-") << false << 0.0;
    QTest::newRow("exponent without digits") << QStringLiteral("1E") << false << 0.0;
    QTest::newRow("exponent sign only") << QStringLiteral("1E+") << false << 0.0;
    QTest::newRow("exponent alone") << QStringLiteral("E5") << false << 0.0;
    QTest::newRow("inner blank") << QStringLiteral("1 5") << false << 0.0;
    QTest::newRow("trailing letter") << QStringLiteral("1,5x") << false << 0.0;
    QTest::newRow("hex") << QStringLiteral("0x10") << false << 0.0;
    QTest::newRow("infinity word") << QStringLiteral("inf") << false << 0.0;
    QTest::newRow("overflow") << QStringLiteral("1E400") << false << 0.0;
    QTest::newRow("overflow by digits") << QStringLiteral("0,00001E99999999999") << false << 0.0;
    QTest::newRow("long mantissa, negative exponent")
        << QStringLiteral("1000000000000000000000000000000E-1") << true << 1e29;
    // The digits, not the exponent's sign, decide between too large and too small.
    QTest::newRow("overflow with negative exponent")
        << QStringLiteral("1") + QString(400, u'0') + QStringLiteral("E-1") << false << 0.0;
    QTest::newRow("underflow with positive exponent")
        << QStringLiteral("0,") + QString(400, u'0') + QStringLiteral("1E5") << true << 0.0;
}

void TestNumberText::readFloat()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);

    const std::optional<double> read = tryTextToFloat(text);
    QCOMPARE(read.has_value(), ok);
    if (ok) {
        QCOMPARE(*read, value);
        QCOMPARE(textToFloat(text), value);
    } else {
        QVERIFY_THROWS_EXCEPTION(core::Failure, textToFloat(text));
    }
}

void TestNumberText::floatFailureMessage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("point") << QStringLiteral("1.5")
                           << QStringLiteral("'1.5' ist kein gültiger Gleitkommawert");
    QTest::newRow("empty") << QString() << QStringLiteral("'' ist kein gültiger Gleitkommawert");
    QTest::newRow("two commas") << QStringLiteral("1,2,3")
                                << QStringLiteral("'1,2,3' ist kein gültiger Gleitkommawert");
}

void TestNumberText::floatFailureMessage()
{
    QFETCH(QString, text);
    QFETCH(QString, message);

    try {
        textToFloat(text);
        QFAIL("no exception");
    } catch (const core::Failure &e) {
        QCOMPARE(e.message(), message);
    }
}

void TestNumberText::writeFloat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole") << 20.0 << QStringLiteral("20");
    QTest::newRow("hundred") << 100.0 << QStringLiteral("100");
    QTest::newRow("one decimal") << 20.5 << QStringLiteral("20,5");
    QTest::newRow("negative") << -0.4 << QStringLiteral("-0,4");
    QTest::newRow("zero") << 0.0 << QStringLiteral("0");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
    // Binary noise beyond 15 digits does not show.
    QTest::newRow("difference") << 12.345 - 1.5 << QStringLiteral("10,845");
    QTest::newRow("sum") << 0.1 + 0.2 << QStringLiteral("0,3");
    QTest::newRow("third") << 1.0 / 3.0 << QStringLiteral("0,333333333333333");
    QTest::newRow("two thirds rounds") << 2.0 / 3.0 << QStringLiteral("0,666666666666667");
    QTest::newRow("15 digits") << 123456789012345.0 << QStringLiteral("123456789012345");
    QTest::newRow("mixed") << 1234.5678 << QStringLiteral("1234,5678");
    QTest::newRow("large") << 1e15 << QStringLiteral("1E15");
    QTest::newRow("rounds up to exponent form") << 999999999999999.9 << QStringLiteral("1E15");
    QTest::newRow("large with digits") << -2.5e20 << QStringLiteral("-2,5E20");
    QTest::newRow("smallest without exponent") << 0.00001 << QStringLiteral("0,00001");
    QTest::newRow("small") << 1e-6 << QStringLiteral("1E-6");
    QTest::newRow("small with digits") << 1.5e-6 << QStringLiteral("1,5E-6");
}

void TestNumberText::writeFloat()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(floatToText(value), text);
}

// What is written reads back to the same 15 digits, and writing that again
// gives the same text.
void TestNumberText::generatedFloatsReadBack()
{
    QRandomGenerator random(1207);
    for (int k = 0; k < 100000; ++k) {
        const double mantissa = random.generateDouble() * 2.0 - 1.0;
        // Mostly field-sized values, and some far out in either direction.
        const int exponent = k % 4 == 0 ? random.bounded(-290, 290) : random.bounded(-12, 18);
        const double value = mantissa * std::pow(10.0, exponent);
        const QString text = floatToText(value);
        const std::optional<double> back = tryTextToFloat(text);
        if (!back)
            QFAIL(qPrintable(QStringLiteral("%1 gives unreadable '%2'").arg(value).arg(text)));
        if (std::abs(*back - value) > std::abs(value) * 1e-14)
            QFAIL(qPrintable(QStringLiteral("%1 -> '%2' -> %3").arg(value).arg(text).arg(*back)));
        if (floatToText(*back) != text)
            QFAIL(qPrintable(QStringLiteral("'%1' written again as '%2'").arg(text, floatToText(*back))));
    }
}

namespace {

// Switches the C library's number formatting to a locale with a decimal
// comma, building one with localedef when none is installed.
class CommaLocale {
public:
    CommaLocale() : m_previous(std::setlocale(LC_NUMERIC, nullptr))
    {
        if (tryNames())
            return;
        const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
        if (localedef.isEmpty() || !m_dir.isValid())
            return;
        QProcess::execute(localedef, {QStringLiteral("-i"), QStringLiteral("de_DE"),
                                      QStringLiteral("-f"), QStringLiteral("UTF-8"),
                                      m_dir.filePath(QStringLiteral("de_DE.UTF-8"))});
        qputenv("LOCPATH", QFile::encodeName(m_dir.path()));
        tryNames();
        qunsetenv("LOCPATH");
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, m_previous.constData()); }
    bool active() const { return m_active; }

private:
    bool tryNames()
    {
        for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8"}) {
            if (std::setlocale(LC_NUMERIC, name)
                && std::localeconv()->decimal_point == QByteArrayLiteral(",")) {
                m_active = true;
                return true;
            }
        }
        return false;
    }

    QByteArray m_previous;
    QTemporaryDir m_dir;
    bool m_active = false;
};

} // namespace

// Qt sets the C locale from the environment; a user's comma locale must not
// change how numbers are read or written.
void TestNumberText::commaLocaleIgnored()
{
    CommaLocale locale;
    if (!locale.active())
        QSKIP("no locale with a decimal comma can be had here");

    QCOMPARE(tryTextToFloat(QStringLiteral("1,5")), std::optional<double>(1.5));
    QCOMPARE(tryTextToFloat(QStringLiteral("-0,4E1")), std::optional<double>(-4.0));
    QVERIFY(!tryTextToFloat(QStringLiteral("1.5")));
    QCOMPARE(floatToText(20.5), QStringLiteral("20,5"));
    QCOMPARE(floatToText(1.0 / 3.0), QStringLiteral("0,333333333333333"));
    QCOMPARE(floatToText(1.5e-6), QStringLiteral("1,5E-6"));
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
