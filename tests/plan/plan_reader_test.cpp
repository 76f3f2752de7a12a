// Reading plans: what a good plan holds, and every fault of a bad one, by line.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <iostream>
#include <fstream>
#include <tuple>

#include "plan/plan_days.h"
#include "plan/plan_reader.h"
#include "support/forked_child.h"
#include "support/project_fixtures.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

class PlanReader : public ::testing::Test {
 protected:
  PlanReader() {
    auto week = std::make_unique<ProjectSetup>();
    ResetProject(*week);
    WriteProject(dir.file("normal.zmr"), *week);
    AddPulse(*week, 1, 1, 9, 0, 5);
    WriteProject(dir.file("exams.zmr"), *week);
    Write("terms.ics",
          "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//s//t//EN\r\nBEGIN:VEVENT\r\nUID:1@s\r\nSUMMARY:May Day\r\n"
          "DTSTART;VALUE=DATE:20270503\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    Write("not-a-week.zmr", "hello");
    Write("broken.ics", "BEGIN:VCALENDAR\r\nthis is not a calendar\r\n");
  }
  void Write(const char* name, const std::string& text) {
    std::ofstream(dir.file(name).toStdString(), std::ios::binary) << text;
  }
  PlanReading Read(const std::string& text) {
    Write("north.toml", text);
    return ReadPlan(dir.file("north.toml"), QDate(2026, 9, 1));
  }
  static std::vector<std::string> Faults(const PlanReading& r) {
    std::vector<std::string> faults;
    for (const PlanFault& f : r.faults) faults.push_back(FaultLine(f).toStdString());
    return faults;
  }

  TempDir dir;
};

const char kGoodPlan[] = R"(# north.toml: the plan of the timer in the north building
port = "COM1"
week = "normal.zmr"
clock_tolerance = 20
holidays = ["terms.ics"]

[[period]]
name = "Exam week"
from = 2027-05-10
to = 2027-05-14
week = "exams.zmr"

[[period]]
name = "Christmas holidays"
from = 2026-12-21
to = 2027-01-03
bells = false
)";

TEST_F(PlanReader, AGoodPlanIsReadWithItsWeeksAndHolidays) {
  const PlanReading r = Read(kGoodPlan);
  ASSERT_TRUE(r.ok()) << FaultLines(r.faults).join('\n').toStdString();
  const YearPlan& p = r.plan;
  EXPECT_EQ(p.name, "north");
  EXPECT_EQ(p.port, "COM1");
  EXPECT_EQ(p.clock_tolerance, 20);
  ASSERT_EQ(p.periods.size(), 2u);
  EXPECT_EQ(p.periods[0].line, 7);
  EXPECT_EQ(p.periods[1].week, "");
  EXPECT_EQ(p.weeks.size(), 2u);
  EXPECT_NE(p.weeks.at("exams.zmr")->slot(1, 1).hour, p.weeks.at("normal.zmr")->slot(1, 1).hour);
  EXPECT_EQ(DecideDay(p, QDate(2027, 5, 3)).reason, "holiday May Day (terms.ics)");

  // Written back and read again, it is the same plan.
  const std::string text = PlanText(p);
  const PlanReading again = ParsePlan(text, dir.file("north.toml"));
  ASSERT_TRUE(again.ok()) << FaultLines(again.faults).join('\n').toStdString() << '\n' << text;
  EXPECT_EQ(PlanText(again.plan), text);
  EXPECT_EQ(again.plan.periods[1].to, QDate(2027, 1, 3));
  EXPECT_EQ(again.plan.holidays, p.holidays);

  // Written to its file, it reads back whole, weeks and calendars found beside it.
  YearPlan changed = p;
  changed.periods.pop_back();
  changed.clock_tolerance = kDefaultClockTolerance;
  WritePlanFile(changed);
  const PlanReading reread = ReadPlan(dir.file("north.toml"), QDate(2026, 9, 1));
  ASSERT_TRUE(reread.ok()) << FaultLines(reread.faults).join('\n').toStdString();
  EXPECT_EQ(reread.plan.periods.size(), 1u);
  EXPECT_EQ(reread.plan.clock_tolerance, kDefaultClockTolerance);
  EXPECT_EQ(reread.plan.weeks.size(), 2u);
  EXPECT_FALSE(reread.plan.holiday_spans.empty());
}

