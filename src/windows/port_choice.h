#pragma once
// The port radio group ("Com 1" .. "Com 6") with its Detect and "Network timer ..."
// buttons, shared by the welcome and program options dialogs.
#include <QButtonGroup>
#include <QObject>

#include "link/detect_port.h"
#include "link/port_names.h"
#include "ui/console.h"
#include "windows/network_timer.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace zmr {

inline constexpr int kPortItems = kConsolePorts;

class PortChoice : public QObject, public DetectView {
 public:
  // `group` holds the six radio buttons in order; `device_label` shows where the
  // selected port leads on this machine; `network` sets the chosen port to lead to a
  // timer across the network.
  PortChoice(Console& console, QGroupBox& group, QPushButton& detect, QPushButton& network, QLabel& device_label);

  // -1 when no item is selected.
  int itemIndex() const;
  // Selecting an item that is not yet selected runs the selection handler, as a click does.
  void setItemIndex(int index);
  // Leaves no item selected; the selection handler does not run.
  void clearSelection();
  // Puts the keyboard focus, drawn, on the selected item (the first when none is).
  void focusItem();

  // The selection handler: com_port := item index + 1, and save.
  void portSelected();
  // Detect ...: tries the ports for a timer.
  void detect();
  // Network timer ...: the address the chosen port leads to.
  void networkTimer();
  TNetworkTimerForm& networkForm() { return *network_form_; }

  // DetectView
  void setDetectControlsEnabled(bool enabled) override;
  void selectPort(int n) override;

 private:
  void showDevice();

  Console& console_;
  QGroupBox& group_;
  QPushButton& detect_;
  QPushButton& network_;
  QLabel& device_label_;
  std::unique_ptr<TNetworkTimerForm> network_form_;
  QButtonGroup buttons_;
};

inline const QString kPortTip2 = QStringLiteral(
    "If you are not sure to which Port your Hardware is connected to, please use the Detect option provided below.");

}  // namespace zmr
