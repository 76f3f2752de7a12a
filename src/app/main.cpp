// The program `timer`: the application, its windows, the message loop.
#include <memory>

#include "base/clock.h"
#include "project/project_file.h"
#include "windows/console_windows.h"
#include "windows/qt_prompts.h"
#include "windows/zmr_application.h"

int main(int argc, char** argv) {
  zmr::ZmrApplication app(argc, argv);
  zmr::QtPrompts prompts;
  app.setPrompts(&prompts);

  zmr::ConsoleData data;
  zmr::ModalDialogRunner runner;
  zmr::Console console{data, prompts, runner, nullptr};

  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  zmr::ConsoleWindows windows(console, arguments);
  prompts.setFallbackParent(&windows.Mainform());
  windows.Mainform().showMaximized();
  return QApplication::exec();
}
