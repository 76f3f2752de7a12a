#include "ui/timer_dialog.h"

namespace zmr {

void TimerDialog::reject() {
  if (!busy()) {
    ConsoleDialog::reject();
  }
}

}  // namespace zmr
