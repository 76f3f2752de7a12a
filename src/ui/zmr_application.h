#pragma once
// The application object: its title, and the general error box for every failure
// that a handler leaves to it.
#include <exception>

#include <QApplication>

#include "base/errors.h"
#include "base/prompts.h"
#include "link/port_error.h"

namespace zmr {

// Runs `handler`; a failure that escapes it (its RAII clean-up has run by then) is shown
// in the general error box and the program goes on. Returns false when one escaped.
template <typename Handler>
bool RunGuarded(Prompts& prompts, Handler&& handler) {
  QString text;
  try {
    handler();
    return true;
  } catch (const PortError& e) {  // its own text, then what the user can do about it
    text = PortErrorText(e);
  } catch (const std::exception& e) {  // IoError and anything else
    text = QString::fromStdString(WithFullStop(e.what()));
  }
  prompts.message(BoxKind::Error, text);
  return false;
}

class ZmrApplication : public QApplication {
 public:
  ZmrApplication(int& argc, char** argv);
  // Every event handler of every window runs inside notify, so this is the one place
  // where an unhandled failure is caught before it could cross Qt's own code.
  bool notify(QObject* receiver, QEvent* event) override;
  void setPrompts(Prompts* prompts) { prompts_ = prompts; }

 private:
  Prompts* prompts_ = nullptr;
};

}  // namespace zmr
