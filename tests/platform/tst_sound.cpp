#include "platform/alsasound.h"
#include "platform/sound.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "support/specialfiles.h"

#include <sndfile.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using platform::AlsaSound;
using platform::PlayResult;

Q_DECLARE_METATYPE(PlayResult)

namespace {

// A recognisable, channel-dependent sample pattern.
qint16 patternSample(qint64 frame, int channel)
{
    return qint16((frame * 37 + channel * 1000) % 20000 - 10000);
}

// Writes `frames` frames of the pattern with libsndfile; float files get the
// pattern scaled to full scale times `gain`.  Returns the samples a player
// should decode from it (overdriven floats clip at the 16-bit limits).
std::vector<qint16> writeWave(const QString &path, int sampleRate, int channels, int format,
                              qint64 frames, double gain = 1.0)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return {};
    std::vector<qint16> expected;
    std::vector<float> floats;
    for (qint64 f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            const double value = patternSample(f, c) * gain;
            floats.push_back(float(value / 32767.0));
            expected.push_back(qint16(std::clamp(value, -32768.0, 32767.0)));
        }
    }
    if (format == SF_FORMAT_FLOAT)
        sf_writef_float(file, floats.data(), frames);
    else
        sf_writef_short(file, expected.data(), frames);
    sf_close(file);
    return expected;
}

// ALSA's "file" plugin records what a PCM was sent into a raw file.
QByteArray recordingDevice(const QString &rawPath)
{
    return "file:'" + QFile::encodeName(rawPath) + "',raw";
}

std::vector<qint16> readRaw(const QString &rawPath)
{
    QFile file(rawPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    std::vector<qint16> samples(size_t(bytes.size()) / sizeof(qint16));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(qint16));
    return samples;
}

int maxDifference(const std::vector<qint16> &a, const std::vector<qint16> &b)
{
    int worst = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}

// Sends file descriptor 2 into a file for its lifetime.
class StderrCapture {
public:
    explicit StderrCapture(const QString &path)
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~StderrCapture()
    {
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
    }

private:
    int m_saved = -1;
};

constexpr int Rest = 1 << 30; // scripted write: take everything offered

} // namespace

class TestSound : public QObject {
    Q_OBJECT

private slots:
    void playsFile_data();
    void playsFile();
    void fallsBackToCue_data();
    void fallsBackToCue();
    void unavailableDeviceIsSilent_data();
    void unavailableDeviceIsSilent();
    void fallbackCueShape_data();
    void fallbackCueShape();
    void writeFramesRecovers_data();
    void writeFramesRecovers();
    void preparedDeviceStaysOpen_data();
    void preparedDeviceStaysOpen();

private:
    QTemporaryDir m_dir;
};

void TestSound::playsFile_data()
{
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("format");
    QTest::addColumn<double>("gain");
    QTest::addColumn<int>("tolerance");

    QTest::newRow("mono 8 kHz") << 8000 << 1 << int(SF_FORMAT_PCM_16) << 1.0 << 0;
    QTest::newRow("stereo 8 kHz") << 8000 << 2 << int(SF_FORMAT_PCM_16) << 1.0 << 0;
    QTest::newRow("mono 44.1 kHz") << 44100 << 1 << int(SF_FORMAT_PCM_16) << 1.0 << 0;
    QTest::newRow("stereo 44.1 kHz") << 44100 << 2 << int(SF_FORMAT_PCM_16) << 1.0 << 0;
    QTest::newRow("float stereo 48 kHz") << 48000 << 2 << int(SF_FORMAT_FLOAT) << 1.0 << 1;
    // Overdriven float data must clip at full scale, not wrap to the opposite sign.
    QTest::newRow("float beyond full scale") << 44100 << 1 << int(SF_FORMAT_FLOAT) << 3.0 << 1;
}

