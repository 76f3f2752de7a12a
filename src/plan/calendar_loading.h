#pragma once
// One holidays entry of a plan read into days: a file beside the plan, or a web address
// fetched (kept_calendar.h keeps the last good copy for when the fetch fails). Every text
// is already the plan's: "calendar 'terms.ics' is not there".
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "hardware/week_state.h"
#include "plan/calendar_fetch.h"
#include "plan/plan_model.h"

namespace zmr {

// How a plan's web calendars are had.
struct CalendarAccess {
  CalendarAccess() = default;
  CalendarAccess(QString state, QDateTime at) : state_folder(std::move(state)), now(std::move(at)) {}

  QString state_folder = DefaultStateFolder();  // where their last good copies are kept
  QDateTime now = QDateTime::currentDateTimeUtc();  // for the age of a copy
  FetchLimits limits;
  // false: a web calendar of which a copy is kept is read from it without asking the
  // server (the window's edits, which need not wait on the network for each change).
  bool fetch_again = true;
};

struct LoadedCalendar {
  std::vector<HolidaySpan> spans;  // every event's, whatever the entry's `only`
  QStringList faults;              // the calendar is refused, and with it the plan
  QStringList warnings;            // read all the same; this was passed over or used instead
  bool ok() const { return faults.isEmpty(); }
};

// The calendar `source` of `plan` (relative files are taken from the plan's folder),
// its recurring events up to horizon.
//
// A web calendar that is fetched and read is kept; one that cannot be fetched, or that
// comes back refused by the reader, gives way to the copy kept, with a warning that names
// the address and the copy's age. With no copy kept either, it is refused like a missing file.
LoadedCalendar LoadCalendar(const YearPlan& plan, const QString& source, QDate horizon, const CalendarAccess& access);

}  // namespace zmr
