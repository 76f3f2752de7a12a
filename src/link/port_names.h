#pragma once
// Where "COM<n>" leads on this machine. Few PCs still have a built-in RS-232 port, so
// USB serial adapters come first: COM1 is the first adapter, and "Detect ..." (COM1,
// then COM2) finds a timer behind one or two of them.
#include <memory>
#include <optional>
#include <vector>

#include <QString>

namespace zmr {

// The console's own ports, COM1 .. COM6: what the port dialogs and lists offer.
inline constexpr int kConsolePorts = 6;

// One serial device as a scan of the machine finds it.
struct SerialDevice {
  QString path;         // the device node, e.g. /dev/ttyUSB0
  QString description;  // e.g. "FT232R USB UART"; may be empty
  QString by_id;        // its name in /dev/serial/by-id (stable across re-plugging), if any
  bool usb = false;     // a plugged-in adapter rather than a built-in UART
  bool present = true;  // false for a built-in UART node with no hardware behind it
};

// The scan of the machine's serial devices: the real one reads /dev/serial/by-id and
// QSerialPortInfo; tests put their own lists in place.
class PortEnumerator {
 public:
  virtual ~PortEnumerator() = default;
  virtual std::vector<SerialDevice> scan() const = 0;
};

// The machine's own scan: adapters from the links in by_id_folder, the rest from
// QSerialPortInfo, built-in UARTs checked against sys_tty_folder/<name>/type.
std::unique_ptr<PortEnumerator> MakeSystemPortEnumerator(const QString& by_id_folder = "/dev/serial/by-id",
                                                         const QString& sys_tty_folder = "/sys/class/tty");

// The order COM1, COM2, ... take: USB adapters by their by-id name (those without one
// after them, by device name), then built-in UARTs that have hardware, by number.
std::vector<SerialDevice> OrderPorts(std::vector<SerialDevice> found);

// Where one COM<n> leads.
struct PortMapping {
  int n = 0;
  QString device;       // empty: COM<n> leads to no device; may be a network address
  QString description;  // of the device, when the scan knows one
  QString by_id;        // its /dev/serial/by-id name, when it has one
  bool overridden = false;  // set by ZMR_COM<n>
  QString blocked;      // why it leads nowhere: its line of the mapping file cannot be used
};

// ZMR_COM<n> when set, else the network address COM<n> is mapped to (port_map.h), else
// nowhere when its line of the mapping file cannot be used, else the n-th of `ordered`
// (OrderPorts), else no device. A mapping does not move the other ports: COM2 stays the
// second device when COM1 leads across the network.
PortMapping MapPort(int n, const std::vector<SerialDevice>& ordered);
// The mappings of COM1 .. COM<count> from one scan of the current enumeration; with
// all, also every further COM<n> that a device found, the mapping file or a ZMR_COM<n>
// gives, so that no mapping goes unlisted.
std::vector<PortMapping> MapPorts(int count, bool all = false);

// The port dialogs' line for one port: "Com 1 is /dev/ttyUSB0, FT232R USB UART, here",
// "Com 3: no device", "Com 3 is rfc2217://10.0.4.20:2217 (network, cleartext)",
// "Com 4 is tcp+tls://10.0.4.21:4001 (network, TLS)", "Com 2 leads nowhere: ports.txt
// line 3 is ignored".
QString PortDeviceLine(const PortMapping& mapping);
// "network, TLS" or "network, cleartext": what kind of link a network address is.
QString NetworkKindText(const QString& address);

// "COM<n>" (any case) -> its device (empty when it leads to none); any other name is
// taken as a device path.
QString PortDevice(const QString& name);
// Whether the name leads across the network: it is an rfc2217:// or tcp:// address, or
// COM<n> set to one by ZMR_COM<n> or the mapping file. Needs no scan of the machine.
bool LeadsAcrossNetwork(const QString& name);
// The /dev/serial/by-id path of the device node at `device` (links resolved), through the
// current enumeration; empty when it has none (a built-in UART, a pseudo-terminal).
QString SerialByIdPath(const QString& device);
// "COM" + n, decimal, no leading zero.
QString PortName(int n);
// "COM<n>" in any case ("com3", "Com3") -> n; nullopt for any other name (a device path,
// a network address).
std::optional<int> ComNumberOf(const QString& name);

// The enumeration in use: the machine's own unless a ScopedPortEnumerator put another
// in place.
const PortEnumerator& CurrentPortEnumerator();

class ScopedPortEnumerator {
 public:
  explicit ScopedPortEnumerator(std::shared_ptr<const PortEnumerator> enumerator);
  ~ScopedPortEnumerator();
  ScopedPortEnumerator(const ScopedPortEnumerator&) = delete;
  ScopedPortEnumerator& operator=(const ScopedPortEnumerator&) = delete;

 private:
  std::shared_ptr<const PortEnumerator> previous_;
};

// A fixed list, for tests and for a machine whose scan is known.
class ListedPorts : public PortEnumerator {
 public:
  explicit ListedPorts(std::vector<SerialDevice> devices) : devices_(std::move(devices)) {}
  std::vector<SerialDevice> scan() const override { return devices_; }

 private:
  std::vector<SerialDevice> devices_;
};

}  // namespace zmr
