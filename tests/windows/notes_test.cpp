// Commands that succeed say so in a note inside their window that goes away by itself:
// no box, no beep, the keyboard focus left where it was. A command that did nothing
// leaves no note.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "hardware/ui/status.h"
#include "report/ui/printschedule.h"
#include "support/exchange_fixtures.h"
#include "support/sim_port.h"
#include "ui/transient_note.h"
#include "windows/mainform.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

// The note a window shows now; empty when none is up.
QString NoteText(QWidget& window) {
  auto* note = window.findChild<TransientNote*>("note");
  return note != nullptr && !note->isHidden() ? note->text() : QString();
}

// The note's time runs out: it is gone.
void NoteTimesOut(QWidget& window) {
  auto* note = window.findChild<TransientNote*>("note");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->hideTimer().interval(), TransientNote::kShownMs);
  EXPECT_TRUE(note->hideTimer().isActive());
  note->hideTimer().start(1);
  QTest::qWait(30);
  EXPECT_TRUE(note->isHidden());
}

TEST(Notes, TheStatusDialogsThreeCommandsSaySoWhenTheyWorked) {
  SimulatedLink sim;
  World w{{}, &sim.link};
  w.started();
  Tstatusform& form = w.windows().statusform();
  w.runner.scripts.push_back([&](ConsoleDialog&) {
    form.ShowTimer().stop();
    form.ShowTimerTimer();
  });
  Control(w.main(), "HardwareStatus1")->trigger();

  const struct {
    const char* button;
    QString note;
  } cases[] = {
      {"updatebut", kClockSetNote},
      {"Testringbellbut", kOutputTestedNote},
      {"BitBtn1", kReportCopiedNote},
  };
  for (const auto& c : cases) {
    QWidget* focus_before = form.focusWidget();
    const int beeps = w.prompts.beeps;
    Control<QPushButton>(form, c.button)->click();
    EXPECT_EQ(NoteText(form), c.note) << c.button;
    EXPECT_EQ(w.prompts.beeps, beeps) << c.button;
    EXPECT_TRUE(w.prompts.boxes.empty()) << c.button;
    EXPECT_EQ(form.focusWidget(), focus_before) << c.button;
    NoteTimesOut(form);
  }

  // A timer that does not answer: the box says so, and no note says otherwise.
  sim.port.attach("COM1", SilentDevice());
  for (const char* button : {"updatebut", "Testringbellbut"}) {
    Control<QPushButton>(form, button)->click();
    EXPECT_EQ(NoteText(form), "") << button;
  }
  EXPECT_EQ(w.prompts.texts(), (std::vector<QString>{kTimerNotFoundText, kTimerNotFoundText}));
}

TEST(Notes, ExportImportAndThePdfSayWhereTheyWentInTheMainWindow) {
  TempDir projects;
  const QString path = projects.file("Hall.zmr");
  WriteEmptyProject(path);
  World w{{path}};
  w.started();
  TMainform& main = w.main();
  const std::string csv = "day,time,pulse,kind,title\nFri,13:10,6,,Lunch\nMon,8:00,5,,Start\n";
  WriteBytes(projects.file("week.csv"), {csv.begin(), csv.end()});

  const struct {
    const char* command;
    QString answer;  // the file the dialog gives
    QString note;
  } cases[] = {
      {"ExportSchedule1", projects.file("Hall.csv"), "The week was exported to Hall.csv."},
      {"ImportSchedule1", projects.file("week.csv"), "The week now holds the 2 events from week.csv."},
      {"printpdf", projects.file("Hall.pdf"), "The schedule report was saved as Hall.pdf."},
      {"listpdf", projects.file("Hall list.pdf"), "The week list was saved as Hall list.pdf."},
  };
  for (const auto& c : cases) {
    const int beeps = w.prompts.beeps;
    w.prompts.file_answers.push_back(c.answer);
    Control(main, c.command)->trigger();
    EXPECT_EQ(NoteText(main), c.note) << c.command;
    EXPECT_EQ(w.prompts.beeps, beeps + (std::string(c.command) == "ImportSchedule1" ? 1 : 0)) << c.command;
    NoteTimesOut(main);

    // Cancelled in the file dialog: nothing done, nothing noted.
    w.prompts.file_answers.push_back(std::nullopt);
    Control(main, c.command)->trigger();
    EXPECT_EQ(NoteText(main), "") << c.command;
  }
  EXPECT_EQ(w.prompts.boxes.size(), 1u);  // only the import's question
}

}  // namespace
}  // namespace zmr::testing
