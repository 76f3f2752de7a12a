#include "ui/zmr_application.h"

#include <QIcon>

#include "ui/artwork.h"
#include "ui/qt_prompts.h"

namespace zmr {

ZmrApplication::ZmrApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(kApplicationTitle);
  // No display name: Qt would add it to every title bar, and each window's caption is its
  // own. The task bar, the window list and the *.zmr association find the program through
  // its desktop entry instead, which names it "ZMR Console".
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
