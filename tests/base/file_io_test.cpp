// Saves where a rename cannot keep the file as it is, things that are not files, and the
// litter of killed saves.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include "base/errors.h"
#include "base/file_io.h"
#include "project/project_file.h"
#include "project/settings.h"
#include "support/forked_child.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

struct stat StatOf(const QString& path) {
  struct stat st {};
  EXPECT_EQ(::stat(Native(path).c_str(), &st), 0) << path.toStdString();
  return st;
}

QStringList Entries(const TempDir& dir) { return QDir(dir.folder()).entryList(QDir::Files | QDir::System, QDir::Name); }

// A folder where only root may create files, holding files anyone may write: a shared
// folder, or a project handed out with mode 666.
class SharedFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) {
      GTEST_SKIP() << "needs root to act as another user";
    }
    ASSERT_EQ(::chmod(Native(dir.folder()).c_str(), 0755), 0);
  }
  void Shared(const QString& path) { ASSERT_EQ(::chmod(Native(path).c_str(), 0666), 0); }

  TempDir dir;
};

TEST_F(SharedFolderTest, AProjectIsSavedInPlaceKeepingOwnerModeAndLinks) {
  const QString path = dir.file("hall.zmr");
  const QString other_name = dir.file("hall-link.zmr");
  WriteEmptyProject(path);
  Shared(path);
  ASSERT_EQ(::link(Native(path).c_str(), Native(other_name).c_str()), 0);
  const struct stat before = StatOf(path);

  auto data = MakeConsoleData(dir.folder());
  data->state.project_path = path;
  data->state.project_open = true;
  ResetProject(data->project);
  AddPulse(data->project, 2, 1, 7, 30, 4, "Morning");
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&data->project);
  const std::vector<std::uint8_t> record(raw, raw + sizeof(ProjectSetup));

  EXPECT_EQ(RunAsUnprivileged([&] {
              SaveProject(*data);  // throws "File access denied" when it tries a new file only
              WriteProjectFile(*data);
              return data->state.project_changed ? 0 : 1;
            }),
            0);
  EXPECT_EQ(ReadBytes(path), record);
  EXPECT_EQ(ReadBytes(other_name), record);  // the other name sees the new record too
  const struct stat after = StatOf(path);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_uid, 0u);
  EXPECT_EQ(after.st_mode & 07777, 0666u);
  EXPECT_EQ(after.st_nlink, 2u);
  EXPECT_EQ(Entries(dir), QStringList({"hall-link.zmr", "hall.zmr"}));
}

TEST_F(SharedFolderTest, SettingsPersistInPlaceAndACutShortOrLongFileIsWrittenWhole) {
  const QString ini = dir.file("timer.ini");
  ProgramSettings defaults;
  DefaultSettings(defaults);
  for (const std::size_t size : {std::size_t{1539}, std::size_t{2000}}) {
    std::vector<std::uint8_t> bytes(size, 0);
    const auto record = defaults.toBytes();
    std::copy(record.begin(), record.end(), bytes.begin());
    WriteBytes(ini, bytes);
    Shared(ini);
    EXPECT_EQ(RunAsUnprivileged([&] {
                ProgramSettings s;
                LoadSettings(s, dir.folder());
                s.com_port = 4;
                PushRecentProject(s, "/srv/bells/hall.zmr");
                SaveSettings(s, dir.folder());
                return 0;
              }),
              0);
    ProgramSettings reread;
    LoadSettings(reread, dir.folder());
    EXPECT_EQ(reread.com_port, 4) << size;
    EXPECT_EQ(reread.recent_projects[0].text(), "/srv/bells/hall.zmr");
    EXPECT_EQ(ReadBytes(ini).size(), kSettingsFileSize);
    EXPECT_EQ(StatOf(ini).st_uid, 0u);
  }
  EXPECT_EQ(Entries(dir), QStringList({"timer.ini"}));
}

TEST_F(SharedFolderTest, AFileOfSomeoneElseInAWritableFolderKeepsItsOwner) {
  ASSERT_EQ(::chmod(Native(dir.folder()).c_str(), 0777), 0);
  const QString path = dir.file("theirs.zmr");
  WriteEmptyProject(path);
  Shared(path);
  auto data = MakeConsoleData(dir.folder());
  data->state.project_path = path;
  data->state.project_open = true;
  ResetProject(data->project);
  AddPulse(data->project, 1, 1, 6, 0, 1);
  EXPECT_EQ(RunAsUnprivileged([&] {
              SaveProject(*data);
              return 0;
            }),
            0);
  EXPECT_EQ(StatOf(path).st_uid, 0u);  // a rename would have handed it to the saving user
  EXPECT_EQ(ReadBytes(path)[0], 6);
}

