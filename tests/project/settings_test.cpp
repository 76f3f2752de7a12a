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

TEST(LoadSettings, AFolderThatTakesNoFilesGivesDefaultsAndSilentSaves) {
  // A plain file where the folder should be refuses new files even to root.
  TempDir dir;
  const QString not_a_folder = dir.file("plain-file") + '/';
  WriteBytes(dir.file("plain-file"), {1, 2, 3});
  ProgramSettings s;
  ASSERT_NO_THROW(LoadSettings(s, not_a_folder));
  EXPECT_EQ(s.com_port, 1);
  EXPECT_EQ(s.project_folder.text(), "my documents");
  s.com_port = 2;
  ASSERT_NO_THROW(SaveSettings(s, not_a_folder));
  EXPECT_EQ(ReadBytes(dir.file("plain-file")).size(), 3u);
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
