#include "editor/several_days.h"

#include <QStringList>

#include "editor/editor_texts.h"
#include "editor/entry_checks.h"

namespace zmr {

QString ShortDayName(int day) {
  static const char* const kNames[kDays] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  return QString::fromLatin1(kNames[day - 1]);
}

QString DayList(std::span<const int> days) {
  QStringList names;
  for (const int day : days) {
    names << ShortDayName(day);
  }
  return names.join(QStringLiteral(", "));
}

SeveralDaysResult AddEventToDays(ProjectSetup& project, const ScheduleEvent& event,
                                 std::span<const int> days) {
  SeveralDaysResult result;
  for (const int day : days) {
    const auto refusal = AddEventToDay(ScheduleSlots(project.day(day)), event);
    if (!refusal) {
      result.added.push_back(day);
      for (int d = 1; d <= kDays; ++d) {
        SortDay(project, d);  // as after each press of a day button
      }
    } else if (*refusal == kTimeExistsText) {
      result.time_exists.push_back(day);
    } else {
      result.full.push_back(day);
    }
  }
  return result;
}

QString SeveralDaysRefusal(const SeveralDaysResult& result) {
  QStringList lines;
  if (!result.time_exists.empty()) {
    lines << kNotAddedText.arg(DayList(result.time_exists), kTimeExistsText);
  }
  if (!result.full.empty()) {
    lines << kNotAddedText.arg(DayList(result.full), kDayFullText);
  }
  return lines.join(u'\n');
}

std::vector<int> SameOnOtherDays(ProjectSetup& project, int day, int slot) {
  const ScheduleEvent& source = project.slot(day, slot);
  std::vector<int> days;
  if (static_cast<EventKind>(source.kind) != EventKind::Pulse) {
    return days;
  }
  for (int other = 1; other <= kDays; ++other) {
    if (other == day) {
      continue;
    }
    const int found = FindTimeInDay(ScheduleSlots(project.day(other)), source.hour, source.minute);
    if (found == 0) {
      continue;
    }
    ScheduleEvent& target = project.slot(other, found);
    if (static_cast<EventKind>(target.kind) == EventKind::Pulse) {
      target.title = source.title;
      target.pulse_seconds = source.pulse_seconds;
      days.push_back(other);
    }
  }
  return days;
}

QString SameOnOtherDaysNote(const QString& time, std::span<const int> days) {
  return days.empty() ? kSameNoneNote.arg(time) : kSameCopiedNote.arg(time, DayList(days));
}

}  // namespace zmr
