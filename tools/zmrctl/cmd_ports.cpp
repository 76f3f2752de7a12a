// Where COM1 .. COM6 (and any further device) lead on this PC.
#include <algorithm>
#include <string>

#include "link/port_names.h"
#include "zmrctl/command.h"

namespace zmr::ctl {
namespace {

constexpr int kListedPorts = 6;  // the ports the dialogs offer

}  // namespace

// '*' marks the port stored in timer.ini.
int PortsCommand(Invocation& run) {
  for (const PortMapping& m : MapPorts(kListedPorts, true)) {
    std::string line = (m.n == run.settings.com_port ? "* " : "  ") + PortName(m.n).toStdString();
    line.resize(std::max<std::size_t>(line.size() + 1, 8), ' ');
    if (m.device.isEmpty()) {
      line += "no device";
    } else {
      line += m.device.toStdString();
      if (!m.description.isEmpty()) line += "  " + m.description.toStdString();
      if (m.overridden) line += "  (set by ZMR_" + PortName(m.n).toStdString() + ")";
      if (!m.by_id.isEmpty()) line += "\n        /dev/serial/by-id/" + m.by_id.toStdString();
    }
    run.env.out << line << '\n';
  }
  return kExitOk;
}

}  // namespace zmr::ctl
