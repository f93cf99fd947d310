#include "platform/soundcue.h"

#include "core/files.h"

#include <QFile>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <numbers>
#include <system_error>
#include <thread>

namespace platform {
namespace {

constexpr double CueFrequency = 880.0;
constexpr int CueMs = 150;
constexpr int CueFadeMs = 10;
constexpr double CueAmplitude = 0.5 * 32767.0; // -6 dB: a cue, not an alarm
constexpr std::chrono::milliseconds WaveReadWait{500};

std::optional<QByteArray> readWaveFile(const QString &fileName)
{
    QFile file;
    if (!openOrdinary(file, fileName) || file.size() > maxWaveFileBytes)
        return std::nullopt;
    QByteArray data = file.read(maxWaveFileBytes);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

quint32 le32(const char *p)
{
    const auto *u = reinterpret_cast<const uchar *>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

quint16 le16(const char *p)
{
    const auto *u = reinterpret_cast<const uchar *>(p);
    return quint16(u[0] | u[1] << 8);
}

qint16 scaled(double fullScaleOne)
{
    // NaN counts as silence.
    if (std::isnan(fullScaleOne))
        return 0;
    return qint16(std::lround(std::clamp(fullScaleOne * 32768.0, -32768.0, 32767.0)));
}

} // namespace

std::vector<qint16> fallbackCue(int sampleRate)
{
    if (sampleRate <= 0)
        return {};
    const long frames = long(sampleRate) * CueMs / 1000;
    const long fade = std::max(1L, long(sampleRate) * CueFadeMs / 1000);
    std::vector<qint16> samples(size_t(frames), 0);
    for (long i = 0; i < frames; ++i) {
        const long edge = std::min(i, frames - 1 - i);
        const double envelope = edge < fade ? double(edge) / double(fade) : 1.0;
        const double phase = 2.0 * std::numbers::pi * CueFrequency * double(i) / sampleRate;
        samples[size_t(i)] = qint16(std::lround(CueAmplitude * envelope * std::sin(phase)));
    }
    return samples;
}

std::optional<QByteArray> readWaveFileAside(const QString &fileName)
{
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::optional<QByteArray> bytes;
    };
    auto shared = std::make_shared<Shared>();
    try {
        // A read still going on when the wait ends is left to end by itself.
        std::thread([shared, fileName] {
            std::optional<QByteArray> bytes = readWaveFile(fileName);
            const std::lock_guard lock(shared->mutex);
            shared->bytes = std::move(bytes);
            shared->finished = true;
            shared->done.notify_all();
        }).detach();
    } catch (const std::system_error &) {
        return std::nullopt;
    }
    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_for(lock, WaveReadWait, [&] { return shared->finished; }))
        return std::nullopt;
    return std::move(shared->bytes);
}

std::optional<DecodedWave> decodeWave(const QByteArray &bytes)
{
    const char *d = bytes.constData();
    const qsizetype size = bytes.size();
    if (size < 12 || std::memcmp(d, "RIFF", 4) != 0 || std::memcmp(d + 8, "WAVE", 4) != 0)
        return std::nullopt;
    int format = 0;
    int channels = 0;
    int sampleRate = 0;
    int bits = 0;
    int blockAlign = 0;
    bool haveFormat = false;
    QByteArrayView data;
    // Chunks are walked to the end of the file, whatever the RIFF size says
    // (writers cut short leave it wrong); each is padded to an even size.
    for (qsizetype at = 12; at + 8 <= size;) {
        const quint32 chunkSize = le32(d + at + 4);
        const qsizetype body = at + 8;
        const qsizetype available = std::min<qsizetype>(qsizetype(chunkSize), size - body);
        if (std::memcmp(d + at, "fmt ", 4) == 0 && available >= 16) {
            format = le16(d + body);
            channels = le16(d + body + 2);
            sampleRate = int(le32(d + body + 4));
            blockAlign = le16(d + body + 12);
            bits = le16(d + body + 14);
            // The extensible format names the real one in its sub-format.
            if (format == 0xFFFE && available >= 26)
                format = le16(d + body + 24);
            haveFormat = true;
        } else if (std::memcmp(d + at, "data", 4) == 0 && data.isNull()) {
            data = QByteArrayView(d + body, available);
        }
        at = body + qsizetype(chunkSize) + (chunkSize & 1);
    }
    const bool integer = format == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool floating = format == 3 && (bits == 32 || bits == 64);
    if (!haveFormat || data.isNull() || (!integer && !floating) || channels < 1 || channels > maxWaveChannels
        || sampleRate <= 0 || blockAlign != channels * bits / 8)
        return std::nullopt;

    DecodedWave wave;
    wave.sampleRate = sampleRate;
    wave.channels = channels;
    const qsizetype bytesPerSample = bits / 8;
    const qsizetype count = data.size() / blockAlign * channels;
    if (count == 0)
        return std::nullopt;
    wave.samples.resize(size_t(count));
    const char *p = data.data();
    for (qsizetype i = 0; i < count; ++i, p += bytesPerSample) {
        qint16 &out = wave.samples[size_t(i)];
        if (floating && bits == 32) {
            float f;
            std::memcpy(&f, p, 4);
            out = scaled(f);
        } else if (floating) {
            double f;
            std::memcpy(&f, p, 8);
            out = scaled(f);
        } else if (bits == 8) {
            out = qint16((int(uchar(*p)) - 128) * 256);
        } else if (bits == 16) {
            out = qint16(le16(p));
        } else if (bits == 24) {
            const qint32 v = qint32(quint32(uchar(p[0])) << 8 | quint32(uchar(p[1])) << 16 | quint32(uchar(p[2])) << 24);
            out = scaled(double(v) / 2147483648.0);
        } else {
            out = scaled(double(qint32(le32(p))) / 2147483648.0);
        }
    }
    return wave;
}

} // namespace platform
