#pragma once
// Times of calendar events as what they are: an all-day date (no zone applies), a wall
// clock without a zone (floating: taken as it stands), or an instant (UTC or a TZID).
// The days an event touches are found from these without ever building a local midnight,
// which some zones skip (America/Santiago 2026-09-06 starts at 01:00).
#include <QDate>
#include <QTimeZone>
#include <QtGlobal>
#include <compare>
#include <optional>

extern "C" {
#include <libical/ical.h>
}

namespace zmr {

struct Moment {
  enum class Kind : quint8 { Day, Wall, Instant };
  Kind kind = Kind::Day;
  qint64 value = 0;  // Day: Julian day; Wall: seconds of the wall clock counted as UTC; Instant: Unix seconds
  friend auto operator<=>(const Moment&, const Moment&) = default;
};

// How a calendar's times are placed: the zones its TZIDs name, and the zone its floating
// times belong to when it names one with X-WR-TIMEZONE (as calendar services export).
class ZoneBook {
 public:
  explicit ZoneBook(icalcomponent* calendar);

  // The zone a property's TZID names: the calendar's own VTIMEZONE, else the system's
  // zone of that name; nullptr for UTC and floating times and for a TZID known nowhere
  // (unknown is then set to the name).
  icaltimezone* zoneOf(icalproperty* property, QByteArray* unknown) const;

  // t (fields as written; zone as zoneOf gave it) as a Moment; nullopt when its fields
  // are no date or time of day (month 13, 30 February, 25:00).
  std::optional<Moment> moment(const icaltimetype& t, icaltimezone* zone) const;

  // A time of a property of this calendar, its TZID applied.
  std::optional<Moment> moment(icalproperty* property, const icaltimetype& t, QByteArray* unknown) const;

  // The zone a rule is expanded in: the TZID's, else the calendar's for floating and UTC
  // starts (so a weekly 08:00 stays at 08:00 over a clock change), else none.
  icaltimezone* ruleZone(icaltimezone* zone, const icaltimetype& start) const;

 private:
  icalcomponent* calendar_;
  icaltimezone* floating_zone_ = nullptr;
};

// The PC's local days from the start to the last moment of an occurrence: length is in
// days for a Day start (at least one day), in seconds otherwise (0: the start's day only).
struct DaySpan {
  QDate first;
  QDate last;
};

// Local days of instants, quickly: the PC zone's offset is kept for the stretch between
// two of its transitions, so a dense rule does not ask the zone database each time.
class LocalDays {
 public:
  LocalDays();
  DaySpan span(const Moment& start, qint64 length);
  QDate dayOf(qint64 instant);

 private:
  QTimeZone zone_;
  qint64 from_ = 1;  // [from_, to_) has offset_; empty at first
  qint64 to_ = 0;
  qint64 offset_ = 0;
};

// Whether the fields of t name a real date (and time of day).
bool RealTime(const icaltimetype& t);

// The fields of a real t as seconds of a wall clock (a date: its 00:00), zone ignored.
qint64 FieldSeconds(const icaltimetype& t);

}  // namespace zmr
