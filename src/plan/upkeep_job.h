#pragma once
// Whether the unattended upkeep job is on for a plan, and the exact command that turns
// it on. The job is a systemd timer instance per plan: zmr-upkeep@NAME.timer runs the
// plan /etc/zmr-console/plans/NAME.toml.
#include <QString>

#include "plan/plan_model.h"

namespace zmr {

inline const QString kPlansFolder = QStringLiteral("/etc/zmr-console/plans");

// "zmr-upkeep@north.timer"
QString UpkeepTimerUnit(const QString& plan_name);

// What `systemctl is-enabled UNIT` answered.
struct ServiceAnswer {
  bool ran = false;  // false: systemctl is not there (no systemd on this PC)
  int exit_code = 0;
  QString output;    // its first line, stdout or stderr
};

// The one place that asks systemd, so tests can answer instead.
class ServiceQuery {
 public:
  virtual ~ServiceQuery() = default;
  virtual ServiceAnswer isEnabled(const QString& unit) const = 0;
};

class SystemctlQuery : public ServiceQuery {
 public:
  ServiceAnswer isEnabled(const QString& unit) const override;
};

enum class JobState {
  On,
  Off,
  Masked,        // someone switched it off for good
  NotInstalled,  // the package's units are not on this PC
  NoSystemd,     // cannot tell
  Elsewhere,     // the plan is not where the job looks for plans
  BadName,       // the plan's name cannot be a unit instance
};

struct JobLine {
  JobState state = JobState::Off;
  QString text;     // one sentence
  QString command;  // what turns it on; empty when it is on
};

JobLine UnattendedJob(const YearPlan& plan, const ServiceQuery& query, const QString& plans_folder = kPlansFolder);

}  // namespace zmr