void TestSound::playsFile()
{
    QFETCH(int, sampleRate);
    QFETCH(int, channels);
    QFETCH(int, format);
    QFETCH(double, gain);
    QFETCH(int, tolerance);
    QVERIFY(m_dir.isValid());

    const qint64 frames = sampleRate / 5; // 0.2 s, several decode blocks at 44.1 kHz
    const QString wave = m_dir.filePath(QStringLiteral("cue.wav"));
    const std::vector<qint16> expected = writeWave(wave, sampleRate, channels, format, frames, gain);
    QCOMPARE(qint64(expected.size()), frames * channels);

    // ALSA's "null" device takes samples without pacing them, so the call
    // returns at once there; what can be checked is that every frame of the
    // file was decoded and accepted in the file's own format.
    AlsaSound null(QByteArrayLiteral("null"));
    QCOMPARE(null.play(wave), PlayResult::PlayedFile);
    QCOMPARE(null.lastFrames(), frames);
    QCOMPARE(null.lastSampleRate(), sampleRate);
    QCOMPARE(null.lastChannels(), channels);

    // The same through a recording device: the samples arrive unchanged and in order.
    const QString raw = m_dir.filePath(QStringLiteral("sent.raw"));
    QFile::remove(raw);
    AlsaSound recorder(recordingDevice(raw));
    QCOMPARE(recorder.play(wave), PlayResult::PlayedFile);
    const std::vector<qint16> sent = readRaw(raw);
    QCOMPARE(sent.size(), expected.size());
    QVERIFY2(maxDifference(sent, expected) <= tolerance,
             qPrintable(QStringLiteral("differs by %1").arg(maxDifference(sent, expected))));
}

void TestSound::fallsBackToCue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // empty with create = false: no such file
    QTest::addColumn<bool>("create");

    QByteArray garbage;
    for (int i = 0; i < 4000; ++i)
        garbage.append(char((i * 73 + 11) % 256));
    QTest::newRow("missing file") << QStringLiteral("AnfangTo.wav") << QByteArray() << false;
    QTest::newRow("garbage bytes") << QStringLiteral("garbage.wav") << garbage << true;
    QTest::newRow("empty file") << QStringLiteral("empty.wav") << QByteArray() << true;
    QTest::newRow("header only") << QStringLiteral("header.wav") << QByteArray("RIFF") << true;
    QTest::newRow("wave without samples") << QStringLiteral("silent.wav") << QByteArray("*") << true;
    QTest::newRow("folder") << QStringLiteral("folder.wav") << QByteArray("/") << true;
    QTest::newRow("named pipe") << QStringLiteral("AnfangFro.wav") << QByteArray("|") << true;
    QTest::newRow("link to a named pipe") << QStringLiteral("link.wav") << QByteArray("->|") << true;
    QTest::newRow("larger than 16 MB") << QStringLiteral("huge.wav") << QByteArray(">") << true;
    // The beep is the same cue, through the same device.
    QTest::newRow("beep") << QString() << QByteArray("beep") << false;
}

void TestSound::fallsBackToCue()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, create);
    QVERIFY(m_dir.isValid());

    const QString path = m_dir.filePath(name);
    if (content == "*") {
        // A well-formed wave header announcing no frames at all.
        QVERIFY(writeWave(path, 44100, 1, SF_FORMAT_PCM_16, 0).empty());
        QVERIFY(QFileInfo(path).size() > 0);
    } else if (content == "/") {
        QVERIFY(QDir(m_dir.path()).mkpath(name));
    } else if (content == "|") {
        QVERIFY(special::makeFifo(path));
    } else if (content == "->|") {
        QVERIFY(special::makeFifo(path + QStringLiteral(".pipe")));
        QVERIFY(special::makeLink(path + QStringLiteral(".pipe"), path));
    } else if (content == ">") {
        // A playable wave file grown past the limit with silence.
        writeWave(path, 44100, 1, SF_FORMAT_PCM_16, 100);
        QVERIFY(QFile::resize(path, platform::maxWaveFileBytes + 1));
    } else if (create) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    const std::vector<qint16> cue = platform::fallbackCue(48000);
    const QString raw = m_dir.filePath(QStringLiteral("cue.raw"));
    QFile::remove(raw);
    AlsaSound recorder(recordingDevice(raw));

    // Bare names are looked up in the working folder.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    PlayResult result = PlayResult::PlayedFallback;
    special::FifoGuard guard(content == "->|" ? path + QStringLiteral(".pipe") : path);
    if (content == "beep")
        recorder.beep();
    else
        result = recorder.play(name);
    QDir::setCurrent(previous);
    QVERIFY2(!guard.disarm(), "the sound blocked on the named pipe");

    QCOMPARE(result, PlayResult::PlayedFallback);
    QCOMPARE(recorder.lastFrames(), qint64(cue.size()));
    QCOMPARE(recorder.lastChannels(), 1);
    QVERIFY(readRaw(raw) == cue);
}

