#include "plan/ui/yearplan.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include "base/prompts.h"
#include "link/port_lease.h"
#include "link/port_names.h"
#include "link/timer_link.h"
#include "plan/plan_file_stamp.h"
#include "plan/plan_look.h"
#include "plan/plan_reader.h"
#include "plan/ui/period_dialog.h"
#include "plan/ui/plan_looks.h"
#include "plan/ui/plan_months.h"
#include "plan/upkeep_record.h"
#include "project/project_file.h"
#include "project/settings.h"
#include "ui/zmr_application.h"
#include "ui_yearplan.h"

namespace zmr {
namespace {

// The ports offered besides any name typed in; the first entry is the stored port.
constexpr int kOfferedComPorts = 8;

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

Tyearplanform::Tyearplanform(Console& console, QWidget* parent)
    : TimerDialog(parent), console_(console), service_(std::make_shared<SystemctlQuery>()) {
  state_folder_ = console.state_folder;
  build();
  period_form_ = new Tperiodform(console, this);
}

Tyearplanform::~Tyearplanform() = default;

QDate Tyearplanform::today() const {
  return console_.link != nullptr ? console_.link->clock().now().date() : QDate::currentDate();
}

QString Tyearplanform::settingsFolder() const { return SettingsFolder(console_.data.state.program_folder); }

void Tyearplanform::FormShow() {
  lines_->clear();
  clearFaults();
  if (!plan_) {
    const QString remembered = RememberedPlan(settingsFolder());
    if (!remembered.isEmpty() && QFileInfo::exists(remembered)) openPlan(remembered, true);
  }
  showPlan();
  // Without a plan the first thing to do is make or open one.
  (plan_ ? static_cast<QWidget*>(&months_->month(0)) : static_cast<QWidget*>(ui_->newplanbut))
      ->setFocus(Qt::OtherFocusReason);
}

std::optional<QString> Tyearplanform::chooseFile(const QString& caption, const QString& filter) {
  FileDialogRequest request;
  request.caption = caption;
  request.filter = filter;
  if (plan_) request.initial_folder = QFileInfo(plan_->path).absolutePath();
  return console_.prompts.openFileName(request);
}

bool Tyearplanform::openPlan(const QString& path, bool quiet) {
  PlanReading reading = ReadPlan(path, today());
  if (!reading.ok()) {
    if (quiet) {
      open_faults_->setText(kPlanRefusedText.arg(FaultLines(reading.faults).join(u'\n')));
      open_faults_->show();
    } else {
      console_.prompts.message(BoxKind::Error, kPlanRefusedText.arg(FaultLines(reading.faults).join(u'\n')));
    }
    return false;
  }
  plan_ = std::move(reading.plan);
  shown_stamp_ = PlanFileStamp(plan_->path);
  return true;
}

void Tyearplanform::newplanbutClick() {
  FileDialogRequest request;
  request.caption = QStringLiteral("New year plan");
  request.filter = kPlanFilter;
  request.default_suffix = QStringLiteral("toml");
  request.proposed_name = QStringLiteral("plan.toml");
  const std::optional<QString> path = console_.prompts.saveFileName(request);
  if (!path) return;
  request = {};
  request.caption = QStringLiteral("The usual week of the new plan");
  request.initial_folder = QFileInfo(*path).absolutePath();
  request.filter = kProjectFilter;
  const std::optional<QString> week = console_.prompts.openFileName(request);
  if (!week) return;
  const std::optional<YearPlan> before = plan_;
  if (store(NewPlan(*path, *week), open_faults_)) {
    RunGuarded(console_.prompts, [&] { RememberPlan(settingsFolder(), plan_->path); });
  } else {
    plan_ = before;
    showPlan();
  }
}

void Tyearplanform::openplanbutClick() {
  const std::optional<QString> path = chooseFile(QStringLiteral("Open a year plan"), kPlanFilter);
  if (!path || !openPlan(*path, false)) return;
  clearFaults();
  showPlan();
  RunGuarded(console_.prompts, [&] { RememberPlan(settingsFolder(), plan_->path); });
}

void Tyearplanform::clearFaults() {
  // Hidden while empty, so no blank line stands where a refusal would be said.
  for (QLabel* label : {faults_, calendar_faults_, open_faults_}) {
    label->clear();
    label->hide();
  }
}

bool Tyearplanform::store(const YearPlan& changed, QLabel* beside) {
  YearPlan loaded;
  const std::vector<PlanFault> faults = CheckPlan(changed, today(), &loaded);
  clearFaults();
  if (!faults.empty()) {
    QStringList said;  // beside the part that changed, without the file and line
    for (const PlanFault& fault : faults) said << fault.text;
    QLabel* label = beside != nullptr ? beside : faults_;
    label->setText(said.join(u'\n'));
    label->show();
    console_.prompts.beep();
    showPlan();  // the controls go back to what is stored
    return false;
  }
  if (!RunGuarded(console_.prompts, [&] { WritePlanFile(changed); })) {
    showPlan();
    return false;
  }
  plan_ = std::move(loaded);
  shown_stamp_ = PlanFileStamp(plan_->path);
  showPlan();
  return true;
}

void Tyearplanform::usualweekbutClick() {
  if (!plan_) return;
  const std::optional<QString> week = chooseFile(QStringLiteral("The usual week"), kProjectFilter);
  if (!week) return;
  YearPlan changed = *plan_;
  changed.week = NameInPlan(changed, *week);
  store(changed);
}

void Tyearplanform::toleranceChanged() {
  if (!plan_ || tolerance_->value() == plan_->clock_tolerance) return;
  YearPlan changed = *plan_;
  changed.clock_tolerance = tolerance_->value();
  store(changed);
}

void Tyearplanform::portChanged() {
  if (!plan_) return;
  const QString text = port_->currentText().trimmed();
  std::optional<QString> port;
  if (!text.isEmpty() && text != port_->itemText(0)) port = text;
  if (port == plan_->port) return;
  YearPlan changed = *plan_;
  changed.port = port;
  store(changed);
}

bool Tyearplanform::editPeriod(PlanPeriod& period) {
  period_form_->setPeriod(*plan_, period, today());
  period_form_->setResult(QDialog::Rejected);
  console_.runner.run(*period_form_);
  if (period_form_->result() != QDialog::Accepted) return false;
  const int line = period.line;
  period = period_form_->period();
  period.line = line;
  return true;
}

int Tyearplanform::currentPeriod() const {
  const int row = periods_->currentRow();
  return plan_ && row >= 0 && row < static_cast<int>(plan_->periods.size()) ? row : -1;
}

void Tyearplanform::addperiodbutClick() {
  if (!plan_) return;
  PlanPeriod period;
  period.from = today();
  period.to = today();
  if (!editPeriod(period)) return;
  YearPlan changed = *plan_;
  changed.periods.push_back(period);
  if (store(changed)) periods_->selectRow(static_cast<int>(plan_->periods.size()) - 1);
}

void Tyearplanform::editperiodbutClick() {
  const int row = currentPeriod();
  if (row < 0) return;
  YearPlan changed = *plan_;
  if (!editPeriod(changed.periods[row])) return;
  if (store(changed)) periods_->selectRow(row);
}

void Tyearplanform::removeperiodbutClick() {
  const int row = currentPeriod();
  if (row < 0 || console_.prompts.message(BoxKind::Warning, kRemovePeriodText.arg(plan_->periods[row].name),
                                          BoxButtons::YesNo) != BoxAnswer::Yes) {
    return;
  }
  YearPlan changed = *plan_;
  changed.periods.erase(changed.periods.begin() + row);
  if (store(changed) && !plan_->periods.empty()) {
    periods_->selectRow(std::min(row, static_cast<int>(plan_->periods.size()) - 1));
  }
}

void Tyearplanform::moveperiod(int by) {
  const int row = currentPeriod();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= static_cast<int>(plan_->periods.size())) return;
  YearPlan changed = *plan_;
  std::swap(changed.periods[row], changed.periods[to]);
  if (store(changed)) periods_->selectRow(to);
}

void Tyearplanform::addcalendarbutClick() {
  if (!plan_) return;
  const std::optional<QString> file = chooseFile(QStringLiteral("Add a holiday calendar"), kCalendarFilter);
  if (!file) return;
  YearPlan changed = *plan_;
  const QString name = NameInPlan(changed, *file);
  if (std::find(changed.holidays.begin(), changed.holidays.end(), name) != changed.holidays.end()) return;
  changed.holidays.push_back(name);
  store(changed, calendar_faults_);
}

void Tyearplanform::removecalendarbutClick() {
  const int row = calendars_->currentRow();
  if (!plan_ || row < 0 || row >= static_cast<int>(plan_->holidays.size()) ||
      console_.prompts.message(BoxKind::Warning, kRemoveCalendarText.arg(plan_->holidays[row]), BoxButtons::YesNo) !=
          BoxAnswer::Yes) {
    return;
  }
  YearPlan changed = *plan_;
  changed.holidays.erase(changed.holidays.begin() + row);
  store(changed, calendar_faults_);
}

void Tyearplanform::dayClicked(QDate date) {
  if (!plan_) return;
  const DayLook look = LookOfDay(*plan_, PlanLegend(*plan_), date);
  day_cause_->setText(QStringLiteral("%1: %2").arg(QLocale().toString(date, QLocale::LongFormat), look.text));
}

void Tyearplanform::checktodaybutClick() { runUpkeep(true); }

void Tyearplanform::applynowbutClick() { runUpkeep(false); }

// Check and Apply act on the plan and its weeks as they are on disk now, never on the
// copies read when the plan was shown.
bool Tyearplanform::reloadPlan() {
  const QByteArray stamp = PlanFileStamp(plan_->path);
  if (stamp != shown_stamp_) lines_->appendPlainText(kPlanChangedOnDiskText);
  PlanReading reading = ReadPlan(plan_->path, today());
  if (!reading.ok()) {
    console_.prompts.message(BoxKind::Error, kPlanRefusedText.arg(FaultLines(reading.faults).join(u'\n')));
    return false;
  }
  plan_ = std::move(reading.plan);
  shown_stamp_ = stamp;
  showPlan();
  return true;
}

void Tyearplanform::runUpkeep(bool dry_run) {
  if (!plan_ || console_.link == nullptr) return;
  lines_->clear();
  if (!reloadPlan()) return;
  const QString port = plan_->port.value_or(PortName(console_.data.settings.com_port));
  UpkeepOutcome outcome = UpkeepOutcome::Done;
  WindowEvents events(*lines_, console_.prompts);
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
    const UpkeepRunRecord run{console_.link->clock().now().toUTC(), plan_->path, outcome, UpkeepExitStatus(outcome),
                              events.all};
    if (const QString fault = RecordUpkeepRun(state_folder_, run); !fault.isEmpty()) lines_->appendPlainText(fault);
    showLastRun();
  }
  if (outcome != UpkeepOutcome::Done) {
    console_.prompts.message(BoxKind::Error, events.last_error.isEmpty() ? kTimerNotFoundText : events.last_error);
  }
}

