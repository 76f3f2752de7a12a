#include "editor/schedule_editor.h"

#include <QFileInfo>
#include <cstring>
#include <memory>

#include "base/file_io.h"
#include "base/prompts.h"
#include "editor/editor_hint.h"
#include "editor/editor_texts.h"
#include "editor/night_bells.h"
#include "editor/several_days.h"

namespace zmr {

void FreeCopyBuffer(CopyBuffer& buffer) {
  for (ScheduleEvent& e : buffer) {
    e = ScheduleEvent{};
    e.hour = e.minute = e.kind = e.pulse_seconds = kEmptyTime;
    e.title.clear();
  }
}

int HeldCount(const CopyBuffer& buffer) {
  int n = 0;
  while (n < kCopyBufferSize && buffer[n].hour != kEmptyTime && buffer[n].minute != kEmptyTime) {
    ++n;
  }
  return n;
}

bool ProjectFileReadOnly(const QString& path) { return !QFileInfo::exists(path) || IsReadOnlyFile(path); }

ScheduleEditor::ScheduleEditor(ConsoleData& data, Prompts& prompts, EditorView& view)
    : data_(data), prompts_(prompts), view_(view) {
  FreeCopyBuffer(state_.copy_buffer);
  zmr::ClearGrid(grid_);
}

void ScheduleEditor::Reset() {
  FreeCopyBuffer(state_.copy_buffer);
  state_.event_edit_mode = false;
  state_.edited_slot = 0;
  state_.written_back = false;
  state_.pulse_for_entry.reset();
  history_.Clear();
  data_.state.project_readonly = ProjectFileReadOnly(data_.state.project_path);
  showEditState();
}

void ScheduleEditor::ClearGrid() {
  zmr::ClearGrid(grid_);
  view_.gridFilled(grid_);
}

void ScheduleEditor::FillGrid() {
  zmr::FillGrid(data_.project, grid_);
  view_.gridFilled(grid_);
}

void ScheduleEditor::TakePosition(int row, int day) {
  endEdit();
  state_.current_row = row;
  state_.current_day = day;
  showEditState();
}

void ScheduleEditor::ClearEntry() {
  const QString pulse = state_.pulse_for_entry.value_or(view_.entryFields().pulse);
  state_.pulse_for_entry.reset();
  view_.clearEntryFields();
  view_.setTimerLength(pulse);
}

QString ScheduleEditor::Hint() const {
  if (readonly()) {
    return EditorHint(EditMoment::ReadOnly);
  }
  if (!state_.event_edit_mode) {
    return EditorHint(EditMoment::Entering);
  }
  if (state_.edited_slot == 0) {
    return EditorHint(EditMoment::ShownOnly);
  }
  const ScheduleEvent& e = data_.project.slot(state_.current_day, state_.edited_slot);
  return EditorHint(state_.written_back ? EditMoment::WrittenBack : EditMoment::Opened, state_.current_day,
                    ClockText(e.hour, e.minute));
}

void ScheduleEditor::showEditState() {
  view_.setHint(Hint());
  view_.setSameOnAllDaysEnabled(CanSameOnAllDays());
}

void ScheduleEditor::noteNight(const WeekSchedule& before, int hour, int minute, int replaced_day,
                               int replaced_slot) {
  if (const auto note = NightNote(before, hour, minute, {replaced_day, replaced_slot})) {
    view_.showNote(*note);
  }
}

void ScheduleEditor::refuse(const QString& text) {
  prompts_.beep();
  prompts_.message(BoxKind::Error, text, BoxButtons::Ok);
}

std::optional<EntryValues> ScheduleEditor::readEntry(const EntryFields& fields,
                                                     const QString& pulse_refusal) {
  EntryValues v;
  switch (ReadEntry(fields, v)) {
    case EntryFault::Time:
      refuse(kInvalidTimeText);
      return std::nullopt;
    case EntryFault::Pulse:
      refuse(pulse_refusal);
      return std::nullopt;
    case EntryFault::None:
      break;
  }
  return v;
}

void ScheduleEditor::endEdit() {
  state_.event_edit_mode = false;
  state_.edited_slot = 0;
  state_.written_back = false;
}

namespace {

// Refills the grid on every way out, a failed save included.
struct Refill {
  ScheduleEditor& editor;
  ~Refill() { editor.FillGrid(); }
};

bool SameWeek(const WeekSchedule& a, const WeekSchedule& b) { return std::memcmp(&a, &b, sizeof(WeekSchedule)) == 0; }

}  // namespace

void ScheduleEditor::endOfChange(int first_day, int last_day, const WeekSchedule& before) {
  for (int day = first_day; day <= last_day; ++day) {
    SortDay(data_.project, day);
  }
  saveChange(before);
}

void ScheduleEditor::saveChange(const WeekSchedule& before) {
  Refill refill{*this};
  // The week has changed in memory whether or not the save succeeds: it can be undone.
  if (!SameWeek(before, data_.project.week)) {
    history_.Record(before);
  }
  SaveProject(data_);
}

void ScheduleEditor::Undo() { restore(true); }
void ScheduleEditor::Redo() { restore(false); }

void ScheduleEditor::restore(bool undo) {
  if (undo ? !CanUndo() : !CanRedo()) {
    return;
  }
  Refill refill{*this};
  const auto replaced = std::make_unique<WeekSchedule>(data_.project.week);
  data_.project.week = undo ? history_.UndoTarget() : history_.RedoTarget();
  try {
    SaveProject(data_);
  } catch (...) {
    data_.project.week = *replaced;  // refused: the week on file, in memory and in the grid agree
    throw;
  }
  if (undo) {
    history_.CommitUndo(*replaced);
  } else {
    history_.CommitRedo(*replaced);
  }
  // An opened event cannot be followed through a whole other week: the edit ends.
  if (state_.event_edit_mode) {
    endEdit();
    ClearEntry();
    view_.setDayButtonsEnabled(true);
    showEditState();
  }
}

std::optional<ScheduleEvent> ScheduleEditor::newEvent() {
  if (readonly()) {
    return std::nullopt;
  }
  const EntryFields fields = view_.entryFields();
  const auto v = readEntry(fields, kInsertPulseText);
  if (!v) {
    return std::nullopt;
  }
  return MakePulseEvent(fields.title, v->hour, v->minute, v->pulse_seconds);
}

void ScheduleEditor::InsertEvent(int day) {
  const auto event = newEvent();
  if (!event) {
    return;
  }
  const auto before = std::make_unique<WeekSchedule>(data_.project.week);
  if (const auto refusal = AddEventToDay(ScheduleSlots(data_.project.day(day)), *event)) {
    return refuse(*refusal);
  }
  endOfChange(1, kDays, *before);
  noteNight(*before, event->hour, event->minute);
}

void ScheduleEditor::InsertEventDays(std::span<const int> days) {
  const auto event = newEvent();
  if (!event) {
    return;
  }
  const auto before = std::make_unique<WeekSchedule>(data_.project.week);
  const SeveralDaysResult result = AddEventToDays(data_.project, *event, days);
  if (!result.added.empty()) {
    endOfChange(1, kDays, *before);
  }
  if (const QString refusal = SeveralDaysRefusal(result); !refusal.isEmpty()) {
    refuse(refusal);
  }
  if (!result.added.empty()) {
    noteNight(*before, event->hour, event->minute);
  }
}

void ScheduleEditor::SameOnAllDays() {
  if (!CanSameOnAllDays()) {
    return;
  }
  const auto before = std::make_unique<WeekSchedule>(data_.project.week);
  const std::vector<int> days = SameOnOtherDays(data_.project, state_.current_day, state_.edited_slot);
  // Only titles and pulses change: no event moves, so no day is sorted; and a step that
  // found nothing to change saves nothing.
  if (!SameWeek(*before, data_.project.week)) {
    saveChange(*before);
  }
  const ScheduleEvent& e = data_.project.slot(state_.current_day, state_.edited_slot);
  view_.showNote(SameOnOtherDaysNote(ClockText(e.hour, e.minute), days));
}

void ScheduleEditor::ShowEventDetails() {
  const QString text = grid_.cell(state_.current_day, state_.current_row);
  if (text.isEmpty()) {
    ClearEntry();
    return;
  }
  const int slot = grid_.slotOfRow(state_.current_day, state_.current_row);
  const ScheduleEvent& e = data_.project.slot(state_.current_day, slot);
  if (!state_.event_edit_mode && !state_.pulse_for_entry) {
    state_.pulse_for_entry = view_.entryFields().pulse;
  }
  view_.setTimeOn(text.left(5));
  if (static_cast<EventKind>(e.kind) == EventKind::Pulse) {
    view_.setTimerLength(text.mid(7, 2).remove(' '));
    view_.setTimerName(e.title.text());
    state_.edited_slot = slot;
  } else {
    // On, Off and unknown kinds are never made by the editor: shown, not written back.
    state_.edited_slot = 0;
  }
  state_.event_edit_mode = true;
  state_.written_back = false;
  view_.setDayButtonsEnabled(false);
  showEditState();
}

void ScheduleEditor::UpdateEvent() {
  if (!state_.event_edit_mode || state_.edited_slot == 0 || readonly()) {
    return;
  }
  const EntryFields fields = view_.entryFields();
  const auto v = readEntry(fields, kUpdatePulseText);
  if (!v) {
    return;
  }
  const int day = state_.current_day;
  DaySchedule& table = data_.project.day(day);
  if (FindTimeInDay(ScheduleSlots(table), v->hour, v->minute, state_.edited_slot) != 0) {
    return refuse(kTimeExistsText);
  }
  const auto before = std::make_unique<WeekSchedule>(data_.project.week);
  const int replaced = state_.edited_slot;
  const ScheduleEvent old = table[replaced - 1];
  table[replaced - 1] = MakePulseEvent(fields.title, v->hour, v->minute, v->pulse_seconds);
  state_.edited_slot = SlotAfterSort(table, replaced);
  state_.written_back = true;
  endOfChange(day, day, *before);
  showEditState();
  if (old.hour != v->hour || old.minute != v->minute) {
    noteNight(*before, v->hour, v->minute, day, replaced);
  }
}

std::optional<DaySelection> ScheduleEditor::GetDaySelection(const GridSelection& selection) {
  if (selection.left_day != selection.right_day) {
    refuse(kOneDayOnlyText);
    return std::nullopt;
  }
  return DaySelection{selection.left_day, selection.top_row, selection.bottom_row};
}

bool ScheduleEditor::copyRows(const GridSelection& selection) {
  const auto sel = GetDaySelection(selection);
  if (!sel) {
    return false;
  }
  if (sel->last_row - sel->first_row + 1 > kCopyBufferSize) {
    refuse(kCopyLimitText);
    return false;
  }
  FreeCopyBuffer(state_.copy_buffer);
  int entry = 0;
  for (int row = sel->first_row; row <= sel->last_row; ++row, ++entry) {
    // An empty row stays a free entry, which ends the held list as a copied empty slot would.
    if (const int slot = grid_.slotOfRow(sel->day, row)) {
      state_.copy_buffer[entry] = data_.project.slot(sel->day, slot);
    }
  }
  return true;
}

void ScheduleEditor::CopyEvents(const GridSelection& selection) {
  if (!readonly()) {
    copyRows(selection);
  }
}

void ScheduleEditor::DeleteEvents(const GridSelection& selection) {
  if (readonly()) {
    return;
  }
  const auto sel = GetDaySelection(selection);
  if (!sel) {
    return;
  }
  // The current cell lies in the selection, so its day is the selection's day.
  const int day = state_.current_day;
  const auto before = std::make_unique<WeekSchedule>(data_.project.week);
  for (int row = sel->first_row; row <= sel->last_row; ++row) {
    if (const int slot = grid_.slotOfRow(day, row)) {
      EmptySlot(data_.project.slot(day, slot));
    }
  }
  ClearEntry();
  // The fields are empty now, so an opened event has nothing left to write back.
  if (state_.event_edit_mode) {
    endEdit();
    view_.setDayButtonsEnabled(true);
    showEditState();
  }
  endOfChange(1, kDays, *before);
}

void ScheduleEditor::CutEvents(const GridSelection& selection) {
  if (readonly()) {
    return;
  }
  if (!copyRows(selection) && selection.left_day == selection.right_day) {
    return;  // too many rows: nothing was copied, so nothing may be deleted
  }
  DeleteEvents(selection);
}

void ScheduleEditor::PasteEvents() {
  if (readonly()) {
    return;
  }
  const int day = state_.current_day;
  DaySchedule& table = data_.project.day(day);
  const int held = HeldCount(state_.copy_buffer);
  const auto before = std::make_unique<WeekSchedule>(data_.project.week);
  int placed = 0;
  for (int k = 0; k < held; ++k) {
    if (const auto refusal = AddEventToDay(ScheduleSlots(table), state_.copy_buffer[k])) {
      refuse(*refusal);
      break;
    }
    ++placed;
  }
  if (placed == 0) {
    return;
  }
  if (state_.event_edit_mode && state_.edited_slot != 0) {
    state_.edited_slot = SlotAfterSort(table, state_.edited_slot);
  }
  endOfChange(day, day, *before);
}

}  // namespace zmr
