#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <cstring>

#include "base/errors.h"
#include "editor/editor_texts.h"
#include "exchange/exchange_commands.h"
#include "exchange/exchange_texts.h"
#include "support/exchange_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace zmr::testing {
namespace {

// An open, editable project "hall.zmr" with a few events, and a CSV file beside it.
struct OpenProject {
  OpenProject() {
    ResetProject(data->project);
    FillDay(data->project, 1, 3);
    data->state.project_path = dir.file("hall.zmr");
    WriteProject(data->state.project_path, data->project);
    data->state.project_open = true;
  }
  QString csv(const std::string& text, const QString& name = QStringLiteral("week.csv")) {
    WriteBytes(dir.file(name), {text.begin(), text.end()});
    return dir.file(name);
  }
  std::vector<std::uint8_t> fileBytes() const { return ReadBytes(data->state.project_path); }

  TempDir dir;
  std::unique_ptr<ConsoleData> data = MakeConsoleData(dir.folder());
  RecordingPrompts prompts;
};

const std::string kTwoEvents =
    "day,time,pulse,kind,title\n"
    "Wed,08:15,4,Pulse,Break\n"
    "Wed,07:50,2,Pulse,First\n";

TEST(ImportCommand, AsksWithTheEventCountThenReplacesTheWeekAndSaves) {
  OpenProject p;
  p.prompts.file_answers.push_back(p.csv(kTwoEvents));
  ImportScheduleCommand(*p.data, p.prompts);

  ASSERT_EQ(p.prompts.file_requests.size(), 1u);
  EXPECT_EQ(p.prompts.file_requests[0].filter, "CSV file (*.csv)|*.csv");
  EXPECT_EQ(p.prompts.file_requests[0].default_suffix, "csv");
  EXPECT_EQ(p.prompts.file_requests[0].initial_folder, p.dir.folder());
  EXPECT_EQ(p.prompts.file_requests[0].caption, "Import Schedule");
  ASSERT_EQ(p.prompts.boxes.size(), 1u);
  EXPECT_EQ(p.prompts.boxes[0].kind, BoxKind::Warning);
  EXPECT_EQ(p.prompts.boxes[0].buttons, BoxButtons::YesNo);
  EXPECT_TRUE(p.prompts.boxes[0].beeped);
  EXPECT_EQ(p.prompts.boxes[0].text,
            "Replace the whole week of this project with the 2 events in week.csv?\r\n"
            "The events now in the schedule will be lost.");

  EXPECT_TRUE(p.data->state.project_changed);
  EXPECT_TRUE(p.data->project.slot(1, 1).isEmptyKind());
  EXPECT_EQ(EventText(p.data->project.slot(3, 1)), "07:50, 2");
  EXPECT_EQ(p.data->project.slot(3, 2).title.text(), "Break");
  const std::vector<std::uint8_t> on_disk = p.fileBytes();
  ASSERT_EQ(on_disk.size(), kProjectFileSize);
  EXPECT_EQ(std::memcmp(on_disk.data(), &p.data->project, kProjectFileSize), 0);
}

TEST(ImportCommand, NoAnswerCancelAndARefusedFileChangeNothing) {
  OpenProject p;
  const std::vector<std::uint8_t> before = p.fileBytes();
  const auto unchanged = [&] {
    EXPECT_EQ(p.fileBytes(), before);
    EXPECT_EQ(std::memcmp(before.data(), &p.data->project, kProjectFileSize), 0);
    EXPECT_FALSE(p.data->state.project_changed);
  };

  ImportScheduleCommand(*p.data, p.prompts);  // the dialog cancelled
  EXPECT_TRUE(p.prompts.boxes.empty());
  unchanged();

  p.prompts.file_answers.push_back(p.csv(kTwoEvents));
  p.prompts.answers.push_back(BoxAnswer::No);
  ImportScheduleCommand(*p.data, p.prompts);
  EXPECT_EQ(p.prompts.boxes.size(), 1u);
  unchanged();

  p.prompts.boxes.clear();
  p.prompts.file_answers.push_back(p.csv(kTwoEvents + "Wed,8:15,9,,again\nWed,7:61,1,,\n", "bad.csv"));
  ImportScheduleCommand(*p.data, p.prompts);
  ASSERT_EQ(p.prompts.boxes.size(), 1u);  // no question before a refusal
  EXPECT_EQ(p.prompts.boxes[0].kind, BoxKind::Error);
  EXPECT_TRUE(p.prompts.boxes[0].beeped);
  EXPECT_EQ(p.prompts.boxes[0].text, "The schedule was not imported; the project is unchanged.\r\n\r\n"
                                     "bad.csv line 4: " + kTimeExistsText + "\r\n"
                                     "bad.csv line 5: " + kInvalidTimeText);
  unchanged();
}

TEST(ImportCommand, AFailedSaveGivesTheRecordItsWeekBack) {
  OpenProject p;
  const std::vector<std::uint8_t> before = p.fileBytes();
  p.prompts.file_answers.push_back(p.csv(kTwoEvents));
  ASSERT_EQ(chmod(QFile::encodeName(p.data->state.project_path).constData(), 0444), 0);
  EXPECT_THROW(ImportScheduleCommand(*p.data, p.prompts), IoError);
  EXPECT_EQ(p.fileBytes(), before);
  EXPECT_EQ(std::memcmp(before.data(), &p.data->project, kProjectFileSize), 0);
  EXPECT_FALSE(p.data->state.project_changed);
}

TEST(ImportCommand, NothingHappensWithoutAnEditableProject) {
  OpenProject p;
  p.data->state.project_readonly = true;
  ImportScheduleCommand(*p.data, p.prompts);
  p.data->state.project_readonly = false;
  p.data->state.project_open = false;
  ImportScheduleCommand(*p.data, p.prompts);
  EXPECT_TRUE(p.prompts.log.empty());
}

TEST(ImportCommand, AMissingFileIsAFileFailure) {
  OpenProject p;
  p.prompts.file_answers.push_back(p.dir.file("gone.csv"));
  EXPECT_THROW(ImportScheduleCommand(*p.data, p.prompts), IoError);
  EXPECT_FALSE(p.data->state.project_changed);
}

TEST(ExportCommand, ProposesTheProjectsNameAndWritesTheWeek) {
  OpenProject p;
  p.data->state.project_readonly = true;  // exporting only reads
  p.prompts.file_answers.push_back(p.dir.file("out.csv"));
  ExportScheduleCommand(*p.data, p.prompts);
  ASSERT_EQ(p.prompts.file_requests.size(), 1u);
  EXPECT_EQ(p.prompts.log.front(), "save-dialog");
  EXPECT_EQ(p.prompts.file_requests[0].proposed_name, "hall.csv");
  EXPECT_EQ(p.prompts.file_requests[0].caption, "Export Schedule");
  EXPECT_EQ(p.prompts.file_requests[0].filter, "CSV file (*.csv)|*.csv");
  const std::vector<std::uint8_t> written = ReadBytes(p.dir.file("out.csv"));
  const std::string expected = ScheduleCsv(p.data->project);
  EXPECT_EQ(std::string(written.begin(), written.end()), expected);
  EXPECT_NE(expected.find("Mon,06:02,3,Pulse,\"Bell 2, day 1\"\n"), std::string::npos);
  EXPECT_FALSE(p.data->state.project_changed);

  ExportScheduleCommand(*p.data, p.prompts);  // cancelled: nothing more
  EXPECT_EQ(p.prompts.file_requests.size(), 2u);
  EXPECT_TRUE(p.prompts.boxes.empty());
}

TEST(ExportCommand, NeverWritesOverItsOwnProjectFile) {
  OpenProject p;
  const std::vector<std::uint8_t> before = p.fileBytes();
  p.prompts.file_answers.push_back(p.dir.folder() + "./hall.zmr");
  ExportScheduleCommand(*p.data, p.prompts);
  ASSERT_EQ(p.prompts.boxes.size(), 1u);
  EXPECT_EQ(p.prompts.boxes[0].text, kCsvOverProjectText);
  EXPECT_TRUE(p.prompts.boxes[0].beeped);
  EXPECT_EQ(p.fileBytes(), before);
}

}  // namespace
}  // namespace zmr::testing
