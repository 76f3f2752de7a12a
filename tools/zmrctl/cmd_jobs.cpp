// zmrctl jobs: every installed plan's job at a glance. zmrctl on-failure: what systemd
// runs when a job failed, to hand its last run to the site's hook.
#include <QDir>
#include <QFileInfo>
#include <cerrno>

#include "base/errors.h"
#include "base/file_io.h"
#include "hardware/week_state.h"
#include "link/port_map.h"
#include "link/port_names.h"
#include "plan/failure_hook.h"
#include "plan/job_rows.h"
#include "plan/plan_install.h"
#include "plan/upkeep_record.h"
#include "project/settings.h"
#include "zmrctl/command.h"

namespace zmr::ctl {
namespace {

QString Under(const QString& root, const QString& absolute) {
  return root.isEmpty() ? absolute : QDir::cleanPath(QDir(root).absolutePath() + absolute);
}

void Print(std::ostream& out, const QString& line) { out << line.toStdString() << '\n'; }

}  // namespace

int JobsCommand(Invocation& run) {
  const Options& o = run.options;
  if (!o.operands.isEmpty()) return run.usageError("jobs takes no operands");
  const QString root = o.root.value_or(run.env.system_root);
  const QString service_settings = Under(root, kServiceSettingsFolder) + u'/';
  ProgramSettings service;
  ReadStoredSettings(service, service_settings);  // the port of plans that name none
  const ScopedPortMapFolder mapping(service_settings);
  JobSources sources;
  sources.plans_folder = Under(root, kPlansFolder);
  sources.state_folder = o.state.value_or(Under(root, kServiceStateFolder));
  sources.default_port = PortName(service.com_port);
  std::ostream& out = run.env.out;
  if (const int error = PathError(sources.plans_folder); error != 0) {
    if (error != ENOENT) {
      run.env.err << "error: " << sources.plans_folder.toStdString() << ": " << IoError::fromErrno(error).what() << '\n';
      return kExitOtherFailure;
    }
  }
  const ServiceQuery& systemd = *run.env.systemd;
  if (!systemd.running()) {
    Print(out, QStringLiteral("systemd does not run on this PC: whether each job is on, and when it runs next, "
                              "cannot be known here."));
  }
  const std::vector<JobRow> rows = JobRows(sources, systemd, run.env.clock.now());
  if (rows.empty()) Print(out, QStringLiteral("no plans are installed in ") + sources.plans_folder);
  for (const JobRow& row : rows) {
    Print(out, QStringLiteral("%1 (%2)").arg(row.name, row.plan));
    const QStringList values{row.port, row.holds, row.job, row.last_run, row.next_run, row.next_change};
    for (const QString& fault : row.faults) Print(out, QStringLiteral("  refused: ") + fault);
    for (qsizetype i = 0; i < kJobColumns.size(); ++i) {
      if (!values[i].isEmpty()) Print(out, QStringLiteral("  %1 %2").arg(kJobColumns[i] + u':', -13).arg(values[i]));
    }
  }
  return kExitOk;
}

int OnFailureCommand(Invocation& run) {
  const Options& o = run.options;
  if (o.operands.size() != 1) return run.usageError("on-failure takes the plan of the job that failed");
  const QString plan = o.operands[0];
  QString settings = o.settings_folder.value_or(Under(run.env.system_root, kServiceSettingsFolder));
  if (!settings.endsWith(u'/')) settings += u'/';
  const QString state = o.state.value_or(DefaultStateFolder());
  const QString name = QFileInfo(plan).completeBaseName();
  QStringList report = LastRunReport(state, plan);
  // systemd says the job failed; a record of a good run is then older than the failure
  // (the job ended before it could record its run).
  if (const std::optional<UpkeepRunRecord> last = LastUpkeepRun(state, plan); last && last->outcome == UpkeepOutcome::Done) {
    report.prepend(QStringLiteral("%1: the job failed, but its last recorded run ended well; journalctl -u %2 says why")
                       .arg(name, UpkeepServiceUnit(name)));
  }
  const HookRun hook = RunFailureHook(settings + kFailureHookName, name, (report.join(u'\n') + u'\n').toUtf8());
  switch (hook.outcome) {
    case HookOutcome::NoHook:
      return kExitOk;
    case HookOutcome::Ran:
      if (hook.exit_code == 0) return kExitOk;
      run.env.err << "error: " << (settings + kFailureHookName).toStdString() << " ended with exit status "
                  << hook.exit_code << '\n';
      return kExitOtherFailure;
    case HookOutcome::Refused:
    case HookOutcome::Failed:
      break;
  }
  run.env.err << "error: " << hook.problem.toStdString() << '\n';
  return kExitOtherFailure;
}

}  // namespace zmr::ctl
