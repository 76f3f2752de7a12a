#pragma once
// ser2net bridging 127.0.0.1:<free port> to a serial device (zmrsim's pseudo-terminal),
// with its configuration on the command line, in the foreground, so the test owns it.
#include <memory>
#include <string>

#include "support/child_process.h"

namespace zmr::testing {

// A TCP port on 127.0.0.1 that nothing listens on right now (the kernel's pick).
int FreeLoopbackPort();

class Ser2netProcess {
 public:
  // TelnetOnly: Telnet without port control, a server that refuses the Com Port option.
  enum class Mode { Rfc2217, Raw, TelnetOnly };
  Ser2netProcess(std::string device, Mode mode);
  ~Ser2netProcess();
  Ser2netProcess(const Ser2netProcess&) = delete;
  Ser2netProcess& operator=(const Ser2netProcess&) = delete;

  // rfc2217://127.0.0.1:<port> or tcp://127.0.0.1:<port>.
  std::string address() const;
  int port() const { return port_; }
  // Ends it (its connections drop) and starts it again on the same port.
  void stop();
  void start();

 private:
  std::string device_;
  Mode mode_;
  int port_;
  std::unique_ptr<ChildProcess> process_;
};

// Whether ser2net is installed (scripts/deps puts it there).
bool Ser2netInstalled();

}  // namespace zmr::testing
