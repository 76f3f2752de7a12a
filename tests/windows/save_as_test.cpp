// Save As makes the exam week from the usual week: the open project under a new name,
// opened in its place. New and Open while a project is open close it first, asking as
// Close does.
#include "project/save_as.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFileInfo>
#include <QToolButton>
#include <cstring>

#include "base/errors.h"
#include "ui/transient_note.h"
#include "windows/mainform.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

QString NoteText(QWidget& window) {
  auto* note = window.findChild<TransientNote*>("note");
  return note != nullptr && !note->isHidden() ? note->text() : QString();
}

struct UsualWeek {
  UsualWeek() {
    ProjectSetup& p = *week;
    ResetProject(p);
    p.summary.title.setText("Usual week");
    for (int d = 1; d <= 5; ++d) {
      AddPulse(p, d, 1, 8, 0, 5, "First lesson");
    }
    WriteProject(path, p);
  }
  TempDir projects;
  QString path = projects.file("Usual week.zmr");
  std::unique_ptr<ProjectSetup> week = std::make_unique<ProjectSetup>();
};

TEST(SaveAs, WritesTheOpenProjectUnderANewNameAndOpensThatCopy) {
  for (const bool changed : {false, true}) {
    SCOPED_TRACE(changed ? "not downloaded" : "downloaded");
    UsualWeek usual;
    World w({usual.path});
    TMainform& main = w.started();
    w.data->state.project_changed = changed;
    const QString exams = usual.projects.file("Exam week.zmr");
    w.prompts.file_answers.push_back(exams);
    Control(main, "SaveAs1")->trigger();

    ASSERT_EQ(w.prompts.file_requests.size(), 1u);
    const FileDialogRequest& asked = w.prompts.file_requests[0];
    EXPECT_EQ(asked.caption, "Save Project As");
    EXPECT_EQ(asked.initial_folder, usual.projects.folder());
    EXPECT_EQ(asked.proposed_name, "Usual week");
    EXPECT_EQ(asked.default_suffix, "zmr");
    EXPECT_EQ(asked.filter, kProjectFilter);
    ProjectSetup copy{};
    ASSERT_EQ(ReadProjectFile(exams, copy, w.prompts), OpenOutcome::Opened);
    EXPECT_EQ(std::memcmp(&copy.week, &usual.week->week, sizeof copy.week), 0);
    EXPECT_EQ(copy.summary.title.text(), "Exam week");  // the title was the file's name: it follows
    EXPECT_EQ(w.data->project.summary.title.text(), "Exam week");
    EXPECT_EQ(w.data->state.project_path, exams);
    EXPECT_TRUE(w.data->state.project_open);
    EXPECT_EQ(w.data->state.project_changed, changed);  // the same week as before
    EXPECT_EQ(main.windowTitle(), "Zemra: " + exams);
    EXPECT_EQ(w.data->settings.recent_projects[0].text(), exams);
    EXPECT_EQ(w.data->settings.recent_projects[1].text(), usual.path);
    EXPECT_EQ(Control(main, "menufile2")->text(), "&2 Usual week.zmr");
    EXPECT_EQ(NoteText(main), "The project was saved as Exam week.zmr.");
    EXPECT_TRUE(w.prompts.boxes.empty());

    // Edits go to the copy; the usual week stays as it was.
    AddPulse(w.data->project, 1, 2, 9, 0, 3, "Exam starts");
    SaveProject(*w.data);
    EXPECT_NE(ReadBytes(exams), ReadBytes(usual.path));
    ProjectSetup back{};
    ASSERT_EQ(ReadProjectFile(usual.path, back, w.prompts), OpenOutcome::Opened);
    EXPECT_TRUE(back.slot(1, 2).isEmptyKind());
  }
}

TEST(SaveAs, ATitleOtherThanTheFileNameOrOneATitleMayNotHoldStaysAsItWas) {
  const struct {
    const char* title;
    const char* file;
    const char* kept;
  } cases[] = {{"Main building bells", "Exam week.zmr", "Main building bells"},
               {"Usual week", "Exams 2.0.zmr", "Usual week"},  // "." may not be in a title
               {"Usual week", "Exams, May.zmr", "Usual week"},
               {"Usual week", "Exams May.zmr", "Exams May"}};
  for (const auto& c : cases) {
    UsualWeek usual;
    usual.week->summary.title.setText(c.title);
    WriteProject(usual.path, *usual.week);
    World w({usual.path});
    w.started();
    w.prompts.file_answers.push_back(usual.projects.file(c.file));
    w.main().SaveAs1Click();
    EXPECT_EQ(w.data->project.summary.title.text(), c.kept) << c.file;
  }
}

