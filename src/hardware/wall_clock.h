#pragma once
// Clock readings as wall-clock values: a date and a time of day with no time zone
// behind them. The timer's clock knows nothing of daylight saving, so its reading and the
// PC's are compared field by field; read through the zone's rules, a timer showing 02:30
// on the night the clocks go forward would be no time at all, and one in the repeated
// autumn hour could be taken as an hour off.
#include <QDateTime>
#include <cstdint>
#include <span>

namespace zmr {

// The reading as a zone-free value (kept in UTC, which has no gaps and no repeats);
// invalid when date or time is.
QDateTime WallClock(const QDate& date, const QTime& time);
// The same date and time of day as `reading` shows, whatever its zone.
QDateTime WallClock(const QDateTime& reading);

// The timer's clock in a StatusReply (day, month, year - 2000, hour, minute, second);
// invalid when the bytes form no date or time of day.
QDateTime TimerWallClock(std::span<const std::uint8_t> status_reply);

// How far apart two readings are on the wall clock, in milliseconds (to - from).
std::int64_t WallClockMsecs(const QDateTime& from, const QDateTime& to);

}  // namespace zmr
