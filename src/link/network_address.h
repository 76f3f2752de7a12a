#pragma once
// A timer behind a network serial server: rfc2217://HOST:PORT (Telnet Com Port Control)
// or tcp://HOST:PORT (raw socket), each also over TLS as rfc2217+tls://HOST:PORT and
// tcp+tls://HOST:PORT. HOST is a name, an IPv4 address as four plain decimal numbers, or
// an IPv6 address in brackets.
#include <cstdint>
#include <optional>

#include <QString>

namespace zmr {

struct NetworkAddress {
  enum class Scheme { Rfc2217, Tcp };
  Scheme scheme = Scheme::Rfc2217;
  bool tls = false;  // the connection is TLS, with the Telnet layer (if any) inside it
  QString host;      // without brackets: "10.0.4.20", "fd00::20", "timer-hall.local"
  std::uint16_t port = 0;

  // The canonical text: lower-case scheme and name, IPv6 in brackets, e.g.
  // "rfc2217+tls://10.0.4.20:2217".
  QString text() const;
  // "10.0.4.20 port 2217", "[fd00::20] port 2217": how the advice lines name it.
  QString where() const;
  // "10.0.4.20:2217": the address without its scheme, as advice offers it with another.
  QString hostAndPort() const;
  bool operator==(const NetworkAddress&) const = default;
};

struct ParsedAddress {
  std::optional<NetworkAddress> address;
  QString problem;  // why the text is no address; empty when it is one
};

// True when the text starts with one of the four schemes (any case): it is then meant as
// a network address and never as a device path, even when it is malformed.
bool IsNetworkPortName(const QString& text);

ParsedAddress ParseNetworkAddress(const QString& text);

// The one text of the timer behind an address: "bells.school:4001", "10.0.4.20:2217",
// "[fd00::20]:2217". Lower-case host without a trailing dot, IP addresses in their
// shortest form, the port always; the scheme is left out, because one server port leads
// to one timer however it is spoken to.
QString CanonicalTimerAddress(const NetworkAddress& address);

}  // namespace zmr
