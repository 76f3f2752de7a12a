#include "link/port_map.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

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

const char kHeader[] =
    "# COM ports that lead to a timer across the network (rfc2217://, tcp://, rfc2217+tls:// or tcp+tls://).\n"
    "# Written by the console and by \"zmrctl ports --map\"; ZMR_COM<n> overrides a line.\n";

// The COM<n> a line names by its first word, whatever follows; nullopt for none. A number
// too long to read is -1, a port no one can have.
std::optional<int> NamedPort(const QString& line) {
  static const QRegularExpression kNames(QStringLiteral("^\\s*COM([0-9]+)(?![0-9A-Za-z_])"),
                                         QRegularExpression::CaseInsensitiveOption);
  const auto match = kNames.match(line);
  if (!match.hasMatch()) return std::nullopt;
  bool ok = false;
  const int n = match.captured(1).toInt(&ok);
  return ok ? n : -1;
}

QString LineText(const QByteArray& bytes) {
  return QString::fromUtf8(bytes.endsWith('\r') ? bytes.chopped(1) : bytes);
}

// The file's bytes when it can be read whole: a file that cannot is never rewritten,
// since the lines past the limit (or all of them) would be lost.
QByteArray WholeFile(const QString& settings_folder) {
  const QString path = MapPath(settings_folder);
  if (!QFileInfo::exists(path)) return QByteArray(kHeader);
  const std::vector<std::uint8_t> bytes = ReadFileStart(path, kPortMapReadLimit + 1);
  if (bytes.size() > kPortMapReadLimit) {
    throw IoError(std::string(kPortMapFileName) + " is longer than 64 KiB and is not rewritten; shorten it first");
  }
  return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

// The file with every line that names COM<n> taken out and `replacement` (when given) put
// where the first of them stood, else at the end. Bytes of other lines stay as they are.
// False when no line named COM<n> and there is nothing to put in.
bool Rewrite(const QString& settings_folder, int n, const std::optional<QString>& replacement) {
  const QByteArray file = WholeFile(settings_folder);
  QList<QByteArray> lines = file.split('\n');
  if (file.endsWith('\n')) lines.removeLast();
  const bool crlf = file.contains("\r\n");
  qsizetype at = -1;
  QList<QByteArray> kept;
  for (const QByteArray& line : lines) {
    if (NamedPort(LineText(line)) == n) {
      if (at < 0) at = kept.size();
      continue;
    }
    kept.push_back(line);
  }
  if (at < 0 && !replacement) return false;
  if (replacement) {
    const QByteArray added = replacement->toUtf8() + (crlf ? "\r" : "");
    kept.insert(at < 0 ? kept.size() : at, added);
  }
  const QByteArray text = kept.join('\n') + '\n';
  ReplaceFile(MapPath(settings_folder),
              std::span(reinterpret_cast<const std::uint8_t*>(text.constData()), static_cast<std::size_t>(text.size())),
              ReplaceMode::CreateOrReplace);
  return true;
}

}  // namespace

QString PortMapReading::blocking(int n) const {
  if (!fault.isEmpty()) return fault;
  for (const IgnoredMapLine& i : ignored) {
    if (i.n == n && i.blocks) return IgnoredLineText(i);
  }
  return {};
}

