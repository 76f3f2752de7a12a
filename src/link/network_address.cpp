#include "link/network_address.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace zmr {

namespace {

constexpr char kRfc2217Prefix[] = "rfc2217://";
constexpr char kTcpPrefix[] = "tcp://";
constexpr int kMaxHostName = 253;

const QString kFormText = QStringLiteral("Give the address as rfc2217://HOST:PORT or tcp://HOST:PORT.");

ParsedAddress Problem(const QString& text) { return {std::nullopt, text}; }

bool IsHostName(const QString& host) {
  static const QRegularExpression kLabel(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
  if (host.isEmpty() || host.size() > kMaxHostName) return false;
  const QStringList labels = host.split('.');
  for (qsizetype i = 0; i < labels.size(); ++i) {
    // One trailing dot (a fully qualified name) is fine.
    if (labels[i].isEmpty() && i == labels.size() - 1 && i > 0) continue;
    if (!kLabel.match(labels[i]).hasMatch()) return false;
  }
  return true;
}

}  // namespace

QString NetworkAddress::text() const {
  const QString scheme_text = scheme == Scheme::Rfc2217 ? kRfc2217Prefix : kTcpPrefix;
  return scheme_text + (host.contains(':') ? '[' + host + ']' : host) + ':' + QString::number(port);
}

QString NetworkAddress::where() const {
  return (host.contains(':') ? '[' + host + ']' : host) + QStringLiteral(" port ") + QString::number(port);
}

bool IsNetworkPortName(const QString& text) {
  return text.startsWith(kRfc2217Prefix, Qt::CaseInsensitive) || text.startsWith(kTcpPrefix, Qt::CaseInsensitive);
}

ParsedAddress ParseNetworkAddress(const QString& text) {
  const QString trimmed = text.trimmed();
  NetworkAddress address;
  QString rest;
  if (trimmed.startsWith(kRfc2217Prefix, Qt::CaseInsensitive)) {
    address.scheme = NetworkAddress::Scheme::Rfc2217;
    rest = trimmed.mid(static_cast<qsizetype>(sizeof kRfc2217Prefix - 1));
  } else if (trimmed.startsWith(kTcpPrefix, Qt::CaseInsensitive)) {
    address.scheme = NetworkAddress::Scheme::Tcp;
    rest = trimmed.mid(static_cast<qsizetype>(sizeof kTcpPrefix - 1));
  } else {
    return Problem(kFormText);
  }
  if (rest.endsWith('/')) rest.chop(1);  // "tcp://host:4001/" as pasted from a browser

  QString port_text;
  if (rest.startsWith('[')) {
    const qsizetype close = rest.indexOf(']');
    if (close < 0 || rest.mid(close + 1, 1) != QStringLiteral(":")) {
      return Problem(QStringLiteral("Close the IPv6 address with ] and put :PORT after it."));
    }
    address.host = rest.mid(1, close - 1);
    port_text = rest.mid(close + 2);
    const QHostAddress v6(address.host);
    if (v6.isNull() || v6.protocol() != QAbstractSocket::IPv6Protocol) {
      return Problem(QStringLiteral("\"%1\" is not an IPv6 address.").arg(address.host));
    }
    address.host = v6.toString();
  } else {
    const qsizetype colon = rest.lastIndexOf(':');
    if (colon < 0) {
      return Problem(QStringLiteral("The address needs a port number: %1").arg(kFormText));
    }
    address.host = rest.left(colon);
    port_text = rest.mid(colon + 1);
    if (address.host.contains(':')) {
      return Problem(QStringLiteral("Put an IPv6 address in brackets, as in rfc2217://[fd00::20]:2217."));
    }
    static const QRegularExpression kDottedNumbers(QStringLiteral("^[0-9.]+$"));
    if (kDottedNumbers.match(address.host).hasMatch()) {
      const QHostAddress v4(address.host);
      if (v4.isNull() || v4.protocol() != QAbstractSocket::IPv4Protocol || address.host.count('.') != 3) {
        return Problem(QStringLiteral("\"%1\" is not an IPv4 address.").arg(address.host));
      }
    } else if (!IsHostName(address.host)) {
      return Problem(address.host.isEmpty()
                         ? QStringLiteral("The address needs a host: %1").arg(kFormText)
                         : QStringLiteral("\"%1\" is not a host name.").arg(address.host));
    }
    address.host = address.host.toLower();
  }
  static const QRegularExpression kDigits(QStringLiteral("^[0-9]{1,5}$"));
  const int port = kDigits.match(port_text).hasMatch() ? port_text.toInt() : 0;
  if (port < 1 || port > 65535) {
    return Problem(QStringLiteral("The port number must be 1 to 65535."));
  }
  address.port = static_cast<std::uint16_t>(port);
  return {address, {}};
}

QString CanonicalTimerAddress(const NetworkAddress& address) {
  QString host = address.host.toLower();
  if (host.endsWith('.')) host.chop(1);
  const QHostAddress ip(host);
  if (!ip.isNull()) host = ip.toString();
  return (host.contains(':') ? '[' + host + ']' : host) + ':' + QString::number(address.port);
}

}  // namespace zmr