TEST_F(SharedFolderTest, AFileNobodyMayWriteIsStillRefused) {
  const QString path = dir.file("locked.zmr");
  WriteEmptyProject(path);
  ASSERT_EQ(::chmod(Native(path).c_str(), 0644), 0);
  const auto before = ReadBytes(path);
  auto data = MakeConsoleData(dir.folder());
  data->state.project_path = path;
  data->state.project_open = true;
  EXPECT_EQ(RunAsUnprivileged([&] {
              try {
                SaveProject(*data);
              } catch (const IoError& e) {
                return std::string(e.what()) == "File access denied" ? 0 : 2;
              }
              return 1;
            }),
            0);
  EXPECT_EQ(ReadBytes(path), before);
  // A settings file there is left alone without a word.
  WriteBytes(dir.file("timer.ini"), std::vector<std::uint8_t>(kSettingsFileSize, 0));
  EXPECT_EQ(RunAsUnprivileged([&] {
              ProgramSettings s;
              DefaultSettings(s);
              SaveSettings(s, dir.folder());
              return 0;
            }),
            0);
  EXPECT_EQ(ReadBytes(dir.file("timer.ini")), std::vector<std::uint8_t>(kSettingsFileSize, 0));
}

// A FIFO or a device where a file should be: refused at once, never waited on. Each case
// runs in a child so that a hang fails the test instead of stopping the suite.
TEST(NotAFile, FifosAndDevicesAreRefusedWithoutBlocking) {
  TempDir dir;
  const QString fifo = dir.file("timer.ini");
  ASSERT_EQ(::mkfifo(Native(fifo).c_str(), 0666), 0);
  ASSERT_EQ(::mkfifo(Native(dir.file("fifo.zmr")).c_str(), 0666), 0);
  ASSERT_EQ(::symlink("/dev/zero", Native(dir.file("device.zmr")).c_str()), 0);

  QElapsedTimer timer;
  timer.start();
  const int code = RunInChild([&] {
    ::alarm(10);  // a hang ends the child with SIGALRM
    ProgramSettings s;
    s.com_port = 3;
    LoadSettings(s, dir.folder());  // unreadable: keeps what the record held
    if (s.com_port != 3) return 1;
    SaveSettings(s, dir.folder());  // nothing written, no word
    for (const char* name : {"fifo.zmr", "device.zmr"}) {
      RecordingPrompts prompts;
      auto data = MakeConsoleData(dir.folder());
      RecordingView view;
      data->state.project_path = dir.file(name);
      if (OpenProjectFile(*data, prompts, view) != OpenOutcome::NotValid) return 2;
      if (prompts.texts() != std::vector<QString>{kNotValidProjectText}) return 3;
      try {
        WriteProjectFile(*data);
        return 4;
      } catch (const IoError& e) {
        if (std::string(e.what()) != "File access denied") return 5;
      }
      try {
        ReadFileStart(dir.file(name), 16);
        return 6;
      } catch (const IoError&) {
      }
    }
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_LT(timer.elapsed(), 5000);
  struct stat st {};
  ASSERT_EQ(::lstat(Native(fifo).c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));  // never replaced by a file
}

TEST(Temporaries, TheNextSaveRemovesWhatKilledSavesLeftButNotARunningOnesNorOtherFiles) {
  TempDir dir;
  const QString ini = dir.file("timer.ini");
  ProgramSettings s;
  DefaultSettings(s);
  SaveSettings(s, dir.folder());
  // Two left by killed saves, one held by a save that still runs, and files that only
  // look alike.
  for (const char* name : {"timer.ini.saving-a1B2c3", "timer.ini.saving-ZZZZZZ", "timer.ini.saving-held01",
                           "timer.ini.saving-toolong7", "timer.ini.backup", "other.ini.saving-a1B2c3"}) {
    WriteBytes(dir.file(name), {1});
  }
  const int held = ::open(Native(dir.file("timer.ini.saving-held01")).c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  s.com_port = 2;
  SaveSettings(s, dir.folder());
  ::close(held);
  EXPECT_EQ(Entries(dir), QStringList({"other.ini.saving-a1B2c3", "timer.ini", "timer.ini.backup",
                                       "timer.ini.saving-held01", "timer.ini.saving-toolong7"}));
  EXPECT_EQ(ReadBytes(ini)[0], 2);
}

}  // namespace
}  // namespace zmr
