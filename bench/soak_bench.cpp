// Soak: 1,000 status readings and 100 full-week downloads against zmrsim (paced at
// 9600 bit/s) on a pseudo-terminal in one run, with the console's memory sampled as it goes.
// Passes with zero failures and a flat resident set.
// Run: build/default/bin/soak_bench [rounds]   (each round: 10 readings and 1 download)
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "hardware/download.h"
#include "hardware/download_view.h"
#include "link/port_lease.h"
#include "link/timer_link.h"
#include "support/child_process.h"
#include "support/quiet_download_view.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"

namespace {

using namespace zmr;

long RssKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 12, '\n');
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 100;
  constexpr int kReadingsPerRound = 10;

  const auto project = testing::FullWeekProject();
  testing::ZmrsimProcess sim(ZMR_BIN_DIR "/zmrsim", {"--pace", "--activated"});
  qputenv("ZMR_COM1", QByteArray::fromStdString(sim.device()));
  SystemClock clock;
  auto port = MakeQtSerialPort();
  TimerLink link(*port, clock);
  testing::QuietDownloadView view;
  ProjectState state;

  int reading_failures = 0, download_failures = 0, readings = 0, downloads = 0;
  double reading_ms = 0, download_ms = 0;
  long rss_after_first = 0, rss_min = 1L << 40, rss_max = 0;
  const auto t_start = std::chrono::steady_clock::now();
  for (int round = 1; round <= rounds; ++round) {
    for (int i = 0; i < kReadingsPerRound; ++i) {
      if (i == kReadingsPerRound / 2) sim.discardOutput();
      const auto t0 = std::chrono::steady_clock::now();
      const PortLease lease(link, "COM1");  // each reading holds the port, as the window does
      const bool read = link.QueryStatus();
      ++readings;
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
      reading_ms += ms;
      if (!read) {
        ++reading_failures;
        std::printf("reading %d failed after %.0f ms\n", readings, ms);
      }
    }
    testing::RecordingPrompts prompts;  // a fresh one per download, as each window showing is
    DownloadContext context{link, prompts, view};
    const auto t0 = std::chrono::steady_clock::now();
    const DownloadResult result = DownloadSchedule(context, *project, state, "COM1");
    // Any box is a warning or a failure.
    if (result != DownloadResult::Completed || !prompts.texts().empty()) {
      ++download_failures;
      std::printf("download %d: result %d, boxes:", downloads + 1, static_cast<int>(result));
      for (const QString& text : prompts.texts()) std::printf(" \"%s\"", qPrintable(text));
      std::printf("\n");
    }
    ++downloads;
    download_ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();

    sim.discardOutput();  // its log of every request
    const long rss = RssKb();
    if (round == 1) rss_after_first = rss;
    rss_min = std::min(rss_min, rss);
    rss_max = std::max(rss_max, rss);
    if (round % 10 == 0 || round == rounds) {
      std::printf("round %3d: %d readings, %d downloads, failures %d + %d, RSS %ld kB\n", round, readings, downloads,
                  reading_failures, download_failures, rss);
      std::fflush(stdout);
    }
  }
  const double total_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t_start).count();
  const long rss_end = RssKb();
  std::printf("status readings: %d, failures %d, mean %.1f ms\n", readings, reading_failures, reading_ms / readings);
  std::printf("full-week downloads: %d, failures %d, mean %.0f ms\n", downloads, download_failures,
              download_ms / downloads);
  std::printf("RSS: after round 1 %ld kB, min %ld kB, max %ld kB, end %ld kB (growth %+ld kB)\n", rss_after_first,
              rss_min, rss_max, rss_end, rss_end - rss_after_first);
  std::printf("wall %.0f s\n", total_s);
  qunsetenv("ZMR_COM1");
  const bool flat = rss_end - rss_after_first < 1024;
  return reading_failures == 0 && download_failures == 0 && flat ? 0 : 1;
}
