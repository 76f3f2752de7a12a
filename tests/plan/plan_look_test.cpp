// The plan as the window draws it: colours by week file, the legend, and the words for
// what decides a day, which must agree with the decisions upkeep acts on.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "plan/holiday_calendar.h"
#include "plan/plan_days.h"
#include "plan/plan_look.h"

namespace zmr {
namespace {

YearPlan KnownPlan() {
  YearPlan plan;
  plan.name = "north";
  plan.week = "normal.zmr";
  plan.periods = {{"Exam week", QDate(2027, 5, 10), QDate(2027, 5, 14), "exams.zmr", 7},
                  {"Christmas holidays", QDate(2026, 12, 21), QDate(2027, 1, 3), "", 13},
                  {"Sports day", QDate(2027, 5, 13), QDate(2027, 5, 13), "sports.zmr", 19},
                  {"Exam resits", QDate(2027, 6, 1), QDate(2027, 6, 2), "exams.zmr", 25},
                  {"Open day", QDate(2026, 10, 28), QDate(2026, 10, 28), "normal.zmr", 31}};
  plan.holiday_spans = {{"Half term", "terms.ics", QDate(2026, 10, 26), QDate(2026, 10, 30)},
                        {"", "terms.ics", QDate(2027, 5, 12), QDate(2027, 5, 12)},
                        {"Inset day", "staff.ics", QDate(2026, 10, 29), QDate(2026, 11, 2)}};
  return plan;
}

TEST(PlanLook, TheLegendHasEachWeekOnceUsualFirstNoBellsLast) {
  const std::vector<LegendEntry> legend = PlanLegend(KnownPlan());
  std::vector<std::string> labels;
  std::set<PlanRgb> colours;
  for (const LegendEntry& e : legend) {
    labels.push_back(e.label.toStdString());
    colours.insert(e.colour);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"normal.zmr (usual week)", "exams.zmr", "sports.zmr", "No bells"}));
  EXPECT_EQ(colours.size(), legend.size()) << "each entry its own colour";
  EXPECT_EQ(legend.front().colour, kWeekTints[0]);
  EXPECT_EQ(legend.back().colour, kNoBellsTint);
  EXPECT_TRUE(legend.back().week.isEmpty());
}

TEST(PlanLook, ManyWeeksGoRoundTheTints) {
  YearPlan plan;
  plan.week = "w0.zmr";
  constexpr int kWeeks = std::size(kWeekTints) + 2;
  for (int k = 1; k < kWeeks; ++k) plan.periods.push_back({"p", QDate(2027, 1, k), QDate(2027, 1, k), QString("w%1.zmr").arg(k)});
  const std::vector<LegendEntry> legend = PlanLegend(plan);
  ASSERT_EQ(legend.size(), static_cast<std::size_t>(kWeeks) + 1);
  EXPECT_EQ(legend[std::size(kWeekTints)].colour, kWeekTints[0]);
  for (const LegendEntry& e : legend) {
    if (!e.week.isEmpty()) {
      EXPECT_NE(e.colour, kNoBellsTint) << "a week never looks like a day without bells";
    }
  }
}

TEST(PlanLook, EachDaySaysWhatDecidesIt) {
  const YearPlan plan = KnownPlan();
  const std::vector<LegendEntry> legend = PlanLegend(plan);
  struct Case {
    QDate date;
    bool bells;
    PlanRgb colour;
    DayCause cause;
    const char* text;
  } cases[] = {
      {QDate(2026, 10, 1), true, kWeekTints[0], DayCause::UsualWeek, "Usual week: normal.zmr"},
      {QDate(2026, 10, 26), false, kNoBellsTint, DayCause::Holiday, "Holiday from terms.ics: Half term"},
      {QDate(2026, 10, 28), true, kWeekTints[0], DayCause::Period, "Open day: normal.zmr"},  // period over holiday
      {QDate(2026, 11, 2), false, kNoBellsTint, DayCause::Holiday, "Holiday from staff.ics: Inset day"},
      {QDate(2026, 12, 21), false, kNoBellsTint, DayCause::Period, "Christmas holidays: no bells"},
      {QDate(2027, 1, 3), false, kNoBellsTint, DayCause::Period, "Christmas holidays: no bells"},
      {QDate(2027, 1, 4), true, kWeekTints[0], DayCause::UsualWeek, "Usual week: normal.zmr"},
      {QDate(2027, 5, 12), true, kWeekTints[1], DayCause::Period, "Exam week: exams.zmr"},  // a holiday under it
      {QDate(2027, 5, 13), true, kWeekTints[2], DayCause::Period, "Sports day: sports.zmr"},  // the later one wins
      {QDate(2027, 6, 2), true, kWeekTints[1], DayCause::Period, "Exam resits: exams.zmr"},  // one colour per file
  };
  for (const Case& c : cases) {
    const DayLook look = LookOfDay(plan, legend, c.date);
    const std::string day = c.date.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(look.bells, c.bells) << day;
    EXPECT_EQ(look.colour, c.colour) << day;
    EXPECT_EQ(look.cause, c.cause) << day;
    EXPECT_EQ(look.text.toStdString(), c.text) << day;
  }
  YearPlan unnamed = plan;
  unnamed.periods.clear();
  EXPECT_EQ(LookOfDay(unnamed, legend, QDate(2027, 5, 12)).text, "Holiday from terms.ics: without a name");
}

TEST(PlanLook, TheWindowShowsWhatUpkeepDoes) {
  const YearPlan plan = KnownPlan();
  const std::vector<LegendEntry> legend = PlanLegend(plan);
  for (QDate d(2026, 9, 1); d <= QDate(2027, 7, 31); d = d.addDays(1)) {
    const DayDecision decided = DecideDay(plan, d);
    const DayLook look = LookOfDay(plan, legend, d);
    ASSERT_EQ(look.bells, decided.bells) << d.toString(Qt::ISODate).toStdString();
    ASSERT_EQ(look.week, decided.bells ? decided.week : QString()) << d.toString(Qt::ISODate).toStdString();
  }
}

