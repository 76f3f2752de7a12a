// Times the CSV export and import of a full week (7 x 120 = 840 events): in memory
// (text from the record, bytes to a checked week) and as the commands run them (file
// written; file read, checked, week replaced and the project saved). Median and spread.
// Run: build/default/bin/exchange_bench [runs]
#include <cstdio>
#include <cstdlib>

#include "bench_timing.h"

#include "exchange/exchange_commands.h"
#include "support/exchange_fixtures.h"
#include "support/temp_dir.h"

namespace {

using zmr::bench::Figures;
using zmr::bench::Time;

void Print(const char* what, const Figures& f) {
  std::printf("%-36s median %8.1f us   p10 %8.1f   p90 %8.1f\n", what, f.median_us, f.p10_us, f.p90_us);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zmr;
  using namespace zmr::testing;
  const int runs = argc > 1 ? std::atoi(argv[1]) : 200;
  TempDir dir;
  auto data = MakeConsoleData(dir.folder());
  ResetProject(data->project);
  FillWeek(data->project);
  data->state.project_path = dir.file("bench.zmr");
  WriteProjectFile(*data);
  data->state.project_open = true;

  const std::string text = ScheduleCsv(data->project);
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  std::printf("week: 840 events, %zu bytes of CSV, %d runs\n", text.size(), runs);

  std::size_t sink = 0;
  Print("export, text only", Time(runs, [&] { sink += ScheduleCsv(data->project).size(); }));
  Print("import, parse and check only", Time(runs, [&] { sink += ParseScheduleCsv(bytes, "b.csv").week->events; }));
  const QString csv = dir.file("week.csv");
  Print("export to a file", Time(runs, [&] { WriteScheduleCsv(data->project, csv); }));
  Print("import from a file, project saved", Time(runs, [&] {
          const CsvImport read = ReadScheduleCsv(csv);
          ImportWeek(*data, *read.week);
        }));
  return sink == 0 ? 1 : 0;
}
