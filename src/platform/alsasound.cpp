#include "platform/alsasound.h"

#include "core/files.h"
#include "core/library.h"

#include <QFile>
#include <QLibrary>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include <alsa/asoundlib.h>
#include <sndfile.h>

namespace platform {
namespace {

constexpr sf_count_t BlockFrames = 4096;
// Device buffer: long enough that decoding the next block never underruns.
constexpr unsigned LatencyUs = 200000;
// Underruns or writes without progress in a row before giving up on a device.
constexpr int MaxStalls = 8;

// libsndfile, loaded when the first wave file is decoded rather than with
// the program: it brings the libraries of every format it reads, which
// every start would load and bind for a sound that may never play.  Without
// it, a wave file is as good as a missing one and the built-in cue sounds.
struct Sndfile {
    decltype(&sf_open_virtual) openVirtual = nullptr;
    decltype(&sf_readf_float) readfFloat = nullptr;
    decltype(&sf_close) close = nullptr;
    bool usable() const { return openVirtual && readfFloat && close; }
};

const Sndfile &sndfile()
{
    static const Sndfile library = [] {
        Sndfile functions;
        QLibrary sndfile(QStringLiteral("sndfile"), 1);
        if (sndfile.load()) {
            core::resolveFunction(sndfile, functions.openVirtual, "sf_open_virtual");
            core::resolveFunction(sndfile, functions.readfFloat, "sf_readf_float");
            core::resolveFunction(sndfile, functions.close, "sf_close");
        }
        return functions;
    }();
    return library;
}

struct SndfileCloser {
    void operator()(SNDFILE *file) const { sndfile().close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

// libasound, loaded when the first sound plays rather than with the
// program, like libsndfile below: a start binds neither for a cue that may
// never sound.  Without it there is no sound device, as on a machine
// without a sound card.
struct Alsa {
    decltype(&snd_pcm_open) open = nullptr;
    decltype(&snd_pcm_nonblock) nonblock = nullptr;
    decltype(&snd_pcm_set_params) setParams = nullptr;
    decltype(&snd_pcm_writei) writei = nullptr;
    decltype(&snd_pcm_prepare) prepare = nullptr;
    decltype(&snd_pcm_drain) drain = nullptr;
    decltype(&snd_pcm_close) close = nullptr;
    bool usable() const { return open && nonblock && setParams && writei && prepare && drain && close; }
};

// ALSA reports its errors on stderr unless told otherwise; a machine without
// a sound card would get a screenful on every cue.
void silentAlsaError(const char *, int, const char *, int, const char *, ...) {}

const Alsa &alsa()
{
    static const Alsa library = [] {
        Alsa functions;
        QLibrary asound(QStringLiteral("asound"), 2);
        if (!asound.load())
            return functions;
        core::resolveFunction(asound, functions.open, "snd_pcm_open");
        core::resolveFunction(asound, functions.nonblock, "snd_pcm_nonblock");
        core::resolveFunction(asound, functions.setParams, "snd_pcm_set_params");
        core::resolveFunction(asound, functions.writei, "snd_pcm_writei");
        core::resolveFunction(asound, functions.prepare, "snd_pcm_prepare");
        core::resolveFunction(asound, functions.drain, "snd_pcm_drain");
        core::resolveFunction(asound, functions.close, "snd_pcm_close");
        decltype(&snd_lib_error_set_handler) setErrorHandler = nullptr;
        if (core::resolveFunction(asound, setErrorHandler, "snd_lib_error_set_handler"))
            setErrorHandler(silentAlsaError);
        return functions;
    }();
    return library;
}

struct PcmCloser {
    void operator()(snd_pcm_t *pcm) const { alsa().close(pcm); }
};
using PcmHandle = std::unique_ptr<snd_pcm_t, PcmCloser>;

// Opens without blocking, so a device held by someone else fails at once
// instead of waiting; writes then block so play() returns when the sound ends.
PcmHandle openDevice(const QByteArray &name)
{
    if (!alsa().usable())
        return {};
    snd_pcm_t *raw = nullptr;
    if (alsa().open(&raw, name.constData(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return {};
    PcmHandle pcm(raw);
    if (alsa().nonblock(raw, 0) < 0)
        return {};
    return pcm;
}

// The device a sound goes to: the held one, else `name` opened into `own`
// for this sound alone; null when neither is there.
snd_pcm_t *soundDevice(snd_pcm_t *held, const QByteArray &name, PcmHandle &own)
{
    if (held)
        return held;
    own = openDevice(name);
    return own.get();
}

bool configure(snd_pcm_t *pcm, int channels, int sampleRate)
{
    // 16-bit samples in native byte order suit every device; resampling
    // and channel mapping are left to ALSA's plug layer where there is one.
    return alsa().setParams(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                              unsigned(channels), unsigned(sampleRate), 1, LatencyUs)
        == 0;
}

// libsndfile hands out any sample format as floats scaled to [-1, 1]; reading
// shorts directly would leave floating-point files all but silent, as their
// samples are not scaled up.  Values beyond full scale are clipped.
sf_count_t readBlock(SNDFILE *file, std::vector<float> &floats, std::vector<qint16> &samples,
                     int channels)
{
    const sf_count_t frames = sndfile().readfFloat(file, floats.data(), BlockFrames);
    const size_t count = frames > 0 ? size_t(frames) * size_t(channels) : 0;
    for (size_t i = 0; i < count; ++i) {
        const double scaled = std::clamp(double(floats[i]) * 32768.0, -32768.0, 32767.0);
        samples[i] = qint16(std::lround(scaled));
    }
    return frames;
}

WriteOutcome sendFrames(snd_pcm_t *pcm, const qint16 *data, long frames, int channels)
{
    return writeFrames(
        data, frames, channels,
        [pcm](const qint16 *d, long n) {
            return long(alsa().writei(pcm, d, snd_pcm_uframes_t(n)));
        },
        [pcm] { return alsa().prepare(pcm); });
}

} // namespace

WriteOutcome writeFrames(const qint16 *data, long frames, int channels,
                         const FrameWriter &write, const DeviceReset &prepare)
{
    WriteOutcome outcome;
    int stalls = 0;
    while (frames > 0) {
        const long written = write(data, frames);
        if (written > 0) {
            const long taken = std::min(written, frames);
            data += taken * channels;
            frames -= taken;
            outcome.frames += taken;
            stalls = 0;
            continue;
        }
        // An underrun is recovered by preparing the device again; an
        // interrupted or empty write is simply retried.  Both only a few
        // times in a row, so a device that never recovers cannot hold us.
        const bool retry = written == -EPIPE || written == -EINTR || written == 0;
        if (!retry || ++stalls > MaxStalls || (written == -EPIPE && prepare() < 0)) {
            outcome.ok = false;
            break;
        }
    }
    return outcome;
}

AlsaSound::AlsaSound(QByteArray deviceName)
    : m_deviceName(std::move(deviceName))
{
}

AlsaSound::~AlsaSound()
{
    releaseHeld();
}

void AlsaSound::setPrepared(bool prepared)
{
    if (!prepared) {
        releaseHeld();
        return;
    }
    if (m_held)
        return;
    try {
        m_held = openDevice(m_deviceName).release();
        // Set up for the built-in cue; a wave file of another format sets
        // the device up anew when it plays.
        if (m_held)
            useFormat(m_held, 1, cueSampleRate);
    } catch (...) {
        releaseHeld();
    }
}

void AlsaSound::releaseHeld()
{
    if (m_held)
        alsa().close(m_held);
    m_held = nullptr;
    m_heldRate = 0;
    m_heldChannels = 0;
}

bool AlsaSound::useFormat(snd_pcm_t *pcm, int channels, int sampleRate)
{
    const bool held = pcm == m_held;
    if (held && m_heldRate == sampleRate && m_heldChannels == channels)
        return alsa().prepare(pcm) == 0;
    const bool ok = configure(pcm, channels, sampleRate);
    if (held) {
        m_heldRate = ok ? sampleRate : 0;
        m_heldChannels = ok ? channels : 0;
    }
    return ok;
}

void AlsaSound::playWave(const QString &fileName)
{
    // Sound is a courtesy: nothing that goes wrong here may disturb the caller.
    try {
        play(fileName);
    } catch (...) {
    }
}

void AlsaSound::beep()
{
    // The window system's bell is muted or missing on most desktops; the cue
    // goes wherever a wave file would be heard.
    try {
        playCue();
    } catch (...) {
    }
}

void AlsaSound::beginPlay()
{
    m_lastFrames = 0;
    m_lastSampleRate = 0;
    m_lastChannels = 0;
    m_firstFrameAt = {};
}

PlayResult AlsaSound::playCue()
{
    beginPlay();
    PcmHandle own;
    snd_pcm_t *pcm = soundDevice(m_held, m_deviceName, own);
    if (!pcm)
        return PlayResult::NoDevice;
    return sendCue(pcm);
}

PlayResult AlsaSound::sendCue(snd_pcm_t *pcm)
{
    const std::vector<qint16> cue = fallbackCue(cueSampleRate);
    if (!useFormat(pcm, 1, cueSampleRate))
        return lostDevice(pcm);
    m_lastSampleRate = cueSampleRate;
    m_lastChannels = 1;
    m_firstFrameAt = std::chrono::steady_clock::now();
    const WriteOutcome sent = sendFrames(pcm, cue.data(), long(cue.size()), 1);
    m_lastFrames = sent.frames;
    if (!sent.ok)
        return lostDevice(pcm);
    alsa().drain(pcm);
    return PlayResult::PlayedFallback;
}

// A held device that failed is let go, so the next sound opens it afresh.
PlayResult AlsaSound::lostDevice(snd_pcm_t *pcm)
{
    if (pcm == m_held)
        releaseHeld();
    return PlayResult::NoDevice;
}

namespace {

// libsndfile reading a wave file held in memory.
struct MemoryWave {
    QByteArray bytes;
    sf_count_t position = 0;

    static sf_count_t length(void *self) { return static_cast<MemoryWave *>(self)->bytes.size(); }
    static sf_count_t seek(sf_count_t offset, int whence, void *self)
    {
        auto *wave = static_cast<MemoryWave *>(self);
        const sf_count_t base = whence == SEEK_CUR ? wave->position : whence == SEEK_END ? wave->bytes.size() : 0;
        wave->position = std::clamp<sf_count_t>(base + offset, 0, wave->bytes.size());
        return wave->position;
    }
    static sf_count_t read(void *out, sf_count_t count, void *self)
    {
        auto *wave = static_cast<MemoryWave *>(self);
        const sf_count_t n = std::max<sf_count_t>(0, std::min<sf_count_t>(count, wave->bytes.size() - wave->position));
        std::memcpy(out, wave->bytes.constData() + wave->position, size_t(n));
        wave->position += n;
        return n;
    }
    static sf_count_t write(const void *, sf_count_t, void *) { return 0; }
    static sf_count_t tell(void *self) { return static_cast<MemoryWave *>(self)->position; }
};

SNDFILE *openWave(MemoryWave &wave, SF_INFO &info)
{
    static SF_VIRTUAL_IO io{&MemoryWave::length, &MemoryWave::seek, &MemoryWave::read, &MemoryWave::write,
                            &MemoryWave::tell};
    if (!sndfile().usable())
        return nullptr;
    return sndfile().openVirtual(&io, SFM_READ, &info, &wave);
}

} // namespace

PlayResult AlsaSound::play(const QString &fileName)
{
    beginPlay();

    // Decode the first block before touching the device: a file that yields
    // no samples at all is as good as a missing one.
    SF_INFO info{};
    MemoryWave wave;
    SndfileHandle file;
    if (std::optional<QByteArray> bytes = readWaveFileAside(fileName)) {
        wave.bytes = std::move(*bytes);
        file.reset(openWave(wave, info));
    }
    std::vector<float> floats;
    std::vector<qint16> block;
    sf_count_t decoded = 0;
    if (file && info.channels > 0 && info.channels <= maxWaveChannels && info.samplerate > 0) {
        floats.resize(size_t(BlockFrames) * size_t(info.channels));
        block.resize(floats.size());
        decoded = readBlock(file.get(), floats, block, info.channels);
    }
    if (decoded <= 0)
        file.reset();

    PcmHandle own;
    snd_pcm_t *pcm = soundDevice(m_held, m_deviceName, own);
    if (!pcm)
        return PlayResult::NoDevice;

    if (file) {
        if (useFormat(pcm, info.channels, info.samplerate)) {
            m_lastSampleRate = info.samplerate;
            m_lastChannels = info.channels;
            m_firstFrameAt = std::chrono::steady_clock::now();
            while (decoded > 0) {
                const WriteOutcome sent = sendFrames(pcm, block.data(), long(decoded), info.channels);
                m_lastFrames += sent.frames;
                if (!sent.ok)
                    return lostDevice(pcm);
                decoded = readBlock(file.get(), floats, block, info.channels);
            }
            alsa().drain(pcm);
            return PlayResult::PlayedFile;
        }
        // The device takes no such format (an odd rate or channel count on a
        // device without conversion): the cue at least tells the user something.
        // A refused set-up can leave the device unusable, so it is opened anew.
        if (pcm == m_held) {
            releaseHeld();
            m_held = openDevice(m_deviceName).release();
            pcm = m_held;
        } else {
            own = openDevice(m_deviceName);
            pcm = own.get();
        }
        if (!pcm)
            return PlayResult::NoDevice;
    }

    return sendCue(pcm);
}

} // namespace platform
