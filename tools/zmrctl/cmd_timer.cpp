// The commands that talk to the timer: status, sync-clock, activate, deactivate,
// test-output, download, detect.
#include <QTemporaryDir>

#include "base/version.h"
#include "hardware/activation.h"
#include "hardware/download.h"
#include "hardware/status_report.h"
#include "link/detect_port.h"
#include "link/port_lease.h"
#include "link/port_names.h"
#include "link/timer_commands.h"
#include "hardware/week_state.h"
#include "zmrctl/command.h"
#include "zmrctl/console_download_view.h"

namespace zmr::ctl {
namespace {

class NoDetectView : public DetectView {
 public:
  void setDetectControlsEnabled(bool) override {}
  void selectPort(int) override {}
};

}  // namespace

int StatusCommand(Invocation& run, std::uint16_t port) {
  TimerLink& link = run.link();
  const PortLease lease(link, PortName(port));
  link.LinkPreamble();
  if (!link.QueryStatus()) {
    run.prompts.message(BoxKind::Error, kTimerNotFoundText, BoxButtons::Ok);
    return kExitTimerFailure;
  }
  const StatusTexts t = MakeStatusTexts(link.link_data, link.unit_status);
  const QString pc_text = PcDateTimeText(run.env.clock.now(), run.env.formats);
  run.env.out << kTimerStateCaption.toStdString() << "\t\t" << t.timerstate.toStdString() << '\n'
              << kProductCodeCaption.toStdString() << "\t\t" << t.productcode.toStdString() << '\n'
              << kSerialNumberCaption.toStdString() << "\t\t" << t.serialnum.toStdString() << '\n'
              << kFirmwareCaption.toStdString() << '\t' << t.firmwareversion.toStdString() << '\n'
              << kUnitDateTimeCaption.toStdString() << "\t\t" << t.hardwaredt.toStdString() << '\n'
              << "Program version:\t" << kProgramVersion.toStdString() << '\n'
              << "PC date/time:\t\t" << pc_text.toStdString() << '\n';
  return kExitOk;
}

int SyncClockCommand(Invocation& run, std::uint16_t port) {
  ConsoleDownloadView view(run.env.out, run.env.err, run.env.terminal);
  DownloadContext context{run.link(), run.prompts, view, run.env.formats};
  if (!MakeClockPayload(run.env.clock.now()).payload) {
    SynchronizeClock(context, PortName(port));  // shows the refusal
    return kExitOtherFailure;
  }
  return SynchronizeClock(context, PortName(port)) ? kExitOk : kExitTimerFailure;
}

int OneShotCommand(Invocation& run, std::uint16_t port) {
  TimerLink& link = run.link();
  const PortLease lease(link, PortName(port));
  const QString& c = run.options.command;
  bool ok = false;
  if (c == "activate") ok = ActivateTimer(link, run.prompts);
  if (c == "deactivate") ok = DeactivateTimer(link, run.prompts);
  if (c == "test-output") ok = TestOutput(link, run.prompts);
  return ok ? kExitOk : kExitTimerFailure;
}

int DownloadCommand(Invocation& run, std::uint16_t port) {
  return run.withProject([&](const ProjectSetup& project) {
    ConsoleDownloadView view(run.env.out, run.env.err, run.env.terminal);
    DownloadContext context{run.link(), run.prompts, view, run.env.formats};
    context.record = DownloadRecord{run.options.state.value_or(DefaultStateFolder()), TimerKeyOf(PortName(port))};
    ProjectState state;
    const DownloadResult result = DownloadSchedule(context, project, state, PortName(port));
    if (!context.record_fault.isEmpty()) run.env.err << "error: " << context.record_fault.toStdString() << '\n';
    if (result != DownloadResult::Completed) return kExitTimerFailure;
    return run.prompts.errors() == 0 ? kExitOk : kExitTimerFailure;  // e.g. a failed activation
  });
}

int DetectCommand(Invocation& run) {
  NoDetectView view;
  // Without --save nothing may reach timer.ini: detection saves into a scratch folder.
  QTemporaryDir scratch;
  const QString folder = run.options.save ? run.settings_folder : scratch.path() + '/';
  return DetectPort(run.link(), run.settings, folder, run.prompts, view) != 0 ? kExitOk : kExitTimerFailure;
}

}  // namespace zmr::ctl
