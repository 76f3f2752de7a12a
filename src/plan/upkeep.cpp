#include "plan/upkeep.h"

#include <QLocale>
#include <cstdlib>

#include "base/errors.h"
#include "base/prompts.h"
#include "hardware/activation.h"
#include "hardware/download.h"
#include "hardware/download_view.h"
#include "hardware/wall_clock.h"
#include "link/port_error.h"
#include "link/timer_commands.h"
#include "link/timer_link.h"
#include "plan/plan_days.h"
#include "project/project_model.h"

namespace zmr {
namespace {

constexpr qint64 kSecsPerMinute = 60;
constexpr qint64 kSecsPerHour = 3600;

QString Duration(qint64 secs) {
  if (secs >= kSecsPerHour) {
    return QStringLiteral("%1 h %2 min %3 s")
        .arg(secs / kSecsPerHour)
        .arg(secs % kSecsPerHour / kSecsPerMinute)
        .arg(secs % kSecsPerMinute);
  }
  if (secs >= kSecsPerMinute) return QStringLiteral("%1 min %2 s").arg(secs / kSecsPerMinute).arg(secs % kSecsPerMinute);
  return QStringLiteral("%1 s").arg(secs);
}

QString DayName(int weekday) {
  return weekday >= 1 && weekday <= kDays ? QLocale::c().dayName(weekday) : QStringLiteral("day %1").arg(weekday);
}

// Boxes become lines; the download's question is answered No (upkeep activates itself).
class LinePrompts : public HeadlessPrompts {
 public:
  explicit LinePrompts(UpkeepLines& lines) : lines_(lines) {}
  int errors = 0;
  void processEvents() override { lines_.breathe(); }
  BoxAnswer message(BoxKind kind, const QString& text, BoxButtons buttons) override {
    if (buttons == BoxButtons::YesNo) return BoxAnswer::No;
    if (kind == BoxKind::Error) ++errors;
    lines_.line((kind == BoxKind::Error ? QStringLiteral("error: ") : QStringLiteral("warning: ")) + text);
    return BoxAnswer::Ok;
  }

 private:
  UpkeepLines& lines_;
};

// The download's memo is kept back; only its last line is told, when it failed.
class QuietView : public DownloadView {
 public:
  QString last;
  void addLine(const QString& line) override { last = line; }
  void clearLines() override {}
  void setProgress(int, int) override {}
  void setDownloadEnabled(bool) override {}
  void setUpdateEnabled(bool) override {}
  void setCloseEnabled(bool) override {}
};

class Upkeep {
 public:
  Upkeep(const UpkeepJob& job, TimerLink& link, UpkeepLines& lines)
      : job_(job), link_(link), lines_(lines), prompts_(lines) {}

  UpkeepOutcome run() {
    try {
      return work();
    } catch (const PortError& e) {
      lines_.line(QStringLiteral("port error: ") + PortErrorText(e).replace('\n', ' '));
      return UpkeepOutcome::PortError;
    }
  }

 private:
  UpkeepOutcome work() {
    open();
    link_.LinkPreamble();
    if (!link_.QueryStatus()) return timerFailed(kTimerNotFoundText);
    const TimerReading timer = ReadingOf(link_);
    const QDateTime now = link_.clock().now();
    const DayDecision day = DecideDay(job_.plan, job_.date);
    const ProjectSetup* week = nullptr;
    QString hash;
    if (day.bells) {
      week = job_.plan.weeks.at(day.week).get();
      hash = WeekHash(*week);
    }
    const WeekStateStore store(job_.state_folder);
    const UpkeepSteps steps =
        DecideUpkeep(timer, now, job_.plan.clock_tolerance, day, hash, store.held(job_.port_name));
    const QString what = day.bells ? QStringLiteral("%1 (%2)").arg(day.week, day.reason)
                                   : QStringLiteral("no bells (%1)").arg(day.reason);
    bool acted = false;

    if (steps.set_clock) {
      acted = true;
      if (job_.dry_run) {
        lines_.line(QStringLiteral("would set the clock from the PC: ") + steps.clock_reason);
      } else if (const UpkeepOutcome o = setClock(steps.clock_reason); o != UpkeepOutcome::Done) {
        return o;
      }
    }
    if (steps.download) {
      acted = true;
      if (job_.dry_run) {
        lines_.line(QStringLiteral("would download %1: %2").arg(what, steps.download_reason));
      } else if (const UpkeepOutcome o = download(*week, what, steps.download_reason); o != UpkeepOutcome::Done) {
        return o;
      }
    }
    if (steps.activate || steps.deactivate) {
      acted = true;
      const QString verb = steps.activate ? QStringLiteral("activate") : QStringLiteral("deactivate");
      if (job_.dry_run) {
        lines_.line(QStringLiteral("would %1 the timer: %2").arg(verb, what));
      } else {
        const bool ok = steps.activate ? ActivateTimer(link_, prompts_) : DeactivateTimer(link_, prompts_);
        if (!ok) return UpkeepOutcome::TimerFailed;  // the error line is out already
        lines_.line(QStringLiteral("%1d the timer: %2").arg(verb, what));
      }
    }
    if (!acted) {
      lines_.line(QStringLiteral("nothing to do: %1, timer %2").arg(what, timer.activated ? QStringLiteral("activated")
                                                                                         : QStringLiteral("deactivated")));
    }
    return outcome_;
  }

