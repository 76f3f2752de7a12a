#pragma once
// The schedule editor without its widgets: the editor position, the edit mode, the copy
// buffer, and every operation that reads the entry row and changes the week. The window
// forwards its handlers here and shows what the EditorView calls tell it.
#include <array>
#include <optional>
#include <span>

#include "editor/entry_checks.h"
#include "editor/schedule_grid.h"
#include "editor/week_history.h"
#include "project/project_file.h"

namespace zmr {

class Prompts;

inline constexpr int kCopyBufferSize = 62;
using CopyBuffer = std::array<ScheduleEvent, kCopyBufferSize>;

// A copy or cut never holds more rows than the buffer, so nothing is lost or left half done.
inline const QString kCopyLimitText =
    QStringLiteral("You can not copy more than 62 rows at a time! Please select fewer rows.");

// What the editor asks of its window.
class EditorView {
 public:
  virtual ~EditorView() = default;
  virtual EntryFields entryFields() const = 0;
  virtual void setTimeOn(const QString& text) = 0;
  virtual void setTimerLength(const QString& text) = 0;
  virtual void setTimerName(const QString& text) = 0;
  virtual void clearEntryFields() = 0;
  // The seven day buttons and the several-days buttons beside them.
  virtual void setDayButtonsEnabled(bool enabled) = 0;
  // The grid texts changed: show them.
  virtual void gridFilled(const GridTexts& grid) = 0;
  // What to do next, in the window's own line; and whether the opened event's title and
  // pulse can now go to the other days.
  virtual void setHint(const QString& text) = 0;
  virtual void setSameOnAllDaysEnabled(bool enabled) = 0;
  // A short note that goes away by itself: a change worth a word, but no box.
  virtual void showNote(const QString& text) = 0;
};

struct EditorState {
  int current_row = 0;  // 0..119
  int current_day = 1;  // 1..7
  bool event_edit_mode = false;
  // The slot a write-back goes to; it follows its event through every sort, and is 0
  // while the opened event may not be written back (an On, Off or unknown kind).
  int edited_slot = 0;
  bool written_back = false;  // the opened event was saved since it was opened
  // The pulse typed for new events while an opened event's pulse fills the field: it
  // comes back when the edit ends.
  std::optional<QString> pulse_for_entry;
  CopyBuffer copy_buffer{};
};

// The grid's selected rectangle: day columns 1..7, rows 0..119.
struct GridSelection {
  int left_day = 1;
  int right_day = 1;
  int top_row = 0;
  int bottom_row = 0;
};

// A selection within one day: its day and rows.
struct DaySelection {
  int day = 1;
  int first_row = 0;
  int last_row = 0;
};

void FreeCopyBuffer(CopyBuffer& buffer);
// Entries 1.. up to the first whose hour or minute is 0xFF.
int HeldCount(const CopyBuffer& buffer);

// Whether the project file may be edited: a file that cannot be looked at is not.
bool ProjectFileReadOnly(const QString& path);

class ScheduleEditor {
 public:
  ScheduleEditor(ConsoleData& data, Prompts& prompts, EditorView& view);

  EditorState& state() { return state_; }
  const EditorState& state() const { return state_; }
  const GridTexts& grid() const { return grid_; }
  bool readonly() const { return data_.state.project_readonly; }

  // What each showing of the window resets: edit mode, copy buffer, read-only state.
  void Reset();
  void ClearGrid();
  void FillGrid();

  // A click or a key moved the grid's current cell.
  void TakePosition(int row, int day);
  bool CellHasEvent(int row, int day) const { return !grid_.cell(day, row).isEmpty(); }
  bool CanPaste() const { return state_.copy_buffer[0].hour != kEmptyTime; }

  void InsertEvent(int day);
  // The event of the fields into each of the days, as pressing their buttons one after
  // the other would put it there, but as one undo step; one message names the days that
  // refused it.
  void InsertEventDays(std::span<const int> days);
  void ShowEventDetails();
  void UpdateEvent();
  // The opened event's title and pulse to the events at its time on the other days, as
  // one undo step.
  bool CanSameOnAllDays() const { return !readonly() && state_.event_edit_mode && state_.edited_slot != 0; }
  void SameOnAllDays();
  // Empties the fields for a new event; the pulse typed for new events stays.
  void ClearEntry();
  QString Hint() const;

  std::optional<DaySelection> GetDaySelection(const GridSelection& selection);
  void CopyEvents(const GridSelection& selection);
  void DeleteEvents(const GridSelection& selection);
  void CutEvents(const GridSelection& selection);
  void PasteEvents();

  // Put the week back as it was before the last change (forward again after an undo),
  // saved like an edit. A save that fails leaves the week and the history as they were.
  bool CanUndo() const { return !readonly() && history_.CanUndo(); }
  bool CanRedo() const { return !readonly() && history_.CanRedo(); }
  std::size_t UndoCount() const { return history_.UndoCount(); }
  void Undo();
  void Redo();

 private:
  void refuse(const QString& text);
  // The typed values, or nothing after the refusal of a bad time or of a bad pulse (its
  // text differs between insert and write-back).
  std::optional<EntryValues> readEntry(const EntryFields& fields, const QString& pulse_refusal);
  // The Pulse event the fields hold for an insert, or nothing after its refusal (or in a
  // read-only project, which takes none).
  std::optional<ScheduleEvent> newEvent();
  bool copyRows(const GridSelection& selection);
  // Sorts the given days, saves, refills; a failed save still refills, so the grid
  // never shows other rows than the ones the operations address.
  // `before` is the week as it stood before the change; it becomes an undo step unless
  // the change left every byte as it was.
  void endOfChange(int first_day, int last_day, const WeekSchedule& before);
  // The same without a sort, for a change that moves no event.
  void saveChange(const WeekSchedule& before);
  void endEdit();
  // Tells the window the hint and what the edit allows now.
  void showEditState();
  void noteNight(const WeekSchedule& before, int hour, int minute, int replaced_day = 0,
                 int replaced_slot = 0);
  void restore(bool undo);

  ConsoleData& data_;
  Prompts& prompts_;
  EditorView& view_;
  EditorState state_;
  GridTexts grid_;
  WeekHistory history_;
};

}  // namespace zmr
