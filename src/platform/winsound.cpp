#include "platform/winsound.h"

#include <utility>

#include <windows.h>
#include <mmreg.h>
#include <mmsystem.h>

namespace platform {
namespace {

// A wave file plays through one buffer, waited for at most its length and
// this much more: a device that stops taking samples cannot hold the clock.
constexpr DWORD GraceMs = 2000;

// KSDATAFORMAT_SUBTYPE_PCM, the extensible format's integer samples.
constexpr GUID PcmSubFormat = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

class WaveOutDevice final : public WaveDevice {
public:
    explicit WaveOutDevice(UINT id)
        : m_id(id)
    {
    }
    ~WaveOutDevice() override { close(); }

    bool open(int channels, int sampleRate) override
    {
        close();
        WAVEFORMATEXTENSIBLE format{};
        format.Format.wFormatTag = channels > 2 ? WAVE_FORMAT_EXTENSIBLE : WAVE_FORMAT_PCM;
        format.Format.nChannels = WORD(channels);
        format.Format.nSamplesPerSec = DWORD(sampleRate);
        format.Format.wBitsPerSample = 16;
        format.Format.nBlockAlign = WORD(channels * 2);
        format.Format.nAvgBytesPerSec = DWORD(sampleRate) * format.Format.nBlockAlign;
        if (channels > 2) {
            format.Format.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
            format.Samples.wValidBitsPerSample = 16;
            format.dwChannelMask = 0;
            format.SubFormat = PcmSubFormat;
        }
        m_done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!m_done)
            return false;
        if (waveOutOpen(&m_out, m_id, &format.Format, DWORD_PTR(m_done), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
            m_out = nullptr;
            close();
            return false;
        }
        // The open itself signals the event once.
        WaitForSingleObject(m_done, 0);
        m_sampleRate = sampleRate;
        m_channels = channels;
        return true;
    }

    bool play(const qint16 *samples, qint64 frames) override
    {
        if (!m_out)
            return false;
        WAVEHDR header{};
        header.lpData = reinterpret_cast<LPSTR>(const_cast<qint16 *>(samples));
        header.dwBufferLength = DWORD(frames * m_channels * qint64(sizeof(qint16)));
        if (waveOutPrepareHeader(m_out, &header, sizeof header) != MMSYSERR_NOERROR)
            return false;
        bool ok = waveOutWrite(m_out, &header, sizeof header) == MMSYSERR_NOERROR;
        const DWORD lengthMs = DWORD(frames * 1000 / m_sampleRate);
        const ULONGLONG deadline = GetTickCount64() + lengthMs + GraceMs;
        while (ok && !(header.dwFlags & WHDR_DONE)) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) {
                ok = false;
                break;
            }
            WaitForSingleObject(m_done, DWORD(deadline - now));
        }
        if (!(header.dwFlags & WHDR_DONE))
            waveOutReset(m_out); // hands the buffer back
        waveOutUnprepareHeader(m_out, &header, sizeof header);
        return ok;
    }

private:
    void close()
    {
        if (m_out) {
            waveOutReset(m_out);
            waveOutClose(m_out);
            m_out = nullptr;
        }
        if (m_done) {
            CloseHandle(m_done);
            m_done = nullptr;
        }
    }

    UINT m_id;
    HWAVEOUT m_out = nullptr;
    HANDLE m_done = nullptr;
    int m_sampleRate = 0;
    int m_channels = 0;
};

} // namespace

std::unique_ptr<WaveDevice> waveOutDevice(unsigned deviceId)
{
    return std::make_unique<WaveOutDevice>(deviceId == ~0u ? WAVE_MAPPER : UINT(deviceId));
}

WinSound::WinSound(DeviceMaker makeDevice)
    : m_makeDevice(makeDevice ? std::move(makeDevice) : DeviceMaker([] { return waveOutDevice(); }))
{
}

WinSound::~WinSound() = default;

void WinSound::setPrepared(bool prepared)
{
    m_prepared = prepared;
    if (!prepared) {
        m_device.reset();
        return;
    }
    // Set up for the built-in cue; a wave file of another format sets the
    // device up anew when it plays.
    try {
        if (!m_device)
            deviceFor(1, cueSampleRate);
    } catch (...) {
        m_device.reset();
    }
}

void WinSound::playWave(const QString &fileName)
{
    try {
        play(fileName);
    } catch (...) {
    }
}

void WinSound::beep()
{
    try {
        playCue();
    } catch (...) {
    }
}

void WinSound::beginPlay()
{
    m_lastFrames = 0;
    m_lastSampleRate = 0;
    m_lastChannels = 0;
    m_firstFrameAt = {};
}

WaveDevice *WinSound::deviceFor(int channels, int sampleRate)
{
    if (m_device && m_deviceChannels == channels && m_deviceRate == sampleRate)
        return m_device.get();
    m_device.reset();
    m_deviceChannels = 0;
    m_deviceRate = 0;
    std::unique_ptr<WaveDevice> device = m_makeDevice();
    if (!device || !device->open(channels, sampleRate))
        return nullptr;
    m_device = std::move(device);
    m_deviceChannels = channels;
    m_deviceRate = sampleRate;
    return m_device.get();
}

void WinSound::finish()
{
    // Unprepared, a device is kept for one sound only.
    if (!m_prepared)
        m_device.reset();
}

PlayResult WinSound::send(const qint16 *samples, qint64 frames, int channels, int sampleRate, PlayResult played)
{
    WaveDevice *device = deviceFor(channels, sampleRate);
    if (!device)
        return PlayResult::NoDevice;
    m_lastSampleRate = sampleRate;
    m_lastChannels = channels;
    m_firstFrameAt = std::chrono::steady_clock::now();
    if (!device->play(samples, frames)) {
        // A device that failed is let go, so the next sound opens it afresh.
        m_device.reset();
        return PlayResult::NoDevice;
    }
    m_lastFrames = frames;
    finish();
    return played;
}

PlayResult WinSound::playCue()
{
    beginPlay();
    const std::vector<qint16> cue = fallbackCue(cueSampleRate);
    const PlayResult result = send(cue.data(), qint64(cue.size()), 1, cueSampleRate, PlayResult::PlayedFallback);
    finish();
    return result;
}

PlayResult WinSound::play(const QString &fileName)
{
    beginPlay();
    std::optional<DecodedWave> wave;
    if (std::optional<QByteArray> bytes = readWaveFileAside(fileName))
        wave = decodeWave(*bytes);
    if (wave) {
        if (deviceFor(wave->channels, wave->sampleRate))
            return send(wave->samples.data(), wave->frames(), wave->channels, wave->sampleRate,
                        PlayResult::PlayedFile);
        // The device takes no such format: the cue at least tells the user
        // something.
    }
    return playCue();
}

} // namespace platform
