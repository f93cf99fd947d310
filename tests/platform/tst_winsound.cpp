// Sound on Windows: wave files and the built-in cue reach the wave device
// sample for sample, whatever is wrong with a file gives the cue, and a
// missing device is silent and quick.

#include "platform/winsound.h"

#include "support/wavebuilder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::PlayResult;
using platform::WinSound;
using namespace wavebuilder;

Q_DECLARE_METATYPE(PlayResult)

namespace {

// What the devices of one output were asked to do.
struct Recording {
    int opened = 0;
    QList<QPair<int, int>> formats; // channels, rate of each open
    std::vector<qint16> samples;
    bool refuseFiles = false; // takes only the cue's format
    bool failPlay = false;
};

class RecordingDevice final : public platform::WaveDevice {
public:
    explicit RecordingDevice(Recording &recording)
        : m_recording(recording)
    {
    }
    bool open(int channels, int sampleRate) override
    {
        if (m_recording.refuseFiles && (channels != 1 || sampleRate != platform::cueSampleRate))
            return false;
        ++m_recording.opened;
        m_recording.formats.append({channels, sampleRate});
        m_channels = channels;
        return true;
    }
    bool play(const qint16 *samples, qint64 frames) override
    {
        if (m_recording.failPlay)
            return false;
        m_recording.samples.insert(m_recording.samples.end(), samples, samples + frames * m_channels);
        return true;
    }

private:
    Recording &m_recording;
    int m_channels = 0;
};

WinSound::DeviceMaker recorder(Recording &recording)
{
    return [&recording] { return std::make_unique<RecordingDevice>(recording); };
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

const auto pcm16 = [](QByteArray &b, qint16 v) { put16(b, quint16(v)); };

} // namespace

class TstWinSound : public QObject {
    Q_OBJECT
private slots:
    void playsFile_data();
    void playsFile();
    void fallsBackToCue_data();
    void fallsBackToCue();
    void unavailableDeviceIsSilent_data();
    void unavailableDeviceIsSilent();
    void preparedDeviceStaysOpen();

private:
    QTemporaryDir m_dir;
};

void TstWinSound::playsFile_data()
{
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("bits");

    QTest::newRow("mono 8 kHz") << 8000 << 1 << 1 << 16;
    QTest::newRow("stereo 44.1 kHz") << 44100 << 2 << 1 << 16;
    QTest::newRow("float stereo 48 kHz") << 48000 << 2 << 3 << 32;
    QTest::newRow("24 bit mono 96 kHz") << 96000 << 1 << 1 << 24;
}

void TstWinSound::playsFile()
{
    QFETCH(int, sampleRate);
    QFETCH(int, channels);
    QFETCH(int, format);
    QFETCH(int, bits);
    QVERIFY(m_dir.isValid());
    const int frames = sampleRate / 5;
    const auto store = [bits, format](QByteArray &b, qint16 v) {
        if (format == 3) {
            const float f = float(v) / 32768.0f;
            quint32 u;
            std::memcpy(&u, &f, 4);
            put32(b, u);
        } else if (bits == 24) {
            const quint32 s = quint32(qint32(v) * 256);
            b.append(char(s & 0xFF)).append(char(s >> 8 & 0xFF)).append(char(s >> 16 & 0xFF));
        } else {
            put16(b, quint16(v));
        }
    };
    const QString path = m_dir.filePath(QStringLiteral("Anfang\u00DC.wav"));
    writeFile(path, wave(format, bits, channels, frames, store, false, {}, -1, sampleRate));

    Recording recording;
    WinSound sound(recorder(recording));
    QCOMPARE(sound.play(path), PlayResult::PlayedFile);
    QCOMPARE(sound.lastFrames(), qint64(frames));
    QCOMPARE(sound.lastSampleRate(), sampleRate);
    QCOMPARE(sound.lastChannels(), channels);
    QCOMPARE(recording.formats, (QList<QPair<int, int>>{{channels, sampleRate}}));
    QVERIFY(recording.samples == pattern(frames, channels));
}

void TstWinSound::fallsBackToCue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // special values below
    QTest::addColumn<bool>("refuseFiles");

