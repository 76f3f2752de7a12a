// The Year Plan window: its periods and holiday calendars.
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>

#include "base/prompts.h"
#include "plan/ui/calendar_dialog.h"
#include "plan/ui/period_dialog.h"
#include "plan/ui/plan_months.h"
#include "plan/ui/yearplan.h"
#include "ui/zmr_application.h"
#include "ui_yearplan.h"

namespace zmr {

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
  // From the day last clicked: she finds the day in the months, then adds the period.
  period.from = months_->picked().isValid() ? months_->picked() : today();
  period.to = period.from;
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

bool Tyearplanform::editCalendar(HolidayCalendar& entry, int replacing) {
  calendar_form_->setCalendar(*plan_, entry, replacing, today(), calendarAccess(true));
  calendar_form_->setResult(QDialog::Rejected);
  console_.runner.run(*calendar_form_);
  if (calendar_form_->result() != QDialog::Accepted) return false;
  entry = calendar_form_->calendar();
  return true;
}

void Tyearplanform::addcalendarbutClick() {
  if (!plan_) return;
  HolidayCalendar entry;
  if (!editCalendar(entry, -1)) return;
  YearPlan changed = *plan_;
  changed.holidays.push_back(entry);
  if (store(changed, calendar_faults_)) calendars_->setCurrentRow(static_cast<int>(plan_->holidays.size()) - 1);
}

void Tyearplanform::editcalendarbutClick() {
  const int row = calendars_->currentRow();
  if (!plan_ || row < 0 || row >= static_cast<int>(plan_->holidays.size())) return;
  YearPlan changed = *plan_;
  if (!editCalendar(changed.holidays[static_cast<std::size_t>(row)], row)) return;
  if (store(changed, calendar_faults_)) calendars_->setCurrentRow(row);
}

void Tyearplanform::removecalendarbutClick() {
  const int row = calendars_->currentRow();
  if (!plan_ || row < 0 || row >= static_cast<int>(plan_->holidays.size()) ||
      console_.prompts.message(BoxKind::Warning, kRemoveCalendarText.arg(plan_->holidays[row].source),
                               BoxButtons::YesNo) != BoxAnswer::Yes) {
    return;
  }
  YearPlan changed = *plan_;
  changed.holidays.erase(changed.holidays.begin() + row);
  store(changed, calendar_faults_);
}

}  // namespace zmr
