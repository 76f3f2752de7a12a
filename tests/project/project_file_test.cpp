#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include "base/errors.h"
#include "project/project_file.h"
#include "support/file_size_limit.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

class ProjectFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<ConsoleData> data = MakeConsoleData(dir.folder());
  RecordingPrompts prompts;
  RecordingView view;

  OpenOutcome OpenByPath(const QString& path) {
    data->state.project_path = path;
    return OpenProjectFile(*data, prompts, view);
  }
  std::vector<std::uint8_t> Record() const {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&data->project);
    return {raw, raw + sizeof(ProjectSetup)};
  }
};

TEST_F(ProjectFileTest, OpensAValidFileAndRecordsItAmongTheRecentProjects) {
  const QString path = dir.file("Hall.zmr");
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  AddPulse(*project, 1, 1, 7, 30, 5, "Assembly");
  WriteProject(path, *project);

  EXPECT_EQ(OpenByPath(path), OpenOutcome::Opened);
  EXPECT_TRUE(data->state.project_open);
  EXPECT_FALSE(data->state.project_readonly);
  EXPECT_EQ(view.caption, "Zemra " + path);
  EXPECT_EQ(view.refreshes, 1);
  EXPECT_TRUE(prompts.boxes.empty());
  EXPECT_EQ(data->project.slot(1, 1).title.text(), "Assembly");
  EXPECT_EQ(data->settings.recent_projects[0].text(), path);
  EXPECT_EQ(data->settings.project_folder.text(), dir.folder());

  ProgramSettings saved;
  LoadSettings(saved, dir.folder());  // the open saved the settings
  EXPECT_EQ(saved.recent_projects[0].text(), path);
  EXPECT_EQ(saved.project_folder.text(), dir.folder());
}

