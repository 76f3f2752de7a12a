#include "plan/ui/period_dialog.h"

#include <QDir>
#include <QFileInfo>

#include "base/prompts.h"
#include "base/typed_date.h"
#include "plan/ui/plan_file_choice.h"
#include "project/project_file.h"
#include "ui/date_field.h"
#include "ui_period_dialog.h"

namespace zmr {
namespace {

// Room beside the week's file name in its field (margins, frame), in average characters.
constexpr int kWeekFieldSlackChars = 3;

}  // namespace

Tperiodform::Tperiodform(Console& console, QWidget* parent)
    : ConsoleDialog(parent), console_(console), ui_(new Ui::Tperiodform) {
  ui_->setupUi(this);
  ui_->periodname->setMinimumWidth(ui_->periodname->fontMetrics().averageCharWidth() * 32);
  connect(ui_->periodok, &QPushButton::clicked, this, &Tperiodform::periodokClick);
  connect(ui_->periodcancel, &QPushButton::clicked, this, &Tperiodform::reject);
  connect(ui_->periodweekbut, &QPushButton::clicked, this, &Tperiodform::periodweekbutClick);
  connect(ui_->periodwithweek, &QRadioButton::toggled, this, [this] {
    showWeekChoice();
    fieldChanged(PeriodField::Week);
  });
  connect(ui_->periodname, &QLineEdit::textChanged, this, [this] { fieldChanged(PeriodField::Name); });
  connect(ui_->periodfrom, &QLineEdit::textChanged, this, [this] { fieldChanged(PeriodField::From); });
  connect(ui_->periodto, &QLineEdit::textChanged, this, [this] { fieldChanged(PeriodField::To); });
}

Tperiodform::~Tperiodform() = default;

void Tperiodform::setPeriod(const YearPlan& plan, const PlanPeriod& period, QDate today) {
  filling_ = true;
  plan_ = plan;
  today_ = today;
  opened_ = period;
  touched_.clear();
  ok_pressed_ = false;
  ui_->periodname->setText(period.name);
  ui_->periodfrom->setDate(period.from.isValid() ? period.from : today);
  ui_->periodto->setDate(period.to.isValid() ? period.to : today);
  week_ = period.week;
  showWeek();
  // A new period (no name yet) starts with bells; a stored one without a week has none.
  (period.week.isEmpty() && !period.name.isEmpty() ? ui_->periodnobells : ui_->periodwithweek)->setChecked(true);
  showWeekChoice();
  filling_ = false;
  showFaults({});
}

void Tperiodform::FormShow() { ui_->periodname->setFocus(Qt::OtherFocusReason); }

void Tperiodform::showWeekChoice() {
  const bool with_week = ui_->periodwithweek->isChecked();
  ui_->periodweek->setEnabled(with_week);
  ui_->periodweekbut->setEnabled(with_week);
}

void Tperiodform::showWeek() {
  // The file's name whole (two weeks often differ only in their first word), the path
  // in the tip.
  const QString name = QFileInfo(week_).fileName();
  ui_->periodweek->setText(name);
  ui_->periodweek->setCursorPosition(0);
  ui_->periodweek->setToolTip(week_.isEmpty() ? QString() : QDir::toNativeSeparators(plan_.resolve(week_)));
  const QFontMetrics metrics = ui_->periodweek->fontMetrics();
  ui_->periodweek->setMinimumWidth(metrics.horizontalAdvance(name) + metrics.averageCharWidth() * kWeekFieldSlackChars);
  adjustSize();
}

PlanPeriod Tperiodform::period() const {
  PlanPeriod p;
  p.name = ui_->periodname->text().trimmed();
  p.from = ui_->periodfrom->date();
  p.to = ui_->periodto->date();
  if (ui_->periodwithweek->isChecked()) p.week = week_;
  return p;
}

std::vector<FieldFault> Tperiodform::faultsNow() const {
  const PlanPeriod p = period();
  std::vector<FieldFault> faults;
  const QString examples = DateExamples(today_, DateField::shortFormat());
  if (!p.from.isValid()) faults.push_back({PeriodField::From, kNotADateText.arg(QStringLiteral("from"), examples)});
  if (!p.to.isValid()) faults.push_back({PeriodField::To, kNotADateText.arg(QStringLiteral("to"), examples)});
  // The reader judges the rest with a stand-in for a date that is none, whose faults are
  // then not its to say.
  PlanPeriod probe = p;
  if (!probe.from.isValid()) probe.from = probe.to.isValid() ? probe.to : today_;
  if (!probe.to.isValid()) probe.to = probe.from;
  for (const FieldFault& f : CheckPeriod(plan_, probe, today_)) {
    if ((f.field == PeriodField::From && !p.from.isValid()) || (f.field == PeriodField::To && !p.to.isValid())) continue;
    faults.push_back(f);
  }
  // "No week chosen" is said here: the reader would take an empty week for no bells.
  if (ui_->periodwithweek->isChecked() && p.week.isEmpty()) faults.push_back({PeriodField::Week, kNoWeekChosenText});
  return faults;
}

bool Tperiodform::inSight(PeriodField field) const {
  if (ok_pressed_ || touched_.contains(field)) return true;
  // 'to' before 'from' is said beside 'to', whichever of the two was typed.
  if (field == PeriodField::To) return touched_.contains(PeriodField::From);
  return field == PeriodField::Other && !touched_.empty();
}

void Tperiodform::fieldChanged(PeriodField field) {
  if (filling_) return;
  touched_.insert(field);
  showFaults(faultsNow());
}

void Tperiodform::periodweekbutClick() {
  if (const auto named = ChooseForPlan(console_.prompts, plan_, QStringLiteral("The week of the period"), kProjectFilter)) {
    week_ = *named;
    showWeek();
    fieldChanged(PeriodField::Week);
  }
}

bool Tperiodform::pastAgreed(const PlanPeriod& p) {
  const bool moved = opened_.name.isEmpty() || p.from != opened_.from || p.to != opened_.to;
  if (p.to >= today_ || !moved) return true;
  return console_.prompts.message(BoxKind::Warning, kPastPeriodText.arg(p.name, p.to.toString(Qt::ISODate)),
                                  BoxButtons::YesNo) == BoxAnswer::Yes;
}

void Tperiodform::periodokClick() {
  ok_pressed_ = true;
  const std::vector<FieldFault> faults = faultsNow();
  showFaults(faults);
  if (faults.empty() && pastAgreed(period())) accept();
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
    if (!inSight(f.field)) continue;
    QLabel* label = faultLabel(f.field);
    label->setText(label->text().isEmpty() ? f.text : label->text() + u'\n' + f.text);
  }
  adjustSize();
}

}  // namespace zmr
