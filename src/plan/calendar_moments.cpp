#include "plan/calendar_moments.h"

#include <QDateTime>
#include <QTime>
#include <limits>

namespace zmr {
namespace {

constexpr int kLeapSecond = 60;  // RFC 5545 allows :60 in a time
constexpr qint64 kSecondsPerDay = 24 * 60 * 60;

qint64 OffsetAt(icaltimezone* zone, qint64 instant) {
  icaltimetype utc =
      icaltime_from_timet_with_zone(static_cast<time_t>(instant), 0, icaltimezone_get_utc_timezone());
  int daylight = 0;
  return icaltimezone_get_utc_offset_of_utc_time(zone, &utc, &daylight);
}

// The instant of a wall clock time in a zone as RFC 5545 reads it: a time that occurs
// twice is the first of them; a time the clocks skip takes the offset from before the
// skip (02:30 on a spring-forward night is 03:30). Zone changes lie more than a day apart.
qint64 InstantOf(qint64 wall, icaltimezone* zone) {
  const qint64 before = OffsetAt(zone, wall - kSecondsPerDay);
  const qint64 after = OffsetAt(zone, wall + kSecondsPerDay);
  const qint64 early = wall - before;
  const qint64 late = wall - after;
  const bool early_holds = OffsetAt(zone, early) == before;
  const bool late_holds = OffsetAt(zone, late) == after;
  if (early_holds && late_holds) return std::min(early, late);
  if (late_holds) return late;
  return early;
}

}  // namespace

qint64 FieldSeconds(const icaltimetype& t) {
  const QTime time =
      icaltime_is_date(t) ? QTime(0, 0) : QTime(t.hour, t.minute, std::min(t.second, kLeapSecond - 1));
  return QDateTime(QDate(t.year, t.month, t.day), time, Qt::UTC).toSecsSinceEpoch();
}

bool RealTime(const icaltimetype& t) {
  if (!QDate::isValid(t.year, t.month, t.day)) return false;
  return icaltime_is_date(t) || (t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
                                 t.second >= 0 && t.second <= kLeapSecond);
}

ZoneBook::ZoneBook(icalcomponent* calendar) : calendar_(calendar) {
  for (icalproperty* p = icalcomponent_get_first_property(calendar, ICAL_X_PROPERTY); p != nullptr;
       p = icalcomponent_get_next_property(calendar, ICAL_X_PROPERTY)) {
    if (qstricmp(icalproperty_get_x_name(p), "X-WR-TIMEZONE") != 0) continue;
    const char* name = icalproperty_get_x(p);
    if (name != nullptr && *name != '\0') floating_zone_ = icaltimezone_get_builtin_timezone(name);
  }
}

icaltimezone* ZoneBook::zoneOf(icalproperty* property, QByteArray* unknown) const {
  icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
  if (tzid == nullptr) return nullptr;
  const char* name = icalparameter_get_tzid(tzid);
  if (name == nullptr || *name == '\0') return nullptr;
  if (icaltimezone* own = icalcomponent_get_timezone(calendar_, name)) return own;
  if (icaltimezone* system = icaltimezone_get_builtin_timezone_from_tzid(name)) return system;
  if (icaltimezone* system = icaltimezone_get_builtin_timezone(name)) return system;
  if (unknown != nullptr) *unknown = name;
  return nullptr;
}

std::optional<Moment> ZoneBook::moment(const icaltimetype& t, icaltimezone* zone) const {
  if (!RealTime(t)) return std::nullopt;
  if (icaltime_is_date(t)) return Moment{Moment::Kind::Day, QDate(t.year, t.month, t.day).toJulianDay()};
  if (icaltime_is_utc(t)) return Moment{Moment::Kind::Instant, FieldSeconds(t)};
  if (zone == nullptr) zone = floating_zone_;
  if (zone == nullptr) return Moment{Moment::Kind::Wall, FieldSeconds(t)};
  return Moment{Moment::Kind::Instant, InstantOf(FieldSeconds(t), zone)};
}

std::optional<Moment> ZoneBook::moment(icalproperty* property, const icaltimetype& t,
                                       QByteArray* unknown) const {
  return moment(t, icaltime_is_utc(t) || icaltime_is_date(t) ? nullptr : zoneOf(property, unknown));
}

icaltimezone* ZoneBook::ruleZone(icaltimezone* zone, const icaltimetype& start) const {
  if (zone != nullptr || icaltime_is_date(start)) return zone;
  return floating_zone_;
}

LocalDays::LocalDays() : zone_(QTimeZone::systemTimeZone()) {}

QDate LocalDays::dayOf(qint64 instant) {
  if (!zone_.isValid()) return QDateTime::fromSecsSinceEpoch(instant).date();
  if (instant < from_ || instant >= to_) {
    const QDateTime at = QDateTime::fromSecsSinceEpoch(instant, Qt::UTC);
    offset_ = zone_.offsetFromUtc(at);
    const QTimeZone::OffsetData before = zone_.previousTransition(at.addSecs(1));
    const QTimeZone::OffsetData after = zone_.nextTransition(at);
    from_ = before.atUtc.isValid() ? before.atUtc.toSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    to_ = after.atUtc.isValid() ? after.atUtc.toSecsSinceEpoch() : std::numeric_limits<qint64>::max();
  }
  return QDateTime::fromSecsSinceEpoch(instant + offset_, Qt::UTC).date();
}

DaySpan LocalDays::span(const Moment& start, qint64 length) {
  // The day of the last moment: an event that ends at midnight leaves the next day alone.
  const qint64 last = start.value + std::max<qint64>(0, length - 1);
  switch (start.kind) {
    case Moment::Kind::Day: {
      const QDate first = QDate::fromJulianDay(start.value);
      return {first, first.addDays(std::max<qint64>(1, length) - 1)};
    }
    case Moment::Kind::Wall:
      return {QDateTime::fromSecsSinceEpoch(start.value, Qt::UTC).date(),
              QDateTime::fromSecsSinceEpoch(last, Qt::UTC).date()};
    case Moment::Kind::Instant:
      return {dayOf(start.value), dayOf(last)};
  }
  return {};
}

}  // namespace zmr
