#include "link/port_error.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <array>
#include <cerrno>
#include <utility>

#include "base/errors.h"
#include "link/network_address.h"
#include "link/network_port.h"
#include "link/port_map.h"
#include "link/port_names.h"

namespace zmr {
namespace {

// The messages keep the words of the system calls they once named, as the timer's
// users know them; by PortStep.
constexpr std::array<const char*, 5> kStepMessages = {"Unable to open com port", "SetCommState function failed",
                                                     "PurgeComm function failed", "WriteFile function failed",
                                                     "ReadFile function failed"};

// What the advice may name: the port, the device it led to, who is asking.
struct Circumstances {
  QString port;
  QString device;
  QString user;
  QString group;
  PortErrorDetails details;
};

struct Words {
  int code;        // the error code the message shows when the system gave none
  QString advice;  // empty: nothing to advise
};

QString NoDeviceAdvice(const Circumstances& at) {
  if (const std::optional<int> n = ComNumberOf(at.port); n && at.device.isEmpty()) {
    const QString blocked = MapPort(*n, {}).blocked;
    if (!blocked.isEmpty()) {
      return QStringLiteral("%1 Mend %2 beside timer.ini, or map %3 again (Network timer ..., or zmrctl ports --map "
                            "%3 ADDRESS).")
          .arg(WithFullStop(blocked.toStdString()).c_str(), QLatin1String(kPortMapFileName), PortName(*n));
    }
  }
  if (at.device.isEmpty() && at.port.isEmpty()) {
    return QStringLiteral("The port's device is gone: the adapter may be unplugged. Plug it in, then try again.");
  }
  if (at.device.isEmpty()) {
    return QStringLiteral("%1 leads to no device on this PC. Plug in the USB serial adapter, or choose another port.")
        .arg(at.port);
  }
  return QStringLiteral("%1 is not there: the adapter may be unplugged. Plug it in, or choose another port.")
      .arg(at.device);
}

// The address spoken another way: the same host and port, the same TLS or none.
QString Spoken(NetworkAddress address, NetworkAddress::Scheme scheme) {
  address.scheme = scheme;
  return address.text();
}

QString CertificateRefusedAdvice(const QString& where, const PortErrorDetails& d) {
  if (d.subject.isEmpty()) {
    return QStringLiteral("%1 asks for this PC's certificate, and none is set. Set it with zmrctl tls --ca FILE "
                          "--cert FILE --key FILE, or with Secure (TLS) in Network timer.")
        .arg(where);
  }
  return QStringLiteral("%1 refused this PC's certificate (%2, issued by %3). Check that the server trusts it: for "
                        "ser2net, the CA that issued it belongs in the authdir folder %2/allowed_certs, rehashed.")
      .arg(where, d.subject, d.issuer);
}

QString ExpiredAdvice(const QString& where, const PortErrorDetails& d) {
  const QString whose = d.this_pc ? QStringLiteral("This PC's certificate") : QStringLiteral("The certificate of ") + where;
  if (d.not_yet_valid) {
    return QStringLiteral("%1 (%2) is not valid before %3. Check the clocks of this PC and of the server.")
        .arg(whose, d.subject, d.date);
  }
  return QStringLiteral("%1 (%2) expired on %3, so nothing was sent. Renew it, then try again.")
      .arg(whose, d.subject, d.date);
}

// Everything a cause says, in one place; the compiler names a cause that has no case.
// The network causes come from a port whose device is its address.
Words WordsOf(PortCause cause, const Circumstances& at) {
  const QString device = at.device.isEmpty() ? QStringLiteral("this port") : at.device;
  const ParsedAddress parsed = ParseNetworkAddress(at.device);
  const NetworkAddress address = parsed.address.value_or(NetworkAddress{});
  const QString where = address.where();
  const PortErrorDetails& d = at.details;
  switch (cause) {
    case PortCause::OsError:
      return {EIO, {}};
    case PortCause::NotAllowed:
      return {EACCES, QStringLiteral("You may not use %1: only members of the %2 group may. Add yourself with "
                                     "\"sudo usermod -aG %2 %3\", then log out and back in.")
                          .arg(device, at.group, at.user)};
    case PortCause::Busy:
      return {EBUSY, QStringLiteral("Another program is using %1. Close it, then try again.").arg(device)};
    case PortCause::NoDevice:
      return {ENOENT, NoDeviceAdvice(at)};
    case PortCause::NotOpen:
      return {EBADF, {}};
    case PortCause::BadAddress:
      return {EINVAL, parsed.problem};
    case PortCause::Refused:
      return {ECONNREFUSED, QStringLiteral("Nothing accepts connections at %1. Check that ser2net or the device "
                                           "server runs there and listens on that port.")
                                .arg(where)};
    case PortCause::UnknownHost:
      return {ENXIO, QStringLiteral("The host name %1 is not known. Check the spelling of the address and that "
                                    "this PC can look up names on the network (DNS).")
                         .arg(address.host)};
    case PortCause::TimedOut:
      return {ETIMEDOUT, QStringLiteral("%1 did not answer within %2 seconds. Check that the host is switched on "
                                        "and reachable from this PC, and that no firewall blocks the port.")
                             .arg(where)
                             .arg(kNetworkConnectTimeoutMs / 1000)};
    case PortCause::Unreachable:
      return {ENETUNREACH,
              QStringLiteral("%1 cannot be reached from this PC. Check the network connection and the address.")
                  .arg(where)};
    case PortCause::Lost:
      return {ECONNRESET, QStringLiteral("The connection to %1 was lost. Check the network and that the server "
                                         "still runs; the next request connects again.")
                              .arg(where)};
    case PortCause::NoPortControl:
      return {EPROTONOSUPPORT,
              QStringLiteral("%1 does not offer RFC 2217 port control. Turn it on in the server (ser2net: remctl, "
                             "or telnet(rfc2217) in its YAML accepter), or use %2 when the server's line is "
                             "set to 9600 8N1.")
                  .arg(where, Spoken(address, NetworkAddress::Scheme::Tcp))};
    case PortCause::ServerInUse:
      return {EBUSY, QStringLiteral("Another program or PC is connected to the timer's server at %1, which serves "
                                    "one at a time. Try again when it is done.")
                         .arg(where)};
    case PortCause::RenegotiationStorm:
      return {EPROTO, QStringLiteral("The server at %1 keeps changing its Telnet options instead of serving the "
                                     "timer, so the connection was given up. Check that it is ser2net or a serial "
                                     "device server, and restart it.")
                          .arg(where)};
    case PortCause::NotTelnet:
      return {ENOPROTOOPT, QStringLiteral("%1 does not speak Telnet: no negotiation came back within %2 seconds. "
                                          "For a raw TCP port use %3.")
                               .arg(where)
                               .arg(kNetworkConnectTimeoutMs / 1000)
                               .arg(Spoken(address, NetworkAddress::Scheme::Tcp))};
    case PortCause::TelnetOnRawLink:
      return {EPROTOTYPE, QStringLiteral("%1 speaks Telnet (RFC 2217), not raw TCP. Use %2.")
                              .arg(where, Spoken(address, NetworkAddress::Scheme::Rfc2217))};
    case PortCause::TlsNotTrusted:
      return {EKEYREJECTED, QStringLiteral("The certificate of %1 (%2, issued by %3) is not trusted here, so nothing "
                                           "was sent. If it is your server's, set the CA that issued it with zmrctl "
                                           "tls --ca FILE, or with Secure (TLS) in Network timer.")
                                .arg(where, d.subject, d.issuer)};
    case PortCause::TlsNameMismatch:
      return {EADDRNOTAVAIL, QStringLiteral("The certificate of %1 (%2) is made out for %3, not for %4, so nothing "
                                            "was sent. Use an address the certificate names, or give the server a "
                                            "certificate for this one.")
                                 .arg(where, d.subject, d.names.isEmpty() ? QStringLiteral("no name") : d.names,
                                      address.host)};
    case PortCause::TlsExpired:
      return {EKEYEXPIRED, ExpiredAdvice(where, d)};
    case PortCause::TlsCertificateRefused:
      return {ENOKEY, CertificateRefusedAdvice(where, d)};
    case PortCause::TlsFailed:
      return {ECONNABORTED, QStringLiteral("No TLS connection could be made with %1 (%2). Check that the server's "
                                           "accepter on that port has ssl(...) and that it is the server you mean.")
                                .arg(where, d.words)};
    case PortCause::TlsSetup:
      return {EBADMSG, QStringLiteral("This PC's TLS files cannot be used: %1. Set them again with zmrctl tls, or "
                                      "with Secure (TLS) in Network timer.")
                           .arg(d.words)};
  }
  return {EIO, {}};
}

std::string MessageWithCode(PortStep step, PortCause cause, std::optional<int> os_error) {
  const int code = os_error ? *os_error : WordsOf(cause, {}).code;
  return std::string(kStepMessages.at(static_cast<std::size_t>(step))) + " (win error code: " +
         std::to_string(code) + ")";
}

}  // namespace

PortError::PortError(PortStep step, PortCause cause, std::string port, std::string device, std::optional<int> os_error,
                     PortErrorDetails details)
    : std::runtime_error(MessageWithCode(step, cause, os_error)),
      step_(step),
      cause_(cause),
      port_(std::move(port)),
      device_(std::move(device)),
      os_error_(os_error),
      details_(std::move(details)) {}

QString PortErrorHint(const PortError& error, const QString& user, const QString& group) {
  return WordsOf(error.cause(), {QString::fromStdString(error.port()), QString::fromStdString(error.device()), user,
                                 group, error.details()})
      .advice;
}

QString PortErrorText(const PortError& error) {
  QString text = QString::fromStdString(WithFullStop(error.what()));
  const QString hint =
      PortErrorHint(error, CurrentUserName(), DeviceGroup(QString::fromStdString(error.device())));
  if (!hint.isEmpty()) {
    text += '\n' + hint;
  }
  return text;
}

QString CurrentUserName() {
  const QString user = qEnvironmentVariable("USER");
  if (!user.isEmpty()) {
    return user;
  }
  if (const passwd* pw = ::getpwuid(::geteuid())) {
    return QString::fromLocal8Bit(pw->pw_name);
  }
  return QStringLiteral("$USER");
}

QString DeviceGroup(const QString& device) {
  struct stat st {};
  if (!device.isEmpty() && ::stat(QFile::encodeName(device).constData(), &st) == 0 && st.st_gid != 0) {
    if (const group* gr = ::getgrgid(st.st_gid)) {
      return QString::fromLocal8Bit(gr->gr_name);
    }
  }
  return QStringLiteral("dialout");
}

}  // namespace zmr
