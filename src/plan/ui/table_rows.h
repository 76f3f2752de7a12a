#pragma once
// The height a table needs to show its header and so many rows without scrolling.
#include <QHeaderView>
#include <QTableView>

namespace zmr {

inline int HeightForRows(const QTableView& table, int rows) {
  return table.horizontalHeader()->sizeHint().height() + table.verticalHeader()->defaultSectionSize() * rows +
         2 * table.frameWidth();
}

}  // namespace zmr
