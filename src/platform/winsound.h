#pragma once

#include "model/sound.h"
#include "platform/soundcue.h"

#include <QtGlobal>

#include <chrono>
#include <functional>
#include <memory>

namespace platform {

// A sound device taking interleaved 16-bit samples.
class WaveDevice {
public:
    virtual ~WaveDevice() = default;
    // Sets the device up for this format; false when it refuses.
    virtual bool open(int channels, int sampleRate) = 0;
    // Plays the frames and returns when they have sounded; false when the
    // device failed on the way.
    virtual bool play(const qint16 *samples, qint64 frames) = 0;
};

// The Windows audio device `deviceId` (the system's choice by default)
// through the waveOut functions.
std::unique_ptr<WaveDevice> waveOutDevice(unsigned deviceId = ~0u);

// Sound output on Windows: the same built-in cue and wave files as on Linux,
// decoded here, sent to a wave device.  Every failure is quiet: no device
// means no sound, never a message or a hang.
class WinSound final : public SoundOutput {
public:
    using DeviceMaker = std::function<std::unique_ptr<WaveDevice>()>;
    // `makeDevice` gives a device for each sound, or one kept while
    // prepared; the system's audio device by default.
    explicit WinSound(DeviceMaker makeDevice = {});
    ~WinSound() override;
    WinSound(const WinSound &) = delete;
    WinSound &operator=(const WinSound &) = delete;

    void playWave(const QString &fileName) override;
    void beep() override;
    void setPrepared(bool prepared) override;
    bool isPrepared() const { return m_prepared && m_device != nullptr; }

    PlayResult play(const QString &fileName);
    PlayResult playCue();

    qint64 lastFrames() const { return m_lastFrames; }
    int lastSampleRate() const { return m_lastSampleRate; }
    int lastChannels() const { return m_lastChannels; }
    std::chrono::steady_clock::time_point lastFirstFrameAt() const { return m_firstFrameAt; }

private:
    void beginPlay();
    // The device set up for this format: the kept one when it is, else a
    // new one; null when none takes it.
    WaveDevice *deviceFor(int channels, int sampleRate);
    PlayResult send(const qint16 *samples, qint64 frames, int channels, int sampleRate, PlayResult played);
    void finish();

    DeviceMaker m_makeDevice;
    std::unique_ptr<WaveDevice> m_device;
    int m_deviceChannels = 0;
    int m_deviceRate = 0;
    bool m_prepared = false;
    std::chrono::steady_clock::time_point m_firstFrameAt;
    qint64 m_lastFrames = 0;
    int m_lastSampleRate = 0;
    int m_lastChannels = 0;
};

} // namespace platform
