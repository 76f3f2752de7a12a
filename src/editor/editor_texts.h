#pragma once
// The schedule editor's refusals. The CSV exchange reports the same faults of a file's
// line with the same words, so they live here, apart from the editor's code.
#include <QString>

namespace zmr {

inline const QString kInvalidTimeText = QStringLiteral(
    "The time entered appears not to be a valid time, and/or is not in a valid time format.");
// An insert and a write-back word the pulse refusal differently.
inline const QString kInsertPulseText = QStringLiteral(
    "This is not a valid Pulse Duration. Please select any time between 1 and 59 seconds.");
inline const QString kUpdatePulseText = QStringLiteral(
    "Not a valid Pulse Duration. Please select any time between 1 and 59 seconds.");
inline const QString kTimeExistsText = QStringLiteral("This Scheduled time already exists!");
inline const QString kDayFullText = QStringLiteral("This day has no available timers left!");
inline const QString kOneDayOnlyText = QStringLiteral("You can not copy more than one day a time!");

inline constexpr int kMinPulseSeconds = 1;
inline constexpr int kMaxPulseSeconds = 59;

}  // namespace zmr
