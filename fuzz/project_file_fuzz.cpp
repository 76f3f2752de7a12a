// The project file reader on any bytes: size and tag checks, then everything the console
// derives from an accepted record (summary texts, event texts, sorting, the timer's chunks).
// Inputs of another size are also laid over a valid record, so that short inputs reach
// every slot byte and string count.
#include <algorithm>
#include <cstring>
#include <memory>

#include "fuzz_check.h"
#include "hardware/schedule_format.h"
#include "project/project_file.h"
#include "project/summary_edit.h"
#include "scratch_folder.h"
#include "support/recording_prompts.h"

namespace {

using namespace zmr;

void Walk(ProjectSetup& project) {
  FUZZ_CHECK(HasProjectTags(project));
  const SummaryFields fields = ReadSummary(project.summary);
  FUZZ_CHECK(fields.title.size() <= 100 && fields.comments.size() <= 255);
  for (int day = 1; day <= kDays; ++day) {
    // The texts the grid and the report show: every event a day holds.
    for (int s = 1; s <= kEventsPerDay; ++s) {
      const ScheduleEvent& event = project.slot(day, s);
      if (!event.isEmptyKind()) {
        (void)EventText(event);
        FUZZ_CHECK(event.title.text().size() <= static_cast<qsizetype>(event.title.kCapacity));
      }
    }
    SortDay(project, day);
    for (int s = 2; s <= kEventsPerDay; ++s) {
      FUZZ_CHECK(project.slot(day, s - 1).timeKey() <= project.slot(day, s).timeKey());
    }
    const auto chunks = ChunksOfDay(project, day);
    FUZZ_CHECK(!chunks.empty() && chunks.size() <= (kEventsPerDay + 15) / 16);
  }
}

void ReadAndWalk(const std::uint8_t* bytes, std::size_t size, bool must_open) {
  const QString path = fuzz::ScratchFolder() + "project.zmr";
  fuzz::WriteWhole(path, bytes, size);
  testing::RecordingPrompts prompts;
  auto project = std::make_unique<ProjectSetup>();
  const OpenOutcome outcome = ReadProjectFile(path, *project, prompts);
  if (size != kProjectFileSize) {
    FUZZ_CHECK(outcome == OpenOutcome::NotValid);
    return;
  }
  if (outcome == OpenOutcome::Opened) {
    FUZZ_CHECK(std::memcmp(project.get(), bytes, kProjectFileSize) == 0);
    Walk(*project);
  } else {
    FUZZ_CHECK(!must_open && outcome == OpenOutcome::NotValid);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReadAndWalk(data, size, false);
  if (size < 4 || size == kProjectFileSize) {
    return 0;
  }
  // The input, after a 3-byte offset, over a reset record (tags kept whole).
  static const auto base = [] {
    auto p = std::make_unique<ProjectSetup>();
    ResetProject(*p);
    return p;
  }();
  std::vector<std::uint8_t> record(kProjectFileSize);
  std::memcpy(record.data(), base.get(), kProjectFileSize);
  const std::size_t room = offsetof(ProjectSetup, summary) + offsetof(ProjectSummary, end_tag);
  const std::size_t at = (data[0] | data[1] << 8 | data[2] << 16) % room;
  const std::size_t n = std::min(size - 3, room - at);
  std::memcpy(record.data() + at, data + 3, n);
  std::memcpy(record.data() + offsetof(ProjectSetup, summary), &base->summary.start_tag,
              sizeof base->summary.start_tag);
  ReadAndWalk(record.data(), record.size(), true);
  return 0;
}
