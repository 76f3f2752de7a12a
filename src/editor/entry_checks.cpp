#include "editor/entry_checks.h"

#include "editor/editor_texts.h"

namespace zmr {

std::optional<int> ReadWholeNumber(const QString& text) {
  int i = 0;
  const int n = text.size();
  while (i < n && text[i] == ' ') {
    ++i;
  }
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == n) {
    return std::nullopt;
  }
  long long value = 0;
  for (; i < n; ++i) {
    const QChar c = text[i];
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + (c.unicode() - '0');
    if (value > 1'000'000'000) {  // far beyond any field's range; never overflows
      return std::nullopt;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

bool IsValidTime(int hour, int minute) { return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59; }

bool IsValidPulse(int pulse_seconds) {
  return pulse_seconds >= kMinPulseSeconds && pulse_seconds <= kMaxPulseSeconds;
}

EntryFault ReadEntry(const EntryFields& fields, EntryValues& values) {
  const auto hour = ReadWholeNumber(fields.time.mid(0, 2));
  const auto minute = ReadWholeNumber(fields.time.mid(3, 2));
  if (!hour || !minute || !IsValidTime(*hour, *minute)) {
    return EntryFault::Time;
  }
  const auto pulse = ReadWholeNumber(fields.pulse);
  if (!pulse || !IsValidPulse(*pulse)) {
    return EntryFault::Pulse;
  }
  values = {*hour, *minute, *pulse};
  return EntryFault::None;
}

int FindTimeInDay(ConstDaySlots day, int hour, int minute, int except_slot) {
  for (int slot = 1; slot <= kEventsPerDay; ++slot) {
    const ScheduleEvent& e = day[static_cast<std::size_t>(slot - 1)];
    // A slot counts by its kind; a stray time left in an empty slot blocks nothing.
    if (slot != except_slot && !e.isEmptyKind() && e.hour == hour && e.minute == minute) {
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
  if (FindTimeInDay(day, event.hour, event.minute) != 0) {
    return kTimeExistsText;
  }
  const int slot = FirstFreeSlot(day);
  if (slot == 0) {
    return kDayFullText;
  }
  day[static_cast<std::size_t>(slot - 1)] = event;
  return std::nullopt;
}

ScheduleEvent MakeEvent(EventKind kind, const QString& title, int hour, int minute, int pulse_seconds) {
  ScheduleEvent e{};
  e.hour = static_cast<std::uint8_t>(hour);
  e.minute = static_cast<std::uint8_t>(minute);
  e.title.setText(title);
  e.kind = static_cast<std::uint8_t>(kind);
  e.pulse_seconds = static_cast<std::uint8_t>(pulse_seconds);
  return e;
}

void EmptySlot(ScheduleEvent& event) {
  event.hour = kEmptyTime;
  event.minute = kEmptyTime;
  event.kind = static_cast<std::uint8_t>(EventKind::Empty);
  event.pulse_seconds = 0;
  event.title.clear();
}

ScheduleEvent EmptyEvent() {
  ScheduleEvent e{};
  EmptySlot(e);
  return e;
}

}  // namespace zmr
