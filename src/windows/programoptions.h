#pragma once
// Program Options: the port on which the timer is expected.
#include <memory>

#include "ui/console.h"
#include "windows/port_choice.h"

namespace Ui {
class Tprogramoptionsform;
}

namespace zmr {

class Tprogramoptionsform : public ConsoleDialog {
 public:
  explicit Tprogramoptionsform(Console& console, QWidget* parent = nullptr);
  ~Tprogramoptionsform() override;

  Ui::Tprogramoptionsform& ui() { return *ui_; }
  PortChoice& selectcomms() { return *ports_; }

  void FormShow() override;
  void butcancelClick();

 private:
  Console& console_;
  std::unique_ptr<Ui::Tprogramoptionsform> ui_;
  std::unique_ptr<PortChoice> ports_;
};

inline const QString kOptionsTip1 = QStringLiteral(
    "Your ZMR Hardware is connected to your PC's Communications port (a standard RS-232 connector && cable "
    "is used).\r\nSelecting the correct COM port will allow ZMR-Console to communicate with the connected ZMR "
    "Hardware. If this communications process fails, an appropriate ERROR message will be generated. You can "
    "thus use the Detect option to ensure, that the correct port is assigned or make sure that the ZMR "
    "Hardware is correctly connected and powered.");

}  // namespace zmr
