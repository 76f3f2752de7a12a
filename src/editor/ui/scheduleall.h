#pragma once
// The schedule editor window: the entry row, the day buttons, the tool strip, the week
// grid and its pop-up menu. Its handlers are thin; ScheduleEditor does the work. The
// class is written in four files, one per part: scheduleall.cpp (the window as a whole),
// scheduleall_entry.cpp (fields and day buttons), scheduleall_grid.cpp (grid and
// selection), scheduleall_tools.cpp (tool strip, pop-up menu, undo).
#include <array>
#include <memory>

#include "editor/schedule_editor.h"
#include "ui/console.h"

class QAction;
class QMenu;

namespace Ui {
class Tscheduleallform;
}

namespace zmr {

class TimeFieldKeys;

// The masked time field's own refusal when it is left with a required digit missing.
inline const QString kMaskErrorText =
    QStringLiteral("Invalid input value.  Use escape key to abandon changes");

inline constexpr int kGridRowHeight = 20;
inline constexpr int kNumberColumnWidth = 36;
inline constexpr int kDayColumnWidth = 80;  // the narrowest a day column gets
// However small the window is made, the grid shows this many rows.
inline constexpr int kGridMinimumRows = 8;

class Tscheduleallform : public ConsoleDialog, private EditorView {
 public:
  explicit Tscheduleallform(Console& console, QWidget* parent = nullptr);
  ~Tscheduleallform() override;

  Ui::Tscheduleallform& ui() { return *ui_; }
  ScheduleEditor& editor() { return editor_; }
  QMenu& PopupMenu1() { return *popup_; }

  void FormShow() override;
  void timergridClick();
  void timergridDblClick();
  void editboxes_focused();
  void timer_propertyExit();
  void timer_propertyKeyPress(int character);
  void DayButtonClick(int day);  // bmonClick .. bsunClick
  void bweekdaysClick();         // Monday to Friday
  void beverydayClick();
  void bsameallClick();  // the opened event's title and pulse to its time on the other days
  void TS_CutClick();
  void TS_CopyClick();
  void TS_PasteClick();
  void TS_DelClick();
  void TS_PropClick();
  void TS_UndoClick();
  void TS_RedoClick();
  void TS_printClick();
  void PopupMenu1Popup();
  void closebuttonClick();
  // Opens the pop-up menu at a point of the grid without moving its current cell.
  void popupAt(const QPoint& grid_point);

  // The grid's selection as the editor addresses it.
  GridSelection selection() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // EditorView
  EntryFields entryFields() const override;
  void setTimeOn(const QString& text) override;
  void setTimerLength(const QString& text) override;
  void setTimerName(const QString& text) override;
  void clearEntryFields() override;
  void setDayButtonsEnabled(bool enabled) override;
  void gridFilled(const GridTexts& grid) override;
  void setHint(const QString& text) override;
  void setSameOnAllDaysEnabled(bool enabled) override;
  void showNote(const QString& text) override;

  void buildEntryRow();
  void buildTools();
  void buildGrid();
  // The name, pulse time and on time fields.
  std::array<QWidget*, 3> entryWidgets() const;
  void setClipboardButtons(bool cut_copy_del, bool prop, bool paste);
  void availabilityAfterClick();
  bool gridKey(QKeyEvent* key);
  // Mouse events of the grid's viewport: a click takes the position on the release.
  bool gridMouse(QEvent* event);
  bool fieldEvent(QObject* field, QEvent* event);
  bool timeOnRefusesExit();
  // The press of an insert button that the time field refused to let the focus go to.
  bool timeFieldKeptThePress();
  // The grid shows whole rows only, in whatever room it has; its day columns share the
  // width, and the day buttons stand over them.
  void fitWholeRows();
  void fitColumns();
  void placeDayButtons();
  void updateUndoButtons();

  Console& console_;
  std::unique_ptr<Ui::Tscheduleallform> ui_;
  std::unique_ptr<TimeFieldKeys> time_keys_;
  ScheduleEditor editor_;
  QMenu* popup_ = nullptr;     // owned by the window
  QAction* undo_ = nullptr;    // Undo1 and Redo1, owned by the window; they carry the keys
  QAction* redo_ = nullptr;
  bool mouse_down_ = false;    // a click is under way: the release takes the position
  bool skip_release_ = false;  // the release that ends a double-click is no click
  QString time_on_at_entry_;   // what Escape puts back in the time field
  bool exit_refused_ = false;  // the time field refused to let the focus go
  bool refocusing_ = false;    // focus events while the time field takes the focus back
};

}  // namespace zmr
