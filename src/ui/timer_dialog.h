#pragma once
// What the windows that talk to the timer share (download, status, the year plan): handlers that talk
// to the timer for a second or more, during which the dialog must not go away.
#include <QPointer>
#include <QWidget>

#include "ui/console.h"

namespace zmr {

class TimerDialog : public ConsoleDialog {
 public:
  using ConsoleDialog::ConsoleDialog;

  // True while a handler is talking to the timer.
  bool busy() const { return busy_ > 0; }
  // Escape and the title bar's close both end here; while busy they are refused, so the
  // exchange runs to its end with its window (and its buttons) still there.
  void reject() override;

 protected:
  // Marks the dialog busy for its lifetime, on every way out. The buttons it disables
  // meanwhile push the keyboard focus on (to a link, say); the control that had it when
  // the work began gets it back, so Enter and Space do again what they did.
  class Busy {
   public:
    explicit Busy(TimerDialog& dialog) : dialog_(dialog), focus_(dialog.focusWidget()) { ++dialog_.busy_; }
    ~Busy() {
      --dialog_.busy_;
      if (focus_ != nullptr && focus_->isEnabled()) {
        focus_->setFocus(Qt::OtherFocusReason);
      }
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    TimerDialog& dialog_;
    QPointer<QWidget> focus_;
  };

 private:
  int busy_ = 0;
};

}  // namespace zmr
