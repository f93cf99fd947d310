#pragma once

// The test procedure without a window, on a hand-set wall clock, with a host
// that holds the settings and answers as the clock window does.

#include "model/clockprocedure.h"
#include "support/manualclock.h"
#include "support/recordingsound.h"

#include <QStringList>
#include <functional>

class FakeProcedureHost final : public ProcedureHost {
public:
    // The initial texts of the settings fields.
    SettingsTexts texts{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"),
                        QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("5")};
    CueSwitches cues;
    StartFields fields;
    QStringList messages;
    std::function<void()> onMessage;   // runs while a message is "open"
    bool startButtonShown = true;
    int setsStarted = 0;
    int storeOpened = 0;
    ClockProcedure *procedure = nullptr;

    SettingsTexts settingsTexts() const override { return texts; }
    CueSwitches cueSwitches() const override { return cues; }
    StartFields startFields() const override { return fields; }
    void settingsRead(const SettingsOutcome &outcome) override { texts = outcome.texts; }
    void prepareStore() override { ++storeOpened; }
    void setStarted() override
    {
        startButtonShown = false;
        ++setsStarted;
    }
    void stopped() override { startButtonShown = true; }
    void showMessage(const QString &text) override
    {
        messages << text;
        if (onMessage)
            onMessage();
        // Closing one of the window's messages activates the window.
        procedure->reset();
        procedure->stop();
    }
};

struct ProcedureFixture {
    // 10:00:00.
    static constexpr int kStart = 36000000;

    ManualClock clock;
    RecordingSound sound;
    FakeProcedureHost host;
    ClockProcedure procedure{host};

    ProcedureFixture()
    {
        platform::setWallClock(&clock);
        platform::setSoundOutput(&sound);
        clock.set(kStart);
        host.procedure = &procedure;
        // As the window's activation leaves it.
        procedure.reset();
        procedure.stop();
    }
    ~ProcedureFixture()
    {
        platform::setWallClock(nullptr);
        platform::setSoundOutput(nullptr);
    }
    ProcedureFixture(const ProcedureFixture &) = delete;
    ProcedureFixture &operator=(const ProcedureFixture &) = delete;

    // Moves the wall clock to `ms` after the start and lets the timer fire.
    void tickAt(int ms)
    {
        clock.set((kStart + ms) % platform::kDayMs);
        procedure.tick();
    }

    // Ticks every 100 ms from `from` to `to`, both included.
    void tickThrough(int from, int to)
    {
        for (int ms = from; ms <= to; ms += 100)
            tickAt(ms);
    }

    const ProcedureDisplay &shown() const { return procedure.display(); }
    const ProcedureState &state() const { return procedure.state(); }
    QString phase() const { return shown().phase; }
    QString countdown() const { return shown().countdown; }
    PanelState panel() const { return shown().panel; }
    QString setPanel() const { return QString::number(shown().setPanel); }
    QString largeSet() const { return QString::number(shown().set); }
    QString repetitionPanel() const { return QString::number(shown().repetitionPanel); }
    QString largeRepetition() const { return QString::number(shown().repetition); }
};
