#include "link/port_names.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <set>

#include "link/network_address.h"
#include "link/port_map.h"

namespace zmr {

namespace {

std::shared_ptr<const PortEnumerator>& Current() {
  static std::shared_ptr<const PortEnumerator> current = MakeSystemPortEnumerator();
  return current;
}

// "ttyS10" sorts after "ttyS2": the name's stem, then its trailing number.
std::tuple<QString, long long, QString> NaturalKey(const QString& path) {
  qsizetype digits = path.size();
  while (digits > 0 && path.at(digits - 1).isDigit()) --digits;
  const QString number = path.mid(digits);
  return {path.left(digits), number.isEmpty() ? -1 : number.left(18).toLongLong(), path};
}

// The COM<n> that ZMR_COM<n> variables name.
std::vector<int> OverriddenPorts() {
  static const QRegularExpression kVariable(QStringLiteral("^ZMR_COM([0-9]{1,9})\\z"));
  std::vector<int> ports;
  for (const QString& entry : QProcessEnvironment::systemEnvironment().keys()) {
    const auto match = kVariable.match(entry);
    if (match.hasMatch() && !qgetenv(entry.toLatin1().constData()).isEmpty()) ports.push_back(match.captured(1).toInt());
  }
  return ports;
}

}  // namespace

std::optional<int> ComNumberOf(const QString& name) {
  static const QRegularExpression kComName(QStringLiteral("^COM([0-9]{1,9})\\z"), QRegularExpression::CaseInsensitiveOption);
  const auto match = kComName.match(name);
  if (!match.hasMatch()) return std::nullopt;
  return match.captured(1).toInt();
}

std::vector<SerialDevice> OrderPorts(std::vector<SerialDevice> found) {
  std::erase_if(found, [](const SerialDevice& d) { return d.path.isEmpty() || (!d.usb && !d.present); });
  std::stable_sort(found.begin(), found.end(), [](const SerialDevice& a, const SerialDevice& b) {
    // Adapters with a by-id name, adapters without, then built-in UARTs.
    auto rank = [](const SerialDevice& d) { return d.usb ? (d.by_id.isEmpty() ? 1 : 0) : 2; };
    if (rank(a) != rank(b)) return rank(a) < rank(b);
    if (rank(a) == 0) return a.by_id < b.by_id;
    return NaturalKey(a.path) < NaturalKey(b.path);
  });
  // One device reached by two names counts once.
  std::vector<SerialDevice> unique;
  for (auto& d : found) {
    if (std::none_of(unique.begin(), unique.end(), [&](const SerialDevice& u) { return u.path == d.path; })) {
      unique.push_back(std::move(d));
    }
  }
  return unique;
}

PortMapping MapPort(int n, const std::vector<SerialDevice>& ordered) {
  PortMapping mapping;
  mapping.n = n;
  const QByteArray override_path = qgetenv(("ZMR_" + PortName(n)).toLatin1().constData());
  if (!override_path.isEmpty()) {
    mapping.device = QString::fromLocal8Bit(override_path);
    mapping.overridden = true;
    for (const auto& d : ordered) {
      if (d.path == mapping.device) {
        mapping.description = d.description;
        mapping.by_id = d.by_id;
      }
    }
    return mapping;
  }
  const PortMapReading file = ReadPortMapFile(PortMapFolder());
  mapping.blocked = file.blocking(n);
  if (!mapping.blocked.isEmpty()) return mapping;
  if (const auto mapped = file.map.find(n); mapped != file.map.end()) {
    mapping.device = mapped->second.text();
  } else if (n >= 1 && static_cast<std::size_t>(n) <= ordered.size()) {
    const SerialDevice& d = ordered[static_cast<std::size_t>(n - 1)];
    mapping.device = d.path;
    mapping.description = d.description;
    mapping.by_id = d.by_id;
  }
  return mapping;
}

std::vector<PortMapping> MapPorts(int count, bool all) {
  const std::vector<SerialDevice> ordered = OrderPorts(CurrentPortEnumerator().scan());
  std::set<int> numbers;
  for (int n = 1; n <= count; ++n) numbers.insert(n);
  if (all) {
    for (int n = 1; n <= static_cast<int>(ordered.size()); ++n) numbers.insert(n);
    const PortMapReading file = ReadPortMapFile(PortMapFolder());
    for (const auto& [n, address] : file.map) numbers.insert(n);
    for (const IgnoredMapLine& line : file.ignored) {
      if (line.n > 0 && line.blocks) numbers.insert(line.n);
    }
    for (const int n : OverriddenPorts()) numbers.insert(n);
  }
  std::vector<PortMapping> mappings;
  for (const int n : numbers) {
    mappings.push_back(MapPort(n, ordered));
  }
  return mappings;
}

QString NetworkKindText(const QString& address) {
  const ParsedAddress parsed = ParseNetworkAddress(address);
  return parsed.address && parsed.address->tls ? QStringLiteral("network, TLS") : QStringLiteral("network, cleartext");
}

QString PortDeviceLine(const PortMapping& mapping) {
  if (!mapping.blocked.isEmpty()) {
    // Which line, not why: the why is long, and the Network timer dialog shows it.
    return QStringLiteral("Com %1 leads nowhere: %2").arg(mapping.n).arg(mapping.blocked.section(QStringLiteral(": "), 0, 0));
  }
  if (mapping.device.isEmpty()) {
    return QStringLiteral("Com %1: no device").arg(mapping.n);
  }
  if (IsNetworkPortName(mapping.device)) {
    return QStringLiteral("Com %1 is %2 (%3)").arg(mapping.n).arg(mapping.device, NetworkKindText(mapping.device));
  }
  QString where = mapping.device;
  if (!mapping.description.isEmpty()) {
    where += QStringLiteral(", ") + mapping.description + QStringLiteral(",");
  }
  return QStringLiteral("Com %1 is %2 here").arg(mapping.n).arg(where);
}

QString PortDevice(const QString& name) {
  const std::optional<int> com = ComNumberOf(name);
  if (!com) {
    return name;
  }
  const int n = *com;
  // An override, a network mapping or a blocked line needs no scan; COM0 and the like
  // lead nowhere.
  const PortMapping unscanned = MapPort(n, {});
  if (!unscanned.device.isEmpty() || !unscanned.blocked.isEmpty()) {
    return unscanned.device;
  }
  return MapPort(n, OrderPorts(CurrentPortEnumerator().scan())).device;
}

bool LeadsAcrossNetwork(const QString& name) {
  const std::optional<int> com = ComNumberOf(name);
  // The n-th serial device of a scan is never a network address.
  return IsNetworkPortName(com ? MapPort(*com, {}).device : name);
}

QString SerialByIdPath(const QString& device) {
  const QString canonical = QFileInfo(device).canonicalFilePath();
  const QString node = canonical.isEmpty() ? device : canonical;
  for (const SerialDevice& d : CurrentPortEnumerator().scan()) {
    if (d.by_id.isEmpty()) continue;
    const QString found = QFileInfo(d.path).canonicalFilePath();
    if ((found.isEmpty() ? d.path : found) == node) return QStringLiteral("/dev/serial/by-id/") + d.by_id;
  }
  return {};
}

QString PortName(int n) { return QStringLiteral("COM%1").arg(n); }

const PortEnumerator& CurrentPortEnumerator() { return *Current(); }

ScopedPortEnumerator::ScopedPortEnumerator(std::shared_ptr<const PortEnumerator> enumerator)
    : previous_(std::exchange(Current(), std::move(enumerator))) {}

ScopedPortEnumerator::~ScopedPortEnumerator() { Current() = std::move(previous_); }

}  // namespace zmr
