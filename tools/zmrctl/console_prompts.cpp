#include "zmrctl/console_prompts.h"

namespace zmr::ctl {

BoxAnswer ConsolePrompts::message(BoxKind kind, const QString& text, BoxButtons buttons) {
  const std::string line = text.toStdString();
  if (buttons == BoxButtons::YesNo) {
    const BoxAnswer answer = answer_yes_ ? BoxAnswer::Yes : BoxAnswer::No;
    err_ << "question: " << line << " -> " << (answer_yes_ ? "yes" : "no") << '\n';
    return answer;
  }
  switch (kind) {
    case BoxKind::Error:
      ++errors_;
      err_ << "error: " << line << '\n';
      break;
    case BoxKind::Warning:
      err_ << "warning: " << line << '\n';
      break;
    case BoxKind::Information:
      out_ << line << '\n';
      break;
  }
  return BoxAnswer::Ok;
}

}  // namespace zmr::ctl
