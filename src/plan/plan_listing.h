#pragma once
// What a printed year lists beside its months: the plan's periods and its calendars'
// holidays that touch the months printed, each in date order, with the words a notice
// shows for them.
#include <QDate>
#include <QString>
#include <vector>

#include "plan/plan_look.h"

namespace zmr {

// A printed year is twelve months, from the first of the month it starts in.
inline constexpr int kPrintedMonths = 12;

struct ListedStretch {
  QString name;      // "Exam week", "Half term"
  QDate from;        // both inclusive
  QDate to;
  QString week;      // a period's week as written; empty: no bells
  QString calendar;  // a holiday's calendar as the plan names it; empty for a period
  PlanRgb colour = kNoBellsTint;
};

// The last day of the printed year that starts in the month of first.
QDate PrintedYearEnd(QDate first);

// The periods that touch first .. last, by their first day (a tie keeps the file's order).
std::vector<ListedStretch> PeriodsListed(const YearPlan& plan, const std::vector<LegendEntry>& legend, QDate first,
                                         QDate last);
// The calendars' holidays that touch first .. last, by their first day.
std::vector<ListedStretch> HolidaysListed(const YearPlan& plan, QDate first, QDate last);

// "Mon 10 May 2027": the weekday spelt out, so nobody counts on a calendar.
QString NoticeDate(QDate date);
// "5 days", "1 day".
QString DaysText(const ListedStretch& stretch);
// "exams.zmr" or "No bells".
QString WeekText(const ListedStretch& stretch);

}  // namespace zmr
