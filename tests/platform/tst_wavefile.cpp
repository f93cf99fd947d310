// Decoding wave files into the 16-bit samples the sound device gets, as the
// Windows build does it for the same files the Linux build plays.

#include "platform/soundcue.h"
#include "support/wavebuilder.h"

#include <QTest>

#include <cstdlib>
#include <cstring>

using namespace wavebuilder;

class TstWaveFile : public QObject {
    Q_OBJECT
private slots:
    void decodes_data();
    void decodes();
    void refuses_data();
    void refuses();
};

void TstWaveFile::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("tolerance"); // 8-bit files keep only the high byte

    const auto pcm16 = [](QByteArray &b, qint16 v) { put16(b, quint16(v)); };
    const auto pcm8 = [](QByteArray &b, qint16 v) { b.append(char((v >> 8) + 128)); };
    // The low bits just below half a step: rounding must not carry.
    const auto pcm24 = [](QByteArray &b, qint16 v) {
        const quint32 s = quint32(qint32(v) * 256 + 0x7F);
        b.append(char(s & 0xFF)).append(char(s >> 8 & 0xFF)).append(char(s >> 16 & 0xFF));
    };
    const auto pcm32 = [](QByteArray &b, qint16 v) { put32(b, quint32(qint32(v) * 65536 + 0x7FFF)); };
    const auto float32 = [](QByteArray &b, qint16 v) {
        const float f = float(v) / 32768.0f;
        quint32 u;
        std::memcpy(&u, &f, 4);
        put32(b, u);
    };
    const auto float64 = [](QByteArray &b, qint16 v) {
        const double f = double(v) / 32768.0;
        quint64 u;
        std::memcpy(&u, &f, 8);
        put32(b, quint32(u));
        put32(b, quint32(u >> 32));
    };
    QTest::newRow("16 bit mono") << wave(1, 16, 1, 500, pcm16) << 1 << 500 << 0;
    QTest::newRow("16 bit stereo") << wave(1, 16, 2, 500, pcm16) << 2 << 500 << 0;
    QTest::newRow("8 bit") << wave(1, 8, 1, 500, pcm8) << 1 << 500 << 255;
    QTest::newRow("24 bit") << wave(1, 24, 2, 300, pcm24) << 2 << 300 << 0;
    QTest::newRow("32 bit") << wave(1, 32, 1, 300, pcm32) << 1 << 300 << 0;
    QTest::newRow("float") << wave(3, 32, 2, 300, float32) << 2 << 300 << 0;
    QTest::newRow("double") << wave(3, 64, 1, 300, float64) << 1 << 300 << 0;
    QTest::newRow("extensible, 3 channels") << wave(1, 16, 3, 200, pcm16, true) << 3 << 200 << 0;
    QTest::newRow("odd chunk before the data") << wave(1, 16, 1, 100, pcm16, false, QByteArray("LIST\x03\x00\x00\x00" "abc\x00", 12))
                                               << 1 << 100 << 0;
    // A file cut short: the whole frames that are there.
    QByteArray cut = wave(1, 16, 2, 100, pcm16);
    cut.chop(3);
    QTest::newRow("cut off within a frame") << cut << 2 << 99 << 0;
    QTest::newRow("data size beyond the end") << wave(1, 16, 1, 50, pcm16, false, {}, 1 << 20) << 1 << 50 << 0;
}

void TstWaveFile::decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, channels);
    QFETCH(int, frames);
    QFETCH(int, tolerance);
    const std::optional<platform::DecodedWave> decoded = platform::decodeWave(bytes);
    QVERIFY(decoded);
    QCOMPARE(decoded->sampleRate, 8000);
    QCOMPARE(decoded->channels, channels);
    QCOMPARE(decoded->frames(), qint64(frames));
    const std::vector<qint16> expected = pattern(frames, channels);
    for (size_t i = 0; i < expected.size(); ++i)
        QVERIFY2(std::abs(decoded->samples[i] - expected[i]) <= tolerance,
                 qPrintable(QStringLiteral("sample %1: %2, not %3").arg(i).arg(decoded->samples[i]).arg(expected[i])));
}

void TstWaveFile::refuses_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const auto pcm16 = [](QByteArray &b, qint16 v) { put16(b, quint16(v)); };
    QByteArray noFormat = wave(1, 16, 1, 10, pcm16);
    noFormat.replace(12, 4, "junk");
    QByteArray badAlign = wave(1, 16, 2, 10, pcm16);
    badAlign[32] = 3;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not RIFF") << QByteArray("OggS").append(QByteArray(100, '\1'));
    QTest::newRow("no format chunk") << noFormat;
    QTest::newRow("ADPCM") << wave(2, 16, 1, 10, pcm16);
    QTest::newRow("12 bit") << wave(1, 12, 1, 10, pcm16);
    QTest::newRow("no channels") << wave(1, 16, 0, 10, pcm16);
    QTest::newRow("33 channels") << wave(1, 16, 33, 10, pcm16);
    QTest::newRow("block size disagrees") << badAlign;
    QTest::newRow("no frames") << wave(1, 16, 1, 0, pcm16);
}

void TstWaveFile::refuses()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!platform::decodeWave(bytes));
}

QTEST_GUILESS_MAIN(TstWaveFile)
#include "tst_wavefile.moc"
