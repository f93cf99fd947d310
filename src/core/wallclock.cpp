#include "core/wallclock.h"

#include <QDateTime>

namespace platform {

int LocalTimeOfDay::at(std::int64_t utcMs)
{
    const std::int64_t minute = utcMs >= 0 ? utcMs / 60000 : (utcMs - 59999) / 60000;
    if (!m_known || minute != m_minute) {
        m_offsetMs = std::int64_t(QDateTime::fromMSecsSinceEpoch(utcMs).offsetFromUtc()) * 1000;
        m_minute = minute;
        m_known = true;
    }
    const std::int64_t ms = (utcMs + m_offsetMs) % kDayMs;
    return static_cast<int>(ms < 0 ? ms + kDayMs : ms);
}

namespace {

class SystemClock final : public WallClock {
public:
    int timeOfDayMs() const override
    {
        // Read on the main thread alone (the clock window's ticks).
        return m_local.at(QDateTime::currentMSecsSinceEpoch());
    }
    QDate today() const override { return QDate::currentDate(); }

private:
    mutable LocalTimeOfDay m_local;
};

SystemClock systemClock;
WallClock *installedClock = nullptr;

} // namespace

WallClock &wallClock()
{
    return installedClock ? *installedClock : systemClock;
}

void setWallClock(WallClock *clock)
{
    installedClock = clock;
}

} // namespace platform
