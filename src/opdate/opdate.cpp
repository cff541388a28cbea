#include "opdate.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <utility>

std::int32_t LocalOffset = 0;
std::optional<std::int32_t> UtcOffset;

namespace {

constexpr std::int32_t SecondsPerMinute = 60;
constexpr std::int32_t SecondsPerHour = 3600;
constexpr std::int32_t SecondsPerDay = 86400;

// The zone is loaded once, by the first localtime_r: QTime::currentTime would look at
// /etc/localtime again on every tick (a stat call three times a second, for nothing).
QTime systemTime()
{
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local = {};
    localtime_r(&now.tv_sec, &local);
    // A leap second shows as :59, as the clock will show the second after it as :00.
    return {local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), int(now.tv_nsec / 1000000)};
}

WallClock &wallClock()
{
    static WallClock clock = systemTime;
    return clock;
}

std::int64_t systemEpochSecond()
{
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec;
}

EpochClock &epochClock()
{
    static EpochClock clock = systemEpochSecond;
    return clock;
}

} // namespace

SecondOfDay SecondsFromHms(std::uint8_t h, std::uint8_t m, std::uint8_t s)
{
    return ((h % 24) * SecondsPerHour + m * SecondsPerMinute + s) % SecondsPerDay;
}

SecondOfDay AddHms(SecondOfDay t, std::uint8_t h, std::uint8_t m, std::uint8_t s)
{
    return (t + SecondsFromHms(h, m, s)) % SecondsPerDay;
}

SecondOfDay SubtractHms(SecondOfDay t, std::uint8_t h, std::uint8_t m, std::uint8_t s)
{
    const SecondOfDay d = t - SecondsFromHms(h % 24, m, s);
    return d < 0 ? d + SecondsPerDay : d;
}

void SplitSecondOfDay(SecondOfDay t, std::uint8_t &h, std::uint8_t &m, std::uint8_t &s)
{
    h = static_cast<std::uint8_t>(t / SecondsPerHour);
    m = static_cast<std::uint8_t>((t - h * SecondsPerHour) / SecondsPerMinute);
    s = static_cast<std::uint8_t>(t - h * SecondsPerHour - m * SecondsPerMinute);
}

SecondOfDay ShiftedByHours(SecondOfDay computerTime, std::int32_t hours)
{
    // Only the low 8 bits of the hour count take part. The magnitude is formed in unsigned
    // arithmetic, so even the most negative offset is negated without overflow.
    if (hours >= 0)
        return AddHms(computerTime, static_cast<std::uint8_t>(hours), 0, 0);
    const auto magnitude = 0u - static_cast<std::uint32_t>(hours);
    return SubtractHms(computerTime, static_cast<std::uint8_t>(magnitude), 0, 0);
}

std::int32_t ZoneUtcOffset(std::int64_t epochSecond)
{
    // localtime_r uses the zone loaded at its first call, without looking at the file system.
    const std::time_t instant = epochSecond;
    std::tm local = {};
    if (!localtime_r(&instant, &local))
        return 0;
    return -static_cast<std::int32_t>(std::lround(double(local.tm_gmtoff) / SecondsPerHour));
}

std::int32_t UtcOffsetInForce()
{
    return UtcOffset ? *UtcOffset : ZoneUtcOffset(CurrentEpochSecond());
}

SecondOfDay CurrentSecondOfDay()
{
    const QTime now = wallClock()();
    return SecondsFromHms(static_cast<std::uint8_t>(now.hour()), static_cast<std::uint8_t>(now.minute()),
                          static_cast<std::uint8_t>(now.second()));
}

int MillisecondsToNextSecond()
{
    return 1000 - wallClock()().msec();
}

SecondOfDay LocalClockTime()
{
    return ShiftedByHours(CurrentSecondOfDay(), LocalOffset);
}

SecondOfDay UtcClockTime()
{
    return ShiftedByHours(CurrentSecondOfDay(), UtcOffsetInForce());
}

void SetWallClock(WallClock clock)
{
    wallClock() = clock ? std::move(clock) : WallClock(systemTime);
}

std::int64_t CurrentEpochSecond()
{
    return epochClock()();
}

void SetEpochClock(EpochClock clock)
{
    epochClock() = clock ? std::move(clock) : EpochClock(systemEpochSecond);
}
