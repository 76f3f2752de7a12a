// The console's real serial port against zmrsim on a pseudo-terminal.
#include <gtest/gtest.h>

#include <optional>

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <memory>

#include "hardware/schedule_format.h"
#include "link/port_error.h"
#include "link/port_lease.h"
#include "link/timer_commands.h"
#include "support/child_process.h"
#include "support/qt_core_environment.h"

namespace zmr {
namespace {

using testing::ZmrsimProcess;

const std::string kZmrsim = ZMR_BIN_DIR "/zmrsim";

// A link to a freshly started simulator, reached as COM1 through ZMR_COM1.
struct RealLink {
  explicit RealLink(const std::vector<std::string>& args = {}) : sim(kZmrsim, args) {
    qputenv("ZMR_COM1", QByteArray::fromStdString(sim.device()));
    lease.emplace(link, "COM1");
  }
  ~RealLink() { qunsetenv("ZMR_COM1"); }

  ZmrsimProcess sim;
  SystemClock clock;
  std::unique_ptr<SerialPort> port = MakeQtSerialPort();
  TimerLink link{*port, clock};
  std::optional<PortLease> lease;
};

StatusTexts Status(TimerLink& link) {
  EXPECT_TRUE(link.QueryStatus());
  return MakeStatusTexts(link.link_data, link.unit_status);
}

TEST(SerialPortE2E, EveryCommandReachesTheSimulatedTimer) {
  RealLink real({"--clock", "2009-03-09 07:05:03", "--firmware", "2.10", "--product", "BELL"});
  TimerLink& link = real.link;

  ASSERT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  EXPECT_EQ(link.link_data[0], 'O');
  EXPECT_EQ(link.link_data[1], 'K');

  StatusTexts texts = Status(link);
  EXPECT_TRUE(texts.hardwaredt.startsWith("09/03/2009   07:05:0")) << texts.hardwaredt.toStdString();
  EXPECT_EQ(texts.timerstate, "Deactivated");
  EXPECT_EQ(texts.firmwareversion, "v 2.10");
  EXPECT_EQ(texts.serialnum, "00123456");
  EXPECT_EQ(texts.productcode, "BELL");

  ASSERT_TRUE(SendClock(link, {24, 12, 30, 18, 45, 10, 2, 0, 0, 0}));
  EXPECT_TRUE(Status(link).hardwaredt.startsWith("24/12/2030   18:45:1"));

  ProjectSetup project{};
  for (auto& slot : project.day(2)) slot.hour = slot.minute = kEmptyTime;
  project.slot(2, 1) = {8, 15, {}, static_cast<std::uint8_t>(EventKind::Pulse), 4};
  const DayChunk chunk = ChunksOfDay(project, 2).front();
  std::copy(chunk.begin(), chunk.end(), link.link_data.begin());
  ASSERT_TRUE(link.Transact(TimerCommand::ScheduleWrite, 0, kDayChunkSize));
  EXPECT_FALSE(real.sim.waitForLine("schedule write at 0x0200 (Tue slots 1..16)").empty());

  link.LinkPreamble();
  ASSERT_TRUE(link.Transact(TimerCommand::ActivateCmd, 0, 0));
  EXPECT_EQ(Status(link).timerstate, "Activated");
  ASSERT_TRUE(link.Transact(TimerCommand::DeactivateCmd, 0, 0));
  EXPECT_EQ(Status(link).timerstate, "Deactivated");

  link.LinkPreamble();
  ASSERT_TRUE(link.Transact(TimerCommand::OutputTest, 0, 10));
  EXPECT_FALSE(real.sim.waitForLine("relay closed for 3 s (output test)").empty());
  EXPECT_FALSE(real.sim.waitForLine("request T #1: output test").empty());
}

TEST(SerialPortE2E, PacedRepliesAreReadWhole) {
  RealLink real({"--pace"});
  EXPECT_EQ(Status(real.link).productcode, "ZMR1");
}

TEST(SerialPortE2E, SilentWrongEchoAndBadChecksumTimersFail) {
  for (const char* fault : {"--silent", "--wrong-echo", "--bad-checksum"}) {
    RealLink real({fault});
    EXPECT_FALSE(real.link.Transact(TimerCommand::LinkCheck, 0, 0)) << fault;
    EXPECT_FALSE(real.sim.waitForLine("request L #1").empty()) << fault;
  }
}

TEST(SerialPortE2E, ShortStatusAndALostRequest) {
  RealLink real({"--short-status", "10", "--fail", "G:2"});
  EXPECT_EQ(Status(real.link).firmwareversion, "v 0.0");
  EXPECT_FALSE(real.link.QueryStatus());
  EXPECT_TRUE(real.link.QueryStatus());
}

TEST(SerialPortE2E, PortFailuresArePortErrorsWithTheSystemNumber) {
  const auto port = MakeQtSerialPort();
  try {
    port->open("/nonexistent/ttyZMR");
    FAIL() << "no port error";
  } catch (const PortError& error) {
    EXPECT_EQ(error.step(), PortStep::Open);
    EXPECT_EQ(error.cause(), PortCause::NoDevice);
    EXPECT_EQ(error.osError(), ENOENT);
  }
  EXPECT_FALSE(port->isOpen());
  try {
    port->write(std::vector<std::uint8_t>{1});
    FAIL() << "no port error";
  } catch (const PortError& error) {
    EXPECT_STREQ(error.what(), ("WriteFile function failed (win error code: " + std::to_string(EBADF) + ")").c_str());
  }
  EXPECT_THROW(port->purge(true, true), PortError);
  EXPECT_THROW(port->read(1), PortError);
}

TEST(SerialPortE2E, APortInUseCannotBeOpenedAgain) {
  RealLink real;
  const auto second = MakeQtSerialPort();
  try {
    second->open("COM1");
    FAIL() << "opened twice";
  } catch (const PortError& error) {
    EXPECT_EQ(error.step(), PortStep::Open);
    // Told apart from a permission problem: the advice is to close the other program.
    EXPECT_TRUE(error.busy()) << "the unattended job waits for it";
    EXPECT_EQ(error.osError(), EBUSY);
    EXPECT_EQ(error.device(), real.sim.device());
    EXPECT_EQ(PortErrorHint(error, "alice", "dialout"),
              QString::fromStdString("Another program is using " + real.sim.device() + ". Close it, then try again."));
  }
  EXPECT_TRUE(real.link.Transact(TimerCommand::LinkCheck, 0, 0));  // the first is unharmed
}

TEST(SerialPortE2E, ReadDoesNotWaitAndPurgeDropsReceivedBytes) {
  RealLink real;
  SerialPort& port = *real.port;
  EXPECT_TRUE(port.read(16).empty());
  const std::vector<std::uint8_t> request{0xE2, 'L', 0, 0, 0x2E};
  port.write(request);
  ASSERT_TRUE(port.waitReadable(2000));
  EXPECT_FALSE(real.sim.waitForLine("request L #1").empty());
  port.purge(true, true);
  EXPECT_TRUE(port.read(16).empty());
}

}  // namespace
}  // namespace zmr