void TestSound::unavailableDeviceIsSilent_data()
{
    QTest::addColumn<QByteArray>("device");
    QTest::addColumn<bool>("realFile");

    QTest::newRow("unknown name, missing file") << QByteArrayLiteral("korvane_no_such_pcm") << false;
    QTest::newRow("unknown name, wave file") << QByteArrayLiteral("korvane_no_such_pcm") << true;
    QTest::newRow("absent card") << QByteArrayLiteral("hw:29,0") << true;
    QTest::newRow("default without card") << QByteArrayLiteral("default") << true;
}

void TestSound::unavailableDeviceIsSilent()
{
    QFETCH(QByteArray, device);
    QFETCH(bool, realFile);
    QVERIFY(m_dir.isValid());
    if (device == "default" && QFileInfo::exists(QStringLiteral("/dev/snd")))
        QSKIP("this machine has a sound card");

    const QString wave = m_dir.filePath(QStringLiteral("short.wav"));
    writeWave(wave, 8000, 1, SF_FORMAT_PCM_16, 1600);
    const QString name = realFile ? wave : m_dir.filePath(QStringLiteral("absent.wav"));

    const QString log = m_dir.filePath(QStringLiteral("stderr.txt"));
    AlsaSound sound(device);
    PlayResult result = PlayResult::PlayedFile;
    QElapsedTimer timer;
    {
        StderrCapture capture(log);
        timer.start();
        result = sound.play(name);
        sound.playWave(name);
        sound.beep();
        // The program's own output goes to "default" the same way.
        if (device == "default")
            platform::deviceSoundOutput().playWave(name);
    }
    const qint64 elapsedMs = timer.elapsed();

    QCOMPARE(result, PlayResult::NoDevice);
    QCOMPARE(sound.lastFrames(), qint64(0));
    QFile captured(log);
    QVERIFY(captured.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLocal8Bit(captured.readAll()), QString());
    // Far below the 0.2 s the file lasts, twice over: nothing waited on a device.
    QVERIFY2(elapsedMs < 2000, qPrintable(QString::number(elapsedMs)));
}

void TestSound::fallbackCueShape_data()
{
    QTest::addColumn<int>("sampleRate");
    QTest::newRow("8 kHz") << 8000;
    QTest::newRow("44.1 kHz") << 44100;
    QTest::newRow("48 kHz") << 48000;
}

void TestSound::fallbackCueShape()
{
    QFETCH(int, sampleRate);
    const std::vector<qint16> cue = platform::fallbackCue(sampleRate);

    QCOMPARE(qint64(cue.size()), qint64(sampleRate) * 150 / 1000);
    // Faded in and out: no click at either end.
    QCOMPARE(int(cue.front()), 0);
    QCOMPARE(int(cue.back()), 0);
    int peak = 0;
    int crossings = 0;
    for (size_t i = 0; i < cue.size(); ++i) {
        peak = std::max(peak, std::abs(int(cue[i])));
        if (i > 0 && (cue[i - 1] < 0) != (cue[i] < 0))
            ++crossings;
    }
    QVERIFY2(peak > 12000 && peak <= 16384, qPrintable(QString::number(peak)));
    // 880 Hz over 150 ms: 132 periods, two sign changes each.
    QVERIFY2(std::abs(crossings - 264) <= 2, qPrintable(QString::number(crossings)));

    QVERIFY(platform::fallbackCue(0).empty());
}

