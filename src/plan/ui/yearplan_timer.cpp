// The Year Plan window: the timer's port, Check today and Apply now, the last run and the job.
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "base/prompts.h"
#include "link/port_lease.h"
#include "link/port_names.h"
#include "link/timer_link.h"
#include "plan/plan_file_stamp.h"
#include "plan/plan_reader.h"
#include "plan/ui/job_table.h"
#include "plan/ui/yearplan.h"
#include "plan/upkeep_record.h"
#include "project/settings.h"
#include "ui/others_wait.h"
#include "ui/transient_note.h"
#include "ui/zmr_application.h"
#include "ui_yearplan.h"

namespace zmr {
namespace {

// Upkeep's events into the window as they come, the last error kept for the box.
class WindowEvents : public UpkeepEvents {
 public:
  WindowEvents(QPlainTextEdit& view, Prompts& prompts) : view_(view), prompts_(prompts) {}
  void event(const UpkeepEvent& e) override {
    view_.appendPlainText(UpkeepEventLine(e));
    if (e.kind == UpkeepEventKind::Error || e.kind == UpkeepEventKind::PortError) last_error = e.text;
    all.push_back(e);
    prompts_.processEvents();
  }
  void breathe() override { prompts_.processEvents(); }
  QString last_error;
  std::vector<UpkeepEvent> all;

 private:
  QPlainTextEdit& view_;
  Prompts& prompts_;
};

// Every button of the window off while upkeep talks to the timer; each back as it was.
class ButtonsOff {
 public:
  explicit ButtonsOff(QWidget& window) {
    for (QPushButton* b : window.findChildren<QPushButton*>()) {
      if (b->isEnabled()) {
        b->setEnabled(false);
        off_.push_back(b);
      }
    }
  }
  ~ButtonsOff() {
    for (const QPointer<QPushButton>& b : off_) {
      if (b) b->setEnabled(true);
    }
  }
  ButtonsOff(const ButtonsOff&) = delete;
  ButtonsOff& operator=(const ButtonsOff&) = delete;

 private:
  std::vector<QPointer<QPushButton>> off_;
};

}  // namespace

std::optional<QString> Tyearplanform::typedPort() const {
  const QString text = port_->currentText().trimmed();
  if (text.isEmpty() || text == port_->itemText(0)) return std::nullopt;
  return text;
}

void Tyearplanform::portChanged() {
  if (!plan_) return;
  const std::optional<QString> port = typedPort();
  if (port == plan_->port) return;
  lines_->clear();  // what they said was of the port before
  YearPlan changed = *plan_;
  changed.port = port;
  store(changed);
}

void Tyearplanform::checktodaybutClick() { runUpkeep(true); }

void Tyearplanform::applynowbutClick() { runUpkeep(false); }

// Check and Apply act on the plan and its weeks as they are on disk now, never on the
// copies read when the plan was shown.
bool Tyearplanform::reloadPlan() {
  const QByteArray stamp = PlanFileStamp(plan_->path);
  if (stamp != shown_stamp_) lines_->appendPlainText(kPlanChangedOnDiskText);
  BusyCursor hourglass(console_.prompts);  // its web calendars are fetched afresh too
  PlanReading reading = ReadPlan(plan_->path, today(), calendarAccess(true));
  hourglass.restore();
  if (!reading.ok()) {
    console_.prompts.message(BoxKind::Error, kPlanRefusedText.arg(FaultLines(reading.faults).join(u'\n')));
    return false;
  }
  takePlan(std::move(reading.plan), stamp);
  showPlan();
  return true;
}

void Tyearplanform::runUpkeep(bool dry_run) {
  if (!plan_ || console_.link == nullptr) return;
  // The main window would talk to the same timer, or end the program, in the middle.
  const OthersWait others(*this, kYearPlanBusyNote);
  lines_->clear();
  if (!reloadPlan()) return;
  const QString port = plan_->port.value_or(PortName(console_.data.settings.com_port));
  UpkeepOutcome outcome = UpkeepOutcome::Done;
  WindowEvents events(*lines_, console_.prompts);
  for (const PlanFault& warning : plan_->warnings) events.event({UpkeepEventKind::Warning, FaultLine(warning)});
  {
    Busy busy(*this);
    ButtonsOff off(*this);
    // Held for this run only: the unattended job and other PCs share the timer. A port
    // that cannot be opened gets the program's usual port box, before any hourglass.
    std::optional<PortLease> lease;
    if (!RunGuarded(console_.prompts, [&] { lease.emplace(*console_.link, port); })) {
      lines_->appendPlainText(QStringLiteral("The port %1 cannot be opened.").arg(port));
      return;
    }
    BusyCursor hourglass(console_.prompts);
    lines_->appendPlainText(QStringLiteral("Reading the timer on %1 ...").arg(port));
    console_.prompts.processEvents();  // and the buttons are seen off
    const UpkeepJob job{*plan_, port, today(), dry_run, state_folder_, TimerKeyOf(port)};
    outcome = RunUpkeep(job, *console_.link, events);
  }
  if (!dry_run) {
    const UpkeepRunRecord run{console_.link->clock().now().toUTC(), plan_->path, outcome,
                              UpkeepExitStatus(outcome), events.all};
    if (const QString fault = RecordUpkeepRun(state_folder_, run); !fault.isEmpty())
      lines_->appendPlainText(fault);
    showLastRun();
  }
  if (outcome != UpkeepOutcome::Done) {
    console_.prompts.message(BoxKind::Error,
                             events.last_error.isEmpty() ? kTimerNotFoundText : events.last_error);
  }
}

void Tyearplanform::showLastRun() {
  last_run_->setText(plan_ ? LastRunSummary(LastUpkeepRun(state_folder_, plan_->path)) : QString());
}

void Tyearplanform::showJob() {
  JobContext context;
  context.plans_folder = plans_folder_;
  const QString program_folder = console_.data.state.program_folder;
  context.zmrctl = ZmrctlCommand(program_folder);
  // Run through sudo, zmrctl finds this user's settings by itself unless they are elsewhere.
  if (settingsFolder() != SettingsFolderOfUser(program_folder, QDir::homePath())) context.settings_folder = settingsFolder();
  context.default_port = PortName(console_.data.settings.com_port);
  context.today = today();
  const JobLine job = UnattendedJob(*plan_, *service_, context);
  job_->setText(job.text);
  job_command_->setText(job.command);
  job_command_->setCursorPosition(0);  // the command is read from its start
  job_command_->setVisible(!job.command.isEmpty());
  ui_->jobcopybut->setVisible(!job.command.isEmpty());
  showJobRows();
}

void Tyearplanform::showJobRows() {
  JobSources sources;
  sources.plans_folder = plans_folder_;
  sources.state_folder = service_state_folder_;
  ProgramSettings service;
  ReadStoredSettings(service, QFileInfo(plans_folder_).path() + u'/');
  sources.default_port = PortName(service.com_port);
  sources.open_plan = plan_;
  sources.open_state_folder = state_folder_;
  sources.open_default_port = PortName(console_.data.settings.com_port);
  const QDateTime now = console_.link != nullptr ? console_.link->clock().now() : QDateTime::currentDateTime();
  job_rows_->showRows(JobRows(sources, *service_, now), service_->running());
}

void Tyearplanform::jobcopybutClick() {
  console_.prompts.setClipboardText(job_command_->text());
  NoteOf(*this).show(kCommandCopiedNote);
}

}  // namespace zmr
