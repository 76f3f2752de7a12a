// The timer goes away in the middle of a download and comes back: the download ends with
// the port error and a usable window, and the next one works without touching the options.
#include <gtest/gtest.h>

#include <memory>

#include "hardware/download.h"
#include "hardware/download_view.h"
#include "link/port_error.h"
#include "link/port_lease.h"
#include "link/timer_link.h"
#include "support/child_process.h"
#include "support/project_fixtures.h"
#include "support/qt_core_environment.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const std::string kZmrsim = ZMR_BIN_DIR "/zmrsim";

class ButtonsView : public DownloadView {
 public:
  std::function<void(int day)> on_day;
  std::vector<QString> lines;
  bool download = true, update = true, close = true;
  void addLine(const QString& line) override { lines.push_back(line); }
  void clearLines() override { lines.clear(); }
  void setProgress(int position, int) override {
    if (on_day) on_day(position);
  }
  void setDownloadEnabled(bool e) override { download = e; }
  void setUpdateEnabled(bool e) override { update = e; }
  void setCloseEnabled(bool e) override { close = e; }
  bool allEnabled() const { return download && update && close; }
};

TEST(DeviceGone, ADownloadCutByAStoppedTimerEndsCleanlyAndTheNextOneWorks) {
  TempDir dir;
  const std::string com1 = dir.file("COM1").toStdString();
  auto sim = std::make_unique<ZmrsimProcess>(kZmrsim, std::vector<std::string>{"--link", com1});
  qputenv("ZMR_COM1", QByteArray::fromStdString(com1));

  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  for (int day = 1; day <= kDays; ++day) {
    AddPulse(*project, day, 1, 8, day, 2);
  }
  SystemClock clock;
  auto port = MakeQtSerialPort();
  TimerLink link(*port, clock);
  RecordingPrompts prompts;
  ButtonsView view;
  DownloadContext context{link, prompts, view};
  ProjectState state;
  state.project_changed = true;

  view.on_day = [&](int day) {
    if (day == 3) sim->stop();  // the adapter is pulled after two days went down
  };
  try {
    DownloadSchedule(context, *project, state, "COM1");
    FAIL() << "the download went on without its timer";
  } catch (const PortError& error) {
    EXPECT_STRNE(error.what(), "");
  }
  EXPECT_EQ(view.lines.back(), kDownloadFailedLine);
  EXPECT_TRUE(view.allEnabled());
  EXPECT_EQ(prompts.busy_depth, 0);
  EXPECT_TRUE(state.project_changed);
  EXPECT_FALSE(port->isOpen());

  // Plugged in again: the same link path, a new pseudo-terminal behind it.
  sim = std::make_unique<ZmrsimProcess>(kZmrsim, std::vector<std::string>{"--link", com1});
  view.on_day = nullptr;
  view.lines.clear();
  prompts.answers.push_back(BoxAnswer::No);  // do not activate
  EXPECT_EQ(DownloadSchedule(context, *project, state, "COM1"), DownloadResult::Completed);
  EXPECT_FALSE(state.project_changed);
  EXPECT_FALSE(port->isOpen());  // given back once the download is over
  EXPECT_TRUE(view.allEnabled());
  const PortLease lease(link, "COM1");
  EXPECT_TRUE(link.QueryStatus());
  qunsetenv("ZMR_COM1");
}

}  // namespace
}  // namespace zmr
