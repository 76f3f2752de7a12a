// The program `timer`: the application, its windows, the message loop.
#include <memory>

#include "base/clock.h"
#include "link/serial_port.h"
#include "link/timer_link.h"
#include "project/project_file.h"
#include "windows/console_windows.h"
#include "ui/qt_prompts.h"
#include "ui/zmr_application.h"

int main(int argc, char** argv) {
  zmr::ZmrApplication app(argc, argv);
  zmr::QtPrompts prompts;
  app.setPrompts(&prompts);

  // The one serial port; it outlives the windows and is closed with it at the end.
  zmr::SystemClock clock;
  const std::unique_ptr<zmr::SerialPort> port = zmr::MakePort();
  zmr::TimerLink link(*port, clock);

  const auto data = std::make_unique<zmr::ConsoleData>();
  zmr::ModalDialogRunner runner;
  zmr::Console console{*data, prompts, runner, &link};

  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  zmr::ConsoleWindows windows(console, arguments);
  prompts.setFallbackParent(&windows.Mainform());
  windows.Mainform().showMaximized();
  return QApplication::exec();
}
