#include "windows/zmr_application.h"

#include "windows/qt_prompts.h"

namespace zmr {

ZmrApplication::ZmrApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(kApplicationTitle);
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
