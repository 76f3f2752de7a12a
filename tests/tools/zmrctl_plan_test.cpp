// zmrctl plan and zmrctl upkeep in-process, with the simulated timer behind a FakePort.
#include <gtest/gtest.h>

#include <QFile>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <sstream>

#include "hardware/week_state.h"
#include "plan/plan_reader.h"
#include "support/local_http_server.h"
#include "support/project_fixtures.h"
#include "support/qt_core_environment.h"
#include "support/sim_port.h"
#include "support/temp_dir.h"
#include "zmrctl/zmrctl.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const char kPlan[] = R"(week = "normal.zmr"
port = "sim-timer"

[[period]]
name = "Exam week"
from = 2027-05-10
to = 2027-05-14
week = "exams.zmr"

[[period]]
name = "Whitsun"
from = 2027-05-15
to = 2027-05-17
bells = false
)";

class ZmrctlPlanTest : public ::testing::Test {
 protected:
  ZmrctlPlanTest() {
    sim.clock.setNow(QDateTime(QDate(2027, 5, 9), QTime(7, 0)));
    sim.timer.setTimerClock(sim.clock.now());
    env.program_folder = dir.folder();
    env.make_port = [this] {
      auto port = std::make_unique<FakePort>(sim.clock);
      port->attach("sim-timer", SimDevice(sim.timer));
      port->attach("COM1", SimDevice(sim.timer));  // where --port sends a device name
      return port;
    };
    auto week = std::make_unique<ProjectSetup>();
    ResetProject(*week);
    AddPulse(*week, 1, 1, 8, 0, 5);
    WriteProject(dir.file("normal.zmr"), *week);
    AddPulse(*week, 1, 2, 9, 0, 5);
    WriteProject(dir.file("exams.zmr"), *week);
    Write("north.toml", kPlan);
  }
  void Write(const char* name, const std::string& text) {
    QFile f(dir.file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.data(), static_cast<qint64>(text.size()));
  }
  int Run(QStringList args) {
    out.str({});
    err.str({});
    return ctl::Run(args, env);
  }
  std::vector<std::string> OutLines() const {
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  TempDir dir;
  SimulatedLink sim;
  std::ostringstream out, err;
  ctl::Environment env{out, err, sim.clock};
};

TEST_F(ZmrctlPlanTest, PlanShowsEachDayWithWhatDecidesIt) {
  EXPECT_EQ(Run({"plan", dir.file("north.toml"), "--from", "2027-05-14", "--days", "4"}), ctl::kExitOk);
  EXPECT_EQ(OutLines(), (std::vector<std::string>{"Fri 2027-05-14  exams.zmr  Exam week",
                                                  "Sat 2027-05-15  no bells   Whitsun",
                                                  "Sun 2027-05-16  no bells   Whitsun",
                                                  "Mon 2027-05-17  no bells   Whitsun"}));
  EXPECT_EQ(Run({"plan", dir.file("north.toml")}), ctl::kExitOk);  // 14 days from the PC's today
  EXPECT_EQ(OutLines().size(), 14u);
  EXPECT_EQ(OutLines().front(), "Sun 2027-05-09  normal.zmr  the plan's week");

  // A view longer than the two years recurring holidays are expanded for still has them.
  Write("yearly.ics",
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:f@s\r\nSUMMARY:Founders\r\n"
        "DTSTART;VALUE=DATE:20270301\r\nRRULE:FREQ=YEARLY\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  Write("long.toml", "week = \"normal.zmr\"\nholidays = [\"yearly.ics\"]\n");
  EXPECT_EQ(Run({"plan", dir.file("long.toml"), "--from", "2027-01-01", "--days", "1156"}), ctl::kExitOk);
  EXPECT_EQ(OutLines().back(), "Fri 2030-03-01  no bells    holiday Founders (yearly.ics)");

  Write("bad.toml", "week = \"normal.zmr\"\nweeks = 3\n");
  EXPECT_EQ(Run({"plan", dir.file("bad.toml")}), ctl::kExitProjectRefused);
  EXPECT_EQ(err.str(), "bad.toml line 2: unknown key 'weeks'\nbad.toml: the plan is refused\n");
  EXPECT_EQ(out.str(), "");

  const struct {
    QStringList args;
    const char* says;
  } usage[] = {
      {{"plan"}, "plan takes one plan file"},
      {{"plan", "a.toml", "b.toml"}, "plan takes one plan file"},
      {{"plan", "a.toml", "--days", "0"}, "--days takes 1 to 3660"},
      {{"plan", "a.toml", "--from", "2027-13-01"}, "--from takes a date YYYY-MM-DD, not 2027-13-01"},
      {{"upkeep", "--dry-run"}, "upkeep takes one or more plan files"},
      {{"upkeep", "a.toml", "--date", "tomorrow"}, "--date takes a date YYYY-MM-DD, not tomorrow"},
  };
  for (const auto& u : usage) {
    EXPECT_EQ(Run(u.args), ctl::kExitUsage) << u.says;
    EXPECT_NE(err.str().find(u.says), std::string::npos) << err.str();
  }
}

// A calendar taken with something left out: plan says so on stderr, upkeep among its lines.
TEST_F(ZmrctlPlanTest, WhatACalendarLeftOutIsSaid) {
  Write("feed.ics",
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:1@s\r\nSUMMARY:Inset\r\nLOCATION:\r\n"
        "DTSTART;VALUE=DATE:20270510\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:2@s\r\nSUMMARY:Tick\r\n"
        "DTSTART:20270101T000000\r\nRRULE:FREQ=SECONDLY\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  Write("feed.toml", "week = \"normal.zmr\"\nport = \"sim-timer\"\nholidays = [\"feed.ics\"]\n");
  const std::string left_out =
      "feed.toml line 3: calendar 'feed.ics': line 14: RRULE of \"Tick\" is left out: it takes more than 20000 steps "
      "to expand: FREQ=SECONDLY";
  const std::string ignored = "feed.toml line 3: calendar 'feed.ics': 1 fault in a line that decides no day was ignored";
  EXPECT_EQ(Run({"plan", dir.file("feed.toml"), "--from", "2027-05-10", "--days", "1"}), ctl::kExitOk);
  EXPECT_EQ(err.str(), left_out + "\n" + ignored + "\n");
  EXPECT_EQ(out.str(), "Mon 2027-05-10  no bells  holiday Inset (feed.ics)\n");
  EXPECT_EQ(Run({"upkeep", dir.file("feed.toml"), "--date", "2027-05-10", "--state", dir.file("state"), "--dry-run"}),
            ctl::kExitOk);
  const std::vector<std::string> lines = OutLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "feed: warning: " + left_out);
  EXPECT_EQ(lines[1], "feed: warning: " + ignored);
}

