#include "link/port_map.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "base/errors.h"
#include "base/file_io.h"
#include "link/port_names.h"

namespace zmr {

namespace {

QString& Folder() {
  static QString folder;
  return folder;
}

QString MapPath(const QString& settings_folder) { return settings_folder + kPortMapFileName; }

void Save(const QString& settings_folder, const PortMap& map) {
  const QByteArray text = PortMapText(map).toUtf8();
  ReplaceFile(MapPath(settings_folder),
              std::span(reinterpret_cast<const std::uint8_t*>(text.constData()), static_cast<std::size_t>(text.size())),
              ReplaceMode::CreateOrReplace);
}

}  // namespace

PortMap ParsePortMap(const QString& text) {
  static const QRegularExpression kLine(QStringLiteral("^\\s*COM([0-9]{1,3})\\s*[=\\s]\\s*(\\S+)\\s*$"),
                                        QRegularExpression::CaseInsensitiveOption);
  PortMap map;
  for (const QString& line : text.split('\n')) {
    const auto match = kLine.match(line);
    if (!match.hasMatch()) continue;  // comments, blank lines, anything else
    const int n = match.captured(1).toInt();
    const ParsedAddress parsed = ParseNetworkAddress(match.captured(2));
    if (n >= 1 && n <= kMaxMappedPort && parsed.address) {
      map[n] = *parsed.address;
    }
  }
  return map;
}

QString PortMapText(const PortMap& map) {
  QString text = QStringLiteral(
      "# COM ports that lead to a timer across the network (rfc2217:// or tcp://).\n"
      "# Written by the console and by \"zmrctl ports --map\"; ZMR_COM<n> overrides a line.\n");
  for (const auto& [n, address] : map) {
    text += QStringLiteral("COM%1 %2\n").arg(n).arg(address.text());
  }
  return text;
}

PortMap ReadPortMap(const QString& settings_folder) {
  if (settings_folder.isEmpty() || !QFileInfo::exists(MapPath(settings_folder))) return {};
  try {
    const std::vector<std::uint8_t> bytes = ReadFileStart(MapPath(settings_folder), kPortMapReadLimit);
    return ParsePortMap(QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()),
                                          static_cast<qsizetype>(bytes.size())));
  } catch (const IoError&) {
    return {};  // the COM ports then lead where they would without the file
  }
}

void MapComPort(const QString& settings_folder, int n, const NetworkAddress& address) {
  PortMap map = ReadPortMap(settings_folder);
  map[n] = address;
  Save(settings_folder, map);
}

bool UnmapComPort(const QString& settings_folder, int n) {
  PortMap map = ReadPortMap(settings_folder);
  if (map.erase(n) == 0) return false;
  Save(settings_folder, map);
  return true;
}

void UsePortMapFolder(const QString& settings_folder) { Folder() = settings_folder; }
QString PortMapFolder() { return Folder(); }

QStringList OfferedPorts() {
  QStringList offered;
  for (int n = 1; n <= kConsolePorts; ++n) offered << PortName(n);
  for (const auto& [n, address] : ReadPortMap(PortMapFolder())) {
    if (!offered.contains(address.text())) offered << address.text();
  }
  return offered;
}

ScopedPortMapFolder::ScopedPortMapFolder(const QString& settings_folder)
    : previous_(std::exchange(Folder(), settings_folder)) {}
ScopedPortMapFolder::~ScopedPortMapFolder() { Folder() = previous_; }

}  // namespace zmr
