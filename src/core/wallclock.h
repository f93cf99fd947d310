#pragma once

#include <QDate>

#include <cstdint>

namespace platform {

// The length of a day in milliseconds: a time-of-day reading runs from 0 to
// one less, and an elapsed time that comes out negative passed midnight.
inline constexpr std::int32_t kDayMs = 86400000;

// The local wall clock.  The clock window reads the time of day through this
// interface so that tests can set the time by hand.
class WallClock {
public:
    virtual ~WallClock() = default;
    // Milliseconds since local midnight, 0 to 86399999.
    virtual int timeOfDayMs() const = 0;
    virtual QDate today() const = 0;
};

// The local time of day at instants given in UTC, for a clock read many
// times a second.  Looking the local time up reads the time zone again, a
// file system call each time; a zone's offset from UTC changes only on a
// whole minute, so it is looked up once per minute of the readings.
class LocalTimeOfDay {
public:
    // Milliseconds since local midnight at `utcMs` (since the epoch).
    int at(std::int64_t utcMs);

private:
    bool m_known = false;
    std::int64_t m_minute = 0;
    std::int64_t m_offsetMs = 0;
};

WallClock &wallClock();
// Installs a replacement clock (nullptr restores the system clock).
void setWallClock(WallClock *clock);

} // namespace platform
