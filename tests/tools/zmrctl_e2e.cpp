// zmrctl as a user runs it, against zmrsim on a pseudo-terminal over the real port.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "hardware/schedule_format.h"
#include "link/packet.h"
#include "project/settings.h"
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

class ZmrctlE2E : public ZmrctlProcessTest {
 protected:
  std::string Project() {
    auto project = std::make_unique<ProjectSetup>();
    ResetProject(*project);
    for (int s = 1; s <= 20; ++s) AddPulse(*project, 2, s, 8, s, 3);  // two chunks on Tuesday
    AddPulse(*project, 7, 1, 10, 0, 59);
    WriteProject(dir.file("week.zmr"), *project);
    project_ = std::move(project);
    return dir.file("week.zmr").toStdString();
  }
  // The week table a timer shows after it received exactly the compiled chunks.
  std::string ExpectedTimerWeek() const { return CompiledTimerWeek(*project_); }

  std::unique_ptr<ProjectSetup> project_;
};

TEST_F(ZmrctlE2E, DownloadLeavesTheCompiledWeekInTheTimer) {
  const std::string path = Project();
  const std::string dump = dir.file("dump.txt").toStdString();
  {
    ZmrsimProcess sim(kZmrsim, {"--dump", dump});
    EXPECT_EQ(Zmrctl({"--port", sim.device(), "download", path, "--activate"}), 0);
    EXPECT_TRUE(OutputHas("Download Successful!"));
    EXPECT_TRUE(OutputHas("Activation successful!"));
    EXPECT_EQ(sim.stop(), 0);
    int writes = 0;
    for (const auto& line : sim.lines()) writes += line.find("request W") != std::string::npos;
    EXPECT_EQ(writes, 8);  // one chunk a day, two on Tuesday
  }
  std::ifstream in(dump);
  std::stringstream dumped;
  dumped << in.rdbuf();
  std::string expected = ExpectedTimerWeek();
  expected.replace(expected.find("(deactivated)"), 13, "(activated)");
  EXPECT_EQ(dumped.str(), expected);
}

TEST_F(ZmrctlE2E, EveryTimerCommandOverTheLine) {
  ZmrsimProcess sim(kZmrsim, {"--clock", "2009-03-09 07:05:03", "--product", "BELL"});
  EXPECT_EQ(Zmrctl({"--port", sim.device(), "status"}), 0);
  EXPECT_TRUE(OutputHas("Timer Status:\t\tDeactivated"));
  EXPECT_TRUE(OutputHas("Product Code:\t\tBELL"));
  EXPECT_TRUE(OutputHas("Unit date/time:\t\t09/03/2009   07:05:0"));

  EXPECT_EQ(Zmrctl({"--port", sim.device(), "sync-clock"}), 0);
  EXPECT_TRUE(OutputHas("Timer date/time update was successful!"));
  EXPECT_EQ(Zmrctl({"--port", sim.device(), "activate"}), 0);
  EXPECT_FALSE(sim.waitForLine("activated").empty());
  EXPECT_EQ(Zmrctl({"--port", sim.device(), "deactivate"}), 0);
  EXPECT_FALSE(sim.waitForLine("deactivated").empty());
  EXPECT_EQ(Zmrctl({"--port", sim.device(), "test-output"}), 0);
  EXPECT_FALSE(sim.waitForLine("relay closed for 3 s").empty());

  EXPECT_EQ(Zmrctl({"show", Project()}), 0);
  EXPECT_TRUE(OutputHas("Tue        Wed"));
  EXPECT_TRUE(OutputHas("08:01, 3"));
  EXPECT_EQ(Zmrctl({"compile", Project()}), 0);
  EXPECT_EQ(output.size(), 8u);
}

TEST_F(ZmrctlE2E, DetectFindsTheTimerAndSavesWhenAsked) {
  ZmrsimProcess sim(kZmrsim);
  setenv("ZMR_COM1", sim.device().c_str(), 1);
  EXPECT_EQ(Zmrctl({"detect", "--save"}), 0);
  unsetenv("ZMR_COM1");
  EXPECT_TRUE(OutputHas("Timer has been found on Com 1"));
  ProgramSettings settings;
  LoadSettings(settings, dir.folder());
  EXPECT_EQ(settings.com_port, 1);
}

TEST_F(ZmrctlE2E, ATimerRestartedOnItsLinkAnswersTheNextRunAtOnce) {
  const std::string link = dir.file("COM1").toStdString();
  for (int run = 0; run < 2; ++run) {
    ZmrsimProcess sim(kZmrsim, {"--link", link});
    EXPECT_EQ(Zmrctl({"--port", link, "status"}), 0) << "run " << run;
    EXPECT_TRUE(OutputHas("Timer Status:\t\tDeactivated")) << "run " << run;
    EXPECT_EQ(sim.stop(), 0);
    int checks = 0, queries = 0;
    for (const auto& line : sim.lines()) {
      checks += line.find("request L") != std::string::npos;
      queries += line.find("request G") != std::string::npos;
    }
    EXPECT_EQ(checks, 1) << "run " << run;  // the preamble
    EXPECT_EQ(queries, 1) << "run " << run;
  }
}

TEST_F(ZmrctlE2E, ExitStatusTellsWhatWentWrong) {
  for (const char* fault : {"--silent", "--wrong-echo", "--bad-checksum"}) {
    ZmrsimProcess sim(kZmrsim, {fault});
    EXPECT_EQ(Zmrctl({"--port", sim.device(), "status"}), 5) << fault;
  }
  EXPECT_EQ(Zmrctl({"--port", dir.file("no-such-device").toStdString(), "status"}), 4);
  EXPECT_EQ(Zmrctl({"download", dir.file("none.zmr").toStdString()}), 3);
  EXPECT_EQ(Zmrctl({"frobnicate"}), 2);
}

}  // namespace
}  // namespace zmr
