// zmrctl upkeep as systemd runs it, against zmrsim on pseudo-terminals: a school's weeks
// around its exams and holidays, a clock change, and several timers in one run.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <csignal>
#include <fstream>
#include <sstream>

#include "hardware/schedule_format.h"
#include "link/packet.h"
#include "sim_timer.h"
#include "support/child_process.h"
#include "support/fake_clock.h"
#include "support/project_fixtures.h"
#include "support/temp_dir.h"
#include "support/zmrctl_process.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const std::string kZmrsim = ZMR_BIN_DIR "/zmrsim";

class UpkeepE2E : public ZmrctlProcessTest {
 protected:
  UpkeepE2E() {
    normal_ = std::make_unique<ProjectSetup>();
    ResetProject(*normal_);
    for (int day = 1; day <= 5; ++day) AddPulse(*normal_, day, 1, 8, 0, 5);
    WriteProject(dir.file("normal.zmr"), *normal_);
    exams_ = std::make_unique<ProjectSetup>(*normal_);
    for (int s = 2; s <= 18; ++s) AddPulse(*exams_, 1, s, 9, s, 3);  // two chunks on Monday
    WriteProject(dir.file("exams.zmr"), *exams_);
    std::ofstream(dir.file("terms.ics").toStdString())
        << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//school//terms//EN\r\nBEGIN:VEVENT\r\nUID:w@school\r\n"
           "SUMMARY:Whitsun\r\nDTSTART;VALUE=DATE:20270515\r\nDTEND;VALUE=DATE:20270518\r\nEND:VEVENT\r\n"
           "END:VCALENDAR\r\n";
  }
  std::string Plan(const std::string& name, const std::string& port) {
    const std::string path = dir.file(QString::fromStdString(name + ".toml")).toStdString();
    std::ofstream(path) << "port = \"" << port << "\"\nweek = \"normal.zmr\"\nholidays = [\"terms.ics\"]\n\n"
                        << "[[period]]\nname = \"Exam week\"\nfrom = 2027-05-10\nto = 2027-05-14\n"
                        << "week = \"exams.zmr\"\n";
    return path;
  }
  int Upkeep(std::vector<std::string> args) {
    args.insert(args.begin(), {"upkeep", "--state", dir.file("state").toStdString()});
    return Zmrctl(std::move(args), 20000);
  }
  // What a timer holds after it received exactly the chunks of this week, activated or not.
  static std::string TimerWeek(const ProjectSetup& week, bool activated) { return CompiledTimerWeek(week, activated); }
  static std::string Dumped(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static int Count(const std::vector<std::string>& lines, const std::string& text) {
    int n = 0;
    for (const auto& line : lines) n += line.find(text) != std::string::npos;
    return n;
  }

  std::unique_ptr<ProjectSetup> normal_, exams_;
};

TEST_F(UpkeepE2E, AroundTheExamsAndTheHolidays) {
  const std::string dump = dir.file("north.dump").toStdString();
  ZmrsimProcess sim(kZmrsim, {"--dump", dump});
  const std::string plan = Plan("north", sim.device());
  using V = std::vector<std::string>;
  const struct {
    const char* date;
    V lines;
  } days[] = {
      {"2027-05-09",  // the day before the exams
       {"north: downloaded normal.zmr (the plan's week): the timer is not known to hold it",
        "north: activated the timer: normal.zmr (the plan's week)"}},
      {"2027-05-10", {"north: downloaded exams.zmr (Exam week): the timer holds another week"}},
      {"2027-05-10", {"north: nothing to do: exams.zmr (Exam week), timer activated"}},
      {"2027-05-15", {"north: deactivated the timer: no bells (holiday Whitsun (terms.ics))"}},
      {"2027-05-18",  // the day after
       {"north: downloaded normal.zmr (the plan's week): the timer holds another week",
        "north: activated the timer: normal.zmr (the plan's week)"}},
  };
  for (const auto& d : days) {
    EXPECT_EQ(Upkeep({plan, "--date", d.date}), 0) << d.date;
    EXPECT_EQ(output, d.lines) << d.date;
  }
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_EQ(Count(sim.lines(), "request W"), 7 + 8 + 7);  // normal, exams (two chunks on Monday), normal
  EXPECT_EQ(Count(sim.lines(), "request U"), 0);
  EXPECT_EQ(Dumped(dump), TimerWeek(*normal_, true));
}

// The timer's clock follows the PC's only while the kernel says the PC's clock is
// synchronised (this machine's own answer, through adjtimex), or with --trust-clock.
TEST_F(UpkeepE2E, AClockAnHourOffIsSetOnceFromAPcClockThatIsTrusted) {
  const QString behind = QDateTime::currentDateTime().addSecs(-3600).toString("yyyy-MM-dd HH:mm:ss");
  ZmrsimProcess sim(kZmrsim, {"--clock", behind.toStdString(), "--activated"});
  const std::string plan = Plan("north", sim.device());
  const bool synchronised = SystemClock().synchronisation().state == ClockSync::Synchronised;
  EXPECT_EQ(Upkeep({plan, "--dry-run"}), 0);
  ASSERT_FALSE(output.empty());
  EXPECT_EQ(output[0].rfind(synchronised ? "north: would set the clock from the PC: it was 1 h 0 min"
                                         : "north: warning: would leave the clock as it is (it was 1 h 0 min",
                            0),
            0u)
      << output[0];
  EXPECT_EQ(Upkeep({plan}), 0);
  ASSERT_FALSE(output.empty());
  EXPECT_EQ(output[0].rfind(synchronised ? "north: clock set from the PC: it was 1 h 0 min"
                                         : "north: warning: left the clock as it is (it was 1 h 0 min",
                            0),
            0u)
      << output[0];
  EXPECT_EQ(Upkeep({plan, "--trust-clock"}), 0);
  EXPECT_EQ(Count(output, "clock set from the PC"), synchronised ? 0 : 1);
  EXPECT_EQ(Upkeep({plan}), 0);
  EXPECT_EQ(Count(output, "clock"), 0);
  EXPECT_EQ(Count(output, "nothing to do"), 1);
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_EQ(Count(sim.lines(), "request U"), 1);
}

TEST_F(UpkeepE2E, SeveralTimersInOneRunAndAFailedOneStopsNoOther) {
  const std::string north_dump = dir.file("north.dump").toStdString();
  const std::string south_dump = dir.file("south.dump").toStdString();
  ZmrsimProcess north(kZmrsim, {"--dump", north_dump});
  ZmrsimProcess south(kZmrsim, {"--dump", south_dump, "--activated"});
  ZmrsimProcess silent(kZmrsim, {"--silent"});
  const std::string missing = dir.file("no-such-port").toStdString();
  EXPECT_EQ(Upkeep({Plan("north", north.device()), Plan("south", south.device()), Plan("west", silent.device()),
                    Plan("east", missing), "--date", "2027-05-11"}),
            5);  // the worst: a timer that did not answer
  // Each plan's lines together, in the order the plans were given.
  ASSERT_EQ(output.size(), 5u);
  EXPECT_EQ(output[0], "north: downloaded exams.zmr (Exam week): the timer is not known to hold it");
  EXPECT_EQ(output[1], "north: activated the timer: exams.zmr (Exam week)");
  EXPECT_EQ(output[2], "south: downloaded exams.zmr (Exam week): the timer is not known to hold it");
  EXPECT_EQ(output[3].rfind("west: error: Timer was not found", 0), 0u) << output[3];
  EXPECT_EQ(output[4].rfind("east: port error: Unable to open com port", 0), 0u) << output[4];
  EXPECT_EQ(north.stop(), 0);
  EXPECT_EQ(south.stop(), 0);
  EXPECT_EQ(Dumped(north_dump), TimerWeek(*exams_, true));
  EXPECT_EQ(Dumped(south_dump), TimerWeek(*exams_, true));
}

// A zmrctl download killed part-way leaves no record the next upkeep could believe: it
// sends the week again, although an earlier run had recorded that very week.
TEST_F(UpkeepE2E, ADownloadKilledPartWayIsSentAgainByTheNextRun) {
  const std::string dump = dir.file("north.dump").toStdString();
  ZmrsimProcess sim(kZmrsim, {"--dump", dump, "--delay", "150"});
  const std::string plan = Plan("north", sim.device());
  EXPECT_EQ(Upkeep({plan, "--date", "2027-05-09"}), 0);
  EXPECT_EQ(Upkeep({plan, "--date", "2027-05-09"}), 0);
  EXPECT_EQ(output, std::vector<std::string>{"north: nothing to do: normal.zmr (the plan's week), timer activated"});

  ChildProcess download(kZmrctlProgram, {"--settings", dir.folder().toStdString(), "--port", sim.device(), "download",
                                         dir.file("normal.zmr").toStdString(), "--state",
                                         dir.file("state").toStdString()});
  ASSERT_NE(sim.waitForLine("request W #10", 10000), "") << "the download got under way";
  download.signal(SIGKILL);
  EXPECT_EQ(download.wait(), -1);

  EXPECT_EQ(Upkeep({plan, "--date", "2027-05-09"}), 0);
  EXPECT_EQ(output, std::vector<std::string>{
                        "north: downloaded normal.zmr (the plan's week): the timer is not known to hold it"});
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_EQ(Dumped(dump), TimerWeek(*normal_, true));
}

}  // namespace
}  // namespace zmr
