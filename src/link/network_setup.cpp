#include "link/network_setup.h"

#include <algorithm>
#include <array>

#include "base/prompts.h"
#include "link/network_port.h"
#include "link/port_error.h"
#include "link/port_map.h"
#include "link/port_names.h"
#include "link/tls_files.h"

namespace zmr {

namespace {

// The plain and the TLS form of each scheme.
constexpr std::array<std::pair<const char*, const char*>, 2> kTlsForms{
    {{"rfc2217://", "rfc2217+tls://"}, {"tcp://", "tcp+tls://"}}};

// A box for a refused TLS file; true when nothing was refused.
bool Stored(const QString& refused, Prompts& prompts) {
  if (refused.isEmpty()) return true;
  prompts.beep();
  prompts.message(BoxKind::Error, refused);
  return false;
}

std::optional<QString> Pick(Prompts& prompts, const QString& caption, const QString& filter) {
  FileDialogRequest request;
  request.caption = caption;
  request.filter = filter;
  return prompts.openFileName(request);
}

}  // namespace

QString WithTls(const QString& text, bool tls) {
  const QString trimmed = text.trimmed();
  for (const auto& [plain, secure] : kTlsForms) {
    const QString from = QLatin1String(tls ? plain : secure);
    if (trimmed.startsWith(from, Qt::CaseInsensitive)) {
      return QLatin1String(tls ? secure : plain) + trimmed.mid(from.size());
    }
  }
  return text;
}

bool NamesTls(const QString& text) {
  const QString trimmed = text.trimmed();
  return std::any_of(kTlsForms.begin(), kTlsForms.end(), [&](const auto& form) {
    return trimmed.startsWith(QLatin1String(form.second), Qt::CaseInsensitive);
  });
}

bool ChooseTlsCa(const QString& settings_folder, Prompts& prompts) {
  const auto ca = Pick(prompts, QStringLiteral("The CA that issued the servers' certificates"), kCertificateFilter);
  return ca && Stored(StoreTlsFiles(settings_folder, {*ca, {}, {}}), prompts);
}

bool ChooseTlsCertificate(const QString& settings_folder, Prompts& prompts) {
  const auto cert = Pick(prompts, QStringLiteral("This PC's certificate"), kCertificateFilter);
  if (!cert) return false;
  const auto key = Pick(prompts, QStringLiteral("The private key of this PC's certificate"), kKeyFilter);
  return key && Stored(StoreTlsFiles(settings_folder, {{}, *cert, *key}), prompts);
}

bool ClearTlsChoice(const QString& settings_folder, Prompts& prompts) {
  prompts.beep();
  if (prompts.message(BoxKind::Warning,
                      QStringLiteral("Clear the TLS files of this PC? Secure timers then trust the system's CAs and "
                                     "show no certificate of this PC."),
                      BoxButtons::YesNo) != BoxAnswer::Yes) {
    return false;
  }
  ClearTlsFiles(settings_folder);
  return true;
}

void ProbeNetworkAddress(const NetworkAddress& address) {
  const auto port = MakeNetworkPort();
  port->open(address.text());
  port->close();
}

QString NetworkSetupPrompt(int n) {
  return QStringLiteral("The address of the timer that Com %1 leads to (leave it empty for this PC's own port):")
      .arg(n);
}

QString EnvironmentWinsText(int n) {
  const QString variable = QStringLiteral("ZMR_") + PortName(n);
  const QByteArray value = qgetenv(variable.toLatin1().constData());
  if (value.isEmpty()) return {};
  return QStringLiteral("%1 is set (to %2) and wins: while it is set, Com %3 leads there, not to an address "
                        "stored here.")
      .arg(variable, QString::fromLocal8Bit(value))
      .arg(n);
}

QString CurrentNetworkAddress(int n, const QString& settings_folder) {
  const PortMapReading file = ReadPortMapFile(settings_folder);
  for (const IgnoredMapLine& line : file.ignored) {
    if (line.n == n && line.blocks) return line.written;  // to be mended here
  }
  const auto mapped = file.map.find(n);
  return mapped == file.map.end() ? QString() : mapped->second.text();
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
