// The compile-and-download window over a real serial port: zmrsim on a pseudo-terminal,
// paced like the line, as COM1. What the timer holds afterwards must be what zmrctl
// compiles for the same project; a timer that goes away and comes back costs one failed
// download, not a trip to the options.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/clock.h"
#include "hardware/download.h"
#include "hardware/ui/compile.h"
#include "link/packet.h"
#include "link/serial_port.h"
#include "link/timer_link.h"
#include "sim_timer.h"
#include "support/child_process.h"
#include "support/fake_clock.h"
#include "ui/zmr_application.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

const std::string kZmrsim = ZMR_BIN_DIR "/zmrsim";
const std::string kZmrctl = ZMR_BIN_DIR "/zmrctl";

// A school week: lessons on weekdays, a long Monday, a short Saturday, a quiet Sunday.
void SchoolWeek(ProjectSetup& project) {
  ResetProject(project);
  const int lessons[][2] = {{8, 0}, {8, 50}, {9, 40}, {10, 0}, {10, 50}, {11, 40}, {12, 30}, {13, 15}, {14, 5}, {14, 55}};
  for (int day = 1; day <= 5; ++day) {
    int slot = 0;
    for (const auto& [hour, minute] : lessons) AddPulse(project, day, ++slot, hour, minute, 5, "Lesson");
  }
  for (int k = 0; k < 10; ++k) AddPulse(project, 1, 11 + k, 15 + k / 4, (k % 4) * 15, 3, "Club");
  AddPulse(project, 6, 1, 9, 0, 10, "Market");
  AddPulse(project, 6, 2, 13, 0, 10, "Market ends");
}

// The console started with the school week as its open, unsaved project.
void StartWithSchoolWeek(World& w) {
  w.started();
  SchoolWeek(w.data->project);
  w.data->state.project_open = true;
  w.data->state.project_changed = true;
  w.main().RefreshMainMenu();
}

// The week table of a timer that received exactly the chunks `zmrctl compile` prints.
std::string WeekOfCompiledChunks(const std::vector<std::string>& lines) {
  FakeClock clock;
  sim::SimTimer timer(clock);
  for (const std::string& line : lines) {
    std::istringstream in(line);
    std::string word;
    in >> word >> word >> word >> word;  // "day N chunk M"
    unsigned address = 0;
    in >> std::hex >> address;
    std::vector<std::uint8_t> payload{static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(address >> 8)};
    unsigned byte = 0;
    while (in >> byte) payload.push_back(static_cast<std::uint8_t>(byte));
    EXPECT_EQ(payload.size(), 66u) << line;
    timer.receive(BuildFrame('W', 0, payload));
  }
  return timer.weekTable();
}

TEST(DownloadWindowE2E, TheTimerHoldsWhatZmrctlCompiles) {
  TempDir dir;
  const std::string dump = dir.file("dump.txt").toStdString();
  SystemClock clock;
  const std::unique_ptr<SerialPort> port = MakeQtSerialPort();
  TimerLink link(*port, clock);
  std::vector<std::string> sim_lines;
  {
    ZmrsimProcess sim(kZmrsim, {"--pace", "--dump", dump});
    setenv("ZMR_COM1", sim.device().c_str(), 1);
    World w{{}, &link};
    StartWithSchoolWeek(w);
    w.prompts.answers.push_back(BoxAnswer::No);  // leave it deactivated
    w.runner.scripts.push_back([&](ConsoleDialog& dialog) {
      Control<QPushButton>(dialog, "downloadbut")->click();
    });
    Control(w.main(), "Download1")->trigger();
    unsetenv("ZMR_COM1");

    const QString memo = Control<QPlainTextEdit>(w.windows().compileform(), "resultinfo")->toPlainText();
    EXPECT_TRUE(memo.contains("Download Successful!")) << memo.toStdString();
    EXPECT_TRUE(memo.contains("PC date/time:     ")) << memo.toStdString();
    EXPECT_FALSE(w.data->state.project_changed);
    EXPECT_EQ(w.prompts.texts(), std::vector<QString>{"The Timer is not activated, would you like to do so?"});
    WriteProject(dir.file("week.zmr"), w.data->project);
    port->close();
    EXPECT_EQ(sim.stop(), 0);
    sim_lines = sim.lines();
  }
  int writes = 0;
  for (const auto& line : sim_lines) writes += line.find("request W") != std::string::npos;
  EXPECT_EQ(writes, 2 + 1 + 1 + 1 + 1 + 1 + 1);  // Monday takes two chunks

  ChildProcess ctl(kZmrctl, {"compile", dir.file("week.zmr").toStdString()});
  ASSERT_EQ(ctl.wait(15000), 0);
  std::ifstream in(dump);
  std::stringstream dumped;
  dumped << in.rdbuf();
  const std::string week = dumped.str();
  EXPECT_EQ(week, WeekOfCompiledChunks(ctl.lines()));
  EXPECT_EQ(std::count(week.begin(), week.end(), '\n'), 2 + 20);  // heading, day names, Monday's rows
}

