#pragma once
// The files a plan names, in one place: what a copy of the plan must carry with it and
// what two copies of a plan are compared by.
#include <QString>
#include <vector>

#include "plan/holiday_calendar.h"
#include "plan/plan_model.h"

namespace zmr {

struct PlanFile {
  enum class Kind { Week, Calendar };
  Kind kind = Kind::Week;
  QString named;  // as the plan writes it
  bool operator==(const PlanFile&) const = default;
};

// The usual week, each period's week, each holiday calendar: each name once, in the order
// the plan names them.
std::vector<PlanFile> PlanFiles(const YearPlan& plan);

// Why a file a plan names cannot even be looked at ("is not there", "cannot be read:
// File access denied."), empty when it can. A folder on the way that the job's user may
// not search is not a missing file.
QString Unreachable(const QString& file);

// The plan with each file name it uses replaced by renamed(name); web addresses kept.
template <typename Rename>
YearPlan RenamePlanFiles(YearPlan plan, Rename renamed) {
  plan.week = renamed(plan.week);
  for (PlanPeriod& p : plan.periods) {
    if (!p.week.isEmpty()) p.week = renamed(p.week);
  }
  for (HolidayCalendar& c : plan.holidays) {
    if (!IsWebCalendar(c.source)) c.source = renamed(c.source);
  }
  plan.weeks.clear();
  plan.holiday_spans.clear();
  plan.warnings.clear();
  return plan;
}

}  // namespace zmr
