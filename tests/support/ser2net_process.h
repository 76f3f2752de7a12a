#pragma once
// ser2net bridging 127.0.0.1:<free port> to a serial device (zmrsim's pseudo-terminal),
// in the foreground, so the test owns it: a plain port from one configuration line on the
// command line, a TLS one from a YAML file (the ssl(...) accepter).
#include <memory>
#include <optional>
#include <string>

#include "support/child_process.h"

namespace zmr::testing {

// A TCP port on 127.0.0.1 that nothing listens on right now (the kernel's pick).
int FreeLoopbackPort();

// ser2net's ssl(...) accepter: its certificate and key and, when authdir is given,
// clientauth: a client must show a certificate that the CA in authdir/<its CN>/allowed_certs
// issued.
struct Ser2netTls {
  std::string cert;
  std::string key;
  std::string authdir;
};

class Ser2netProcess {
 public:
  // TelnetOnly: Telnet without port control, a server that refuses the Com Port option.
  enum class Mode { Rfc2217, Raw, TelnetOnly };
  Ser2netProcess(std::string device, Mode mode, std::optional<Ser2netTls> tls = std::nullopt);
  ~Ser2netProcess();
  Ser2netProcess(const Ser2netProcess&) = delete;
  Ser2netProcess& operator=(const Ser2netProcess&) = delete;

  // rfc2217://127.0.0.1:<port> or tcp://127.0.0.1:<port>, rfc2217+tls:// or tcp+tls://
  // over TLS.
  std::string address() const;
  int port() const { return port_; }
  // Ends it (its connections drop) and starts it again on the same port.
  void stop();
  void start();

 private:
  std::string yaml() const;

  std::string device_;
  Mode mode_;
  std::optional<Ser2netTls> tls_;
  int port_;
  std::string config_path_;  // the YAML file of a TLS port
  std::unique_ptr<ChildProcess> process_;
};

// Whether ser2net is installed (scripts/deps puts it there).
bool Ser2netInstalled();

}  // namespace zmr::testing
