#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "hardware/download.h"
#include "hardware/ui/compile.h"
#include "hardware/ui/status.h"
#include "hardware/wall_clock.h"
#include "link/packet.h"
#include "hardware/week_state.h"
#include "link/port_error.h"
#include "support/sim_port.h"
#include "support/temp_dir.h"
#include "ui/help_window.h"
#include "ui/zmr_application.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

using Lines = std::vector<QString>;
const DateTimeFormats kFormats{"dd/MM/yyyy", "HH:mm:ss"};
const QDateTime kPcTime(QDate(2004, 3, 5), QTime(14, 2, 7));  // a Friday

// The console with a project open and the simulated timer on COM1, its clock right.
struct CompileTest : ::testing::Test {
  CompileTest() {
    w.started();
    ResetProject(w.data->project);
    for (int s = 1; s <= 20; ++s) AddPulse(w.data->project, 1, s, 7, s, 2);  // Monday: two chunks
    for (int s = 1; s <= 40; ++s) AddPulse(w.data->project, 2, s, 8, s, 3);  // Tuesday: three
    w.data->state.project_open = true;
    w.data->state.project_changed = true;
    w.main().RefreshMainMenu();
    sim.clock.setNow(kPcTime);
    sim.timer.setTimerClock(kPcTime);
    form().setFormats(kFormats);
  }
  Tcompileform& form() { return w.windows().compileform(); }
  QPushButton* button(const char* name) { return Control<QPushButton>(form(), name); }
  Lines memo() {
    const QStringList lines = Control<QPlainTextEdit>(form(), "resultinfo")->toPlainText().split('\n');
    return {lines.begin(), lines.end()};
  }
  int progress() { return Control<QProgressBar>(form(), "Totalprogress")->value(); }
  bool buttonsEnabled() {
    return button("downloadbut")->isEnabled() && button("updatebut")->isEnabled() && button("closebut")->isEnabled();
  }
  // Shows the window through the main window's Download command, then presses Download.
  void download() {
    w.runner.scripts.push_back([this](ConsoleDialog&) { button("downloadbut")->click(); });
    Control(w.main(), "Download1")->trigger();
  }
  // The timer's answers with `change` applied first (a request it fails, a status it alters).
  void timerAnswers(std::function<std::optional<std::vector<Arrival>>(std::span<const std::uint8_t>)> change) {
    Device inner = SimDevice(sim.timer);
    sim.port.attach("COM1", [inner, change](std::span<const std::uint8_t> request) {
      if (auto changed = change(request)) return *changed;
      return inner(request);
    });
  }
  // The status reply as the timer gives it, with its clock moved and its weekday replaced.
  void statusIs(int offset_secs, std::optional<int> weekday) {
    timerAnswers([this, offset_secs, weekday](std::span<const std::uint8_t> request)
                     -> std::optional<std::vector<Arrival>> {
      if (request[1] != 'G') return std::nullopt;
      const QDateTime t = sim.clock.now().addSecs(offset_secs);
      std::vector<std::uint8_t> p(29, 0);
      p[0] = t.date().day(), p[1] = t.date().month(), p[2] = t.date().year() - 2000;
      p[3] = t.time().hour(), p[4] = t.time().minute(), p[5] = t.time().second();
      p[6] = weekday.value_or(t.date().dayOfWeek());
      p[9] = 1;
      return std::vector<Arrival>{{0, BuildFrame('G', 0, p)}};
    });
  }
  // The hourglass is gone whenever a box is up.
  bool cursorBackBeforeEveryBox() const { return w.prompts.cursorBackBeforeEveryBox(); }
  int clockWarnings() const {
    const std::vector<QString> texts = w.prompts.texts();
    return static_cast<int>(std::count(texts.begin(), texts.end(), kClockDifferenceText));
  }

  SimulatedLink sim;
  World w{{}, &sim.link};
};

