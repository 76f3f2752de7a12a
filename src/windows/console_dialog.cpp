#include "windows/artwork.h"
#include "windows/console.h"

namespace zmr {

void ConsoleDialog::fixFormAndStrip(QLabel& strip) {
  setFixedSize(size());
  strip.setPixmap(SideStrip(strip.size()));
}

}  // namespace zmr
