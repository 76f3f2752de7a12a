#pragma once
// The rules that decide whether an event may join a day, as the schedule editor applies
// them on an insert. Small and free of any window so that the editor and the CSV import
// build days the same way.
#include <optional>
#include <span>

#include <QString>

#include "project/project_model.h"

namespace zmr {

// Slots 1..120 of a day: the part of a day table that is the schedule.
using DaySlots = std::span<ScheduleEvent, kEventsPerDay>;
using ConstDaySlots = std::span<const ScheduleEvent, kEventsPerDay>;

inline ConstDaySlots ScheduleSlots(const DaySchedule& day) { return ConstDaySlots(day.data(), kEventsPerDay); }
inline DaySlots ScheduleSlots(DaySchedule& day) { return DaySlots(day.data(), kEventsPerDay); }

bool IsValidTime(int hour, int minute);
bool IsValidPulse(int pulse_seconds);

// The slot (1..120) holding an event at this hour and minute, or 0. `except_slot` is left
// out of the search (a write-back compares against the other events only).
int SlotHoldingTime(ConstDaySlots day, int hour, int minute, int except_slot = 0);

// The first slot (1..120) whose kind is Empty, or 0 when the day is full.
int FirstFreeSlot(ConstDaySlots day);

// Puts the event into the first free slot, checked in the editor's order: a time the day
// already holds, then a full day. Returns the refusal text, or nothing when it was added.
std::optional<QString> AddEventToDay(DaySlots day, const ScheduleEvent& event);

// An empty slot as reset and delete write it.
ScheduleEvent EmptyEvent();

}  // namespace zmr