TEST_F(CompileTest, AGoodDownloadReportsEveryStepAndLeavesTheWindowReady) {
  w.prompts.answers.push_back(BoxAnswer::No);
  const int turns_before = w.prompts.process_events_calls;
  download();
  ASSERT_EQ(w.runner.shown, std::vector<QString>{"compileform"});
  // The timer gave its clock a little before the PC's was read, across a second's turn.
  EXPECT_EQ(memo(), (Lines{"Establishing a Connection . . .", "Connected . . .", "Downloading Day 1",
                           "Downloading Day 2", "Downloading Day 3", "Downloading Day 4", "Downloading Day 5",
                           "Downloading Day 6", "Downloading Day 7", "Download Successful!",
                           "Timer date/time: 05/03/2004 14:02:08 day 5",
                           "PC date/time:     05/03/2004 14:02:09 day 5"}));
  EXPECT_EQ(progress(), 7);
  EXPECT_EQ(Control<QProgressBar>(form(), "Totalprogress")->maximum(), 7);
  EXPECT_FALSE(w.data->state.project_changed);
  EXPECT_TRUE(buttonsEnabled());
  EXPECT_EQ(w.prompts.busy_depth, 0);
  EXPECT_EQ(sim.timer.requests('W'), 2 + 3 + 5);
  // The window repainted before every write and once after the last day.
  EXPECT_EQ(w.prompts.process_events_calls - turns_before, 11);
  // Not activated: the question, answered No, adds no line.
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kActivateQuestionText});
  EXPECT_FALSE(sim.timer.activated());
  EXPECT_TRUE(cursorBackBeforeEveryBox());

  // The next showing starts afresh; the tool button and the big button open it too.
  w.runner.scripts.push_back([this](ConsoleDialog&) {
    EXPECT_EQ(Control<QPlainTextEdit>(form(), "resultinfo")->toPlainText(), "");
    EXPECT_EQ(progress(), 0);
  });
  Control(w.main(), "toolbutdownload")->trigger();
  Control<QToolButton>(w.main(), "bigcompilebut")->click();
  EXPECT_EQ(w.runner.shown.size(), 3u);
}

TEST_F(CompileTest, AnsweringYesActivatesTheTimerAndSaysSo) {
  w.prompts.answers.push_back(BoxAnswer::Yes);
  download();
  EXPECT_EQ(memo().back(), "Activation successful!");
  EXPECT_TRUE(sim.timer.activated());
  EXPECT_TRUE(buttonsEnabled());
}

TEST_F(CompileTest, NoTimerLeavesALineAndNoBox) {
  sim.port.attach("COM1", SilentDevice());
  download();
  EXPECT_EQ(memo(), (Lines{"Establishing a Connection . . .", kTimerNotFoundText}));
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_EQ(w.prompts.beeps, 1);
  EXPECT_TRUE(w.data->state.project_changed);
  EXPECT_TRUE(buttonsEnabled());
  EXPECT_EQ(w.prompts.busy_depth, 0);
}

// Pressed again after a good download in the same showing: a failure before "Connected"
// shows an empty bar, and a port error stays readable in the memo after its box.
TEST_F(CompileTest, AFailedDownloadAfterAGoodOneLooksFailed) {
  const auto bar = [this] { return Control<QProgressBar>(form(), "Totalprogress")->text(); };
  struct Case {
    const char* name;
    std::function<void()> fault;
    QString last_line;
    bool error_box;
  };
  const Case cases[] = {
      {"silent timer", [this] { sim.port.attach("COM1", SilentDevice()); }, kTimerNotFoundText, false},
      {"adapter pulled", [this] { sim.port.unplug("COM1"); }, "Unable to open com port (win error code: 2)", true},
  };
  for (const Case& c : cases) {
    sim.port.attach("COM1", SimDevice(sim.timer));
    w.prompts.boxes.clear();
    w.runner.scripts.push_back([&](ConsoleDialog&) {
      button("downloadbut")->click();
      ASSERT_EQ(bar(), "Day 7 of 7") << c.name;
      c.fault();
      RunGuarded(w.prompts, [this] { form().downloadbutClick(); });
    });
    Control(w.main(), "Download1")->trigger();
    EXPECT_EQ(bar(), "Day 0 of 7") << c.name;
    EXPECT_EQ(memo().back(), c.last_line) << c.name;
    EXPECT_EQ(!w.prompts.boxes.empty() && w.prompts.boxes.back().kind == BoxKind::Error, c.error_box) << c.name;
    EXPECT_TRUE(buttonsEnabled()) << c.name;
  }
}

