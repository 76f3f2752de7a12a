#pragma once
// One period of the year plan: its name, its dates, and its week or no bells. OK stores
// nothing until the plan reader's checks pass; each fault shows beside its field.
#include <QDate>
#include <memory>

#include "plan/plan_edit.h"
#include "ui/console.h"

class QLabel;

namespace Ui {
class Tperiodform;
}

namespace zmr {

class Tperiodform : public ConsoleDialog {
 public:
  explicit Tperiodform(Console& console, QWidget* parent = nullptr);
  ~Tperiodform() override;

  // The plan the period belongs to (for its folder and the reader's checks), the period
  // to show and the day the checks are made for.
  void setPeriod(const YearPlan& plan, const PlanPeriod& period, QDate today);
  PlanPeriod period() const;
  void FormShow() override;

  void periodweekbutClick();
  void periodokClick();
  // The faults last shown, each beside its field ("" where there is none).
  QString faultBeside(PeriodField field) const;

 private:
  QLabel* faultLabel(PeriodField field) const;
  void showFaults(const std::vector<FieldFault>& faults);
  void showWeekChoice();

  Console& console_;
  std::unique_ptr<Ui::Tperiodform> ui_;
  YearPlan plan_;
  QDate today_;
};

}  // namespace zmr
