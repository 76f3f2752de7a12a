#include "plan/ui/period_dialog.h"

#include "base/prompts.h"
#include "plan/ui/plan_file_choice.h"
#include "project/project_file.h"
#include "ui_period_dialog.h"

namespace zmr {

Tperiodform::Tperiodform(Console& console, QWidget* parent)
    : ConsoleDialog(parent), console_(console), ui_(new Ui::Tperiodform) {
  ui_->setupUi(this);
  ui_->periodname->setMinimumWidth(ui_->periodname->fontMetrics().averageCharWidth() * 32);
  connect(ui_->periodok, &QPushButton::clicked, this, &Tperiodform::periodokClick);
  connect(ui_->periodcancel, &QPushButton::clicked, this, &Tperiodform::reject);
  connect(ui_->periodweekbut, &QPushButton::clicked, this, &Tperiodform::periodweekbutClick);
  connect(ui_->periodwithweek, &QRadioButton::toggled, this, &Tperiodform::showWeekChoice);
}

Tperiodform::~Tperiodform() = default;

void Tperiodform::setPeriod(const YearPlan& plan, const PlanPeriod& period, QDate today) {
  plan_ = plan;
  today_ = today;
  ui_->periodname->setText(period.name);
  ui_->periodfrom->setDate(period.from.isValid() ? period.from : today);
  ui_->periodto->setDate(period.to.isValid() ? period.to : today);
  ui_->periodweek->setText(period.week);
  // A new period (no name yet) starts with bells; a stored one without a week has none.
  (period.week.isEmpty() && !period.name.isEmpty() ? ui_->periodnobells : ui_->periodwithweek)->setChecked(true);
  showWeekChoice();
  showFaults({});
}

void Tperiodform::FormShow() { ui_->periodname->setFocus(Qt::OtherFocusReason); }

void Tperiodform::showWeekChoice() {
  const bool with_week = ui_->periodwithweek->isChecked();
  ui_->periodweek->setEnabled(with_week);
  ui_->periodweekbut->setEnabled(with_week);
}

PlanPeriod Tperiodform::period() const {
  PlanPeriod p;
  p.name = ui_->periodname->text().trimmed();
  p.from = ui_->periodfrom->date();
  p.to = ui_->periodto->date();
  if (ui_->periodwithweek->isChecked()) p.week = ui_->periodweek->text();
  return p;
}

void Tperiodform::periodweekbutClick() {
  if (const auto named = ChooseForPlan(console_.prompts, plan_, QStringLiteral("The week of the period"), kProjectFilter)) {
    ui_->periodweek->setText(*named);
  }
}

void Tperiodform::periodokClick() {
  const PlanPeriod p = period();
  std::vector<FieldFault> faults = CheckPeriod(plan_, p, today_);
  // "No week chosen" is said here: the reader would take an empty week for no bells.
  if (ui_->periodwithweek->isChecked() && p.week.isEmpty()) {
    faults.push_back({PeriodField::Week, QStringLiteral("choose the week file, or No bells")});
  }
  showFaults(faults);
  if (faults.empty()) accept();
}

QLabel* Tperiodform::faultLabel(PeriodField field) const {
  switch (field) {
    case PeriodField::Name: return ui_->namefault;
    case PeriodField::From: return ui_->fromfault;
    case PeriodField::To: return ui_->tofault;
    case PeriodField::Week: return ui_->weekfault;
    case PeriodField::Other: break;
  }
  return ui_->otherfault;
}

QString Tperiodform::faultBeside(PeriodField field) const { return faultLabel(field)->text(); }

void Tperiodform::showFaults(const std::vector<FieldFault>& faults) {
  for (QLabel* label : {ui_->namefault, ui_->fromfault, ui_->tofault, ui_->weekfault, ui_->otherfault}) {
    label->clear();
  }
  for (const FieldFault& f : faults) {
    QLabel* label = faultLabel(f.field);
    label->setText(label->text().isEmpty() ? f.text : label->text() + u'\n' + f.text);
  }
  adjustSize();
}

}  // namespace zmr
