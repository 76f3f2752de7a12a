#include "plan/upkeep.h"

#include <QLocale>
#include <array>
#include <cstdlib>

#include "base/errors.h"
#include "base/prompts.h"
#include "hardware/activation.h"
#include "hardware/download.h"
#include "hardware/download_view.h"
#include "hardware/wall_clock.h"
#include "link/port_error.h"
#include "link/port_lease.h"
#include "link/timer_commands.h"
#include "link/timer_link.h"
#include "plan/plan_days.h"
#include "project/project_model.h"

namespace zmr {
namespace {

// Each outcome's exit status (zmrctl's, which the run's record keeps too) and its name.
struct OutcomeFacts {
  UpkeepOutcome outcome;
  int exit_status;
  const char* text;
};
constexpr std::array<OutcomeFacts, 5> kOutcomeFacts{{
    {UpkeepOutcome::Done, 0, "done"},
    {UpkeepOutcome::Refused, 3, "refused"},
    {UpkeepOutcome::PortError, 4, "port error"},
    {UpkeepOutcome::TimerFailed, 5, "timer failed"},
    {UpkeepOutcome::OtherFailure, 6, "failed"},
}};

constexpr const OutcomeFacts& FactsOf(UpkeepOutcome outcome) {
  return kOutcomeFacts[static_cast<std::size_t>(outcome)];
}
constexpr bool InOutcomeOrder() {
  for (std::size_t i = 0; i < kOutcomeFacts.size(); ++i) {
    if (static_cast<std::size_t>(kOutcomeFacts[i].outcome) != i) return false;
  }
  return true;
}
static_assert(InOutcomeOrder());
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

// Why the timer's clock was not set from a PC clock that may be wrong.
QString ClockLeftText(const QString& reason, const ClockSyncReading& sync, bool dry_run) {
  const QString why = sync.state == ClockSync::Unknown
                          ? QStringLiteral("whether this PC's clock is synchronised cannot be told (%1)").arg(sync.why)
                          : QStringLiteral("this PC's clock is not synchronised with network time");
  return QStringLiteral("%1 the clock as it is (%2): %3; upkeep --trust-clock sets it all the same")
      .arg(dry_run ? QStringLiteral("would leave") : QStringLiteral("left"), reason, why);
}

// Boxes become events; the download's question is answered No (upkeep activates itself).
class EventPrompts : public HeadlessPrompts {
 public:
  explicit EventPrompts(UpkeepEvents& events) : events_(events) {}
  void processEvents() override { events_.breathe(); }
  BoxAnswer message(BoxKind kind, const QString& text, BoxButtons buttons) override {
    if (buttons == BoxButtons::YesNo) return BoxAnswer::No;
    events_.event({kind == BoxKind::Error ? UpkeepEventKind::Error : UpkeepEventKind::Warning, text});
    return BoxAnswer::Ok;
  }

 private:
  UpkeepEvents& events_;
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
  Upkeep(const UpkeepJob& job, TimerLink& link, UpkeepEvents& events)
      : job_(job), link_(link), events_(events), prompts_(events) {}

  UpkeepOutcome run() {
    try {
      std::optional<PortLease> lease;
      if (!takePort(lease)) return UpkeepOutcome::PortError;
      return work();
    } catch (const PortError& e) {
      say(UpkeepEventKind::PortError, PortErrorText(e).replace('\n', ' '));
      return UpkeepOutcome::PortError;
    }
  }

 private:
  void say(UpkeepEventKind kind, const QString& text) { events_.event({kind, text}); }
  void note(const QString& text) { say(UpkeepEventKind::Note, text); }

