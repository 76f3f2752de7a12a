#pragma once
// One period of the year plan: its name, its dates, and its week or no bells. OK stores
// nothing until the plan reader's checks pass; each fault shows beside its field.
#include <QDate>
#include <functional>

#include "plan/plan_edit.h"
#include "ui/console.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zmr {

class Tperiodform : public ConsoleDialog {
 public:
  Tperiodform(Console& console, QWidget* parent = nullptr);

  // The plan the period belongs to (for its folder and the reader's checks), the period
  // to show and the day the checks are made for.
  void setPeriod(const YearPlan& plan, const PlanPeriod& period, QDate today);
  PlanPeriod period() const;
  void FormShow() override;

  void weekbutClick();
  void okbutClick();
  // The faults last shown, each beside its field ("" where there is none).
  QString faultBeside(PeriodField field) const;

 private:
  QLabel* faultLabel(PeriodField field) const;
  void showFaults(const std::vector<FieldFault>& faults);

  Console& console_;
  YearPlan plan_;
  QDate today_;
  QLineEdit* name_;
  QDateEdit* from_;
  QDateEdit* to_;
  QRadioButton* with_week_;
  QRadioButton* no_bells_;
  QLineEdit* week_;
  QPushButton* week_button_;
  QLabel* name_fault_;
  QLabel* from_fault_;
  QLabel* to_fault_;
  QLabel* week_fault_;
  QLabel* other_fault_;
};

inline const QString kPlanDateFormat = QStringLiteral("yyyy-MM-dd");

}  // namespace zmr
