#pragma once

#include "model/sound.h"
#include "platform/soundcue.h"

#include <QByteArray>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <vector>

struct _snd_pcm;

namespace platform {

// Sends `frames` interleaved frames to a device through `write`, which returns
// the number of frames it took or a negative errno.  Short writes continue
// where they stopped; an underrun (-EPIPE) calls `prepare` and retries; any
// other error, or a device that keeps making no progress, ends the loop.
struct WriteOutcome {
    qint64 frames = 0; // frames the device accepted
    bool ok = true;    // false when the loop gave up before the end
};
using FrameWriter = std::function<long(const qint16 *data, long frames)>;
using DeviceReset = std::function<int()>;
WriteOutcome writeFrames(const qint16 *data, long frames, int channels,
                         const FrameWriter &write, const DeviceReset &prepare);

// Sound output through an ALSA PCM device, decoding wave files with libsndfile.
// Every failure is quiet: no device means no sound, never a message or a hang.
class AlsaSound final : public SoundOutput {
public:
    explicit AlsaSound(QByteArray deviceName = QByteArrayLiteral("default"));
    ~AlsaSound() override;
    AlsaSound(const AlsaSound &) = delete;
    AlsaSound &operator=(const AlsaSound &) = delete;

    void playWave(const QString &fileName) override;
    void beep() override;
    // Prepared, the device stays open and set up between sounds.
    void setPrepared(bool prepared) override;
    bool isPrepared() const { return m_held != nullptr; }

    // playWave() and beep() with their outcome, for callers that want to know.
    PlayResult play(const QString &fileName);
    PlayResult playCue();

    const QByteArray &deviceName() const { return m_deviceName; }
    // What the last play() sent: frames accepted by the device and the
    // format it was configured with (0 when nothing was configured).
    qint64 lastFrames() const { return m_lastFrames; }
    int lastSampleRate() const { return m_lastSampleRate; }
    int lastChannels() const { return m_lastChannels; }
    // When the last play handed its first samples to the device (the epoch
    // when it sent none).
    std::chrono::steady_clock::time_point lastFirstFrameAt() const { return m_firstFrameAt; }

private:
    void beginPlay();
    PlayResult sendCue(_snd_pcm *pcm);
    PlayResult lostDevice(_snd_pcm *pcm);
    bool useFormat(_snd_pcm *pcm, int channels, int sampleRate);
    void releaseHeld();

    QByteArray m_deviceName;
    _snd_pcm *m_held = nullptr;   // the device kept open while prepared
    int m_heldRate = 0;           // the format it is set up for, 0: none
    int m_heldChannels = 0;
    std::chrono::steady_clock::time_point m_firstFrameAt;
    qint64 m_lastFrames = 0;
    int m_lastSampleRate = 0;
    int m_lastChannels = 0;
};

} // namespace platform
