#pragma once
// "Network timer ...": the address a Com port leads to across the network.
#include <memory>

#include "ui/console.h"

namespace Ui {
class TNetworkTimerForm;
}

namespace zmr {

class TNetworkTimerForm : public ConsoleDialog {
 public:
  explicit TNetworkTimerForm(Console& console, QWidget* parent = nullptr);
  ~TNetworkTimerForm() override;

  Ui::TNetworkTimerForm& ui() { return *ui_; }
  // The port the next showing is for, 1..6.
  void setPort(int n) { port_ = n; }

  void FormShow() override;
  // Checks the address and stores it; the dialog stays open while it needs correcting.
  void networkokClick();

 private:
  Console& console_;
  std::unique_ptr<Ui::TNetworkTimerForm> ui_;
  int port_ = 1;
};

}  // namespace zmr