// A week loaded with events Monday to Friday: its weekend days are blank, neither its
// colour nor a holiday's, and the legend names them; upkeep's decision stays as it is.
TEST(PlanLook, AWeekdayTheWeekRingsNothingOnIsBlank) {
  YearPlan plan = KnownPlan();
  auto school = std::make_shared<ProjectSetup>();
  ResetProject(*school);
  for (int day = 1; day <= 5; ++day) school->slot(day, 1) = {8, 0, {}, static_cast<std::uint8_t>(EventKind::Pulse), 5};
  auto every_day = std::make_shared<ProjectSetup>(*school);
  for (int day = 6; day <= kDays; ++day) every_day->slot(day, 1) = school->slot(1, 1);
  plan.weeks = {{"normal.zmr", school}, {"exams.zmr", every_day}};  // sports.zmr not loaded: taken to ring
  const std::vector<LegendEntry> legend = PlanLegend(plan);
  ASSERT_EQ(legend.size(), 5u);
  EXPECT_EQ(std::tie(legend[3].label, legend[3].colour, legend[3].ringing),
            std::make_tuple(kNoEventsLegendText, kNoEventsTint, DayRinging::NoEventsThatDay));
  EXPECT_EQ(legend[4].ringing, DayRinging::NoBells);
  const struct {
    QDate date;
    DayRinging ringing;
    PlanRgb colour;
    const char* text;
  } cases[] = {
      {QDate(2026, 10, 2), DayRinging::Week, kWeekTints[0], "Usual week: normal.zmr"},  // a Friday
      {QDate(2026, 10, 3), DayRinging::NoEventsThatDay, kNoEventsTint, "Usual week: normal.zmr, which has no events on a Saturday"},
      {QDate(2026, 10, 4), DayRinging::NoEventsThatDay, kNoEventsTint, "Usual week: normal.zmr, which has no events on a Sunday"},
      {QDate(2026, 12, 26), DayRinging::NoBells, kNoBellsTint, "Christmas holidays: no bells"},
      {QDate(2027, 5, 15), DayRinging::NoEventsThatDay, kNoEventsTint, "Usual week: normal.zmr, which has no events on a Saturday"},
  };
  for (const auto& c : cases) {
    const DayLook look = LookOfDay(plan, legend, c.date);
    const std::string day = c.date.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(look.ringing, c.ringing) << day;
    EXPECT_EQ(look.colour, c.colour) << day;
    EXPECT_EQ(look.text.toStdString(), c.text) << day;
    EXPECT_EQ(look.bells, c.ringing != DayRinging::NoBells) << day << ": the timer stays on";
  }
  plan.periods.push_back({"Weekend school", QDate(2027, 5, 16), QDate(2027, 5, 16), "exams.zmr", 37});
  EXPECT_EQ(LookOfDay(plan, legend, QDate(2027, 5, 16)).ringing, DayRinging::Week) << "a week that rings on Sundays";
  plan.weeks["normal.zmr"] = every_day;
  plan.periods.clear();
  for (const LegendEntry& e : PlanLegend(plan)) EXPECT_NE(e.ringing, DayRinging::NoEventsThatDay) << "no such day, no entry";
}

TEST(PlanLook, HolidayDaysCountEachDayOnceForItsCalendar) {
  YearPlan plan = KnownPlan();
  plan.holiday_spans.push_back({"Again", "terms.ics", QDate(2026, 10, 29), QDate(2026, 11, 1)});  // overlaps Half term
  EXPECT_EQ(HolidayDays(plan, "terms.ics"), 5 + 1 + 2);
  EXPECT_EQ(HolidayDays(plan, "staff.ics"), 5);
  EXPECT_EQ(HolidayDays(plan, "none.ics"), 0);
}

// Days are counted by runs, never day by day: a calendar's event may last for centuries
// (DTSTART in the year 1013), and the window counts every calendar's days when it shows a plan.
TEST(PlanLook, DaysAreCountedByRunsOfDays) {
  const QDate from(1, 1, 1), to(9999, 12, 31);
  std::vector<HolidaySpan> spans(200, HolidaySpan{"Forever", "long.ics", from, to});
  spans.push_back({"Half term", "long.ics", QDate(2026, 10, 26), QDate(2026, 10, 30)});
  spans.push_back({"Half term", "long.ics", QDate(2026, 10, 29), QDate(2026, 11, 2)});  // overlapping
  spans.push_back({"Half term", "long.ics", QDate(2026, 11, 3), QDate(2026, 11, 3)});   // next to it
  spans.push_back({"Half term", "long.ics", QDate(2027, 2, 15), QDate(2027, 2, 19)});   // apart
  const int every_day = static_cast<int>(from.daysTo(to)) + 1;
  YearPlan plan;
  plan.holiday_spans = spans;
  EXPECT_EQ(HolidayDays(plan, "long.ics"), every_day);
  EXPECT_EQ(DaysOf(std::vector<HolidaySpan>(spans.end() - 4, spans.end())), 9 + 5);
  const std::vector<CalendarEvent> events = CalendarEvents(spans, {"HALF"});
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(std::tie(events[0].summary, events[0].first, events[0].days, events[0].counts),
            std::make_tuple(QString("Forever"), from, every_day, false));
  EXPECT_EQ(std::tie(events[1].summary, events[1].first, events[1].days, events[1].counts),
            std::make_tuple(QString("Half term"), QDate(2026, 10, 26), 9 + 5, true));
}

}  // namespace
}  // namespace zmr
