#pragma once
// Months of a year plan side by side: each day in the colour of its week, days without
// bells grey and struck through, days the week rings nothing on blank, today bold and
// underlined. Earlier and Later page by as many months as are shown, Today goes back.
// A click (or the keyboard) on a day reports it.
#include <QDate>
#include <QWidget>
#include <array>
#include <functional>

#include "plan/plan_look.h"

class QCalendarWidget;
class QLabel;
class QPushButton;

namespace zmr {

inline constexpr int kPlanMonthsShown = 3;

class PlanMonths : public QWidget {
 public:
  explicit PlanMonths(QWidget* parent = nullptr);

  // The plan to show (null: none) and today. Keeps the months shown unless first is valid.
  void showPlan(const YearPlan* plan, QDate today, QDate first = {});
  // Afresh, as when the window opens: today's month first, no day picked.
  void startAt(QDate today);
  QDate firstMonth() const { return first_; }
  QCalendarWidget& month(int k) { return *months_[k]; }
  void earlierClick();
  void laterClick();
  void todayClick();
  // A day picked by a click or the keyboard: the one day shown selected, then onDay.
  void pick(QDate date);
  // The day last picked; invalid when none was since startAt.
  QDate picked() const { return picked_; }
  std::function<void(QDate)> onDay;

 private:
  void paintMonths();

  const YearPlan* plan_ = nullptr;
  std::vector<LegendEntry> legend_;
  QDate today_;
  QDate first_;
  QDate picked_;
  bool painting_ = false;
  std::array<QCalendarWidget*, kPlanMonthsShown> months_{};
  std::array<QLabel*, kPlanMonthsShown> titles_{};
};

}  // namespace zmr
