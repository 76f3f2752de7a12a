#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QMenu>
#include <cstring>

#include "editor/editor_texts.h"
#include "support/exchange_fixtures.h"
#include "windows/mainform.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

QStringList ProjectMenuNames(TMainform& main) {
  QStringList names;
  for (QAction* a : Control<QMenu>(main, "Project1")->actions()) {
    names << (a->menu() != nullptr ? a->menu()->objectName() : a->objectName());
  }
  return names;
}

// The console started on Hall.zmr, and a CSV file beside the project to import.
struct HallWindow {
  explicit HallWindow(const ProjectSetup* project = nullptr) {
    if (project != nullptr) {
      WriteProject(path, *project);
    } else {
      WriteEmptyProject(path);
    }
    w.started();
  }
  void import(const std::string& csv) {
    WriteBytes(projects.file("week.csv"), {csv.begin(), csv.end()});
    w.prompts.file_answers.push_back(projects.file("week.csv"));
    Control(w.main(), "ImportSchedule1")->trigger();
  }

  TempDir projects;
  QString path = projects.file("Hall.zmr");
  World w{{path}};
};

TEST(ScheduleExchangeMenu, SitsAfterPropertiesAndFollowsTheProjectState) {
  TempDir projects;
  const QString path = projects.file("Hall.zmr");
  WriteEmptyProject(path);
  World w({path});
  TMainform& main = w.main();
  const QStringList names = ProjectMenuNames(main);
  const qsizetype at = names.indexOf("Properties1");
  ASSERT_GE(at, 0);
  EXPECT_EQ(names.mid(at, 3), (QStringList{"Properties1", "ExportSchedule1", "ImportSchedule1"}));
  QAction* exporting = Control(main, "ExportSchedule1");
  QAction* importing = Control(main, "ImportSchedule1");
  EXPECT_EQ(exporting->text().remove('&'), "Export Schedule (CSV) ...");
  EXPECT_EQ(importing->text().remove('&'), "Import Schedule (CSV) ...");

  w.started();  // opens the command-line project
  EXPECT_TRUE(exporting->isEnabled());
  EXPECT_TRUE(importing->isEnabled());
  main.CloseProject();
  EXPECT_FALSE(exporting->isEnabled());
  EXPECT_FALSE(importing->isEnabled());

  ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
  Control(main, "menufile1")->trigger();
  ASSERT_TRUE(w.data->state.project_readonly);
  EXPECT_TRUE(exporting->isEnabled());
  EXPECT_FALSE(importing->isEnabled());
}

TEST(ScheduleExchangeMenu, ImportAsksReplacesSavesAndArmsTheCloseWarning) {
  HallWindow hall;
  World& w = hall.w;
  hall.import("day,time,pulse,kind,title\nFri,13:10,6,,Lunch\n");
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.log, (std::vector<std::string>{
                               "open-dialog", "beep",
                               "warning?: Replace the whole week of this project with the 1 event in week.csv?\r\n"
                               "The events now in the schedule will be lost."}));
  EXPECT_EQ(EventText(w.data->project.slot(5, 1)), "13:10, 6");
  EXPECT_TRUE(w.data->state.project_changed);
  auto on_disk = std::make_unique<ProjectSetup>();
  const std::vector<std::uint8_t> bytes = ReadBytes(hall.path);
  ASSERT_EQ(bytes.size(), kProjectFileSize);
  std::memcpy(on_disk.get(), bytes.data(), kProjectFileSize);
  EXPECT_EQ(on_disk->slot(5, 1).title.text(), "Lunch");

  w.prompts.answers.push_back(BoxAnswer::No);
  Control(w.main(), "Close1")->trigger();  // changed since the last download: Close warns
  EXPECT_EQ(w.prompts.boxes.back().text, kCloseChangedText);
  EXPECT_TRUE(w.data->state.project_open);
}

TEST(ScheduleExchangeMenu, ARefusedImportListsItsFaultsInOneBox) {
  HallWindow hall;
  World& w = hall.w;
  const std::vector<std::uint8_t> before = ReadBytes(hall.path);
  hall.import("day,time,pulse,kind,title\nFri,13:10,6,,Lunch\nFri,13:10,6,,Twice\nXmas,1:00,1,,\n");
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Error);
  EXPECT_TRUE(w.prompts.boxes[0].text.contains("week.csv line 3: " + kTimeExistsText + "\r\nweek.csv line 4: "));
  EXPECT_EQ(ReadBytes(hall.path), before);
  EXPECT_FALSE(w.data->state.project_changed);
}

TEST(ScheduleExchangeMenu, ExportWritesTheChosenFile) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  AddPulse(*project, 2, 1, 8, 0, 5, "Start");
  HallWindow hall(project.get());
  World& w = hall.w;
  w.prompts.file_answers.push_back(hall.projects.file("Hall.csv"));
  Control(w.main(), "ExportSchedule1")->trigger();
  const std::vector<std::uint8_t> bytes = ReadBytes(hall.projects.file("Hall.csv"));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "day,time,pulse,kind,title\nTue,08:00,5,Pulse,Start\n");
  EXPECT_EQ(w.prompts.file_requests.at(0).proposed_name, "Hall.csv");
  EXPECT_TRUE(w.prompts.boxes.empty());
}

}  // namespace
}  // namespace zmr::testing
