// zmrsim: the simulated timer on a pseudo-terminal (see --help).
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iostream>
#include <optional>

#include "base/clock.h"
#include "options.h"
#include "pty_line.h"
#include "sim_timer.h"

namespace {

using namespace zmr::sim;
using Steady = std::chrono::steady_clock;

// 9600 bit/s, 10 bits a byte on the line.
constexpr auto kByteTime = std::chrono::microseconds(1042);
// How often the relay and the schedule are looked at when the line is quiet.
constexpr int kTickMs = 20;

volatile sig_atomic_t g_stop = 0;
volatile sig_atomic_t g_dump = 0;
int g_wake_pipe[2] = {-1, -1};

void OnSignal(int signal) {
  if (signal == SIGUSR1) {
    g_dump = 1;
  } else {
    g_stop = 1;
  }
  const int saved = errno;
  [[maybe_unused]] auto ignored = write(g_wake_pipe[1], "x", 1);
  errno = saved;
}

void InstallSignals() {
  if (pipe(g_wake_pipe) != 0) throw std::runtime_error("pipe failed");
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGUSR1}) sigaction(signal, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

void Say(const std::string& line) {
  std::cout << line << '\n' << std::flush;
}

struct OutByte {
  Steady::time_point due;
  std::uint8_t byte;
};

int Run(const Options& options) {
  InstallSignals();
  PtyLine line;
  std::optional<LinkGuard> link;
  if (!options.link_path.empty()) link.emplace(options.link_path, line.path());
  // Announced once the link exists too, so whoever reads it can open either at once.
  Say(line.path());

  zmr::SystemClock clock;
  SimTimer timer(clock, options.config, [&clock](const std::string& text) {
    Say(clock.now().toString("hh:mm:ss.zzz").toStdString() + " " + text);
  });

  std::deque<OutByte> out;
  std::array<std::uint8_t, 512> buffer{};
  while (!g_stop) {
    const auto now = Steady::now();
    int timeout = kTickMs;
    if (!out.empty()) {
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(out.front().due - now).count();
      timeout = static_cast<int>(std::clamp<long long>(wait, 0, kTickMs));
    }
    std::array<pollfd, 2> fds{{{line.fd(), POLLIN, 0}, {g_wake_pipe[0], POLLIN, 0}}};
    poll(fds.data(), fds.size(), timeout);
    if (fds[1].revents & POLLIN) {
      [[maybe_unused]] auto drained = read(g_wake_pipe[0], buffer.data(), buffer.size());
    }
    if (g_dump) {
      g_dump = 0;
      std::cout << timer.weekTable() << std::flush;
    }
    if (fds[0].revents & POLLIN) {
      const ssize_t got = read(line.fd(), buffer.data(), buffer.size());
      if (got > 0) {
        const auto arrived = Steady::now();
        for (const SimReply& reply : timer.receive(std::span(buffer.data(), static_cast<std::size_t>(got)))) {
          auto due = arrived + std::chrono::milliseconds(reply.delay_ms);
          for (std::uint8_t byte : reply.bytes) {
            out.push_back({due, byte});
            if (options.pace) due += kByteTime;
          }
        }
      }
    }
    // Send what is due, in one write where the bytes are due together.
    std::vector<std::uint8_t> ready;
    const auto send_time = Steady::now();
    while (!out.empty() && out.front().due <= send_time) {
      ready.push_back(out.front().byte);
      out.pop_front();
    }
    if (!ready.empty()) {
      const ssize_t sent = write(line.fd(), ready.data(), ready.size());
      if (sent < 0 && errno != EAGAIN) {
        Say("write to the line failed");
      } else {
        // The line's buffer is full: keep the rest, in order, for the next round.
        const std::size_t done = sent < 0 ? 0 : static_cast<std::size_t>(sent);
        for (std::size_t i = ready.size(); i > done; --i) out.push_front({send_time, ready[i - 1]});
      }
    }
    if ((fds[0].revents & (POLLHUP | POLLERR)) && !(fds[0].revents & POLLIN)) {
      poll(nullptr, 0, kTickMs);  // the line is down for the moment: do not spin on it
    }
    timer.tick();
  }
  Say("stopping");
  if (options.dump_on_exit) std::cout << timer.weekTable() << std::flush;
  if (!options.dump_path.empty()) {
    std::ofstream(options.dump_path) << timer.weekTable();
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "zmrsim: " << error << "\n" << kUsage;
    return 2;
  }
  if (options->help) {
    std::cout << kUsage;
    return 0;
  }
  try {
    return Run(*options);
  } catch (const std::exception& failure) {
    std::cerr << "zmrsim: " << failure.what() << '\n';
    return 1;
  }
}