  // An unattended run waits for a port another program holds (a console left open, a
  // technician's terminal) and tells, at the end, who kept it.
  bool takePort(std::optional<PortLease>& lease) {
    Clock& clock = link_.clock();
    const std::int64_t gives_up = clock.tickMs() + static_cast<std::int64_t>(kBusyPortRetrySecs) * 1000;
    for (;;) {
      try {
        lease.emplace(link_, job_.port_name);
        return true;
      } catch (const PortError& e) {
        if (!e.busy()) throw;
        if (clock.tickMs() >= gives_up) {
          const QString who =
              e.cause() == PortCause::ServerInUse
                  ? QStringLiteral("another program or PC is connected to the timer's server %1 of the port %2")
                        .arg(QString::fromStdString(e.device()), job_.port_name)
                  : QStringLiteral("another program holds the port %1").arg(job_.port_name);
          say(UpkeepEventKind::PortError,
              QStringLiteral("%1; it was tried for %2 min").arg(who).arg(kBusyPortRetrySecs / kSecsPerMinute));
          return false;
        }
        clock.sleepMs(kBusyPortPauseMs);
      }
    }
  }

  UpkeepOutcome work() {
    link_.LinkPreamble();
    if (!link_.QueryStatus()) return timerFailed(kTimerNotFoundText);
    // A short or garbled reply would set a clock to day 0 or leave a holiday ringing.
    if (const QString wrong = ImplausibleReading(link_); !wrong.isEmpty()) {
      return timerFailed(QStringLiteral("the timer's status reply cannot be right (%1); nothing was changed").arg(wrong));
    }
    const TimerReading timer = ReadingOf(link_);
    const QDateTime now = link_.clock().now();
    const DayDecision day = DecideDay(job_.plan, job_.date);
    const ProjectSetup* week = nullptr;
    QString hash;
    if (day.bells) {
      week = job_.plan.weeks.at(day.week).get();
      hash = WeekHash(*week);
    }
    const TimerKey timer_key = job_.timer.key.isEmpty() ? TimerKeyOf(job_.port_name) : job_.timer;
    const UpkeepSteps steps = DecideUpkeep(timer, now, job_.plan.clock_tolerance, day, hash,
                                           WeekStateStore(job_.state_folder).held(timer_key));
    const QString what = day.bells ? QStringLiteral("%1 (%2)").arg(day.week, day.reason)
                                   : QStringLiteral("no bells (%1)").arg(day.reason);
    bool acted = false;

    if (steps.set_clock) {
      acted = true;
      const ClockSyncReading sync = link_.clock().synchronisation();
      if (!job_.trust_clock && sync.state != ClockSync::Synchronised) {
        say(UpkeepEventKind::Warning, ClockLeftText(steps.clock_reason, sync, job_.dry_run));
      } else if (job_.dry_run) {
        note(QStringLiteral("would set the clock from the PC: ") + steps.clock_reason);
      } else if (const UpkeepOutcome o = setClock(steps.clock_reason); o != UpkeepOutcome::Done) {
        return o;
      }
    }
    if (steps.download) {
      acted = true;
      if (job_.dry_run) {
        note(QStringLiteral("would download %1: %2").arg(what, steps.download_reason));
      } else if (const UpkeepOutcome o = download(*week, timer_key, what, steps.download_reason);
                 o != UpkeepOutcome::Done) {
        return o;
      }
    }
    if (steps.activate || steps.deactivate) {
      acted = true;
      const QString verb = steps.activate ? QStringLiteral("activate") : QStringLiteral("deactivate");
      if (job_.dry_run) {
        note(QStringLiteral("would %1 the timer: %2").arg(verb, what));
      } else {
        const bool ok = steps.activate ? ActivateTimer(link_, prompts_) : DeactivateTimer(link_, prompts_);
        if (!ok) return UpkeepOutcome::TimerFailed;  // the error is told already
        note(QStringLiteral("%1d the timer: %2").arg(verb, what));
      }
    }
    if (!acted) {
      note(QStringLiteral("nothing to do: %1, timer %2").arg(what, timer.activated ? QStringLiteral("activated")
                                                                                 : QStringLiteral("deactivated")));
    }
    return outcome_;
  }

  UpkeepOutcome timerFailed(const QString& text) {
    say(UpkeepEventKind::Error, text);
    return UpkeepOutcome::TimerFailed;
  }

