// The Year Plan window: making, opening and storing the plan, its usual week and tolerance.
#include "plan/ui/yearplan.h"

#include <QCalendarWidget>
#include <QFileInfo>
#include <QLabel>

#include "base/prompts.h"
#include "link/timer_link.h"
#include "plan/plan_file_stamp.h"
#include "plan/plan_reader.h"
#include "plan/ui/calendar_dialog.h"
#include "plan/ui/period_dialog.h"
#include "plan/ui/plan_months.h"
#include "project/settings.h"
#include "ui/others_wait.h"
#include "ui/transient_note.h"
#include "ui/zmr_application.h"
#include "ui_yearplan.h"

namespace zmr {

Tyearplanform::Tyearplanform(Console& console, QWidget* parent)
    : TimerDialog(parent), console_(console), service_(std::make_shared<SystemctlQuery>()) {
  state_folder_ = console.state_folder;
  build();
  // A window of its own: the main window stays usable beside it (a week is edited there
  // and the plan looked at again), and it can be minimised and moved behind.
  setWindowFlags(Qt::Window);
  setModal(false);
  period_form_ = new Tperiodform(console, this);
  calendar_form_ = new Tcalendarform(console, this);
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
  months_->startAt(today());
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

CalendarAccess Tyearplanform::calendarAccess(bool fetch_again) const {
  CalendarAccess access(state_folder_, console_.link != nullptr ? console_.link->clock().now().toUTC()
                                                                : QDateTime::currentDateTimeUtc());
  access.fetch_again = fetch_again;
  return access;
}

bool Tyearplanform::openPlan(const QString& path, bool quiet) {
  const OthersWait others(*this, kYearPlanReadingNote);
  BusyCursor hourglass(console_.prompts);  // a web calendar is fetched
  PlanReading reading = ReadPlan(path, today(), calendarAccess(true));
  hourglass.restore();
  if (!reading.ok()) {
    if (quiet) {
      open_faults_->setText(kPlanRefusedText.arg(FaultLines(reading.faults).join(u'\n')));
      open_faults_->show();
    } else {
      console_.prompts.message(BoxKind::Error, kPlanRefusedText.arg(FaultLines(reading.faults).join(u'\n')));
    }
    return false;
  }
  takePlan(std::move(reading.plan), PlanFileStamp(path));
  return true;
}

void Tyearplanform::takePlan(YearPlan plan, const QByteArray& stamp) {
  plan_ = std::move(plan);
  shown_stamp_ = stamp;
  shown_weeks_ = PlanWeeksStamp(*plan_);
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
  BusyCursor hourglass(console_.prompts);
  const std::vector<PlanFault> faults = CheckPlan(changed, today(), &loaded, calendarAccess(false));
  hourglass.restore();
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
  takePlan(std::move(loaded), PlanFileStamp(changed.path));
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

bool Tyearplanform::mayCloseWithProgram() {
  if (busy()) {
    NoteOf(*this).show(kYearPlanBusyNote);
    return false;
  }
  if (!plan_) return true;
  tolerance_->interpretText();
  YearPlan changed = *plan_;
  changed.clock_tolerance = tolerance_->value();
  changed.port = typedPort();
  if (changed.clock_tolerance == plan_->clock_tolerance && changed.port == plan_->port) return true;
  if (store(changed)) return true;
  raise();
  activateWindow();
  return false;
}

void Tyearplanform::changeEvent(QEvent* event) {
  TimerDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) showWeeksAsTheyAre();
}

void Tyearplanform::showWeeksAsTheyAre() {
  // A plan file changed by hand is read, and said, at Check today and Apply now.
  if (!plan_ || busy() || PlanFileStamp(plan_->path) != shown_stamp_) return;
  if (PlanWeeksStamp(*plan_) == shown_weeks_) return;
  PlanReading reading = ReadPlan(plan_->path, today(), calendarAccess(false));
  if (!reading.ok()) {
    open_faults_->setText(kPlanRefusedText.arg(FaultLines(reading.faults).join(u'\n')));
    open_faults_->show();
    shown_weeks_ = PlanWeeksStamp(*plan_);  // said once
    return;
  }
  takePlan(std::move(reading.plan), shown_stamp_);
  showPlan();
  NoteOf(*this).show(kWeeksReadAgainNote);
}

}  // namespace zmr
