#pragma once
// The checks an event must pass before it enters a day: its time and pulse fields read
// as whole numbers in range, no second event at the same time, a free slot to take it.
// The CSV import applies the same rules to a file's lines.
#include <QString>
#include <optional>
#include <span>

#include "project/project_model.h"

namespace zmr {

// Slots 1..120 of a day: the part of a day table that is the schedule.
using DaySlots = std::span<ScheduleEvent, kEventsPerDay>;
using ConstDaySlots = std::span<const ScheduleEvent, kEventsPerDay>;

inline ConstDaySlots ScheduleSlots(const DaySchedule& day) {
  return ConstDaySlots(day.data(), kEventsPerDay);
}
inline DaySlots ScheduleSlots(DaySchedule& day) { return DaySlots(day.data(), kEventsPerDay); }

// A whole decimal number: leading blanks and one leading sign allowed; an empty text,
// a trailing blank or any other character fails.
std::optional<int> ReadWholeNumber(const QString& text);

bool IsValidTime(int hour, int minute);
bool IsValidPulse(int pulse_seconds);

// The entry row as typed: time as the masked field shows it ("  :  " when empty).
struct EntryFields {
  QString title;
  QString pulse;
  QString time;
};

enum class EntryFault { None, Time, Pulse };

struct EntryValues {
  int hour = 0;
  int minute = 0;
  int pulse_seconds = 0;
};

// Reads hour (characters 1-2), minute (4-5) and pulse; the first fault in that order.
EntryFault ReadEntry(const EntryFields& fields, EntryValues& values);

// Slot (1..120) of an event of the day at hour:minute, other than except_slot; 0 if none.
// A write-back passes its own slot as except_slot: it compares against the others only.
int FindTimeInDay(ConstDaySlots day, int hour, int minute, int except_slot = 0);
// The first slot (1..120) whose kind is Empty; 0 when the day is full.
int FirstFreeSlot(ConstDaySlots day);

// Puts the event into the first free slot, checked in the editor's order: a time the day
// already holds, then a full day. Returns the refusal text, or nothing when it was added.
std::optional<QString> AddEventToDay(DaySlots day, const ScheduleEvent& event);

// An event of the given kind; the title in Windows-1252 ('?' for what it lacks), cut to
// the field's 100 characters.
ScheduleEvent MakeEvent(EventKind kind, const QString& title, int hour, int minute, int pulse_seconds);
// A Pulse event as the editor stores it.
inline ScheduleEvent MakePulseEvent(const QString& title, int hour, int minute, int pulse_seconds) {
  return MakeEvent(EventKind::Pulse, title, hour, minute, pulse_seconds);
}
// Gives a slot every mark of emptiness; the title's bytes after its count are left.
void EmptySlot(ScheduleEvent& event);
// A fresh empty slot, every byte set.
ScheduleEvent EmptyEvent();

}  // namespace zmr
