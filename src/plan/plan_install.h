#pragma once
// A plan installed for the unattended job, so that it stands alone: the plan in
// /etc/zmr-console/plans/NAME.toml, every week and calendar it names copied into NAME/
// beside it, its port resolved to what it leads to on this PC (never a COM<n> only one
// user's settings define), everything readable by the job's user. Installing again
// replaces the copy whole: the files go into a new folder of their own, and the plan
// file, replaced in one rename, is what switches from the old copy to the new one.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "plan/plan_model.h"

namespace zmr {

inline const QString kServiceSettingsFolder = QStringLiteral("/etc/zmr-console");
// The system group that may read this PC's TLS key besides root: the job joins it when
// its timer is reached over TLS.
inline const QString kTlsKeyGroup = QStringLiteral("zmr-console");

struct InstallRequest {
  QString plan;             // the plan file to install
  QString name;             // the job's name; empty: the plan's file name
  QString root;             // empty: this PC; else a folder that stands for / (a staging tree)
  QString default_port;     // this user's port, for a plan that names none ("COM1")
  QString settings_folder;  // this user's settings folder, with a trailing separator
  QDateTime now;
  QString key_group = kTlsKeyGroup;
};

enum class InstallOutcome { Installed, Refused, BadName, NoPort, Failed };

struct InstallResult {
  InstallOutcome outcome = InstallOutcome::Installed;
  std::vector<PlanFault> faults;  // Refused: why the plan does not read
  QString problem;                // BadName, NoPort, Failed: what went wrong, one sentence
  QString name;                   // the job's name
  QString plan_file;              // the installed plan
  QString copy_folder;            // where its files were copied
  int files = 0;                  // how many
  QString port_asked;             // the port as the plan or the settings name it: "COM1"
  QString port;                   // as the installed plan names it
  QStringList tls_files;          // this PC's TLS files, as copied for the job
  bool unit_changed = false;      // the job's drop-in was written or removed: systemd must reload
  QStringList warnings;           // installed, but a person must see to something
};

InstallResult InstallPlan(const InstallRequest& request);

// /etc/zmr-console/plans, under root when one is given.
QString PlansFolderUnder(const QString& root);
// The drop-in that lets the job named `name` read the TLS key.
QString TlsDropInUnder(const QString& root, const QString& name);

}  // namespace zmr
