#pragma once
// Upkeep: bring one timer to what its plan says for a day, with nobody at the PC.
// First the timer's clock (set when it strays beyond the plan's tolerance or sits on
// another weekday), then either the week due (downloaded unless the timer is known to
// hold it, then activated) or no bells (deactivated). The decisions are pure; RunUpkeep
// carries them out over a TimerLink and says what it did, one line per action.
#include <QDateTime>
#include <QString>
#include <optional>

#include "plan/plan_model.h"
#include "plan/week_state.h"

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

enum class UpkeepOutcome { Done, PortError, TimerFailed, OtherFailure };

class UpkeepLines {
 public:
  virtual ~UpkeepLines() = default;
  virtual void line(const QString& text) = 0;
  // Called between the requests of a long step (a download), so that a window showing
  // the lines can repaint meanwhile.
  virtual void breathe() {}
};

struct UpkeepJob {
  const YearPlan& plan;
  QString port_name;  // the plan's port, or the default one
  QDate date;         // the day whose plan is carried out
  bool dry_run = false;
  QString state_folder;
};

// Opens the port by name, reads the timer, decides and acts (a dry run only says what
// it would do). Port errors end the job as PortError; every line goes to lines.
UpkeepOutcome RunUpkeep(const UpkeepJob& job, TimerLink& link, UpkeepLines& lines);

}  // namespace zmr
