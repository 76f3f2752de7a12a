#pragma once
// Holiday calendars (iCalendar): every event is a time without bells. A day that holds
// any part of an event is a holiday; all-day and multi-day events end the day before
// their (exclusive) end date; recurring events are expanded up to a horizon.
//
// Calendars are read as their producers write them: a fault in a line that decides no
// day (an empty LOCATION:, a malformed DTSTAMP) is passed over and counted in one
// warning; an empty RRULE, RDATE, EXDATE, DTEND or DURATION is as if it were not there.
// A fault in what decides days (DTSTART, DTEND, DURATION, RRULE, RDATE, EXDATE,
// RECURRENCE-ID), or a BEGIN without its END, refuses the calendar, every such fault
// named with its line and the event's SUMMARY.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

#include "plan/ics_scan.h"
#include "plan/plan_model.h"

namespace zmr {

struct CalendarReading {
  std::vector<HolidaySpan> spans;     // empty when refused
  std::vector<CalendarFault> faults;  // empty when the calendar was read
  QStringList warnings;               // read, but this was left out or taken as it stands
  bool ok() const { return faults.empty(); }
};

// Occurrences of recurring events are taken up to and including horizon, with bounded
// work (rule_expansion.h): a rule that needs too much is left out with a warning, a
// calendar whose rules together need too much is refused. All-day events are the dates
// they name; timed events fall on the PC's local days they touch, times with a TZID or
// in UTC converted, floating ones as they stand (or in the calendar's X-WR-TIMEZONE).
// calendar_name goes into each span.
CalendarReading ReadCalendar(const QByteArray& bytes, const QString& calendar_name, QDate horizon);

// A calendar is a small text; anything far larger is refused rather than read whole.
// libical alone takes about a second for 8 MiB, which leaves room for the rules' steps
// within two seconds.
inline constexpr std::size_t kMaxCalendarBytes = 8 * 1024 * 1024;

// How far ahead recurring holidays are expanded, from the day a plan is read for.
inline constexpr int kRecurrenceYearsAhead = 2;

}  // namespace zmr
