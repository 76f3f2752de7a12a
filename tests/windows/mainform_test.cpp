#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QToolButton>

#include "hardware/week_state.h"
#include "link/port_names.h"
#include "project/settings.h"
#include "support/project_fixtures.h"
#include "windows/mainform.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

void MakeReadOnly(const QString& path) { ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0); }

// Stores settings as a previous run would have left them.
void StoreSettings(World& w, const std::function<void(ProgramSettings&)>& change) {
  ProgramSettings settings;
  DefaultSettings(settings);
  change(settings);
  SaveSettings(settings, w.dir.folder());
}

TEST(StartUp, WithoutAProjectTheWelcomeDialogFollowsOnceAfterATenthOfASecond) {
  World w;
  TMainform& main = w.started();
  EXPECT_EQ(main.windowTitle(), "Zemra");
  EXPECT_EQ(QFileInfo(w.iniPath()).size(), 1539);  // created with the defaults
  EXPECT_FALSE(w.data->state.project_open);
  EXPECT_GE(w.prompts.process_events_calls, 1);  // the window is drawn before anything else
  EXPECT_TRUE(main.Timer1().isActive());
  EXPECT_TRUE(main.Timer1().isSingleShot());
  EXPECT_EQ(main.Timer1().interval(), 100);
  EXPECT_TRUE(w.runner.shown.empty());

  main.Timer1Timer();
  EXPECT_FALSE(main.Timer1().isActive());
  EXPECT_EQ(w.runner.shown, std::vector<QString>{"StartupForm"});
  EXPECT_EQ(w.data->settings.com_port, 1);
}

TEST(StartUp, WelcomeDialogStaysAwayWhenSwitchedOff) {
  World w;
  StoreSettings(w, [](ProgramSettings& s) { s.show_welcome = 0; });
  TMainform& main = w.started();
  main.Timer1Timer();
  EXPECT_TRUE(w.runner.shown.empty());
  EXPECT_TRUE(w.prompts.boxes.empty());
}

TEST(StartUp, ACommandLineProjectOpensWithoutTheWelcomeDialog) {
  TempDir projects;
  const QString path = projects.file("Hall.zmr");
  WriteEmptyProject(path);
  World w({path, projects.file("ignored.zmr")});
  TMainform& main = w.started();
  EXPECT_TRUE(w.data->state.project_open);
  EXPECT_EQ(main.windowTitle(), "Zemra " + path);
  EXPECT_FALSE(main.Timer1().isActive());
  EXPECT_TRUE(w.prompts.boxes.empty());
  EXPECT_EQ(w.data->settings.recent_projects[0].text(), path);
  EXPECT_EQ(Control(main, "menufile1")->text(), "&1 Hall.zmr");
  EXPECT_TRUE(Control(main, "Close1")->isEnabled());
}

// Started twice from the project's folder with a relative path, and once with the full
// one: one recent entry, and the caption and the list hold the absolute path.
TEST(StartUp, ARelativeCommandLinePathIsKeptAbsoluteSoOneFileHasOneRecentEntry) {
  TempDir projects;
  const QString path = projects.file("Hall.zmr");
  WriteEmptyProject(path);
  const QString previous = QDir::currentPath();
  QDir::setCurrent(projects.folder());
  World first({"Hall.zmr"});
  first.started();
  EXPECT_EQ(first.main().windowTitle(), "Zemra " + path);
  for (const QString& argument : {QStringLiteral("./Hall.zmr"), path}) {
    World again({argument});
    QFile::copy(first.iniPath(), again.iniPath());
    again.started();
    EXPECT_EQ(again.main().windowTitle(), "Zemra " + path) << argument.toStdString();
    EXPECT_EQ(again.data->settings.recent_projects[0].text(), path);
    EXPECT_EQ(again.data->settings.project_folder.text(), projects.folder());
    EXPECT_EQ(Control(again.main(), "menufile1")->text(), "&1 Hall.zmr");
    EXPECT_FALSE(Control(again.main(), "menufile2")->isVisible()) << argument.toStdString();
  }
  QDir::setCurrent(previous);
}

TEST(StartUp, ARefusedCommandLineProjectLeavesNoProjectAndNoWelcome) {
  TempDir projects;
  const QString invalid = projects.file("notes.zmr");
  WriteBytes(invalid, std::vector<std::uint8_t>(100, 1));
  const std::pair<QString, QString> cases[] = {
      {projects.file("missing.zmr"), "Project file not found!"},
      {invalid, "This is Not a valid project (.psf) file!"},
  };
  for (const auto& [path, text] : cases) {
    World w({path});
    TMainform& main = w.started();
    ASSERT_EQ(w.prompts.boxes.size(), 1u) << text.toStdString();
    EXPECT_EQ(w.prompts.boxes[0].text, text);
    EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Error);
    EXPECT_TRUE(w.prompts.boxes[0].beeped);
    EXPECT_FALSE(w.data->state.project_open);
    EXPECT_EQ(main.windowTitle(), "Zemra");
    EXPECT_FALSE(main.Timer1().isActive());
    EXPECT_TRUE(Control(main, "New1")->isEnabled());
  }
}

