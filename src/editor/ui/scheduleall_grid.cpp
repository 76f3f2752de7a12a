// The editor window's week grid: its shape, its cells refilled from the editor, the
// clicks, double-clicks and keys that move the current cell, and its selection.
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

#include "editor/ui/scheduleall.h"
#include "ui_scheduleall.h"

namespace zmr {

void Tscheduleallform::buildGrid() {
  QTableWidget& grid = *ui_->timergrid;
  grid.setColumnCount(kDays);
  grid.setRowCount(kGridRows);
  grid.horizontalHeader()->hide();
  // Column 0, the row numbers, is the grid's fixed column: it scrolls with the rows and
  // never takes the current cell.
  QHeaderView& numbers = *grid.verticalHeader();
  numbers.setSectionResizeMode(QHeaderView::Fixed);
  numbers.setMinimumSectionSize(kGridRowHeight);
  numbers.setDefaultSectionSize(kGridRowHeight);
  numbers.setFixedWidth(kNumberColumnWidth);
  numbers.setDefaultAlignment(Qt::AlignCenter);
  numbers.setSectionsClickable(false);
  numbers.setHighlightSections(false);
  grid.horizontalHeader()->setMinimumSectionSize(kDayColumnWidth);
  for (int column = 0; column < kDays; ++column) {
    grid.setColumnWidth(column, kDayColumnWidth);
    for (int row = 0; row < kGridRows; ++row) {
      grid.setItem(row, column, new QTableWidgetItem);  // the grid owns its items
    }
  }
  const int frame = 2 * grid.frameWidth();
  ui_->gridarea->setMinimumSize(
      frame + kNumberColumnWidth + kDays * kDayColumnWidth + grid.verticalScrollBar()->sizeHint().width(),
      frame + kGridMinimumRows * kGridRowHeight);
  ui_->gridarea->installEventFilter(this);
  connect(ui_->timergrid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
    if (!mouse_down_ && row >= 0 && column >= 0) {
      timergridClick();
    }
  });
  connect(ui_->timergrid, &QTableWidget::cellDoubleClicked, this, &Tscheduleallform::timergridDblClick);
  ui_->timergrid->installEventFilter(this);
  ui_->timergrid->viewport()->installEventFilter(this);
}

void Tscheduleallform::fitWholeRows() {
  QTableWidget& grid = *ui_->timergrid;
  const QWidget& area = *ui_->gridarea;
  const int frame = 2 * grid.frameWidth();
  // The rest of the room below the last whole row stays empty, so no half row at the
  // foot of the grid looks like a whole one whose events end there.
  const int rows = std::max(1, (area.height() - frame) / kGridRowHeight);
  grid.setGeometry(0, 0, area.width(), frame + rows * kGridRowHeight);
  placeDayButtons();
}

void Tscheduleallform::fitColumns() {
  QTableWidget& grid = *ui_->timergrid;
  // The day columns share the width the window gives them, never narrower than they were.
  const int room = grid.viewport()->width();
  const int width = std::max(kDayColumnWidth, room / kDays);
  const int spare = std::max(0, room - width * kDays);  // a pixel more for the first few
  for (int column = 0; column < kDays; ++column) {
    grid.setColumnWidth(column, width + (column < spare ? 1 : 0));
  }
  placeDayButtons();
}

void Tscheduleallform::placeDayButtons() {
  const QTableWidget& grid = *ui_->timergrid;
  // The day bar and the grid's area share their left edge and width.
  const int left = grid.x() + grid.frameWidth() + grid.verticalHeader()->width();
  const std::array<QPushButton*, kDays> buttons = {ui_->bmon, ui_->btue, ui_->bwed, ui_->bthu,
                                                   ui_->bfri, ui_->bsat, ui_->bsun};
  for (int column = 0; column < kDays; ++column) {
    buttons[column]->setGeometry(left + grid.columnViewportPosition(column), 0, grid.columnWidth(column),
                                 ui_->daybar->height());
  }
}

void Tscheduleallform::gridFilled(const GridTexts& grid) {
  QTableWidget& table = *ui_->timergrid;
  // A refill shows nothing selected, so nothing looks chosen that the tools would not act
  // on: Cut, Copy and Delete wait for the next click.
  table.clearSelection();
  ui_->TS_Cut->setEnabled(false);
  ui_->TS_Copy->setEnabled(false);
  ui_->TS_Del->setEnabled(false);
  updateUndoButtons();
  for (int row = 0; row < kGridRows && row < table.rowCount(); ++row) {
    QTableWidgetItem* number = table.verticalHeaderItem(row);
    if (number == nullptr || number->text() != grid.cell(0, row)) {
      table.setVerticalHeaderItem(row, new QTableWidgetItem(grid.cell(0, row)));
    }
    for (int day = 1; day <= kDays; ++day) {
      QTableWidgetItem* cell = table.item(row, day - 1);
      if (cell->text() != grid.cell(day, row)) {
        cell->setText(grid.cell(day, row));
      }
      if (cell->toolTip() != grid.tip(day, row)) {
        cell->setToolTip(grid.tip(day, row));
        cell->setData(Qt::AccessibleDescriptionRole, grid.tip(day, row));
      }
    }
  }
}

