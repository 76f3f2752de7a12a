#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "hardware/status_report.h"
#include "hardware/ui/status.h"
#include "link/port_error.h"
#include "support/sim_port.h"
#include "windows/about.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

const DateTimeFormats kFormats{"dd/MM/yyyy", "HH:mm:ss"};
const QDateTime kPcTime(QDate(2026, 12, 9), QTime(15, 0, 0));  // a Wednesday

sim::SimConfig TimerOfTheExamples() {
  sim::SimConfig c;
  c.start_time = QDateTime(QDate(2009, 3, 9), QTime(7, 5, 3));
  c.firmware_minor = 10;
  c.product = {'B', 'E', 'L', 'L', 0, 'X', 'Y', 'Z'};
  return c;
}

struct StatusTest : ::testing::Test {
  StatusTest() {
    sim.clock.setNow(kPcTime);
    w.started();
    form().setFormats(kFormats);
  }
  Tstatusform& form() { return w.windows().statusform(); }
  QString field(const char* name) { return Control<QLineEdit>(form(), name)->text(); }
  QPushButton* button(const char* name) { return Control<QPushButton>(form(), name); }
  std::vector<QString> fields() {
    return {field("timerstate"), field("productcode"), field("serialnum"), field("firmwareversion"),
            field("hardwaredt")};
  }
  // Hardware > Status, then the reading the dialog's timer starts.
  void show() {
    w.runner.scripts.push_back([this](ConsoleDialog&) {
      EXPECT_EQ(fields(), std::vector<QString>(5));  // empty until the reading
      EXPECT_TRUE(form().ShowTimer().isActive());
      EXPECT_EQ(form().ShowTimer().interval(), 60);
      EXPECT_TRUE(form().ShowTimer().isSingleShot());
      form().ShowTimer().stop();
      form().ShowTimerTimer();
    });
    Control(w.main(), "HardwareStatus1")->trigger();
  }
  std::vector<char> Commands() const {
    std::vector<char> out;
    for (const auto& request : sim.port.writes) out.push_back(static_cast<char>(request[1]));
    return out;
  }

  SimulatedLink sim{TimerOfTheExamples()};
  World w{{}, &sim.link};
};

TEST_F(StatusTest, TheFirstReadingFillsTheFieldsAndTheCopyReportRepeatsThem) {
  EXPECT_FALSE(button("updatebut")->isEnabled());
  EXPECT_FALSE(button("BitBtn1")->isEnabled());
  const int turns_before = w.prompts.process_events_calls;
  show();
  EXPECT_EQ(fields(), (std::vector<QString>{"Deactivated", "BELL", "00123456", "v 1.10", "09/03/2009   07:05:03 day 1"}));
  EXPECT_TRUE(button("updatebut")->isEnabled());
  EXPECT_TRUE(button("BitBtn1")->isEnabled());
  EXPECT_TRUE(button("Button3")->isEnabled());
  EXPECT_EQ(Commands(), (std::vector<char>{'L', 'G'}));
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_EQ(w.prompts.busy_depth, 0);
  EXPECT_EQ(w.prompts.process_events_calls - turns_before, 1);  // painted before the exchange

  button("BitBtn1")->click();
  const QString pc = sim.clock.now().toString("dd/MM/yyyy HH:mm:ss");
  EXPECT_EQ(w.prompts.clipboard,
            "Product Code:\t\tBELL\r\nSerial Number:\t\t00123456\r\nFirmware version:\tv 1.10\r\n"
            "Program version:\tV2.0\r\nUnit date/time:\t\t09/03/2009   07:05:03 day 1\r\n"
            "PC date/time:\t\t" + pc + "\r\n");
  // The report's captions are the dialog's own.
  for (auto [label, caption] : {std::pair{"Label5", kTimerStateCaption}, {"label1", kProductCodeCaption},
                                {"label2", kSerialNumberCaption}, {"label3", kFirmwareCaption},
                                {"label4", kUnitDateTimeCaption}}) {
    EXPECT_EQ(Control<QLabel>(form(), label)->text(), caption);
  }
}

TEST_F(StatusTest, AFailedFirstReadingLeavesEmptyFieldsAndTheButtonsDisabled) {
  sim.port.attach("COM1", SilentDevice());
  show();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kTimerNotFoundText});
  EXPECT_TRUE(w.prompts.boxes[0].beeped);
  EXPECT_EQ(fields(), std::vector<QString>(5));
  EXPECT_FALSE(button("updatebut")->isEnabled());
  EXPECT_FALSE(button("BitBtn1")->isEnabled());
  EXPECT_TRUE(button("Button3")->isEnabled());
  EXPECT_EQ(w.prompts.busy_depth, 0);
  form().BitBtn1Click();
  EXPECT_TRUE(w.prompts.clipboard.startsWith(
      "Product Code:\t\t\r\nSerial Number:\t\t\r\nFirmware version:\t\r\nProgram version:\tV2.0\r\n"
      "Unit date/time:\t\t\r\nPC date/time:\t\t09/12/2026 15:00:0"));
}

TEST_F(StatusTest, ALaterShowingEmptiesTheFieldsButKeepsTheButtons) {
  show();
  sim.port.attach("COM1", SilentDevice());
  show();
  EXPECT_EQ(fields(), std::vector<QString>(5));
  EXPECT_TRUE(button("updatebut")->isEnabled());
  EXPECT_TRUE(button("BitBtn1")->isEnabled());
  EXPECT_EQ(w.runner.shown, (std::vector<QString>{"statusform", "statusform"}));
}

