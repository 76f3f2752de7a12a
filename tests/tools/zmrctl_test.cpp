#include <gtest/gtest.h>

#include <QFileInfo>

#include <sstream>

#include "link/port_names.h"
#include "project/settings.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"
#include "support/sim_port.h"
#include "support/temp_dir.h"
#include "zmrctl/zmrctl.h"

namespace zmr {
namespace {

using namespace zmr::testing;

// zmrctl in-process: its ports are FakePorts with the simulated timer on COM1.
class ZmrctlTest : public ::testing::Test {
 protected:
  ZmrctlTest() {
    sim.clock.setNow(QDateTime(QDate(2009, 3, 9), QTime(7, 5, 3)));
    sim.timer.setTimerClock(sim.clock.now());
    env.program_folder = dir.folder();
    env.formats = {"dd/MM/yyyy", "HH:mm:ss"};
    env.make_port = [this] {
      auto port = std::make_unique<FakePort>(sim.clock);
      port->attach("COM1", device ? device : SimDevice(sim.timer));
      ports.push_back(port.get());
      return port;
    };
  }
  int Run(const QStringList& args) {
    out.str({});
    err.str({});
    return ctl::Run(args, env);
  }
  QString ProjectWithOneEvent() {
    auto project = std::make_unique<ProjectSetup>();
    ResetProject(*project);
    AddPulse(*project, 1, 1, 7, 30, 5, "Assembly");
    project->summary.title.setText("Main Hall");
    WriteProject(dir.file("hall.zmr"), *project);
    return dir.file("hall.zmr");
  }