// A term-date feed at a web address, with only its holidays counting: fetched, its copy
// kept in --state and used while the server is down; the plans of one upkeep run read
// side by side.
TEST_F(ZmrctlPlanTest, WebCalendarsAreFetchedAndTheirCopiesKept) {
  const QByteArray feed =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n"
      "BEGIN:VEVENT\r\nUID:1@s\r\nSUMMARY:Half term\r\nDTSTART;VALUE=DATE:20270510\r\nDTEND;VALUE=DATE:20270515\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nUID:2@s\r\nSUMMARY:Pupils return\r\nDTSTART;VALUE=DATE:20270517\r\nEND:VEVENT\r\n"
      "END:VCALENDAR\r\n";
  LocalHttpServer::Answer served;
  served.body = feed;
  served.delay = std::chrono::milliseconds(500);
  LocalHttpServer server(LocalHttpServer::Always(served));
  const std::string http = server.address("/terms.ics").toStdString();
  const QString state = dir.file("state");
  const QStringList plan{"plan", dir.file("web.toml"), "--from", "2027-05-14", "--days", "4", "--state", state};
  Write("web.toml", "week = \"normal.zmr\"\nport = \"sim-timer\"\nholidays = [{ file = \"" + http +
                        "\", only = [\"half term\"] }]\n");
  EXPECT_EQ(Run(plan), ctl::kExitOk);
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(OutLines(), (std::vector<std::string>{"Fri 2027-05-14  no bells    holiday Half term (" + http + ")",
                                                  "Sat 2027-05-15  normal.zmr  the plan's week",
                                                  "Sun 2027-05-16  normal.zmr  the plan's week",
                                                  "Mon 2027-05-17  normal.zmr  the plan's week"}));

  // The server down three days later: the copy is used, and said with its age.
  const QString kept_at = sim.clock.now().toLocalTime().toString("yyyy-MM-dd HH:mm");
  sim.clock.setNow(sim.clock.now().addDays(3));
  sim.timer.setTimerClock(sim.clock.now());
  LocalHttpServer::Answer down;
  down.status = 503;
  down.reason = "Service Unavailable";
  server.answerWith(LocalHttpServer::Always(down));
  const std::string used = "web.toml line 3: calendar '" + http +
                           "' could not be fetched (the server answered 503 Service Unavailable); the copy kept from " +
                           kept_at.toStdString() + " (3 days old) is used";
  EXPECT_EQ(Run(plan), ctl::kExitOk);
  EXPECT_EQ(err.str(), used + "\n");
  EXPECT_EQ(OutLines().front(), "Fri 2027-05-14  no bells    holiday Half term (" + http + ")");
  // Elsewhere nothing is kept: refused, as a calendar file that is not there.
  EXPECT_EQ(Run({"plan", dir.file("web.toml"), "--state", dir.file("other-state")}), ctl::kExitProjectRefused);
  EXPECT_EQ(err.str(), "web.toml line 3: calendar '" + http +
                           "' could not be fetched (the server answered 503 Service Unavailable), and no copy of it is "
                           "kept\nweb.toml: the plan is refused\n");

  // upkeep reads its plans side by side: both asked before the first answer came.
  server.answerWith(LocalHttpServer::Always(served));
  // Each plan's timer of its own: the two runs talk to them side by side.
  sim::SimTimer east(sim.clock);
  east.setTimerClock(sim.clock.now());
  env.make_port = [this, &east] {
    auto port = std::make_unique<FakePort>(sim.clock);
    port->attach("sim-timer", SimDevice(sim.timer));
    port->attach("sim-east", SimDevice(east));
    return port;
  };
  Write("east.toml", "week = \"normal.zmr\"\nport = \"sim-east\"\nholidays = [\"" + http + "\"]\n");
  const std::size_t before = server.requests().size();
  EXPECT_EQ(Run({"upkeep", dir.file("web.toml"), dir.file("east.toml"), "--date", "2027-05-14", "--state", state,
                 "--dry-run"}),
            ctl::kExitOk)
      << out.str();
  const std::vector<LocalHttpServer::Request> asked = server.requests();
  ASSERT_EQ(asked.size(), before + 2);
  EXPECT_EQ(asked[before].answered_before, asked[before + 1].answered_before);
  EXPECT_EQ(OutLines(), (std::vector<std::string>{
                            "web: nothing to do: no bells (holiday Half term (" + http + ")), timer deactivated",
                            "east: nothing to do: no bells (holiday Half term (" + http + ")), timer deactivated"}));
}

