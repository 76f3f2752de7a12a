// zmrctl install: a plan copied for the unattended job with everything it names, its port
// resolved as this user's console resolves it, and the job turned on where that can be done.
#include <pwd.h>

#include <QDir>
#include <QFileInfo>

#include "link/port_map.h"
#include "link/port_names.h"
#include "plan/plan_install.h"
#include "plan/plan_reader.h"
#include "project/settings.h"
#include "zmrctl/command.h"

namespace zmr::ctl {
namespace {

// "This user's settings": --settings, else those of the user whose console this is. Run
// through sudo, that is the user who called sudo, not root.
QString UserSettingsFolder(const Invocation& run) {
  QString folder;
  if (run.options.settings_folder) {
    folder = *run.options.settings_folder;
  } else if (const QByteArray sudo_user = qgetenv("SUDO_USER"); run.env.root && !sudo_user.isEmpty()) {
    const struct passwd* user = ::getpwnam(sudo_user.constData());
    folder = SettingsFolderOfUser(run.env.program_folder,
                                  user != nullptr ? QString::fromLocal8Bit(user->pw_dir) : QDir::homePath());
  } else {
    folder = SettingsFolder(run.env.program_folder);
  }
  return folder.endsWith(u'/') ? folder : folder + u'/';
}

void Print(std::ostream& out, const QString& line) { out << line.toStdString() << '\n'; }

// The job on: as root on a PC that systemd runs, at once; else the command that does it.
int TurnOn(Invocation& run, const InstallResult& installed) {
  const QString unit = UpkeepTimerUnit(installed.name);
  const QString reload = installed.unit_changed ? QStringLiteral("systemctl daemon-reload && ") : QString();
  const QString command = reload + QStringLiteral("systemctl enable --now ") + unit;
  std::ostream& out = run.env.out;
  if (run.options.root) {
    Print(out, QStringLiteral("to turn the job on where this copy is used, as root:"));
  } else if (!run.env.root) {
    Print(out, QStringLiteral("to turn the job on, as root:"));
  } else if (!run.env.systemd->running()) {
    Print(out, QStringLiteral("systemd does not run on this PC; where it runs, this turns the job on:"));
  } else {
    Print(out, QStringLiteral("turning the job on:"));
    Print(out, command);
    const ServiceAnswer answer = run.env.systemd->enableNow(unit, installed.unit_changed);
    if (!answer.output.isEmpty()) Print(out, answer.output);
    if (!answer.ran || answer.exit_code != 0) {
      run.env.err << "error: the job is installed but not on: " << command.toStdString() << " failed"
                  << (answer.ran ? " (exit " + std::to_string(answer.exit_code) + ")" : std::string()) << '\n';
      return kExitOtherFailure;
    }
    Print(out, QStringLiteral("the job is on: %1 keeps the timer to the plan every hour").arg(unit));
    return kExitOk;
  }
  Print(out, command);
  return kExitOk;
}

}  // namespace

int InstallCommand(Invocation& run) {
  const Options& o = run.options;
  if (o.operands.size() != 1) return run.usageError("install takes one plan file");
  const QString settings = UserSettingsFolder(run);
  // Read, never written: under sudo the folder is another user's.
  ReadStoredSettings(run.settings, settings);
  const ScopedPortMapFolder mapping(settings);  // COM<n> as this user's console maps it
  InstallRequest request;
  request.plan = o.operands[0];
  request.name = o.name.value_or(QString());
  request.root = o.root.value_or(run.env.system_root);
  request.default_port = o.port.value_or(PortName(run.settings.com_port));
  request.settings_folder = settings;
  request.now = run.env.clock.now();
  const InstallResult installed = InstallPlan(request);
  switch (installed.outcome) {
    case InstallOutcome::Refused:
      for (const PlanFault& fault : installed.faults) Print(run.env.err, FaultLine(fault));
      run.env.err << "zmrctl: the plan is refused; nothing was installed\n";
      return kExitProjectRefused;
    case InstallOutcome::BadName:
      return run.usageError(installed.problem.toStdString());
    case InstallOutcome::NoPort:
      run.env.err << "zmrctl: the plan's port cannot be installed: " << installed.problem.toStdString()
                  << "; name the port in the plan, or plug in its adapter\n";
      return kExitPortError;
    case InstallOutcome::Failed:
      run.env.err << "error: " << installed.problem.toStdString() << '\n';
      return kExitOtherFailure;
    case InstallOutcome::Installed:
      break;
  }
  std::ostream& out = run.env.out;
  Print(out, QStringLiteral("installed %1 as %2, with %3 file%4 in %5")
                 .arg(QFileInfo(request.plan).absoluteFilePath(), installed.plan_file)
                 .arg(installed.files)
                 .arg(installed.files == 1 ? "" : "s")
                 .arg(installed.copy_folder));
  // Said whenever the copy names the port otherwise than the plan does.
  if (installed.port == installed.port_asked) {
    Print(out, QStringLiteral("port: %1").arg(installed.port));
  } else if (installed.port_asked.startsWith(QStringLiteral("COM"))) {
    Print(out, QStringLiteral("port: %1 (%2 on this PC)").arg(installed.port, installed.port_asked));
  } else {
    Print(out, QStringLiteral("port: %1 (the plan writes %2)").arg(installed.port, installed.port_asked));
  }
  for (const QString& file : installed.tls_files) Print(out, QStringLiteral("TLS file for the job: ") + file);
  for (const QString& warning : installed.warnings) Print(run.env.err, QStringLiteral("warning: ") + warning);
  return TurnOn(run, installed);
}

}  // namespace zmr::ctl
