// The network address parser on any text a person or a file may give as a port. Checked:
// an address taken writes back to a text that reads as the same address; its host is a
// name, a plain dotted quad or an IPv6 address, never a number form the resolver would
// read another way; nothing follows its port and it holds no credentials; a refusal
// always says why; and the timer's key does not depend on how the address was spelled.
#include <QHostAddress>
#include <QRegularExpression>
#include <algorithm>

#include "fuzz_check.h"
#include "link/network_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zmr;
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const ParsedAddress parsed = ParseNetworkAddress(text);
  if (!parsed.address) {
    FUZZ_CHECK(!parsed.problem.isEmpty());
    return 0;
  }
  const NetworkAddress& address = *parsed.address;
  FUZZ_CHECK(parsed.problem.isEmpty());
  FUZZ_CHECK(IsNetworkPortName(text.trimmed()));
  FUZZ_CHECK(address.port >= 1 && !address.host.isEmpty());

  const QString written = address.text();
  const ParsedAddress again = ParseNetworkAddress(written);
  FUZZ_CHECK(again.address && *again.address == address);
  FUZZ_CHECK(again.address->text() == written);
  FUZZ_CHECK(!written.contains('@') && !written.contains('?') && !written.contains('#'));
  FUZZ_CHECK(written.indexOf('/', written.indexOf(QStringLiteral("://")) + 3) < 0);
  FUZZ_CHECK(!written.contains(QRegularExpression(QStringLiteral("\\s"))));

  // A host whose every part is a number (decimal, or 0x hex) is four plain decimal
  // numbers 0 to 255 that read back as themselves.
  static const QRegularExpression kNumberPart(QStringLiteral("^([0-9]*|0[xX][0-9A-Fa-f]*)$"));
  static const QRegularExpression kPlainQuad(
      QStringLiteral("^(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})\\.(0|[1-9][0-9]{0,2})$"));
  const QStringList parts = address.host.split('.');
  if (std::all_of(parts.begin(), parts.end(), [](const QString& p) { return kNumberPart.match(p).hasMatch(); })) {
    FUZZ_CHECK(kPlainQuad.match(address.host).hasMatch());
    FUZZ_CHECK(QHostAddress(address.host).toString() == address.host);
  }

  FUZZ_CHECK(CanonicalTimerAddress(*again.address) == CanonicalTimerAddress(address));
  NetworkAddress other_scheme = address;
  other_scheme.tls = !address.tls;
  FUZZ_CHECK(CanonicalTimerAddress(other_scheme) == CanonicalTimerAddress(address));
  return 0;
}
