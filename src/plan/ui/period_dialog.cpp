#include "plan/ui/period_dialog.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "base/prompts.h"
#include "plan/ui/plan_looks.h"
#include "project/project_file.h"

namespace zmr {

Tperiodform::Tperiodform(Console& console, QWidget* parent) : ConsoleDialog(parent), console_(console) {
  setObjectName(QStringLiteral("periodform"));
  setWindowTitle(QStringLiteral("Period"));
  auto* grid = new QGridLayout(this);
  auto row = [&](int r, const QString& caption, QWidget* field, QLabel*& fault, const char* fault_name) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(field);
    grid->addWidget(label, r, 0);
    grid->addWidget(field, r, 1);
    fault = MakeFaultLabel(this, fault_name);
    grid->addWidget(fault, r, 3);
  };
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("periodname"));
  name_->setMinimumWidth(name_->fontMetrics().averageCharWidth() * 32);
  row(0, QStringLiteral("&Name:"), name_, name_fault_, "namefault");
  for (auto [edit, name] : {std::pair{&from_, "periodfrom"}, {&to_, "periodto"}}) {
    *edit = new QDateEdit(this);
    (*edit)->setObjectName(QString::fromLatin1(name));
    (*edit)->setCalendarPopup(true);
    (*edit)->setDisplayFormat(kPlanDateFormat);
  }
  row(1, QStringLiteral("&From:"), from_, from_fault_, "fromfault");
  row(2, QStringLiteral("&To (inclusive):"), to_, to_fault_, "tofault");
  with_week_ = new QRadioButton(QStringLiteral("&Bells of the week:"), this);
  with_week_->setObjectName(QStringLiteral("periodwithweek"));
  grid->addWidget(with_week_, 3, 0);
  week_ = new QLineEdit(this);
  week_->setObjectName(QStringLiteral("periodweek"));
  week_->setReadOnly(true);
  week_->setAccessibleName(QStringLiteral("Week file of the period"));
  grid->addWidget(week_, 3, 1);
  week_button_ = new QPushButton(QStringLiteral("&Choose ..."), this);
  week_button_->setObjectName(QStringLiteral("periodweekbut"));
  week_button_->setAccessibleName(QStringLiteral("Choose the week file of the period"));
  grid->addWidget(week_button_, 3, 2);
  week_fault_ = MakeFaultLabel(this, "weekfault");
  grid->addWidget(week_fault_, 3, 3);
  no_bells_ = new QRadioButton(QStringLiteral("No bell&s"), this);
  no_bells_->setObjectName(QStringLiteral("periodnobells"));
  grid->addWidget(no_bells_, 4, 0);
  other_fault_ = MakeFaultLabel(this, "otherfault");
  grid->addWidget(other_fault_, 5, 0, 1, 4);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("periodok"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("periodcancel"));
  grid->addWidget(buttons, 6, 0, 1, 4);
  grid->setColumnStretch(3, 1);
  connect(ok, &QPushButton::clicked, this, &Tperiodform::okbutClick);
  connect(cancel, &QPushButton::clicked, this, &Tperiodform::reject);
  connect(week_button_, &QPushButton::clicked, this, &Tperiodform::weekbutClick);
  connect(with_week_, &QRadioButton::toggled, this, [this](bool on) {
    week_->setEnabled(on);
    week_button_->setEnabled(on);
  });
}

void Tperiodform::setPeriod(const YearPlan& plan, const PlanPeriod& period, QDate today) {
  plan_ = plan;
  today_ = today;
  name_->setText(period.name);
  from_->setDate(period.from.isValid() ? period.from : today);
  to_->setDate(period.to.isValid() ? period.to : today);
  week_->setText(period.week);
  (period.week.isEmpty() && !period.name.isEmpty() ? no_bells_ : with_week_)->setChecked(true);
  week_->setEnabled(with_week_->isChecked());
  week_button_->setEnabled(with_week_->isChecked());
  showFaults({});
}

void Tperiodform::FormShow() { name_->setFocus(Qt::OtherFocusReason); }

PlanPeriod Tperiodform::period() const {
  PlanPeriod p;
  p.name = name_->text().trimmed();
  p.from = from_->date();
  p.to = to_->date();
  if (with_week_->isChecked()) p.week = week_->text();
  return p;
}

void Tperiodform::weekbutClick() {
  FileDialogRequest request;
  request.caption = QStringLiteral("The week of the period");
  request.initial_folder = QFileInfo(plan_.path).absolutePath();
  request.filter = kProjectFilter;
  if (const auto chosen = console_.prompts.openFileName(request)) {
    week_->setText(NameInPlan(plan_, *chosen));
  }
}

void Tperiodform::okbutClick() {
  const PlanPeriod p = period();
  std::vector<FieldFault> faults = CheckPeriod(plan_, p, today_);
  // "No week chosen" is said here: the reader would take an empty week for no bells.
  if (with_week_->isChecked() && p.week.isEmpty()) {
    faults.push_back({PeriodField::Week, QStringLiteral("choose the week file, or No bells")});
  }
  showFaults(faults);
  if (faults.empty()) accept();
}

QLabel* Tperiodform::faultLabel(PeriodField field) const {
  switch (field) {
    case PeriodField::Name: return name_fault_;
    case PeriodField::From: return from_fault_;
    case PeriodField::To: return to_fault_;
    case PeriodField::Week: return week_fault_;
    case PeriodField::Other: break;
  }
  return other_fault_;
}

QString Tperiodform::faultBeside(PeriodField field) const { return faultLabel(field)->text(); }

void Tperiodform::showFaults(const std::vector<FieldFault>& faults) {
  for (QLabel* label : {name_fault_, from_fault_, to_fault_, week_fault_, other_fault_}) label->clear();
  for (const FieldFault& f : faults) {
    QLabel* label = faultLabel(f.field);
    label->setText(label->text().isEmpty() ? f.text : label->text() + u'\n' + f.text);
  }
  adjustSize();
}

}  // namespace zmr
