#include <gtest/gtest.h>

#include <QFileInfo>

#include "link/detect_port.h"
#include "link/port_error.h"
#include "link/timer_link.h"
#include "project/settings.h"
#include "support/recording_prompts.h"
#include "support/sim_port.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using testing::FakeClock;
using testing::FakePort;
using Log = std::vector<std::string>;

class RecordingDetectView : public DetectView {
 public:
  std::vector<std::string> calls;
  void setDetectControlsEnabled(bool enabled) override { calls.push_back(enabled ? "enable" : "disable"); }
  void selectPort(int n) override { calls.push_back("select " + std::to_string(n)); }
};

class DetectPortTest : public ::testing::Test {
 protected:
  DetectPortTest() {
    settings.com_port = 4;
    port.attach("COM1", testing::SimDevice(timer));
  }
  int detect() { return DetectPort(link, settings, dir.folder(), prompts, view); }
  bool settingsWritten() const { return QFileInfo::exists(dir.file(kSettingsFileName)); }
  std::uint16_t savedComPort() const {
    ProgramSettings saved;
    LoadSettings(saved, dir.folder());
    return saved.com_port;
  }
  long opens(const std::string& name) const { return std::count(port.events.begin(), port.events.end(), "open " + name); }

  FakeClock clock;
  sim::SimTimer timer{clock};
  FakePort port{clock};
  TimerLink link{port, clock};
  ProgramSettings settings;
  testing::TempDir dir;
  testing::RecordingPrompts prompts;
  RecordingDetectView view;
};

TEST_F(DetectPortTest, TimerOnCom1IsFoundWithoutTryingCom2) {
  port.attach("COM2", testing::SilentDevice());
  EXPECT_EQ(detect(), 1);
  EXPECT_EQ(prompts.log, (Log{"busy", "idle", "beep", "info: Timer has been found on Com 1"}));
  EXPECT_EQ(view.calls, (Log{"disable", "select 1", "enable"}));
  EXPECT_EQ(opens("COM2"), 0);
  EXPECT_EQ(timer.requests('L'), 2);
  EXPECT_EQ(settings.com_port, 1);
  EXPECT_EQ(savedComPort(), 1);
  EXPECT_FALSE(port.isOpen());  // given back once detection is over
}

TEST_F(DetectPortTest, SilentCom1IsPassedOverForTheTimerOnCom2) {
  port.attach("COM1", testing::SilentDevice());
  port.attach("COM2", testing::SimDevice(timer));
  EXPECT_EQ(detect(), 2);
  EXPECT_EQ(prompts.texts(), (std::vector<QString>{"Timer has been found on Com 2"}));
  EXPECT_EQ(view.calls, (Log{"disable", "select 2", "enable"}));
  // COM1: two unanswered checks (about 400 ms each) and the 300 ms pause between them.
  EXPECT_EQ(port.writes.size(), 4u);
  EXPECT_GE(clock.tickMs(), 2 * (kPauseAfterWriteMs + kFirstByteTimeoutMs) + kPreamblePauseMs);
  EXPECT_EQ(savedComPort(), 2);
}

TEST_F(DetectPortTest, NoTimerOnCom1OrCom2LeavesTheSettingsAlone) {
  port.attach("COM1", testing::SilentDevice());
  port.attach("COM2", testing::SilentDevice());
  port.attach("COM3", testing::SimDevice(timer));  // never tried
  EXPECT_EQ(detect(), 0);
  EXPECT_EQ(prompts.log, (Log{"busy", "idle", "beep", "error: " + kTimerNotFoundText.toStdString()}));
  EXPECT_EQ(view.calls, (Log{"disable", "enable"}));
  EXPECT_EQ(opens("COM3"), 0);
  EXPECT_EQ(settings.com_port, 4);
  EXPECT_FALSE(settingsWritten());
  EXPECT_FALSE(port.isOpen());  // each port tried is given back
}

TEST_F(DetectPortTest, DeviceThatAnswersWithoutOkIsNotTheTimer) {
  port.attach("COM1", [](std::span<const std::uint8_t> request) {
    return std::vector<testing::Arrival>{{0, BuildFrame(request[1], 0, std::vector<std::uint8_t>{'N', 'O'})}};
  });
  port.attach("COM2", testing::SilentDevice());
  EXPECT_EQ(detect(), 0);
  EXPECT_EQ(prompts.texts(), (std::vector<QString>{kTimerNotFoundText}));
}

TEST_F(DetectPortTest, OnlyTheSecondCheckCounts) {
  sim::SimConfig config;
  config.faults.fail = {{'L', 2}};
  sim::SimTimer flaky(clock, config);
  port.attach("COM1", testing::SimDevice(flaky));
  port.attach("COM2", testing::SilentDevice());
  EXPECT_EQ(detect(), 0);
  EXPECT_EQ(flaky.requests('L'), 2);
}

TEST_F(DetectPortTest, MissingCom1EndsWithThePortErrorAndCleansUp) {
  FakePort empty(clock);
  empty.attach("COM2", testing::SimDevice(timer));
  TimerLink bare(empty, clock);
  try {
    DetectPort(bare, settings, dir.folder(), prompts, view);
    FAIL() << "no port error";
  } catch (const PortError& error) {
    EXPECT_EQ(error.step(), PortStep::Open);
  }
  EXPECT_EQ(empty.events, (Log{"open COM1"}));
  EXPECT_EQ(prompts.log, (Log{"busy", "idle"}));  // no box: the top-level handler shows the error
  EXPECT_EQ(prompts.busy_depth, 0);
  EXPECT_EQ(view.calls, (Log{"disable", "enable"}));
  EXPECT_FALSE(settingsWritten());
}

}  // namespace
}  // namespace zmr
