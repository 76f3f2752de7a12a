#include "windows/network_timer.h"

#include "link/network_setup.h"
#include "project/settings.h"
#include "ui_network_timer.h"
#include "ui/field_looks.h"

namespace zmr {

TNetworkTimerForm::TNetworkTimerForm(Console& console, QWidget* parent)
    : ConsoleDialog(parent), console_(console), ui_(new Ui::TNetworkTimerForm) {
  ui_->setupUi(this);
  setFixedSize(size());
  connect(ui_->networkok, &QPushButton::clicked, this, &TNetworkTimerForm::networkokClick);
  connect(ui_->networkcancel, &QPushButton::clicked, this, &QDialog::reject);
}

TNetworkTimerForm::~TNetworkTimerForm() = default;

void TNetworkTimerForm::FormShow() {
  ui_->networkprompt->setText(NetworkSetupPrompt(port_));
  ui_->networkaddress->setText(CurrentNetworkAddress(port_, SettingsFolder(console_.data.state.program_folder)));
  ui_->networkaddress->selectAll();
  FocusDrawn(*ui_->networkaddress);
}

void TNetworkTimerForm::networkokClick() {
  const NetworkSetupOutcome outcome =
      StoreNetworkTimer(port_, ui_->networkaddress->text(), SettingsFolder(console_.data.state.program_folder),
                        console_.prompts);
  if (outcome == NetworkSetupOutcome::Refused || outcome == NetworkSetupOutcome::Declined) {
    FocusDrawn(*ui_->networkaddress);
    return;
  }
  accept();
}

}  // namespace zmr
