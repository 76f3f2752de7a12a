#include "hardware/ui/timer_dialog.h"

#include <QLabel>
#include <QMouseEvent>

namespace zmr {

void TimerDialog::reject() {
  if (!busy()) {
    ConsoleDialog::reject();
  }
}

void TimerDialog::makeLink(QLabel& label, std::function<void()> open) {
  links_[&label] = std::move(open);
  label.installEventFilter(this);
}

bool TimerDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    const auto link = links_.find(watched);
    if (link != links_.end()) {
      link->second();
      return true;
    }
  }
  return ConsoleDialog::eventFilter(watched, event);
}

}  // namespace zmr
