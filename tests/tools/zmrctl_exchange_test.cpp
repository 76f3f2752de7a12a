#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <cstring>
#include <sstream>

#include "editor/editor_texts.h"
#include "support/exchange_fixtures.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"
#include "zmrctl/zmrctl.h"

namespace zmr {
namespace {

using namespace zmr::testing;

class ZmrctlExchange : public ::testing::Test {
 protected:
  ZmrctlExchange() { env.program_folder = dir.folder(); }
  int Run(const QStringList& args) {
    out.str({});
    err.str({});
    return ctl::Run(args, env);
  }
  QString Csv(const std::string& text, const QString& name = QStringLiteral("week.csv")) {
    WriteBytes(dir.file(name), {text.begin(), text.end()});
    return dir.file(name);
  }
  std::unique_ptr<ProjectSetup> Load(const QString& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    auto project = std::make_unique<ProjectSetup>();
    EXPECT_EQ(bytes.size(), kProjectFileSize);
    if (bytes.size() == kProjectFileSize) std::memcpy(project.get(), bytes.data(), kProjectFileSize);
    return project;
  }

  TempDir dir;
  FakeClock clock;
  std::ostringstream out, err;
  ctl::Environment env{out, err, clock};
};

TEST_F(ZmrctlExchange, AFullWeekGoesOutAndComesBackIntoANewProject) {
  auto week = std::make_unique<ProjectSetup>();
  ResetProject(*week);
  FillWeek(*week);
  week->summary.title.setText("Main Hall");
  WriteProject(dir.file("hall.zmr"), *week);

  ASSERT_EQ(Run({"export", dir.file("hall.zmr")}), ctl::kExitOk) << err.str();
  EXPECT_EQ(out.str(), ScheduleCsv(*week));
  ASSERT_EQ(Run({"export", dir.file("hall.zmr"), dir.file("hall.csv")}), ctl::kExitOk) << err.str();
  EXPECT_TRUE(out.str().empty());
  const std::vector<std::uint8_t> csv = ReadBytes(dir.file("hall.csv"));
  EXPECT_EQ(std::string(csv.begin(), csv.end()), ScheduleCsv(*week));

  ASSERT_EQ(Run({"import", dir.file("hall.csv"), dir.file("copy.zmr"), "--new"}), ctl::kExitOk) << err.str();
  EXPECT_EQ(out.str(), "Imported 840 events into " + dir.file("copy.zmr").toStdString() + "\n");
  const auto copy = Load(dir.file("copy.zmr"));
  ExpectSameWeek(*week, *copy);
  EXPECT_TRUE(HasProjectTags(*copy));
  EXPECT_TRUE(copy->summary.title.empty());
  EXPECT_EQ(copy->slot(1, 121).hour, 0);  // a new project's spare slots are zero bytes
}

TEST_F(ZmrctlExchange, ImportReplacesTheWeekOfAnExistingProjectOnly) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  FillDay(*project, 1, 5);
  project->summary.author.setText("Ana");
  project->slot(4, 125).minute = 9;
  WriteProject(dir.file("hall.zmr"), *project);
  const QString csv = Csv("day;time;pulse;kind;title\r\n4;10:00;3;;Tea\r\n4;09:00;3;;Bell\r\n");
  ASSERT_EQ(Run({"import", csv, dir.file("hall.zmr")}), ctl::kExitOk) << err.str();
  const auto after = Load(dir.file("hall.zmr"));
  EXPECT_TRUE(after->slot(1, 1).isEmptyKind());
  EXPECT_EQ(EventText(after->slot(4, 1)), "09:00, 3");
  EXPECT_EQ(after->slot(4, 2).title.text(), "Tea");
  EXPECT_EQ(after->slot(4, 125).minute, 9);
  EXPECT_EQ(after->summary.author.text(), "Ana");
}

TEST_F(ZmrctlExchange, RefusalsAndFailuresLeaveTheProjectFileAsItWas) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  FillDay(*project, 2, 4);
  WriteProject(dir.file("hall.zmr"), *project);
  const std::vector<std::uint8_t> before = ReadBytes(dir.file("hall.zmr"));
  const QString good = Csv("day,time,pulse,kind,title\nMon,7:00,5,,\n");

  const QString bad = Csv("day,time,pulse,kind,title\nMon,7:00,5,,\nMon,7:00,6,,\nMon,25:00,5,,\n", "bad.csv");
  EXPECT_EQ(Run({"import", bad, dir.file("hall.zmr")}), ctl::kExitProjectRefused);
  EXPECT_EQ(err.str(), "bad.csv line 3: " + kTimeExistsText.toStdString() + "\nbad.csv line 4: " +
                           kInvalidTimeText.toStdString() +
                           "\nThe schedule was not imported; the project is unchanged.\n");
  EXPECT_EQ(ReadBytes(dir.file("hall.zmr")), before);

  EXPECT_EQ(Run({"import", good, dir.file("hall.zmr"), "--new"}), ctl::kExitProjectRefused);
  EXPECT_NE(err.str().find("already exists"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir.file("hall.zmr")), before);

  EXPECT_EQ(Run({"import", dir.file("missing.csv"), dir.file("hall.zmr")}), ctl::kExitOtherFailure);
  EXPECT_EQ(err.str(), "error: File not found.\n");
  EXPECT_EQ(Run({"import", good, dir.file("none.zmr")}), ctl::kExitProjectRefused);
  EXPECT_EQ(err.str(), "error: Project file not found!\n");
  EXPECT_EQ(Run({"export", dir.file("none.zmr")}), ctl::kExitProjectRefused);
  EXPECT_EQ(Run({"import", good, dir.file("no/such/folder/new.zmr"), "--new"}), ctl::kExitOtherFailure);
  EXPECT_EQ(Run({"import", good}), ctl::kExitUsage);
  EXPECT_EQ(Run({"export"}), ctl::kExitUsage);
  EXPECT_EQ(Run({"export", dir.file("hall.zmr"), dir.file("hall.zmr")}), ctl::kExitUsage);  // a slip of the hand
  EXPECT_EQ(ReadBytes(dir.file("hall.zmr")), before);

  ASSERT_EQ(chmod(QFile::encodeName(dir.file("hall.zmr")).constData(), 0444), 0);
  EXPECT_EQ(Run({"import", good, dir.file("hall.zmr")}), ctl::kExitProjectRefused);
  EXPECT_EQ(err.str(), "error: " + kReadOnlyProjectText.toStdString() + "\n");
  EXPECT_EQ(ReadBytes(dir.file("hall.zmr")), before);
  EXPECT_EQ(Run({"export", dir.file("hall.zmr")}), ctl::kExitOk);  // reading a read-only project is fine
}

TEST_F(ZmrctlExchange, HelpDocumentsTheFormat) {
  EXPECT_EQ(Run({"--help"}), ctl::kExitOk);
  for (const char* part : {"export FILE.zmr [OUT.csv]", "import IN.csv FILE.zmr [--new]", "day,time,pulse,kind,title",
                           "H:MM or HH:MM", "Pulse, On or Off", "';' as the separator"}) {
    EXPECT_NE(out.str().find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace zmr
