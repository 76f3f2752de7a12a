#pragma once
// The one project record. Its bytes in memory are, byte for byte, the project setup
// file, so loading and saving are single block copies.
#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include <QString>

#include "project/short_string.h"

namespace zmr {

inline constexpr int kDays = 7;              // 1 = Monday .. 7 = Sunday
inline constexpr int kSlotsPerDay = 128;     // slots stored per day
inline constexpr int kEventsPerDay = 120;    // slots 1..120 make up the schedule
inline constexpr std::uint8_t kEmptyTime = 0xFF;
inline constexpr int kEmptyTimeKey = 255 * 60 + 255;  // sorts after every real time

enum class EventKind : std::uint8_t { Empty = 0, On = 1, Off = 2, Pulse = 4 };

struct ScheduleEvent {
  std::uint8_t hour;
  std::uint8_t minute;
  ShortString<100> title;
  std::uint8_t kind;  // an EventKind; other values count as occupied
  std::uint8_t pulse_seconds;

  bool isEmptyKind() const { return kind == static_cast<std::uint8_t>(EventKind::Empty); }
  int timeKey() const { return hour * 60 + minute; }
};

using DaySchedule = std::array<ScheduleEvent, kSlotsPerDay>;
using WeekSchedule = std::array<DaySchedule, kDays>;

struct ProjectSummary {
  ShortString<7> start_tag;
  ShortString<100> title;
  ShortString<100> subject;
  ShortString<100> author;
  ShortString<100> manager;
  ShortString<100> company;
  ShortString<100> category;
  ShortString<100> keywords;
  ShortString<255> comments;
  ShortString<10> summary_date;
  ShortString<7> end_tag;
};

struct ProjectSetup {
  WeekSchedule week;
  ProjectSummary summary;

  // Day 1..7, slot 1..128, as the file numbers them.
  ScheduleEvent& slot(int day, int slot) { return week[day - 1][slot - 1]; }
  const ScheduleEvent& slot(int day, int slot) const { return week[day - 1][slot - 1]; }
  DaySchedule& day(int day) { return week[day - 1]; }
  const DaySchedule& day(int day) const { return week[day - 1]; }
};

inline constexpr std::size_t kProjectFileSize = 95070;
inline constexpr std::size_t kSummaryOffset = 94080;

static_assert(std::is_standard_layout_v<ProjectSetup> && std::is_trivially_copyable_v<ProjectSetup>);
static_assert(sizeof(ScheduleEvent) == 105);
static_assert(offsetof(ScheduleEvent, title) == 2);
static_assert(offsetof(ScheduleEvent, kind) == 103);
static_assert(offsetof(ScheduleEvent, pulse_seconds) == 104);
static_assert(sizeof(DaySchedule) == 13440);
static_assert(sizeof(WeekSchedule) == 94080);
static_assert(sizeof(ProjectSummary) == 990);
static_assert(offsetof(ProjectSummary, title) == 8);
static_assert(offsetof(ProjectSummary, subject) == 109);
static_assert(offsetof(ProjectSummary, author) == 210);
static_assert(offsetof(ProjectSummary, manager) == 311);
static_assert(offsetof(ProjectSummary, company) == 412);
static_assert(offsetof(ProjectSummary, category) == 513);
static_assert(offsetof(ProjectSummary, keywords) == 614);
static_assert(offsetof(ProjectSummary, comments) == 715);
static_assert(offsetof(ProjectSummary, summary_date) == 971);
static_assert(offsetof(ProjectSummary, end_tag) == 982);
static_assert(offsetof(ProjectSetup, summary) == kSummaryOffset);
static_assert(sizeof(ProjectSetup) == kProjectFileSize);

// Prepares the record for a new project: tags set, texts emptied, slots 1..120 of every
// day empty. Slots 121..128 keep whatever they hold.
void ResetProject(ProjectSetup& project);

// Both tags in place, count bytes included: what makes a record a project.
bool HasProjectTags(const ProjectSetup& project);

// The cell text of one occupied slot: "07:05, 3", "06:00, On".
QString EventText(const ScheduleEvent& event);

// Puts slots 1..120 of a day (1..7) into time order. The gap-halving exchange sort is not
// stable: events with equal times may change places.
void SortDay(ProjectSetup& project, int day);

// The program-wide project flags and paths.
struct ProjectState {
  QString project_path;
  bool project_open = false;
  bool project_readonly = false;
  bool project_changed = false;
  bool properties_mode = false;  // the properties dialog was opened by Properties, not New
  QString program_folder;        // with a trailing separator
};

}  // namespace zmr