void Tscheduleallform::timergridClick() {
  editor_.TakePosition(ui_->timergrid->currentRow(), ui_->timergrid->currentColumn() + 1);
  const EditorState& s = editor_.state();
  if (editor_.CellHasEvent(s.current_row, s.current_day)) {
    ui_->TS_Prop->setEnabled(true);
  }
  if (editor_.readonly()) {
    return;
  }
  setDayButtonsEnabled(true);
  editor_.ClearEntry();
  availabilityAfterClick();
}

void Tscheduleallform::timergridDblClick() {
  editor_.ClearEntry();
  editor_.TakePosition(ui_->timergrid->currentRow(), ui_->timergrid->currentColumn() + 1);
  const EditorState& s = editor_.state();
  if (editor_.CellHasEvent(s.current_row, s.current_day)) {
    editor_.ShowEventDetails();
  }
  if (editor_.readonly()) {
    return;
  }
  availabilityAfterClick();
}

GridSelection Tscheduleallform::selection() const {
  const QTableWidget& grid = *ui_->timergrid;
  const QList<QTableWidgetSelectionRange> ranges = grid.selectedRanges();
  if (ranges.isEmpty()) {
    const int day = grid.currentColumn() + 1;
    return {day, day, grid.currentRow(), grid.currentRow()};
  }
  GridSelection s{ranges[0].leftColumn() + 1, ranges[0].rightColumn() + 1, ranges[0].topRow(),
                  ranges[0].bottomRow()};
  for (const QTableWidgetSelectionRange& r : ranges) {
    s.left_day = std::min(s.left_day, r.leftColumn() + 1);
    s.right_day = std::max(s.right_day, r.rightColumn() + 1);
    s.top_row = std::min(s.top_row, r.topRow());
    s.bottom_row = std::max(s.bottom_row, r.bottomRow());
  }
  return s;
}

// --- events -------------------------------------------------------------------------

bool Tscheduleallform::gridKey(QKeyEvent* key) {
  const Qt::KeyboardModifiers mods = key->modifiers();
  if (mods & Qt::ControlModifier) {
    switch (key->key()) {
      case Qt::Key_X:
        if (ui_->TS_Cut->isEnabled()) {
          TS_CutClick();
        }
        return true;
      case Qt::Key_C:
        if (ui_->TS_Copy->isEnabled()) {
          TS_CopyClick();
        }
        return true;
      case Qt::Key_V:
        if (ui_->TS_Paste->isEnabled()) {
          TS_PasteClick();
        }
        return true;
      default:
        break;
    }
  }
  switch (key->key()) {
    case Qt::Key_Delete:
      if (!(mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) && ui_->TS_Cut->isEnabled()) {
        editor_.DeleteEvents(selection());
      }
      return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Menu:
      return false;
    default:
      // Type-ahead search would move the current cell and the table's own copy keys
      // (Ctrl+Insert, the Copy key) would fill the system clipboard: no other key acts here.
      return true;
  }
}

bool Tscheduleallform::gridMouse(QEvent* event) {
  const bool mouse_event = event->type() == QEvent::MouseButtonPress ||
                           event->type() == QEvent::MouseButtonRelease ||
                           event->type() == QEvent::MouseButtonDblClick;
  if (!mouse_event) {
    return false;
  }
  const auto* mouse = static_cast<QMouseEvent*>(event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (mouse->button() == Qt::RightButton) {
        return true;  // the pop-up menu acts on the selection as it stands
      }
      mouse_down_ = mouse->button() == Qt::LeftButton;
      skip_release_ = false;  // a double-click comes after its second press
      return false;
    case QEvent::MouseButtonDblClick:
      mouse_down_ = mouse->button() == Qt::LeftButton;
      skip_release_ = mouse_down_;
      return false;
    case QEvent::MouseButtonRelease:
      if (mouse->button() == Qt::LeftButton && mouse_down_) {
        mouse_down_ = false;
        if (skip_release_) {
          skip_release_ = false;
        } else {
          timergridClick();
        }
      }
      return false;
    default:
      return false;
  }
}

}  // namespace zmr
