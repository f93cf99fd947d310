// How late a cue is: the time from the clock tick that decides it to the
// first sample handed to the sound device, through the real ALSA output on
// ALSA's "null" device.  The procedure keeps its output prepared while a test
// runs; the baseline in the same run opens the device for every cue.
//
//   build/release/bench/bench_cue
//
// Counters: p50_ms, p99_ms (target p99 under 20 ms), max_ms, and
// p99_vs_unprepared (p99 prepared / p99 of the baseline).

#include "model/clockprocedure.h"
#include "platform/alsasound.h"
#include "support/manualclock.h"

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

// The two wave cues as a tester would give them: 150 ms, 48 kHz, mono.
void writeWave(const QString &path)
{
    constexpr int rate = 48000;
    constexpr int frames = rate * 150 / 1000;
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + frames * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(frames * 2);
    for (int i = 0; i < frames; ++i)
        out << qint16(std::lround(8000 * std::sin(2 * 3.14159265 * 660 * i / rate)));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
}

// Passes sounds on, but never keeps the device prepared.
class Unprepared final : public platform::SoundOutput {
public:
    explicit Unprepared(platform::SoundOutput &out) : m_out(out) {}
    void playWave(const QString &fileName) override { m_out.playWave(fileName); }
    void beep() override { m_out.beep(); }

private:
    platform::SoundOutput &m_out;
};

class Host final : public ProcedureHost {
public:
    SettingsTexts settingsTexts() const override
    {
        return {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"),
                QStringLiteral("1"), QStringLiteral("1000000"), QStringLiteral("1"), QStringLiteral("5")};
    }
    // Every phase entry gives its cue: two wave files and two beeps per repetition.
    CueSwitches cueSwitches() const override { return {true, true, true, true, true}; }
    StartFields startFields() const override { return {}; }
    void showMessage(const QString &) override {}
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(std::ceil(p * double(values.size())) - 1));
    return values[index];
}

double g_unpreparedP99 = 0;

void measure(benchmark::State &state, bool prepared)
{
    QTemporaryDir dir;
    writeWave(dir.filePath(QStringLiteral("AnfangTo.wav")));
    writeWave(dir.filePath(QStringLiteral("AnfangFro.wav")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());

    ManualClock clock;
    platform::AlsaSound device(QByteArrayLiteral("null"));
    Unprepared unprepared(device);
    platform::setWallClock(&clock);
    platform::setSoundOutput(prepared ? static_cast<platform::SoundOutput *>(&device) : &unprepared);
    Host host;
    ClockProcedure procedure(host);
    int now = 36000000;
    clock.set(now);
    procedure.start();
    now += 50;   // ticks 50 ms into each phase of 1 s: every tick enters a phase

    std::vector<double> latencies;
    for (auto _ : state) {
        now += 1000;
        clock.set(now % platform::kDayMs);
        const auto decided = std::chrono::steady_clock::now();
        procedure.tick();
        if (device.lastFirstFrameAt() < decided) {
            state.SkipWithError("ALSA's \"null\" device took no samples");
            break;
        }
        const double ms = std::chrono::duration<double, std::milli>(device.lastFirstFrameAt() - decided).count();
        state.SetIterationTime(ms / 1000);
        latencies.push_back(ms);
    }
    procedure.stop();
    platform::setSoundOutput(nullptr);
    platform::setWallClock(nullptr);
    QDir::setCurrent(previous);

    const double p99 = percentile(latencies, 0.99);
    state.counters["p50_ms"] = percentile(latencies, 0.50);
    state.counters["p99_ms"] = p99;
    state.counters["max_ms"] = percentile(latencies, 1.0);
    if (!prepared)
        g_unpreparedP99 = p99;
    else if (g_unpreparedP99 > 0)
        state.counters["p99_vs_unprepared"] = p99 / g_unpreparedP99;
}

void BM_CueUnpreparedBaseline(benchmark::State &state)
{
    measure(state, false);
}

void BM_CuePrepared(benchmark::State &state)
{
    measure(state, true);
}

BENCHMARK(BM_CueUnpreparedBaseline)->UseManualTime()->Iterations(400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CuePrepared)->UseManualTime()->Iterations(400)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
