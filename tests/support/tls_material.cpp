#include "support/tls_material.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "support/child_process.h"

namespace zmr::testing {

namespace {

constexpr char kOpenssl[] = "/usr/bin/openssl";
constexpr int kOpensslWaitMs = 20000;

void Openssl(const std::string& folder, std::vector<std::string> args) {
  // openssl writes its notes on stderr; a failure shows in its exit status.
  for (std::string& a : args) {
    if (a.rfind("@", 0) == 0) a = folder + "/" + a.substr(1);
  }
  ChildProcess run(kOpenssl, args);
  if (run.wait(kOpensslWaitMs) != 0) throw std::runtime_error("openssl failed: " + args.front());
}

// A P-256 key and a certificate for it signed by the CA `ca` ("" signs itself).
void Certificate(const std::string& folder, const std::string& name, const std::string& subject,
                 const std::string& ca, const std::string& extensions, int days = 825) {
  std::ofstream(folder + "/" + name + ".ext") << extensions;
  if (ca.empty()) {
    Openssl(folder, {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-keyout",
                     "@" + name + ".key", "-out", "@" + name + ".pem", "-days", std::to_string(days), "-subj",
                     "/CN=" + subject});
    return;
  }
  Openssl(folder, {"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-keyout",
                   "@" + name + ".key", "-out", "@" + name + ".csr", "-subj", "/CN=" + subject});
  Openssl(folder, {"x509", "-req", "-in", "@" + name + ".csr", "-CA", "@" + ca + ".pem", "-CAkey", "@" + ca + ".key",
                   "-CAcreateserial", "-out", "@" + name + ".pem", "-days", std::to_string(days), "-extfile",
                   "@" + name + ".ext"});
}

}  // namespace

TlsMaterial::TlsMaterial() {
  char pattern[] = "/tmp/zmr-tls-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("no temporary folder");
  folder_ = pattern;
  if (!std::filesystem::exists(kOpenssl)) throw std::runtime_error("openssl is missing; scripts/deps installs it");
  const std::string server = "subjectAltName=IP:127.0.0.1\nextendedKeyUsage=serverAuth\n";
  const std::string client = "extendedKeyUsage=clientAuth\n";
  Certificate(folder_, "ca", "Test School CA", "", "", 3650);
  Certificate(folder_, "other-ca", "Stranger CA", "", "", 3650);
  Certificate(folder_, "server", "bells-server", "ca", server);
  Certificate(folder_, "console", "zmr-console", "ca", client);
  Certificate(folder_, "stranger", "stranger", "ca", client);
  Certificate(folder_, "expired", "old-server", "ca", server, 0);  // expires the moment it is made
  // The same CA in DER, and this PC's key behind a passphrase, as people sometimes have them.
  Openssl(folder_, {"x509", "-in", "@ca.pem", "-outform", "DER", "-out", "@ca.der"});
  Openssl(folder_, {"pkey", "-in", "@console.key", "-aes256", "-passout", "pass:bells", "-out", "@locked.key"});
  // ser2net takes a client whose certificate's CN names a folder of the authdir and whose
  // CA stands in its allowed_certs, found by hash.
  const std::filesystem::path allowed = path("authdir") + "/zmr-console/allowed_certs";
  std::filesystem::create_directories(allowed);
  std::filesystem::copy_file(path("ca.pem"), allowed / "ca.pem");
  Openssl(folder_, {"rehash", allowed.string()});
}

TlsMaterial::~TlsMaterial() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

Ser2netTls TlsMaterial::server(bool clientauth) const {
  return {path("server.pem"), path("server.key"), clientauth ? path("authdir") : ""};
}

Ser2netTls TlsMaterial::expiredServer() const { return {path("expired.pem"), path("expired.key"), ""}; }

TlsChoice TlsMaterial::console() const {
  return {QString::fromStdString(path("ca.pem")), QString::fromStdString(path("console.pem")),
          QString::fromStdString(path("console.key"))};
}

const TlsMaterial& SharedTlsMaterial() {
  static const TlsMaterial material;
  return material;
}

}  // namespace zmr::testing
