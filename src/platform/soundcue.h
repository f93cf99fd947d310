#pragma once

// What every sound output shares: the built-in cue, the reading of wave
// files, and their decoding into 16-bit samples.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace platform {

// What one play() did.
enum class PlayResult {
    PlayedFile,     // the file was decoded and sent to the device
    PlayedFallback, // the built-in cue was sent: a beep, or a file that could not be used
    NoDevice        // the device could not be opened or configured, or refused samples
};

// The largest wave file played; a larger one gets the built-in cue.
constexpr qint64 maxWaveFileBytes = 16 * 1024 * 1024;
// The built-in cue's sample rate.
constexpr int cueSampleRate = 48000;

// The built-in cue for a missing or unusable wave file: a 150 ms 880 Hz sine,
// mono, 16 bit, faded in and out over 10 ms so it starts and ends without a click.
std::vector<qint16> fallbackCue(int sampleRate);

// The bytes of a wave file when it is an ordinary file of at most
// maxWaveFileBytes, read on a thread of its own and waited for at most half
// a second: a file on a share that does not answer gives the built-in cue
// instead of holding up the clock's tick.  Never blocks on a named pipe.
std::optional<QByteArray> readWaveFileAside(const QString &fileName);

// A wave file's samples as 16-bit integers, interleaved.
struct DecodedWave {
    int sampleRate = 0;
    int channels = 0;
    std::vector<qint16> samples;
    qint64 frames() const { return channels > 0 ? qint64(samples.size()) / channels : 0; }
};

// More channels than any sound device offers: such a file is treated as unusable.
constexpr int maxWaveChannels = 32;

// Decodes a RIFF wave file: integer PCM of 8, 16, 24 or 32 bits and IEEE
// floats of 32 or 64 bits, plain or in the extensible format.  Samples are
// scaled as a float of full scale 1.0 times 32768, rounded and clipped, so
// every format sounds at its level.  Nothing for anything else, and for a
// file without a single whole frame.
std::optional<DecodedWave> decodeWave(const QByteArray &bytes);

} // namespace platform