// The help's example plan is a plan the reader takes.
TEST_F(ZmrctlPlanTest, TheHelpsExamplePlanReads) {
  EXPECT_EQ(Run({"--help"}), ctl::kExitOk);
  const QString help = QString::fromStdString(out.str());
  const qsizetype from = help.indexOf("  port = ");
  const qsizetype to = help.indexOf("  Paths are relative");
  ASSERT_TRUE(from > 0 && to > from);
  const PlanReading r = ParsePlan(help.mid(from, to - from).toStdString(), "/etc/zmr-console/plans/north.toml");
  ASSERT_TRUE(r.ok()) << FaultLines(r.faults).join('\n').toStdString();
  ASSERT_EQ(r.plan.holidays.size(), 3u);
  EXPECT_EQ(r.plan.holidays[2].only, QStringList{"half term"});
}

TEST_F(ZmrctlPlanTest, UpkeepActsRecordsAndReportsTheWorstExitStatus) {
  const QString state = dir.file("state");
  const QString plan = dir.file("north.toml");
  EXPECT_EQ(Run({"upkeep", plan, "--date", "2027-05-10", "--state", state}), ctl::kExitOk);
  EXPECT_EQ(OutLines(), (std::vector<std::string>{
                            "north: downloaded exams.zmr (Exam week): the timer is not known to hold it",
                            "north: activated the timer: exams.zmr (Exam week)"}));
  const auto held = WeekStateStore(state).held(TimerKeyOf("sim-timer"));
  ASSERT_TRUE(held);
  EXPECT_EQ(Run({"upkeep", plan, "--date", "2027-05-10", "--state", state}), ctl::kExitOk);
  EXPECT_EQ(OutLines(), std::vector<std::string>{"north: nothing to do: exams.zmr (Exam week), timer activated"});
  EXPECT_EQ(Run({"upkeep", plan, "--date", "2027-05-15", "--state", state, "--dry-run"}), ctl::kExitOk);
  EXPECT_EQ(OutLines(), std::vector<std::string>{"north: would deactivate the timer: no bells (Whitsun)"});
  EXPECT_TRUE(sim.timer.activated());

  // A refused plan is the worst status; the good plan beside it still does its work.
  Write("south.toml", "week = \"normal.zmr\"\nbels = false\n");
  const std::string refused_at = sim.clock.now().toLocalTime().toString("yyyy-MM-dd HH:mm:ss").toStdString();
  EXPECT_EQ(Run({"upkeep", plan, dir.file("south.toml"), "--date", "2027-05-15", "--state", state}),
            ctl::kExitProjectRefused);
  EXPECT_EQ(OutLines(), (std::vector<std::string>{"north: deactivated the timer: no bells (Whitsun)",
                                                  "south: south.toml line 2: unknown key 'bels'",
                                                  "south: the plan is refused; its timer is left as it is"}));
  EXPECT_FALSE(sim.timer.activated());

  // Each run but a dry one is kept as its plan's last, for --last to print; a refused plan
  // ends before the others begin.
  const QString when = sim.clock.now().toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
  EXPECT_EQ(Run({"upkeep", "--last", plan, dir.file("south.toml"), "--state", state}), ctl::kExitOk);
  EXPECT_EQ(OutLines(), (std::vector<std::string>{
                            "north: last run " + when.toStdString() + ": done (exit 0)",
                            "north: deactivated the timer: no bells (Whitsun)",
                            "south: last run " + refused_at + ": refused (exit 3)",
                            "south: south.toml line 2: unknown key 'bels'",
                            "south: the plan is refused; its timer is left as it is"}));
  EXPECT_EQ(Run({"upkeep", "--last", dir.file("never.toml"), "--state", state}), ctl::kExitOtherFailure);
  EXPECT_EQ(OutLines(), std::vector<std::string>{"never: no upkeep run is recorded in " + state.toStdString()});

  // Two plans on one timer are both refused, and nothing is sent.
  Write("east.toml", kPlan);
  const int requests = sim.timer.requests('L');
  EXPECT_EQ(Run({"upkeep", plan, dir.file("east.toml"), "--state", state}), ctl::kExitProjectRefused);
  EXPECT_EQ(OutLines(), (std::vector<std::string>{
                            "north: refused: its port sim-timer is the port of east too; one timer, one plan",
                            "east: refused: its port sim-timer is the port of north too; one timer, one plan"}));
  EXPECT_EQ(sim.timer.requests('L'), requests);

  // A port that is not there, then a timer that does not answer.
  Write("west.toml", "week = \"normal.zmr\"\nport = \"no-such-port\"\n");
  EXPECT_EQ(Run({"upkeep", dir.file("west.toml"), "--state", state}), ctl::kExitPortError);
  EXPECT_EQ(OutLines().at(0).rfind("west: port error: Unable to open com port", 0), 0u) << out.str();
}

