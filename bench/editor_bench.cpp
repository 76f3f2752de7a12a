// Times one insert on a full week (7 x 120 events, the insert filling the last free slot):
// the sort of all seven days, the save with its flush to disk and the refill of the 840
// cells, first in the core alone, then through the editor window's real grid. Then one
// undo of that insert: the week restored from its snapshot, saved with its flush, refilled.
// Then one insert into Monday to Friday at once (the last free slot of each), the target
// being one frame (16 ms) at p90.
// Run: QT_QPA_PLATFORM=offscreen build/default/bin/editor_bench [runs]
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "base/prompts.h"
#include "editor/schedule_editor.h"
#include "editor/several_days.h"
#include "editor/ui/scheduleall.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace {

using namespace zmr;

struct NullView : EditorView {
  EntryFields fields{QString(), QStringLiteral("5"), QStringLiteral("23:59")};
  EntryFields entryFields() const override { return fields; }
  void setTimeOn(const QString&) override {}
  void setTimerLength(const QString&) override {}
  void setTimerName(const QString&) override {}
  void clearEntryFields() override {}
  void setDayButtonsEnabled(bool) override {}
  void gridFilled(const GridTexts&) override {}
  void setHint(const QString&) override {}
  void setSameOnAllDaysEnabled(bool) override {}
  void showNote(const QString&) override {}
};

// Every day full but for slot 120 of the first `free_days` days.
void FullWeek(ConsoleData& data, const QString& path, int free_days = 1) {
  ResetProject(data.project);
  for (int d = 1; d <= kDays; ++d) {
    for (int s = 1; s <= kEventsPerDay; ++s) {
      // Reverse order, so that each sort has work to do; 23:59 stays free on day 1.
      const int t = 22 * 60 - s * 9 - d;
      testing::AddPulse(data.project, d, s, t / 60, t % 60, 5, QStringLiteral("Event %1").arg(s));
    }
  }
  for (int d = 1; d <= free_days; ++d) {
    EmptySlot(data.project.slot(d, kEventsPerDay));
  }
  data.state.project_path = path;
  data.state.project_open = true;
  testing::WriteProject(path, data.project);
}

// Times insert (timed) then delete of the new event (untimed); returns milliseconds.
std::vector<double> Run(int runs, ScheduleEditor& editor, const std::function<void()>& between) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    editor.InsertEvent(1);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    editor.TakePosition(kEventsPerDay - 1, 1);  // 23:59 sorts to the last row
    editor.DeleteEvents({1, 1, kEventsPerDay - 1, kEventsPerDay - 1});
    between();
  }
  return ms;
}

// Times the undo of an insert (the insert itself untimed); returns milliseconds.
std::vector<double> RunUndo(int runs, ScheduleEditor& editor, const std::function<void()>& between) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    editor.InsertEvent(1);
    between();
    const auto t0 = std::chrono::steady_clock::now();
    editor.Undo();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    between();
  }
  return ms;
}

// Times the insert into Monday to Friday (the undo that follows untimed); milliseconds.
std::vector<double> RunFiveDays(int runs, ScheduleEditor& editor, const std::function<void()>& between) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    editor.InsertEventDays(kMondayToFriday);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    between();
    editor.Undo();
    between();
  }
  return ms;
}

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  auto at = [&](double q) { return ms[static_cast<std::size_t>(q * (ms.size() - 1))]; };
  std::printf("%-44s median %6.2f ms   p90 %6.2f ms   max %6.2f ms   (%zu runs)\n", what, at(0.5), at(0.9),
              ms.back(), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  testing::TempDir dir;
  const QString path = dir.file(QStringLiteral("Full.zmr"));
  testing::RecordingPrompts prompts;

  auto data = testing::MakeConsoleData(dir.folder());
  FullWeek(*data, path);
  NullView view;
  ScheduleEditor core(*data, prompts, view);
  core.Reset();
  core.FillGrid();
  Report("insert on a full week, core", Run(runs, core, [] {}));
  {
    std::vector<double> ms;
    GridTexts grid;
    for (int i = 0; i < runs; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      for (int d = 1; d <= kDays; ++d) {
        SortDay(data->project, d);
      }
      FillGrid(data->project, grid);
      ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    Report("  of which sort of 7 days and core refill", ms);
  }
  Report("undo on a full week, core", RunUndo(runs, core, [] {}));
  {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      SaveProject(*data);
      ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    Report("  of which (alone) the save with its flush", ms);
  }

  auto window_data = testing::MakeConsoleData(dir.folder());
  FullWeek(*window_data, path);
  testing::RecordingPrompts window_prompts;
  struct NoRunner : DialogRunner {
    void run(ConsoleDialog&) override {}
  } runner;
  Console console{*window_data, window_prompts, runner};
  Tscheduleallform form(console);
  form.FormShow();
  form.show();
  // The fields of the window hold the event that every run inserts.
  form.editor().TakePosition(0, 1);
  QApplication::processEvents();
  ScheduleEditor& editor = form.editor();
  const auto type = [&] {
    form.findChild<QLineEdit*>(QStringLiteral("time_on"))->setText(QStringLiteral("23:59"));
    form.findChild<QComboBox*>(QStringLiteral("timer_length"))->setEditText(QStringLiteral("5"));
  };
  type();
  Report("insert on a full week, window grid refill", Run(runs, editor, [&] {
           QApplication::processEvents();  // the grid repaints as it would between two clicks
           type();
         }));
  Report("undo on a full week, window grid refill", RunUndo(runs, editor, [&] {
           QApplication::processEvents();
           type();
         }));

  // Monday to Friday each with one slot free: the insert fills the week.
  auto five_data = testing::MakeConsoleData(dir.folder());
  FullWeek(*five_data, path, 5);
  ScheduleEditor five_core(*five_data, prompts, view);
  five_core.Reset();
  five_core.FillGrid();
  Report("insert into Mon-Fri on a full week, core", RunFiveDays(runs, five_core, [] {}));
  FullWeek(*window_data, path, 5);
  form.FormShow();
  form.editor().TakePosition(0, 1);
  type();
  Report("insert into Mon-Fri on a full week, window", RunFiveDays(runs, editor, [&] {
           QApplication::processEvents();
           type();
         }));
  if (!prompts.boxes.empty() || !window_prompts.boxes.empty()) {
    std::printf("unexpected message: %s\n",
                qPrintable((prompts.boxes.empty() ? window_prompts : prompts).boxes[0].text));
    return 1;
  }
  return 0;
}
