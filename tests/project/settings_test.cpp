#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/errors.h"
#include "project/settings.h"
#include "support/file_size_limit.h"
#include "support/project_fixtures.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

QStringList Recent(const ProgramSettings& s) {
  QStringList out;
  for (const auto& e : s.recent_projects) {
    out << e.text();
  }
  return out;
}

ProgramSettings WithRecent(const QStringList& entries) {
  ProgramSettings s;
  DefaultSettings(s);
  for (int k = 0; k < entries.size(); ++k) {
    s.recent_projects[k].setText(entries[k]);
  }
  return s;
}

TEST(LoadSettings, FirstStartWritesTheDefaultRecord) {
  TempDir dir;
  ProgramSettings s;
  LoadSettings(s, dir.folder());
  const auto bytes = ReadBytes(dir.file("timer.ini"));
  ASSERT_EQ(bytes.size(), 1539u);
  EXPECT_EQ(bytes[0], 0x01);
  EXPECT_EQ(bytes[1], 0x00);
  EXPECT_EQ(bytes[2], 0x01);
  for (std::size_t at : {3u, 259u, 515u, 771u, 1027u}) {
    EXPECT_EQ(bytes[at], 0) << at;
  }
  EXPECT_EQ(bytes[1283], 12);
  EXPECT_EQ(std::string(bytes.begin() + 1284, bytes.begin() + 1296), "my documents");
  EXPECT_EQ(s.com_port, 1);
  EXPECT_EQ(s.show_welcome, 1);
  EXPECT_EQ(s.project_folder.text(), "my documents");
}

TEST(LoadSettings, ReadsAStoredRecordAndOnlyItsFirst1539Bytes) {
  TempDir dir;
  ProgramSettings stored = WithRecent({"/a/one.zmr", "/b/two.zmr"});
  stored.com_port = 0x0203;  // little-endian on disk
  stored.show_welcome = 0;
  stored.project_folder.setText("/b/");
  const ProgramSettings::Bytes record = stored.toBytes();
  auto bytes = std::vector<std::uint8_t>(record.begin(), record.end());
  EXPECT_EQ(bytes[0], 0x03);
  EXPECT_EQ(bytes[1], 0x02);
  bytes.resize(1600, 0x55);  // a longer file: the tail is ignored
  WriteBytes(dir.file("timer.ini"), bytes);

  ProgramSettings s;
  LoadSettings(s, dir.folder());
  EXPECT_EQ(s.com_port, 0x0203);
  EXPECT_EQ(s.show_welcome, 0);
  EXPECT_EQ(Recent(s), QStringList({"/a/one.zmr", "/b/two.zmr", "", "", ""}));
  EXPECT_EQ(s.project_folder.text(), "/b/");

  SaveSettings(s, dir.folder());  // and is cut back at the next write
  EXPECT_EQ(ReadBytes(dir.file("timer.ini")).size(), 1539u);
}

TEST(LoadSettings, ACutShortFileKeepsItsWholeFieldsAndStartsWithoutError) {
  TempDir dir;
  ProgramSettings stored = WithRecent({"/x/first.zmr", "/y/second.zmr"});
  stored.com_port = 4;
  stored.show_welcome = 0;
  auto full = stored.toBytes();
  WriteBytes(dir.file("timer.ini"), std::vector<std::uint8_t>(full.begin(), full.begin() + 400));

  ProgramSettings s;
  ASSERT_NO_THROW(LoadSettings(s, dir.folder()));
  EXPECT_EQ(s.com_port, 4);
  EXPECT_EQ(s.show_welcome, 0);
  EXPECT_EQ(s.recent_projects[0].text(), "/x/first.zmr");  // bytes 3..258 were all there
  EXPECT_EQ(s.recent_projects[1].text(), "");             // cut through: default
  EXPECT_EQ(s.project_folder.text(), "my documents");

  SaveSettings(s, dir.folder());
  EXPECT_EQ(ReadBytes(dir.file("timer.ini")).size(), 1539u);

  WriteBytes(dir.file("timer.ini"), {});  // even an empty file
  ASSERT_NO_THROW(LoadSettings(s, dir.folder()));
  EXPECT_EQ(s.com_port, 1);
}

// Sets an environment variable for as long as it lives.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QString& value)
      : name_(name), saved_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
    qputenv(name, value.toLocal8Bit());
  }
  ~ScopedEnv() { had_ ? qputenv(name_, saved_) : qunsetenv(name_); }

 private:
  const char* name_;
  QByteArray saved_;
  bool had_;
};

