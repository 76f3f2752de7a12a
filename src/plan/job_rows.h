#pragma once
// The unattended jobs at a glance, one row per plan: every installed plan and the plan
// open in the Year Plan window. What the service keeps is read where this user may read
// it; what systemd knows (on or off, the last and the next run) comes from systemctl,
// which answers anyone.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "plan/plan_model.h"
#include "plan/upkeep_job.h"

namespace zmr {

// Where the service keeps what each timer holds and each plan's last run.
inline const QString kServiceStateFolder = QStringLiteral("/var/lib/zmr-console");

struct JobRow {
  QString name;            // the job's (the plan's) name
  QString plan;            // the plan file
  bool installed = false;  // in the plans folder; else the plan open in the window, which has no job yet
  bool open = false;       // the job the plan open in the window runs as (or would be installed as)
  QString port;            // in full: "COM1 (/dev/serial/by-id/usb-…)", "rfc2217://10.0.4.20:2217"
  QString holds;           // what its timer holds, by the record: "exams.zmr since 2027-05-10 06:00"
  QString job;             // "on", "off", "masked", "not installed", ...
  QString last_run;        // "2027-05-10 06:00:02: done (exit 0)"
  QString next_run;        // "2027-05-10 07:00:00"
  QString next_change;     // "Mon 7 Jun: Exam week"
  QStringList faults;      // why the plan does not read (the other columns then say little)
};

struct JobSources {
  QString plans_folder = kPlansFolder;
  QString state_folder = kServiceStateFolder;  // the service's records
  QString default_port;                        // a plan without a port: the service's timer.ini port
  // The window's plan (read) and where the window's own runs are recorded. It has a row of
  // its own only while no installed plan has its job's name.
  std::optional<YearPlan> open_plan;
  QString open_state_folder;
  QString open_default_port;
  // The plans folder as the service sees it (rows of a staged tree name their records so).
  QString service_plans_folder = kPlansFolder;
};

std::vector<JobRow> JobRows(const JobSources& sources, const ServiceQuery& query, const QDateTime& now);

// "@1715320800" (systemctl --timestamp=unix) or "Mon 2027-05-10 07:00:00 CEST" as local
// time; invalid for "n/a", "0" or nothing.
QDateTime SystemctlTime(const QString& value);

// The column names of a row, in the order above from port on.
inline const QStringList kJobColumns{QStringLiteral("port"),     QStringLiteral("timer holds"),
                                     QStringLiteral("job"),      QStringLiteral("last run"),
                                     QStringLiteral("next run"), QStringLiteral("next change")};

}  // namespace zmr