// More plans than the pool holds: 32 at a time, and the lines in the order the plans
// were given, whatever order they finish in.
TEST_F(ZmrctlPlanTest, UpkeepServesThirtyTwoPlansAtOnceAndPrintsThemInOrder) {
  constexpr int kPlans = 40;
  constexpr int kPool = 32;
  std::mutex mutex;
  std::condition_variable all_in;
  int open_now = 0, most = 0;
  bool released = false;
  // The first opens wait until a full pool is opening at once (or a while has passed); each then fails.
  class GatePort : public FakePort {
   public:
    GatePort(FakeClock& clock, std::function<void()> gate) : FakePort(clock), gate_(std::move(gate)) {}
    void open(const QString& name) override {
      gate_();
      FakePort::open(name);
    }

   private:
    std::function<void()> gate_;
  };
  env.make_port = [&] {
    return std::make_unique<GatePort>(sim.clock, [&] {
      std::unique_lock<std::mutex> lock(mutex);
      most = std::max(most, ++open_now);
      if (open_now >= kPool) released = true;
      all_in.notify_all();
      all_in.wait_for(lock, std::chrono::seconds(5), [&] { return released; });
      --open_now;
    });
  };
  QStringList args{"upkeep", "--state", dir.file("state"), "--date", "2027-05-10"};
  std::vector<std::string> expected;
  for (int i = 1; i <= kPlans; ++i) {
    const std::string name = QString("p%1").arg(i, 2, 10, QChar('0')).toStdString();
    Write((name + ".toml").c_str(), "week = \"normal.zmr\"\nport = \"" + name + "\"\n");
    args << dir.file(QString::fromStdString(name + ".toml"));
    expected.push_back(name + ": port error: Unable to open com port");
  }
  EXPECT_EQ(Run(args), ctl::kExitPortError);
  EXPECT_EQ(most, kPool);
  std::vector<std::string> starts;
  for (const std::string& line : OutLines()) starts.push_back(line.substr(0, expected[0].size()));
  EXPECT_EQ(starts, expected);
}

