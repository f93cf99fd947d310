#include "platform/wallclock.h"

#include "clock/timetext.h"

#include <QTime>

namespace platform {
namespace {

constexpr int kDayMs = 86400000;

class SystemClock final : public WallClock {
public:
    int timeOfDayMs() const override { return TimeOfDayMs(QTime::currentTime()); }
    QDate today() const override { return QDate::currentDate(); }
};

SystemClock systemClock;
WallClock *installedClock = nullptr;

} // namespace

void ManualClock::advance(int ms)
{
    const int next = (m_ms + ms) % kDayMs;
    if (next < m_ms || ms >= kDayMs)
        m_date = m_date.addDays(1);
    m_ms = next;
}

WallClock &wallClock()
{
    return installedClock ? *installedClock : systemClock;
}

void setWallClock(WallClock *clock)
{
    installedClock = clock;
}

} // namespace platform