TEST(DownloadWindowE2E, ATimerStoppedPartWayCostsOneDownloadAndTheNextWorksWithoutTheOptions) {
  TempDir dir;
  const std::string com1 = dir.file("COM1").toStdString();
  auto sim = std::make_unique<ZmrsimProcess>(kZmrsim, std::vector<std::string>{"--link", com1});
  setenv("ZMR_COM1", com1.c_str(), 1);
  SystemClock clock;
  const std::unique_ptr<SerialPort> port = MakeQtSerialPort();
  TimerLink link(*port, clock);
  World w{{}, &link};
  StartWithSchoolWeek(w);

  Tcompileform& form = w.windows().compileform();
  const auto memo = [&] { return Control<QPlainTextEdit>(form, "resultinfo")->toPlainText().split('\n'); };
  const auto buttonsEnabled = [&] {
    return Control<QPushButton>(form, "downloadbut")->isEnabled() &&
           Control<QPushButton>(form, "updatebut")->isEnabled() && Control<QPushButton>(form, "closebut")->isEnabled();
  };
  // The Download command, then the window's Download button, as the program runs it.
  const auto download = [&] {
    w.runner.scripts.push_back([&](ConsoleDialog&) { RunGuarded(w.prompts, [&] { form.downloadbutClick(); }); });
    Control(w.main(), "Download1")->trigger();
  };
  bool pulled = false;
  QObject::connect(Control<QProgressBar>(form, "Totalprogress"), &QProgressBar::valueChanged, [&](int days) {
    if (days == 3 && !pulled) {
      pulled = true;
      sim->stop();  // the adapter is pulled after two days went down
    }
  });
  download();
  ASSERT_TRUE(pulled);
  EXPECT_EQ(memo().back(), kDownloadFailedLine);
  ASSERT_EQ(w.prompts.boxes.size(), 1u) << w.prompts.log.back();
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Error);
  // The lost device is seen before the next request: the box says it is not there.
  EXPECT_TRUE(w.prompts.boxes[0].text.startsWith("Unable to open com port")) << w.prompts.log.back();
  EXPECT_TRUE(buttonsEnabled());
  EXPECT_FALSE(form.busy());
  EXPECT_TRUE(w.prompts.cursorBackBeforeEveryBox());
  EXPECT_TRUE(w.data->state.project_changed);

  // Plugged in again: the same link path, a new pseudo-terminal behind it.
  sim = std::make_unique<ZmrsimProcess>(kZmrsim, std::vector<std::string>{"--link", com1});
  w.prompts.boxes.clear();
  w.prompts.answers.push_back(BoxAnswer::No);  // leave it deactivated
  download();
  unsetenv("ZMR_COM1");
  EXPECT_TRUE(memo().contains("Download Successful!")) << memo().join('\n').toStdString();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{"The Timer is not activated, would you like to do so?"});
  EXPECT_EQ(Control<QProgressBar>(form, "Totalprogress")->value(), kDays);
  EXPECT_TRUE(buttonsEnabled());
  EXPECT_TRUE(w.prompts.cursorBackBeforeEveryBox());
  EXPECT_FALSE(w.data->state.project_changed);
  EXPECT_EQ(w.runner.shown, (std::vector<QString>{"compileform", "compileform"})) << "no options dialog";
  port->close();
}

// Requests of one kind a zmrsim run answered, from its log.
int Requests(const std::vector<std::string>& sim_lines, char command) {
  const std::string request = std::string("request ") + command;
  return static_cast<int>(std::count_if(sim_lines.begin(), sim_lines.end(), [&](const std::string& line) {
    return line.find(request) != std::string::npos;
  }));
}

TEST(DownloadWindowE2E, ATimerRestartedBetweenDownloadsIsReachedOnTheFirstTryAndAskedOnce) {
  TempDir dir;
  const std::string com1 = dir.file("COM1").toStdString();
  const std::vector<std::string> args{"--link", com1, "--activated"};
  auto sim = std::make_unique<ZmrsimProcess>(kZmrsim, args);
  setenv("ZMR_COM1", com1.c_str(), 1);
  SystemClock clock;
  const std::unique_ptr<SerialPort> port = MakePort();  // the program's own port object
  TimerLink link(*port, clock);
  World w{{}, &link};
  StartWithSchoolWeek(w);
  Tcompileform& form = w.windows().compileform();
  const auto download = [&] {
    w.runner.scripts.push_back([&](ConsoleDialog& dialog) { Control<QPushButton>(dialog, "downloadbut")->click(); });
    Control(w.main(), "Download1")->trigger();
    return Control<QPlainTextEdit>(form, "resultinfo")->toPlainText();
  };
  ASSERT_TRUE(download().contains("Download Successful!"));

  // Stopped and started again on its link while the port stays open: a re-plugged adapter.
  EXPECT_EQ(sim->stop(), 0);
  sim = std::make_unique<ZmrsimProcess>(kZmrsim, args);
  w.data->state.project_changed = true;
  const QString memo = download();
  unsetenv("ZMR_COM1");
  EXPECT_TRUE(memo.contains("Download Successful!")) << memo.toStdString();
  EXPECT_TRUE(w.prompts.boxes.empty()) << w.prompts.log.back();
  EXPECT_FALSE(w.data->state.project_changed);
  port->close();
  EXPECT_EQ(sim->stop(), 0);
  // Three link checks (the preamble, the checked one, the preamble before the status),
  // Monday's two chunks and one for each other day, one status query: nothing sent twice.
  EXPECT_EQ(Requests(sim->lines(), 'L'), 3);
  EXPECT_EQ(Requests(sim->lines(), 'W'), 2 + 6);
  EXPECT_EQ(Requests(sim->lines(), 'G'), 1);
}

}  // namespace
}  // namespace zmr::testing
