#pragma once
// A year plan: which week a timer holds on each day of the school year, and which days
// it rings no bells at all. The plan names week files and holiday calendars; a read plan
// carries them loaded, so deciding a day never touches the disk.
#include <QDate>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "project/project_model.h"

namespace zmr {

inline constexpr int kDefaultClockTolerance = 30;  // seconds
// A tolerance of an hour or more would let a missed clock change stand.
inline constexpr int kMaxClockTolerance = 3599;

// A fault or warning of a plan, where it stands; each program words it its own way.
struct PlanFault {
  QString file;  // the plan file's name: "north.toml"
  int line = 0;  // 0: the fault is the whole file's
  QString key;   // the key it concerns within its table ("to", "week", "holidays"); empty: none
  QString text;  // "'to' 2027-05-01 is before 'from' 2027-05-10"
};

// A stretch of days with its own week, or with no bells (week empty).
struct PlanPeriod {
  QString name;
  QDate from;    // both inclusive
  QDate to;
  QString week;  // as written in the plan; empty: no bells
  int line = 0;  // where the period starts in the plan file
};

// Days without bells that a holiday calendar names: first .. last inclusive.
struct HolidaySpan {
  QString summary;
  QString calendar;  // the calendar as the plan names it
  QDate first;
  QDate last;
};

// A holidays entry: a calendar file or web address, and the words that pick its events.
struct HolidayCalendar {
  QString source;    // as written: "terms.ics", "https://school.example/terms.ics"
  QStringList only;  // a SUMMARY must hold one of them (any case) to count; empty: every event
  friend bool operator==(const HolidayCalendar&, const HolidayCalendar&) = default;
};

struct YearPlan {
  QString path;                  // the plan file
  QString name;                  // its base name: "north" for north.toml
  std::optional<QString> port;   // unset: the port stored in timer.ini
  QString week;                  // as written in the plan
  int clock_tolerance = kDefaultClockTolerance;
  std::vector<HolidayCalendar> holidays;
  std::vector<PlanPeriod> periods;

  // Filled by the reader: each week file once, and every holiday of the calendars.
  std::map<QString, std::shared_ptr<const ProjectSetup>> weeks;  // by the name as written
  std::vector<HolidaySpan> holiday_spans;
  // What the reader passed over in a calendar it took, or used in its place
  // ("north.toml line 3: calendar ...").
  std::vector<PlanFault> warnings;

  // A week or calendar named in the plan, as a path (relative names are taken from
  // the plan's folder).
  QString resolve(const QString& named) const;
};

// What a day brings and why.
struct DayDecision {
  QDate date;
  bool bells = true;
  QString week;    // the week in force when bells is true, as written in the plan
  QString reason;  // "Exam week", "holiday Christmas Day (term-dates.ics)", "the plan's week"
};

}  // namespace zmr
