#include "editor/ui/scheduleall.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <utility>

#include "base/prompts.h"
#include "editor/editor_texts.h"
#include "editor/ui/editor_artwork.h"
#include "editor/ui/time_field.h"
#include "ui_scheduleall.h"
#include "ui/artwork.h"
#include "ui/field_looks.h"

namespace zmr {
namespace {

const QString kTip1 = QStringLiteral(
    "1: Start by entering an optional name/title for the timer you are scheduling, followed by selecting the "
    "Pulse Time - which is the time that the output will be activated. Enter the ON time, in HOUR:MINUTE "
    "e.g. "
    "03:15 will imply 3:15 AM, whereas 15:15 will mean 3:15 PM.");
const QString kTip2 = QStringLiteral(
    "2: Once a valid ON Time and Pulse Time has been selected, you can add this event to the schedule grid "
    "by "
    "using the Paste Insert Icon next to each day. You can add this event to several days if required.");
const QString kTip3 = QStringLiteral(
    "3: STEP 1 and 2 can be repeated for as many times as necessary to set up your schedule, up to 120 "
    "events "
    "per day.");
const QString kTip4 = QStringLiteral(
    "NOTE: To edit an event already added to the schedule grid, you can double-click on the selected event "
    "or "
    "select the Properties Icon in the Task Bar on the left-hand of the Timer Schedule Dialog.This allows "
    "you to "
    "change all details related to the selected event.");

constexpr int kDayIconSize = 22;
constexpr int kStripIconSize = 28;
constexpr int kUndoIconSize = 22;

bool IsFocusMove(QEvent* event) {
  const auto reason = static_cast<QFocusEvent*>(event)->reason();
  // Another window taking the keyboard (a message box, the combo's list) moves no focus here.
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

Tscheduleallform::Tscheduleallform(Console& console, QWidget* parent)
    : ConsoleDialog(parent),
      console_(console),
      ui_(new Ui::Tscheduleallform),
      editor_(console.data, console.prompts, *this) {
  ui_->setupUi(this);
  setFixedSize(size());
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  buildGrid();

  ui_->Label1->setBuddy(ui_->timer_name);
  ui_->Label2->setBuddy(ui_->timer_length);
  ui_->Label4->setBuddy(ui_->time_on);
  ui_->timer_name->setAccessibleName(ui_->Label1->text());
  ui_->timer_length->setAccessibleName(ui_->Label2->text());
  ui_->time_on->setAccessibleName(ui_->Label4->text());
  ui_->timer_length->lineEdit()->setAccessibleName(ui_->Label2->text());
  ui_->timer_length->view()->setAccessibleName(ui_->Label2->text());  // the drop-down list

  const std::array<QPushButton*, kDays> days = {ui_->bmon, ui_->btue, ui_->bwed, ui_->bthu,
                                                ui_->bfri, ui_->bsat, ui_->bsun};
  for (int d = 1; d <= kDays; ++d) {
    QPushButton* button = days[d - 1];
    button->setIcon(EditorIcon(EditorGlyph::DayInsert, kDayIconSize));
    button->setIconSize({kDayIconSize, kDayIconSize});
    connect(button, &QPushButton::clicked, this, [this, d] { DayButtonClick(d); });
  }
  ui_->TS_Cut->setIcon(EditorIcon(EditorGlyph::Cut, kStripIconSize));
  ui_->TS_Copy->setIcon(EditorIcon(EditorGlyph::Copy, kStripIconSize));
  ui_->TS_Paste->setIcon(EditorIcon(EditorGlyph::Paste, kStripIconSize));
  ui_->TS_Del->setIcon(EditorIcon(EditorGlyph::Delete, kStripIconSize));
  ui_->TS_Prop->setIcon(GlyphIcon(Glyph::Properties, kStripIconSize));
  ui_->TS_print->setIcon(GlyphIcon(Glyph::Print, kStripIconSize));
  ui_->TS_Undo->setIcon(EditorIcon(EditorGlyph::Undo, kUndoIconSize));
  ui_->TS_Redo->setIcon(EditorIcon(EditorGlyph::Redo, kUndoIconSize));
  for (const auto& [button, caption] : {std::pair{ui_->TS_Cut, ui_->TS_CutCaption}, {ui_->TS_Copy, ui_->TS_CopyCaption},
                                        {ui_->TS_Paste, ui_->TS_PasteCaption}, {ui_->TS_Del, ui_->TS_DelCaption},
                                        {ui_->TS_Prop, ui_->TS_PropCaption}, {ui_->TS_print, ui_->TS_printCaption}}) {
    CaptionFollowsEnabled(*button, *caption);
  }
  connect(ui_->TS_Cut, &QToolButton::clicked, this, &Tscheduleallform::TS_CutClick);
  connect(ui_->TS_Copy, &QToolButton::clicked, this, &Tscheduleallform::TS_CopyClick);
  connect(ui_->TS_Paste, &QToolButton::clicked, this, &Tscheduleallform::TS_PasteClick);
  connect(ui_->TS_Del, &QToolButton::clicked, this, &Tscheduleallform::TS_DelClick);
  connect(ui_->TS_Prop, &QToolButton::clicked, this, &Tscheduleallform::TS_PropClick);
  connect(ui_->TS_print, &QToolButton::clicked, this, &Tscheduleallform::TS_printClick);
  connect(ui_->TS_Undo, &QToolButton::clicked, this, &Tscheduleallform::TS_UndoClick);
  connect(ui_->TS_Redo, &QToolButton::clicked, this, &Tscheduleallform::TS_RedoClick);
  connect(ui_->closebutton, &QPushButton::clicked, this, &Tscheduleallform::closebuttonClick);

  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu1"));
  const auto item = [this](const char* name, const QString& text, void (Tscheduleallform::*handler)()) {
    QAction* action = popup_->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, handler);
  };
  item("Cut1", QStringLiteral("Cu&t"), &Tscheduleallform::TS_CutClick);
  item("Copy1", QStringLiteral("&Copy"), &Tscheduleallform::TS_CopyClick);
  item("Paste1", QStringLiteral("&Paste"), &Tscheduleallform::TS_PasteClick);
  item("Delete1", QStringLiteral("&Delete"), &Tscheduleallform::TS_DelClick);
  popup_->addSeparator();
  item("Undo1", QStringLiteral("&Undo"), &Tscheduleallform::TS_UndoClick);
  item("Redo1", QStringLiteral("&Redo"), &Tscheduleallform::TS_RedoClick);
  // The keys work wherever the focus is in the window, but a text field keeps Ctrl+Z
  // for its own typing.
  undo_ = popup_->findChild<QAction*>(QStringLiteral("Undo1"));
  redo_ = popup_->findChild<QAction*>(QStringLiteral("Redo1"));
  undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  for (QAction* action : {undo_, redo_}) {
    action->setToolTip(action == undo_ ? ui_->TS_Undo->toolTip() : ui_->TS_Redo->toolTip());
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
  }
  popup_->setToolTipsVisible(true);
  connect(ui_->timergrid, &QWidget::customContextMenuRequested, this, &Tscheduleallform::popupAt);

  connect(ui_->timergrid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
    if (!mouse_down_ && row >= 0 && column >= 0) {
      timergridClick();
    }
  });
  connect(ui_->timergrid, &QTableWidget::cellDoubleClicked, this, &Tscheduleallform::timergridDblClick);
  ui_->timergrid->installEventFilter(this);
  ui_->timergrid->viewport()->installEventFilter(this);
  for (QWidget* field : entryWidgets()) {
    field->installEventFilter(this);
  }
  time_keys_ = std::make_unique<TimeFieldKeys>(*ui_->time_on);  // sees the field's keys first
}

std::array<QWidget*, 3> Tscheduleallform::entryWidgets() const {
  return {ui_->timer_name, ui_->timer_length, ui_->time_on};
}

Tscheduleallform::~Tscheduleallform() = default;

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
  for (int column = 0; column < kDays; ++column) {
    grid.setColumnWidth(column, kDayColumnWidth);
    for (int row = 0; row < kGridRows; ++row) {
      grid.setItem(row, column, new QTableWidgetItem);  // the grid owns its items
    }
  }
}

