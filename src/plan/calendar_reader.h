#pragma once
// Holiday calendars (iCalendar): every event is a time without bells. A day that holds
// any part of an event is a holiday; all-day and multi-day events end the day before
// their (exclusive) end date; recurring events are expanded up to a horizon.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

#include "plan/plan_model.h"

namespace zmr {

struct CalendarReading {
  std::vector<HolidaySpan> spans;
  QString fault;  // empty when the calendar was read
};

// Occurrences of recurring events are taken up to and including horizon. Timed events
// with a known time zone or in UTC are taken in the PC's local time; floating ones as
// they stand. calendar_name goes into each span.
CalendarReading ReadCalendar(const QByteArray& bytes, const QString& calendar_name, QDate horizon);

// How far ahead recurring holidays are expanded, from the day a plan is read for.
inline constexpr int kRecurrenceYearsAhead = 2;

}  // namespace zmr
