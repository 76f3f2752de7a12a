#pragma once
// What every zmrctl command is handed: the parsed command line and one run's world
// (settings, prompts, the port and its link, made when a command first needs them).
#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "link/serial_port.h"
#include "link/timer_link.h"
#include "project/project_model.h"
#include "project/settings.h"
#include "zmrctl/console_prompts.h"
#include "zmrctl/zmrctl.h"

namespace zmr::ctl {

inline constexpr int kDefaultPlanDays = 14;
inline constexpr int kMaxPlanDays = 3660;

struct Options {
  QString command;
  QStringList operands;
  std::optional<QString> port;
  std::optional<QString> settings_folder;
  std::optional<QString> pdf;
  bool list = false;  // report --list: the week as a list instead of the grid
  bool activate = false;
  bool save = false;
  bool create_new = false;
  bool help = false;
  std::optional<QString> state;  // --state DIR
  std::optional<QDate> date;     // --date and --from
  int days = kDefaultPlanDays;   // --days
  bool dry_run = false;
  bool last = false;             // upkeep --last
  bool trust_clock = false;      // upkeep --trust-clock
  std::optional<QString> root;   // install, jobs: --root DIR, a folder standing for /
  std::optional<QString> name;   // install --name NAME
  std::optional<QString> map;    // ports --map COMn: the port to map (the address is the operand)
  std::optional<QString> unmap;  // ports --unmap COMn
  std::optional<QString> ca;     // tls --ca FILE
  std::optional<QString> cert;   // tls --cert FILE
  std::optional<QString> key;    // tls --key FILE
  bool clear = false;            // tls --clear
};

class Invocation {
 public:
  Invocation(Environment& env, const Options& options)
      : env(env), options(options), prompts(env.out, env.err, options.activate) {}

  Environment& env;
  const Options& options;
  ConsolePrompts prompts;
  ProgramSettings settings;
  QString settings_folder;  // with a trailing separator

  // timer.ini from --settings DIR, else from the program's folder.
  void loadSettings();
  // COMn -> n; a device path or a network address stands in for COM1 through its mapping
  // variable; nullopt (after saying why) for a port name that is none of these.
  std::optional<std::uint16_t> portNumber();
  // The timer link over a new port of the environment's kind (not opened yet).
  TimerLink& link();
  // "zmrctl: <what>" on stderr; the usage exit status.
  int usageError(const std::string& what);
  // Reads a project file for a command; null (the refusal shown) when it is not one.
  std::unique_ptr<ProjectSetup> readProject(const QString& path);
  // Runs `f` on the one project file the command names; the usage or refusal status otherwise.
  template <typename F>
  int withProject(F&& f) {
    if (options.operands.size() != 1) return usageError(options.command.toStdString() + " takes one project file");
    const std::unique_ptr<ProjectSetup> project = readProject(options.operands[0]);
    return project ? f(*project) : kExitProjectRefused;
  }

 private:
  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<TimerLink> link_;
};

// One function per command; each returns the exit status.
// Timer commands (cmd_timer.cpp): the port is already checked, the settings loaded.
int StatusCommand(Invocation& run, std::uint16_t port);
int SyncClockCommand(Invocation& run, std::uint16_t port);
int OneShotCommand(Invocation& run, std::uint16_t port);  // activate, deactivate, test-output
int DownloadCommand(Invocation& run, std::uint16_t port);
int DetectCommand(Invocation& run);
// Project commands (cmd_project.cpp): show, compile, report.
int ShowCommand(Invocation& run);
int CompileCommand(Invocation& run);
int ReportCommand(Invocation& run);
// Exchange (cmd_exchange.cpp): the week as CSV and back.
int ExportCommand(Invocation& run);
int ImportCommand(Invocation& run);
// Ports (cmd_ports.cpp): where COM1 .. COM6 lead; --map / --unmap a COMn to a network address.
int PortsCommand(Invocation& run);
// TLS (cmd_tls.cpp): the CA and this PC's certificate and key for rfc2217+tls:// and tcp+tls://.
int TlsCommand(Invocation& run);
// Year plans (cmd_plan.cpp, cmd_upkeep.cpp): a plan day by day; upkeep of the plans' timers.
int PlanCommand(Invocation& run);
int UpkeepCommand(Invocation& run);  // the settings loaded: they name the default port
// The unattended job (cmd_install.cpp, cmd_jobs.cpp): a plan installed for it, the jobs at a
// glance, and the site's hook run for a failed job.
int InstallCommand(Invocation& run);
int JobsCommand(Invocation& run);
int OnFailureCommand(Invocation& run);

}  // namespace zmr::ctl
