#include "link/stand_alone_port.h"

#include "link/network_address.h"
#include "link/port_names.h"

namespace zmr {

StandAlonePort StandAlonePortOf(const QString& name) {
  const QString device = PortDevice(name);
  if (device.isEmpty()) return {{}, QStringLiteral("%1 leads to no device on this PC").arg(name)};
  if (IsNetworkPortName(device)) {
    const ParsedAddress parsed = ParseNetworkAddress(device);
    if (!parsed.address) return {{}, QStringLiteral("%1 is not a network address: %2").arg(device, parsed.problem)};
    return {parsed.address->text(), {}};
  }
  const QString by_id = SerialByIdPath(device);
  return {by_id.isEmpty() ? device : by_id, {}};
}

}  // namespace zmr
