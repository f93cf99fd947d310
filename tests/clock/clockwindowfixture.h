#pragma once

// A clock window on a hand-set wall clock, ready to start a test.

#include "clock/tform1.h"
#include "support/recorders.h"
#include "support/screensaver.h"

#include <QTimer>
#include <memory>

struct ClockWindowFixture {
    // 10:00:00 on 6 December 2026.
    static constexpr int kStart = 36000000;

    TestPlatform platform;
    // A running test holds the screen on: recorded here, never the desktop's.
    RecordingScreenSaver screenSaver;
    std::unique_ptr<TForm1> form;

    explicit ClockWindowFixture(store::TrainingTables *tables = nullptr)
    {
        platform.clock.set(kStart);
        form = std::make_unique<TForm1>(tables);
        // Ticks are driven by hand.
        form->Timer1->stop();
        form->Edit39->setText(QStringLiteral("Anna"));
        form->Edit47->setText(QStringLiteral("Bench"));
        form->Edit51->setText(QStringLiteral("Press"));
        form->FormActivate();
    }

    // Moves the wall clock to `ms` after the start and lets the timer fire.
    void tickAt(int ms)
    {
        platform.clock.set((kStart + ms) % platform::kDayMs);
        form->Timer1Timer();
    }

    // Ticks every 100 ms from `from` to `to`, both included.
    void tickThrough(int from, int to)
    {
        for (int ms = from; ms <= to; ms += 100)
            tickAt(ms);
    }

    QString phase() const { return form->pnAbschnitt->text(); }
    QString countdown() const { return form->pClockB->text(); }
    QColor phaseColour() const { return form->pnAbschnitt->palette().color(QPalette::Window); }
};
