// Upkeep: its decisions, the state it keeps, and whole runs against the simulated timer.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <cerrno>
#include <fstream>
#include <set>

#include "base/errors.h"
#include "base/prompts.h"

#include "hardware/schedule_format.h"
#include "link/packet.h"
#include "link/port_names.h"
#include "link/timer_commands.h"
#include "plan/upkeep.h"
#include "plan/upkeep_record.h"
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
  const TimerKey usb0{"/dev/ttyUSB0", "/dev/ttyUSB0"};
  EXPECT_FALSE(store.held(usb0));
  auto week = std::make_unique<ProjectSetup>();
  ResetProject(*week);
  const QDateTime now = At("2027-05-12T10:00:00");
  EXPECT_EQ(RecordDownload(folder, usb0, *week, now), "");
  const auto held = store.held(usb0);
  ASSERT_TRUE(held);
  EXPECT_EQ(held->week_hash, WeekHash(*week));
  EXPECT_EQ(held->when, now.toUTC());
  EXPECT_TRUE(TimerHoldsWeek(folder, usb0, *week));
  EXPECT_FALSE(store.held({"/dev/ttyUSB1", "/dev/ttyUSB1"}));  // each port its own
  EXPECT_TRUE(WeekStateStore::Fresh(held, WeekHash(*week), now.addDays(kWeekTrustDays)));
  EXPECT_FALSE(WeekStateStore::Fresh(held, WeekHash(*week), now.addDays(kWeekTrustDays).addSecs(1)));

  // A summary is not part of what the timer gets; an event is.
  const QString empty_hash = WeekHash(*week);
  week->summary.title.setText("Other title");
  EXPECT_EQ(WeekHash(*week), empty_hash);
  AddPulse(*week, 3, 1, 8, 0, 5);
  EXPECT_NE(WeekHash(*week), empty_hash);

  QFile f(store.fileFor(usb0.key));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write("week-sha256=short\nwhen=yesterday\n");
  f.close();
  EXPECT_FALSE(store.held(usb0));

  // A folder that cannot be made is told, not thrown.
  std::ofstream(dir.file("file").toStdString()) << "x";
  EXPECT_NE(RecordDownload(dir.file("file/sub"), usb0, *week, now), "");
  EXPECT_NE(ForgetDownload(dir.file("file/sub"), usb0), "");
}

