// zmrctl's download on the nights the clocks change, against zmrsim on a pseudo-terminal:
// in-process with the PC's clock at the moment of each case, and as a program run with
// TZ set while the timer's clock stands in the hour the spring change skips.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <sstream>

#include "support/child_process.h"
#include "support/clock_change_cases.h"
#include "support/project_fixtures.h"
#include "support/temp_dir.h"
#include "zmrctl/zmrctl.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const std::string kZmrsim = ZMR_BIN_DIR "/zmrsim";
const std::string kZmrctl = ZMR_BIN_DIR "/zmrctl";

// The PC's clock set to a given moment, running on in real time from there.
class PcClockAt : public SystemClock {
 public:
  explicit PcClockAt(const QDateTime& at) : at_(at), start_(SystemClock::tickMs()) {}
  QDateTime now() const override { return at_.addMSecs(tickMs() - start_); }

 private:
  QDateTime at_;
  std::int64_t start_;
};

class ZmrctlClockChange : public ::testing::Test {
 protected:
  ZmrctlClockChange() {
    auto project = std::make_unique<ProjectSetup>();
    ResetProject(*project);
    WriteProject(QString::fromStdString(project_), *project);
  }
  TempDir dir;
  const std::string project_ = dir.file("week.zmr").toStdString();
};

TEST_F(ZmrctlClockChange, DownloadShowsBothClocksAsTheyRead) {
  for (const ClockChangeCase& c : kClockChangeCases) {
    const std::string text = InZone(c.zone, [&] {
      ZmrsimProcess sim(kZmrsim, {"--activated", "--clock", c.timer_clock});
      std::ostringstream out, err;
      PcClockAt pc(QDateTime::fromSecsSinceEpoch(c.pc_utc));
      ctl::Environment env{out, err, pc};
      env.formats = {"dd/MM/yyyy", "HH:mm:ss"};
      const int status = ctl::Run({"--settings", dir.folder(), "--port", QString::fromStdString(sim.device()), "download",
                                   QString::fromStdString(project_)},
                                  env);
      return out.str() + err.str() + "exit " + std::to_string(status) + '\n';
    });
    std::cout << "[" << c.zone << ", " << c.name << "]\n" << text.substr(text.find("Download Successful!"));
    ExpectClockLines(c, text);
    EXPECT_NE(text.find("exit 0\n"), std::string::npos) << text;
  }
}

TEST_F(ZmrctlClockChange, ATimerInsideTheSkippedHourIsReadUnderEitherZone) {
  const struct {
    const char* zone;
    const char* timer_clock;
  } cases[] = {
      {"Europe/Berlin", "2026-03-29 02:30:00"},
      {"America/New_York", "2026-03-08 02:30:00"},
  };
  const char* const old_tz = std::getenv("TZ");
  const std::string saved = old_tz != nullptr ? old_tz : "";
  for (const auto& c : cases) {
    // Both programs start under the case's zone; this process keeps its own.
    ::setenv("TZ", c.zone, 1);
    ZmrsimProcess sim(kZmrsim, {"--activated", "--clock", c.timer_clock});
    ChildProcess ctl(kZmrctl, {"--settings", dir.folder().toStdString(), "--port", sim.device(), "download", project_});
    old_tz != nullptr ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
    const int status = ctl.wait(15000);
    std::string text;
    for (const std::string& line : ctl.lines()) text += line + '\n';
    std::cout << "[zmrctl under TZ=" << c.zone << ", timer " << c.timer_clock << "]\n"
              << text.substr(text.find("Download Successful!"));
    EXPECT_EQ(status, 0) << text;
    // The date as the system's short format has it; the time is the timer's own.
    const auto timer_line = text.find("Timer date/time: ");
    ASSERT_NE(timer_line, std::string::npos) << text;
    EXPECT_NE(text.substr(timer_line, text.find('\n', timer_line) - timer_line).find(" 02:30:0"), std::string::npos)
        << text;
    EXPECT_NE(text.find("PC date/time:     "), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace zmr
