#include "link/tls_layer.h"

#include <QDateTime>
#include <QFile>
#include <QSslConfiguration>
#include <array>

#include "base/errors.h"
#include "base/file_io.h"

namespace zmr {

namespace {

constexpr std::size_t kKeyReadLimit = 64 * 1024;

// The verification errors that mean the chain ends at no CA this PC trusts.
constexpr std::array kUntrusted = {QSslError::CertificateUntrusted,
                                   QSslError::CertificateRejected,
                                   QSslError::UnableToGetIssuerCertificate,
                                   QSslError::UnableToGetLocalIssuerCertificate,
                                   QSslError::UnableToVerifyFirstCertificate,
                                   QSslError::SelfSignedCertificate,
                                   QSslError::SelfSignedCertificateInChain,
                                   QSslError::CertificateSignatureFailed,
                                   QSslError::UnableToDecryptCertificateSignature,
                                   QSslError::UnableToDecodeIssuerPublicKey,
                                   QSslError::InvalidCaCertificate,
                                   QSslError::PathLengthExceeded,
                                   QSslError::InvalidPurpose,
                                   QSslError::CertificateRevoked};

PortError Failure(PortCause cause, const PortPlace& place, PortErrorDetails details) {
  return {PortStep::Open, cause, place.name, place.device, std::nullopt, std::move(details)};
}

QString Date(const QDateTime& when) { return when.toUTC().date().toString(Qt::ISODate); }

// The names and addresses the certificate is made out for.
QString NamesOf(const QSslCertificate& certificate) {
  QStringList names;
  const auto alternatives = certificate.subjectAlternativeNames();
  for (auto it = alternatives.cbegin(); it != alternatives.cend(); ++it) names << it.value();
  if (names.isEmpty()) names = certificate.subjectInfo(QSslCertificate::CommonName);
  return names.join(QStringLiteral(", "));
}

const QSslError* First(const QList<QSslError>& errors, auto matches) {
  for (const QSslError& e : errors) {
    if (matches(e.error())) return &e;
  }
  return nullptr;
}

PortErrorDetails Facts(const QSslCertificate& certificate) {
  PortErrorDetails d;
  d.subject = CertificateName(certificate);
  d.issuer = IssuerName(certificate);
  d.names = NamesOf(certificate);
  return d;
}

QByteArray FileBytes(const QString& path, const PortPlace& place) {
  try {
    const std::vector<std::uint8_t> bytes = ReadFileStart(path, kKeyReadLimit);
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
  } catch (const IoError& e) {
    PortErrorDetails d;
    d.words = QStringLiteral("%1 cannot be read (%2)").arg(path, QString::fromStdString(e.what()));
    throw Failure(PortCause::TlsSetup, place, d);
  }
}

}  // namespace

QString CertificateName(const QSslCertificate& certificate) {
  const QStringList names = certificate.subjectInfo(QSslCertificate::CommonName);
  return names.isEmpty() ? certificate.subjectDisplayName() : names.join(QStringLiteral(", "));
}

QString IssuerName(const QSslCertificate& certificate) {
  const QStringList names = certificate.issuerInfo(QSslCertificate::CommonName);
  return names.isEmpty() ? certificate.issuerDisplayName() : names.join(QStringLiteral(", "));
}

QSslKey ReadPrivateKey(const QByteArray& bytes) {
  for (const QSsl::EncodingFormat format : {QSsl::Pem, QSsl::Der}) {
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
      const QSslKey key(bytes, algorithm, format, QSsl::PrivateKey);
      if (!key.isNull()) return key;
    }
  }
  return {};
}