void TestSound::writeFramesRecovers_data()
{
    // Each script entry is what one write call returns: a frame count (Rest:
    // all that is offered) or a negative errno.
    QTest::addColumn<QList<int>>("script");
    QTest::addColumn<int>("prepareResult");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("framesDone"); // -1: all
    QTest::addColumn<int>("prepares");

    QList<int> persistentUnderrun(20, -EPIPE);
    QList<int> progressBetweenUnderruns;
    for (int i = 0; i < 20; ++i)
        progressBetweenUnderruns << -EPIPE << 10;
    progressBetweenUnderruns << Rest;

    QTest::newRow("one write") << QList<int>{Rest} << 0 << true << -1 << 0;
    QTest::newRow("short writes") << QList<int>{100, 37, 1, Rest} << 0 << true << -1 << 0;
    QTest::newRow("underrun recovered") << QList<int>{250, -EPIPE, Rest} << 0 << true << -1 << 1;
    QTest::newRow("interrupted") << QList<int>{-EINTR, 0, Rest} << 0 << true << -1 << 0;
    QTest::newRow("persistent underrun") << persistentUnderrun << 0 << false << 0 << 8;
    QTest::newRow("progress between underruns") << progressBetweenUnderruns << 0 << true << -1 << 20;
    QTest::newRow("prepare fails") << QList<int>{300, -EPIPE} << -EIO << false << 300 << 1;
    QTest::newRow("device error") << QList<int>{100, -EIO, Rest} << 0 << false << 100 << 0;
    QTest::newRow("suspended") << QList<int>{-ESTRPIPE, Rest} << 0 << false << 0 << 0;
    QTest::newRow("device never takes anything") << QList<int>(30, 0) << 0 << false << 0 << 0;
}

void TestSound::writeFramesRecovers()
{
    QFETCH(QList<int>, script);
    QFETCH(int, prepareResult);
    QFETCH(bool, ok);
    QFETCH(int, framesDone);
    QFETCH(int, prepares);

    constexpr int channels = 2;
    constexpr long total = 1000;
    std::vector<qint16> samples(size_t(total) * channels);
    const qint16 *base = samples.data();

    qsizetype step = 0;
    long position = 0;
    bool consistent = true;
    int prepareCalls = 0;
    const auto write = [&](const qint16 *data, long frames) -> long {
        // Every call must start where the device stopped and offer the rest.
        if (data != base + position * channels || frames != total - position)
            consistent = false;
        const int answer = step < script.size() ? script.at(step++) : -EIO;
        if (answer < 0)
            return answer;
        const long taken = std::min(long(answer), frames);
        position += taken;
        return taken;
    };
    const auto prepare = [&] {
        ++prepareCalls;
        return prepareResult;
    };

    const platform::WriteOutcome outcome =
        platform::writeFrames(base, total, channels, write, prepare);

    QVERIFY(consistent);
    QCOMPARE(outcome.ok, ok);
    QCOMPARE(outcome.frames, qint64(framesDone < 0 ? total : framesDone));
    QCOMPARE(prepareCalls, prepares);
}

void TestSound::preparedDeviceStaysOpen_data()
{
    QTest::addColumn<bool>("prepared");
    QTest::addColumn<int>("cues");   // cues in the device's file: it starts anew at each opening
    QTest::newRow("prepared: one opening for all") << true << 3;
    QTest::newRow("unprepared: opened for each sound") << false << 1;
}

void TestSound::preparedDeviceStaysOpen()
{
    QFETCH(bool, prepared);
    QVERIFY(m_dir.isValid());
    const QString raw = m_dir.filePath(QStringLiteral("held.raw"));
    QFile::remove(raw);
    // A wave file of another format in between sets the held device up anew.
    const QString wave = m_dir.filePath(QStringLiteral("other.wav"));
    const std::vector<qint16> samples = writeWave(wave, 48000, 1, SF_FORMAT_PCM_16, 480);
    {
        AlsaSound recorder(recordingDevice(raw));
        recorder.setPrepared(prepared);
        QCOMPARE(recorder.isPrepared(), prepared);
        recorder.beep();
        QCOMPARE(recorder.lastFrames(), qint64(platform::fallbackCue(48000).size()));
        QVERIFY(recorder.lastFirstFrameAt() != std::chrono::steady_clock::time_point{});
        recorder.beep();
        QCOMPARE(recorder.play(wave), PlayResult::PlayedFile);
        recorder.beep();
        recorder.setPrepared(false);
        QVERIFY(!recorder.isPrepared());
    }
    QFETCH(int, cues);
    const std::vector<qint16> cue = platform::fallbackCue(48000);
    const std::vector<qint16> recorded = readRaw(raw);
    const size_t waveFrames = cues == 3 ? samples.size() : 0;
    QCOMPARE(recorded.size(), size_t(cues) * cue.size() + waveFrames);
    // The last sound is the cue, whole.
    QVERIFY(std::equal(cue.begin(), cue.end(), recorded.end() - std::ptrdiff_t(cue.size())));
}

QTEST_MAIN(TestSound)
#include "tst_sound.moc"