// A timer keeps its key when its adapter is renumbered: the by-id name stands for every
// path that leads to the node; a network timer is its host and port however written.
TEST(WeekState, OneTimerIsOneKeyHoweverItsPortIsNamed) {
  TempDir dir;
  std::ofstream(dir.file("ttyUSB7").toStdString()) << "";
  std::ofstream(dir.file("ttyS3").toStdString()) << "";
  ASSERT_TRUE(QFile::link(dir.file("ttyUSB7"), dir.file("timer-link")));
  const QString node = QFileInfo(dir.file("ttyUSB7")).canonicalFilePath();
  const ScopedPortEnumerator scan(std::make_shared<ListedPorts>(
      std::vector<SerialDevice>{{node, "FT232R", "usb-FTDI_timer-if00", true, true}}));
  qputenv("ZMR_COM9", dir.file("timer-link").toLocal8Bit());
  const QString by_id = "/dev/serial/by-id/usb-FTDI_timer-if00";
  const struct {
    QString port;
    QString key;
    QString legacy;
  } cases[] = {
      {"COM9", by_id, node},
      {dir.file("timer-link"), by_id, node},
      {node, by_id, node},
      {dir.file("ttyS3"), QFileInfo(dir.file("ttyS3")).canonicalFilePath(), QFileInfo(dir.file("ttyS3")).canonicalFilePath()},
      {"COM8", "COM8", "COM8"},  // leads nowhere
      {"rfc2217://Bells.School:4001", "bells.school:4001", "rfc2217://Bells.School:4001"},
      {"tcp://bells.school.:4001", "bells.school:4001", "tcp://bells.school.:4001"},
      {"tcp://[FD00:0:0::20]:2217", "[fd00::20]:2217", "tcp://[FD00:0:0::20]:2217"},
      {"rfc2217://10.0.4.20:2217", "10.0.4.20:2217", "rfc2217://10.0.4.20:2217"},
  };
  for (const auto& c : cases) {
    const TimerKey key = TimerKeyOf(c.port);
    EXPECT_EQ(key.key, c.key) << c.port.toStdString();
    EXPECT_EQ(key.legacy, c.legacy) << c.port.toStdString();
  }
  qunsetenv("ZMR_COM9");
  EXPECT_NE(TimerKeyOf("tcp://a:1").key, TimerKeyOf("tcp://a:2").key);

  // A record kept under the old key is still found, until the new key has one of its own.
  const WeekStateStore store(dir.file("state"));
  const TimerKey timer{by_id, node};
  store.record({node, node}, {QString(64, 'a'), At("2027-05-12T10:00:00").toUTC()});
  ASSERT_TRUE(store.held(timer));
  EXPECT_EQ(store.held(timer)->week_hash, QString(64, 'a'));
  store.forget(timer);
  EXPECT_FALSE(store.held(timer)) << "a cleared record under the new key is not overruled by the old one";
  store.record(timer, {QString(64, 'b'), At("2027-05-12T11:00:00").toUTC()});
  EXPECT_EQ(store.held(timer)->week_hash, QString(64, 'b'));
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

class Lines : public UpkeepEvents {
 public:
  void event(const UpkeepEvent& e) override {
    all.push_back(UpkeepEventLine(e).toStdString());
    events.push_back(e);
  }
  void breathe() override { ++breaths; }
  std::vector<std::string> all;
  std::vector<UpkeepEvent> events;
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
    lines.events.clear();
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

// Right after boot the PC's clock may be far off: the timer's clock is set from it only
// when the kernel says it is synchronised, or the site trusts it; the rest of the job runs.
TEST_F(UpkeepRun, APcClockNotKnownToBeRightIsNeverCopiedIntoTheTimer) {
  const std::string reason = "(it was 1 h 0 min 0 s behind): ";
  const std::string trust = "; upkeep --trust-clock sets it all the same";
  const std::string unsynchronised = "this PC's clock is not synchronised with network time" + trust;
  const struct Case {
    ClockSyncReading sync;
    bool trust_clock;
    bool dry_run;
    std::string first;
    int clock_sets;
  } cases[] = {
      {{ClockSync::Unsynchronised, {}}, false, false, "warning: left the clock as it is " + reason + unsynchronised, 0},
      {{ClockSync::Unsynchronised, {}}, false, true, "warning: would leave the clock as it is " + reason + unsynchronised,
       0},
      {{ClockSync::Unknown, "adjtimex: Operation not permitted"}, false, false,
       "warning: left the clock as it is " + reason +
           "whether this PC's clock is synchronised cannot be told (adjtimex: Operation not permitted)" + trust,
       0},
      {{ClockSync::Unsynchronised, {}}, true, false, "clock set from the PC: it was 1 h 0 min ", 1},
      {{ClockSync::Unknown, "adjtimex: Operation not permitted"}, true, true,
       "would set the clock from the PC: it was 1 h 0 min 0 s behind", 0},
      {{ClockSync::Synchronised, {}}, false, false, "clock set from the PC: it was 1 h 0 min ", 1},
  };
  for (const Case& c : cases) {
    sim::SimConfig config;
    config.start_time = QDateTime(QDate(2027, 3, 29), QTime(6, 0));
    config.activated = true;
    SimulatedLink sim(config);
    sim.clock.setNow(QDateTime(QDate(2027, 3, 29), QTime(7, 0)));
    sim.clock.sync = c.sync;
    lines.all.clear();
    UpkeepJob job{plan, "COM1", QDate(2027, 3, 29), c.dry_run, dir.folder()};
    job.trust_clock = c.trust_clock;
    EXPECT_EQ(RunUpkeep(job, sim.link, lines), UpkeepOutcome::Done) << c.first;
    ASSERT_GE(lines.all.size(), 2u) << c.first;
    EXPECT_EQ(lines.all[0].rfind(c.first, 0), 0u) << lines.all[0];
    EXPECT_EQ(lines.all.back().rfind(c.dry_run ? "would download normal.zmr" : "downloaded normal.zmr", 0), 0u)
        << "the rest of the job runs: " << lines.all.back();
    EXPECT_EQ(sim.timer.requests('U'), c.clock_sets) << c.first;
    QDir(dir.folder()).removeRecursively();
  }
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
  EXPECT_FALSE(WeekStateStore(dir.folder()).held(TimerKeyOf("COM1")));  // nothing recorded for a broken download

  SimulatedLink elsewhere({}, "COM2");  // nothing on COM1
  EXPECT_EQ(Run(elsewhere, "2027-05-10"), UpkeepOutcome::PortError);
  ASSERT_EQ(lines.all.size(), 1u);
  EXPECT_EQ(lines.all[0].rfind("port error: Unable to open com port", 0), 0u) << lines.all[0];
  EXPECT_EQ(lines.events[0].kind, UpkeepEventKind::PortError);
}

// A download cut anywhere leaves the timer with half of one week and half of another:
// the record is cleared before the first chunk and written only after the closing check,
// so the next run that wants the earlier week sends it again.
TEST_F(UpkeepRun, ACutDownloadIsNeverBelieved) {
  const struct {
    const char* where;
    std::set<std::pair<char, int>> fail;
  } cases[] = {
      {"the first chunk", {{'W', 1}}},
      {"a middle chunk", {{'W', 4}}},
      {"the last chunk", {{'W', 7}}},
      {"the closing check", {{'G', 2}}},
  };
  const auto timer = [](std::set<std::pair<char, int>> fail = {}) {
    sim::SimConfig config;
    config.start_time = QDateTime(QDate(2027, 5, 9), QTime(7, 0));
    config.faults.fail = std::move(fail);
    auto sim = std::make_unique<SimulatedLink>(config);
    sim->clock.setNow(*config.start_time);
    return sim;
  };
  const WeekStateStore store(dir.folder());
  for (const auto& c : cases) {
    const auto good = timer();
    ASSERT_EQ(Run(*good, "2027-05-09"), UpkeepOutcome::Done) << c.where;
    ASSERT_TRUE(store.held(TimerKeyOf("COM1"))) << c.where;

    // The exam week cut part-way: the timer holds neither week now.
    const auto cut = timer(c.fail);
    EXPECT_EQ(Run(*cut, "2027-05-10"), UpkeepOutcome::TimerFailed) << c.where;
    EXPECT_FALSE(store.held(TimerKeyOf("COM1"))) << c.where;

    const auto next = timer();
    EXPECT_EQ(Run(*next, "2027-05-09"), UpkeepOutcome::Done) << c.where;
    ASSERT_FALSE(lines.all.empty()) << c.where;
    EXPECT_EQ(lines.all[0], "downloaded normal.zmr (the plan's week): the timer is not known to hold it") << c.where;
  }
}

// Upkeep acts only on a complete reading whose every field is in range; anything else is
// a timer that answered wrongly, and nothing is changed.
TEST_F(UpkeepRun, AShortOrMalformedStatusChangesNothing) {
  using Bytes = std::vector<std::uint8_t>;
  // day, month, year - 2000, hour, minute, second, weekday: Wednesday 2027-05-12 07:00:00.
  const Bytes good{12, 5, 27, 7, 0, 0, 3};
  const auto with = [&](int at, std::uint8_t value) {
    Bytes payload = good;
    payload.resize(kStatusReplySize);
    payload[static_cast<std::size_t>(at)] = value;
    return payload;
  };
  const struct {
    const char* what;
    Bytes status;
    std::string why;
  } cases[] = {
      {"five bytes", Bytes(good.begin(), good.begin() + 5), "5 of 29 bytes"},
      {"one byte short", Bytes(kStatusReplySize - 1, 1), "28 of 29 bytes"},
      {"day 0", with(0, 0), "day 0"},
      {"day 32", with(0, 32), "day 32"},
      {"month 13", with(1, 13), "month 13"},
      {"hour 24", with(3, 24), "hour 24"},
      {"minute 60", with(4, 60), "minute 60"},
      {"second 60", with(5, 60), "second 60"},
      {"weekday 0", with(6, 0), "weekday 0"},
      {"weekday 8", with(6, 8), "weekday 8"},
  };
  for (const auto& c : cases) {
    SimulatedLink sim;
    sim.clock.setNow(QDateTime(QDate(2027, 5, 12), QTime(7, 0)));
    sim.port.attach("COM1", [&c](std::span<const std::uint8_t> request) {
      const Bytes payload = request[1] == 'G' ? c.status : Bytes{'O', 'K'};
      return std::vector<Arrival>{{0, BuildFrame(request[1], 0, payload)}};
    });
    EXPECT_EQ(Run(sim, "2027-05-12"), UpkeepOutcome::TimerFailed) << c.what;
    EXPECT_EQ(lines.all, std::vector<std::string>{"error: the timer's status reply cannot be right (" + c.why +
                                                  "); nothing was changed"})
        << c.what;
    for (const auto& request : sim.port.writes) EXPECT_TRUE(request[1] == 'L' || request[1] == 'G') << c.what;
  }
  // The same with the simulated timer's own short reply.
  sim::SimConfig short_status;
  short_status.faults.short_status = 5;
  SimulatedLink sim(short_status);
  EXPECT_EQ(Run(sim, "2027-05-12"), UpkeepOutcome::TimerFailed);
  EXPECT_EQ(sim.timer.requests('U') + sim.timer.requests('W') + sim.timer.requests('D'), 0);
}

// A port that another program holds fails to open as busy.
class HeldPort : public FakePort {
 public:
  using FakePort::FakePort;
  int busy_opens = 0;
  PortCause busy_cause = PortCause::Busy;
  void open(const QString& name) override {
    if (busy_opens > 0) {
      --busy_opens;
      events.push_back("open held");
      throw PortError(PortStep::Open, busy_cause, name.toStdString(),
                      busy_cause == PortCause::ServerInUse ? "rfc2217://10.0.4.20:2217" : "/dev/ttyUSB0");
    }
    FakePort::open(name);
  }
};

// An unattended run waits up to two minutes for a port a console or terminal holds, then
// says who kept it; a port it may not use at all is told at once.
TEST_F(UpkeepRun, APortHeldElsewhereIsWaitedForTwoMinutes) {
  const struct {
    const char* what;
    int busy_opens;
    PortCause busy_cause;
    UpkeepOutcome outcome;
    std::int64_t waited_ms;
    std::string first_line;
  } cases[] = {
      {"given back after 10 s", 2, PortCause::Busy, UpkeepOutcome::Done, 10000,
       "downloaded exams.zmr (Exam week): the timer is not known to hold it"},
      {"held all along", 1000, PortCause::Busy, UpkeepOutcome::PortError, 120000,
       "port error: another program holds the port COM1; it was tried for 2 min"},
      {"not ours to use", 1000, PortCause::NotAllowed, UpkeepOutcome::PortError, 0, "port error: Unable to open com port"},
      // ser2net serves one client at a time: another PC's download is waited for alike.
      {"a server that serves another PC for 10 s", 2, PortCause::ServerInUse, UpkeepOutcome::Done, 10000,
       "downloaded exams.zmr (Exam week): the timer is not known to hold it"},
      {"a server that serves another PC all along", 1000, PortCause::ServerInUse, UpkeepOutcome::PortError, 120000,
       "port error: another program or PC is connected to the timer's server rfc2217://10.0.4.20:2217 of the port "
       "COM1; it was tried for 2 min"},
  };
  for (const auto& c : cases) {
    FakeClock clock(QDateTime(QDate(2027, 5, 12), QTime(7, 0)));
    sim::SimConfig config;
    config.start_time = clock.now();
    sim::SimTimer timer(clock, config);
    HeldPort port(clock);
    port.attach("COM1", SimDevice(timer));
    port.busy_opens = c.busy_opens;
    port.busy_cause = c.busy_cause;
    TimerLink link(port, clock);
    lines.all.clear();
    const QString state = dir.file(QString("state-%1").arg(&c - cases));  // no case remembers another's week
    EXPECT_EQ(RunUpkeep({plan, "COM1", QDate(2027, 5, 12), false, state}, link, lines), c.outcome) << c.what;
    ASSERT_FALSE(lines.all.empty()) << c.what;
    EXPECT_EQ(lines.all[0].substr(0, c.first_line.size()), c.first_line) << c.what;
    if (c.outcome != UpkeepOutcome::Done) {
      EXPECT_EQ(lines.all.size(), 1u) << c.what;
    }
    EXPECT_EQ(clock.tickMs() >= c.waited_ms && clock.tickMs() < c.waited_ms + kBusyPortPauseMs, true)
        << c.what << ": " << clock.tickMs();
  }
}

// The last run of a plan reads back as it was written; a file that is not a record is
// no record.
TEST(UpkeepRecord, TheLastRunReadsBackWhole) {
  TempDir dir;
  const QString state = dir.file("state");
  const QString plan = dir.file("north.toml");
  EXPECT_FALSE(LastUpkeepRun(state, plan));
  EXPECT_EQ(LastRunSummary(std::nullopt), "No upkeep run of this plan is recorded yet.");
  const std::vector<UpkeepEvent> events{{UpkeepEventKind::Note, "clock set from the PC: it was 31 s behind"},
                                        {UpkeepEventKind::Warning, "a warning"},
                                        {UpkeepEventKind::Error, "Downloading was unsuccessful!"},
                                        {UpkeepEventKind::PortError, "Unable to open com port"},
                                        {UpkeepEventKind::Refusal, "north.toml line 3: a fault"}};
  const UpkeepRunRecord run{At("2027-05-12T05:00:02Z"), plan, UpkeepOutcome::TimerFailed, 5, events};
  ASSERT_EQ(RecordUpkeepRun(state, run), "");
  const auto back = LastUpkeepRun(state, plan);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->when, run.when);
  EXPECT_EQ(back->plan, QFileInfo(plan).absoluteFilePath());
  EXPECT_EQ(back->outcome, UpkeepOutcome::TimerFailed);
  EXPECT_EQ(back->exit_status, 5);
  EXPECT_EQ(back->events, events);
  EXPECT_FALSE(LastUpkeepRun(state, dir.file("south.toml")));  // each plan its own
  const QString when = run.when.toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
  EXPECT_EQ(LastRunSummary(back), "Upkeep's last run " + when +
                                      ": timer failed (exit 5)\nwarning: a warning\nerror: Downloading was "
                                      "unsuccessful!\nport error: Unable to open com port\nnorth.toml line 3: a fault");

  for (const char* garbage : {"", "{", "[]", "{\"when\": \"yesterday\"}",
                              "{\"when\":\"2027-05-12T05:00:02Z\",\"plan\":\"p\",\"outcome\":\"odd\",\"exit_status\":0}"}) {
    QFile file(UpkeepRunFile(state, plan));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(garbage);
    file.close();
    EXPECT_FALSE(LastUpkeepRun(state, plan)) << garbage;
  }
  std::ofstream(dir.file("file").toStdString()) << "x";
  EXPECT_TRUE(RecordUpkeepRun(dir.file("file/state"), run).startsWith("The run was not recorded in "));
}

}  // namespace
}  // namespace zmr
