#pragma once
// Prompts for a terminal: boxes become lines (errors and warnings on stderr, information
// on stdout), a Yes/No question takes the answer given on the command line.
#include <ostream>

#include "base/prompts.h"

namespace zmr::ctl {

class ConsolePrompts : public HeadlessPrompts {
 public:
  ConsolePrompts(std::ostream& out, std::ostream& err, bool answer_yes)
      : out_(out), err_(err), answer_yes_(answer_yes) {}

  int errors() const { return errors_; }

  BoxAnswer message(BoxKind kind, const QString& text, BoxButtons buttons) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool answer_yes_;
  int errors_ = 0;
};

}  // namespace zmr::ctl