TEST_F(CompileTest, AFailedWriteOnTheThirdChunkOfTuesdayStopsThere) {
  int writes = 0;
  timerAnswers([&](std::span<const std::uint8_t> request) -> std::optional<std::vector<Arrival>> {
    if (request[1] == 'W' && ++writes == 5) return std::vector<Arrival>{};
    return std::nullopt;
  });
  download();
  const Lines lines = memo();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "Downloading Day 2");
  EXPECT_EQ(lines.back(), kDownloadFailedLine);
  EXPECT_EQ(progress(), 2);
  EXPECT_TRUE(w.data->state.project_changed);
  EXPECT_TRUE(buttonsEnabled());
  EXPECT_EQ(w.prompts.busy_depth, 0);
  EXPECT_TRUE(w.prompts.boxes.empty());
}

TEST_F(CompileTest, AStatusThatCannotBeReadGivesTheBoxButTheDownloadCounts) {
  timerAnswers([](std::span<const std::uint8_t> request) -> std::optional<std::vector<Arrival>> {
    if (request[1] == 'G') return std::vector<Arrival>{};
    return std::nullopt;
  });
  download();
  EXPECT_EQ(memo().back(), "Download Successful!");  // no clock lines
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kTimerNotFoundText});
  EXPECT_TRUE(w.prompts.boxes[0].beeped);
  EXPECT_TRUE(cursorBackBeforeEveryBox());
  EXPECT_FALSE(w.data->state.project_changed);
  EXPECT_TRUE(buttonsEnabled());
  EXPECT_EQ(w.prompts.busy_depth, 0);
}

// Upkeep must know what a download from the window put in the timer, and never believe
// one that did not finish with its closing check.
TEST_F(CompileTest, ADownloadThatReachedTheTimerIsRecordedForItsPort) {
  const struct {
    const char* what;
    char fails;  // the request that goes unanswered, 0 for none
    bool recorded;
  } cases[] = {{"a good download", 0, true}, {"no status after it", 'G', false}, {"a failed write", 'W', false}};
  const WeekStateStore store(w.console.state_folder);
  for (const auto& c : cases) {
    // What an earlier download left: the record must not outlive a new one that failed.
    ASSERT_EQ(RecordDownload(store.folder(), TimerKeyOf("COM1"), w.data->project, sim.clock.now()), "");
    timerAnswers([&](std::span<const std::uint8_t> request) -> std::optional<std::vector<Arrival>> {
      if (request[1] == c.fails) return std::vector<Arrival>{};
      return std::nullopt;
    });
    w.prompts.answers.push_back(BoxAnswer::No);
    download();
    const auto held = store.held(TimerKeyOf("COM1"));
    EXPECT_EQ(held.has_value(), c.recorded) << c.what;
    if (held) {
      EXPECT_EQ(held->week_hash, WeekHash(w.data->project)) << c.what;
      EXPECT_LE(std::abs(held->when.secsTo(sim.clock.now())), 1) << c.what;
    }
  }
  // A state folder that cannot be made costs a line in the report, not the download.
  TempDir blocked;
  QFile file(blocked.file("x"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  w.console.state_folder = blocked.file("x/state");
  timerAnswers([](std::span<const std::uint8_t>) { return std::optional<std::vector<Arrival>>{}; });
  w.prompts.answers.push_back(BoxAnswer::No);
  download();
  EXPECT_TRUE(memo().back().startsWith("The download was not recorded in ")) << memo().back().toStdString();
  EXPECT_TRUE(buttonsEnabled());
}

TEST_F(CompileTest, ClockWarningsOneForEachFaultTwoForBoth) {
  const int friday = 5;
  const struct {
    int offset;
    std::optional<int> weekday;
    int boxes;
  } cases[] = {
      {-58, std::nullopt, 0},  // under a minute also with the part of a second the timer drops
      {-61, std::nullopt, 1},
      {0, friday - 1, 1},
      {-61, friday + 1, 2},
  };
  int expected = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offset);
    statusIs(c.offset, c.weekday);
    download();
    expected += c.boxes;
    EXPECT_EQ(clockWarnings(), expected) << memo().back().toStdString();
    EXPECT_TRUE(buttonsEnabled());
    EXPECT_EQ(w.prompts.busy_depth, 0);
  }
  EXPECT_TRUE(std::all_of(w.prompts.boxes.begin(), w.prompts.boxes.end(), [](const auto& b) { return b.beeped; }));
  EXPECT_TRUE(cursorBackBeforeEveryBox());
}

