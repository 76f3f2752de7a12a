// Which week or no bells decides a day, and why.
#include <gtest/gtest.h>

#include "plan/plan_days.h"

namespace zmr {
namespace {

QDate D(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }

TEST(PlanDays, LaterPeriodsWinAndPeriodsWinOverHolidays) {
  YearPlan plan;
  plan.week = "normal.zmr";
  plan.periods = {
      {"Exam week", D("2027-05-10"), D("2027-05-14"), "exams.zmr", 7},
      {"Sports day", D("2027-05-12"), D("2027-05-12"), "", 13},  // later: wins inside the exam week
      {"Christmas holidays", D("2026-12-21"), D("2027-01-03"), "", 19},
      {"Leap day fair", D("2028-02-29"), D("2028-02-29"), "fair.zmr", 25},
      {"Open day", D("2027-03-01"), D("2027-03-01"), "open.zmr", 31},
  };
  plan.holiday_spans = {
      {"Bank holiday", "terms.ics", D("2027-05-14"), D("2027-05-14")},  // inside the exam week: the period wins
      {"Half term", "terms.ics", D("2027-02-26"), D("2027-03-02")},     // Open day wins its one day
      {"Leap", "terms.ics", D("2028-02-28"), D("2028-03-01")},
      {"", "terms.ics", D("2027-06-01"), D("2027-06-01")},
  };
  struct Case {
    const char* day;
    bool bells;
    const char* week;
    const char* reason;
  } cases[] = {
      {"2027-05-09", true, "normal.zmr", "the plan's week"},
      {"2027-05-10", true, "exams.zmr", "Exam week"},  // a period that starts that day
      {"2027-05-12", false, "", "Sports day"},
      {"2027-05-13", true, "exams.zmr", "Exam week"},
      {"2027-05-14", true, "exams.zmr", "Exam week"},  // ends that day, over a holiday
      {"2027-05-15", true, "normal.zmr", "the plan's week"},
      {"2026-12-20", true, "normal.zmr", "the plan's week"},
      {"2026-12-21", false, "", "Christmas holidays"},
      {"2027-01-03", false, "", "Christmas holidays"},
      {"2027-01-04", true, "normal.zmr", "the plan's week"},
      {"2027-02-26", false, "", "holiday Half term (terms.ics)"},
      {"2027-03-01", true, "open.zmr", "Open day"},
      {"2027-03-02", false, "", "holiday Half term (terms.ics)"},
      {"2028-02-28", false, "", "holiday Leap (terms.ics)"},
      {"2028-02-29", true, "fair.zmr", "Leap day fair"},
      {"2028-03-01", false, "", "holiday Leap (terms.ics)"},
      {"2027-06-01", false, "", "holiday without a name (terms.ics)"},
  };
  for (const Case& c : cases) {
    const DayDecision d = DecideDay(plan, D(c.day));
    EXPECT_EQ(d.bells, c.bells) << c.day;
    EXPECT_EQ(d.week.toStdString(), c.week) << c.day;
    EXPECT_EQ(d.reason.toStdString(), c.reason) << c.day;
  }
}

TEST(PlanDays, ADayByDayViewRunsOverMonthAndYearEnds) {
  YearPlan plan;
  plan.week = "normal.zmr";
  plan.periods = {{"Christmas holidays", D("2026-12-21"), D("2027-01-03"), "", 1}};
  const std::vector<DayDecision> days = PlanDays(plan, D("2026-12-19"), 17);
  ASSERT_EQ(days.size(), 17u);
  EXPECT_EQ(days.front().date, D("2026-12-19"));
  EXPECT_EQ(days.back().date, D("2027-01-04"));
  int silent = 0;
  for (const DayDecision& d : days) silent += d.bells ? 0 : 1;
  EXPECT_EQ(silent, 14);
}

}  // namespace
}  // namespace zmr