TEST_F(PlanReader, EveryFaultIsListedWithItsLine) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> faults;
  } cases[] = {
      {"syntax", "week = \"normal.zmr\"\nport = \n", {"north.toml line 2: "}},
      {"unknown keys",
       "week = \"normal.zmr\"\nclock_tolerence = 20\n[[period]]\nname = \"A\"\nfrom = 2027-01-01\nto = "
       "2027-01-02\nbels = false\n",
       {"north.toml line 2: unknown key 'clock_tolerence'",
        "north.toml line 3: the period has neither 'week' nor 'bells = false'; it needs one of them",
        "north.toml line 7: unknown key 'bels' in [[period]]"}},
      {"no week", "port = \"COM2\"\n",
       {"north.toml: 'week' is missing: the week in force when no period says otherwise"}},
      {"both and the wrong order",
       "week = \"normal.zmr\"\n\n[[period]]\nname = \"Exams\"\nfrom = 2027-05-10\nto = 2027-05-01\nweek = "
       "\"exams.zmr\"\nbells = false\n",
       {"north.toml line 3: the period has both 'week' and 'bells = false'; it needs one of them",
        "north.toml line 6: 'to' 2027-05-01 is before 'from' 2027-05-10"}},
      {"missing parts of a period", "week = \"normal.zmr\"\n[[period]]\nbells = true\n",
       {"north.toml line 2: the period has no 'name'", "north.toml line 2: the period has no 'from' date",
        "north.toml line 2: the period has no 'to' date",
        "north.toml line 2: the period has neither 'week' nor 'bells = false'; it needs one of them",
        "north.toml line 3: 'bells' can only be false: a period with bells names its 'week'"}},
      {"wrong types",
       "week = 5\nclock_tolerance = 3600\nholidays = \"terms.ics\"\nport = \"\"\n[[period]]\nname = \"A\"\n"
       "from = \"2027-01-01\"\nto = 2027-01-02T08:00:00\nweek = \"exams.zmr\"\n",
       {"north.toml line 1: 'week' must be a text in quotes, not empty",
        "north.toml line 2: 'clock_tolerance' must be a whole number of seconds from 0 to 3599",
        "north.toml line 3: 'holidays' must be a list of calendar files, e.g. [\"term-dates.ics\"]",
        "north.toml line 4: 'port' must be a text in quotes, not empty",
        "north.toml line 7: 'from' must be a date such as 2027-05-10",
        "north.toml line 8: 'to' must be a date such as 2027-05-10"}},
      {"files that are not there or not right",
       "week = \"none.zmr\"\nholidays = [\"terms.ics\",\n  \"none.ics\",\n  \"normal.zmr\",\n  \"broken.ics\"]\n"
       "[[period]]\nname = \"A\"\nfrom = 2027-01-01\nto = 2027-01-02\nweek = \"not-a-week.zmr\"\n",
       {"north.toml line 1: week 'none.zmr' is not there", "north.toml line 3: calendar 'none.ics' is not there",
        "north.toml line 4: calendar 'normal.zmr' is not a valid calendar: it holds no VCALENDAR",
        "north.toml line 5: calendar 'broken.ics' is not a valid calendar: line 1: BEGIN:VCALENDAR is never closed",
        "north.toml line 10: week 'not-a-week.zmr' is not a valid project (.psf) file"}},
      {"a period is not a table", "week = \"normal.zmr\"\nperiod = 3\n",
       {"north.toml line 2: 'period' must be written as [[period]] tables"}},
      {"holidays entries that are wrong tables",
       "week = \"normal.zmr\"\nholidays = [\n"
       "  { file = \"terms.ics\", only = \"holiday\" },\n"
       "  { file = \"terms.ics\", only = [] },\n"
       "  { file = \"terms.ics\", only = [\"holiday\", 3] },\n"
       "  { file = \"terms.ics\", only = [\"holiday\", \" \"] },\n"
       "  { only = [\"holiday\"] },\n"
       "  { file = \"terms.ics\", colour = 1 },\n"
       "  { file = \"\", only = [\"holiday\"] },\n"
       "  3,\n"
       "  { file = \"terms.ics\", only = [\"May\"] }]\n",
       {"north.toml line 3: 'only' must be a list of words in quotes, e.g. [\"half term\", \"holiday\"]",
        "north.toml line 4: 'only' is empty, so no event would count; leave it out to count every event",
        "north.toml line 5: 'only' must be a list of words in quotes, e.g. [\"half term\", \"holiday\"]",
        "north.toml line 6: 'only' must be a list of words in quotes, e.g. [\"half term\", \"holiday\"]",
        "north.toml line 7: the holidays entry has no 'file'",
        "north.toml line 8: unknown key 'colour' in a holidays entry",
        "north.toml line 9: 'file' must be a text in quotes, not empty",
        "north.toml line 10: 'holidays' must be a text in quotes, not empty"}},
  };
  for (const Case& c : cases) {
    const PlanReading r = Read(c.text);
    std::vector<std::string> faults = Faults(r);
    if (c.faults.size() == 1 && c.faults[0].back() == ' ') {  // a syntax fault: its line, toml++'s words
      ASSERT_EQ(faults.size(), 1u) << c.what;
      EXPECT_EQ(faults[0].rfind(c.faults[0], 0), 0u) << c.what << ": " << faults[0];
      continue;
    }
    EXPECT_EQ(faults, c.faults) << c.what;
  }
}

