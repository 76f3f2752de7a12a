#pragma once
// The day-by-day reading of a plan: which week (or no bells) decides each day, and why.
// Where periods overlap the later one in the file wins; any period wins over a holiday.
#include <vector>

#include "plan/plan_model.h"

namespace zmr {

inline const QString kPlanWeekReason = QStringLiteral("the plan's week");

DayDecision DecideDay(const YearPlan& plan, QDate date);

// count days from `from` on.
std::vector<DayDecision> PlanDays(const YearPlan& plan, QDate from, int count);

}  // namespace zmr
