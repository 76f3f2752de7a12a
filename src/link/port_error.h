#pragma once
// A port failure as data: the primitive that failed, why, and on what. The words the
// person at the PC reads (the message with its error code, and the line that says what
// to do) are made from these where the failure is shown, by the one function in
// port_error.cpp. A new cause is an enumerator here and a case there.
#include <QString>
#include <optional>
#include <stdexcept>
#include <string>

namespace zmr {

// The primitive that failed; each has its own message.
enum class PortStep { Open, Settings, Purge, Write, Read };

enum class PortCause {
  OsError,        // the system refused in a way with no advice of its own
  NotAllowed,     // this account may not use the device
  Busy,           // another program holds the device
  NoDevice,       // the name leads to no device, or its device went away
  NotOpen,        // the port was not open
  BadAddress,     // a network address that cannot be used
  Refused,        // nothing accepts connections at the address
  UnknownHost,    // the host name is not known
  TimedOut,       // the host did not answer in time
  Unreachable,    // no route to the host
  Lost,           // the server ended the connection
  NoPortControl,  // the server does not offer RFC 2217 port control
  ServerInUse,    // the server serves another client and turned this one away
  RenegotiationStorm,  // the server keeps changing Telnet options
  NotTelnet,           // no Telnet negotiation came back on an rfc2217 link
  TelnetOnRawLink,     // Telnet negotiation arrived on a tcp link
  TlsNotTrusted,       // the server's certificate chain ends at no trusted CA (subject, issuer)
  TlsNameMismatch,     // the server's certificate is for other names (subject, names)
  TlsExpired,          // a certificate is out of its validity (subject, date, this_pc)
  TlsCertificateRefused,  // the server refused this PC's certificate, or wanted one (subject)
  TlsFailed,           // no TLS session for another reason (words)
  TlsSetup,            // this PC's TLS files cannot be used (words)
};

// What a TLS failure knows about the certificate it concerns; only the causes that say
// so above fill it.
struct PortErrorDetails {
  QString subject;  // "CN=bells-server" (empty: none, e.g. this PC has no certificate)
  QString issuer;
  QString names;    // the names and addresses the certificate is made out for
  QString date;     // yyyy-MM-dd: when it expired, or from when it is valid
  bool not_yet_valid = false;
  bool this_pc = false;  // the certificate is this PC's own, not the server's
  QString words;    // the TLS library's own words, or which file is wrong
};

// Thrown by every SerialPort primitive. what() is the message with its error code, as a
// line of the download's progress shows it.
class PortError : public std::runtime_error {
 public:
  // port is the name opened (COM3), device where it led (empty: nowhere); os_error is
  // the system's number when the system gave one.
  PortError(PortStep step, PortCause cause, std::string port = {}, std::string device = {},
            std::optional<int> os_error = std::nullopt, PortErrorDetails details = {});

  PortStep step() const { return step_; }
  PortCause cause() const { return cause_; }
  const std::string& port() const { return port_; }
  const std::string& device() const { return device_; }
  std::optional<int> osError() const { return os_error_; }
  const PortErrorDetails& details() const { return details_; }
  // Another program holds the port, or another client the timer's server (which serves
  // one at a time): either usually lets go within an operation's time, so it is worth
  // trying again later.
  bool busy() const { return cause_ == PortCause::Busy || cause_ == PortCause::ServerInUse; }

 private:
  PortStep step_;
  PortCause cause_;
  std::string port_;
  std::string device_;
  std::optional<int> os_error_;
  PortErrorDetails details_;
};

// The advice line for this user and the device's group; empty when the cause gives none.
QString PortErrorHint(const PortError& error, const QString& user, const QString& group);

// The error box text: the message with its error code (and the full stop rule), then the
// advice line for the account this program runs as.
QString PortErrorText(const PortError& error);

// The account this program runs as ("$USER", else the password database).
QString CurrentUserName();
// The group that owns the device node; "dialout" when it cannot be told.
QString DeviceGroup(const QString& device);

}  // namespace zmr
