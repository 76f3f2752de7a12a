#pragma once
// zmrctl: the console's timer operations from a shell, over the same core as the windows.
#include <QStringList>
#include <functional>
#include <memory>
#include <ostream>

#include "base/clock.h"
#include "hardware/date_texts.h"
#include "link/serial_port.h"
#include "plan/upkeep_job.h"

namespace zmr::ctl {

enum ExitCode : int {
  kExitOk = 0,
  kExitUsage = 2,           // unknown command or option, missing argument
  kExitProjectRefused = 3,  // the project file is missing or not a project
  kExitPortError = 4,       // the serial port could not be opened or used
  kExitTimerFailure = 5,    // the timer did not answer, or answered wrongly
  kExitOtherFailure = 6,    // a file could not be read or written; the PC clock cannot be sent
};

struct Environment {
  Environment(std::ostream& out_stream, std::ostream& err_stream, Clock& pc_clock)
      : out(out_stream), err(err_stream), clock(pc_clock) {}

  std::ostream& out;
  std::ostream& err;
  Clock& clock;
  bool terminal = false;        // stderr is a terminal: show progress
  bool journal = false;         // stdout is the journal's stream (a systemd service): lines carry a priority
  bool root = false;            // runs as root: install may turn the job on
  // How systemd is asked (install, jobs); the real systemctl unless a test answers.
  std::shared_ptr<const ServiceQuery> systemd = std::make_shared<SystemctlQuery>();
  QString program_folder;       // where timer.ini lives, with a trailing separator
  QString system_root;          // the folder install and jobs take for / (tests: a scratch folder); empty: /
  std::function<std::unique_ptr<SerialPort>()> make_port = MakePort;
  DateTimeFormats formats = DateTimeFormats::System();
};

extern const char kUsageText[];

// The report draws its pages with Qt Gui, which needs a QGuiApplication (on the
// offscreen platform, so no display is needed); the other commands do with less.
bool NeedsGuiApplication(const QStringList& args);

// Runs one command line (without the program name) and returns the exit status.
int Run(const QStringList& args, Environment& env);

}  // namespace zmr::ctl