TEST_F(CompileTest, APortErrorPartWayLeavesTheWindowUsable) {
  int writes = 0;
  timerAnswers([&](std::span<const std::uint8_t> request) -> std::optional<std::vector<Arrival>> {
    if (request[1] == 'W' && ++writes == 3) throw PortError(PortStep::Write, PortCause::OsError, {}, {}, EIO);
    return std::nullopt;
  });
  form().FormShow();
  EXPECT_THROW(form().downloadbutClick(), PortError);
  EXPECT_EQ(memo().back(), kDownloadFailedLine);
  EXPECT_TRUE(buttonsEnabled());
  EXPECT_EQ(w.prompts.busy_depth, 0);
  EXPECT_TRUE(w.data->state.project_changed);
  EXPECT_FALSE(form().busy());

  // The port could not even be opened for a synchronisation: the report stays as it was.
  w.data->settings.com_port = 2;  // nothing there
  EXPECT_THROW(form().updatebutClick(), PortError);
  EXPECT_EQ(memo().back(), kDownloadFailedLine);
  EXPECT_TRUE(buttonsEnabled());
}

// The buttons disabled while the timer is busy push the keyboard focus on to the first
// link; afterwards the pressed button has it again, also after a port error.
TEST_F(CompileTest, ThePressedButtonKeepsTheKeyboardFocus) {
  Tcompileform& f = form();
  f.FormShow();
  f.show();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  w.prompts.answers.push_back(BoxAnswer::No);
  for (const char* name : {"downloadbut", "updatebut"}) {
    button(name)->setFocus(Qt::TabFocusReason);
    button(name)->click();
    EXPECT_EQ(QApplication::focusWidget(), button(name)) << name;
  }
  timerAnswers([&](std::span<const std::uint8_t> request) -> std::optional<std::vector<Arrival>> {
    if (request[1] == 'W') throw PortError(PortStep::Write, PortCause::OsError, {}, {}, EIO);
    return std::nullopt;
  });
  button("downloadbut")->setFocus(Qt::TabFocusReason);
  EXPECT_THROW(f.downloadbutClick(), PortError);
  EXPECT_EQ(QApplication::focusWidget(), button("downloadbut"));
  f.hide();
}

TEST_F(CompileTest, ClosingIsRefusedWhileTheTimerIsBusyAndWorksAfterwards) {
  Tcompileform& f = form();
  std::vector<bool> still_open;
  const auto try_to_close = [&] {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&f, &escape);
    f.close();  // the title bar's close
    still_open.push_back(f.isVisible());
  };
  int writes = 0;
  timerAnswers([&](std::span<const std::uint8_t> request) -> std::optional<std::vector<Arrival>> {
    if ((request[1] == 'W' && ++writes == 2) || request[1] == 'U') try_to_close();
    return std::nullopt;
  });
  f.FormShow();
  f.show();
  w.prompts.answers.push_back(BoxAnswer::No);
  f.downloadbutClick();
  f.updatebutClick();
  EXPECT_EQ(still_open, (std::vector<bool>{true, true}));
  EXPECT_EQ(memo().back(), kClockUpdatedLine);
  EXPECT_TRUE(f.isVisible());
  f.close();
  EXPECT_FALSE(f.isVisible());
}

TEST_F(CompileTest, SynchronisingKeepsTheReportAndFailsWithItsBox) {
  form().FormShow();
  form().addLine("earlier");
  sim.timer.setTimerClock(QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
  button("updatebut")->click();
  EXPECT_EQ(memo(), (Lines{"earlier", kClockUpdatedLine}));
  EXPECT_EQ(sim.timer.timerNow().toSecsSinceEpoch(), WallClock(sim.clock.now().addSecs(1)).toSecsSinceEpoch());
  EXPECT_TRUE(buttonsEnabled());
  EXPECT_TRUE(w.data->state.project_changed);

  sim.port.attach("COM1", SilentDevice());
  button("updatebut")->click();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{kTimerNotFoundText});
  EXPECT_TRUE(w.prompts.boxes[0].beeped);
  EXPECT_EQ(memo().size(), 2u);
  EXPECT_TRUE(button("updatebut")->isEnabled());
  EXPECT_TRUE(cursorBackBeforeEveryBox());
  EXPECT_EQ(w.prompts.busy_depth, 0);
}

