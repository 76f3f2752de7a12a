#pragma once
// Timing for the benchmarks: a piece of work run many times (median and spread in
// microseconds), and the CPU time the process has used.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace zmr::bench {

struct Figures {
  double median_us, p10_us, p90_us;
};

template <typename F>
Figures Time(int runs, F&& f) {
  std::vector<double> us;
  us.reserve(static_cast<std::size_t>(runs));
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(us.begin(), us.end());
  auto at = [&](double q) { return us[static_cast<std::size_t>(q * static_cast<double>(us.size() - 1))]; };
  return {at(0.5), at(0.1), at(0.9)};
}

// The CPU time this process has used so far (user and system), in seconds.
inline double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace zmr::bench
