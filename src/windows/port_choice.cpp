#include "windows/port_choice.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "link/detect_port.h"
#include "link/port_names.h"
#include "link/timer_link.h"
#include "project/settings.h"
#include "ui/field_looks.h"

namespace zmr {

PortChoice::PortChoice(Console& console, QGroupBox& group, QPushButton& detect, QPushButton& network,
                       QLabel& device_label)
    : console_(console),
      group_(group),
      detect_(detect),
      network_(network),
      device_label_(device_label),
      network_form_(std::make_unique<TNetworkTimerForm>(console, group.window())) {
  const auto radios = group_.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
  for (int i = 0; i < radios.size() && i < kPortItems; ++i) {
    buttons_.addButton(radios[i], i);
  }
  connect(&buttons_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) {
      portSelected();
    }
  });
  connect(&detect_, &QPushButton::clicked, this, &PortChoice::detect);
  connect(&network_, &QPushButton::clicked, this, &PortChoice::networkTimer);
  // Without the timer link there is nothing to detect with.
  detect_.setEnabled(console_.link != nullptr);
}

int PortChoice::itemIndex() const { return buttons_.checkedId(); }

void PortChoice::setItemIndex(int index) {
  if (QAbstractButton* button = buttons_.button(index)) {
    button->setChecked(true);
  }
}

void PortChoice::clearSelection() {
  if (QAbstractButton* checked = buttons_.checkedButton()) {
    buttons_.setExclusive(false);
    checked->setChecked(false);
    buttons_.setExclusive(true);
  }
  showDevice();
}

void PortChoice::focusItem() {
  QAbstractButton* item = buttons_.checkedButton() != nullptr ? buttons_.checkedButton() : buttons_.button(0);
  if (item != nullptr) {
    FocusDrawn(*item);
  }
}

void PortChoice::portSelected() {
  const int index = itemIndex();
  console_.data.settings.com_port = static_cast<std::uint16_t>(index < 0 ? 1 : index + 1);
  SaveSettings(console_.data.settings, console_.data.state.program_folder);
  showDevice();
}

void PortChoice::setDetectControlsEnabled(bool enabled) {
  group_.setEnabled(enabled);
  network_.setEnabled(enabled);
  detect_.setEnabled(enabled && console_.link != nullptr);
}

void PortChoice::selectPort(int n) { setItemIndex(n - 1); }

void PortChoice::detect() {
  if (console_.link != nullptr) {
    DetectPort(*console_.link, console_.data.settings, console_.data.state.program_folder, console_.prompts,
               *this);
  }
}

void PortChoice::networkTimer() {
  const int index = itemIndex();
  network_form_->setPort(index < 0 ? console_.data.settings.com_port : index + 1);
  console_.runner.run(*network_form_);
  showDevice();
}

// Each "Com n" leads to a device of this machine, or to none; one scan serves all six.
void PortChoice::showDevice() {
  const std::vector<PortMapping> mappings = MapPorts(kPortItems);
  for (int i = 0; i < kPortItems; ++i) {
    if (QAbstractButton* button = buttons_.button(i)) {
      const QString line = PortDeviceLine(mappings[static_cast<std::size_t>(i)]);
      button->setToolTip(line);
      button->setAccessibleDescription(line);
    }
  }
  const int index = itemIndex();
  const QString line = index < 0 ? QString() : PortDeviceLine(mappings[static_cast<std::size_t>(index)]);
  device_label_.setText(line);
  device_label_.setToolTip(line);  // a long adapter name may not fit the line
}

}  // namespace zmr
