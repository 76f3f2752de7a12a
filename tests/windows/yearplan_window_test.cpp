// The Year Plan window beside the main window: its port list, one window of its own at a
// time, the program's one timer link shared with it, the end of the program while it is
// open, and a week edited in the main window meanwhile.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "hardware/week_state.h"
#include "link/port_error.h"
#include "link/port_map.h"
#include "link/port_names.h"
#include "plan/plan_reader.h"
#include "plan/ui/plan_months.h"
#include "plan/ui/yearplan.h"
#include "project/project_file.h"
#include "support/plan_fixtures.h"
#include "support/project_fixtures.h"
#include "support/scripted_systemd.h"
#include "support/sim_port.h"
#include "ui/transient_note.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

class YearPlanWindowTest : public ::testing::Test {
 protected:
  YearPlanWindowTest() {
    sim.clock.setNow(kMorning);
    form().setServiceQuery(std::make_shared<ScriptedSystemd>());
  }
  Tyearplanform& form() { return w.windows().yearplanform(); }
  template <typename T = QPushButton>
  T* control(const char* name) {
    return Control<T>(form(), name);
  }
  // A plan north.toml with normal.zmr as its usual week, open in the window.
  void makePlan() {
    form().FormShow();
    w.prompts.file_answers = {files.file("north.toml"), files.file("normal.zmr")};
    QTest::mouseClick(control("newplanbut"), Qt::LeftButton);
    ASSERT_TRUE(form().plan().has_value());
  }
  YearPlan written() { return ReadPlan(files.file("north.toml"), kMorning.date()).plan; }
  QString upkeepText() { return control<QPlainTextEdit>("upkeeplines")->toPlainText(); }
  void typePort(const QString& port) {
    QLineEdit* line = control<QComboBox>("portname")->lineEdit();
    line->selectAll();
    QTest::keyClicks(line, port);
    QTest::keyClick(line, Qt::Key_Return);
  }

  PlanFolder files;
  SimulatedLink sim{TimerSetTo(kMorning)};
  World w{{}, &sim.link};
};

TEST_F(YearPlanWindowTest, ThePortListOffersTheConsolesPortsItsMappedAddressesAndWhatIsTyped) {
  const QString settings = w.dir.folder() + u'/';
  const ScopedPortMapFolder mapping(settings);
  ASSERT_TRUE(ParseNetworkAddress("rfc2217://10.0.4.20:2217").address);
  MapComPort(settings, 3, *ParseNetworkAddress("rfc2217://10.0.4.20:2217").address);
  MapComPort(settings, 9, *ParseNetworkAddress("tcp://Bells-East.school:4001").address);
  makePlan();
  auto* port = control<QComboBox>("portname");
  QStringList offered;
  for (int i = 0; i < port->count(); ++i) offered << port->itemText(i);
  EXPECT_EQ(offered, QStringList({"The stored port (COM1)", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6",
                                  "rfc2217://10.0.4.20:2217", "tcp://bells-east.school:4001"}));
  EXPECT_EQ(port->lineEdit()->accessibleName(), "Port");

  // A port that cannot be opened is said in the timer box until the port changes.
  typePort("/dev/zmr-no-such-port");
  EXPECT_EQ(written().port, "/dev/zmr-no-such-port");
  EXPECT_EQ(port->currentText(), "/dev/zmr-no-such-port") << "what is typed stays in sight";
  QTest::mouseClick(control("applynowbut"), Qt::LeftButton);
  EXPECT_TRUE(upkeepText().endsWith("The port /dev/zmr-no-such-port cannot be opened.")) << upkeepText().toStdString();
  port->setCurrentIndex(port->findText("COM1"));
  emit port->activated(port->currentIndex());
  EXPECT_EQ(written().port, "COM1");
  EXPECT_EQ(upkeepText(), "");
  // The same port chosen again keeps what the box says.
  QTest::mouseClick(control("checktodaybut"), Qt::LeftButton);
  const QString checked = upkeepText();
  emit port->activated(port->currentIndex());
  EXPECT_EQ(upkeepText(), checked);
}

TEST_F(YearPlanWindowTest, ItIsAWindowOfItsOwnOpenOnceBesideTheMainWindow) {
  TMainform& main = w.started();
  main.show();
  QAction* item = Control(main, "YearPlan1");
  item->trigger();
  ASSERT_TRUE(form().isVisible());
  EXPECT_FALSE(form().isModal());
  EXPECT_EQ(form().windowModality(), Qt::NonModal);
  EXPECT_EQ(form().parentWidget(), nullptr) << "it can go behind the main window";
  EXPECT_EQ(std::count(w.runner.shown.begin(), w.runner.shown.end(), "yearplanform"), 0);
  makePlan();
  form().months().pick(QDate(2026, 10, 27));
  const QString said = control<QLabel>("daycause")->text();
  ASSERT_FALSE(said.isEmpty());

  // Meanwhile a project is opened in the main window; asked again, the window open comes
  // to the front as it was.
  w.prompts.file_answers = {files.file("normal.zmr")};
  Control(main, "Open1")->trigger();
  EXPECT_TRUE(w.data->state.project_open);
  item->trigger();
  EXPECT_TRUE(form().isVisible());
  EXPECT_EQ(control<QLabel>("daycause")->text(), said);
  EXPECT_EQ(QApplication::topLevelWidgets().count(&form()), 1);

  // The program ends with it.
  w.prompts.answers = {BoxAnswer::Yes};
  EXPECT_TRUE(main.close());
  EXPECT_FALSE(form().isVisible());
}