// $XDG_CONFIG_HOME pointed at a folder of the test's own.
struct UserConfigHome : ScopedEnv {
  explicit UserConfigHome(const QString& folder) : ScopedEnv("XDG_CONFIG_HOME", folder) {}
};

TEST(SettingsFolder, BesideTheProgramWhenItsFolderTakesFilesElseInTheUsersConfiguration) {
  TempDir dir;
  UserConfigHome home(dir.file("config"));
  // A folder that takes files (a portable copy, the build folder) keeps timer.ini beside the program.
  QDir().mkpath(dir.file("portable"));
  const QString portable = dir.file("portable") + '/';
  EXPECT_EQ(SettingsFilePath(portable), portable + "timer.ini");
  // A plain file where the folder should be refuses new files even to root, as /usr/lib does to a user.
  WriteBytes(dir.file("installed"), {1, 2, 3});
  const QString installed = dir.file("installed") + '/';
  EXPECT_EQ(SettingsFilePath(installed), dir.file("config") + "/zmr-console/timer.ini");
  ProgramSettings s;
  ASSERT_NO_THROW(LoadSettings(s, installed));
  EXPECT_EQ(ReadBytes(dir.file("config/zmr-console/timer.ini")).size(), kSettingsFileSize);
  s.com_port = 2;
  SaveSettings(s, installed);
  ProgramSettings back;
  LoadSettings(back, installed);
  EXPECT_EQ(back.com_port, 2);  // it persists across runs
  EXPECT_EQ(ReadBytes(dir.file("installed")).size(), 3u);
  // An installed program folder is the package's, even where this process may write.
  QDir().mkpath(dir.file("usr/lib/zmr-console"));
  EXPECT_EQ(SettingsFilePath(dir.file("usr/lib/zmr-console/")), dir.file("config") + "/zmr-console/timer.ini");
  // A relative $XDG_CONFIG_HOME is not to be used: the home folder's .config is.
  {
    ScopedEnv user_home("HOME", dir.file("home"));
    UserConfigHome relative("relative/config");
    EXPECT_EQ(SettingsFilePath(installed), dir.file("home") + "/.config/zmr-console/timer.ini");
  }
}

TEST(LoadSettings, WhenNoFolderTakesFilesTheDefaultsHoldAndSavesAreSilent) {
  TempDir dir;
  WriteBytes(dir.file("plain-file"), {1, 2, 3});
  UserConfigHome home(dir.file("plain-file/config"));
  const QString not_a_folder = dir.file("plain-file") + '/';
  ProgramSettings s;
  ASSERT_NO_THROW(LoadSettings(s, not_a_folder));
  EXPECT_EQ(s.com_port, 1);
  EXPECT_EQ(s.project_folder.text(), "my documents");
  s.com_port = 2;
  ASSERT_NO_THROW(SaveSettings(s, not_a_folder));
  EXPECT_EQ(ReadBytes(dir.file("plain-file")).size(), 3u);
}

TEST(SettingsPaths, AnyFolderNameIsStoredAsTheFileSystemsBytesAndReadBack) {
  TempDir dir;
  const QString cyrillic = QString::fromUtf8("/home/ольга/Звонки/Школа №5.zmr");
  const QString greek = QString::fromUtf8("/srv/σχολείο/κουδούνι.zmr");
  const QString cjk = QString::fromUtf8("/data/学校/ベル 😀.zmr");
  ProgramSettings s = WithRecent({});
  EXPECT_TRUE(PushRecentProject(s, cyrillic));
  EXPECT_TRUE(PushRecentProject(s, greek));
  EXPECT_TRUE(PushRecentProject(s, cjk));
  EXPECT_FALSE(PushRecentProject(s, cyrillic));  // found again: swapped to the head
  s.project_folder.setText(QString::fromUtf8("/home/ольга/Звонки/"));
  SaveSettings(s, dir.folder());
  const auto bytes = ReadBytes(dir.file("timer.ini"));
  ASSERT_EQ(bytes.size(), kSettingsFileSize);
  const QByteArray first = cyrillic.toUtf8();
  EXPECT_EQ(bytes[3], first.size());
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(bytes.data()) + 4, first.size()), first);
  ProgramSettings back;
  LoadSettings(back, dir.folder());
  EXPECT_EQ(Recent(back), QStringList({cyrillic, greek, cjk, "", ""}));
  EXPECT_EQ(back.project_folder.text(), QString::fromUtf8("/home/ольга/Звонки/"));
}

