#pragma once
// A bell at night is more often a slip of the hand ("3.30" typed for half past three in
// the afternoon) than a wish. When a new event falls in the night while every other event
// of the week rings in the day, the editor says so in a note; the event stays, because
// night shifts exist.
#include <QString>
#include <optional>

#include "project/project_model.h"

namespace zmr {

// The night: 22:00 up to 05:59.
inline constexpr int kNightStartsHour = 22;
inline constexpr int kNightEndsHour = 6;

// The night begins and ends on the hour.
bool IsNightHour(int hour);

// A slot of the week: day 1..7, slot 1..120; day 0 names none.
struct WeekPlace {
  int day = 0;
  int slot = 0;
};

// The note for a new time hour:minute, given the week as it stood before the change: only
// when that time is at night and every event of that week but the one at `replaced` (the
// event a write-back rewrites) rings in the day.
std::optional<QString> NightNote(const WeekSchedule& before, int hour, int minute, WeekPlace replaced = {});

inline const QString kNightNote = QStringLiteral("%1 is at night");

}  // namespace zmr
