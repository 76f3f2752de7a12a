#include "plan/plan_days.h"

#include <QLocale>

namespace zmr {

DayDecision DecideDay(const YearPlan& plan, QDate date) {
  DayDecision d;
  d.date = date;
  for (auto p = plan.periods.rbegin(); p != plan.periods.rend(); ++p) {
    if (p->from <= date && date <= p->to) {
      d.bells = !p->week.isEmpty();
      d.week = p->week;
      d.reason = p->name;
      return d;
    }
  }
  for (const HolidaySpan& h : plan.holiday_spans) {
    if (h.first <= date && date <= h.last) {
      d.bells = false;
      d.reason = QStringLiteral("holiday %1 (%2)").arg(h.summary.isEmpty() ? QStringLiteral("without a name") : h.summary,
                                                      h.calendar);
      return d;
    }
  }
  d.week = plan.week;
  d.reason = kPlanWeekReason;
  return d;
}

std::vector<DayDecision> PlanDays(const YearPlan& plan, QDate from, int count) {
  std::vector<DayDecision> days;
  for (int i = 0; i < count; ++i) days.push_back(DecideDay(plan, from.addDays(i)));
  return days;
}

std::optional<DayDecision> NextChange(const YearPlan& plan, QDate from, int days) {
  const DayDecision first = DecideDay(plan, from);
  for (int i = 1; i <= days; ++i) {
    DayDecision day = DecideDay(plan, from.addDays(i));
    if (day.bells != first.bells || day.week != first.week) return day;
  }
  return std::nullopt;
}

QString NextChangeText(const DayDecision& change, QDate today) {
  const QString date = QLocale::c().toString(
      change.date, change.date.year() == today.year() ? QStringLiteral("ddd d MMM") : QStringLiteral("ddd d MMM yyyy"));
  return change.bells ? QStringLiteral("%1: %2").arg(date, change.reason)
                      : QStringLiteral("%1: no bells (%2)").arg(date, change.reason);
}

}  // namespace zmr