TEST(StartUp, AReadOnlyCommandLineProjectSaysSoInTheCaption) {
  TempDir projects;
  const QString path = projects.file("Hall.zmr");
  WriteEmptyProject(path);
  MakeReadOnly(path);
  World w({path});
  TMainform& main = w.started();
  EXPECT_EQ(main.windowTitle(), "Zemra " + path + " (Read Only)");
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Information);
  EXPECT_EQ(w.prompts.boxes[0].text, kReadOnlyProjectText);
  EXPECT_TRUE(w.data->state.project_readonly);
}

// The commands of the availability table.
TEST(MainMenu, AvailabilityFollowsWhetherAProjectIsOpen) {
  TempDir projects;
  WriteEmptyProject(projects.file("Hall.zmr"));
  World w;
  StoreSettings(w, [&](ProgramSettings& s) { s.recent_projects[0].setText(projects.file("Hall.zmr")); });
  TMainform& main = w.started();
  const auto ui = [&](const char* n) { return Control(main, n); };
  const auto check = [&](bool open) {
    SCOPED_TRACE(open ? "project open" : "no project");
    // New and Open (the recent entries too) close an open project first.
    for (QAction* a : {ui("New1"), ui("toolbutnew"), ui("Open1"), ui("toolbutopen"), ui("menufile1")}) {
      EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    }
    EXPECT_TRUE(Control<QToolButton>(main, "bignewbut")->isEnabled());
    EXPECT_TRUE(Control<QToolButton>(main, "bigopenbut")->isEnabled());
    for (QAction* a : {ui("SaveAs1"), ui("Close1"), ui("toolbutclose"), ui("Properties1"), ui("toolbutproperties"),
                       ui("Download1"), ui("toolbutdownload"), ui("toolbutpreview"), ui("toolbutprint"),
                       ui("TriggerDetails1"), ui("toolbuttrigsall")}) {
      EXPECT_EQ(a->isEnabled(), open) << a->objectName().toStdString();
    }
    EXPECT_EQ(Control<QToolButton>(main, "bigcompilebut")->isEnabled(), open);
    EXPECT_EQ(Control<QMenu>(main, "Print1")->isEnabled(), open);
    EXPECT_EQ(Control<QMenu>(main, "Triggers1")->menuAction()->isEnabled(), open);
    EXPECT_EQ(Control<QToolButton>(main, "bigtriggerdetailsbut")->isEnabled(), open);
    for (QAction* a : {ui("Ports1"), ui("clearhistorylist"), ui("Exit1"), ui("Help2"), ui("About1"),
                       ui("HardwareStatus1")}) {
      EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    }
  };
  check(false);
  w.data->state.project_open = true;
  main.RefreshMainMenu();
  check(true);
}

TEST(MainMenu, ToolButtonsCarryTheirTooltips) {
  World w;
  auto& main = w.main();
  const auto ui = [&](const char* n) { return Control(main, n); };
  EXPECT_EQ(ui("toolbutnew")->toolTip(), "Create a New Project");
  EXPECT_EQ(ui("toolbutopen")->toolTip(), "Open Existing Project");
  EXPECT_EQ(ui("toolbutclose")->toolTip(), "Close Current Project");
  EXPECT_EQ(ui("toolbutproperties")->toolTip(), "Display Current Project Properties");
  EXPECT_EQ(ui("toolbuttrigsall")->toolTip(), "Show Schedule Details");
  EXPECT_EQ(ui("toolbutdownload")->toolTip(), "Compile and Download");
  EXPECT_EQ(ui("ActivateBut")->toolTip(), "Activate ZMR");
  EXPECT_EQ(ui("DeactivateBut")->toolTip(), "De-Activate ZMR");
  EXPECT_TRUE(ui("toolbutpreview")->toolTip().isEmpty());
}

