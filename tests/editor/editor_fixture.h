#pragma once
// An editor on a real project file in a temporary folder, with a view that records what
// the editor shows and lets a test type into the entry row.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "editor/schedule_editor.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace zmr::testing {

class FakeEditorView : public EditorView {
 public:
  EntryFields fields;
  bool day_buttons_enabled = true;
  int fills = 0;
  QString hint;
  bool same_on_all_days_enabled = false;
  std::vector<QString> notes;

  EntryFields entryFields() const override { return fields; }
  void setTimeOn(const QString& text) override { fields.time = text; }
  void setTimerLength(const QString& text) override { fields.pulse = text; }
  void setTimerName(const QString& text) override { fields.title = text; }
  void clearEntryFields() override { fields = {QString(), QString(), QStringLiteral("  :  ")}; }
  void setDayButtonsEnabled(bool enabled) override { day_buttons_enabled = enabled; }
  void gridFilled(const GridTexts&) override { ++fills; }
  void setHint(const QString& text) override { hint = text; }
  void setSameOnAllDaysEnabled(bool enabled) override { same_on_all_days_enabled = enabled; }
  void showNote(const QString& text) override { notes.push_back(text); }
};

struct EditorWorld {
  explicit EditorWorld(const std::function<void(ProjectSetup&)>& week = {}) {
    ResetProject(data->project);
    if (week) {
      week(data->project);
    }
    data->state.project_path = dir.file(QStringLiteral("Week.zmr"));
    data->state.project_open = true;
    WriteProject(data->state.project_path, data->project);
    editor.Reset();
    editor.FillGrid();
  }

  // Types the entry row.
  void type(const QString& time, const QString& pulse, const QString& title = {}) {
    view.fields = {title, pulse, time};
  }
  // A click on a cell: takes the position, ends any edit.
  void click(int row, int day) { editor.TakePosition(row, day); }
  static GridSelection rows(int day, int top, int bottom) { return {day, day, top, bottom}; }

  const QString& cell(int day, int row) const { return editor.grid().cell(day, row); }
  // The day column from row 0 down to the first empty cell.
  QStringList column(int day) const {
    QStringList texts;
    for (int row = 0; row < kGridRows && !cell(day, row).isEmpty(); ++row) {
      texts << cell(day, row);
    }
    return texts;
  }
  bool fileEqualsRecord() const {
    const std::vector<std::uint8_t> bytes = ReadBytes(data->state.project_path);
    return bytes.size() == sizeof(ProjectSetup) &&
           std::memcmp(bytes.data(), &data->project, sizeof(ProjectSetup)) == 0;
  }

  TempDir dir;
  std::unique_ptr<ConsoleData> data = MakeConsoleData(dir.folder());
  RecordingPrompts prompts;
  FakeEditorView view;
  ScheduleEditor editor{*data, prompts, view};
};

}  // namespace zmr::testing