  UpkeepOutcome setClock(const QString& reason) {
    const ClockPayloadResult payload = MakeClockPayload(link_.clock().now());
    if (!payload.payload) {
      say(UpkeepEventKind::Error, payload.refusal);
      return UpkeepOutcome::OtherFailure;
    }
    if (!SendClock(link_, *payload.payload)) return timerFailed(kTimerNotFoundText);
    note(QStringLiteral("clock set from the PC: ") + reason);
    return UpkeepOutcome::Done;
  }

  UpkeepOutcome download(const ProjectSetup& week, const TimerKey& timer_key, const QString& what,
                         const QString& reason) {
    QuietView view;
    DownloadContext context{link_, prompts_, view};
    context.record = DownloadRecord{job_.state_folder, timer_key};
    ProjectState state;
    const DownloadResult result = DownloadSchedule(context, week, state, job_.port_name);
    if (result == DownloadResult::NoConnection || result == DownloadResult::WriteFailed) {
      if (!context.record_fault.isEmpty()) say(UpkeepEventKind::Error, context.record_fault);
      return timerFailed(view.last);
    }
    // The week is in the timer even when the status after it could not be read; the
    // record then stays cleared, so the next run sends it again.
    note(QStringLiteral("downloaded %1: %2").arg(what, reason));
    if (!context.record_fault.isEmpty()) {
      say(UpkeepEventKind::Error, context.record_fault);
      outcome_ = UpkeepOutcome::OtherFailure;
    }
    if (result == DownloadResult::StatusFailed) return UpkeepOutcome::TimerFailed;  // its error is told
    return UpkeepOutcome::Done;
  }

  const UpkeepJob& job_;
  TimerLink& link_;
  UpkeepEvents& events_;
  EventPrompts prompts_;
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

UpkeepOutcome RunUpkeep(const UpkeepJob& job, TimerLink& link, UpkeepEvents& events) {
  return Upkeep(job, link, events).run();
}

int UpkeepExitStatus(UpkeepOutcome outcome) { return FactsOf(outcome).exit_status; }

QString UpkeepOutcomeText(UpkeepOutcome outcome) { return QLatin1String(FactsOf(outcome).text); }

std::optional<UpkeepOutcome> UpkeepOutcomeNamed(const QString& text) {
  for (const OutcomeFacts& f : kOutcomeFacts) {
    if (text == QLatin1String(f.text)) return f.outcome;
  }
  return std::nullopt;
}

QString UpkeepEventLine(const UpkeepEvent& event) {
  switch (event.kind) {
    case UpkeepEventKind::Warning:
      return QStringLiteral("warning: ") + event.text;
    case UpkeepEventKind::Error:
      return QStringLiteral("error: ") + event.text;
    case UpkeepEventKind::PortError:
      return QStringLiteral("port error: ") + event.text;
    case UpkeepEventKind::Note:
    case UpkeepEventKind::Refusal:
      break;
  }
  return event.text;
}

QString ImplausibleReading(const TimerLink& link) {
  if (link.replyLength() < kStatusReplySize) {
    return QStringLiteral("%1 of %2 bytes").arg(link.replyLength()).arg(kStatusReplySize);
  }
  const auto& u = link.unit_status;
  struct Field {
    const char* name;
    int value, low, high;
  };
  const Field fields[] = {
      {"day", u[unit_status_at::kDay], 1, 31},          {"month", u[unit_status_at::kMonth], 1, 12},
      {"hour", u[unit_status_at::kHour], 0, 23},        {"minute", u[unit_status_at::kMinute], 0, 59},
      {"second", u[unit_status_at::kSecond], 0, 59},    {"weekday", u[unit_status_at::kWeekday], 1, kDays},
  };
  for (const Field& f : fields) {
    if (f.value < f.low || f.value > f.high) return QStringLiteral("%1 %2").arg(QLatin1String(f.name)).arg(f.value);
  }
  return {};
}

}  // namespace zmr
