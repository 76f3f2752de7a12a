#include <gtest/gtest.h>

#include "hardware/status_report.h"
#include "hardware/wall_clock.h"
#include "support/recording_prompts.h"
#include "support/sim_port.h"

namespace zmr {
namespace {

using namespace zmr::testing;
using Log = std::vector<std::string>;

TEST(StatusReport, SixLinesWithTheirTabsAndCrLfAlsoWhenTheFieldsAreEmpty) {
  StatusTexts shown;
  shown.hardwaredt = "09/03/2009   07:05:03 day 1";
  shown.timerstate = "Activated";
  shown.firmwareversion = "v 1.10";
  shown.serialnum = "00123456";
  shown.productcode = "ZMR1";
  EXPECT_EQ(StatusReport(shown, "09/03/2009 07:05:04"),
            "Product Code:\t\tZMR1\r\n"
            "Serial Number:\t\t00123456\r\n"
            "Firmware version:\tv 1.10\r\n"
            "Program version:\tV2.0\r\n"
            "Unit date/time:\t\t09/03/2009   07:05:03 day 1\r\n"
            "PC date/time:\t\t09/03/2009 07:05:04\r\n");
  EXPECT_EQ(StatusReport({}, "x"),
            "Product Code:\t\t\r\nSerial Number:\t\t\r\nFirmware version:\t\r\nProgram version:\tV2.0\r\n"
            "Unit date/time:\t\t\r\nPC date/time:\t\tx\r\n");
  // The PC's date and time as the system writes them: nothing is padded here.
  const QDateTime t(QDate(2004, 3, 5), QTime(9, 5, 7));
  EXPECT_EQ(PcDateTimeText(t, {"d/M/yyyy", "H:mm:ss"}), "5/3/2004 9:05:07");
  EXPECT_EQ(PcDateTimeText(t, {"dd/MM/yyyy", "HH:mm:ss"}), "05/03/2004 09:05:07");
}

struct StatusReadingTest : ::testing::Test {
  StatusReadingTest() { sim.hold(); }
  std::vector<char> Commands() const {
    std::vector<char> out;
    for (const auto& w : sim.port.writes) out.push_back(static_cast<char>(w[1]));
    return out;
  }
  SimulatedLink sim{[] {
    sim::SimConfig c;
    c.start_time = QDateTime(QDate(2009, 3, 9), QTime(7, 5, 3));
    c.firmware_minor = 10;
    return c;
  }()};
  RecordingPrompts prompts;
};

TEST_F(StatusReadingTest, AReadingPaintsFirstThenAsksAfterThePreamble) {
  const std::optional<StatusTexts> texts = ReadTimerStatus(sim.link, prompts);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->hardwaredt, "09/03/2009   07:05:03 day 1");
  EXPECT_EQ(texts->firmwareversion, "v 1.10");
  EXPECT_EQ(Commands(), (std::vector<char>{'L', 'G'}));
  EXPECT_EQ(prompts.process_events_calls, 1);
  EXPECT_EQ(prompts.log, (Log{"busy", "idle"}));

  sim.port.attach("COM1", SilentDevice());
  EXPECT_FALSE(ReadTimerStatus(sim.link, prompts));
  EXPECT_EQ(prompts.log, (Log{"busy", "idle", "busy", "idle", "beep", "error: " + kTimerNotFoundText.toStdString()}));
}

TEST_F(StatusReadingTest, SettingTheClockSendsThePcClockAndFailsWithoutABeep) {
  sim.clock.setNow(QDateTime(QDate(2026, 12, 9), QTime(15, 0, 0)));
  EXPECT_TRUE(SetTimerClock(sim.link, prompts));
  EXPECT_EQ(Commands(), (std::vector<char>{'L', 'U'}));
  EXPECT_EQ(sim.timer.timerNow().toSecsSinceEpoch(), WallClock(QDate(2026, 12, 9), QTime(15, 0, 1)).toSecsSinceEpoch());
  EXPECT_EQ(prompts.log, (Log{"busy", "idle"}));

  sim.port.attach("COM1", SilentDevice());
  prompts.log.clear();
  EXPECT_FALSE(SetTimerClock(sim.link, prompts));
  EXPECT_EQ(prompts.log, (Log{"busy", "idle", "error: " + kTimerNotFoundText.toStdString()}));

  // A year the timer cannot hold: refused, nothing sent.
  sim.port.writes.clear();
  sim.clock.setNow(QDateTime(QDate(2300, 1, 1), QTime(0, 0)));
  EXPECT_FALSE(SetTimerClock(sim.link, prompts));
  EXPECT_TRUE(sim.port.writes.empty());
  EXPECT_EQ(prompts.texts().back(), ClockYearRefusalText(2300));
}

}  // namespace
}  // namespace zmr