TEST_F(CompileTest, TipsAndTheMoreInfoLinks) {
  Tcompileform& f = form();
  f.FormShow();
  EXPECT_EQ(f.windowTitle(), "Compile and Download Data");
  EXPECT_EQ(f.size(), QSize(699, 498));
  EXPECT_EQ(f.minimumSize(), f.maximumSize());
  EXPECT_EQ(Control<QLabel>(f, "tip1")->text(), kCompileTip1);
  EXPECT_EQ(Control<QLabel>(f, "tip2")->text(), kCompileTip2);
  EXPECT_EQ(Control<QLabel>(f, "tip4")->text(), kCompileTip4);
  EXPECT_EQ(Control<QLabel>(f, "tip6")->text(), "1. Date/Time difference between PC & ZMR clocks.");
  EXPECT_EQ(Control<QLabel>(f, "tip8")->text(), kCompileTip8);
  EXPECT_EQ(Control<QPlainTextEdit>(f, "resultinfo")->focusPolicy(), Qt::NoFocus);
  EXPECT_TRUE(Control<QPlainTextEdit>(f, "resultinfo")->isReadOnly());
  for (const char* name : {"tip7", "tip9"}) {
    QLabel* link = Control<QLabel>(f, name);
    EXPECT_EQ(link->text(), "More Info...");
    const QPointF at(2, 2);
    QMouseEvent release(QEvent::MouseButtonRelease, at, link->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(link, &release);
    // The keyboard reaches it too.
    EXPECT_TRUE(link->focusPolicy() & Qt::TabFocus) << name;
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(link, &enter);
  }
  const QString page = w.data->state.program_folder + "HTMLHelp/compile.htm";
  EXPECT_EQ(w.prompts.opened, std::vector<QString>(4, page));
  EXPECT_TRUE(f.findChildren<HelpWindow*>().isEmpty()) << "the shell opened it";

  // Without a browser the page comes up in our own help window, one for both links.
  w.prompts.shell_opens = false;
  f.tip7Click();
  f.tip9Click();
  const auto helps = f.findChildren<HelpWindow*>();
  ASSERT_EQ(helps.size(), 1);
  EXPECT_TRUE(helps[0]->isVisible());
  EXPECT_EQ(helps[0]->browser().source(), QUrl::fromLocalFile(page));
  EXPECT_TRUE(w.prompts.boxes.empty());
  helps[0]->close();
}

// Every control a person can reach has a name for a screen reader, and its hint as the
// description; the read-only fields are no Tab stops.
TEST_F(CompileTest, BothTimerWindowsNameEveryControl) {
  for (QDialog* dialog : std::initializer_list<QDialog*>{&form(), &w.windows().statusform()}) {
    SCOPED_TRACE(dialog->objectName().toStdString());
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
      const bool link = qobject_cast<QLabel*>(control) && control->cursor().shape() == Qt::PointingHandCursor;
      if (!link && !qobject_cast<QAbstractButton*>(control) && !qobject_cast<QLineEdit*>(control) &&
          !qobject_cast<QPlainTextEdit*>(control) && !qobject_cast<QProgressBar*>(control)) {
        continue;
      }
      const std::string name = control->objectName().toStdString();
      EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
      if (!control->toolTip().isEmpty()) {
        EXPECT_EQ(control->accessibleDescription(), control->toolTip()) << name;
      }
      if (qobject_cast<QLineEdit*>(control) || qobject_cast<QPlainTextEdit*>(control)) {
        EXPECT_EQ(control->focusPolicy(), Qt::NoFocus) << name;
      }
    }
  }
}

TEST_F(CompileTest, DownloadNeedsAProjectAndStatusIsAlwaysThere) {
  w.data->state.project_open = false;
  w.main().RefreshMainMenu();
  EXPECT_FALSE(Control(w.main(), "Download1")->isEnabled());
  EXPECT_FALSE(Control(w.main(), "toolbutdownload")->isEnabled());
  EXPECT_FALSE(Control<QToolButton>(w.main(), "bigcompilebut")->isEnabled());
  EXPECT_TRUE(Control(w.main(), "HardwareStatus1")->isEnabled());
  Control(w.main(), "HardwareStatus1")->trigger();
  EXPECT_EQ(w.runner.shown, std::vector<QString>{"statusform"});
}

}  // namespace
}  // namespace zmr::testing
