#include "support/zmrctl_process.h"

#include "hardware/schedule_format.h"
#include "link/packet.h"
#include "sim_timer.h"
#include "support/child_process.h"
#include "support/fake_clock.h"

namespace zmr::testing {

const std::string kZmrsimProgram = ZMR_BIN_DIR "/zmrsim";
const std::string kZmrctlProgram = ZMR_BIN_DIR "/zmrctl";

int ZmrctlProcessTest::Zmrctl(std::vector<std::string> args, int timeout_ms) {
  args.insert(args.begin(), {"--settings", dir.folder().toStdString()});
  ChildProcess ctl(kZmrctlProgram, args);
  const int status = ctl.wait(timeout_ms);
  output = ctl.lines();
  return status;
}

bool ZmrctlProcessTest::OutputHas(const std::string& text) const {
  for (const auto& line : output)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

std::string CompiledTimerWeek(const ProjectSetup& week, bool activated) {
  FakeClock clock;
  sim::SimTimer timer(clock);
  for (int day = 1; day <= kDays; ++day)
    for (const DayChunk& chunk : ChunksOfDay(week, day)) timer.receive(BuildFrame('W', 0, chunk));
  if (activated) timer.receive(BuildFrame('E', 0, {}));
  return timer.weekTable();
}

}  // namespace zmr::testing
