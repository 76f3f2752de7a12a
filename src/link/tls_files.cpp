#include "link/tls_files.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSslCertificate>
#include <QSslKey>
#include <array>
#include <memory>

#include "base/errors.h"
#include "base/file_io.h"
#include "link/tls_layer.h"

namespace zmr {

namespace {

// Certificates and keys are a few kilobytes; a CA bundle may hold a few hundred.
constexpr std::size_t kTlsFileReadLimit = 1024 * 1024;
constexpr mode_t kOthersMayRead = S_IRWXG | S_IRWXO;

QString TlsPath(const QString& settings_folder, const char* name) {
  return QDir(settings_folder).filePath(QStringLiteral("%1/%2").arg(QLatin1String(kTlsFolderName), QLatin1String(name)));
}

std::optional<QString> IfThere(const QString& path) {
  return QFileInfo(path).isFile() ? std::optional<QString>(path) : std::nullopt;
}

// The whole file, or the reason it cannot be had.
std::optional<QByteArray> Contents(const QString& path, QString& problem) {
  try {
    const std::vector<std::uint8_t> bytes = ReadFileStart(path, kTlsFileReadLimit + 1);
    if (bytes.size() > kTlsFileReadLimit) {
      problem = QStringLiteral("%1 is larger than 1 MiB; it is no certificate or key.").arg(path);
      return std::nullopt;
    }
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  } catch (const IoError& e) {
    problem = QStringLiteral("%1 cannot be read: %2").arg(path, Sentence(e));
    return std::nullopt;
  }
}

QList<QSslCertificate> Certificates(const QString& path, QString& problem) {
  const std::optional<QByteArray> bytes = Contents(path, problem);
  if (!bytes) return {};
  QList<QSslCertificate> certificates = QSslCertificate::fromData(*bytes, QSsl::Pem);
  if (certificates.isEmpty()) certificates = QSslCertificate::fromData(*bytes, QSsl::Der);
  if (certificates.isEmpty()) problem = QStringLiteral("%1 holds no certificate (PEM or DER).").arg(path);
  return certificates;
}

QSslKey PrivateKey(const QString& path, QString& problem) {
  const std::optional<QByteArray> bytes = Contents(path, problem);
  if (!bytes) return {};
  if (bytes->contains("ENCRYPTED")) {
    problem = QStringLiteral("%1 is protected by a passphrase, which the unattended job cannot type. Store the key "
                             "without one: openssl pkey -in %1 -out key.pem")
                  .arg(path);
    return {};
  }
  const QSslKey key = ReadPrivateKey(*bytes);
  if (key.isNull()) problem = QStringLiteral("%1 holds no private key (PEM or DER).").arg(path);
  return key;
}

// Whether the key is the private half of the certificate's public key; libcrypto is asked,
// because Qt has no way to tell.
bool BelongTogether(const QSslCertificate& certificate, const QSslKey& key) {
  const QByteArray cert_pem = certificate.toPem();
  const QByteArray key_pem = key.toPem();
  const std::unique_ptr<BIO, decltype(&BIO_free)> cert_bio(BIO_new_mem_buf(cert_pem.constData(), static_cast<int>(cert_pem.size())),
                                                           BIO_free);
  const std::unique_ptr<BIO, decltype(&BIO_free)> key_bio(BIO_new_mem_buf(key_pem.constData(), static_cast<int>(key_pem.size())),
                                                          BIO_free);
  if (!cert_bio || !key_bio) return false;
  const std::unique_ptr<X509, decltype(&X509_free)> x509(PEM_read_bio_X509(cert_bio.get(), nullptr, nullptr, nullptr),
                                                         X509_free);
  const std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> pkey(
      PEM_read_bio_PrivateKey(key_bio.get(), nullptr, nullptr, nullptr), EVP_PKEY_free);
  return x509 && pkey && X509_check_private_key(x509.get(), pkey.get()) == 1;
}

QByteArray AllPem(const QList<QSslCertificate>& certificates) {
  QByteArray pem;
  for (const QSslCertificate& c : certificates) pem += c.toPem();
  return pem;
}

void Write(const QString& path, const QByteArray& bytes, FileAccess access) {
  ReplaceFile(path,
              std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())),
              ReplaceMode::CreateOrReplace, access);
}

