// Random and mutated files against the CSV reader: it must never crash, hand back a
// complete week or faults (never both), and an import of a refused file must leave the
// project file as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "exchange/exchange_commands.h"
#include "support/exchange_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace zmr::testing {
namespace {

// Small CSV-ish pieces so that random files reach deep into the reader, not only its header.
const std::vector<std::string> kPieces = {
    "day,time,pulse,kind,title\n", "day;time;pulse;kind;title\r\n", "Mon", "sun", "7", "0", ",", ";", "\"", "\"\"",
    "\n", "\r\n", "\r", "07:30", "23:59", "24:00", "9:5", "59", "60", "255", "Pulse", "On", "off", "x", " ",
    "\xEF\xBB\xBF", "\xC3\xA9", "\xC3", "\xFF", std::string(1, '\0'), "\t"};

std::string Mutate(std::string text, std::mt19937& random) {
  std::uniform_int_distribution<int> op(0, 3);
  const int edits = 1 + static_cast<int>(random() % 6);
  for (int k = 0; k < edits; ++k) {
    const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
    switch (op(random)) {
      case 0:  // flip a byte
        if (!text.empty()) text[at % text.size()] = static_cast<char>(random());
        break;
      case 1:  // insert a piece
        text.insert(at, kPieces[random() % kPieces.size()]);
        break;
      case 2:  // drop a stretch
        text.erase(at, random() % 12);
        break;
      default:  // repeat a stretch
        text.insert(at, text.substr(at, random() % 40));
        break;
    }
  }
  return text;
}

// What every result must be, whatever the input.
void ExpectWellFormed(const CsvImport& read, const std::string& input) {
  ASSERT_NE(static_cast<bool>(read.week), !read.errors.empty()) << input;
  ASSERT_LE(read.errors.size(), static_cast<std::size_t>(kMaxListedFaults + 1));
  for (const QString& e : read.errors) {
    ASSERT_TRUE(e.startsWith("f.csv line ") || e.startsWith("f.csv: ")) << e.toStdString();
  }
  if (!read.week) return;
  // An accepted week obeys the editor's rules: packed days, valid events, unique times,
  // and it survives an export and import unchanged.
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  ReplaceWeek(*project, *read.week);
  int events = 0;
  for (int day = 1; day <= kDays; ++day) {
    int last_key = -1;
    for (int slot = 1; slot <= kEventsPerDay; ++slot) {
      const ScheduleEvent& e = project->slot(day, slot);
      if (e.isEmptyKind()) {
        last_key = kEmptyTimeKey;
        continue;
      }
      ++events;
      ASSERT_LT(last_key, e.timeKey()) << input;  // sorted, no gaps, no equal times
      last_key = e.timeKey();
      ASSERT_TRUE(e.hour <= 23 && e.minute <= 59);
      if (e.kind == static_cast<std::uint8_t>(EventKind::Pulse)) {
        ASSERT_TRUE(e.pulse_seconds >= 1 && e.pulse_seconds <= 59);
      }
    }
  }
  ASSERT_EQ(events, read.week->events);
  const CsvImport again = Parse(ScheduleCsv(*project), "f.csv");
  ASSERT_TRUE(again.week) << Joined(again.errors);
  auto copy = std::make_unique<ProjectSetup>();
  ResetProject(*copy);
  ReplaceWeek(*copy, *again.week);
  ExpectSameWeek(*project, *copy);
}

TEST(CsvProperty, RandomFilesNeverCrashTheReader) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 600; ++round) {
    std::string text;
    const int pieces = static_cast<int>(random() % 60);
    if (round % 2 == 0) text = kPieces[random() % 2];  // half of them start with a good header
    for (int i = 0; i < pieces; ++i) {
      text += (random() % 5 == 0) ? std::string(1, static_cast<char>(random())) : kPieces[random() % kPieces.size()];
    }
    ExpectWellFormed(Parse(text, "f.csv"), text);
    if (HasFatalFailure()) return;
  }
}

TEST(CsvProperty, MutatedExportsNeverCrashTheReader) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  FillDay(*project, 1, 12);
  AddSwitch(*project, 3, 1, 6, 0, EventKind::On, 0, QString::fromUtf8("Caf\u00e9 \"x\", y\nz"));
  AddSwitch(*project, 7, 1, 23, 59, EventKind::Off, 200, "night");
  const std::string good = ScheduleCsv(*project);
  std::mt19937 random(42);
  int accepted = 0;
  for (int round = 0; round < 1500; ++round) {
    const std::string text = Mutate(good, random);
    const CsvImport read = Parse(text, "f.csv");
    accepted += read.week ? 1 : 0;
    ExpectWellFormed(read, text);
    if (HasFatalFailure()) return;
  }
  // Both ways out are taken often, so the checks above saw accepted weeks too.
  EXPECT_GT(accepted, 50);
  EXPECT_LT(accepted, 1400);
}

TEST(CsvProperty, ARefusedImportNeverWritesThePartOfTheFileThatWasGood) {
  TempDir dir;
  auto data = MakeConsoleData(dir.folder());
  ResetProject(data->project);
  FillDay(data->project, 2, 30);
  data->state.project_path = dir.file("hall.zmr");
  WriteProject(data->state.project_path, data->project);
  data->state.project_open = true;
  const std::vector<std::uint8_t> before = ReadBytes(data->state.project_path);

  auto other = std::make_unique<ProjectSetup>();
  ResetProject(*other);
  FillDay(*other, 5, 40);
  const std::string good = ScheduleCsv(*other);
  std::mt19937 random(7);
  int refused = 0;
  for (int round = 0; round < 60 && refused < 25; ++round) {
    const std::string text = Mutate(good, random);
    if (Parse(text).week) continue;
    ++refused;
    WriteBytes(dir.file("in.csv"), {text.begin(), text.end()});
    RecordingPrompts prompts;
    prompts.file_answers.push_back(dir.file("in.csv"));
    ImportScheduleCommand(*data, prompts);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].kind, BoxKind::Error);
    ASSERT_EQ(ReadBytes(data->state.project_path), before) << text;
    ASSERT_EQ(std::memcmp(&data->project, before.data(), before.size()), 0);
    EXPECT_FALSE(data->state.project_changed);
  }
  EXPECT_GE(refused, 10);
}

}  // namespace
}  // namespace zmr::testing
