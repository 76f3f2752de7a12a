#pragma once
// The days the events of one calendar file take: each event's instances (DTSTART always
// the first, its RRULEs, its RDATEs, less its EXDATEs and the instances that another
// VEVENT moved by RECURRENCE-ID), each spread over the days it touches.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <map>
#include <set>
#include <vector>

#include "plan/calendar_moments.h"
#include "plan/calendar_reader.h"
#include "plan/rule_expansion.h"

namespace zmr {

class EventDays {
 public:
  EventDays(const QString& calendar, QDate horizon, CalendarReading& reading)
      : calendar_(calendar), horizon_(horizon), reading_(reading) {}

  // First, for every event: an instance that a VEVENT with RECURRENCE-ID replaces.
  void noteMoved(icalcomponent* event, const IcsEvent& where, const ZoneBook& zones);

  // Adds the event's days, or its faults to the reading. False once the calendar's
  // steps have run out: nothing more is to be read.
  bool add(icalcomponent* event, const IcsEvent& where, const ZoneBook& zones);

  // TZIDs that named no known zone, each with the first line that used it.
  const std::map<QByteArray, int>& unknownZones() const { return unknown_zones_; }

 private:
  struct Event;
  // The instances of one RRULE of the event, in found when it was expanded whole.
  RuleEnd expandRule(const Event& e, icalproperty* rule, const icaltimetype& start_time, icaltimezone* zone,
                     std::vector<Moment>& found);
  void addDays(const Moment& start, qint64 length, const QString& summary, DaySpan& previous);

  const QString& calendar_;
  QDate horizon_;
  CalendarReading& reading_;
  long long steps_left_ = kMaxCalendarSteps;
  std::set<std::pair<QString, Moment>> moved_;  // UID and the instance's RECURRENCE-ID
  std::map<QByteArray, int> unknown_zones_;
  LocalDays local_;
};

}  // namespace zmr
