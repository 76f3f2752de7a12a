#pragma once
// COM<n> mapped to a timer across the network, kept in a small text file beside
// timer.ini (which stays the fixed binary record), one "COM<n> ADDRESS" line each:
//   COM3 rfc2217://10.0.4.20:2217
// ZMR_COM<n> still overrides a mapping.
#include <map>
#include <memory>

#include <QString>
#include <QStringList>

#include "link/network_address.h"

namespace zmr {

inline constexpr char kPortMapFileName[] = "ports.txt";
// Mappings beyond this port number are refused; the dialogs offer COM1 .. COM6.
inline constexpr int kMaxMappedPort = 255;
// The file is read only this far: a mapping file is a few short lines.
inline constexpr std::size_t kPortMapReadLimit = 64 * 1024;

using PortMap = std::map<int, NetworkAddress>;

// The mappings in settings_folder (with a trailing separator). A missing or unreadable
// file maps nothing; lines that are not a COM<n> and an address are skipped.
PortMap ReadPortMap(const QString& settings_folder);
// Parses the file's text (what ReadPortMap reads).
PortMap ParsePortMap(const QString& text);
QString PortMapText(const PortMap& map);
// Replace the file with the mapping changed (crash-safe). Throws IoError.
void MapComPort(const QString& settings_folder, int n, const NetworkAddress& address);
// False when COM<n> was not mapped (the file is then left alone).
bool UnmapComPort(const QString& settings_folder, int n);

// The settings folder whose mapping COM<n> names follow; empty (the default) maps
// nothing. The programs set it once they know where timer.ini lives.
void UsePortMapFolder(const QString& settings_folder);
QString PortMapFolder();

// What a port list offers: COM1 .. COM6, then each network address a COM<n> of the
// mapping in use leads to (once each, in the order of their COM numbers).
QStringList OfferedPorts();

class ScopedPortMapFolder {
 public:
  explicit ScopedPortMapFolder(const QString& settings_folder);
  ~ScopedPortMapFolder();
  ScopedPortMapFolder(const ScopedPortMapFolder&) = delete;
  ScopedPortMapFolder& operator=(const ScopedPortMapFolder&) = delete;

 private:
  QString previous_;
};

}  // namespace zmr
