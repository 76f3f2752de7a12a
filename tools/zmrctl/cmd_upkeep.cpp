// zmrctl upkeep: every plan's timer brought to what the plan says for the day. Plans are
// read, then run, side by side in a bounded pool, one port each, so twenty timers (and
// their web calendars) take little longer than one; a failed timer never stops the others,
// and the exit status is the worst of all. Each plan's lines are printed together, in the
// order the plans were given.
#include <QThread>
#include <atomic>
#include <map>
#include <mutex>

#include "base/errors.h"
#include "hardware/week_state.h"
#include "link/port_error.h"
#include "link/port_names.h"
#include "link/timer_link.h"
#include "plan/failure_hook.h"
#include "plan/plan_reader.h"
#include "plan/upkeep.h"
#include "plan/upkeep_record.h"
#include "zmrctl/command.h"

namespace zmr::ctl {
namespace {

// Twenty timers must still be served at once; more plans than this wait for a place.
constexpr std::size_t kUpkeepPoolSize = 32;

static_assert(kExitOk == 0 && kExitProjectRefused == 3 && kExitPortError == 4 && kExitTimerFailure == 5 &&
              kExitOtherFailure == 6);  // the exit statuses UpkeepExitStatus gives

// A plan's events, kept until the plan is done.
class KeptEvents : public UpkeepEvents {
 public:
  void event(const UpkeepEvent& e) override { all.push_back(e); }
  std::vector<UpkeepEvent> all;
};

struct PlanJob {
  QString path;
  PlanReading reading;
  QString port_name;  // as the plan (or the default) names it
  QString open_name;  // what the port is opened by: the device a COM<n> leads to
  TimerKey timer;     // whose record it is
  UpkeepOutcome outcome = UpkeepOutcome::Done;
  bool refused = false;
  KeptEvents events;
};

// Under systemd each line carries the priority the journal files it with (its
// SyslogLevelPrefix): every line of a failed run is an error, so that
// `journalctl -p err` shows why; a warning of a good run is a warning.
const char* JournalPriority(const PlanJob& job, const UpkeepEvent& e) {
  if (job.outcome != UpkeepOutcome::Done) return "<3>";
  return e.kind == UpkeepEventKind::Warning ? "<4>" : "";
}

// Prints each plan's lines, prefixed with its name, once it and every plan before it are done.
class InOrder {
 public:
  InOrder(std::ostream& out, bool journal, std::vector<PlanJob>& jobs)
      : out_(out), journal_(journal), jobs_(jobs), done_(jobs.size(), false) {}
  void done(std::size_t i) {
    const std::lock_guard<std::mutex> lock(mutex_);
    done_[i] = true;
    for (; next_ < jobs_.size() && done_[next_]; ++next_) {
      const PlanJob& job = jobs_[next_];
      for (const UpkeepEvent& e : job.events.all) {
        if (journal_) out_ << JournalPriority(job, e);
        out_ << (job.reading.plan.name + QStringLiteral(": ") + UpkeepEventLine(e)).toStdString() << '\n';
      }
      out_ << std::flush;
    }
  }

