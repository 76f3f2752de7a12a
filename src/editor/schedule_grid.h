#pragma once
// The week as the editor's grid shows it: column 0 numbers the rows "1".."120", column d
// (1..7) holds day d's events packed from row 0 in slot order. Beside the texts it keeps
// which slot each row shows, so that a day loaded out of order is still addressed right.
#include <QString>
#include <array>

#include "project/project_model.h"

namespace zmr {

inline constexpr int kGridColumns = 8;
inline constexpr int kGridRows = kEventsPerDay;

struct GridTexts {
  std::array<std::array<QString, kGridRows>, kGridColumns> cells;  // [column][row]
  // [day - 1][row]: the slot (1..120) shown on that row, 0 for an empty row.
  std::array<std::array<int, kGridRows>, kDays> slot_of_row{};
  // [day - 1][row]: what a pointer or a screen reader learns of the event beyond its text.
  std::array<std::array<QString, kGridRows>, kDays> tips;

  const QString& cell(int column, int row) const { return cells[column][row]; }
  int slotOfRow(int day, int row) const { return slot_of_row[day - 1][row]; }
  const QString& tip(int day, int row) const { return tips[day - 1][row]; }
};

void ClearGrid(GridTexts& grid);
// A time as the cells show it: "07:05".
QString ClockText(int hour, int minute);
// The title of an event, and its kind when it switches the output or is one the editor
// does not change; the cell itself shows the time and pulse only.
QString EventTip(const ScheduleEvent& event);
void FillGrid(const ProjectSetup& project, GridTexts& grid);

// Where slot `slot` of the day ends up when SortDay runs on the day as it stands now.
int SlotAfterSort(const DaySchedule& day, int slot);

}  // namespace zmr
