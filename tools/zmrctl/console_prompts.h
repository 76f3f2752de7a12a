#pragma once
// Prompts for a terminal: boxes become lines (errors and warnings on stderr, information
// on stdout), a Yes/No question takes the answer given on the command line.
#include <ostream>

#include "base/prompts.h"

namespace zmr::ctl {

class ConsolePrompts : public Prompts {
 public:
  ConsolePrompts(std::ostream& out, std::ostream& err, bool answer_yes)
      : out_(out), err_(err), answer_yes_(answer_yes) {}

  int errors() const { return errors_; }

  void beep() override {}
  BoxAnswer message(BoxKind kind, const QString& text, BoxButtons buttons) override;
  std::optional<QString> openFileName(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
  bool shellOpen(const QString&) override { return false; }
  void setClipboardText(const QString&) override {}
  void setBusyCursor(bool) override {}
  void processEvents() override {}

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool answer_yes_;
  int errors_ = 0;
};

}  // namespace zmr::ctl
