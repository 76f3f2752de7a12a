#pragma once
// The hardware status dialog's work outside its widgets: one status reading, the clock
// synchronisation without a status report to write to, and the six-line copy report.
#include <optional>

#include <QDateTime>
#include <QString>

#include "base/version.h"
#include "hardware/date_texts.h"
#include "link/timer_commands.h"

namespace zmr {

class Prompts;
class TimerLink;

// The captions of the dialog's fields; the copy report repeats them.
inline const QString kTimerStateCaption = QStringLiteral("Timer Status:");
inline const QString kProductCodeCaption = QStringLiteral("Product Code:");
inline const QString kSerialNumberCaption = QStringLiteral("Serial Number:");
inline const QString kFirmwareCaption = QStringLiteral("Firmware version:");
inline const QString kUnitDateTimeCaption = QStringLiteral("Unit date/time:");

// Hourglass, a turn of the message loop (so the dialog is painted before the exchange),
// preamble and status query. The field texts on success; on failure the beep and the
// "Timer was not found" box, after the cursor is back, and nothing.
std::optional<StatusTexts> ReadTimerStatus(TimerLink& link, Prompts& prompts);

// The PC clock into the timer (clock read, preamble, ClockSet). On failure the cursor is
// back before the box: the "Timer was not found" box without a beep, or the refusal of a
// PC year the timer cannot hold (nothing sent then). True when the timer took it.
bool SetTimerClock(TimerLink& link, Prompts& prompts);

// The PC's date and time in the system's short date and long time formats, one blank between.
QString PcDateTimeText(const QDateTime& now, const DateTimeFormats& formats);

// Six lines, each ended by CR LF: product code, serial number, firmware, program version,
// unit date/time, PC date/time, with the tabs that line them up. The fields are taken as
// the dialog shows them, empty ones too; the activation state is not part of it.
QString StatusReport(const StatusTexts& shown, const QString& pc_date_time);

}  // namespace zmr
