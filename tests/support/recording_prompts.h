#pragma once
// A Prompts that records every box, beep and dialog in order and answers from queues.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "base/prompts.h"
#include "support/qt_printers.h"

namespace zmr::testing {

class RecordingPrompts : public Prompts {
 public:
  struct Box {
    BoxKind kind;
    QString text;
    BoxButtons buttons;
    bool beeped;  // a beep came right before this box
  };

  // Everything in order, as short lines: "beep", "error: text", "warning?: text" (Yes/No),
  // "info: text", "open-dialog", "save-dialog", "shell: target", "clipboard", "busy", "idle".
  std::vector<std::string> log;
  std::vector<Box> boxes;
  std::deque<BoxAnswer> answers;                     // for Yes/No boxes; default Yes
  std::deque<std::optional<QString>> file_answers;   // for file dialogs; default cancel
  std::vector<FileDialogRequest> file_requests;
  std::vector<QString> opened;                       // shellOpen targets
  bool shell_opens = true;                           // false: a machine without browser or mail program
  QString clipboard;
  int beeps = 0;
  int busy_depth = 0;
  int process_events_calls = 0;

  void beep() override;
  BoxAnswer message(BoxKind kind, const QString& text, BoxButtons buttons) override;
  std::optional<QString> openFileName(const FileDialogRequest& request) override;
  std::optional<QString> saveFileName(const FileDialogRequest& request) override;
  bool shellOpen(const QString& target) override;
  void setClipboardText(const QString& text) override;
  void setBusyCursor(bool busy) override;
  void processEvents() override;

  // Texts of all boxes, in order.
  std::vector<QString> texts() const;
  // No box came while the hourglass was up, and it is gone now.
  bool cursorBackBeforeEveryBox() const;

 private:
  std::optional<QString> fileDialog(const char* name, const FileDialogRequest& request);
  bool last_was_beep_ = false;
};

}  // namespace zmr::testing
