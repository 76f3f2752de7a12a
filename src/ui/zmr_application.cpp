#include "ui/zmr_application.h"

#include <QIcon>

#include "ui/artwork.h"
#include "ui/qt_prompts.h"

namespace zmr {

ZmrApplication::ZmrApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(kApplicationTitle);
  // The task bar, the window list and the desktop entry know the program by these.
  setApplicationDisplayName(kApplicationTitle);
  setDesktopFileName(QStringLiteral("zmr-console"));
  // The installed icon theme's picture, else our own drawing of the timer.
  setWindowIcon(QIcon::fromTheme(QStringLiteral("zmr-console"), QIcon(ProductPicture(QSize(64, 64)))));
}

bool ZmrApplication::notify(QObject* receiver, QEvent* event) {
  if (prompts_ == nullptr) {
    return QApplication::notify(receiver, event);
  }
  bool result = false;
  RunGuarded(*prompts_, [&] { result = QApplication::notify(receiver, event); });
  return result;
}

}  // namespace zmr
