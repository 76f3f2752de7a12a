#pragma once
// What the calendar reader says of a holiday calendar: the faults that refuse it (each
// with its line in the .ics) and the warnings of a calendar that is read all the same.
#include <QString>

namespace zmr {

// The calendar as a whole.
inline const QString kIcsNoCalendarText = QStringLiteral("it holds no VCALENDAR");
inline const QString kIcsNeverClosedText = QStringLiteral("BEGIN:%1 is never closed");
inline const QString kIcsStrayEndText = QStringLiteral("END:%1 closes nothing that is open");
inline const QString kIcsZeroByteText = QStringLiteral("a zero byte, which no text calendar holds");

// An event, named by its SUMMARY (kIcsEventText) or as one without.
inline const QString kIcsEventText = QStringLiteral("\"%1\"");
inline const QString kIcsNamelessEventText = QStringLiteral("an event without SUMMARY");
inline const QString kIcsNoStartText = QStringLiteral("%1 has no DTSTART");
inline const QString kIcsEmptyText = QStringLiteral("%1 of %2 is empty");
inline const QString kIcsNotTimeText = QStringLiteral("%1 of %2 is not a date or a date with time: %3");
inline const QString kIcsNotDurationText = QStringLiteral("DURATION of %1 is not a duration: %2");
inline const QString kIcsNegativeText = QStringLiteral("DURATION of %1 is negative: %2");
inline const QString kIcsEndBeforeStartText = QStringLiteral("DTEND of %1 is before its DTSTART: %2");
inline const QString kIcsNotRuleText = QStringLiteral("RRULE of %1 is not a recurrence rule: %2");
inline const QString kIcsCalendarBoundText =
    QStringLiteral("RRULE of %1: the calendar's rules take more than %2 steps to expand");

// Warnings: the calendar is read, with this left out or taken as it stands.
inline const QString kIcsIgnoredOneText = QStringLiteral("1 fault in a line that decides no day was ignored");
inline const QString kIcsIgnoredText = QStringLiteral("%1 faults in lines that decide no day were ignored");
inline const QString kIcsRuleBoundText =
    QStringLiteral("line %1: RRULE of %2 is left out: it takes more than %3 steps to expand: %4");
inline const QString kIcsUnknownZoneText =
    QStringLiteral("line %1: TZID \"%2\" names no time zone known here; its times are taken as they stand");

}  // namespace zmr
