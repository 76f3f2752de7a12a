// zmrctl tls: the TLS trust of this settings folder, set once for every rfc2217+tls://
// and tcp+tls:// timer: the CA a server's certificate must come from, and this PC's
// certificate and key for servers that ask for one.
#include "link/port_map.h"
#include "link/tls_files.h"
#include "zmrctl/command.h"

namespace zmr::ctl {

int TlsCommand(Invocation& run) {
  const Options& o = run.options;
  if (!o.operands.isEmpty()) return run.usageError("tls takes no operands, only --ca, --cert, --key or --clear");
  const bool setting = o.ca || o.cert || o.key;
  if (o.clear && setting) return run.usageError("tls takes --clear or files to set, not both");
  if (o.cert.has_value() != o.key.has_value()) return run.usageError("tls --cert and --key come together");
  const QString folder = PortMapFolder();
  if (o.clear) {
    ClearTlsFiles(folder);
  } else if (setting) {
    const QString refused = StoreTlsFiles(folder, {o.ca.value_or(QString()), o.cert.value_or(QString()),
                                                   o.key.value_or(QString())});
    if (!refused.isEmpty()) {
      run.env.err << "error: " << refused.toStdString() << '\n';
      return kExitProjectRefused;
    }
  }
  for (const QString& line : TlsFilesSummary(folder)) run.env.out << line.toStdString() << '\n';
  return kExitOk;
}

}  // namespace zmr::ctl
