#pragma once
// The TLS trust of one settings folder (the folder of timer.ini), set once with
// "zmrctl tls" or the Network timer dialog and used by every rfc2217+tls:// and
// tcp+tls:// port: tls/ca.pem (the CAs a server's certificate must come from; without it
// the system's store), tls/cert.pem and tls/key.pem (this PC's certificate and its key,
// shown when a server asks; the key readable by its owner only).
#include <QString>
#include <QStringList>
#include <optional>

namespace zmr {

inline constexpr char kTlsFolderName[] = "tls";
inline constexpr char kTlsCaFileName[] = "ca.pem";
inline constexpr char kTlsCertFileName[] = "cert.pem";
inline constexpr char kTlsKeyFileName[] = "key.pem";

// The files set in a settings folder; each is present only when its file exists.
struct TlsFiles {
  std::optional<QString> ca;
  std::optional<QString> cert;
  std::optional<QString> key;
};

// settings_folder with or without a trailing separator.
TlsFiles TlsFilesIn(const QString& settings_folder);

// What to set; an empty path leaves that file as it is. The certificate and the key come
// together.
struct TlsChoice {
  QString ca;
  QString cert;
  QString key;
};

// Reads and checks every chosen file, then copies them into the settings folder (as PEM;
// the key mode 0600). Nothing is stored when one is refused: the text says which file and
// why (not a certificate, a key behind a passphrase, a key that does not belong to the
// certificate). Empty on success. Throws IoError when the folder cannot be written.
QString StoreTlsFiles(const QString& settings_folder, const TlsChoice& choice);
// Removes the three files. Throws IoError.
void ClearTlsFiles(const QString& settings_folder);
// One line per file set, as "zmrctl tls" and the dialog show them:
// "CA: Hillside School CA, valid until 2036-01-01 (/etc/zmr-console/tls/ca.pem)"; a line
// saying that the system's CAs are used when no CA is set, and that no certificate is set.
QStringList TlsFilesSummary(const QString& settings_folder);

}  // namespace zmr
