// Changing a plan from a window: the reader's faults by field before anything is stored,
// the file written whole and read back the same, names relative to the plan.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "base/errors.h"
#include "plan/plan_edit.h"
#include "plan/plan_reader.h"
#include "support/plan_fixtures.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const QDate kToday(2026, 9, 1);

TEST(PlanEdit, APeriodsFaultsComeBesideTheirFields) {
  PlanFolder folder;
  YearPlan plan = NewPlan(folder.file("north.toml"), folder.file("normal.zmr"));
  struct Case {
    const char* what;
    PlanPeriod period;
    std::vector<std::pair<PeriodField, std::string>> faults;
  } cases[] = {
      {"good", {"Exam week", QDate(2027, 5, 10), QDate(2027, 5, 14), "exams.zmr"}, {}},
      {"no bells", {"Christmas", QDate(2026, 12, 21), QDate(2027, 1, 3), ""}, {}},
      {"one day", {"Sports", QDate(2027, 5, 13), QDate(2027, 5, 13), "normal.zmr"}, {}},
      {"no name", {"", QDate(2027, 5, 10), QDate(2027, 5, 14), "exams.zmr"},
       {{PeriodField::Name, "'name' must be a text in quotes, not empty"}}},
      {"backwards", {"Exams", QDate(2027, 5, 10), QDate(2027, 5, 1), "exams.zmr"},
       {{PeriodField::To, "'to' 2027-05-01 is before 'from' 2027-05-10"}}},
      {"missing week", {"Exams", QDate(2027, 5, 10), QDate(2027, 5, 14), "nope.zmr"},
       {{PeriodField::Week, "week 'nope.zmr' is not there"}}},
      {"not a week", {"Exams", QDate(2027, 5, 10), QDate(2027, 5, 14), "not-a-week.zmr"},
       {{PeriodField::Week, "week 'not-a-week.zmr' is not a valid project (.psf) file"}}},
      {"quotes in the name", {"Exams \"A\" \\ B", QDate(2027, 5, 10), QDate(2027, 5, 14), "exams.zmr"}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<PeriodField, std::string>> got;
    for (const FieldFault& f : CheckPeriod(plan, c.period, kToday)) got.emplace_back(f.field, f.text.toStdString());
    EXPECT_EQ(got, c.faults) << c.what;
  }
  // The plan's own week is not the period's business.
  plan.week = "gone.zmr";
  EXPECT_TRUE(CheckPeriod(plan, cases[0].period, kToday).empty());
}

TEST(PlanEdit, APlanIsCheckedAsTheReaderWouldTakeItsFile) {
  PlanFolder folder;
  YearPlan plan = NewPlan(folder.file("north.toml"), folder.file("normal.zmr"));
  plan.port = "rfc2217://127.0.0.1:7000";
  plan.clock_tolerance = 45;
  plan.holidays = {{"terms.ics", {}}};
  plan.periods = {{"Exams \"A\"", QDate(2027, 5, 10), QDate(2027, 5, 14), "exams.zmr"},
                  {"Christmas", QDate(2026, 12, 21), QDate(2027, 1, 3), ""}};
  YearPlan loaded;
  ASSERT_TRUE(CheckPlan(plan, kToday, &loaded).empty());
  EXPECT_EQ(loaded.weeks.size(), 2u);
  EXPECT_EQ(loaded.holiday_spans.size(), 2u);
  // The window's file has no comments of a hand-written one, and its texts come back as typed.
  folder.write("north.toml", "# a comment someone wrote\nweek = \"normal.zmr\"\n");
  WritePlanFile(plan);
  const PlanReading back = ReadPlan(plan.path, kToday);
  ASSERT_TRUE(back.ok()) << FaultLines(back.faults).join('\n').toStdString();
  EXPECT_EQ(back.plan.port, plan.port);
  EXPECT_EQ(back.plan.periods[0].name, "Exams \"A\"");
  EXPECT_EQ(folder.read("north.toml").find("a comment"), std::string::npos);

  plan.holidays = {{"broken.ics", {}}};
  const std::vector<PlanFault> faults = CheckPlan(plan, kToday, &loaded);
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_EQ(faults[0].file, "north.toml");
  EXPECT_GT(faults[0].line, 0);
  EXPECT_EQ(faults[0].key, "holidays");
  EXPECT_TRUE(faults[0].text.startsWith("calendar 'broken.ics' is not a valid calendar: "))
      << FaultLine(faults[0]).toStdString();
}

TEST(PlanEdit, ChosenFilesAreNamedFromThePlansFolder) {
  PlanFolder folder;
  const YearPlan plan = NewPlan(folder.file("north.toml"), folder.file("normal.zmr"));
  EXPECT_EQ(plan.week, "normal.zmr");
  EXPECT_EQ(plan.name, "north");
  struct Case {
    QString chosen;
    QString named;
  } cases[] = {
      {folder.file("exams.zmr"), "exams.zmr"},
      {folder.file("weeks/exams.zmr"), "weeks/exams.zmr"},
      {"/srv/shared/term.ics", "/srv/shared/term.ics"},
      {QDir(folder.folder()).absoluteFilePath("../elsewhere.zmr"), QDir::cleanPath(folder.folder() + "../elsewhere.zmr")},
  };
  for (const Case& c : cases) EXPECT_EQ(NameInPlan(plan, c.chosen), c.named) << c.chosen.toStdString();
}

TEST(PlanEdit, TheLastPlanIsRemembered) {
  PlanFolder folder;
  EXPECT_EQ(RememberedPlan(folder.folder()), QString());
  RememberPlan(folder.folder(), "/etc/zmr-console/plans/north wing.toml");
  EXPECT_EQ(RememberedPlan(folder.folder()), "/etc/zmr-console/plans/north wing.toml");
  RememberPlan(folder.folder(), folder.file("south.toml"));
  EXPECT_EQ(RememberedPlan(folder.folder()), folder.file("south.toml"));
  EXPECT_THROW(RememberPlan(folder.file("not-a-week.zmr/inside"), "x"), IoError);
}

}  // namespace
}  // namespace zmr
