#pragma once

#include <QDate>

namespace platform {

// The local wall clock.  The clock window reads the time of day through this
// interface so that tests can set the time by hand.
class WallClock {
public:
    virtual ~WallClock() = default;
    // Milliseconds since local midnight, 0 to 86399999.
    virtual int timeOfDayMs() const = 0;
    virtual QDate today() const = 0;
};

WallClock &wallClock();
// Installs a replacement clock (nullptr restores the system clock).
void setWallClock(WallClock *clock);

// A clock that stands where it is put; for tests and benchmarks.
class ManualClock final : public WallClock {
public:
    int timeOfDayMs() const override { return m_ms; }
    QDate today() const override { return m_date; }
    void set(int ms) { m_ms = ms; }
    // Moves on by `ms`, passing midnight into the next day.
    void advance(int ms);
    void setDate(const QDate &date) { m_date = date; }

private:
    int m_ms = 0;
    QDate m_date = QDate(2026, 12, 6);
};

} // namespace platform
