// Upkeep: its decisions, the state it keeps, and whole runs against the simulated timer.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <fstream>

#include "base/prompts.h"

#include "hardware/schedule_format.h"
#include "link/timer_commands.h"
#include "plan/upkeep.h"
#include "support/project_fixtures.h"
#include "support/sim_port.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

QDateTime At(const char* iso) { return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate); }

TEST(UpkeepDecisions, ClockWeekAndActivation) {
  const QDateTime pc = At("2027-05-12T10:00:00");  // a Wednesday
  const DayDecision bells{QDate(2027, 5, 12), true, "exams.zmr", "Exam week"};
  const DayDecision none{QDate(2027, 5, 12), false, "", "Christmas"};
  const WeekRecord same{"a", pc.addDays(-2).toUTC()};
  struct Case {
    const char* what;
    QDateTime timer;
    int weekday;
    bool activated;
    DayDecision day;
    std::optional<WeekRecord> held;
    UpkeepSteps expected;
  } cases[] = {
      {"all in order", pc.addSecs(-30), 3, true, bells, same, {false, "", false, "", false, false}},
      {"31 s behind", pc.addSecs(-31), 3, true, bells, same, {true, "it was 31 s behind", false, "", false, false}},
      {"an hour ahead", pc.addSecs(3602), 3, true, bells, same, {true, "it was 1 h 0 min 2 s ahead", false, "", false, false}},
      {"four minutes behind", pc.addSecs(-250), 3, true, bells, same, {true, "it was 4 min 10 s behind", false, "", false, false}},
      {"another weekday", pc, 2, true, bells, same, {true, "it was on Tuesday, not Wednesday", false, "", false, false}},
      {"no valid clock", QDateTime(), 3, true, bells, same, {true, "it held no valid date and time", false, "", false, false}},
      {"not known", pc, 3, false, bells, std::nullopt,
       {false, "", true, "the timer is not known to hold it", true, false}},
      {"another week", pc, 3, true, bells, WeekRecord{"b", same.when},
       {false, "", true, "the timer holds another week", false, false}},
      {"given 8 days ago", pc, 3, true, bells, WeekRecord{"a", pc.addDays(-8).toUTC()},
       {false, "", true, "the timer was last given it on " + pc.addDays(-8).toString(Qt::ISODate), false, false}},
      {"given a day in the future", pc, 3, true, bells, WeekRecord{"a", pc.addDays(1).toUTC()},
       {false, "", true, "the timer was last given it on " + pc.addDays(1).toString(Qt::ISODate), false, false}},
      {"known, not activated", pc, 3, false, bells, same, {false, "", false, "", true, false}},
      {"no bells, activated", pc, 3, true, none, same, {false, "", false, "", false, true}},
      {"no bells, deactivated", pc, 3, false, none, std::nullopt, {false, "", false, "", false, false}},
  };
  for (const Case& c : cases) {
    TimerReading timer{c.timer.isValid() ? QDateTime(c.timer.date(), c.timer.time(), Qt::UTC) : QDateTime(),
                       c.weekday, c.activated};
    const UpkeepSteps s = DecideUpkeep(timer, pc, 30, c.day, c.day.bells ? "a" : "", c.held);
    EXPECT_EQ(s.set_clock, c.expected.set_clock) << c.what;
    EXPECT_EQ(s.clock_reason, c.expected.clock_reason) << c.what;
    EXPECT_EQ(s.download, c.expected.download) << c.what;
    EXPECT_EQ(s.download_reason, c.expected.download_reason) << c.what;
    EXPECT_EQ(s.activate, c.expected.activate) << c.what;
    EXPECT_EQ(s.deactivate, c.expected.deactivate) << c.what;
  }
}

