#pragma once
// Compile and download: the week goes to the timer day by day, then the timer's clock is
// compared with the PC's and a timer that is not activated is offered activation. Also
// the clock synchronisation. The compile-and-download window and zmrctl both run these.
#include <cstdint>
#include <optional>

#include <QString>

#include "hardware/date_texts.h"
#include "hardware/week_state.h"

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

// Where a download keeps what the timer holds (week_state.h).
struct DownloadRecord {
  QString state_folder;
  TimerKey timer;
};

struct DownloadContext {
  TimerLink& link;
  Prompts& prompts;
  DownloadView& view;
  DateTimeFormats formats = DateTimeFormats::System();
  // The record is cleared before the first chunk and written after the closing check;
  // a record that could not be written is left here for the caller to tell.
  std::optional<DownloadRecord> record{};
  QString record_fault{};
};

// The download button. Holds the port (a PortError on opening ends it before anything
// changed). Clears state.project_changed only once every day was sent.
DownloadResult DownloadSchedule(DownloadContext& context, const ProjectSetup& project, ProjectState& state,
                                const QString& port_name);

// The synchronise button: the PC clock into the timer. True when the timer took it.
bool SynchronizeClock(DownloadContext& context, const QString& port_name);

}  // namespace zmr
