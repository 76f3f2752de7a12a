#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <functional>

#include "hardware/ui/compile.h"
#include "hardware/ui/status.h"
#include "link/detect_port.h"
#include "link/port_names.h"
#include "project/settings.h"
#include "support/sim_port.h"
#include "windows/programoptions.h"
#include "windows/start_up.h"
#include "ui/zmr_application.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

class NoDetectView : public DetectView {
 public:
  void setDetectControlsEnabled(bool) override {}
  void selectPort(int) override {}
};

// The console with the simulated timer in-process on COM1.
struct TimerCommandsTest : ::testing::Test {
  TimerCommandsTest() { w.main().FormShow(); }

  SimulatedLink sim;
  World w{{}, &sim.link};
};

TEST_F(TimerCommandsTest, ToolBarAcknowledgesWithABeepAndTheMenuStaysSilent) {
  for (const char* name : {"Activate1", "Deactivate1", "ActivateBut", "DeactivateBut"}) {
    EXPECT_TRUE(Control(w.main(), name)->isEnabled()) << name;  // with or without a project
  }
  Control(w.main(), "DeactivateBut")->trigger();
  EXPECT_EQ(sim.timer.requests('D'), 1);
  EXPECT_EQ(sim.timer.requests('L'), 0);  // deactivation goes out at once
  EXPECT_EQ(w.prompts.beeps, 1);
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_FALSE(sim.port.isOpen());

  Control(w.main(), "Activate1")->trigger();
  EXPECT_EQ(sim.timer.requests('E'), 1);
  EXPECT_EQ(sim.timer.requests('L'), 1);  // the preamble
  EXPECT_EQ(w.prompts.beeps, 1);
  EXPECT_EQ(w.prompts.busy_depth, 0);

  Control(w.main(), "ActivateBut")->trigger();
  Control(w.main(), "Deactivate1")->trigger();
  EXPECT_EQ(w.prompts.beeps, 2);
  EXPECT_TRUE(w.prompts.boxes.empty());
}

TEST_F(TimerCommandsTest, ATimerThatDoesNotAnswerGivesTheBeepAndTheBoxFromBoth) {
  sim.port.attach("COM1", SilentDevice());
  Control(w.main(), "ActivateBut")->trigger();
  Control(w.main(), "Deactivate1")->trigger();
  EXPECT_EQ(w.prompts.texts(), (std::vector<QString>{kTimerNotFoundText, kTimerNotFoundText}));
  EXPECT_TRUE(w.prompts.boxes[0].beeped);
  EXPECT_TRUE(w.prompts.boxes[1].beeped);
  EXPECT_EQ(w.prompts.beeps, 2);  // no acknowledgement beep on failure
  EXPECT_EQ(w.prompts.busy_depth, 0);
}

TEST_F(TimerCommandsTest, APortThatLeadsNowhereEndsTheCommandWithItsAdvice) {
  w.data->settings.com_port = 3;  // nothing behind COM3 here
  // As the application's event dispatch runs every handler (called directly: a failure
  // thrown through QAction's own code would leave Qt's guard of the action behind).
  EXPECT_FALSE(RunGuarded(w.prompts, [&] { w.main().ActivateButClick(); }));
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{
                                   "Unable to open com port (win error code: 2)\n"
                                   "COM3 leads to no device on this PC. Plug in the USB serial adapter, or choose "
                                   "another port."});
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Error);
  EXPECT_EQ(w.prompts.busy_depth, 0);
  EXPECT_FALSE(sim.port.isOpen());
}

// The unattended job and other PCs share the timer: start-up takes no port, and every
// hardware operation of the windows opens it and gives it back when it ends.
TEST_F(TimerCommandsTest, EachHardwareOperationHoldsThePortOnlyWhileItRuns) {
  w.main().FormShow();
  EXPECT_TRUE(sim.port.events.empty());
  const struct {
    const char* name;
    std::function<void()> operation;
  } cases[] = {
      {"activation", [&] { Control(w.main(), "Activate1")->trigger(); }},
      {"deactivation", [&] { Control(w.main(), "DeactivateBut")->trigger(); }},
      {"status reading", [&] { w.windows().statusform().RefreshStatus(); }},
      {"clock set", [&] { w.windows().statusform().updatebutClick(); }},
      {"output test", [&] { w.windows().statusform().TestringbellbutClick(); }},
      {"download", [&] {
         w.prompts.answers.push_back(BoxAnswer::No);
         w.windows().compileform().downloadbutClick();
       }},
      {"clock synchronisation", [&] { w.windows().compileform().updatebutClick(); }},
      {"detection", [&] {
         NoDetectView view;
         DetectPort(sim.link, w.data->settings, w.dir.folder(), w.prompts, view);
       }},
  };
  for (const auto& c : cases) {
    sim.port.events.clear();
    c.operation();
    ASSERT_FALSE(sim.port.events.empty()) << c.name;
    EXPECT_EQ(sim.port.events.front(), "open COM1") << c.name;
    EXPECT_EQ(std::count(sim.port.events.begin(), sim.port.events.end(), "open COM1"), 1) << c.name;
    EXPECT_EQ(sim.port.events.back(), "close") << c.name;
    EXPECT_FALSE(sim.port.isOpen()) << c.name;
  }
  for (const auto& box : w.prompts.boxes) EXPECT_NE(box.kind, BoxKind::Error) << box.text.toStdString();
}

}  // namespace
}  // namespace zmr::testing
