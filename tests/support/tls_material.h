#pragma once
// Certificates for the TLS tests, made by the openssl command as a school would make them:
// a small CA, a server certificate for 127.0.0.1, this PC's certificate ("zmr-console")
// and the ser2net authdir that lets it in; beside them a stranger's CA, a certificate of
// the school's CA that the authdir does not name, and a server certificate that has
// expired. Made once per test program.
#include <string>

#include "link/tls_files.h"
#include "support/ser2net_process.h"

namespace zmr::testing {

class TlsMaterial {
 public:
  // Throws std::runtime_error when openssl is missing or fails.
  TlsMaterial();
  ~TlsMaterial();
  TlsMaterial(const TlsMaterial&) = delete;
  TlsMaterial& operator=(const TlsMaterial&) = delete;

  // ca.pem (and ca.der), server.pem/.key, console.pem/.key (and locked.key, behind a
  // passphrase), stranger.pem/.key, other-ca.pem, expired.pem/.key, authdir.
  std::string path(const std::string& name) const { return folder_ + "/" + name; }
  // The school's server: clientauth with the authdir, or none.
  Ser2netTls server(bool clientauth = true) const;
  Ser2netTls expiredServer() const;
  // What "zmrctl tls --ca ca.pem --cert console.pem --key console.key" sets.
  TlsChoice console() const;

 private:
  std::string folder_;
};

const TlsMaterial& SharedTlsMaterial();

}  // namespace zmr::testing