TEST_F(ZmrctlPlanTest, DownloadRecordsTheWeekForUpkeep) {
  const QString state = dir.file("state");
  EXPECT_EQ(Run({"--port", "sim-timer", "download", dir.file("normal.zmr"), "--state", state}), ctl::kExitOk);
  qunsetenv("ZMR_COM1");  // --port with a device name maps COM1 to it
  // Upkeep on the same day finds the week in the timer and only activates it.
  EXPECT_EQ(Run({"upkeep", dir.file("north.toml"), "--date", "2027-05-09", "--state", state}), ctl::kExitOk);
  EXPECT_EQ(OutLines(), std::vector<std::string>{"north: activated the timer: normal.zmr (the plan's week)"});
}

// One network timer however its plans spell it (any case, a trailing slash, over TLS or
// through a COM port mapped to it): one timer, one plan, so all of them are refused and
// nothing is opened.
TEST_F(ZmrctlPlanTest, PlansThatNameOneNetworkTimerInTwoWaysAreRefused) {
  Write("ports.txt", "COM3 rfc2217://127.0.0.1:47101\n");
  Write("hall.toml", "week = \"normal.zmr\"\nport = \"RFC2217://127.0.0.1:47101/\"\n");
  Write("gym.toml", "week = \"normal.zmr\"\nport = \"com3\"\n");
  Write("annex.toml", "week = \"normal.zmr\"\nport = \"tcp+tls://127.0.0.1:47101\"\n");
  Write("office.toml", "week = \"normal.zmr\"\nport = \"tcp://127.0.0.1:47102\"\n");
  int opened = 0;
  env.make_port = [&] {
    ++opened;
    return std::make_unique<FakePort>(sim.clock);  // nothing there: the office plan's port fails
  };
  EXPECT_EQ(Run({"--settings", dir.folder(), "upkeep", dir.file("hall.toml"), dir.file("gym.toml"),
                 dir.file("annex.toml"), dir.file("office.toml"), "--state", dir.file("state"), "--dry-run"}),
            ctl::kExitPortError);
  const std::vector<std::string> lines = OutLines();
  ASSERT_EQ(lines.size(), 4u) << out.str();
  EXPECT_EQ(lines[0], "hall: refused: its port RFC2217://127.0.0.1:47101/ is the port of gym, annex too; one timer, "
                      "one plan");
  EXPECT_EQ(lines[1], "gym: refused: its port com3 is the port of hall, annex too; one timer, one plan");
  EXPECT_EQ(lines[2], "annex: refused: its port tcp+tls://127.0.0.1:47101 is the port of hall, gym too; one timer, "
                      "one plan");
  EXPECT_EQ(lines[3].rfind("office: port error: ", 0), 0u) << lines[3];
  EXPECT_EQ(opened, 1);  // the office plan's alone
}

}  // namespace
}  // namespace zmr
