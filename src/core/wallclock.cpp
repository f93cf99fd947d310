#include "core/wallclock.h"

#include <QTime>

namespace platform {
namespace {

class SystemClock final : public WallClock {
public:
    int timeOfDayMs() const override
    {
        // An invalid reading (the clock could not be read) counts as midnight.
        const int ms = QTime::currentTime().msecsSinceStartOfDay();
        return ms < 0 ? 0 : ms;
    }
    QDate today() const override { return QDate::currentDate(); }
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
