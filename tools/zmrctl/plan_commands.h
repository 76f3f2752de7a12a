#pragma once
// zmrctl plan and zmrctl upkeep: a year plan read day by day, and the timers of several
// plans brought to what their plans say, each on its own thread.
#include <QDate>
#include <QStringList>
#include <optional>

#include "zmrctl/zmrctl.h"

namespace zmr::ctl {

inline constexpr int kDefaultPlanDays = 14;
inline constexpr int kMaxPlanDays = 3660;

struct PlanRequest {
  QString plan;
  std::optional<QDate> from;  // default: today
  int days = kDefaultPlanDays;
};

struct UpkeepRequest {
  QStringList plans;
  std::optional<QDate> date;       // default: today
  std::optional<QString> state;    // default: DefaultStateFolder()
  bool dry_run = false;
  QString default_port;            // for plans that name none: --port, else timer.ini's
};

int ShowPlan(const PlanRequest& request, Environment& env);
int Upkeep(const UpkeepRequest& request, Environment& env);

}  // namespace zmr::ctl
