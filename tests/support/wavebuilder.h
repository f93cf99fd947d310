#pragma once

// Wave files built byte by byte for the sound tests, in every format the
// decoder reads, holding a recognisable channel-dependent pattern.

#include <QByteArray>

#include <functional>
#include <vector>

namespace wavebuilder {

inline qint16 patternSample(int frame, int channel)
{
    return qint16((frame * 37 + channel * 1000) % 20000 - 10000);
}

inline void put16(QByteArray &b, quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
inline void put32(QByteArray &b, quint32 v) { put16(b, quint16(v & 0xFFFF)); put16(b, quint16(v >> 16)); }

// A wave file of `frames` frames of the pattern, each sample stored by
// `store`; `extraChunk` goes between "fmt " and "data", `dataSize` (when not
// -1) overrides the size the data chunk announces.  8 kHz unless told.
inline QByteArray wave(int format, int bits, int channels, int frames,
                       const std::function<void(QByteArray &, qint16)> &store,
                       bool extensible = false, const QByteArray &extraChunk = {}, qint64 dataSize = -1,
                       int sampleRate = 8000)
{
    QByteArray fmt;
    put16(fmt, extensible ? 0xFFFE : quint16(format));
    put16(fmt, quint16(channels));
    put32(fmt, quint32(sampleRate));
    put32(fmt, quint32(sampleRate * channels * bits / 8));
    put16(fmt, quint16(channels * bits / 8));
    put16(fmt, quint16(bits));
    if (extensible) {
        put16(fmt, 22);
        put16(fmt, quint16(bits));
        put32(fmt, 0);
        put16(fmt, quint16(format));
        fmt.append(QByteArray("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14));
    }
    QByteArray data;
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            store(data, patternSample(f, c));
    QByteArray body = "WAVEfmt ";
    put32(body, quint32(fmt.size()));
    body += fmt + extraChunk + "data";
    put32(body, dataSize < 0 ? quint32(data.size()) : quint32(dataSize));
    body += data;
    QByteArray file = "RIFF";
    put32(file, quint32(body.size()));
    return file + body;
}

inline std::vector<qint16> pattern(int frames, int channels)
{
    std::vector<qint16> samples;
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            samples.push_back(patternSample(f, c));
    return samples;
}

} // namespace wavebuilder
