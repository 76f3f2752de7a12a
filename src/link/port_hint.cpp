#include "link/port_hint.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "link/network_address.h"
#include "link/network_port.h"

namespace zmr {

namespace {

// A port that leads across the network: name the host and port and what to check there.
QString NetworkHint(const PortError& error, const NetworkAddress& address) {
  const QString where = address.where();
  switch (error.osError()) {
    case ECONNREFUSED:
      return QStringLiteral(
                 "Nothing accepts connections at %1. Check that ser2net or the device server runs "
                 "there and listens on that port.")
          .arg(where);
    case kHostNotFound:
      return QStringLiteral(
                 "The host name %1 is not known. Check the spelling of the address and that this PC "
                 "can look up names on the network (DNS).")
          .arg(address.host);
    case ETIMEDOUT:
      return QStringLiteral(
                 "%1 did not answer within %2 seconds. Check that the host is switched on and "
                 "reachable from this PC, and that no firewall blocks the port.")
          .arg(where)
          .arg(kNetworkConnectTimeoutMs / 1000);
    case ENETUNREACH:
    case EHOSTUNREACH:
      return QStringLiteral("%1 cannot be reached from this PC. Check the network connection and the address.")
          .arg(where);
    case ECONNRESET:
      return QStringLiteral(
                 "The connection to %1 was lost. Check the network and that the server still runs; "
                 "the next request connects again.")
          .arg(where);
    case kComPortRefused:
      return QStringLiteral(
                 "%1 does not offer RFC 2217 port control. Turn it on in the server (ser2net: remctl, "
                 "or telnet(rfc2217) in its YAML accepter), or use tcp://%2 when the server's line "
                 "is set to 9600 8N1.")
          .arg(where, address.text().mid(address.text().indexOf(QStringLiteral("://")) + 3));
    default:
      return {};
  }
}

}  // namespace

QString PortErrorHint(const PortError& error, const QString& user, const QString& group) {
  const QString device = QString::fromStdString(error.device());
  const QString port = QString::fromStdString(error.port());
  if (IsNetworkPortName(device)) {
    const ParsedAddress parsed = ParseNetworkAddress(device);
    return parsed.address ? NetworkHint(error, *parsed.address) : parsed.problem;
  }
  switch (error.osError()) {
    case EACCES:
    case EPERM:
      return QStringLiteral(
                 "You may not use %1: only members of the %2 group may. Add yourself with "
                 "\"sudo usermod -aG %2 %3\", then log out and back in.")
          .arg(device.isEmpty() ? QStringLiteral("this port") : device, group, user);
    case EBUSY:
      return QStringLiteral("Another program is using %1. Close it, then try again.")
          .arg(device.isEmpty() ? QStringLiteral("this port") : device);
    case ENOENT:
    case ENODEV:
    case ENXIO:
      if (device.isEmpty() && port.isEmpty()) {
        return QStringLiteral("The port's device is gone: the adapter may be unplugged. Plug it in, then try again.");
      }
      if (device.isEmpty()) {
        return QStringLiteral(
                   "%1 leads to no device on this PC. Plug in the USB serial adapter, or choose "
                   "another port.")
            .arg(port.isEmpty() ? QStringLiteral("This port") : port);
      }
      return QStringLiteral("%1 is not there: the adapter may be unplugged. Plug it in, or choose another port.")
          .arg(device);
    default:
      return {};
  }
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
