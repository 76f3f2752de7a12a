#include "editor/night_bells.h"

#include "editor/schedule_grid.h"

namespace zmr {

bool IsNightHour(int hour) { return hour >= kNightStartsHour || hour < kNightEndsHour; }

std::optional<QString> NightNote(const WeekSchedule& before, int hour, int minute, WeekPlace replaced) {
  if (!IsNightHour(hour)) {
    return std::nullopt;
  }
  for (int day = 1; day <= kDays; ++day) {
    for (int slot = 1; slot <= kEventsPerDay; ++slot) {
      const ScheduleEvent& e = before[day - 1][slot - 1];
      const bool replaced_here = day == replaced.day && slot == replaced.slot;
      if (!e.isEmptyKind() && !replaced_here && IsNightHour(e.hour)) {
        return std::nullopt;  // the week already rings at night: this one is meant
      }
    }
  }
  return kNightNote.arg(ClockText(hour, minute));
}

}  // namespace zmr