TEST(SaveAs, ACancelAFailedWriteOrNoProjectLeaveEverythingAsItWas) {
  UsualWeek usual;
  World w({usual.path});
  TMainform& main = w.started();
  const QString caption = main.windowTitle();
  w.prompts.file_answers = {std::nullopt, usual.projects.file("no such folder/Exam week.zmr")};
  main.SaveAs1Click();
  EXPECT_EQ(NoteText(main), "");
  EXPECT_THROW(main.SaveAs1Click(), IoError);
  EXPECT_EQ(w.data->state.project_path, usual.path);
  EXPECT_EQ(w.data->project.summary.title.text(), "Usual week");  // the record as it was
  EXPECT_EQ(main.windowTitle(), caption);
  EXPECT_EQ(w.data->settings.recent_projects[0].text(), usual.path);
  EXPECT_EQ(NoteText(main), "");

  main.CloseProject();
  EXPECT_FALSE(Control(main, "SaveAs1")->isEnabled());
  RecordingView view;
  EXPECT_EQ(SaveProjectAs(*w.data, w.prompts, view), std::nullopt);
  EXPECT_EQ(w.prompts.file_requests.size(), 2u);  // no dialog without a project
}

TEST(SaveAs, AReadOnlyProjectGivesAnEditableCopy) {
  UsualWeek usual;
  ASSERT_EQ(chmod(QFile::encodeName(usual.path).constData(), 0444), 0);
  World w({usual.path});
  TMainform& main = w.started();
  ASSERT_TRUE(w.data->state.project_readonly);
  const QString copy = usual.projects.file("Exam week.zmr");
  w.prompts.file_answers.push_back(copy);
  main.SaveAs1Click();
  EXPECT_FALSE(w.data->state.project_readonly);
  EXPECT_EQ(main.windowTitle(), "Zemra: " + copy);
  // Over itself the read-only file is refused with the system's text.
  w.prompts.file_answers.push_back(usual.path);
  EXPECT_THROW(main.SaveAs1Click(), IoError);
  EXPECT_EQ(w.data->state.project_path, copy);
}

TEST(ReplacingTheProject, NewOpenAndTheRecentEntriesCloseTheOpenProjectFirstAskingAsCloseDoes) {
  const struct {
    const char* command;
    std::string shows;  // what the command shows once the project is closed
  } commands[] = {{"Open1", "open-dialog"},
                  {"toolbutopen", "open-dialog"},
                  {"New1", "newprojectform"},
                  {"bignewbut", "newprojectform"},
                  {"menufile2", "reopened"}};
  const struct {
    bool changed;
    std::optional<BoxAnswer> answer;  // the Close question, when asked
    bool closes;
  } cases[] = {{false, std::nullopt, true}, {true, BoxAnswer::No, false}, {true, BoxAnswer::Yes, true}};
  for (const auto& command : commands) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(command.command) + (c.changed ? " changed" : "") +
                   (c.answer == BoxAnswer::No ? " No" : ""));
      UsualWeek usual;
      const QString other = usual.projects.file("Other.zmr");
      WriteEmptyProject(other);
      World w({other});
      w.started();
      w.data->state.project_path = usual.path;  // then Usual week is open, Other.zmr entry 2
      ASSERT_EQ(OpenProjectFile(*w.data, w.prompts, w.main()), OpenOutcome::Opened);
      w.data->state.project_changed = c.changed;
      w.prompts.log.clear();
      w.runner.shown.clear();
      if (c.answer) {
        w.prompts.answers.push_back(*c.answer);
      }
      if (std::string(command.command) == "bignewbut") {
        Control<QToolButton>(w.main(), command.command)->click();
      } else {
        Control(w.main(), command.command)->trigger();
      }
      std::vector<std::string> expected;
      if (c.changed) {
        expected = {"beep", "warning?: " + kCloseChangedText.toStdString()};
      }
      std::vector<std::string> happened = w.prompts.log;
      for (const QString& shown : w.runner.shown) {
        happened.push_back(shown.toStdString());
      }
      if (w.data->state.project_open && w.data->state.project_path == other) {
        happened.push_back("reopened");
      }
      if (c.closes) {
        expected.push_back(command.shows);
      }
      EXPECT_EQ(happened, expected);
      EXPECT_EQ(w.data->state.project_open, !c.closes || command.shows == "reopened");
      if (!c.closes) {
        EXPECT_EQ(w.data->state.project_path, usual.path);
        EXPECT_TRUE(w.data->state.project_changed);
      }
    }
  }
}

}  // namespace
}  // namespace zmr::testing
