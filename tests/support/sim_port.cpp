#include "support/sim_port.h"

namespace zmr::testing {

Device SimDevice(sim::SimTimer& timer, bool paced) {
  return [&timer, paced](std::span<const std::uint8_t> request) {
    timer.tick();
    std::vector<Arrival> arrivals;
    for (const sim::SimReply& reply : timer.receive(request)) {
      if (paced) {
        for (const Arrival& arrival : Paced(reply.bytes, reply.delay_ms, 1)) arrivals.push_back(arrival);
      } else {
        arrivals.push_back({reply.delay_ms, reply.bytes});
      }
    }
    return arrivals;
  };
}

sim::SimConfig TimerSetTo(const QDateTime& start) {
  sim::SimConfig config;
  config.start_time = start;
  return config;
}

SimulatedLink::SimulatedLink(sim::SimConfig config, const QString& port_name, bool paced)
    : timer(clock, std::move(config), [this](const std::string& line) { log.push_back(line); }) {
  port.attach(port_name, SimDevice(timer, paced));
}

void SimulatedLink::advance(std::int64_t ms) {
  // In steps of 100 ms, so relay ends and minute turns are seen in order.
  constexpr std::int64_t kStep = 100;
  for (std::int64_t done = 0; done < ms; done += kStep) {
    clock.advance(std::min(kStep, ms - done));
    timer.tick();
  }
}

}  // namespace zmr::testing
