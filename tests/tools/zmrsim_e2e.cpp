// The zmrsim program itself: its pseudo-terminal, link, signals, dumps and schedule.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <QCoreApplication>

#include "hardware/schedule_format.h"
#include "link/timer_link.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using testing::ChildProcess;
using testing::ZmrsimProcess;
namespace fs = std::filesystem;

const std::string kZmrsim = ZMR_BIN_DIR "/zmrsim";

class QtCoreEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[8] = "e2e";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QCoreApplication> app_;
};
[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtCoreEnvironment);  // gtest owns it

ProjectSetup MondayAt0730() {
  ProjectSetup project{};
  for (auto& slot : project.day(1)) slot.hour = slot.minute = kEmptyTime;
  project.slot(1, 1) = {7, 30, {}, static_cast<std::uint8_t>(EventKind::Pulse), 1};
  return project;
}

TEST(ZmrsimE2E, LinkPointsAtThePtyAndGoesAwayOnSigterm) {
  testing::TempDir dir;
  const fs::path link = dir.folder().toStdString() + "zmr/COM1";
  {
    ZmrsimProcess sim(kZmrsim, {"--link", link.string()});
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), sim.device());
    SystemClock clock;
    const auto port = MakeQtSerialPort();
    port->open(QString::fromStdString(link.string()));
    TimerLink timer(*port, clock);
    EXPECT_TRUE(timer.Transact(TimerCommand::LinkCheck, 0, 0));
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(sim.waitForLine("stopping", 0).empty());
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(ZmrsimE2E, ActivatedTimerFiresTheStoredEventAndDumpsItsWeek) {
  testing::TempDir dir;
  const std::string dump = dir.file("week.txt").toStdString();
  ZmrsimProcess sim(kZmrsim, {"--dump", dump});
  SystemClock clock;
  const auto port = MakeQtSerialPort();
  port->open(QString::fromStdString(sim.device()));
  TimerLink link(*port, clock);

  const DayChunk chunk = ChunksOfDay(MondayAt0730(), 1).front();
  std::copy(chunk.begin(), chunk.end(), link.link_data.begin());
  ASSERT_TRUE(link.Transact(TimerCommand::ScheduleWrite, 0, kDayChunkSize));
  // Monday 10 June 2024, 07:29:59: the event is a second away.
  const std::array<std::uint8_t, 10> clock_payload{10, 6, 24, 7, 29, 59, 1, 0, 0, 0};
  std::copy(clock_payload.begin(), clock_payload.end(), link.link_data.begin());
  ASSERT_TRUE(link.Transact(TimerCommand::ClockSet, 0, 10));
  ASSERT_TRUE(link.Transact(TimerCommand::ActivateCmd, 0, 0));
  EXPECT_FALSE(sim.waitForLine("relay closed for 1 s (Mon 07:30 1s event)", 3000).empty());
  EXPECT_FALSE(sim.waitForLine("relay opened (pulse over)", 3000).empty());

  sim.signal(SIGUSR1);
  EXPECT_FALSE(sim.waitForLine("timer schedule (activated)").empty());
  const std::string row = sim.waitForLine("   1 07:30 1s");
  EXPECT_FALSE(row.empty());
  EXPECT_EQ(sim.stop(), 0);
  std::ifstream file(dump);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find(row), std::string::npos);
}

TEST(ZmrsimE2E, HelpAndBadArguments) {
  ChildProcess help(kZmrsim, {"--help"});
  EXPECT_FALSE(help.waitForLine("--fail CMD:N").empty());
  EXPECT_EQ(help.wait(), 0);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--fail", "X:1"}, {"--delay"}, {"--serial", "1,2,3"}, {"--product", "TOOLONGCODE"}, {"--bogus"}}) {
    ChildProcess bad(kZmrsim, args);
    EXPECT_TRUE(bad.waitForLine("/dev/", 1000).empty()) << args[0];  // no device made
    EXPECT_EQ(bad.wait(), 2) << args[0];
  }
}

}  // namespace
}  // namespace zmr
