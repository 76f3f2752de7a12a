#pragma once
// Upkeep: bring one timer to what its plan says for a day, with nobody at the PC.
// First the timer's clock (set when it strays beyond the plan's tolerance or sits on
// another weekday), then either the week due (downloaded unless the timer is known to
// hold it, then activated) or no bells (deactivated). The decisions are pure; RunUpkeep
// carries them out over a TimerLink, tells what it does as events and returns the outcome.
#include <QDateTime>
#include <QString>
#include <optional>

#include "hardware/week_state.h"
#include "plan/plan_model.h"

namespace zmr {

class TimerLink;

// The timer as one status reading shows it.
struct TimerReading {
  QDateTime clock;  // its wall clock; invalid when the reply held no date and time
  int weekday = 0;  // 1 = Monday .. 7 = Sunday
  bool activated = false;
};

// Takes the reading out of a good StatusReply in link_data and unit_status.
TimerReading ReadingOf(const TimerLink& link);

// Why the last status reply cannot be a timer's true reading ("19 of 29 bytes",
// "month 13", "weekday 0"); empty when it is complete and every field is in range.
QString ImplausibleReading(const TimerLink& link);

// Seconds from the PC's wall clock to the timer's (positive: the timer is ahead). Both are
// taken as the plain date and time they show, never through time-zone rules, so the
// hour a clock change puts between them is an hour, and no other hour is.
qint64 WallClockOffsetSecs(const QDateTime& pc, const QDateTime& timer);

struct UpkeepSteps {
  bool set_clock = false;
  QString clock_reason;   // why, e.g. "it was 1 h 0 min 2 s behind"
  bool download = false;
  QString download_reason;
  bool activate = false;
  bool deactivate = false;
};

// week_hash: WeekHash of the week due (empty when no bells are due).
UpkeepSteps DecideUpkeep(const TimerReading& timer, const QDateTime& pc_now, int clock_tolerance,
                         const DayDecision& day, const QString& week_hash, const std::optional<WeekRecord>& held);

enum class UpkeepOutcome { Done, Refused, PortError, TimerFailed, OtherFailure };

// The exit status a run with this outcome ends with (zmrctl's: 0, 3, 4, 5, 6).
int UpkeepExitStatus(UpkeepOutcome outcome);
// "done", "refused", "port error", "timer failed", "failed"; and back.
QString UpkeepOutcomeText(UpkeepOutcome outcome);
std::optional<UpkeepOutcome> UpkeepOutcomeNamed(const QString& text);

// What upkeep tells: what it did or would do, a warning or an error (a port error apart,
// since it ends the run with its own exit status), or why a plan was refused.
enum class UpkeepEventKind { Note, Warning, Error, PortError, Refusal };

struct UpkeepEvent {
  UpkeepEventKind kind = UpkeepEventKind::Note;
  QString text;
  bool operator==(const UpkeepEvent&) const = default;
};

// The event as one line: "error: ", "warning: " or "port error: " before its text.
QString UpkeepEventLine(const UpkeepEvent& event);

class UpkeepEvents {
 public:
  virtual ~UpkeepEvents() = default;
  virtual void event(const UpkeepEvent& event) = 0;
  // Called between the requests of a long step (a download), so that a window showing
  // the events can repaint meanwhile.
  virtual void breathe() {}
};

// A port that another program holds is tried again for this long before the run gives up.
inline constexpr int kBusyPortRetrySecs = 120;
inline constexpr int kBusyPortPauseMs = 5000;

struct UpkeepJob {
  const YearPlan& plan;
  QString port_name;  // the plan's port, or the default one
  QDate date;         // the day whose plan is carried out
  bool dry_run = false;
  QString state_folder;
  TimerKey timer{};  // TimerKeyOf(port_name), when the caller has it; else found here
  // Sets the timer's clock even when the kernel does not say the PC's clock is
  // synchronised (a site without network time).
  bool trust_clock = false;
};

// Takes the port (waiting for one another program holds), reads the timer, decides and
// acts (a dry run only says what it would do). Port errors end the job as PortError.
// The timer's clock is set from the PC's only while the PC's clock is known to be
// synchronised (or trust_clock): right after boot it may be far off.
UpkeepOutcome RunUpkeep(const UpkeepJob& job, TimerLink& link, UpkeepEvents& events);

}  // namespace zmr
