#pragma once
// A file for the plan to name (a week, a calendar), picked in the plan's folder and
// named as the plan names it: relative to the plan when it lies beside or below it.
#include <QString>
#include <optional>

#include "base/prompts.h"
#include "plan/plan_model.h"

namespace zmr {

// nullopt when the person cancels.
std::optional<QString> ChooseForPlan(Prompts& prompts, const YearPlan& plan, const QString& caption,
                                     const QString& filter);

}  // namespace zmr
