#pragma once
// The checks an event must pass before it enters a day: its time and pulse fields read
// as whole numbers in range, no second event at the same time, a free slot to take it.
// The CSV import applies the same rules to a file's lines.
#include <QString>
#include <optional>

#include "project/project_model.h"

namespace zmr {

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
int FindTimeInDay(const DaySchedule& day, int hour, int minute, int except_slot = 0);
// The first slot (1..120) whose kind is Empty; 0 when the day is full.
int FirstFreeSlot(const DaySchedule& day);

// A Pulse event as the editor stores it; the title cut to the field's 100 characters.
ScheduleEvent MakePulseEvent(const QString& title, int hour, int minute, int pulse_seconds);
// An empty slot with every mark of emptiness.
void EmptySlot(ScheduleEvent& event);

}  // namespace zmr
