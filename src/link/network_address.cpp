#include "link/network_address.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cstring>

namespace zmr {

namespace {

struct SchemeName {
  const char* prefix;
  NetworkAddress::Scheme scheme;
  bool tls;
};
constexpr std::array<SchemeName, 4> kSchemes{{{"rfc2217://", NetworkAddress::Scheme::Rfc2217, false},
                                              {"tcp://", NetworkAddress::Scheme::Tcp, false},
                                              {"rfc2217+tls://", NetworkAddress::Scheme::Rfc2217, true},
                                              {"tcp+tls://", NetworkAddress::Scheme::Tcp, true}}};

constexpr int kMaxHostName = 253;
constexpr int kIpv4Parts = 4;
constexpr int kMaxOctet = 255;
constexpr int kMaxPort = 65535;
constexpr int kMaxPortDigits = 5;

const QString kFormText = QStringLiteral(
    "Give the address as rfc2217://HOST:PORT or tcp://HOST:PORT (rfc2217+tls:// or tcp+tls:// over TLS).");

ParsedAddress Problem(const QString& text) { return {std::nullopt, text}; }

const SchemeName* SchemeOf(const QString& text) {
  for (const SchemeName& s : kSchemes) {
    if (text.startsWith(QLatin1String(s.prefix), Qt::CaseInsensitive)) return &s;
  }
  return nullptr;
}

bool IsHostName(const QString& host) {
  static const QRegularExpression kLabel(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?\\z"));
  if (host.isEmpty() || host.size() > kMaxHostName) return false;
  const QStringList labels = host.split('.');
  for (qsizetype i = 0; i < labels.size(); ++i) {
    // One trailing dot (a fully qualified name) is fine.
    if (labels[i].isEmpty() && i == labels.size() - 1 && i > 0) continue;
    if (!kLabel.match(labels[i]).hasMatch()) return false;
  }
  return true;
}

// A host made only of numbers (decimal, or 0x hex) and dots is read by the system's
// resolver as an IPv4 address in one of its old forms: 0177.0.0.1 and 0x7f.1 are
// 127.0.0.1, 192.168.001.010 is 192.168.1.8. Only four plain decimal numbers mean what
// they say, so every other numeric form is refused rather than silently reaching another
// host. Empty: the host is no number form (a name), or a plain dotted quad.
QString NumericHostProblem(const QString& host) {
  static const QRegularExpression kNumber(QStringLiteral("^([0-9]+|0[xX][0-9A-Fa-f]*)\\z"));
  const QStringList labels = host.split('.');
  const bool numeric = std::all_of(labels.begin(), labels.end(), [&](const QString& label) {
    return label.isEmpty() || kNumber.match(label).hasMatch();
  });
  if (!numeric) return {};
  if (host.count('.') == host.size()) return QStringLiteral("\"%1\" is not a host name.").arg(host);
  const QString four_numbers =
      QStringLiteral("\"%1\" is not an IPv4 address: give four numbers from 0 to 255, as in 10.0.4.20.").arg(host);
  if (labels.size() != kIpv4Parts) return four_numbers;
  bool leading_zero = false;
  for (const QString& label : labels) {
    bool decimal = false;
    const int value = label.toInt(&decimal, 10);
    if (label.isEmpty() || !decimal || value > kMaxOctet) return four_numbers;
    leading_zero = leading_zero || (label.size() > 1 && label.startsWith('0'));
  }
  if (leading_zero) {
    return QStringLiteral("\"%1\" is not an IPv4 address: a number with a leading zero is read as octal (010 is 8) "
                          "and leads to another host. Write each number without leading zeros.")
        .arg(host);
  }
  return {};
}

// The host of an address with an IPv6 address in brackets; "rest" is what follows the ].
ParsedAddress BracketedHost(const QString& authority, NetworkAddress address, QString& rest) {
  const qsizetype close = authority.indexOf(']');
  if (close < 0 || authority.mid(close + 1, 1) != QStringLiteral(":")) {
    return Problem(QStringLiteral("Close the IPv6 address with ] and put :PORT after it."));
  }
  const QString inside = authority.mid(1, close - 1);
  const QHostAddress v6(inside);
  if (v6.isNull() || v6.protocol() != QAbstractSocket::IPv6Protocol) {
    return Problem(QStringLiteral("\"%1\" is not an IPv6 address.").arg(inside));
  }
  address.host = v6.toString();
  rest = authority.mid(close + 2);
  return {address, {}};
}

ParsedAddress PlainHost(const QString& authority, NetworkAddress address, QString& rest) {
  const qsizetype colon = authority.indexOf(':');
  // Two colons before the last one, with no blank among them: an IPv6 address left bare.
  const QString before_last = authority.left(authority.lastIndexOf(':'));
  if (before_last.contains(':') && !before_last.contains(QRegularExpression(QStringLiteral("\\s")))) {
    return Problem(QStringLiteral("Put an IPv6 address in brackets, as in rfc2217://[fd00::20]:2217."));
  }
  const QString host = colon < 0 ? authority : authority.left(colon);
  if (host.isEmpty()) return Problem(QStringLiteral("The address needs a host: %1").arg(kFormText));
  if (const QString numeric = NumericHostProblem(host); !numeric.isEmpty()) return Problem(numeric);
  if (!IsHostName(host)) return Problem(QStringLiteral("\"%1\" is not a host name.").arg(host));
  if (colon < 0) return Problem(QStringLiteral("The address needs a port number: %1").arg(kFormText));
  address.host = host.toLower();
  rest = authority.mid(colon + 1);
  return {address, {}};
}

}  // namespace

QString NetworkAddress::text() const {
  for (const SchemeName& s : kSchemes) {
    if (s.scheme == scheme && s.tls == tls) return QLatin1String(s.prefix) + hostAndPort();
  }
  return hostAndPort();
}

QString NetworkAddress::where() const {
  return (host.contains(':') ? '[' + host + ']' : host) + QStringLiteral(" port ") + QString::number(port);
}

QString NetworkAddress::hostAndPort() const {
  return (host.contains(':') ? '[' + host + ']' : host) + ':' + QString::number(port);
}

bool IsNetworkPortName(const QString& text) { return SchemeOf(text) != nullptr; }

ParsedAddress ParseNetworkAddress(const QString& text) {
  const QString trimmed = text.trimmed();
  const SchemeName* scheme = SchemeOf(trimmed);
  if (scheme == nullptr) return Problem(kFormText);
  NetworkAddress address;
  address.scheme = scheme->scheme;
  address.tls = scheme->tls;
  QString rest = trimmed.mid(static_cast<qsizetype>(std::strlen(scheme->prefix)));
  // "tcp://host:4001/" as pasted from a browser.
  if (rest.size() > 1 && rest.endsWith('/') && rest.at(rest.size() - 2).isDigit()) rest.chop(1);

  // The authority ends where a path, query or fragment would begin.
  static const QRegularExpression kAuthorityEnd(QStringLiteral("[/?#]"));
  const qsizetype end = rest.indexOf(kAuthorityEnd);
  const QString authority = end < 0 ? rest : rest.left(end);
  const QString beyond = end < 0 ? QString() : rest.mid(end);
  if (authority.contains('@')) {
    // Never repeated back: the text before the @ may be a password.
    return Problem(QStringLiteral("An address holds no user name or password: give only HOST:PORT."));
  }

  QString port_and_more;
  const ParsedAddress host = authority.startsWith('[') ? BracketedHost(authority, address, port_and_more)
                                                       : PlainHost(authority, address, port_and_more);
  if (!host.address) return host;
  address = *host.address;
  port_and_more += beyond;

  qsizetype digits = 0;
  while (digits < port_and_more.size() && port_and_more.at(digits).isDigit()) ++digits;
  const QString more = port_and_more.mid(digits);
  static const QRegularExpression kFollows(QStringLiteral("^[/?#\\s]"));
  if (digits > 0 && more.contains(kFollows)) {
    return Problem(QStringLiteral("Nothing may follow the port number: remove \"%1\".").arg(more.trimmed()));
  }
  const int port = digits > 0 && digits <= kMaxPortDigits && more.isEmpty() ? port_and_more.toInt() : 0;
  if (port < 1 || port > kMaxPort) return Problem(QStringLiteral("The port number must be 1 to 65535."));
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
