#include "support/recording_prompts.h"

namespace zmr::testing {

void RecordingPrompts::beep() {
  ++beeps;
  log.emplace_back("beep");
  last_was_beep_ = true;
}

BoxAnswer RecordingPrompts::message(BoxKind kind, const QString& text, BoxButtons buttons) {
  boxes.push_back({kind, text, buttons, last_was_beep_});
  last_was_beep_ = false;
  const char* name = kind == BoxKind::Error ? "error" : kind == BoxKind::Warning ? "warning" : "info";
  log.push_back(std::string(name) + (buttons == BoxButtons::YesNo ? "?" : "") + ": " + text.toStdString());
  if (buttons == BoxButtons::Ok) {
    return BoxAnswer::Ok;
  }
  if (answers.empty()) {
    return BoxAnswer::Yes;
  }
  const BoxAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<QString> RecordingPrompts::fileDialog(const char* name, const FileDialogRequest& request) {
  last_was_beep_ = false;
  log.emplace_back(name);
  file_requests.push_back(request);
  std::optional<QString> answer;
  if (!file_answers.empty()) {
    answer.swap(file_answers.front());
    file_answers.pop_front();
  }
  return answer;
}

std::optional<QString> RecordingPrompts::openFileName(const FileDialogRequest& request) {
  return fileDialog("open-dialog", request);
}

std::optional<QString> RecordingPrompts::saveFileName(const FileDialogRequest& request) {
  return fileDialog("save-dialog", request);
}

bool RecordingPrompts::shellOpen(const QString& target) {
  log.push_back("shell: " + target.toStdString());
  opened.push_back(target);
  return shell_opens;
}

void RecordingPrompts::setClipboardText(const QString& text) {
  log.emplace_back("clipboard");
  clipboard = text;
}

void RecordingPrompts::setBusyCursor(bool busy) {
  busy_depth += busy ? 1 : -1;
  log.emplace_back(busy ? "busy" : "idle");
}

void RecordingPrompts::processEvents() { ++process_events_calls; }

std::vector<QString> RecordingPrompts::texts() const {
  std::vector<QString> result;
  for (const auto& box : boxes) {
    result.push_back(box.text);
  }
  return result;
}

bool RecordingPrompts::cursorBackBeforeEveryBox() const {
  int depth = 0;
  for (const std::string& entry : log) {
    depth += entry == "busy" ? 1 : entry == "idle" ? -1 : 0;
    const bool box = entry.starts_with("error") || entry.starts_with("warning") || entry.starts_with("info");
    if (box && depth != 0) {
      return false;
    }
  }
  return depth == 0;
}

}  // namespace zmr::testing