TEST(RecentProjects, OnlyEntriesWhoseFileExistsAreShown) {
  TempDir projects;
  const QString kept = projects.file("Hall.zmr");
  WriteEmptyProject(kept);
  World w;
  StoreSettings(w, [&](ProgramSettings& s) {
    s.recent_projects[0].setText(projects.file("gone1.zmr"));
    s.recent_projects[1].setText(projects.file("gone2.zmr"));
    s.recent_projects[2].setText(kept);
  });
  auto& main = w.started();
  const auto ui = [&](const char* n) { return Control(main, n); };
  EXPECT_TRUE(ui("nameline")->isVisible());
  EXPECT_TRUE(ui("menufile3")->isVisible());
  EXPECT_EQ(ui("menufile3")->text(), "&3 Hall.zmr");
  for (QAction* a : {ui("menufile1"), ui("menufile2"), ui("menufile4"), ui("menufile5")}) {
    EXPECT_FALSE(a->isVisible());
    EXPECT_TRUE(a->text().isEmpty());
  }

  // Entry 3 reopens its project: caption without colon; it moves to the head of the list.
  ui("menufile3")->trigger();
  EXPECT_TRUE(w.data->state.project_open);
  EXPECT_EQ(w.main().windowTitle(), "Zemra " + kept);
  EXPECT_EQ(w.data->settings.recent_projects[0].text(), kept);
  EXPECT_TRUE(ui("menufile1")->isEnabled());  // another entry closes this project first
}

TEST(RecentProjects, SameNamesInTwoFoldersAndAnAmpersandInAName) {
  TempDir a;
  TempDir b;
  WriteEmptyProject(a.file("Hall.zmr"));
  WriteEmptyProject(b.file("Hall.zmr"));
  WriteEmptyProject(b.file("R&D.zmr"));
  World w;
  StoreSettings(w, [&](ProgramSettings& s) {
    s.recent_projects[0].setText(a.file("Hall.zmr"));
    s.recent_projects[1].setText(b.file("Hall.zmr"));
    s.recent_projects[2].setText(b.file("R&D.zmr"));
  });
  auto& main = w.started();
  const auto ui = [&](const char* n) { return Control(main, n); };
  EXPECT_EQ(ui("menufile1")->text(), "&1 Hall.zmr");
  EXPECT_EQ(ui("menufile2")->text(), "&2 Hall.zmr");
  EXPECT_EQ(ui("menufile3")->text(), "&3 R&&D.zmr");
}

TEST(RecentProjects, AProjectInAFolderOfAnyScriptStaysInTheListAndReopens) {
  TempDir projects;
  const QString folder = projects.file(QString::fromUtf8("Звонки σχολείο 学校"));
  QDir().mkpath(folder);
  const QString path = folder + QString::fromUtf8("/Школа.zmr");
  WriteEmptyProject(path);
  World w({path});
  auto& main = w.started();
  ASSERT_TRUE(w.data->state.project_open);
  ProgramSettings stored;
  LoadSettings(stored, w.dir.folder());
  EXPECT_EQ(stored.recent_projects[0].text(), path);
  EXPECT_EQ(stored.project_folder.text(), folder + '/');
  Control(main, "Close1")->trigger();
  ASSERT_FALSE(w.data->state.project_open);
  EXPECT_EQ(Control(main, "menufile1")->text(), QString::fromUtf8("&1 Школа.zmr"));
  EXPECT_TRUE(Control(main, "menufile1")->isVisible());
  Control(main, "menufile1")->trigger();
  EXPECT_TRUE(w.data->state.project_open);
  EXPECT_EQ(main.windowTitle(), "Zemra " + path);
  EXPECT_TRUE(w.prompts.boxes.empty());
}

TEST(RecentProjects, AnEntryWhoseFileVanishedAfterTheMenuWasBuiltSaysSo) {
  TempDir projects;
  const QString path = projects.file("Hall.zmr");
  WriteEmptyProject(path);
  World w;
  StoreSettings(w, [&](ProgramSettings& s) { s.recent_projects[0].setText(path); });
  auto& main = w.started();
  QFile::remove(path);
  Control(main, "menufile1")->trigger();
  EXPECT_EQ(w.prompts.texts(), std::vector<QString>{"Project file not found!"});
  EXPECT_FALSE(w.data->state.project_open);
}

TEST(RecentProjects, ClearingTheHistoryHidesEveryEntryNowAndAtTheNextStart) {
  TempDir projects;
  WriteEmptyProject(projects.file("Hall.zmr"));
  World w;
  StoreSettings(w, [&](ProgramSettings& s) {
    s.recent_projects[0].setText(projects.file("Hall.zmr"));
    s.com_port = 4;
  });
  auto& main = w.started();
  Control(main, "clearhistorylist")->trigger();
  EXPECT_FALSE(Control(main, "menufile1")->isVisible());
  EXPECT_FALSE(Control(main, "nameline")->isVisible());
  ProgramSettings stored;
  LoadSettings(stored, w.dir.folder());
  for (const auto& entry : stored.recent_projects) {
    EXPECT_TRUE(entry.empty());
  }
  EXPECT_EQ(stored.com_port, 4);
}

TEST(ProjectCommands, OpenUsesTheDialogCaptionWithAColon) {
  TempDir projects;
  const QString path = projects.file("Hall.zmr");
  WriteEmptyProject(path);
  World w;
  auto& main = w.started();
  w.prompts.file_answers.push_back(path);
  Control<QToolButton>(main, "bigopenbut")->click();
  EXPECT_EQ(main.windowTitle(), "Zemra: " + path);
  ASSERT_EQ(w.prompts.file_requests.size(), 1u);
  EXPECT_EQ(w.prompts.file_requests[0].filter, "project setup file (*.zmr)|*.zmr");
}

