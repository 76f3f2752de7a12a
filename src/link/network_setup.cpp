#include "link/network_setup.h"

#include "base/prompts.h"
#include "link/network_port.h"
#include "link/port_error.h"
#include "link/port_map.h"

namespace zmr {

void ProbeNetworkAddress(const NetworkAddress& address) {
  const auto port = MakeNetworkPort();
  port->open(address.text());
  port->close();
}

QString NetworkSetupPrompt(int n) {
  return QStringLiteral("The address of the timer that Com %1 leads to (leave it empty for this PC's own port):")
      .arg(n);
}

QString CurrentNetworkAddress(int n, const QString& settings_folder) {
  const PortMap map = ReadPortMap(settings_folder);
  const auto mapped = map.find(n);
  return mapped == map.end() ? QString() : mapped->second.text();
}

NetworkSetupOutcome StoreNetworkTimer(int n, const QString& text, const QString& settings_folder, Prompts& prompts,
                                      const NetworkProbe& probe) {
  if (text.trimmed().isEmpty()) {
    return UnmapComPort(settings_folder, n) ? NetworkSetupOutcome::Removed : NetworkSetupOutcome::KeptAsIs;
  }
  const ParsedAddress parsed = ParseNetworkAddress(text);
  if (!parsed.address) {
    prompts.beep();
    prompts.message(BoxKind::Error, parsed.problem);
    return NetworkSetupOutcome::Refused;
  }
  {
    BusyCursor cursor(prompts);
    try {
      probe(*parsed.address);
    } catch (const PortError& e) {
      cursor.restore();
      prompts.beep();
      const QString question = PortErrorText(e) + QStringLiteral("\n\nStore %1 for Com %2 anyway?")
                                                      .arg(parsed.address->text())
                                                      .arg(n);
      if (prompts.message(BoxKind::Warning, question, BoxButtons::YesNo) != BoxAnswer::Yes) {
        return NetworkSetupOutcome::Declined;
      }
    }
  }
  MapComPort(settings_folder, n, *parsed.address);
  return NetworkSetupOutcome::Stored;
}

}  // namespace zmr
