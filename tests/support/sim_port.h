#pragma once
// The simulated timer in-process: a FakePort device that hands every write to a
// sim::SimTimer and lets its replies arrive after their delay, all on one FakeClock.
#include <string>
#include <vector>

#include <optional>

#include "link/port_lease.h"
#include "link/timer_link.h"
#include "sim_timer.h"
#include "support/fake_clock.h"
#include "support/fake_port.h"

namespace zmr::testing {

// Replies arrive delay_ms after the request; paced: one byte a millisecond after that
// (about 9600 bit/s), else all at once.
Device SimDevice(sim::SimTimer& timer, bool paced = false);

// The simulated timer's clock set to start: a timer on time with the test's clock.
sim::SimConfig TimerSetTo(const QDateTime& start);

// A console link with the simulated timer on COM1 (or another name), ready to use:
//   SimulatedLink sim;  sim.hold();  sim.link.Transact(TimerCommand::LinkCheck, 0, 0);
// sim.log holds the timer's log lines; sim.timer its state.
struct SimulatedLink {
  explicit SimulatedLink(sim::SimConfig config = {}, const QString& port_name = QStringLiteral("COM1"),
                         bool paced = false);
  // Moves time on and lets the timer act (relay, scheduled events).
  void advance(std::int64_t ms);

  FakeClock clock;
  std::vector<std::string> log;
  sim::SimTimer timer;
  FakePort port{clock};
  TimerLink link{port, clock};
  // Holds the port as one long operation would, until released or the end.
  void hold(const QString& name = QStringLiteral("COM1")) { lease.emplace(link, name); }
  std::optional<PortLease> lease;
};

}  // namespace zmr::testing
