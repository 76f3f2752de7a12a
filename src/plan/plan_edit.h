#pragma once
// Changing a plan from the window: every change is put through the plan reader's own
// checks before the file is touched (WritePlanFile then writes it whole, crash-safe).
#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "plan/plan_model.h"
#include "plan/plan_reader.h"

namespace zmr {

enum class PeriodField { Name, From, To, Week, Other };
enum class CalendarField { Source, Only };

struct FieldFault {
  PeriodField field;
  QString text;  // without the file and line: "'to' 2027-05-01 is before 'from' 2027-05-10"
};

// What the reader would say of this period in this plan, by the field it concerns.
// The plan's other parts are not judged here.
std::vector<FieldFault> CheckPeriod(const YearPlan& plan, const PlanPeriod& period, QDate today);

struct CalendarFieldFault {
  CalendarField field;
  QString text;  // "'only' is empty, so no event would count; ..."
};

// What the reader would say of this holidays entry in this plan, the calendar loaded as
// `access` says; `replacing` is the index of the entry it takes the place of (-1: a new
// one). An entry for a calendar the plan names already is refused.
std::vector<CalendarFieldFault> CheckCalendarEntry(const YearPlan& plan, const HolidayCalendar& entry, int replacing,
                                                   QDate today, const CalendarAccess& access);

// The plan as the reader would take it from the file it is about to become: its faults,
// empty when it holds. On success `loaded` (when given) is the plan read back, with its
// weeks and holidays loaded (web calendars as `access` says).
std::vector<PlanFault> CheckPlan(const YearPlan& plan, QDate today, YearPlan* loaded = nullptr,
                                 const CalendarAccess& access = {});

// A file the user picked, as the plan names it: relative to the plan's folder when it
// lies in it or below, else its absolute path.
QString NameInPlan(const YearPlan& plan, const QString& chosen_path);

// A new plan for path with its usual week.
YearPlan NewPlan(const QString& path, const QString& usual_week_path);

// The plan the window last had open, kept in the settings folder beside timer.ini.
inline const QString kPlanPathFile = QStringLiteral("yearplan.path");
QString RememberedPlan(const QString& settings_folder);
// Throws IoError.
void RememberPlan(const QString& settings_folder, const QString& plan_path);

}  // namespace zmr