QString Validity(const QSslCertificate& certificate) {
  const QString until = certificate.expiryDate().toUTC().date().toString(Qt::ISODate);
  return certificate.expiryDate() < QDateTime::currentDateTimeUtc() ? QStringLiteral("expired on %1").arg(until)
                                                                     : QStringLiteral("valid until %1").arg(until);
}

}  // namespace

TlsFiles TlsFilesIn(const QString& settings_folder) {
  if (settings_folder.isEmpty()) return {};
  return {IfThere(TlsPath(settings_folder, kTlsCaFileName)), IfThere(TlsPath(settings_folder, kTlsCertFileName)),
          IfThere(TlsPath(settings_folder, kTlsKeyFileName))};
}

QString StoreTlsFiles(const QString& settings_folder, const TlsChoice& choice) {
  if (choice.cert.isEmpty() != choice.key.isEmpty()) {
    return QStringLiteral("This PC's certificate and its key come together: give both.");
  }
  QString problem;
  QList<QSslCertificate> ca;
  if (!choice.ca.isEmpty() && (ca = Certificates(choice.ca, problem)).isEmpty()) return problem;
  QList<QSslCertificate> ours;
  QSslKey key;
  if (!choice.cert.isEmpty()) {
    if ((ours = Certificates(choice.cert, problem)).isEmpty()) return problem;
    if ((key = PrivateKey(choice.key, problem)).isNull()) return problem;
    if (!BelongTogether(ours.front(), key)) {
      return QStringLiteral("The key %1 does not belong to the certificate %2 (%3): nothing was stored.")
          .arg(choice.key, choice.cert, CertificateName(ours.front()));
    }
  }
  if (!QDir().mkpath(QDir(settings_folder).filePath(QLatin1String(kTlsFolderName)))) {
    throw IoError::fromErrno(EACCES);
  }
  if (!ca.isEmpty()) Write(TlsPath(settings_folder, kTlsCaFileName), AllPem(ca), FileAccess::Kept);
  if (!ours.isEmpty()) {
    Write(TlsPath(settings_folder, kTlsKeyFileName), key.toPem(), FileAccess::OwnerOnly);
    Write(TlsPath(settings_folder, kTlsCertFileName), AllPem(ours), FileAccess::Kept);
  }
  return {};
}

void ClearTlsFiles(const QString& settings_folder) {
  for (const char* name : {kTlsCaFileName, kTlsCertFileName, kTlsKeyFileName}) {
    const QString path = TlsPath(settings_folder, name);
    if (QFileInfo::exists(path) && !QFile::remove(path)) throw IoError::fromErrno(EACCES);
  }
}

QStringList TlsFilesSummary(const QString& settings_folder) {
  const TlsFiles files = TlsFilesIn(settings_folder);
  QStringList lines;
  QString problem;
  if (!files.ca) {
    lines << QStringLiteral("CA: none set; a server's certificate must come from one of this PC's system CAs");
  } else {
    for (const QSslCertificate& c : Certificates(*files.ca, problem)) {
      lines << QStringLiteral("CA: %1, %2 (%3)").arg(CertificateName(c), Validity(c), *files.ca);
    }
    if (!problem.isEmpty()) lines << QStringLiteral("CA: ") + problem;
  }
  if (!files.cert) {
    lines << QStringLiteral("This PC: no certificate set; a server that asks for one (ser2net clientauth) turns "
                            "this PC away");
  } else {
    const QList<QSslCertificate> ours = Certificates(*files.cert, problem);
    if (ours.isEmpty()) {
      lines << QStringLiteral("This PC: ") + problem;
    } else {
      lines << QStringLiteral("This PC: %1, issued by %2, %3 (%4)")
                   .arg(CertificateName(ours.front()), IssuerName(ours.front()), Validity(ours.front()), *files.cert);
    }
  }
  if (files.cert && !files.key) lines << QStringLiteral("Key: missing; set the certificate and its key again");
  if (files.key) {
    struct stat st {};
    const bool private_file =
        ::stat(QFile::encodeName(*files.key).constData(), &st) == 0 && (st.st_mode & kOthersMayRead) == 0;
    lines << (private_file ? QStringLiteral("Key: %1 (readable by its owner only)").arg(*files.key)
                           : QStringLiteral("Key: %1 is readable by others too; run chmod 600 on it").arg(*files.key));
  }
  return lines;
}

}  // namespace zmr
