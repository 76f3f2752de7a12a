// Times opening and saving a project: median and spread over many runs.
// Run: build/default/bin/project_file_bench [runs]
#include <cstdio>
#include <cstdlib>

#include "bench_timing.h"

#include "base/prompts.h"
#include "project/project_file.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

using zmr::bench::Figures;
using zmr::bench::Time;

int main(int argc, char** argv) {
  using namespace zmr;
  using namespace zmr::testing;
  const int runs = argc > 1 ? std::atoi(argv[1]) : 500;
  TempDir dir;
  auto data = MakeConsoleData(dir.folder());
  const QString path = dir.file("bench.zmr");
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  for (int day = 1; day <= kDays; ++day) {
    for (int slot = 1; slot <= kEventsPerDay; ++slot) {
      AddPulse(*project, day, slot, (slot * 11) / 60, (slot * 11) % 60, 5, "Bell");
    }
  }
  WriteProject(path, *project);

  RecordingPrompts prompts;
  RecordingView view;
  const Figures open = Time(runs, [&] {
    data->state.project_open = false;
    data->state.project_path = path;
    if (OpenProjectFile(*data, prompts, view) != OpenOutcome::Opened) {
      std::abort();
    }
  });
  const Figures save = Time(runs, [&] { SaveProject(*data); });
  std::printf("runs: %d, full week (7 x 120 events), record %zu bytes\n", runs, sizeof(ProjectSetup));
  std::printf("open (checks, read, recent list, timer.ini save): median %.0f us (p10 %.0f, p90 %.0f)\n",
              open.median_us, open.p10_us, open.p90_us);
  std::printf("save (temp file, fsync, rename):                  median %.0f us (p10 %.0f, p90 %.0f)\n",
              save.median_us, save.p10_us, save.p90_us);
  return 0;
}
