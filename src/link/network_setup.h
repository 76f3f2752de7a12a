#pragma once
// "Network timer ...": COM<n> set to lead to a timer across the network, or back to this
// PC's own port. The address is checked before it is stored: its form always, and
// whether something answers there, with the choice to store it anyway (the server may
// simply be off right now).
#include <functional>

#include <QString>

#include "link/network_address.h"

namespace zmr {

class Prompts;

enum class NetworkSetupOutcome {
  Stored,     // COM<n> now leads to the address
  Removed,    // the text was empty: COM<n> leads to this PC's own port again
  KeptAsIs,   // nothing to do: the text was empty and COM<n> was not mapped
  Declined,   // nothing answers there and the user chose not to store it
  Refused,    // the text is no address: the user corrects it
};

// Tries to reach the address the way a timer operation would; throws PortError.
using NetworkProbe = std::function<void(const NetworkAddress&)>;
// Connects to the address (and negotiates RFC 2217) with a fresh port, then closes it.
void ProbeNetworkAddress(const NetworkAddress& address);

// The dialog's prompt for COM<n>.
QString NetworkSetupPrompt(int n);
// When ZMR_COM<n> is set it, not the address stored here, decides where COM<n> leads: the
// words that say so; empty when it is not set.
QString EnvironmentWinsText(int n);

// The text the dialog starts with: the address COM<n> is mapped to, if any, or what its
// ignored line holds, to be mended.
QString CurrentNetworkAddress(int n, const QString& settings_folder);

NetworkSetupOutcome StoreNetworkTimer(int n, const QString& text, const QString& settings_folder, Prompts& prompts,
                                      const NetworkProbe& probe = ProbeNetworkAddress);

// "Secure (TLS)": the address text with TLS on or off ("rfc2217://h:2217" <->
// "rfc2217+tls://h:2217"); a text without a scheme of ours is left as it is.
QString WithTls(const QString& text, bool tls);
// Whether the text starts with a TLS scheme (any case).
bool NamesTls(const QString& text);

// The dialog's TLS files, checked and stored in the settings folder as "zmrctl tls" does;
// a refusal is an error box. Each returns true when something changed.
// The CA that issued the servers' certificates.
bool ChooseTlsCa(const QString& settings_folder, Prompts& prompts);
// This PC's certificate, then its key.
bool ChooseTlsCertificate(const QString& settings_folder, Prompts& prompts);
// Asks first.
bool ClearTlsChoice(const QString& settings_folder, Prompts& prompts);

inline const QString kCertificateFilter = QStringLiteral(
    "certificate (*.pem *.crt *.cer *.der)|*.pem;*.crt;*.cer;*.der|all files (*)|*");
inline const QString kKeyFilter = QStringLiteral("private key (*.pem *.key *.der)|*.pem;*.key;*.der|all files (*)|*");

}  // namespace zmr
