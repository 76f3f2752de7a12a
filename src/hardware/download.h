#pragma once
// Compile and download: the week goes to the timer day by day, then the timer's clock is
// compared with the PC's and a timer that is not activated is offered activation. Also
// the clock synchronisation. The compile-and-download window and zmrctl both run these.
#include <cstdint>

#include <QString>

#include "hardware/date_texts.h"

namespace zmr {

class Clock;
class DownloadView;
class Prompts;
class TimerLink;
struct ProjectSetup;
struct ProjectState;

inline const QString kClockDifferenceText =
    QStringLiteral("The Date/Time difference between PC & ZMR clocks exceeds 1 minute.");
inline const QString kActivateQuestionText =
    QStringLiteral("The Timer is not activated, would you like to do so?");
inline const QString kDownloadFailedLine = QStringLiteral("Downloading was unsuccessful!");
inline const QString kClockUpdatedLine = QStringLiteral("Timer date/time update was successful!");

enum class DownloadResult {
  Completed,     // every day sent and the status read (warnings may have been shown)
  NoConnection,  // the checked link check failed: nothing was sent
  WriteFailed,   // a schedule write failed part-way
  StatusFailed,  // sent, but the status after it could not be read (or held no valid clock)
};

struct DownloadContext {
  TimerLink& link;
  Prompts& prompts;
  DownloadView& view;
  DateTimeFormats formats = DateTimeFormats::System();
};

// The download button. Opens the port on com_port when needed (a PortError then ends it
// before anything changed). Clears state.project_changed only once every day was sent.
DownloadResult DownloadSchedule(DownloadContext& context, const ProjectSetup& project, ProjectState& state,
                                std::uint16_t com_port);

// The synchronise button: the PC clock into the timer. True when the timer took it.
bool SynchronizeClock(DownloadContext& context, std::uint16_t com_port);

}  // namespace zmr
