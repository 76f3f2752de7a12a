#include "editor/schedule_grid.h"

#include <numeric>
#include <utility>

namespace zmr {

void ClearGrid(GridTexts& grid) {
  for (auto& column : grid.cells) {
    for (QString& text : column) {
      text.clear();
    }
  }
  for (auto& day : grid.slot_of_row) {
    day.fill(0);
  }
  for (int n = 1; n <= kGridRows; ++n) {
    grid.cells[0][n - 1] = QString::number(n);
  }
}

void FillGrid(const ProjectSetup& project, GridTexts& grid) {
  ClearGrid(grid);
  for (int day = 1; day <= kDays; ++day) {
    int row = 0;
    for (int slot = 1; slot <= kEventsPerDay; ++slot) {
      const ScheduleEvent& e = project.slot(day, slot);
      if (!e.isEmptyKind()) {
        grid.cells[day][row] = EventText(e);
        grid.slot_of_row[day - 1][row] = slot;
        ++row;
      }
    }
  }
}

int SlotAfterSort(const DaySchedule& day, int slot) {
  // The same exchanges as SortDay, made on the keys alone: they decide every exchange.
  std::array<int, kEventsPerDay> keys{};
  std::array<int, kEventsPerDay> origin{};
  for (int i = 0; i < kEventsPerDay; ++i) {
    keys[i] = day[i].timeKey();
  }
  std::iota(origin.begin(), origin.end(), 1);
  int gap = kEventsPerDay;
  while (gap > 1) {
    gap /= 2;
    bool exchanged = true;
    while (exchanged) {
      exchanged = false;
      for (int i = 0; i < kEventsPerDay - gap; ++i) {
        if (keys[i] > keys[i + gap]) {
          std::swap(keys[i], keys[i + gap]);
          std::swap(origin[i], origin[i + gap]);
          exchanged = true;
        }
      }
    }
  }
  for (int i = 0; i < kEventsPerDay; ++i) {
    if (origin[i] == slot) {
      return i + 1;
    }
  }
  return slot;
}

}  // namespace zmr