TEST_F(StatusTest, SynchronisingIsFollowedByASecondReadingOfTheNewClock) {
  show();
  sim.port.writes.clear();
  button("updatebut")->click();
  EXPECT_EQ(Commands(), (std::vector<char>{'L', 'U', 'L', 'G'}));
  // The PC clock plus the second the payload adds.
  EXPECT_EQ(field("hardwaredt"), "09/12/2026   15:00:01 day 3");
  EXPECT_TRUE(button("updatebut")->isEnabled());
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_EQ(w.prompts.busy_depth, 0);

  // A timer that does not take the clock: the box without a beep, no second reading.
  sim.port.attach("COM1", SilentDevice());
  sim.port.writes.clear();
  button("updatebut")->click();
  EXPECT_EQ(Commands(), (std::vector<char>{'L', 'U'}));
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kTimerNotFoundText});
  EXPECT_FALSE(w.prompts.boxes[0].beeped);
  EXPECT_EQ(w.prompts.beeps, 0);
  EXPECT_TRUE(button("updatebut")->isEnabled());
  EXPECT_EQ(field("hardwaredt"), "09/12/2026   15:00:01 day 3");
}

TEST_F(StatusTest, TestOutputClosesTheRelayAfterThePreamble) {
  show();
  sim.port.writes.clear();
  button("Testringbellbut")->click();
  EXPECT_EQ(Commands(), (std::vector<char>{'L', 'T'}));
  EXPECT_TRUE(sim.timer.relayClosed());
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_EQ(w.prompts.busy_depth, 0);
}

TEST_F(StatusTest, APortThatCannotBeOpenedEndsTheShowingBeforeAnyReading) {
  w.data->settings.com_port = 2;  // nothing there
  form().ShowTimer().stop();
  EXPECT_THROW(form().FormShow(), PortError);
  EXPECT_FALSE(form().ShowTimer().isActive());
  EXPECT_TRUE(sim.port.writes.empty());

  // A port error in the middle of a synchronisation: the button comes back.
  w.data->settings.com_port = 1;
  show();
  Device inner = SimDevice(sim.timer);
  sim.port.attach("COM1", [inner](std::span<const std::uint8_t> request) -> std::vector<Arrival> {
    if (request[1] == 'U') throw PortError(PortStep::Write, PortCause::OsError, {}, {}, EIO);
    return inner(request);
  });
  EXPECT_THROW(form().updatebutClick(), PortError);
  EXPECT_TRUE(button("updatebut")->isEnabled());
  EXPECT_EQ(w.prompts.busy_depth, 0);
  EXPECT_FALSE(form().busy());
}

TEST_F(StatusTest, ClosingIsRefusedWhileReadingAndTheSupportAddressOpensTheMailProgramOrShowsIt) {
  Tstatusform& f = form();
  bool open_while_reading = false;
  Device inner = SimDevice(sim.timer);
  sim.port.attach("COM1", [&, inner](std::span<const std::uint8_t> request) {
    if (request[1] == 'G') {
      f.close();
      open_while_reading = f.isVisible();
    }
    return inner(request);
  });
  f.FormShow();
  f.show();
  f.ShowTimer().stop();
  f.ShowTimerTimer();
  EXPECT_TRUE(open_while_reading);

  EXPECT_EQ(f.windowTitle(), "ZMR Status");
  EXPECT_EQ(f.size(), QSize(699, 499));
  EXPECT_EQ(f.minimumSize(), f.maximumSize());
  EXPECT_EQ(Control<QLabel>(f, "tip1")->text(), kStatusTip1);
  EXPECT_EQ(Control<QLabel>(f, "tip3")->text(), kStatusTip3);
  EXPECT_EQ(Control<QLabel>(f, "tip4")->text(), kStatusTip4);
  EXPECT_EQ(Control<QLabel>(f, "tip6")->text(), kStatusTip6);
  for (const char* name : {"timerstate", "productcode", "serialnum", "firmwareversion", "hardwaredt"}) {
    QLineEdit* edit = Control<QLineEdit>(f, name);
    EXPECT_TRUE(edit->isReadOnly()) << name;
    EXPECT_EQ(edit->palette().color(QPalette::Base), edit->palette().color(QPalette::Button)) << name;
  }
  QLabel* address = Control<QLabel>(f, "tip2");
  EXPECT_EQ(address->text(), kMakerMail);
  const QPointF at(2, 2);
  QMouseEvent release(QEvent::MouseButtonRelease, at, address->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(address, &release);
  EXPECT_EQ(w.prompts.opened, std::vector<QString>{"mailto:" + kMakerMail});
  EXPECT_TRUE(w.prompts.boxes.empty()) << "an opened mail program needs no box";

  // No mail program: the box the about dialog shows, with the address to copy.
  w.prompts.shell_opens = false;
  QCoreApplication::sendEvent(address, &release);
  EXPECT_EQ(w.prompts.opened.back(), "mailto:" + kMakerMail);
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].text, kMailNotOpenedText.arg(kMakerMail));
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Warning);
  EXPECT_TRUE(w.prompts.boxes[0].beeped);
  EXPECT_TRUE(f.isVisible());
  button("Button3")->click();
  EXPECT_FALSE(f.isVisible());
}

}  // namespace
}  // namespace zmr::testing
