#pragma once
// One period of the year plan: its name, its dates, and its week or no bells. What the
// plan reader would refuse is said beside its field as the fields change; OK stores
// nothing until every check passes, and asks before it takes a period wholly past.
#include <QDate>
#include <memory>
#include <set>

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
  // The period as the fields hold it; a date not typed whole is invalid.
  PlanPeriod period() const;
  void FormShow() override;

  void periodweekbutClick();
  void periodokClick();
  // The faults shown now, each beside its field ("" where there is none).
  QString faultBeside(PeriodField field) const;

 private:
  QLabel* faultLabel(PeriodField field) const;
  std::vector<FieldFault> faultsNow() const;
  // A field changed by the user: the refusals in sight follow.
  void fieldChanged(PeriodField field);
  bool inSight(PeriodField field) const;
  void showFaults(const std::vector<FieldFault>& faults);
  void showWeekChoice();
  void showWeek();
  // True when the period is to be stored: one wholly past that is new or moved is asked about.
  bool pastAgreed(const PlanPeriod& p);

  Console& console_;
  std::unique_ptr<Ui::Tperiodform> ui_;
  YearPlan plan_;
  QDate today_;
  QString week_;        // as the plan writes it; the field shows its file name
  PlanPeriod opened_;   // as the dialog was given it
  std::set<PeriodField> touched_;
  bool ok_pressed_ = false;  // from then on every refusal is in sight
  bool filling_ = false;     // the fields are being set, not typed
};

inline const QString kNoWeekChosenText = QStringLiteral("choose the week file, or No bells");
inline const QString kNotADateText = QStringLiteral("'%1' must be a date typed whole, as %2");
inline const QString kPastPeriodText =
    QStringLiteral("The period \"%1\" ends on %2, before today: it changes no day to come.\nStore it all the same?");

}  // namespace zmr