// Around a clock change the PC's wall clock is compared with the timer's as they read,
// never through the zone's rules: the hour after the change is an hour, the same
// reading on both is none.
TEST(UpkeepDecisions, WallClocksAreComparedWithoutZoneRules) {
  const QTimeZone berlin("Europe/Berlin");
  ASSERT_TRUE(berlin.isValid());
  const QDateTime pc(QDate(2027, 3, 28), QTime(3, 10), berlin);  // just after the spring change
  EXPECT_EQ(WallClockOffsetSecs(pc, QDateTime(QDate(2027, 3, 28), QTime(3, 10), Qt::UTC)), 0);
  EXPECT_EQ(WallClockOffsetSecs(pc, QDateTime(QDate(2027, 3, 28), QTime(2, 10), Qt::UTC)), -3600);
  const QDateTime autumn(QDate(2027, 10, 31), QTime(2, 30), berlin);
  EXPECT_EQ(WallClockOffsetSecs(autumn, QDateTime(QDate(2027, 10, 31), QTime(2, 30, 20), Qt::UTC)), 20);
}

TEST(WeekState, RecordsPerPortSurviveAndRejectGarbage) {
  TempDir dir;
  const QString folder = dir.file("state/deeper");
  WeekStateStore store(folder);
  EXPECT_FALSE(store.held("/dev/ttyUSB0"));
  auto week = std::make_unique<ProjectSetup>();
  ResetProject(*week);
  const QDateTime now = At("2027-05-12T10:00:00");
  EXPECT_EQ(RecordDownload(folder, "/dev/ttyUSB0", *week, now), "");
  const auto held = store.held("/dev/ttyUSB0");
  ASSERT_TRUE(held);
  EXPECT_EQ(held->week_hash, WeekHash(*week));
  EXPECT_EQ(held->when, now.toUTC());
  EXPECT_FALSE(store.held("/dev/ttyUSB1"));  // each port its own
  EXPECT_TRUE(WeekStateStore::Fresh(held, WeekHash(*week), now.addDays(kWeekTrustDays)));
  EXPECT_FALSE(WeekStateStore::Fresh(held, WeekHash(*week), now.addDays(kWeekTrustDays).addSecs(1)));

  // A summary is not part of what the timer gets; an event is.
  const QString empty_hash = WeekHash(*week);
  week->summary.title.setText("Other title");
  EXPECT_EQ(WeekHash(*week), empty_hash);
  AddPulse(*week, 3, 1, 8, 0, 5);
  EXPECT_NE(WeekHash(*week), empty_hash);

  QFile f(store.fileFor("/dev/ttyUSB0"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write("week-sha256=short\nwhen=yesterday\n");
  f.close();
  EXPECT_FALSE(store.held("/dev/ttyUSB0"));

  // A folder that cannot be made is told, not thrown.
  std::ofstream(dir.file("file").toStdString()) << "x";
  EXPECT_NE(RecordDownload(dir.file("file/sub"), "/dev/ttyUSB0", *week, now), "");
}

TEST(WeekState, OneTimerIsOneKeyHoweverItsPortIsNamed) {
  TempDir dir;
  std::ofstream(dir.file("ttyUSB7").toStdString()) << "";
  ASSERT_TRUE(QFile::link(dir.file("ttyUSB7"), dir.file("usb-FTDI_timer")));
  qputenv("ZMR_COM9", dir.file("usb-FTDI_timer").toLocal8Bit());
  const QString node = QFileInfo(dir.file("ttyUSB7")).canonicalFilePath();
  EXPECT_EQ(PortKey("COM9"), node);
  EXPECT_EQ(PortKey(dir.file("usb-FTDI_timer")), node);
  EXPECT_EQ(PortKey(node), node);
  const WeekStateStore store(dir.folder());
  EXPECT_EQ(store.fileFor("COM9"), store.fileFor(dir.file("ttyUSB7")));
  qunsetenv("ZMR_COM9");
  EXPECT_EQ(PortKey("rfc2217://bells.school:4001"), "rfc2217://bells.school:4001");
  EXPECT_NE(store.fileFor("tcp://a:1"), store.fileFor("tcp://a:2"));
}

// Under systemd the service's StateDirectory, else the user's XDG state folder.
TEST(WeekState, TheDefaultFolderFollowsTheEnvironment) {
  const QByteArray old_state = qgetenv("STATE_DIRECTORY"), old_xdg = qgetenv("XDG_STATE_HOME");
  const struct {
    const char* state_directory;
    const char* xdg_state_home;
    QString folder;
  } cases[] = {
      {"/var/lib/zmr-console", "/home/a/.st", "/var/lib/zmr-console"},
      {"/var/lib/zmr-console:/var/lib/other", nullptr, "/var/lib/zmr-console"},
      {nullptr, "/home/a/.st", "/home/a/.st/zmr-console"},
      {nullptr, "relative/st", QDir::homePath() + "/.local/state/zmr-console"},
      {nullptr, nullptr, QDir::homePath() + "/.local/state/zmr-console"},
  };
  for (const auto& c : cases) {
    c.state_directory ? qputenv("STATE_DIRECTORY", c.state_directory) : qunsetenv("STATE_DIRECTORY");
    c.xdg_state_home ? qputenv("XDG_STATE_HOME", c.xdg_state_home) : qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(DefaultStateFolder(), c.folder) << c.folder.toStdString();
  }
  old_state.isNull() ? qunsetenv("STATE_DIRECTORY") : qputenv("STATE_DIRECTORY", old_state);
  old_xdg.isNull() ? qunsetenv("XDG_STATE_HOME") : qputenv("XDG_STATE_HOME", old_xdg);
}

class Lines : public UpkeepLines {
 public:
  void line(const QString& text) override { all.push_back(text.toStdString()); }
  void breathe() override { ++breaths; }
  std::vector<std::string> all;
  int breaths = 0;
};

class UpkeepRun : public ::testing::Test {
 protected:
  UpkeepRun() {
    auto normal = std::make_shared<ProjectSetup>();
    ResetProject(*normal);
    AddPulse(*normal, 1, 1, 8, 0, 5);
    auto exams = std::make_shared<ProjectSetup>(*normal);
    AddPulse(*exams, 1, 2, 9, 30, 10);
    plan.name = "north";
    plan.week = "normal.zmr";
    plan.weeks = {{"normal.zmr", normal}, {"exams.zmr", exams}};
    plan.periods = {{"Exam week", QDate(2027, 5, 10), QDate(2027, 5, 14), "exams.zmr", 7},
                    {"Whitsun", QDate(2027, 5, 15), QDate(2027, 5, 17), "", 13}};
  }
  // One run for that day, at 07:00 of it or later that day; time runs on for the timer too.
  UpkeepOutcome Run(SimulatedLink& sim, const char* day, bool dry_run = false) {
    const QDate date = QDate::fromString(QString::fromLatin1(day), Qt::ISODate);
    const qint64 ahead = sim.clock.now().msecsTo(QDateTime(date, QTime(7, 0)));
    if (ahead > 0) sim.clock.advance(ahead);
    lines.all.clear();
    lines.breaths = 0;
    return RunUpkeep({plan, "COM1", date, dry_run, dir.folder()}, sim.link, lines);
  }

  YearPlan plan;
  TempDir dir;
  Lines lines;
};

TEST_F(UpkeepRun, ASchoolWeekAroundTheExams) {
  sim::SimConfig config;
  config.start_time = QDateTime(QDate(2027, 5, 9), QTime(7, 0));
  SimulatedLink sim(config);
  sim.clock.setNow(*config.start_time);
  using V = std::vector<std::string>;
  struct Step {
    const char* day;
    V lines;
    int writes;  // ScheduleWrite requests so far
    bool activated;
  } steps[] = {
      {"2027-05-09",
       {"downloaded normal.zmr (the plan's week): the timer is not known to hold it",
        "activated the timer: normal.zmr (the plan's week)"},
       7, true},
      {"2027-05-10", {"downloaded exams.zmr (Exam week): the timer holds another week"}, 14, true},
      {"2027-05-10", {"nothing to do: exams.zmr (Exam week), timer activated"}, 14, true},
      {"2027-05-15", {"deactivated the timer: no bells (Whitsun)"}, 14, false},
      {"2027-05-16", {"nothing to do: no bells (Whitsun), timer deactivated"}, 14, false},
      {"2027-05-18",
       {"downloaded normal.zmr (the plan's week): the timer holds another week",
        "activated the timer: normal.zmr (the plan's week)"},
       21, true},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(Run(sim, s.day), UpkeepOutcome::Done) << s.day;
    EXPECT_EQ(lines.all, s.lines) << s.day;
    EXPECT_EQ(sim.timer.requests('W'), s.writes) << s.day;
    EXPECT_EQ(sim.timer.activated(), s.activated) << s.day;
    // A window showing the lines repaints between the download's requests.
    EXPECT_GE(lines.breaths, s.lines.front().rfind("downloaded", 0) == 0 ? 7 : 0) << s.day;
  }
  EXPECT_EQ(sim.timer.requests('U'), 0);  // the clocks never strayed
}

TEST_F(UpkeepRun, AClockAnHourOffIsSetOnceAndADryRunChangesNothing) {
  sim::SimConfig config;
  config.start_time = QDateTime(QDate(2027, 3, 29), QTime(6, 0));
  config.activated = true;
  SimulatedLink sim(config);
  sim.clock.setNow(QDateTime(QDate(2027, 3, 29), QTime(7, 0)));  // the PC went to summer time, the timer did not
  EXPECT_EQ(Run(sim, "2027-03-29", true), UpkeepOutcome::Done);
  EXPECT_EQ(lines.all, (std::vector<std::string>{
                           "would set the clock from the PC: it was 1 h 0 min 0 s behind",
                           "would download normal.zmr (the plan's week): the timer is not known to hold it"}));
  EXPECT_EQ(sim.timer.requests('U') + sim.timer.requests('W') + sim.timer.requests('E'), 0);

  EXPECT_EQ(Run(sim, "2027-03-29"), UpkeepOutcome::Done);
  EXPECT_EQ(lines.all.front().rfind("clock set from the PC: it was 1 h 0 min ", 0), 0u) << lines.all.front();
  EXPECT_EQ(sim.timer.requests('U'), 1);
  EXPECT_LT(std::llabs(WallClockOffsetSecs(sim.clock.now(), sim.timer.timerNow())), 3);
  EXPECT_EQ(Run(sim, "2027-03-29"), UpkeepOutcome::Done);
  EXPECT_EQ(lines.all, std::vector<std::string>{"nothing to do: normal.zmr (the plan's week), timer activated"});
  EXPECT_EQ(sim.timer.requests('U'), 1);
}

TEST_F(UpkeepRun, FailuresEndTheRunWithTheirOutcome) {
  sim::SimConfig silent;
  silent.faults.silent = true;
  SimulatedLink quiet(silent);
  EXPECT_EQ(Run(quiet, "2027-05-10"), UpkeepOutcome::TimerFailed);
  EXPECT_EQ(lines.all, std::vector<std::string>{"error: " + kTimerNotFoundText.toStdString()});

  sim::SimConfig failing;
  failing.start_time = QDateTime(QDate(2027, 5, 10), QTime(7, 0));
  failing.faults.fail = {{'W', 3}};
  SimulatedLink broken(failing);
  broken.clock.setNow(*failing.start_time);
  EXPECT_EQ(Run(broken, "2027-05-10"), UpkeepOutcome::TimerFailed);
  EXPECT_EQ(lines.all, std::vector<std::string>{"error: Downloading was unsuccessful!"});
  EXPECT_FALSE(WeekStateStore(dir.folder()).held("COM1"));  // nothing recorded for a broken download

  SimulatedLink elsewhere({}, "COM2");  // nothing on COM1
  EXPECT_EQ(Run(elsewhere, "2027-05-10"), UpkeepOutcome::PortError);
  ASSERT_EQ(lines.all.size(), 1u);
  EXPECT_EQ(lines.all[0].rfind("port error: Unable to open com port", 0), 0u) << lines.all[0];
}

}  // namespace
}  // namespace zmr
