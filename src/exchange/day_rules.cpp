#include "exchange/day_rules.h"

#include "editor/editor_texts.h"

namespace zmr {

bool IsValidTime(int hour, int minute) { return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59; }

bool IsValidPulse(int pulse_seconds) {
  return pulse_seconds >= kMinPulseSeconds && pulse_seconds <= kMaxPulseSeconds;
}

int SlotHoldingTime(ConstDaySlots day, int hour, int minute, int except_slot) {
  for (int slot = 1; slot <= kEventsPerDay; ++slot) {
    const ScheduleEvent& e = day[static_cast<std::size_t>(slot - 1)];
    if (slot != except_slot && e.hour == hour && e.minute == minute) {
      return slot;
    }
  }
  return 0;
}

int FirstFreeSlot(ConstDaySlots day) {
  for (int slot = 1; slot <= kEventsPerDay; ++slot) {
    if (day[static_cast<std::size_t>(slot - 1)].isEmptyKind()) {
      return slot;
    }
  }
  return 0;
}

std::optional<QString> AddEventToDay(DaySlots day, const ScheduleEvent& event) {
  if (SlotHoldingTime(day, event.hour, event.minute) != 0) {
    return kTimeExistsText;
  }
  const int slot = FirstFreeSlot(day);
  if (slot == 0) {
    return kDayFullText;
  }
  day[static_cast<std::size_t>(slot - 1)] = event;
  return std::nullopt;
}

ScheduleEvent EmptyEvent() {
  ScheduleEvent e{};
  e.hour = kEmptyTime;
  e.minute = kEmptyTime;
  e.kind = static_cast<std::uint8_t>(EventKind::Empty);
  return e;
}

}  // namespace zmr
