#include "plan/install_tls.h"

namespace zmr {

bool LeadsOverTls(const QString& port) {
  for (const char* scheme : {"rfc2217+tls://", "tcp+tls://"}) {
    if (port.startsWith(QLatin1String(scheme), Qt::CaseInsensitive)) return true;
  }
  return false;
}

std::array<TlsFile, 3> ThisPcTlsFiles(const QString& settings_folder) {
  const QString tls = settings_folder + QStringLiteral("tls/");
  return {{{tls + QStringLiteral("ca.pem"), false},
           {tls + QStringLiteral("cert.pem"), false},
           {tls + QStringLiteral("key.pem"), true}}};
}

}  // namespace zmr
