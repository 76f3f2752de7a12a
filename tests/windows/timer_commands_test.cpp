#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "link/port_names.h"
#include "project/settings.h"
#include "support/sim_port.h"
#include "windows/programoptions.h"
#include "windows/start_up.h"
#include "ui/zmr_application.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

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
  EXPECT_TRUE(sim.link.port_opened);

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
  EXPECT_FALSE(sim.link.port_opened);
}

TEST_F(TimerCommandsTest, StartUpLeavesThePortToBeOpenedOnFirstUse) {
  sim.link.port_opened = true;
  w.main().FormShow();
  EXPECT_FALSE(sim.link.port_opened);
  EXPECT_TRUE(sim.port.events.empty());
}

TEST_F(TimerCommandsTest, OptionsMakesTheNextRequestOpenThePortAnew) {
  Control(w.main(), "Deactivate1")->trigger();
  ASSERT_TRUE(sim.link.port_opened);
  Control(w.main(), "Ports1")->trigger();
  EXPECT_FALSE(sim.link.port_opened);
  Control(w.main(), "Deactivate1")->trigger();
  EXPECT_EQ(std::count(sim.port.events.begin(), sim.port.events.end(), "open COM1"), 2);
}

TEST_F(TimerCommandsTest, DetectionFindsTheTimerOnCom2AndSelectsIt) {
  sim.port.attach("COM1", SilentDevice());
  sim.port.attach("COM2", SimDevice(sim.timer));
  Tprogramoptionsform& options = w.windows().programoptionsform();
  w.data->settings.com_port = 2;
  options.FormShow();  // Com 2 selected already; detection still stores and saves it
  QFile::remove(w.iniPath());
  auto* detect = Control<QPushButton>(options, "detectbut");
  ASSERT_TRUE(detect->isEnabled());
  detect->click();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{"Timer has been found on Com 2"});
  EXPECT_EQ(options.selectcomms().itemIndex(), 1);
  ProgramSettings stored;
  LoadSettings(stored, w.dir.folder());
  EXPECT_EQ(stored.com_port, 2);
  EXPECT_TRUE(detect->isEnabled());
  EXPECT_TRUE(Control<QGroupBox>(options, "selectcomms")->isEnabled());
}

TEST_F(TimerCommandsTest, WelcomeDetectionWithoutATimerChangesNothing) {
  sim.port.attach("COM1", SilentDevice());
  sim.port.attach("COM2", SilentDevice());
  TStartupForm& welcome = w.windows().StartupForm();
  w.data->settings.com_port = 4;
  welcome.FormShow();
  Control<QPushButton>(welcome, "detectbut")->click();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kTimerNotFoundText});
  EXPECT_EQ(welcome.portused().itemIndex(), 3);
  EXPECT_EQ(w.data->settings.com_port, 4);
  EXPECT_TRUE(Control<QPushButton>(welcome, "detectbut")->isEnabled());
}

TEST_F(TimerCommandsTest, PortDialogsShowWhereEachPortLeads) {
  ScopedPortEnumerator machine(std::make_shared<ListedPorts>(std::vector<SerialDevice>{
      {"/dev/ttyS0", "", "", false, true},
      {"/dev/ttyUSB0", "FT232R USB UART", "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0", true, true}}));
  qputenv("ZMR_COM3", "/tmp/zmr/COM3");
  w.data->settings.com_port = 1;
  Tprogramoptionsform& options = w.windows().programoptionsform();
  options.FormShow();
  EXPECT_EQ(Control<QLabel>(options, "portdevice")->text(), "Com 1 is /dev/ttyUSB0, FT232R USB UART, here");
  const auto items = Control<QGroupBox>(options, "selectcomms")->findChildren<QRadioButton*>();
  EXPECT_EQ(items[1]->toolTip(), "Com 2 is /dev/ttyS0 here");
  EXPECT_EQ(items[2]->toolTip(), "Com 3 is /tmp/zmr/COM3 here");
  EXPECT_EQ(items[3]->toolTip(), "Com 4: no device");
  EXPECT_EQ(items[3]->accessibleDescription(), "Com 4: no device");
  items[3]->click();
  EXPECT_EQ(Control<QLabel>(options, "portdevice")->text(), "Com 4: no device");
  TStartupForm& welcome = w.windows().StartupForm();
  welcome.FormShow();
  EXPECT_EQ(Control<QLabel>(welcome, "portdevice")->text(), "Com 4: no device");
  qunsetenv("ZMR_COM3");
}

}  // namespace
}  // namespace zmr::testing
