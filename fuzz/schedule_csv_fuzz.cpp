// The CSV reader of the schedule exchange on any bytes. It must hand back a week or
// faults, never both; an accepted week obeys the editor's rules (at most 120 events a day,
// valid times and pulses, no time twice on a day, each day sorted once it is in a project);
// and its export reads back as the same week. Inputs that do not start like a header are
// also read behind a good one, so that mutations reach the event lines quickly.
#include <cstring>
#include <memory>
#include <string>

#include "editor/entry_checks.h"
#include "exchange/schedule_csv.h"
#include "fuzz_check.h"

namespace {

using namespace zmr;

const QString kFileName = QStringLiteral("f.csv");

CsvImport Read(std::string_view text) {
  return ParseScheduleCsv({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, kFileName);
}

// A project whose slots 121..128 and summary carry marks that an import must not touch.
std::unique_ptr<ProjectSetup> MarkedProject() {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  for (int day = 1; day <= kDays; ++day) {
    for (int slot = kEventsPerDay + 1; slot <= kSlotsPerDay; ++slot) {
      project->slot(day, slot) = MakeEvent(EventKind::On, QStringLiteral("kept"), 1, slot - kEventsPerDay, 9);
    }
  }
  project->summary.title.setText(QStringLiteral("kept"));
  return project;
}

void CheckDay(const ImportedWeek& week, int day, int& events) {
  const auto& events_of_day = week.days[static_cast<std::size_t>(day - 1)];
  bool seen_empty = false;
  std::array<bool, 24 * 60> taken{};
  for (const ScheduleEvent& e : events_of_day) {
    if (e.isEmptyKind()) {
      seen_empty = true;
      continue;
    }
    FUZZ_CHECK(!seen_empty);  // events fill the first slots, in the file's order
    ++events;
    FUZZ_CHECK(IsValidTime(e.hour, e.minute));
    FUZZ_CHECK(!taken[static_cast<std::size_t>(e.timeKey())]);
    taken[static_cast<std::size_t>(e.timeKey())] = true;
    FUZZ_CHECK(e.title.count <= e.title.kCapacity);
    const auto kind = static_cast<EventKind>(e.kind);
    FUZZ_CHECK(kind == EventKind::Pulse || kind == EventKind::On || kind == EventKind::Off);
    FUZZ_CHECK(kind != EventKind::Pulse || IsValidPulse(e.pulse_seconds));
  }
}

// The lines of the text as the reader counts them: LF, CRLF or a lone CR ends one.
int LineCount(std::string_view text) {
  int lines = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    lines += text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ? 1 : 0;
  }
  return lines;
}

void CheckWellFormed(const CsvImport& read, std::string_view text) {
  FUZZ_CHECK(static_cast<bool>(read.week) != !read.errors.empty());
  FUZZ_CHECK(read.errors.size() <= static_cast<std::size_t>(kMaxListedFaults) + 1);
  // "f.csv line N: ..." in line order; only the last may be the count of unlisted faults.
  int last_line = 1;
  const int lines = read.errors.empty() ? 0 : LineCount(text);
  for (std::size_t i = 0; i < read.errors.size(); ++i) {
    const QString& e = read.errors[i];
    if (e.startsWith(QStringLiteral("f.csv: "))) {
      FUZZ_CHECK(i + 1 == read.errors.size() && i == static_cast<std::size_t>(kMaxListedFaults));
      continue;
    }
    FUZZ_CHECK(e.startsWith(QStringLiteral("f.csv line ")));
    bool number = false;
    const int line = e.mid(11, e.indexOf(QLatin1Char(':'), 11) - 11).toInt(&number);
    FUZZ_CHECK(number && line >= last_line && line <= lines);
    last_line = line;
  }
}

void CheckAccepted(const ImportedWeek& week) {
  int events = 0;
  for (int day = 1; day <= kDays; ++day) {
    CheckDay(week, day, events);
  }
  FUZZ_CHECK(events == week.events);

  static const std::unique_ptr<ProjectSetup> marked = MarkedProject();
  auto project = std::make_unique<ProjectSetup>(*marked);
  ReplaceWeek(*project, week);
  for (int day = 1; day <= kDays; ++day) {
    for (int slot = 2; slot <= kEventsPerDay; ++slot) {
      const ScheduleEvent& before = project->slot(day, slot - 1);
      const ScheduleEvent& after = project->slot(day, slot);
      FUZZ_CHECK(after.isEmptyKind() || (!before.isEmptyKind() && before.timeKey() < after.timeKey()));
    }
  }
  for (int day = 1; day <= kDays; ++day) {
    FUZZ_CHECK(std::memcmp(project->day(day).data() + kEventsPerDay, marked->day(day).data() + kEventsPerDay,
                           (kSlotsPerDay - kEventsPerDay) * sizeof(ScheduleEvent)) == 0);
  }
  FUZZ_CHECK(std::memcmp(&project->summary, &marked->summary, sizeof(ProjectSummary)) == 0);

  // Round trip: the export reads back without a fault as the same days, byte for byte,
  // and exports to the same text again.
  const std::string csv = ScheduleCsv(*project);
  const CsvImport again = Read(csv);
  FUZZ_CHECK(again.week && again.errors.empty());
  FUZZ_CHECK(again.week->events == week.events);
  auto copy = std::make_unique<ProjectSetup>(*marked);
  ReplaceWeek(*copy, *again.week);
  for (int day = 1; day <= kDays; ++day) {
    FUZZ_CHECK(std::memcmp(project->day(day).data(), copy->day(day).data(),
                           kEventsPerDay * sizeof(ScheduleEvent)) == 0);
  }
  FUZZ_CHECK(ScheduleCsv(*copy) == csv);
}

void ReadAndCheck(std::string_view text) {
  const CsvImport read = Read(text);
  CheckWellFormed(read, text);
  if (read.week) {
    CheckAccepted(*read.week);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ReadAndCheck(text);
  if (size == 0 || (data[0] != 'd' && data[0] != 'D' && data[0] != 0xEF)) {
    ReadAndCheck("day,time,pulse,kind,title\n" + std::string(text));
  }
  return 0;
}
