#pragma once
// Welcome: shown at start-up; introduces the program and asks for the timer's port.
#include <memory>

#include "ui/console.h"
#include "windows/port_choice.h"

namespace Ui {
class TStartupForm;
}

namespace zmr {

class TStartupForm : public ConsoleDialog {
 public:
  explicit TStartupForm(Console& console, QWidget* parent = nullptr);
  ~TStartupForm() override;

  Ui::TStartupForm& ui() { return *ui_; }
  PortChoice& portused() { return *ports_; }

  void FormShow() override;
  void CheckBox1Click();
  void butcancelClick();

 private:
  Console& console_;
  std::unique_ptr<Ui::TStartupForm> ui_;
  std::unique_ptr<PortChoice> ports_;
};

inline const QString kWelcomeTip1 = QStringLiteral(
    "Before you continue, please select the default hardware port that will be used to communicate with "
    "the ZMR Hardware (This setting can always be changed again, by selecting the Options Menu, and Ports);");

// The fifteen lines of the steps text, as stored (some end in a blank).
QString WelcomeStepsText();

}  // namespace zmr