// Puts the current folder back on every way out.
class CurrentFolder {
 public:
  explicit CurrentFolder(const QString& folder) : previous_(QDir::currentPath()) { QDir::setCurrent(folder); }
  ~CurrentFolder() { QDir::setCurrent(previous_); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  QString previous_;
};

TEST_F(ProjectFileTest, EverySpellingOfOnePathOpensAsOneAbsoluteCleanPath) {
  QDir(dir.folder()).mkpath("sub");
  const QString path = dir.file("Hall.zmr");
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  WriteProject(path, *project);
  const CurrentFolder here(dir.folder());
  const QString spellings[] = {"Hall.zmr", "./Hall.zmr", "sub/../Hall.zmr", "sub//..//./Hall.zmr",
                               dir.folder() + "sub/../Hall.zmr", path};
  for (const QString& spelling : spellings) {
    EXPECT_EQ(OpenByPath(spelling), OpenOutcome::Opened) << spelling.toStdString();
    EXPECT_EQ(data->state.project_path, path) << spelling.toStdString();
    EXPECT_EQ(view.caption, "Zemra " + path) << spelling.toStdString();
    EXPECT_EQ(data->settings.project_folder.text(), dir.folder()) << spelling.toStdString();
  }
  EXPECT_EQ(data->settings.recent_projects[0].text(), path);
  EXPECT_TRUE(data->settings.recent_projects[1].text().isEmpty()) << data->settings.recent_projects[1].text().toStdString();

  // Through the open dialog too.
  prompts.file_answers.push_back(QStringLiteral("sub/../Hall.zmr"));
  EXPECT_EQ(OpenProjectDialog(*data, prompts, view), OpenOutcome::Opened);
  EXPECT_EQ(data->state.project_path, path);
  EXPECT_TRUE(data->settings.recent_projects[1].text().isEmpty());
  EXPECT_EQ(AbsoluteCleanPath(""), "");
}

TEST_F(ProjectFileTest, TheOpenDialogGivesTheColonCaptionAndStartsInTheProjectFolder) {
  const QString path = dir.file("Hall.zmr");
  WriteEmptyProject(path);
  data->settings.project_folder.setText(dir.folder());
  prompts.file_answers.push_back(path);
  EXPECT_EQ(OpenProjectDialog(*data, prompts, view), OpenOutcome::Opened);
  EXPECT_EQ(view.caption, "Zemra: " + path);
  ASSERT_EQ(prompts.file_requests.size(), 1u);
  EXPECT_EQ(prompts.file_requests[0].initial_folder, dir.folder());
  EXPECT_EQ(prompts.file_requests[0].filter, "project setup file (*.zmr)|*.zmr");
  EXPECT_EQ(prompts.file_requests[0].default_suffix, "zmr");
}

TEST_F(ProjectFileTest, TheOpenDialogCancelledOrNamingNoFile) {
  data->settings.project_folder.setText("my documents");  // not a folder here: no initial folder
  EXPECT_EQ(OpenProjectDialog(*data, prompts, view), OpenOutcome::Cancelled);
  EXPECT_TRUE(prompts.file_requests[0].initial_folder.isEmpty());
  EXPECT_TRUE(prompts.boxes.empty());

  prompts.file_answers.push_back(dir.file("typed.zmr"));
  EXPECT_EQ(OpenProjectDialog(*data, prompts, view), OpenOutcome::NotValid);
  EXPECT_EQ(prompts.log.back(), "error: This is Not a valid project (.psf) file!");
  EXPECT_TRUE(prompts.boxes.back().beeped);
  EXPECT_EQ(data->state.project_path, dir.file("typed.zmr"));
  EXPECT_FALSE(data->state.project_open);
}

TEST_F(ProjectFileTest, RefusesMissingFilesWrongSizesAndWrongTags) {
  EXPECT_EQ(OpenByPath(dir.file("missing.zmr")), OpenOutcome::NotFound);
  EXPECT_EQ(prompts.log, (std::vector<std::string>{"beep", "error: Project file not found!"}));

  auto good = std::make_unique<ProjectSetup>();
  ResetProject(*good);
  std::vector<std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(good.get()),
                                  reinterpret_cast<const std::uint8_t*>(good.get()) + sizeof(ProjectSetup));
  for (std::size_t size : {95069u, 95071u}) {
    auto sized = bytes;
    sized.resize(size, 0);
    WriteBytes(dir.file("sized.zmr"), sized);
    EXPECT_EQ(OpenByPath(dir.file("sized.zmr")), OpenOutcome::NotValid) << size;
    EXPECT_EQ(prompts.log.back(), "error: This is Not a valid project (.psf) file!");
  }
  for (std::size_t tag_count_at : {94080u, 95062u}) {
    auto tagged = bytes;
    tagged[tag_count_at] = 8;  // "KOLVAR1"/"KOLVAR2" with another count byte
    tagged[5] = 0x42;          // and something to show the record was read
    WriteBytes(dir.file("tags.zmr"), tagged);
    prompts.boxes.clear();
    EXPECT_EQ(OpenByPath(dir.file("tags.zmr")), OpenOutcome::NotValid);
    ASSERT_EQ(prompts.texts(), std::vector<QString>{"This is Not a valid project (.psf) file!"});
    EXPECT_TRUE(prompts.boxes[0].beeped);
    EXPECT_EQ(Record()[5], 0x42);  // the rejected bytes stand in the record
  }
  EXPECT_FALSE(data->state.project_open);
  EXPECT_EQ(view.refreshes, 0);
  EXPECT_EQ(data->settings.recent_projects[0].size(), 0u);
}

TEST_F(ProjectFileTest, AnUnsortedFileOpensAsStored) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  AddPulse(*project, 4, 2, 10, 0, 5);  // slot 1 empty, then a late event before an early one
  AddPulse(*project, 4, 3, 6, 0, 5);
  WriteProject(dir.file("odd.zmr"), *project);
  EXPECT_EQ(OpenByPath(dir.file("odd.zmr")), OpenOutcome::Opened);
  EXPECT_TRUE(data->project.slot(4, 1).isEmptyKind());
  EXPECT_EQ(EventText(data->project.slot(4, 2)), "10:00, 5");
  EXPECT_EQ(EventText(data->project.slot(4, 3)), "06:00, 5");
}