// --- EditorView ---------------------------------------------------------------------

EntryFields Tscheduleallform::entryFields() const {
  // The time as its five positions read, a position left blank being a blank.
  QString time = ui_->time_on->displayText();
  time.replace(QLatin1Char('_'), QLatin1Char(' '));
  return {ui_->timer_name->text(), ui_->timer_length->currentText(), time};
}

void Tscheduleallform::setTimeOn(const QString& text) { ui_->time_on->setText(text); }
void Tscheduleallform::setTimerLength(const QString& text) { ui_->timer_length->setEditText(text); }
void Tscheduleallform::setTimerName(const QString& text) { ui_->timer_name->setText(text); }

void Tscheduleallform::clearEntryFields() {
  ui_->time_on->clear();
  // clear() counts as an edit of a masked field; an emptied field is an unedited one.
  ui_->time_on->setModified(false);
  ui_->timer_name->clear();
  ui_->timer_length->setEditText(QString());
}

void Tscheduleallform::setDayButtonsEnabled(bool enabled) {
  for (QPushButton* b : {ui_->bmon, ui_->btue, ui_->bwed, ui_->bthu, ui_->bfri, ui_->bsat, ui_->bsun}) {
    b->setEnabled(enabled);
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

// --- handlers -----------------------------------------------------------------------

void Tscheduleallform::FormShow() {
  ui_->tip1->setText(kTip1);
  ui_->tip2->setText(kTip2);
  ui_->tip3->setText(kTip3);
  ui_->tip4->setText(kTip4);
  ui_->timer_length->clear();
  for (int s = kMinPulseSeconds; s <= kMaxPulseSeconds; ++s) {
    ui_->timer_length->addItem(QString::number(s));
  }
  // Nothing of an earlier showing survives: not a refused or half-typed time, a click
  // under way, the scroll position or where the focus was.
  exit_refused_ = refocusing_ = mouse_down_ = skip_release_ = false;
  time_on_at_entry_.clear();
  editor_.ClearGrid();
  ui_->timergrid->setCurrentCell(0, 0);
  ui_->timergrid->scrollToTop();
  clearEntryFields();
  ui_->timer_length->setEnabled(true);
  ui_->timergrid->setRowCount(kGridRows);
  editor_.Reset();  // copy buffer free, no event open, read-only taken from the file
  setClipboardButtons(false, false, false);
  const bool readonly = editor_.readonly();
  setWindowTitle(readonly ? QStringLiteral("Timer Schedule (READ ONLY)") : QStringLiteral("Timer Schedule"));
  setDayButtonsEnabled(!readonly);
  for (QWidget* field : entryWidgets()) {
    field->setEnabled(!readonly);
    ShowReadOnlyLook(*field, readonly);
  }
  ui_->TS_print->setEnabled(console_.report != nullptr);
  editor_.FillGrid();
  (readonly ? static_cast<QWidget*>(ui_->timergrid) : ui_->timer_name)->setFocus(Qt::OtherFocusReason);
}

void Tscheduleallform::updateUndoButtons() {
  ui_->TS_Undo->setEnabled(editor_.CanUndo());
  ui_->TS_Redo->setEnabled(editor_.CanRedo());
  undo_->setEnabled(editor_.CanUndo());
  redo_->setEnabled(editor_.CanRedo());
}

void Tscheduleallform::setClipboardButtons(bool cut_copy_del, bool prop, bool paste) {
  ui_->TS_Cut->setEnabled(cut_copy_del);
  ui_->TS_Copy->setEnabled(cut_copy_del);
  ui_->TS_Del->setEnabled(cut_copy_del);
  ui_->TS_Prop->setEnabled(prop);
  ui_->TS_Paste->setEnabled(paste);
}

void Tscheduleallform::availabilityAfterClick() {
  const EditorState& s = editor_.state();
  const bool event = editor_.CellHasEvent(s.current_row, s.current_day);
  setClipboardButtons(event, event, editor_.CanPaste());
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
  clearEntryFields();
  availabilityAfterClick();
}

void Tscheduleallform::timergridDblClick() {
  clearEntryFields();
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

void Tscheduleallform::editboxes_focused() { setClipboardButtons(false, false, false); }

void Tscheduleallform::timer_propertyExit() {
  if (editor_.state().event_edit_mode) {
    editor_.UpdateEvent();
  }
}

void Tscheduleallform::timer_propertyKeyPress(int character) {
  if (character == '\r' && editor_.state().event_edit_mode) {
    editor_.UpdateEvent();
  }
}

void Tscheduleallform::DayButtonClick(int day) {
  if (exit_refused_) {
    // The press that should have brought the focus here was refused by the time field.
    exit_refused_ = false;
    if (ui_->time_on->hasFocus()) {
      return;
    }
  }
  editor_.InsertEvent(day);
}

void Tscheduleallform::TS_CutClick() { editor_.CutEvents(selection()); }
void Tscheduleallform::TS_CopyClick() { editor_.CopyEvents(selection()); }
void Tscheduleallform::TS_PasteClick() { editor_.PasteEvents(); }
void Tscheduleallform::TS_DelClick() { editor_.DeleteEvents(selection()); }
void Tscheduleallform::TS_PropClick() { editor_.ShowEventDetails(); }
void Tscheduleallform::TS_UndoClick() { editor_.Undo(); }
void Tscheduleallform::TS_RedoClick() { editor_.Redo(); }

void Tscheduleallform::TS_printClick() {
  if (console_.report != nullptr) {
    console_.report->PrintScheduleReport(kReportPreview);
  }
}

void Tscheduleallform::PopupMenu1Popup() {
  const std::array<std::pair<const char*, QToolButton*>, 6> items = {{{"Cut1", ui_->TS_Cut},
                                                                      {"Copy1", ui_->TS_Copy},
                                                                      {"Paste1", ui_->TS_Paste},
                                                                      {"Delete1", ui_->TS_Del},
                                                                      {"Undo1", ui_->TS_Undo},
                                                                      {"Redo1", ui_->TS_Redo}}};
  for (const auto& [name, button] : items) {
    popup_->findChild<QAction*>(QString::fromLatin1(name))->setEnabled(button->isEnabled());
  }
}

void Tscheduleallform::popupAt(const QPoint& grid_point) {
  PopupMenu1Popup();
  popup_->popup(ui_->timergrid->viewport()->mapToGlobal(grid_point));
}

void Tscheduleallform::closebuttonClick() { reject(); }

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

bool Tscheduleallform::timeOnRefusesExit() {
  QLineEdit& field = *ui_->time_on;
  if (!field.isModified() || field.hasAcceptableInput()) {
    return false;
  }
  exit_refused_ = true;
  refocusing_ = true;
  console_.prompts.message(BoxKind::Error, kMaskErrorText, BoxButtons::Ok);
  field.setFocus(Qt::OtherFocusReason);
  refocusing_ = false;
  return true;
}

bool Tscheduleallform::fieldEvent(QObject* field, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
      if (!refocusing_ && IsFocusMove(event)) {
        if (field == ui_->time_on) {
          time_on_at_entry_ = ui_->time_on->text();
        }
        editboxes_focused();
      }
      return false;
    case QEvent::FocusOut:
      if (!refocusing_ && IsFocusMove(event)) {
        if (field == ui_->time_on && timeOnRefusesExit()) {
          return false;
        }
        if (field == ui_->time_on) {
          exit_refused_ = false;
        }
        timer_propertyExit();
      }
      return false;
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        timer_propertyKeyPress('\r');
        return true;
      }
      if (key->key() == Qt::Key_Escape && field == ui_->time_on && ui_->time_on->isModified()) {
        ui_->time_on->setText(time_on_at_entry_);
        ui_->time_on->setModified(false);
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

bool Tscheduleallform::eventFilter(QObject* watched, QEvent* event) {
  QTableWidget* grid = ui_->timergrid;
  if (watched == grid && event->type() == QEvent::KeyPress) {
    return gridKey(static_cast<QKeyEvent*>(event));
  }
  const bool mouse_event = event->type() == QEvent::MouseButtonPress ||
                           event->type() == QEvent::MouseButtonRelease ||
                           event->type() == QEvent::MouseButtonDblClick;
  if (watched == grid->viewport() && mouse_event) {
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
  if (watched == ui_->timer_name || watched == ui_->timer_length || watched == ui_->time_on) {
    return fieldEvent(watched, event);
  }
  return ConsoleDialog::eventFilter(watched, event);
}

void Tscheduleallform::keyPressEvent(QKeyEvent* event) {
  // Enter presses the focused button only (there is no default button), and Escape does
  // not close the window: it closes by its own button.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
    }
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  ConsoleDialog::keyPressEvent(event);
}

void Tscheduleallform::showEvent(QShowEvent* event) {
  if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  ConsoleDialog::showEvent(event);
}

}  // namespace zmr
