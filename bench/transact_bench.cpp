// Wall and CPU time of one Transact over the real serial port against zmrsim on a
// pseudo-terminal: a silent timer (the time-out path) and an answering one.
// Run: build/default/bin/transact_bench [rounds]
#include <sys/resource.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "link/timer_link.h"
#include "support/child_process.h"

namespace {

using zmr::TimerCommand;

double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void Measure(const std::string& zmrsim, const char* title, const std::vector<std::string>& args,
             TimerCommand command, int rounds) {
  zmr::testing::ZmrsimProcess sim(zmrsim, args);
  zmr::SystemClock clock;
  const auto port = zmr::MakeQtSerialPort();
  port->open(QString::fromStdString(sim.device()));
  zmr::TimerLink link(*port, clock);
  double wall_total = 0, cpu_total = 0, wall_max = 0;
  int good = 0;
  for (int i = 0; i < rounds; ++i) {
    const double cpu0 = CpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    good += link.Transact(command, 0, 0) ? 1 : 0;
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    cpu_total += CpuMs() - cpu0;
    wall_total += wall;
    wall_max = std::max(wall_max, wall);
  }
  std::printf("%-34s %3d/%d ok  wall %7.1f ms mean, %7.1f ms max  cpu %5.2f ms mean (%4.1f%% of wall)\n", title,
              good, rounds, wall_total / rounds, wall_max, cpu_total / rounds, 100.0 * cpu_total / wall_total);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const std::string zmrsim = (std::filesystem::path(argv[0]).parent_path() / "zmrsim").string();
  Measure(zmrsim, "silent timer, LinkCheck", {"--silent"}, TimerCommand::LinkCheck, rounds);
  Measure(zmrsim, "zmrsim, LinkCheck", {}, TimerCommand::LinkCheck, rounds);
  Measure(zmrsim, "zmrsim, StatusQuery (29 bytes)", {}, TimerCommand::StatusQuery, rounds);
  Measure(zmrsim, "zmrsim --pace, StatusQuery", {"--pace"}, TimerCommand::StatusQuery, rounds);
  return 0;
}
