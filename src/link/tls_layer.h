#pragma once
// The TLS layer of a network port, under the Telnet codec: a QSslSocket set up from the
// settings folder's TLS files (tls_files.h), and each way a TLS session can fail told as
// a port failure that carries the certificate's facts.
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <memory>
#include <string>

#include "link/port_error.h"
#include "link/tls_files.h"

namespace zmr {

// A certificate's subject or issuer as people know it: its common name, else what the
// certificate shows for it.
QString CertificateName(const QSslCertificate& certificate);
QString IssuerName(const QSslCertificate& certificate);
// A private key (PEM or DER; RSA, EC or DSA) without a passphrase; null when there is none.
QSslKey ReadPrivateKey(const QByteArray& bytes);

// The port a failure is told for: the name opened and the address it led to.
struct PortPlace {
  std::string name;
  std::string device;
};

// A socket that checks the server's certificate against the CA file (else the system's
// CAs) and the address's host (an IP address against the certificate's IP entries), and
// shows this PC's certificate when the server asks. Throws PortError at PortStep::Open:
// TlsSetup when the files cannot be used, TlsExpired when this PC's certificate is out of
// its validity.
std::unique_ptr<QSslSocket> MakeTlsSocket(const TlsFiles& files, const PortPlace& place);

// Why a handshake failed: a certificate not trusted, made out for other names or out of
// its validity (in that order), a server that turned this PC's certificate away, or the
// TLS library's own words.
PortError TlsHandshakeFailure(const QSslSocket& socket, const PortPlace& place);
// The server ended a session it had just made, before any data: it refused this PC (its
// certificate, or the lack of one).
PortError TlsRefused(const QSslSocket& socket, const PortPlace& place);

}  // namespace zmr
