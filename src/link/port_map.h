#pragma once
// COM<n> mapped to a timer across the network, kept in a small text file beside
// timer.ini (which stays the fixed binary record), one "COM<n> ADDRESS" line each:
//   COM3 rfc2217://10.0.4.20:2217
// ZMR_COM<n> still overrides a mapping. A line that cannot be used is never guessed at:
// it is named with its number and reason, and the COM<n> it names leads nowhere until it
// is mended, rather than quietly to a device of this PC.
#include <map>
#include <vector>

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

// A line of the file that maps nothing.
struct IgnoredMapLine {
  int line = 0;         // 1-based
  int n = 0;            // the COM<n> it names; 0 when it names none
  QString reason;
  bool blocks = true;   // COM<n> then leads nowhere (false: a later line for it counts)
  QString written;      // what stands after COM<n>, as written: the address to mend
};

struct PortMapReading {
  PortMap map;
  std::vector<IgnoredMapLine> ignored;
  QString fault;  // the file could not be read (nothing is mapped then); empty when it was
  bool whole = true;  // false when the file is longer than kPortMapReadLimit (or unreadable)

  // Why COM<n> leads nowhere: the ignored line that names it, or the read fault (every
  // COM<n> waits for a file that cannot be read). Empty when nothing blocks it.
  QString blocking(int n) const;
};

// The file in settings_folder (with a trailing separator); a missing file maps nothing.
PortMapReading ReadPortMapFile(const QString& settings_folder);
// Its mappings alone.
PortMap ReadPortMap(const QString& settings_folder);
// The file's text; `cut` says the text stops at the read limit, so its last line is cut.
PortMapReading ParsePortMap(const QString& text, bool cut = false);
// "ports.txt line 4 is ignored: <reason>"
QString IgnoredLineText(const IgnoredMapLine& ignored);
// Every line a person should hear about: the read fault, then each ignored line.
QStringList PortMapNotes(const PortMapReading& reading);

// Replace the file with COM<n> mapped (crash-safe). Every other line stays as it stands,
// comments and lines the console does not understand too; the lines that named COM<n>
// give way to the new one. A file that cannot be read whole is not rewritten. Throws IoError.
void MapComPort(const QString& settings_folder, int n, const NetworkAddress& address);
// Removes every line that names COM<n>; false when none mapped it (the file is then
// left alone unless a line for COM<n> was ignored). Throws IoError as MapComPort.
bool UnmapComPort(const QString& settings_folder, int n);

// The settings folder in use: whose mapping COM<n> names follow and whose TLS files
// (tls_files.h) network ports use. Empty (the default) maps nothing and sets no TLS
// files. The programs set it once they know where timer.ini lives.
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
