// zmrctl upkeep as systemd runs it, against paced zmrsim timers on pseudo-terminals:
// one plan whose timer needs a full week, twenty such plans in one run, and twenty plans
// with nothing to do. Plans run side by side, up to 32 at a time, so twenty should cost
// little more than one (more than 32 plans take a further round).
// Run: build/default/bin/upkeep_bench [plans]
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "support/child_process.h"
#include "support/project_fixtures.h"

namespace {

using namespace zmr;
using namespace zmr::testing;

const std::string kZmrsim = ZMR_BIN_DIR "/zmrsim";
const std::string kZmrctl = ZMR_BIN_DIR "/zmrctl";

struct Run {
  double seconds;
  int status;
  std::size_t lines;
};

Run Upkeep(const QTemporaryDir& dir, const std::vector<std::string>& plans) {
  std::vector<std::string> args{"--settings", dir.path().toStdString(), "upkeep", "--date", "2027-05-11",
                                "--state",    dir.filePath("state").toStdString()};
  args.insert(args.end(), plans.begin(), plans.end());
  const auto t0 = std::chrono::steady_clock::now();
  ChildProcess ctl(kZmrctl, args);
  const int status = ctl.wait(600000);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (status != 0) {
    for (const std::string& line : ctl.lines()) std::fprintf(stderr, "  %s\n", line.c_str());
  }
  return {seconds, status, ctl.lines().size()};
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  QTemporaryDir dir;
  WriteProject(dir.filePath("full.zmr"), *FullWeekProject());

  std::vector<std::unique_ptr<ZmrsimProcess>> sims;
  std::vector<std::string> plans;
  for (int i = 0; i < count; ++i) {
    sims.push_back(std::make_unique<ZmrsimProcess>(kZmrsim, std::vector<std::string>{"--pace", "--activated"}));
    const std::string plan = dir.filePath(QStringLiteral("timer%1.toml").arg(i)).toStdString();
    std::ofstream(plan) << "port = \"" << sims.back()->device() << "\"\nweek = \"full.zmr\"\n";
    plans.push_back(plan);
  }

  const Run one = Upkeep(dir, {plans.front()});
  QDir(dir.filePath("state")).removeRecursively();  // every timer needs its week again
  const Run all = Upkeep(dir, plans);
  const Run idle = Upkeep(dir, plans);
  for (auto& sim : sims) sim->discardOutput();

  std::printf("zmrctl upkeep, full week (56 chunks) to paced zmrsim timers:\n");
  std::printf("  1 plan, full download      %7.2f s  (exit %d, %zu lines)\n", one.seconds, one.status, one.lines);
  std::printf("  %d plans, full download    %7.2f s  (exit %d, %zu lines)  = %.2f x one plan (target <= 1.5)\n",
              count, all.seconds, all.status, all.lines, all.seconds / one.seconds);
  std::printf("  %d plans, nothing to do    %7.2f s  (exit %d, %zu lines)  (target < 2 s)\n", count, idle.seconds,
              idle.status, idle.lines);
  return one.status == 0 && all.status == 0 && idle.status == 0 ? 0 : 1;
}
