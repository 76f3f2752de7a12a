#pragma once
// How the plan window draws a plan: one colour per week file, days without bells apart
// (a holiday or a period without bells; a weekday the week has no events on, apart
// again), and for any day the words that say what decides it.
#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

#include "plan/plan_model.h"

namespace zmr {

// 0xRRGGBB; the window turns it into a colour (the core draws nothing).
using PlanRgb = std::uint32_t;

// Light tints, far apart, that dark text reads well on. The usual week takes the first;
// further weeks the next ones, round again after the last.
inline constexpr std::uint32_t kWeekTints[] = {0xCFE3FF, 0xC8F0C8, 0xFFE0B0, 0xE8D0FF, 0xFFF3A0, 0xB8EEF0, 0xFFCFE0};
inline constexpr PlanRgb kNoBellsTint = 0xD8D8D8;
// A day whose week rings nothing on that weekday: blank, as a page without bells.
inline constexpr PlanRgb kNoEventsTint = 0xFFFFFF;

// How a day rings: its week's bells; no bells because its week has no events on that
// weekday (a Saturday of a Monday-to-Friday week); no bells at all (a holiday, a period
// without bells: the timer is switched off).
enum class DayRinging { Week, NoEventsThatDay, NoBells };

inline const QString kNoEventsLegendText = QStringLiteral("No events that weekday");
inline const QString kNoBellsLegendText = QStringLiteral("No bells");

struct LegendEntry {
  QString label;  // "normal.zmr (usual week)", "exams.zmr", "No events that weekday", "No bells"
  QString week;   // as written in the plan; empty for the last two
  PlanRgb colour = 0;
  DayRinging ringing = DayRinging::Week;
};

// The usual week first, then each other week in the order the periods first name it,
// then "No events that weekday" when a week of the plan has such a day, then "No bells".
// A week named twice is one entry: the colour belongs to the file.
std::vector<LegendEntry> PlanLegend(const YearPlan& plan);

enum class DayCause { UsualWeek, Period, Holiday };

struct DayLook {
  bool bells = true;  // the timer is on (the plan's decision)
  QString week;    // in force when bells is true
  PlanRgb colour = 0;
  DayCause cause = DayCause::UsualWeek;
  DayRinging ringing = DayRinging::Week;
  // What decides the day: "Usual week: normal.zmr", "Exam week: exams.zmr",
  // "Usual week: normal.zmr, which has no events on a Saturday",
  // "Christmas holidays: no bells", "Holiday from term-dates.ics: Half term".
  QString text;
};

// The same decision as DecideDay, with its colour and its words.
DayLook LookOfDay(const YearPlan& plan, const std::vector<LegendEntry>& legend, QDate date);

// How many days the holidays of one calendar (as the plan names it) take, each day once.
int HolidayDays(const YearPlan& plan, const QString& calendar);

}  // namespace zmr
