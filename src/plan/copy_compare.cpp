#include "plan/copy_compare.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

namespace zmr {
namespace {

// The same bytes in both weeks (an empty name: no bells, in both).
bool SameWeek(const YearPlan& a, const QString& a_week, const YearPlan& b, const QString& b_week) {
  if (a_week.isEmpty() || b_week.isEmpty()) return a_week.isEmpty() == b_week.isEmpty();
  const auto x = a.weeks.find(a_week);
  const auto y = b.weeks.find(b_week);
  if (x == a.weeks.end() || y == b.weeks.end()) return false;
  return std::memcmp(x->second.get(), y->second.get(), sizeof(ProjectSetup)) == 0;
}

using Days = std::vector<std::tuple<QString, QDate, QDate>>;

// Each calendar's days, in the order the plan names its calendars.
std::vector<Days> CalendarDays(const YearPlan& plan) {
  std::vector<Days> days(plan.holidays.size());
  for (const HolidaySpan& span : plan.holiday_spans) {
    const auto at = std::find_if(plan.holidays.begin(), plan.holidays.end(),
                                 [&](const HolidayCalendar& c) { return c.source == span.calendar; });
    if (at != plan.holidays.end()) days[static_cast<std::size_t>(at - plan.holidays.begin())].emplace_back(span.summary, span.first, span.last);
  }
  for (Days& d : days) std::sort(d.begin(), d.end());
  return days;
}

bool SamePeriods(const YearPlan& plan, const YearPlan& copy) {
  if (plan.periods.size() != copy.periods.size()) return false;
  for (std::size_t i = 0; i < plan.periods.size(); ++i) {
    const PlanPeriod& p = plan.periods[i];
    const PlanPeriod& c = copy.periods[i];
    if (p.name != c.name || p.from != c.from || p.to != c.to || !SameWeek(plan, p.week, copy, c.week)) return false;
  }
  return true;
}

}  // namespace

QStringList CopyDifferences(const YearPlan& plan, const QString& plan_port, const YearPlan& copy) {
  QStringList parts;
  if (plan_port != copy.port.value_or(QString())) parts << QStringLiteral("the port");
  if (plan.clock_tolerance != copy.clock_tolerance) parts << QStringLiteral("the clock tolerance");
  if (!SameWeek(plan, plan.week, copy, copy.week)) parts << QStringLiteral("the usual week");
  if (!SamePeriods(plan, copy)) parts << QStringLiteral("the periods");
  if (CalendarDays(plan) != CalendarDays(copy)) parts << QStringLiteral("the holiday calendars");
  return parts;
}

}  // namespace zmr
