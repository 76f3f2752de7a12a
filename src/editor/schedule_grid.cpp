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
  for (auto& day : grid.tips) {
    for (QString& tip : day) {
      tip.clear();
    }
  }
  for (int n = 1; n <= kGridRows; ++n) {
    grid.cells[0][n - 1] = QString::number(n);
  }
}

QString ClockText(int hour, int minute) {
  return QStringLiteral("%1:%2").arg(hour, 2, 10, QChar(u'0')).arg(minute, 2, 10, QChar(u'0'));
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
        grid.tips[day - 1][row] = EventTip(e);
        ++row;
      }
    }
  }
}

QString EventTip(const ScheduleEvent& event) {
  const QString title = event.title.text();
  QString kind;
  switch (static_cast<EventKind>(event.kind)) {
    case EventKind::Pulse:
      return title.isEmpty() ? QStringLiteral("(no title)") : title;
    case EventKind::On:
      kind = QStringLiteral("(switches the output on)");
      break;
    case EventKind::Off:
      kind = QStringLiteral("(switches the output off)");
      break;
    default:
      kind = QStringLiteral("(a kind of event the editor only shows)");
      break;
  }
  return title.isEmpty() ? kind : title + u' ' + kind;
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
