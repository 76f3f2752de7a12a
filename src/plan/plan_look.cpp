#include "plan/plan_look.h"

#include <algorithm>
#include <iterator>

#include <QLocale>

#include "plan/holiday_calendar.h"

namespace zmr {
namespace {

PlanRgb ColourOf(const std::vector<LegendEntry>& legend, const QString& week) {
  const auto at = std::find_if(legend.begin(), legend.end(), [&](const LegendEntry& e) { return e.week == week; });
  return at != legend.end() ? at->colour : kNoBellsTint;
}

// False only when the week is loaded and none of its slots that day holds an event; a
// week the plan could not load is taken to ring.
bool RingsOn(const YearPlan& plan, const QString& week, int weekday) {
  const auto loaded = plan.weeks.find(week);
  if (loaded == plan.weeks.end() || loaded->second == nullptr) return true;
  const DaySchedule& day = loaded->second->day(weekday);
  return std::any_of(day.begin(), day.begin() + kEventsPerDay, [](const ScheduleEvent& e) { return !e.isEmptyKind(); });
}

bool HasADayWithoutEvents(const YearPlan& plan, const QString& week) {
  for (int weekday = 1; weekday <= kDays; ++weekday) {
    if (!RingsOn(plan, week, weekday)) return true;
  }
  return false;
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
  if (std::any_of(legend.begin(), legend.end(), [&](const LegendEntry& e) { return HasADayWithoutEvents(plan, e.week); })) {
    legend.push_back({kNoEventsLegendText, QString(), kNoEventsTint, DayRinging::NoEventsThatDay});
  }
  legend.push_back({kNoBellsLegendText, QString(), kNoBellsTint, DayRinging::NoBells});
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
  if (!look.bells) {
    look.ringing = DayRinging::NoBells;
    look.colour = kNoBellsTint;
  } else if (!RingsOn(plan, look.week, date.dayOfWeek())) {
    look.ringing = DayRinging::NoEventsThatDay;
    look.colour = kNoEventsTint;
    look.text += QStringLiteral(", which has no events on a %1").arg(QLocale::c().dayName(date.dayOfWeek()));
  } else {
    look.colour = ColourOf(legend, look.week);
  }
  return look;
}

int HolidayDays(const YearPlan& plan, const QString& calendar) {
  std::vector<HolidaySpan> of_calendar;
  std::copy_if(plan.holiday_spans.begin(), plan.holiday_spans.end(), std::back_inserter(of_calendar),
               [&](const HolidaySpan& h) { return h.calendar == calendar; });
  return DaysOf(of_calendar);
}

}  // namespace zmr
