#pragma once

// A wall clock that stands where it is put; for tests and benchmarks.

#include "core/wallclock.h"

#include <QDate>

class ManualClock final : public platform::WallClock {
public:
    int timeOfDayMs() const override { return m_ms; }
    QDate today() const override { return m_date; }
    void set(int ms) { m_ms = ms; }
    // Moves on by `ms`, passing midnight into the next day.
    void advance(int ms)
    {
        const int next = (m_ms + ms) % platform::kDayMs;
        if (next < m_ms || ms >= platform::kDayMs)
            m_date = m_date.addDays(1);
        m_ms = next;
    }
    void setDate(const QDate &date) { m_date = date; }

private:
    int m_ms = 0;
    QDate m_date = QDate(2026, 12, 6);
};