TEST(SettingsPaths, ALongPathIsCutAt255BytesBetweenCharacters) {
  ProgramSettings s = WithRecent({});
  // 2-byte letters after a 2-byte start: byte 255 falls in the middle of a letter.
  const QString path = "/a" + QString(200, QChar(0x0436));
  EXPECT_TRUE(PushRecentProject(s, path));
  EXPECT_EQ(s.recent_projects[0].size(), 254u);
  EXPECT_EQ(s.recent_projects[0].text(), "/a" + QString(126, QChar(0x0436)));
  EXPECT_TRUE(PushRecentProject(s, path));  // the cut form never matches the whole path again
  // A 4-byte character cut after 3 of its bytes is dropped whole.
  const QString emoji = QString(252, 'a') + QString::fromUtf8("😀");
  s.project_folder.setText(emoji);
  EXPECT_EQ(s.project_folder.size(), 252u);
  EXPECT_EQ(s.project_folder.text(), QString(252, 'a'));
}

TEST(SettingsPaths, AnOldFilesWindows1252PathsReadAsBefore) {
  TempDir dir;
  ProgramSettings old = WithRecent({});
  old.recent_projects[0].assignBytes("C:\\Projects\\School.zmr");  // ASCII: the same bytes either way
  old.recent_projects[1].assignBytes("/home/jos\xe9/Caf\xe9.zmr");    // Windows-1252 letters: not UTF-8
  old.project_folder.assignBytes("my documents");
  WriteBytes(dir.file("timer.ini"), [&] {
    const auto b = old.toBytes();
    return std::vector<std::uint8_t>(b.begin(), b.end());
  }());
  ProgramSettings back;
  LoadSettings(back, dir.folder());
  EXPECT_EQ(back.recent_projects[0].text(), "C:\\Projects\\School.zmr");
  EXPECT_EQ(back.recent_projects[1].text(), QString::fromUtf8("/home/josé/Café.zmr"));
  EXPECT_EQ(back.project_folder.text(), "my documents");
}

TEST(PushRecentProject, SwapsToTheHeadOrShiftsInAndMatchesExactly) {
  ProgramSettings s = WithRecent({"A", "B", "C", "D", "E"});
  EXPECT_FALSE(PushRecentProject(s, "D"));
  EXPECT_EQ(Recent(s), QStringList({"D", "B", "C", "A", "E"}));
  EXPECT_TRUE(PushRecentProject(s, "F"));
  EXPECT_EQ(Recent(s), QStringList({"F", "D", "B", "C", "A"}));
  EXPECT_FALSE(PushRecentProject(s, "F"));
  EXPECT_EQ(Recent(s), QStringList({"F", "D", "B", "C", "A"}));
  EXPECT_TRUE(PushRecentProject(s, "f"));  // letter case makes another entry
  EXPECT_EQ(Recent(s), QStringList({"f", "F", "D", "B", "C"}));
}

TEST(PushRecentProject, AnOverlongPathIsStoredCutAndNeverMatchesAgain) {
  ProgramSettings s = WithRecent({});
  const QString longPath = "/" + QString(300, 'p') + ".zmr";
  EXPECT_TRUE(PushRecentProject(s, longPath));
  EXPECT_EQ(s.recent_projects[0].size(), 255u);
  EXPECT_TRUE(PushRecentProject(s, longPath));
  EXPECT_EQ(s.recent_projects[1].text(), s.recent_projects[0].text());
}

TEST(ClearRecentProjects, EmptiesTheListOnlyAndSaves) {
  TempDir dir;
  ProgramSettings s = WithRecent({"A", "B", "C", "D", "E"});
  s.com_port = 3;
  s.show_welcome = 0;
  s.project_folder.setText("/p/");
  ClearRecentProjects(s, dir.folder());
  ProgramSettings back;
  LoadSettings(back, dir.folder());
  EXPECT_EQ(Recent(back), QStringList({"", "", "", "", ""}));
  EXPECT_EQ(back.com_port, 3);
  EXPECT_EQ(back.show_welcome, 0);
  EXPECT_EQ(back.project_folder.text(), "/p/");
}

TEST(SaveSettings, AFailedWriteLeavesTheOldFileWholeAndReportsTheSystemText) {
  TempDir dir;
  ProgramSettings s = WithRecent({"/old.zmr"});
  SaveSettings(s, dir.folder());
  const auto before = ReadBytes(dir.file("timer.ini"));
  s.recent_projects[0].setText("/new.zmr");
  {
    testing::FileSizeLimit limit(100);  // the write runs out of room part-way
    EXPECT_THROW(SaveSettings(s, dir.folder()), IoError);
  }
  EXPECT_EQ(ReadBytes(dir.file("timer.ini")), before);
  EXPECT_EQ(QDir(dir.folder()).entryList(QDir::Files), QStringList({"timer.ini"}));  // no temp left
}

}  // namespace
}  // namespace zmr