void Tyearplanform::showLastRun() {
  last_run_->setText(plan_ ? LastRunSummary(LastUpkeepRun(state_folder_, plan_->path)) : QString());
}

void Tyearplanform::showPlan() {
  plan_parts_->setEnabled(plan_.has_value());
  for (QLabel* old : legend_->findChildren<QLabel*>()) delete old;
  periods_->setRowCount(0);
  calendars_->clear();
  port_->clear();
  port_->addItem(QStringLiteral("The stored port (%1)").arg(PortName(console_.data.settings.com_port)));
  for (int n = 1; n <= kOfferedComPorts; ++n) port_->addItem(PortName(n));
  months_->showPlan(plan_ ? &*plan_ : nullptr, today());
  if (!plan_) {
    plan_path_->setText(QString());
    usual_week_->clear();
    day_cause_->setText(kNoPlanText);
    job_->clear();
    job_command_->clear();
    job_command_->setVisible(false);
    showLastRun();
    return;
  }
  const YearPlan& plan = *plan_;
  plan_path_->setText(plan.path);
  usual_week_->setText(plan.week);
  tolerance_->setValue(plan.clock_tolerance);
  if (plan.port) {
    port_->setCurrentText(*plan.port);
  } else {
    port_->setCurrentIndex(0);
  }
  auto& legend_row = static_cast<QHBoxLayout&>(*legend_->layout());
  for (const LegendEntry& entry : PlanLegend(plan)) {
    auto* swatch = new QLabel(entry.label, legend_);
    swatch->setObjectName(QStringLiteral("legendentry"));
    swatch->setAutoFillBackground(true);
    swatch->setMargin(3);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, PlanColour(entry.colour));
    palette.setColor(QPalette::WindowText, Qt::black);
    swatch->setPalette(palette);
    if (entry.week.isEmpty()) {
      QFont struck = swatch->font();
      struck.setStrikeOut(true);
      swatch->setFont(struck);
    }
    legend_row.insertWidget(legend_row.count() - 1, swatch);
  }
  auto* today_entry = new QLabel(QStringLiteral("Today"), legend_);
  today_entry->setObjectName(QStringLiteral("legendentry"));
  QFont marked = today_entry->font();
  marked.setBold(true);
  marked.setUnderline(true);
  today_entry->setFont(marked);
  legend_row.insertWidget(legend_row.count() - 1, today_entry);
  day_cause_->setText(kPickADayText);
  periods_->setRowCount(static_cast<int>(plan.periods.size()));
  for (int row = 0; row < static_cast<int>(plan.periods.size()); ++row) {
    const PlanPeriod& p = plan.periods[row];
    const QStringList cells{p.name, p.from.toString(Qt::ISODate), p.to.toString(Qt::ISODate),
                            p.week.isEmpty() ? QStringLiteral("No bells") : p.week};
    for (int column = 0; column < cells.size(); ++column) {
      periods_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
  }
  for (const QString& calendar : plan.holidays) {
    const int days = HolidayDays(plan, calendar);
    calendars_->addItem(QStringLiteral("%1: %2 day%3").arg(calendar).arg(days).arg(days == 1 ? "" : "s"));
  }
  showJob();
  showLastRun();
}

void Tyearplanform::showJob() {
  const JobLine job = UnattendedJob(*plan_, *service_, plans_folder_);
  job_->setText(job.text);
  job_command_->setText(job.command);
  job_command_->setCursorPosition(0);  // the command is read from its start
  job_command_->setVisible(!job.command.isEmpty());
}

}  // namespace zmr