TEST(ProjectCommands, CloseAsksOnlyWhileTheProjectChangedSinceTheLastDownload) {
  TempDir projects;
  const QString path = projects.file("Hall.zmr");
  WriteEmptyProject(path);
  World w({path});
  auto& main = w.started();
  w.data->state.project_changed = true;

  w.prompts.answers.push_back(BoxAnswer::No);
  Control(main, "Close1")->trigger();
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Warning);
  EXPECT_EQ(w.prompts.boxes[0].buttons, BoxButtons::YesNo);
  EXPECT_TRUE(w.prompts.boxes[0].beeped);
  EXPECT_EQ(w.prompts.boxes[0].text,
            "The current project has changed, but was not downloaded, are you sure you want to close the project?");
  EXPECT_TRUE(w.data->state.project_open);
  EXPECT_TRUE(w.data->state.project_changed);

  w.prompts.answers.push_back(BoxAnswer::Yes);
  Control(main, "toolbutclose")->trigger();
  EXPECT_FALSE(w.data->state.project_open);
  EXPECT_FALSE(w.data->state.project_changed);
  EXPECT_EQ(main.windowTitle(), "Zemra");
  EXPECT_TRUE(Control(main, "menufile1")->isEnabled());
  EXPECT_TRUE(Control(main, "New1")->isEnabled());
  EXPECT_EQ(w.data->state.project_path, path);  // Close keeps the path

  // Reopened and unchanged (as after a download): Close asks nothing.
  Control(main, "menufile1")->trigger();
  main.CloseProject();
  EXPECT_EQ(w.prompts.boxes.size(), 2u);
  EXPECT_FALSE(w.data->state.project_open);
}

TEST(ProjectCommands, ExitAsksWhileTheProjectChangedAndNoKeepsTheProgramRunning) {
  World w;
  auto& main = w.started();
  EXPECT_TRUE(main.FormCloseQuery());
  EXPECT_TRUE(w.prompts.boxes.empty());

  w.data->state.project_changed = true;
  w.prompts.answers = {BoxAnswer::No, BoxAnswer::Yes};
  main.show();
  main.Exit1Click();
  EXPECT_TRUE(main.isVisible());
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].text,
            "The current project has changed, but was not downloaded.\r\n"
            "Are you sure you want to exit without downloading the current Project?");
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Warning);
  EXPECT_TRUE(w.prompts.boxes[0].beeped);
  main.Exit1Click();
  EXPECT_FALSE(main.isVisible());
}

// A project whose exact week the record says the timer on its port holds was downloaded,
// whoever sent it (Apply now, zmrctl): Close and Exit then do not warn.
TEST(ProjectCommands, AWeekTheTimerIsRecordedToHoldCountsAsDownloaded) {
  World w;
  w.started();
  auto other = std::make_unique<ProjectSetup>(w.data->project);
  AddPulse(*other, 1, 1, 8, 0, 5);
  const struct {
    const char* what;
    const ProjectSetup* held;  // what the record says the timer holds; null: no record
    int port;
    bool warns;
  } cases[] = {
      {"no record", nullptr, 1, true},
      {"another week", other.get(), 1, true},
      {"this week on another port", &w.data->project, 2, true},
      {"this week on its port", &w.data->project, 1, false},
  };
  for (const auto& c : cases) {
    w.console.state_folder = w.dir.file(QString("state-") + c.what);
    if (c.held != nullptr) {
      ASSERT_EQ(RecordDownload(w.console.state_folder, TimerKeyOf(PortName(c.port)), *c.held,
                               QDateTime::currentDateTime()),
                "");
    }
    w.data->state.project_open = true;
    w.data->state.project_changed = true;
    w.prompts.boxes.clear();
    w.prompts.answers = {BoxAnswer::No, BoxAnswer::No};
    EXPECT_EQ(w.main().FormCloseQuery(), !c.warns) << c.what;
    w.main().CloseProject();
    EXPECT_EQ(w.data->state.project_open, c.warns) << c.what;
    const std::vector<QString> warned{kExitChangedText, kCloseChangedText};
    EXPECT_EQ(w.prompts.texts(), c.warns ? warned : std::vector<QString>{}) << c.what;
  }
}

TEST(ProjectCommands, HelpOpensThePageBesideTheProgram) {
  World w;
  Control(w.started(), "Help2")->trigger();
  EXPECT_EQ(w.prompts.opened, std::vector<QString>{w.dir.folder() + "HTMLHelp/default.htm"});
}

}  // namespace
}  // namespace zmr::testing