// While the window talks to the timer the main window waits: it would talk to the same
// timer through the same link, or end the program under the running Apply.
TEST_F(YearPlanWindowTest, TheMainWindowWaitsWhileTheWindowTalksToTheTimer) {
  TMainform& main = w.started();
  main.show();
  makePlan();
  form().show();
  const Device timer = SimDevice(sim.timer);
  struct Seen {
    bool closed = true;
    bool new_project = false;
    QString note;
  } seen;
  bool once = false;
  sim.port.attach("COM1", [&](std::span<const std::uint8_t> request) {
    if (!std::exchange(once, true)) {
      QTest::mouseClick(Control<QWidget>(main, "bignewbut"), Qt::LeftButton);
      seen.new_project = !w.runner.shown.empty() && w.runner.shown.back() == "newprojectform";
      seen.closed = main.close();
      seen.note = NoteOf(main).text();
    }
    return timer(request);
  });
  const std::size_t shown_before = w.runner.shown.size();
  QTest::mouseClick(control("applynowbut"), Qt::LeftButton);
  EXPECT_TRUE(once);
  EXPECT_FALSE(seen.new_project);
  EXPECT_EQ(w.runner.shown.size(), shown_before);
  EXPECT_FALSE(seen.closed);
  EXPECT_EQ(seen.note, kYearPlanBusyNote);
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(form().isVisible());
  EXPECT_TRUE(sim.timer.activated()) << "the Apply ran to its end";
  EXPECT_FALSE(sim.port.isOpen());

  // Once it has finished, the main window is used as before.
  QTest::mouseClick(Control<QWidget>(main, "bignewbut"), Qt::LeftButton);
  EXPECT_EQ(w.runner.shown.back(), "newprojectform");
  EXPECT_TRUE(main.close());
}

TEST_F(YearPlanWindowTest, EndingTheProgramStoresWhatIsTypedOrStaysWhenItCannot) {
  TMainform& main = w.started();
  makePlan();
  form().show();
  auto* tolerance = control<QSpinBox>("tolerance");
  tolerance->setFocus();
  QTest::keyClick(tolerance, Qt::Key_Up);  // typed, not left
  EXPECT_TRUE(main.close());
  EXPECT_EQ(written().clock_tolerance, kDefaultClockTolerance + 1);
  EXPECT_FALSE(form().isVisible());

  // The plan cannot be written: the program stays, with the window and what was typed.
  main.show();
  form().show();
  QTest::keyClick(tolerance, Qt::Key_Up);
  ASSERT_TRUE(QFile::remove(files.file("north.toml")));
  ASSERT_TRUE(QDir(files.folder()).mkdir("north.toml"));
  w.prompts.boxes.clear();
  EXPECT_FALSE(main.close());
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(form().isVisible());
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Error);
  // Said once: the field shows the stored value again, and the program may end.
  EXPECT_EQ(tolerance->value(), kDefaultClockTolerance + 1);
  EXPECT_TRUE(main.close());
}

// The secretary edits the usual week in the main window and comes back: the window shows
// the week as it is now, Apply sends it, and the main window knows the timer holds it.
TEST_F(YearPlanWindowTest, AWeekEditedInTheMainWindowIsShownAndAppliedAsItIsNow) {
  TMainform& main = w.started();
  main.show();
  makePlan();
  form().show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  w.data->state.project_path = files.file("normal.zmr");
  ASSERT_EQ(OpenProjectFile(*w.data, w.prompts, main), OpenOutcome::Opened);
  AddPulse(w.data->project, 6, 1, 9, 30, 5);  // a Saturday bell
  SaveProject(*w.data);
  ASSERT_TRUE(w.data->state.project_changed);

  form().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  EXPECT_EQ(NoteOf(form()).text(), kWeeksReadAgainNote);
  EXPECT_TRUE(NoteOf(form()).isVisible());
  NoteOf(form()).hide();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  form().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  EXPECT_FALSE(NoteOf(form()).isVisible()) << "said once for one change";

  QTest::mouseClick(control("applynowbut"), Qt::LeftButton);
  EXPECT_TRUE(upkeepText().contains("downloaded normal.zmr")) << upkeepText().toStdString();
  EXPECT_TRUE(TimerHoldsWeek(w.console.state_folder, TimerKeyOf("COM1"), w.data->project));
  w.prompts.boxes.clear();
  EXPECT_TRUE(main.FormCloseQuery()) << "the edited week is on the timer";
  EXPECT_TRUE(w.prompts.boxes.empty());
}

}  // namespace
}  // namespace zmr::testing
