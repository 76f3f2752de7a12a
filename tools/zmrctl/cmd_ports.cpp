// Where COM1 .. COM6 (and any further device) lead on this PC, and COMn mapped to a timer
// across the network and back.
#include <algorithm>
#include <string>

#include "link/network_address.h"
#include "link/port_map.h"
#include "link/network_setup.h"
#include "link/port_names.h"
#include "zmrctl/command.h"

namespace zmr::ctl {
namespace {

constexpr int kListedPorts = 6;  // the ports the dialogs offer

// "COM3" (any case) -> 3; 0 for anything else.
int ComNumber(const QString& name) {
  const std::optional<int> n = ComNumberOf(name);
  return n && *n >= 1 && *n <= kMaxMappedPort ? *n : 0;
}

// The port line the dialogs show for COM<n> as it leads now.
void SayWhereItLeads(Invocation& run, int n) {
  run.env.out << PortDeviceLine(MapPort(n, OrderPorts(CurrentPortEnumerator().scan()))).toStdString() << '\n';
}

int Map(Invocation& run) {
  const int n = ComNumber(*run.options.map);
  if (n == 0) return run.usageError("bad port " + run.options.map->toStdString() + " (COM1 .. COM255)");
  if (run.options.operands.size() != 1) return run.usageError("ports --map COMn takes one address");
  const ParsedAddress parsed = ParseNetworkAddress(run.options.operands[0]);
  if (!parsed.address) {
    return run.usageError("bad address " + run.options.operands[0].toStdString() + ": " +
                          parsed.problem.toStdString());
  }
  MapComPort(PortMapFolder(), n, *parsed.address);
  if (const QString wins = EnvironmentWinsText(n); !wins.isEmpty()) run.env.err << wins.toStdString() << '\n';
  SayWhereItLeads(run, n);
  return kExitOk;
}

int Unmap(Invocation& run) {
  const int n = ComNumber(*run.options.unmap);
  if (n == 0) return run.usageError("bad port " + run.options.unmap->toStdString() + " (COM1 .. COM255)");
  if (!UnmapComPort(PortMapFolder(), n)) {
    run.env.out << PortName(n).toStdString() << " was not mapped to a network address\n";
  }
  SayWhereItLeads(run, n);
  return kExitOk;
}

}  // namespace

// '*' marks the port stored in timer.ini.
int PortsCommand(Invocation& run) {
  if (run.options.map && run.options.unmap) return run.usageError("ports takes --map or --unmap, not both");
  if (run.options.map) return Map(run);
  if (run.options.unmap) return Unmap(run);
  for (const PortMapping& m : MapPorts(kListedPorts, true)) {
    std::string line = (m.n == run.settings.com_port ? "* " : "  ") + PortName(m.n).toStdString();
    line.resize(std::max<std::size_t>(line.size() + 1, 8), ' ');
    if (!m.blocked.isEmpty()) {
      line += "nowhere: " + m.blocked.toStdString();
    } else if (m.device.isEmpty()) {
      line += "no device";
    } else {
      line += m.device.toStdString();
      if (!m.description.isEmpty()) line += "  " + m.description.toStdString();
      if (IsNetworkPortName(m.device)) line += "  (" + NetworkKindText(m.device).toStdString() + ")";
      if (m.overridden) line += "  (set by ZMR_" + PortName(m.n).toStdString() + ")";
      if (!m.by_id.isEmpty()) line += "\n        /dev/serial/by-id/" + m.by_id.toStdString();
    }
    run.env.out << line << '\n';
  }
  for (const QString& note : PortMapNotes(ReadPortMapFile(PortMapFolder()))) run.env.out << note.toStdString() << '\n';
  return kExitOk;
}

}  // namespace zmr::ctl
