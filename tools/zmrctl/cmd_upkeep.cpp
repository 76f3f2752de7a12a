// zmrctl upkeep: every plan's timer brought to what the plan says for the day. Plans run
// side by side, one thread and one port each, so twenty timers take little longer than
// one; a failed timer never stops the others, and the exit status is the worst of all.
#include <QFileInfo>
#include <QThread>
#include <map>
#include <mutex>

#include "base/errors.h"
#include "link/port_hint.h"
#include "link/port_names.h"
#include "link/timer_link.h"
#include "plan/plan_reader.h"
#include "plan/upkeep.h"
#include "plan/week_state.h"
#include "zmrctl/command.h"

namespace zmr::ctl {
namespace {

// Whole lines, each prefixed with its plan's name, never interleaved mid-line.
class PrefixedLines : public UpkeepLines {
 public:
  PrefixedLines(std::ostream& out, std::mutex& mutex, QString name)
      : out_(out), mutex_(mutex), prefix_(std::move(name) + QStringLiteral(": ")) {}
  void line(const QString& text) override {
    const std::string whole = (prefix_ + text).toStdString() + '\n';
    const std::lock_guard<std::mutex> lock(mutex_);
    out_ << whole << std::flush;
  }

 private:
  std::ostream& out_;
  std::mutex& mutex_;
  QString prefix_;
};

struct PlanJob {
  PlanReading reading;
  QString port_name;  // as the plan (or the default) names it
  QString open_name;  // what the port is opened by: the device a COM<n> leads to
  int exit = kExitOk;
};

int ExitOf(UpkeepOutcome outcome) {
  switch (outcome) {
    case UpkeepOutcome::Done:
      return kExitOk;
    case UpkeepOutcome::PortError:
      return kExitPortError;
    case UpkeepOutcome::TimerFailed:
      return kExitTimerFailure;
    case UpkeepOutcome::OtherFailure:
      return kExitOtherFailure;
  }
  return kExitOtherFailure;
}

}  // namespace

int UpkeepCommand(Invocation& run) {
  const Options& request = run.options;
  if (request.operands.isEmpty()) return run.usageError("upkeep takes one or more plan files");
  Environment& env = run.env;
  // Plans that name no port use --port, else timer.ini's.
  const QString default_port = request.port.value_or(PortName(run.settings.com_port));
  const QDate date = request.date.value_or(env.clock.now().date());
  const QString state = request.state.value_or(DefaultStateFolder());
  std::mutex out_mutex;
  std::vector<PlanJob> jobs(static_cast<std::size_t>(request.operands.size()));
  // Ports are resolved here, once: the scan of the machine's devices is no work for threads.
  std::map<QString, std::vector<std::size_t>> by_port;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    PlanJob& job = jobs[i];
    job.reading = ReadPlan(request.operands[static_cast<qsizetype>(i)], date);
    PrefixedLines lines(env.out, out_mutex, job.reading.plan.name);
    if (!job.reading.ok()) {
      for (const QString& fault : job.reading.faults) lines.line(fault);
      lines.line(QStringLiteral("the plan is refused; its timer is left as it is"));
      job.exit = kExitProjectRefused;
      continue;
    }
    for (const QString& warning : job.reading.plan.warnings) lines.line(warning);
    job.port_name = job.reading.plan.port.value_or(default_port);
    const QString device = PortDevice(job.port_name);
    job.open_name = device.isEmpty() ? job.port_name : device;
    by_port[PortKey(job.port_name)].push_back(i);
  }
  for (const auto& [key, sharing] : by_port) {
    if (sharing.size() < 2) continue;
    for (std::size_t i : sharing) {
      QStringList others;
      for (std::size_t j : sharing)
        if (j != i) others << jobs[j].reading.plan.name;
      PrefixedLines(env.out, out_mutex, jobs[i].reading.plan.name)
          .line(QStringLiteral("refused: its port %1 is the port of %2 too; one timer, one plan")
                    .arg(jobs[i].port_name, others.join(QStringLiteral(", "))));
      jobs[i].exit = kExitProjectRefused;
    }
  }

  // QThreads, not bare threads: the serial port watches its device through the thread's event dispatcher.
  std::vector<std::unique_ptr<QThread>> threads;
  for (PlanJob& job : jobs) {
    if (job.exit != kExitOk) continue;
    threads.emplace_back(QThread::create([&job, &env, &out_mutex, &request, date, state] {
      PrefixedLines lines(env.out, out_mutex, job.reading.plan.name);
      try {
        // The port object is made in the thread that uses it.
        std::unique_ptr<SerialPort> port = env.make_port();
        TimerLink link(*port, env.clock);
        const UpkeepJob upkeep{job.reading.plan, job.open_name, date, request.dry_run, state};
        job.exit = ExitOf(RunUpkeep(upkeep, link, lines));
      } catch (const PortError& e) {
        lines.line(QStringLiteral("port error: ") + PortErrorText(e).replace('\n', ' '));
        job.exit = kExitPortError;
      } catch (const std::exception& e) {
        lines.line(QStringLiteral("error: ") + QString::fromStdString(WithFullStop(e.what())));
        job.exit = kExitOtherFailure;
      }
    }));
    threads.back()->start();
  }
  for (const auto& t : threads) t->wait();
  int worst = kExitOk;
  for (const PlanJob& job : jobs) worst = std::max(worst, job.exit);
  return worst;
}

}  // namespace zmr::ctl