 private:
  std::ostream& out_;
  bool journal_;
  std::vector<PlanJob>& jobs_;
  std::mutex mutex_;
  std::vector<bool> done_;
  std::size_t next_ = 0;
};

// work(0) .. work(count - 1) on at most kUpkeepPoolSize threads, each taking the next
// index until none is left. QThreads, not bare threads: the serial port watches its
// device through the thread's event dispatcher.
template <typename Work>
void InPool(std::size_t count, Work&& work) {
  std::atomic<std::size_t> next{0};
  std::vector<std::unique_ptr<QThread>> workers;
  for (std::size_t w = 0; w < std::min(kUpkeepPoolSize, count); ++w) {
    workers.emplace_back(QThread::create([&] {
      for (std::size_t k = next++; k < count; k = next++) work(k);
    }));
    workers.back()->start();
  }
  for (const auto& t : workers) t->wait();
}

void Refuse(PlanJob& job, const QString& text) {
  job.events.event({UpkeepEventKind::Refusal, text});
  job.outcome = UpkeepOutcome::Refused;
  job.refused = true;
}

// One plan's run on its own port object (made in the thread that uses it).
void RunPlan(PlanJob& job, Environment& env, const Options& request, const QDate& date, const QString& state) {
  try {
    std::unique_ptr<SerialPort> port = env.make_port();
    TimerLink link(*port, env.clock);
    UpkeepJob upkeep{job.reading.plan, job.open_name, date, request.dry_run, state, job.timer};
    upkeep.trust_clock = request.trust_clock;
    job.outcome = RunUpkeep(upkeep, link, job.events);
  } catch (const PortError& e) {
    job.events.event({UpkeepEventKind::PortError, PortErrorText(e).replace('\n', ' ')});
    job.outcome = UpkeepOutcome::PortError;
  } catch (const std::exception& e) {
    job.events.event({UpkeepEventKind::Error, QString::fromStdString(WithFullStop(e.what()))});
    job.outcome = UpkeepOutcome::OtherFailure;
  }
}

// The run as the plan's last one; a record that cannot be kept is told and fails the run.
void Record(PlanJob& job, const QString& state, const Clock& clock) {
  const UpkeepRunRecord run{clock.now().toUTC(), job.path, job.outcome, UpkeepExitStatus(job.outcome),
                            job.events.all};
  if (const QString fault = RecordUpkeepRun(state, run); !fault.isEmpty()) {
    job.events.event({UpkeepEventKind::Error, fault});
    if (UpkeepExitStatus(job.outcome) < kExitOtherFailure) job.outcome = UpkeepOutcome::OtherFailure;
  }
}

// upkeep --last: each plan's last recorded run, its headline and then its lines.
int LastRuns(Invocation& run, const QString& state) {
  int status = kExitOk;
  for (const QString& path : run.options.operands) {
    if (!LastUpkeepRun(state, path)) status = kExitOtherFailure;
    for (const QString& line : LastRunReport(state, path)) run.env.out << line.toStdString() << '\n';
  }
  return status;
}

}  // namespace

int UpkeepCommand(Invocation& run) {
  const Options& request = run.options;
  if (request.operands.isEmpty()) return run.usageError("upkeep takes one or more plan files");
  Environment& env = run.env;
  const QString state = request.state.value_or(DefaultStateFolder());
  if (request.last) return LastRuns(run, state);
  // Plans that name no port use --port, else timer.ini's.
  const QString default_port = request.port.value_or(PortName(run.settings.com_port));
  const QDate date = request.date.value_or(env.clock.now().date());
  std::vector<PlanJob> jobs(static_cast<std::size_t>(request.operands.size()));
  for (std::size_t i = 0; i < jobs.size(); ++i) jobs[i].path = request.operands[static_cast<qsizetype>(i)];
  const CalendarAccess access(state, env.clock.now().toUTC());
  InPool(jobs.size(), [&](std::size_t i) { jobs[i].reading = ReadPlan(jobs[i].path, date, access); });
  // Ports are resolved here, once: the scan of the machine's devices is no work for threads.
  std::map<QString, std::vector<std::size_t>> by_timer;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    PlanJob& job = jobs[i];
    if (!job.reading.ok()) {
      for (const PlanFault& fault : job.reading.faults) job.events.event({UpkeepEventKind::Refusal, FaultLine(fault)});
      Refuse(job, QStringLiteral("the plan is refused; its timer is left as it is"));
      continue;
    }
    for (const PlanFault& warning : job.reading.plan.warnings) job.events.event({UpkeepEventKind::Warning, FaultLine(warning)});
    job.port_name = job.reading.plan.port.value_or(default_port);
    const QString device = PortDevice(job.port_name);
    job.open_name = device.isEmpty() ? job.port_name : device;
    job.timer = TimerKeyOf(job.port_name);
    by_timer[job.timer.key].push_back(i);
  }
  for (const auto& [key, sharing] : by_timer) {
    if (sharing.size() < 2) continue;
    for (std::size_t i : sharing) {
      QStringList others;
      for (std::size_t j : sharing)
        if (j != i) others << jobs[j].reading.plan.name;
      Refuse(jobs[i], QStringLiteral("refused: its port %1 is the port of %2 too; one timer, one plan")
                          .arg(jobs[i].port_name, others.join(QStringLiteral(", "))));
    }
  }

  InOrder printer(env.out, env.journal, jobs);
  std::vector<std::size_t> runnable;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    if (!jobs[i].refused) {
      runnable.push_back(i);
      continue;
    }
    if (!request.dry_run) Record(jobs[i], state, env.clock);
    printer.done(i);
  }
  InPool(runnable.size(), [&](std::size_t k) {
    PlanJob& job = jobs[runnable[k]];
    RunPlan(job, env, request, date, state);
    if (!request.dry_run) Record(job, state, env.clock);
    printer.done(runnable[k]);
  });
  int worst = kExitOk;
  for (const PlanJob& job : jobs) worst = std::max(worst, UpkeepExitStatus(job.outcome));
  return worst;
}

}  // namespace zmr::ctl
