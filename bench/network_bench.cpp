// A full week downloaded to zmrsim (replies paced at 9600 bit/s) straight on its
// pseudo-terminal and through ser2net over loopback (RFC 2217, raw TCP, and RFC 2217 inside
// TLS with a client certificate, certificates made by openssl), in turns in one run: wall
// time of each path, the network paths against the direct one, and the CPU time the
// console spent. Then the time to open each network port (connect and line settings; for
// TLS the handshake too), whose difference is the handshake's cost.
// Run: build/default/bin/network_bench [runs] [opens]
#include <sys/resource.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench_timing.h"
#include "hardware/download.h"
#include "link/network_port.h"
#include "link/port_error.h"
#include "link/port_map.h"
#include "link/tls_files.h"
#include "link/serial_port.h"
#include "link/timer_link.h"
#include "support/child_process.h"
#include "support/project_fixtures.h"
#include "support/quiet_download_view.h"
#include "support/recording_prompts.h"
#include "support/ser2net_process.h"
#include "support/temp_dir.h"
#include "support/tls_material.h"

namespace {

using namespace zmr;
using zmr::bench::CpuSeconds;

struct Figures {
  double wall_ms = 0, cpu_ms = 0;
  int failures = 0;
};

// One download over COM1 leading to `where`; the port is closed after it, so the next
// path finds the pseudo-terminal free.
Figures Download(const ProjectSetup& project, const std::string& where) {
  qputenv("ZMR_COM1", QByteArray::fromStdString(where));
  SystemClock clock;
  auto port = MakePort();
  TimerLink link(*port, clock);
  testing::RecordingPrompts prompts;
  prompts.answers.push_back(BoxAnswer::No);
  testing::QuietDownloadView view;
  DownloadContext context{link, prompts, view};
  ProjectState state;
  Figures f;
  const double cpu0 = CpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  const DownloadResult result = DownloadSchedule(context, project, state, "COM1");
  f.wall_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  f.cpu_ms = (CpuSeconds() - cpu0) * 1000;
  f.failures = result == DownloadResult::Completed ? 0 : 1;
  port->close();
  return f;
}

// ser2net serves one client at a time and takes a moment to let the last one go.
constexpr int kReopenPauseMs = 200;

// Mean milliseconds to open and close the port at `address`, over `n` opens; a failed
// open is said and left out.
double OpenMs(const std::string& address, int n) {
  const auto port = MakeNetworkPort();
  double total = 0;
  int opened = 0;
  for (int i = 0; i < n; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kReopenPauseMs));
    const auto t0 = std::chrono::steady_clock::now();
    try {
      port->open(QString::fromStdString(address));
    } catch (const PortError& e) {
      std::printf("open %s failed: %s\n", address.c_str(), e.what());
      continue;
    }
    total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    ++opened;
    port->close();
  }
  return opened ? total / opened : 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  const int opens = argc > 2 ? std::atoi(argv[2]) : 20;
  if (!testing::Ser2netInstalled()) {
    std::fprintf(stderr, "ser2net is not installed (scripts/deps installs it)\n");
    return 1;
  }
  const auto project = testing::FullWeekProject();
  testing::ZmrsimProcess sim(ZMR_BIN_DIR "/zmrsim", {"--pace"});
  testing::Ser2netProcess rfc2217(sim.device(), testing::Ser2netProcess::Mode::Rfc2217);
  testing::Ser2netProcess raw(sim.device(), testing::Ser2netProcess::Mode::Raw);
  // TLS as a school would set it up: the CA and this PC's certificate in the settings
  // folder, ser2net asking for a client certificate.
  const testing::TlsMaterial& tls = testing::SharedTlsMaterial();
  testing::Ser2netProcess secure(sim.device(), testing::Ser2netProcess::Mode::Rfc2217, tls.server(true));
  testing::TempDir settings;
  if (const QString refused = StoreTlsFiles(settings.folder(), tls.console()); !refused.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(refused));
    return 1;
  }
  const ScopedPortMapFolder use_settings(settings.folder());
  const std::vector<std::pair<std::string, std::string>> paths = {{"direct (pty)", sim.device()},
                                                                  {"rfc2217 (ser2net)", rfc2217.address()},
                                                                  {"tcp (ser2net)", raw.address()},
                                                                  {"rfc2217+tls", secure.address()}};

  std::map<std::string, Figures> total;
  for (int run = 1; run <= runs; ++run) {
    for (const auto& [name, where] : paths) {
      sim.discardOutput();
      const Figures f = Download(*project, where);
      std::printf("run %d %-18s %s wall %6.0f ms, console CPU %4.0f ms (%.2f%% of wall)\n", run, name.c_str(),
                  f.failures ? "FAILED" : "ok    ", f.wall_ms, f.cpu_ms, 100 * f.cpu_ms / f.wall_ms);
      Figures& t = total[name];
      t.wall_ms += f.wall_ms;
      t.cpu_ms += f.cpu_ms;
      t.failures += f.failures;
    }
  }
  const double direct = total["direct (pty)"].wall_ms / runs;
  std::printf("\nmean over %d runs:\n", runs);
  for (const auto& [name, where] : paths) {
    const Figures& t = total[name];
    std::printf("  %-18s wall %6.0f ms (%+.2f%% against direct), console CPU %.2f%% of wall, %d failed\n",
                name.c_str(), t.wall_ms / runs, 100 * (t.wall_ms / runs - direct) / direct,
                100 * t.cpu_ms / t.wall_ms, t.failures);
  }

  const double plain_open = OpenMs(rfc2217.address(), opens);
  const double tls_open = OpenMs(secure.address(), opens);
  std::printf("\nopening the port, mean of %d:\n  rfc2217      %6.1f ms\n  rfc2217+tls  %6.1f ms (handshake %.1f ms)\n",
              opens, plain_open, tls_open, tls_open - plain_open);
  return 0;
}