std::unique_ptr<QSslSocket> MakeTlsSocket(const TlsFiles& files, const PortPlace& place) {
  auto setup = [&](const QString& words) {
    PortErrorDetails d;
    d.words = words;
    return Failure(PortCause::TlsSetup, place, d);
  };
  if (!QSslSocket::supportsSsl()) throw setup(QStringLiteral("this PC's Qt has no TLS backend (OpenSSL 3)"));
  QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
  conf.setProtocol(QSsl::TlsV1_2OrLater);
  conf.setPeerVerifyMode(QSslSocket::VerifyPeer);
  if (files.ca) {
    const QList<QSslCertificate> ca = QSslCertificate::fromData(FileBytes(*files.ca, place), QSsl::Pem);
    if (ca.isEmpty()) throw setup(QStringLiteral("%1 holds no certificate").arg(*files.ca));
    conf.setCaCertificates(ca);  // the school's CA alone, not every CA of the system
  }
  if (files.cert || files.key) {
    if (!files.cert || !files.key) {
      throw setup(QStringLiteral("%1 is missing").arg(files.cert ? QStringLiteral("the key (tls/key.pem)")
                                                                 : QStringLiteral("the certificate (tls/cert.pem)")));
    }
    const QList<QSslCertificate> ours = QSslCertificate::fromData(FileBytes(*files.cert, place), QSsl::Pem);
    const QSslKey key = ReadPrivateKey(FileBytes(*files.key, place));
    if (ours.isEmpty()) throw setup(QStringLiteral("%1 holds no certificate").arg(*files.cert));
    if (key.isNull()) throw setup(QStringLiteral("%1 holds no private key without a passphrase").arg(*files.key));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QSslCertificate& mine = ours.front();
    if (mine.expiryDate() < now || mine.effectiveDate() > now) {
      PortErrorDetails d = Facts(mine);
      d.this_pc = true;
      d.not_yet_valid = mine.effectiveDate() > now;
      d.date = Date(d.not_yet_valid ? mine.effectiveDate() : mine.expiryDate());
      throw Failure(PortCause::TlsExpired, place, d);
    }
    conf.setLocalCertificateChain(ours);
    conf.setPrivateKey(key);
  }
  auto socket = std::make_unique<QSslSocket>();
  socket->setSslConfiguration(conf);
  return socket;
}

PortError TlsHandshakeFailure(const QSslSocket& socket, const PortPlace& place) {
  const QList<QSslError> errors = socket.sslHandshakeErrors();
  const auto in = [](auto list) { return [list](QSslError::SslError e) { return std::ranges::count(list, e) > 0; }; };
  const auto leaf = [&](const QSslError* e) {
    return e->certificate().isNull() ? socket.peerCertificate() : e->certificate();
  };
  if (const QSslError* e = First(errors, in(kUntrusted))) {
    // The server's own certificate names whom it claims to be, whichever link failed.
    const QList<QSslCertificate> chain = socket.peerCertificateChain();
    return Failure(PortCause::TlsNotTrusted, place, Facts(chain.isEmpty() ? leaf(e) : chain.front()));
  }
  if (const QSslError* e = First(errors, in(std::array{QSslError::CertificateExpired,
                                                       QSslError::CertificateNotYetValid}))) {
    PortErrorDetails d = Facts(leaf(e));
    d.not_yet_valid = e->error() == QSslError::CertificateNotYetValid;
    d.date = Date(d.not_yet_valid ? leaf(e).effectiveDate() : leaf(e).expiryDate());
    return Failure(PortCause::TlsExpired, place, d);
  }
  if (const QSslError* e = First(errors, in(std::array{QSslError::HostNameMismatch}))) {
    return Failure(PortCause::TlsNameMismatch, place, Facts(leaf(e)));
  }
  PortErrorDetails d;
  d.words = errors.isEmpty() ? socket.errorString() : errors.front().errorString();
  // A server that checks client certificates in the handshake (TLS 1.2) sends an alert.
  const QString words = d.words.toLower();
  if (words.contains(QStringLiteral("alert")) &&
      (words.contains(QStringLiteral("certificate")) || words.contains(QStringLiteral("unknown ca")) ||
       words.contains(QStringLiteral("access denied")))) {
    return TlsRefused(socket, place);
  }
  return Failure(PortCause::TlsFailed, place, d);
}

PortError TlsRefused(const QSslSocket& socket, const PortPlace& place) {
  const QSslCertificate mine = socket.localCertificate();
  return Failure(PortCause::TlsCertificateRefused, place, mine.isNull() ? PortErrorDetails{} : Facts(mine));
}

}  // namespace zmr