TEST_F(ProjectFileTest, AReadOnlyFileOpensViewOnlyAndIsNeverWritten) {
  const QString path = dir.file("locked.zmr");
  WriteEmptyProject(path);
  ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
  const auto before = ReadBytes(path);

  EXPECT_EQ(OpenByPath(path), OpenOutcome::Opened);
  EXPECT_TRUE(data->state.project_readonly);
  EXPECT_EQ(view.caption, "Zemra " + path + " (Read Only)");
  EXPECT_EQ(prompts.log, (std::vector<std::string>{
                             "beep", "info: The Project Setup File is Read Only! The project can only be "
                                     "viewed \"as is\", and cannot be edited."}));

  AddPulse(data->project, 1, 1, 8, 0, 3);
  SaveProject(*data);
  EXPECT_FALSE(data->state.project_changed);
  EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(ProjectFileTest, SaveWritesTheWholeRecordInPlaceAndMarksTheProjectChanged) {
  const QString path = dir.file("edit.zmr");
  WriteEmptyProject(path);
  ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0640), 0);
  ASSERT_EQ(OpenByPath(path), OpenOutcome::Opened);

  AddPulse(data->project, 3, 1, 12, 0, 5, "Lunch");
  SaveProject(*data);
  EXPECT_TRUE(data->state.project_changed);
  EXPECT_EQ(ReadBytes(path), Record());
  struct stat st {};
  ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the file keeps its permissions

  // Nothing happens without an open project.
  data->state.project_open = false;
  data->state.project_changed = false;
  AddPulse(data->project, 3, 2, 13, 0, 5);
  SaveProject(*data);
  EXPECT_FALSE(data->state.project_changed);
  EXPECT_NE(ReadBytes(path), Record());
}

TEST_F(ProjectFileTest, SaveNeverRecreatesAVanishedFileNorWritesOneMadeReadOnly) {
  const QString path = dir.file("gone.zmr");
  WriteEmptyProject(path);
  ASSERT_EQ(OpenByPath(path), OpenOutcome::Opened);

  ASSERT_TRUE(QFile::remove(path));
  try {
    SaveProject(*data);
    FAIL() << "saved over a vanished file";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_FALSE(data->state.project_changed);

  WriteEmptyProject(path);
  const auto before = ReadBytes(path);
  ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
  AddPulse(data->project, 1, 1, 9, 0, 2);
  try {
    SaveProject(*data);
    FAIL() << "saved over a read-only file";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "File access denied");
  }
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_FALSE(data->state.project_changed);
}

TEST_F(ProjectFileTest, AFailedSaveLeavesTheOldFileWhole) {
  const QString path = dir.file("full.zmr");
  WriteEmptyProject(path);
  ASSERT_EQ(OpenByPath(path), OpenOutcome::Opened);
  const auto before = ReadBytes(path);
  AddPulse(data->project, 5, 1, 16, 45, 10);
  {
    FileSizeLimit limit(4096);  // the disk fills up part-way through the record
    EXPECT_THROW(SaveProject(*data), IoError);
  }
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_FALSE(data->state.project_changed);
  EXPECT_EQ(QDir(dir.folder()).entryList({"full.zmr*"}, QDir::Files), QStringList({"full.zmr"}));
}

TEST_F(ProjectFileTest, CreateOrReplaceWritesANewFileOrReplacesAnOldOne) {
  const QString path = dir.file("new.zmr");
  data->state.project_path = path;
  ResetProject(data->project);
  data->project.summary.title.setText("New");
  WriteProjectFile(*data);
  EXPECT_EQ(ReadBytes(path), Record());
  auto reread = std::make_unique<ProjectSetup>();
  EXPECT_EQ(ReadProjectFile(path, *reread, prompts), OpenOutcome::Opened);
  EXPECT_FALSE(data->state.project_changed);

  WriteBytes(path, {1, 2, 3});
  WriteProjectFile(*data);
  EXPECT_EQ(ReadBytes(path), Record());
  EXPECT_EQ(ReadProjectFile(dir.file("nothing.zmr"), *reread, prompts), OpenOutcome::NotFound);
  EXPECT_EQ(prompts.texts(), std::vector<QString>{"Project file not found!"});
}

TEST(FolderOf, KeepsTheTrailingSeparator) {
  EXPECT_EQ(FolderOf("/home/a/Hall.zmr"), "/home/a/");
  EXPECT_EQ(FolderOf("C:\\Data\\Hall.zmr"), "C:\\Data\\");
  EXPECT_EQ(FolderOf("Hall.zmr"), "");
}

}  // namespace
}  // namespace zmr