  void open() {
    SerialPort& port = link_.port();
    if (port.isOpen()) port.close();
    link_.port_opened = false;
    port.open(job_.port_name);
    port.purge(true, true);
    link_.port_opened = true;  // the download's EnsurePortOpen keeps this port
  }

  UpkeepOutcome timerFailed(const QString& text) {
    lines_.line(QStringLiteral("error: ") + text);
    return UpkeepOutcome::TimerFailed;
  }

  UpkeepOutcome setClock(const QString& reason) {
    const ClockPayloadResult payload = MakeClockPayload(link_.clock().now());
    if (!payload.payload) {
      lines_.line(QStringLiteral("error: ") + payload.refusal);
      return UpkeepOutcome::OtherFailure;
    }
    if (!SendClock(link_, *payload.payload)) return timerFailed(kTimerNotFoundText);
    lines_.line(QStringLiteral("clock set from the PC: ") + reason);
    return UpkeepOutcome::Done;
  }

  UpkeepOutcome download(const ProjectSetup& week, const QString& what, const QString& reason) {
    QuietView view;
    DownloadContext context{link_, prompts_, view};
    ProjectState state;
    // The port is open on the plan's port name already, so the download's com_port goes unused.
    constexpr std::uint16_t kPortAlreadyOpen = 0;
    const DownloadResult result = DownloadSchedule(context, week, state, kPortAlreadyOpen);
    if (result == DownloadResult::NoConnection || result == DownloadResult::WriteFailed) {
      return timerFailed(view.last);
    }
    // The week is in the timer even when the status after it could not be read.
    lines_.line(QStringLiteral("downloaded %1: %2").arg(what, reason));
    if (const QString fault = RecordDownload(job_.state_folder, job_.port_name, week, link_.clock().now());
        !fault.isEmpty()) {
      lines_.line(QStringLiteral("error: ") + fault);
      outcome_ = UpkeepOutcome::OtherFailure;
    }
    if (result == DownloadResult::StatusFailed) return UpkeepOutcome::TimerFailed;  // its error line is out
    return UpkeepOutcome::Done;
  }

  const UpkeepJob& job_;
  TimerLink& link_;
  UpkeepLines& lines_;
  LinePrompts prompts_;
  UpkeepOutcome outcome_ = UpkeepOutcome::Done;
};

}  // namespace

TimerReading ReadingOf(const TimerLink& link) {
  const auto& d = link.link_data;
  TimerReading r;
  r.clock = TimerWallClock(d);
  r.weekday = d[6];
  r.activated = link.unit_status[unit_status_at::kActivation] == 1;
  return r;
}

qint64 WallClockOffsetSecs(const QDateTime& pc, const QDateTime& timer) {
  return WallClockMsecs(pc, timer) / 1000;
}

UpkeepSteps DecideUpkeep(const TimerReading& timer, const QDateTime& pc_now, int clock_tolerance,
                         const DayDecision& day, const QString& week_hash, const std::optional<WeekRecord>& held) {
  UpkeepSteps s;
  if (!timer.clock.isValid()) {
    s.set_clock = true;
    s.clock_reason = QStringLiteral("it held no valid date and time");
  } else {
    const qint64 off = WallClockOffsetSecs(pc_now, timer.clock);
    if (std::llabs(off) > clock_tolerance) {
      s.set_clock = true;
      s.clock_reason = QStringLiteral("it was %1 %2").arg(Duration(std::llabs(off)), off > 0 ? "ahead" : "behind");
    } else if (timer.weekday != pc_now.date().dayOfWeek()) {
      s.set_clock = true;
      s.clock_reason = QStringLiteral("it was on %1, not %2").arg(DayName(timer.weekday), DayName(pc_now.date().dayOfWeek()));
    }
  }
  if (day.bells) {
    if (!WeekStateStore::Fresh(held, week_hash, pc_now)) {
      s.download = true;
      if (!held) {
        s.download_reason = QStringLiteral("the timer is not known to hold it");
      } else if (held->week_hash != week_hash) {
        s.download_reason = QStringLiteral("the timer holds another week");
      } else {
        s.download_reason = QStringLiteral("the timer was last given it on %1").arg(held->when.toLocalTime().toString(Qt::ISODate));
      }
    }
    s.activate = !timer.activated;
  } else {
    s.deactivate = timer.activated;
  }
  return s;
}

UpkeepOutcome RunUpkeep(const UpkeepJob& job, TimerLink& link, UpkeepLines& lines) {
  return Upkeep(job, link, lines).run();
}

}  // namespace zmr