  TempDir dir;
  SimulatedLink sim;
  Device device;  // replaces the simulated timer when set
  std::vector<FakePort*> ports;
  std::ostringstream out, err;
  ctl::Environment env{out, err, sim.clock};
};

TEST_F(ZmrctlTest, UsageErrorsAndHelp) {
  EXPECT_EQ(Run({"--help"}), ctl::kExitOk);
  EXPECT_NE(out.str().find("Usage: zmrctl"), std::string::npos);
  EXPECT_NE(out.str().find("download FILE.zmr [--activate]"), std::string::npos);
  EXPECT_EQ(Run({}), ctl::kExitUsage);
  EXPECT_EQ(Run({"dance"}), ctl::kExitUsage);
  EXPECT_NE(err.str().find("unknown command dance"), std::string::npos);
  EXPECT_EQ(Run({"status", "--colour"}), ctl::kExitUsage);
  EXPECT_EQ(Run({"status", "--port"}), ctl::kExitUsage);
  EXPECT_EQ(Run({"show"}), ctl::kExitUsage);
  EXPECT_EQ(Run({"--port", "COMX", "status"}), ctl::kExitUsage);
}

// Every option that takes a value: without it, or with the next option in its place, the
// command line is refused before anything is made or read.
TEST_F(ZmrctlTest, AnOptionWithoutItsValueIsAUsageError) {
  for (const char* option : {"--port", "--settings", "--pdf", "--state", "--date", "--from", "--days", "--map",
                             "--unmap"}) {
    for (const QStringList& args : {QStringList{"upkeep", "plan.toml", option},
                                    QStringList{"upkeep", "plan.toml", option, "--date", "2027-05-10"},
                                    QStringList{"upkeep", "plan.toml", option, "--dry-run"}}) {
      EXPECT_EQ(Run(args), ctl::kExitUsage) << args.join(' ').toStdString();
      EXPECT_EQ(err.str().rfind("zmrctl: " + std::string(option) + " needs a value\n\nUsage: zmrctl", 0), 0u)
          << err.str();
      EXPECT_EQ(out.str(), "");
    }
  }
  EXPECT_FALSE(QFileInfo::exists("--date")) << "no folder named after the next option";
}

TEST_F(ZmrctlTest, ShowAndCompileReadTheProjectWithTheConsolesChecks) {
  const QString path = ProjectWithOneEvent();
  EXPECT_EQ(Run({"show", path}), ctl::kExitOk);
  EXPECT_NE(out.str().find("Title: Main Hall\n"), std::string::npos);
  EXPECT_NE(out.str().find("Slot Mon        Tue"), std::string::npos);
  EXPECT_NE(out.str().find("1    07:30, 5"), std::string::npos);

  EXPECT_EQ(Run({"compile", path}), ctl::kExitOk);
  std::istringstream lines(out.str());
  std::string first;
  std::getline(lines, first);
  EXPECT_EQ(first.substr(0, 34), "day 1 chunk 1  0000  1E 07 05 04 F");
  int count = 1;
  for (std::string line; std::getline(lines, line);) ++count;
  EXPECT_EQ(count, 7);

  EXPECT_EQ(Run({"show", dir.file("missing.zmr")}), ctl::kExitProjectRefused);
  EXPECT_EQ(err.str(), "error: Project file not found!\n");
  WriteBytes(dir.file("bad.zmr"), {1, 2, 3});
  EXPECT_EQ(Run({"compile", dir.file("bad.zmr")}), ctl::kExitProjectRefused);
  EXPECT_EQ(err.str(), "error: This is Not a valid project (.psf) file!\n");
}

TEST_F(ZmrctlTest, StatusPrintsTheReportInTheDialogsTexts) {
  EXPECT_EQ(Run({"--port", "COM1", "status"}), ctl::kExitOk);
  EXPECT_EQ(out.str(),
            "Timer Status:\t\tDeactivated\n"
            "Product Code:\t\tZMR1\n"
            "Serial Number:\t\t00123456\n"
            "Firmware version:\tv 1.5\n"
            "Unit date/time:\t\t09/03/2009   07:05:03 day 1\n"
            "Program version:\tV2.0\n"
            "PC date/time:\t\t09/03/2009 07:05:03\n");
}

TEST_F(ZmrctlTest, FailuresHaveTheirOwnExitStatus) {
  device = SilentDevice();
  EXPECT_EQ(Run({"--port", "COM1", "status"}), ctl::kExitTimerFailure);
  EXPECT_EQ(err.str(), "error: Timer was not found, or there was a problem establishing a connection!\n");
  EXPECT_EQ(Run({"--port", "COM1", "activate"}), ctl::kExitTimerFailure);
  EXPECT_EQ(Run({"--port", "COM1", "deactivate"}), ctl::kExitTimerFailure);
  EXPECT_EQ(Run({"--port", "COM1", "test-output"}), ctl::kExitTimerFailure);
  EXPECT_EQ(Run({"--port", "COM1", "download", ProjectWithOneEvent()}), ctl::kExitTimerFailure);
  EXPECT_NE(out.str().find("Timer was not found"), std::string::npos);

  EXPECT_EQ(Run({"--port", "COM4", "status"}), ctl::kExitPortError);
  EXPECT_EQ(err.str(),
            "error: Unable to open com port (win error code: 2)\n"
            "COM4 leads to no device on this PC. Plug in the USB serial adapter, or choose another port.\n");
}

TEST_F(ZmrctlTest, PortsListsWhereEachComPortLeads) {
  ScopedPortEnumerator machine(std::make_shared<ListedPorts>(std::vector<SerialDevice>{
      {"/dev/ttyS0", "", "", false, true},
      {"/dev/ttyS1", "", "", false, false},
      {"/dev/ttyUSB0", "FT232R USB UART", "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0", true, true},
      {"/dev/ttyS4", "", "", false, true},
      {"/dev/ttyUSB1", "", "", true, true},
      {"/dev/ttyS5", "", "", false, true},
      {"/dev/ttyS6", "", "", false, true},
      {"/dev/ttyS7", "", "", false, true}}));
  ProgramSettings settings;
  DefaultSettings(settings);
  settings.com_port = 2;
  SaveSettings(settings, dir.folder());
  qputenv("ZMR_COM6", "/tmp/zmr/COM1");
  EXPECT_EQ(Run({"ports"}), ctl::kExitOk);
  qunsetenv("ZMR_COM6");
  EXPECT_EQ(out.str(),
            "  COM1  /dev/ttyUSB0  FT232R USB UART\n"
            "        /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0\n"
            "* COM2  /dev/ttyUSB1\n"
            "  COM3  /dev/ttyS0\n"
            "  COM4  /dev/ttyS4\n"
            "  COM5  /dev/ttyS5\n"
            "  COM6  /tmp/zmr/COM1  (set by ZMR_COM6)\n"
            "  COM7  /dev/ttyS7\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(ZmrctlTest, WithoutPortTheStoredOneIsUsed) {
  ProgramSettings settings;
  DefaultSettings(settings);
  settings.com_port = 2;
  SaveSettings(settings, dir.folder());
  EXPECT_EQ(Run({"activate"}), ctl::kExitPortError);  // COM2 has nothing behind it here
  settings.com_port = 1;
  SaveSettings(settings, dir.folder());
  EXPECT_EQ(Run({"activate"}), ctl::kExitOk);
  EXPECT_TRUE(sim.timer.activated());
}

TEST_F(ZmrctlTest, DownloadSendsTheWeekAndAnswersTheActivationOffer) {
  const QString path = ProjectWithOneEvent();
  EXPECT_EQ(Run({"--port", "COM1", "download", path}), ctl::kExitOk);
  EXPECT_NE(out.str().find("Establishing a Connection . . .\nConnected . . .\nDownloading Day 1\n"),
            std::string::npos);
  EXPECT_NE(out.str().find("Download Successful!\n"), std::string::npos);
  EXPECT_NE(err.str().find("question: The Timer is not activated, would you like to do so? -> no"),
            std::string::npos);
  EXPECT_FALSE(sim.timer.activated());
  EXPECT_EQ(sim.timer.memory()[0], 0x1E);  // 07:30, minute first

  EXPECT_EQ(Run({"--port", "COM1", "download", path, "--activate"}), ctl::kExitOk);
  EXPECT_NE(out.str().find("Activation successful!"), std::string::npos);
  EXPECT_TRUE(sim.timer.activated());
}

TEST_F(ZmrctlTest, ClockActivationAndOutputCommands) {
  sim.timer.setTimerClock(QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
  EXPECT_EQ(Run({"--port", "COM1", "sync-clock"}), ctl::kExitOk);
  EXPECT_EQ(out.str(), "Timer date/time update was successful!\n");
  EXPECT_EQ(sim.timer.timerNow().date(), QDate(2009, 3, 9));
  EXPECT_EQ(Run({"--port", "COM1", "activate"}), ctl::kExitOk);
  EXPECT_TRUE(sim.timer.activated());
  EXPECT_EQ(Run({"--port", "COM1", "deactivate"}), ctl::kExitOk);
  EXPECT_FALSE(sim.timer.activated());
  EXPECT_EQ(Run({"--port", "COM1", "test-output"}), ctl::kExitOk);
  EXPECT_TRUE(sim.timer.relayClosed());

  sim.clock.setNow(QDateTime(QDate(2300, 1, 1), QTime(0, 0)));
  EXPECT_EQ(Run({"--port", "COM1", "sync-clock"}), ctl::kExitOtherFailure);
}

TEST_F(ZmrctlTest, DetectStoresThePortOnlyWhenAsked) {
  EXPECT_EQ(Run({"detect"}), ctl::kExitOk);
  EXPECT_EQ(out.str(), "Timer has been found on Com 1\n");
  ProgramSettings stored;
  LoadSettings(stored, dir.folder());
  stored.com_port = 5;
  SaveSettings(stored, dir.folder());
  EXPECT_EQ(Run({"detect"}), ctl::kExitOk);
  LoadSettings(stored, dir.folder());
  EXPECT_EQ(stored.com_port, 5);
  EXPECT_EQ(Run({"detect", "--save"}), ctl::kExitOk);
  LoadSettings(stored, dir.folder());
  EXPECT_EQ(stored.com_port, 1);
}

}  // namespace
}  // namespace zmr