// A term-date feed holds school days too: only the events whose title holds a word count.
TEST_F(PlanReader, AnOnlyTableKeepsTheEventsThatHoldOneOfItsWords) {
  Write("feed.ics",
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n"
        "BEGIN:VEVENT\r\nUID:1@s\r\nSUMMARY:Half Term\r\nDTSTART;VALUE=DATE:20261026\r\nDTEND;VALUE=DATE:20261031\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:2@s\r\nSUMMARY:Pupils return\r\nDTSTART;VALUE=DATE:20261102\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:3@s\r\nSUMMARY:INSET day (staff only)\r\nDTSTART;VALUE=DATE:20261103\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:4@s\r\nSUMMARY:Parents' evening\r\nDTSTART:20261104T180000\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n");
  const PlanReading r =
      Read("week = \"normal.zmr\"\nholidays = [\"terms.ics\", { file = \"feed.ics\", only = [\"half term\", \"Inset\"] }]\n");
  ASSERT_TRUE(r.ok()) << FaultLines(r.faults).join('\n').toStdString();
  EXPECT_EQ(r.plan.holidays, (std::vector<HolidayCalendar>{{"terms.ics", {}}, {"feed.ics", {"half term", "Inset"}}}));
  const struct {
    QDate day;
    const char* reason;
  } days[] = {
      {QDate(2026, 10, 26), "holiday Half Term (feed.ics)"}, {QDate(2026, 10, 30), "holiday Half Term (feed.ics)"},
      {QDate(2026, 11, 2), "the plan's week"},               {QDate(2026, 11, 3), "holiday INSET day (staff only) (feed.ics)"},
      {QDate(2026, 11, 4), "the plan's week"},               {QDate(2027, 5, 3), "holiday May Day (terms.ics)"},
  };
  for (const auto& d : days) EXPECT_EQ(DecideDay(r.plan, d.day).reason, d.reason) << d.day.toString(Qt::ISODate).toStdString();
  EXPECT_TRUE(r.plan.warnings.empty());

  // Written back as the same table, and read again as the same plan.
  const std::string text = PlanText(r.plan);
  EXPECT_NE(text.find(R"(holidays = [ 'terms.ics', { file = 'feed.ics', only = [ 'half term', 'Inset' ] } ])"),
            std::string::npos)
      << text;
  EXPECT_EQ(ParsePlan(text, dir.file("north.toml")).plan.holidays, r.plan.holidays);

  // Words that no event holds leave the calendar without a day: said, not silent.
  const PlanReading none = Read("week = \"normal.zmr\"\nholidays = [{ file = \"feed.ics\", only = [\"holidays\"] }]\n");
  ASSERT_TRUE(none.ok());
  EXPECT_TRUE(none.plan.holiday_spans.empty());
  EXPECT_EQ(FaultLines(none.plan.warnings),
            QStringList{"north.toml line 2: calendar 'feed.ics': none of its events holds a word of 'only', so none of them counts"});
}

