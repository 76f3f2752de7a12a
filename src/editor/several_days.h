#pragma once
// Steps that act on several days of the week at once: one event into a set of days, and
// the title and pulse of one event given to the events at its time on the other days.
// Both change the record only; the editor saves, refills and records the undo step.
#include <QString>
#include <span>
#include <vector>

#include "project/project_model.h"

namespace zmr {

// The days the several-days buttons add to, Monday first.
inline constexpr std::array<int, 5> kMondayToFriday = {1, 2, 3, 4, 5};
inline constexpr std::array<int, kDays> kEveryDay = {1, 2, 3, 4, 5, 6, 7};

// "Mon" .. "Sun", as the day buttons read.
QString ShortDayName(int day);
// "Mon, Tue, Fri".
QString DayList(std::span<const int> days);

// What an insert into several days did: the days that took the event, and those that
// refused it because they already hold its time or have no free slot.
struct SeveralDaysResult {
  std::vector<int> added;
  std::vector<int> time_exists;
  std::vector<int> full;
};

// The event goes into each day in turn, exactly as pressing each day's button would put
// it there: the first free slot of the day, then every day sorted. A refused day keeps
// its events; the others get the event all the same.
SeveralDaysResult AddEventToDays(ProjectSetup& project, const ScheduleEvent& event,
                                 std::span<const int> days);

// The one message that names the refused days, each group with the insert's own
// refusal; empty when every day took the event.
QString SeveralDaysRefusal(const SeveralDaysResult& result);

// The days other than `day` whose Pulse event at the time of slot `slot` of `day` now has
// that event's title and pulse. Events of other kinds at that time are never written.
std::vector<int> SameOnOtherDays(ProjectSetup& project, int day, int slot);

// What the window says after SameOnOtherDays: which days now match, or that none has an
// event at that time. `time` as the grid shows it ("10:15").
QString SameOnOtherDaysNote(const QString& time, std::span<const int> days);

inline const QString kNotAddedText = QStringLiteral("Not added to %1: %2");
inline const QString kSameCopiedNote = QStringLiteral("Title and pulse of %1 copied to %2.");
inline const QString kSameNoneNote = QStringLiteral("No other day has an event at %1.");

}  // namespace zmr
