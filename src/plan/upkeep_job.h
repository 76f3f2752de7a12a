#pragma once
// Whether the unattended upkeep job is on for a plan, and the exact command that turns
// it on. The job is a systemd timer instance per plan: zmr-upkeep@NAME.timer runs the
// plan /etc/zmr-console/plans/NAME.toml, which `zmrctl install` puts there.
#include <QDate>
#include <QString>
#include <QStringList>
#include <map>

#include "plan/plan_model.h"

namespace zmr {

inline const QString kPlansFolder = QStringLiteral("/etc/zmr-console/plans");

// "zmr-upkeep@north.timer", "zmr-upkeep@north.service"
QString UpkeepTimerUnit(const QString& plan_name);
QString UpkeepServiceUnit(const QString& plan_name);

// A job's name is the instance of its units and the name of its plan file: letters,
// digits, '_', '.' and '-' (neither of the last two first), so that systemd finds
// /etc/zmr-console/plans/NAME.toml by it as it stands, with nothing escaped.
inline constexpr int kMaxJobNameLength = 200;
bool IsJobName(const QString& name);
// A job name close to `name`: "north wing" -> "north-wing", "Süd" -> "S-d".
QString SuggestedJobName(const QString& name);

// What systemctl answered.
struct ServiceAnswer {
  bool ran = false;  // false: systemctl is not there (no systemd on this PC)
  int exit_code = 0;
  QString output;    // its first line, stdout or stderr
};

// The one place that asks systemd, so tests can answer instead.
class ServiceQuery {
 public:
  virtual ~ServiceQuery() = default;
  // systemd is this PC's service manager (it booted it).
  virtual bool running() const = 0;
  // `systemctl is-enabled UNIT`
  virtual ServiceAnswer isEnabled(const QString& unit) const = 0;
  // `systemctl show UNIT` of the properties asked (timestamps as "@SECONDS"); works for
  // anyone. Empty when systemd did not answer.
  virtual std::map<QString, QString> show(const QString& unit, const QStringList& properties) const = 0;
  // `systemctl daemon-reload` when reload, then `systemctl enable --now UNIT`; its whole output.
  virtual ServiceAnswer enableNow(const QString& unit, bool reload) const = 0;
};

class SystemctlQuery : public ServiceQuery {
 public:
  bool running() const override;
  ServiceAnswer isEnabled(const QString& unit) const override;
  std::map<QString, QString> show(const QString& unit, const QStringList& properties) const override;
  ServiceAnswer enableNow(const QString& unit, bool reload) const override;
};

enum class JobState {
  On,
  Off,
  Masked,        // someone switched it off for good
  NotInstalled,  // the package's units are not on this PC
  NoSystemd,     // cannot tell
  NotCopied,     // the plan has no installed copy for the job to run
  CopyDiffers,   // the job runs a copy that is not this plan any more
  CopyUnread,    // the job's copy cannot be read here
  BadName,       // the plan's name cannot be a unit instance (a plan in the plans folder)
};

struct JobLine {
  JobState state = JobState::Off;
  QString text;     // one sentence or two
  QString command;  // what turns it on; empty when it is on
};

// How this user's console reaches `zmrctl install`.
struct JobContext {
  QString plans_folder = kPlansFolder;
  QString zmrctl = QStringLiteral("zmrctl");
  QString settings_folder;  // given as --settings when not empty
  QString default_port;     // the port of this user's settings, for a plan that names none
  QDate today;
};

// The plan as the window holds it (read, its weeks and calendars loaded).
JobLine UnattendedJob(const YearPlan& plan, const ServiceQuery& query, const JobContext& context);

// How a shell reaches the zmrctl beside the program in program_folder: "zmrctl" when that
// is the one on the PATH, else its full path (a build folder).
QString ZmrctlCommand(const QString& program_folder);

// "sudo zmrctl install '/home/office/north.toml'", with --name and --settings when needed.
QString InstallCommand(const QString& plan_path, const QString& name, const JobContext& context);

}  // namespace zmr