    QByteArray garbage;
    for (int i = 0; i < 4000; ++i)
        garbage.append(char((i * 73 + 11) % 256));
    QTest::newRow("missing file") << QStringLiteral("AnfangTo.wav") << QByteArray("-") << false;
    QTest::newRow("garbage bytes") << QStringLiteral("garbage.wav") << garbage << false;
    QTest::newRow("empty file") << QStringLiteral("empty.wav") << QByteArray() << false;
    QTest::newRow("header only") << QStringLiteral("header.wav") << QByteArray("RIFF") << false;
    QTest::newRow("wave without samples") << QStringLiteral("silent.wav") << QByteArray("*") << false;
    QTest::newRow("folder") << QStringLiteral("folder.wav") << QByteArray("/") << false;
    QTest::newRow("device name") << QStringLiteral("NUL.wav") << QByteArray("-") << false;
    QTest::newRow("larger than 16 MB") << QStringLiteral("huge.wav") << QByteArray(">") << false;
    QTest::newRow("format the device refuses") << QStringLiteral("odd.wav") << QByteArray("ok") << true;
    QTest::newRow("beep") << QString() << QByteArray("beep") << false;
}

void TstWinSound::fallsBackToCue()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, refuseFiles);
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(name);
    if (content == "*") {
        writeFile(path, wave(1, 16, 1, 0, pcm16));
    } else if (content == "/") {
        QVERIFY(QDir(m_dir.path()).mkpath(name));
    } else if (content == ">") {
        writeFile(path, wave(1, 16, 1, 100, pcm16));
        QVERIFY(QFile::resize(path, platform::maxWaveFileBytes + 1));
    } else if (content == "ok") {
        writeFile(path, wave(1, 16, 2, 800, pcm16, false, {}, -1, 22050));
    } else if (content != "-" && content != "beep") {
        writeFile(path, content);
    }

    Recording recording;
    recording.refuseFiles = refuseFiles;
    WinSound sound(recorder(recording));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    PlayResult result = PlayResult::PlayedFallback;
    if (content == "beep")
        sound.beep();
    else
        result = sound.play(name); // bare names: the working folder
    QDir::setCurrent(previous);

    const std::vector<qint16> cue = platform::fallbackCue(platform::cueSampleRate);
    QCOMPARE(result, PlayResult::PlayedFallback);
    QCOMPARE(sound.lastFrames(), qint64(cue.size()));
    QCOMPARE(sound.lastChannels(), 1);
    QCOMPARE(recording.formats.last(), qMakePair(1, platform::cueSampleRate));
    QVERIFY(recording.samples == cue);
}

void TstWinSound::unavailableDeviceIsSilent_data()
{
    QTest::addColumn<QString>("device");
    QTest::newRow("no device at all") << QStringLiteral("none");
    QTest::newRow("device failing while playing") << QStringLiteral("failing");
    QTest::newRow("Windows device that does not exist") << QStringLiteral("waveOut 77");
}

void TstWinSound::unavailableDeviceIsSilent()
{
    QFETCH(QString, device);
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("short.wav"));
    writeFile(path, wave(1, 16, 1, 1600, pcm16));
    Recording recording;
    recording.failPlay = true;
    WinSound::DeviceMaker maker;
    if (device == QLatin1String("none"))
        maker = [] { return std::unique_ptr<platform::WaveDevice>(); };
    else if (device == QLatin1String("failing"))
        maker = recorder(recording);
    else
        maker = [] { return platform::waveOutDevice(77); };
    WinSound sound(maker);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(sound.play(path), PlayResult::NoDevice);
    QCOMPARE(sound.playCue(), PlayResult::NoDevice);
    sound.playWave(path);
    sound.beep();
    QCOMPARE(sound.lastFrames(), qint64(0));
    // Far below the 0.2 s the file lasts, twice over: nothing waited on a device.
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

void TstWinSound::preparedDeviceStaysOpen()
{
    QVERIFY(m_dir.isValid());
    Recording recording;
    WinSound sound(recorder(recording));
    sound.setPrepared(true);
    QVERIFY(sound.isPrepared());
    QCOMPARE(recording.opened, 1);
    // Cues while prepared go to the device already open.
    QCOMPARE(sound.playCue(), PlayResult::PlayedFallback);
    QCOMPARE(sound.playCue(), PlayResult::PlayedFallback);
    QCOMPARE(recording.opened, 1);
    // A file of another format sets it up anew, and stays prepared.
    const QString path = m_dir.filePath(QStringLiteral("stereo.wav"));
    writeFile(path, wave(1, 16, 2, 400, pcm16));
    QCOMPARE(sound.play(path), PlayResult::PlayedFile);
    QCOMPARE(recording.opened, 2);
    QVERIFY(sound.isPrepared());
    sound.setPrepared(false);
    QVERIFY(!sound.isPrepared());
    // Unprepared, each sound opens the device for itself.
    sound.playCue();
    sound.playCue();
    QCOMPARE(recording.opened, 4);
}

QTEST_GUILESS_MAIN(TstWinSound)
#include "tst_winsound.moc"
