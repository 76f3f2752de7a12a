#pragma once
// What a job needs to reach a timer over TLS: this PC's CA, certificate and key, kept in
// the settings folder (tls/ca.pem, tls/cert.pem, tls/key.pem), copied for the service.
#include <QString>
#include <array>

namespace zmr {

// rfc2217+tls://HOST:PORT and tcp+tls://HOST:PORT.
bool LeadsOverTls(const QString& port);

struct TlsFile {
  QString path;
  bool secret = false;  // the key: readable by its owner and the job only
};

// The three files in a settings folder (with a trailing separator), CA first.
std::array<TlsFile, 3> ThisPcTlsFiles(const QString& settings_folder);

}  // namespace zmr
