#pragma once

// Shared by the fuzz targets: a broken invariant prints what was expected and
// aborts, so that libFuzzer keeps the input that broke it.

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>

[[noreturn]] inline void fuzzFailure(const char *file, int line, const char *condition, const QString &detail)
{
    std::fprintf(stderr, "\n%s:%d: invariant broken: %s\n  %s\n", file, line, condition,
                 detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

// `detail` is only built when the check fails.
#define FUZZ_CHECK(condition, detail)                                            \
    do {                                                                         \
        if (!(condition))                                                        \
            fuzzFailure(__FILE__, __LINE__, #condition, (detail));               \
    } while (false)

// A text with its non-printable characters escaped, for the failure report.
inline QString shown(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\')
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out + u'"';
}

// Reads fixed-size values off the front of the input; past its end they are 0.
class FuzzBytes {
public:
    FuzzBytes(const unsigned char *data, size_t size) : m_data(data), m_size(size) {}

    template <typename T>
    T take()
    {
        T value{};
        const size_t n = m_size < sizeof value ? m_size : sizeof value;
        std::memcpy(&value, m_data, n);
        m_data += n;
        m_size -= n;
        return value;
    }
    const unsigned char *data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    const unsigned char *m_data;
    size_t m_size;
};
