#pragma once
// zmrctl as a user runs it: a child process with its settings in the test's own folder,
// and the week a timer holds after a download, to compare zmrsim's dump with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/project_model.h"
#include "support/temp_dir.h"

namespace zmr::testing {

class ZmrctlProcessTest : public ::testing::Test {
 protected:
  // Runs zmrctl --settings <dir> ARGS to its end; its stdout lines land in output.
  int Zmrctl(std::vector<std::string> args, int timeout_ms = 30000);
  bool OutputHas(const std::string& text) const;

  TempDir dir;
  std::vector<std::string> output;
};

// zmrsim's week table after it received exactly the chunks a download compiles of
// `week` (and, when asked, the activation).
std::string CompiledTimerWeek(const ProjectSetup& week, bool activated = false);

// The programs as built, beside each other.
extern const std::string kZmrsimProgram;
extern const std::string kZmrctlProgram;

}  // namespace zmr::testing
