// A full week (56 chunks) downloaded to zmrsim over a pseudo-terminal with replies paced
// at 9600 bit/s: wall time beside the floor the line rate and the mandated pauses set,
// and the CPU time the console spent meanwhile.
// Run: build/default/bin/download_bench [runs]
#include <sys/resource.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench_timing.h"
#include "hardware/download.h"
#include "hardware/download_view.h"
#include "hardware/schedule_format.h"
#include "link/timer_link.h"
#include "support/child_process.h"
#include "support/quiet_download_view.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"

namespace {

using namespace zmr;
using zmr::bench::CpuSeconds;

// Bytes on the line and fixed pauses of one exchange: request, 100 ms, reply, 3 x 1 ms.
struct Exchange {
  int request_payload, reply_payload;
};
constexpr double kMsPerByte = 10.0 / 9.6;  // 10 bits a byte at 9600 bit/s
constexpr double kExchangePauseMs = 100 + 3;

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;

  const auto project = testing::FullWeekProject();
  int chunks = 0;
  for (int day = 1; day <= kDays; ++day) {
    chunks += static_cast<int>(ChunksOfDay(*project, day).size());
  }

  // Preamble, checked link check, the chunks, preamble, status query.
  std::vector<Exchange> exchanges = {{0, 2}, {0, 2}};
  exchanges.insert(exchanges.end(), chunks, {kDayChunkSize, 0});
  exchanges.push_back({0, 2});
  exchanges.push_back({0, 29});
  // The line-rate floor: every frame byte at 9600 bit/s plus every mandated pause, one
  // after the other. On the pseudo-terminal the request is written at once and the paced
  // reply arrives within the 100 ms pause, so the reachable floor there is the pauses alone
  // plus any reply longer than the pause.
  double floor_ms = 2 * kPreamblePauseMs;
  double pty_floor_ms = 2 * kPreamblePauseMs;
  int line_bytes = 0;
  for (const Exchange& e : exchanges) {
    line_bytes += 5 + e.request_payload + 5 + e.reply_payload;
    floor_ms += kExchangePauseMs;
    pty_floor_ms += kExchangePauseMs + std::max(0.0, (5 + e.reply_payload) * kMsPerByte - 100);
  }
  floor_ms += line_bytes * kMsPerByte;

  std::printf("week: %d chunks, %zu exchanges, %d bytes on the line\n", chunks, exchanges.size(), line_bytes);
  std::printf("line-rate floor (all bytes at 9600 bit/s + mandated pauses): %.0f ms\n", floor_ms);
  std::printf("reachable floor on the pseudo-terminal (pauses, replies inside them): %.0f ms\n", pty_floor_ms);
  for (int run = 1; run <= runs; ++run) {
    testing::ZmrsimProcess sim(ZMR_BIN_DIR "/zmrsim", {"--pace"});
    SystemClock clock;
    auto port = MakeQtSerialPort();
    TimerLink link(*port, clock);
    qputenv("ZMR_COM1", QByteArray::fromStdString(sim.device()));
    testing::RecordingPrompts prompts;
    prompts.answers.push_back(BoxAnswer::No);
    testing::QuietDownloadView view;
    DownloadContext context{link, prompts, view};
    ProjectState state;

    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const DownloadResult result = DownloadSchedule(context, *project, state, "COM1");
    const double wall_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    const double cpu_ms = (CpuSeconds() - cpu0) * 1000;
    std::printf("run %d: %s, wall %.0f ms (%.1f%% of the line-rate floor, %.1f%% over the reachable one), "
                "console CPU %.0f ms (%.1f%% of wall)\n",
                run, result == DownloadResult::Completed ? "completed" : "FAILED", wall_ms, 100 * wall_ms / floor_ms,
                100 * (wall_ms - pty_floor_ms) / pty_floor_ms, cpu_ms, 100 * cpu_ms / wall_ms);
  }
  return 0;
}
