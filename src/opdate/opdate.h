#pragma once
// Whole-second time of day: a count of seconds since midnight that wraps at 24 hours.
// Hours, minutes and seconds travel as 8-bit values; dates never come into it.

#include <QTime>

#include <cstdint>
#include <functional>
#include <optional>

using SecondOfDay = std::int32_t;

// Whole hours from the computer's clock to local time and to UTC, as loaded from the settings.
// Without a UTC difference of its own the UTC dial follows the system's time zone.
extern std::int32_t LocalOffset;
extern std::optional<std::int32_t> UtcOffset;

SecondOfDay SecondsFromHms(std::uint8_t h, std::uint8_t m, std::uint8_t s);
SecondOfDay AddHms(SecondOfDay t, std::uint8_t h, std::uint8_t m, std::uint8_t s);
SecondOfDay SubtractHms(SecondOfDay t, std::uint8_t h, std::uint8_t m, std::uint8_t s);
void SplitSecondOfDay(SecondOfDay t, std::uint8_t &h, std::uint8_t &m, std::uint8_t &s);

// The computer time shifted by a whole number of hours, as the dials show it.
SecondOfDay ShiftedByHours(SecondOfDay computerTime, std::int32_t hours);

// Whole hours from the system time zone's local time to UTC at that instant, so -1 in Berlin in
// winter and -2 in summer. A zone off by a half hour rounds away from zero: India's +5:30 gives -6.
std::int32_t ZoneUtcOffset(std::int64_t epochSecond);
// UtcOffset, or where the settings set none, the zone's difference now.
std::int32_t UtcOffsetInForce();

SecondOfDay CurrentSecondOfDay();
// 1 to 1000: how long until the computer's clock starts its next second.
int MillisecondsToNextSecond();
SecondOfDay LocalClockTime();
SecondOfDay UtcClockTime();

// The wall clock that CurrentSecondOfDay reads; tests put a fixed clock in its place.
using WallClock = std::function<QTime()>;
void SetWallClock(WallClock clock);

// Whole seconds since 1970-01-01 00:00 UTC by the computer's clock: the real instant, which the
// hour differences of the settings do not touch.
std::int64_t CurrentEpochSecond();
// The clock CurrentEpochSecond reads; tests put a fixed one in its place.
using EpochClock = std::function<std::int64_t()>;
void SetEpochClock(EpochClock clock);
