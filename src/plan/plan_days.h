#pragma once
// The day-by-day reading of a plan: which week (or no bells) decides each day, and why.
// Where periods overlap the later one in the file wins; any period wins over a holiday.
#include <optional>
#include <vector>

#include "plan/plan_model.h"

namespace zmr {

inline const QString kPlanWeekReason = QStringLiteral("the plan's week");

DayDecision DecideDay(const YearPlan& plan, QDate date);

// count days from `from` on.
std::vector<DayDecision> PlanDays(const YearPlan& plan, QDate from, int count);

// The first day after `from`, within `days`, whose bells or week differ from those of
// `from`: what the plan does next. nullopt when nothing changes in that time.
std::optional<DayDecision> NextChange(const YearPlan& plan, QDate from, int days);
// "Mon 7 Jun: Exam week", "Sat 15 May: no bells (Whitsun)"; the year too when it is not
// that of `today`.
QString NextChangeText(const DayDecision& change, QDate today);

}  // namespace zmr
