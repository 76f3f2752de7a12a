#include "ui/artwork.h"
#include "ui/console.h"

namespace zmr {

void ConsoleDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  setAttribute(Qt::WA_KeyboardFocusChange);
}

void ConsoleDialog::fixFormAndStrip(QLabel& strip) {
  setFixedSize(size());
  strip.setPixmap(SideStrip(strip.size()));
}

}  // namespace zmr
