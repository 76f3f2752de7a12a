#pragma once
// "Network timer ...": the address a Com port leads to across the network, whether it
// speaks TLS, and this PC's TLS files that every secure timer uses.
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
  // "Secure (TLS)" puts the address's scheme into its TLS form or back.
  void networktlsClick();
  // Typing a TLS scheme ticks "Secure (TLS)", another scheme clears it.
  void networkaddressChange();
  void networkcaClick();
  void networkcertClick();
  void networktlsclearClick();

 private:
  QString settingsFolder() const;
  void showTlsFiles();
  void placeButtons(bool notes_shown);

  Console& console_;
  std::unique_ptr<Ui::TNetworkTimerForm> ui_;
  int port_ = 1;
};

}  // namespace zmr