TEST_F(PlanReader, EachFaultIsARecordOfItsFileLineAndKey) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::tuple<int, std::string, std::string>> faults;  // line, key, text
  } cases[] = {
      {"keys of the plan, in the order of their lines",
       "week = \"\"\nclock_tolerance = -1\nholidays = [\"none.ics\"]\ncolour = 1\n",
       {{1, "week", "'week' must be a text in quotes, not empty"},
        {2, "clock_tolerance", "'clock_tolerance' must be a whole number of seconds from 0 to 3599"},
        {3, "holidays", "calendar 'none.ics' is not there"},
        {4, "colour", "unknown key 'colour'"}}},
      {"what a period lacks, on its first line",
       "week = \"normal.zmr\"\n[[period]]\nto = 2027-01-02\nweek = \"none.zmr\"\n",
       {{2, "name", "the period has no 'name'"},
        {2, "from", "the period has no 'from' date"},
        {4, "week", "week 'none.zmr' is not there"}}},
      {"a network address that every run would refuse",
       "week = \"normal.zmr\"\nport = \"tcp://192.168.001.010:4001\"\n",
       {{2, "port",
         "'port' is no network address: \"192.168.001.010\" is not an IPv4 address: a number with a leading zero "
         "is read as octal (010 is 8) and leads to another host. Write each number without leading zeros."}}},
      {"the whole file", "port = \"COM2\"\n",
       {{0, "week", "'week' is missing: the week in force when no period says otherwise"}}},
  };
  for (const Case& c : cases) {
    std::vector<std::tuple<int, std::string, std::string>> faults;
    for (const PlanFault& f : Read(c.text).faults) {
      EXPECT_EQ(f.file, "north.toml") << c.what;
      faults.emplace_back(f.line, f.key.toStdString(), f.text.toStdString());
    }
    EXPECT_EQ(faults, c.faults) << c.what;
  }
  // A plan's own name never passes for a line number: the order is the file's.
  Write("hall line 9.toml", "week = \"\"\nclock_tolerance = -1\n");
  EXPECT_EQ(Faults(ReadPlan(dir.file("hall line 9.toml"), QDate(2026, 9, 1))),
            (std::vector<std::string>{
                "hall line 9.toml line 1: 'week' must be a text in quotes, not empty",
                "hall line 9.toml line 2: 'clock_tolerance' must be a whole number of seconds from 0 to 3599"}));
}

TEST_F(PlanReader, AFileThatCannotBeReadIsOneFault) {
  const PlanReading r = ReadPlan(dir.file("missing.toml"), QDate(2026, 9, 1));
  EXPECT_EQ(Faults(r), std::vector<std::string>{"missing.toml: cannot be read: File not found."});
  EXPECT_EQ(r.plan.name, "missing");
}

// The unattended job runs as a user of its own: a week in a folder it may not search is
// there all the same, and is said to be unreadable, never missing.
TEST_F(PlanReader, AFileTheJobsUserCannotReadIsNotCalledMissing) {
  QDir(dir.folder()).mkdir("private");
  for (const char* name : {"normal.zmr", "terms.ics"}) QFile::copy(dir.file(name), dir.file(QString("private/") + name));
  QFile::copy(dir.file("exams.zmr"), dir.file("locked.zmr"));
  QFile(dir.file("private")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QFile(dir.file("locked.zmr")).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  QFile(dir.folder()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                     QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
  Write("north.toml",
        "week = \"private/normal.zmr\"\nholidays = [\"private/terms.ics\", \"none.ics\"]\n\n"
        "[[period]]\nname = \"Exams\"\nfrom = 2027-05-10\nto = 2027-05-14\nweek = \"locked.zmr\"\n");
  QFile(dir.file("north.toml")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
  const std::vector<std::string> expected{
      "north.toml line 1: week 'private/normal.zmr' cannot be read: File access denied.",
      "north.toml line 2: calendar 'private/terms.ics' cannot be read: File access denied.",
      "north.toml line 2: calendar 'none.ics' is not there",
      "north.toml line 8: week 'locked.zmr' cannot be read: File access denied."};
  EXPECT_EQ(RunAsUnprivileged([&] {
              const std::vector<std::string> faults = Faults(ReadPlan(dir.file("north.toml"), QDate(2026, 9, 1)));
              for (const std::string& f : faults) std::cerr << f << '\n';
              return faults == expected ? 0 : 1;
            }),
            0);
}

}  // namespace
}  // namespace zmr
