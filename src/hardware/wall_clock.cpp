#include "hardware/wall_clock.h"

namespace zmr {
namespace {
constexpr int kFirstYear = 2000;
constexpr std::size_t kClockBytes = 6;
}  // namespace

QDateTime WallClock(const QDate& date, const QTime& time) {
  if (!date.isValid() || !time.isValid()) {
    return {};
  }
  return QDateTime(date, time, Qt::UTC);
}

QDateTime WallClock(const QDateTime& reading) {
  return reading.isValid() ? WallClock(reading.date(), reading.time()) : QDateTime();
}

QDateTime TimerWallClock(std::span<const std::uint8_t> r) {
  if (r.size() < kClockBytes) {
    return {};
  }
  return WallClock(QDate(kFirstYear + r[2], r[1], r[0]), QTime(r[3], r[4], r[5]));
}

std::int64_t WallClockMsecs(const QDateTime& from, const QDateTime& to) {
  return WallClock(from).msecsTo(WallClock(to));
}

}  // namespace zmr
