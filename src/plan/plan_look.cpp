#include "plan/plan_look.h"

#include <algorithm>
#include <iterator>

#include "plan/holiday_calendar.h"

namespace zmr {
namespace {

PlanRgb ColourOf(const std::vector<LegendEntry>& legend, const QString& week) {
  const auto at = std::find_if(legend.begin(), legend.end(), [&](const LegendEntry& e) { return e.week == week; });
  return at != legend.end() ? at->colour : kNoBellsTint;
}

}  // namespace

std::vector<LegendEntry> PlanLegend(const YearPlan& plan) {
  std::vector<LegendEntry> legend;
  const auto add = [&](const QString& week, const QString& label) {
    if (week.isEmpty() || std::any_of(legend.begin(), legend.end(), [&](const LegendEntry& e) { return e.week == week; })) {
      return;
    }
    legend.push_back({label, week, kWeekTints[legend.size() % std::size(kWeekTints)]});
  };
  add(plan.week, QStringLiteral("%1 (usual week)").arg(plan.week));
  for (const PlanPeriod& p : plan.periods) add(p.week, p.week);
  legend.push_back({QStringLiteral("No bells"), QString(), kNoBellsTint});
  return legend;
}

DayLook LookOfDay(const YearPlan& plan, const std::vector<LegendEntry>& legend, QDate date) {
  DayLook look;
  // Later periods win, and any period wins over a holiday.
  const auto period = std::find_if(plan.periods.rbegin(), plan.periods.rend(),
                                   [&](const PlanPeriod& p) { return p.from <= date && date <= p.to; });
  if (period != plan.periods.rend()) {
    look.cause = DayCause::Period;
    look.bells = !period->week.isEmpty();
    look.week = period->week;
    look.text = QStringLiteral("%1: %2").arg(period->name, look.bells ? period->week : QStringLiteral("no bells"));
  } else if (const auto holiday = std::find_if(plan.holiday_spans.begin(), plan.holiday_spans.end(),
                                               [&](const HolidaySpan& h) { return h.first <= date && date <= h.last; });
             holiday != plan.holiday_spans.end()) {
    look.cause = DayCause::Holiday;
    look.bells = false;
    look.text = QStringLiteral("Holiday from %1: %2")
                    .arg(holiday->calendar, holiday->summary.isEmpty() ? QStringLiteral("without a name") : holiday->summary);
  } else {
    look.week = plan.week;
    look.text = QStringLiteral("Usual week: %1").arg(plan.week);
  }
  look.colour = look.bells ? ColourOf(legend, look.week) : kNoBellsTint;
  return look;
}

int HolidayDays(const YearPlan& plan, const QString& calendar) {
  std::vector<HolidaySpan> of_calendar;
  std::copy_if(plan.holiday_spans.begin(), plan.holiday_spans.end(), std::back_inserter(of_calendar),
               [&](const HolidaySpan& h) { return h.calendar == calendar; });
  return DaysOf(of_calendar);
}

}  // namespace zmr