PortMapReading ParsePortMap(const QString& text, bool cut) {
  static const QRegularExpression kLine(QStringLiteral("^\\s*COM([0-9]{1,9})\\s*(?:=|\\s)\\s*(\\S+)\\s*$"),
                                        QRegularExpression::CaseInsensitiveOption);
  PortMapReading reading;
  std::map<int, int> line_of;  // COM<n> -> the line its mapping stands on
  const QStringList lines = text.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    QString line = lines[i];
    if (line.endsWith('\r')) line.chop(1);
    const std::optional<int> named = NamedPort(line);
    const int n = named && *named >= 1 && *named <= kMaxMappedPort ? *named : 0;
    static const QRegularExpression kAfterPort(QStringLiteral("^\\s*COM[0-9]+\\s*=?\\s*"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QString written = named ? QString(line).remove(kAfterPort).trimmed() : QString();
    auto ignore = [&](const QString& reason) { reading.ignored.push_back({number, n, reason, true, written}); };
    if (cut && i == lines.size() - 1) {
      if (!line.isEmpty()) {
        ignore(QStringLiteral("The file is longer than 64 KiB and is cut off in this line; nothing after it is "
                              "read."));
        reading.ignored.back().written.clear();  // a cut address is no start for a mend
      }
      break;
    }
    if (line.trimmed().isEmpty() || line.trimmed().startsWith('#')) continue;
    if (named && n == 0) {
      ignore(QStringLiteral("COM%1 is no port: the numbers run from 1 to %2.")
                 .arg(*named < 0 ? QStringLiteral("<n>") : QString::number(*named))
                 .arg(kMaxMappedPort));
      continue;
    }
    const auto match = kLine.match(line);
    if (!match.hasMatch()) {
      ignore(QStringLiteral("It is not \"COM<n> ADDRESS\"."));
      continue;
    }
    const ParsedAddress parsed = ParseNetworkAddress(match.captured(2));
    if (!parsed.address) {
      ignore(parsed.problem);
      continue;
    }
    if (const auto earlier = line_of.find(n); earlier != line_of.end()) {
      const QString again = QStringLiteral("COM%1 is given again on line %2, which counts.").arg(n).arg(number);
      reading.ignored.push_back({earlier->second, n, again, false, {}});
    }
    reading.map[n] = *parsed.address;
    line_of[n] = number;
  }
  std::stable_sort(reading.ignored.begin(), reading.ignored.end(),
                   [](const IgnoredMapLine& a, const IgnoredMapLine& b) { return a.line < b.line; });
  reading.whole = !cut;
  return reading;
}

QString IgnoredLineText(const IgnoredMapLine& ignored) {
  return QStringLiteral("%1 line %2 is ignored: %3").arg(kPortMapFileName).arg(ignored.line).arg(ignored.reason);
}

QStringList PortMapNotes(const PortMapReading& reading) {
  QStringList notes;
  if (!reading.fault.isEmpty()) notes << reading.fault;
  for (const IgnoredMapLine& i : reading.ignored) notes << IgnoredLineText(i);
  return notes;
}

PortMapReading ReadPortMapFile(const QString& settings_folder) {
  if (settings_folder.isEmpty() || !QFileInfo::exists(MapPath(settings_folder))) return {};
  try {
    const std::vector<std::uint8_t> bytes = ReadFileStart(MapPath(settings_folder), kPortMapReadLimit + 1);
    const bool cut = bytes.size() > kPortMapReadLimit;
    const auto size = static_cast<qsizetype>(std::min(bytes.size(), kPortMapReadLimit));
    return ParsePortMap(QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), size), cut);
  } catch (const IoError& e) {
    // What the file maps is unknown, so no COM<n> may lead anywhere by guess.
    PortMapReading reading;
    reading.whole = false;
    reading.fault = QStringLiteral("%1 cannot be read (%2): no COM port leads anywhere until it can.")
                        .arg(kPortMapFileName, QString::fromStdString(e.what()));
    return reading;
  }
}

PortMap ReadPortMap(const QString& settings_folder) { return ReadPortMapFile(settings_folder).map; }

void MapComPort(const QString& settings_folder, int n, const NetworkAddress& address) {
  Rewrite(settings_folder, n, QStringLiteral("COM%1 %2").arg(n).arg(address.text()));
}

bool UnmapComPort(const QString& settings_folder, int n) {
  const bool mapped = ReadPortMap(settings_folder).count(n) > 0;
  Rewrite(settings_folder, n, std::nullopt);
  return mapped;
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
