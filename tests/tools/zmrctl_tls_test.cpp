// zmrctl tls: the CA and this PC's certificate and key copied into the settings folder,
// shown, refused when they do not fit, and cleared.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QSslCertificate>
#include <sstream>

#include "base/clock.h"
#include "link/tls_files.h"
#include "support/temp_dir.h"
#include "support/tls_material.h"
#include "zmrctl/zmrctl.h"

namespace zmr {
namespace {

using namespace zmr::testing;

class ZmrctlTls : public ::testing::Test {
 protected:
  int Run(QStringList args) {
    out.str({});
    err.str({});
    ctl::Environment env(out, err, clock);
    env.program_folder = dir.folder();
    for (QString& a : args) {
      if (a.startsWith('@')) a = QString::fromStdString(tls.path(a.mid(1).toStdString()));
    }
    return ctl::Run(QStringList{"--settings", dir.folder(), "tls"} + args, env);
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  QString Stored(const char* name) const { return dir.file(QString("tls/") + name); }
  static std::string Until(const std::string& pem) {
    return QSslCertificate::fromPath(QString::fromStdString(pem)).front().expiryDate().toUTC().date().toString(Qt::ISODate).toStdString();
  }

  const TlsMaterial& tls = SharedTlsMaterial();
  TempDir dir;
  SystemClock clock;
  std::ostringstream out, err;
};

TEST_F(ZmrctlTls, SetShowAndClearTheFilesOfTheSettingsFolder) {
  const std::vector<std::string> nothing = {
      "CA: none set; a server's certificate must come from one of this PC's system CAs",
      "This PC: no certificate set; a server that asks for one (ser2net clientauth) turns this PC away"};
  ASSERT_EQ(Run({}), ctl::kExitOk);
  EXPECT_EQ(Lines(), nothing);

  ASSERT_EQ(Run({"--ca", "@ca.der", "--cert", "@console.pem", "--key", "@console.key"}), ctl::kExitOk) << err.str();
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "CA: Test School CA, valid until " + Until(tls.path("ca.pem")) + " (" +
                             Stored("ca.pem").toStdString() + ")",
                         "This PC: zmr-console, issued by Test School CA, valid until " +
                             Until(tls.path("console.pem")) + " (" + Stored("cert.pem").toStdString() + ")",
                         "Key: " + Stored("key.pem").toStdString() + " (readable by its owner only)"}));
  const TlsFiles files = TlsFilesIn(dir.folder());
  EXPECT_EQ(files.ca, Stored("ca.pem"));
  EXPECT_EQ(files.cert, Stored("cert.pem"));
  EXPECT_EQ(files.key, Stored("key.pem"));
  EXPECT_EQ(QSslCertificate::fromPath(Stored("ca.pem")), QSslCertificate::fromPath(QString::fromStdString(tls.path("ca.pem"))));
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(Stored("key.pem")).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // A new CA alone leaves this PC's certificate as it was.
  ASSERT_EQ(Run({"--ca", "@other-ca.pem"}), ctl::kExitOk);
  EXPECT_EQ(Lines().at(0).rfind("CA: Stranger CA, valid until ", 0), 0u);
  EXPECT_EQ(Lines().at(1).rfind("This PC: zmr-console", 0), 0u);

  ASSERT_EQ(Run({"--clear"}), ctl::kExitOk);
  EXPECT_EQ(Lines(), nothing);
  EXPECT_FALSE(TlsFilesIn(dir.folder()).ca || TlsFilesIn(dir.folder()).cert || TlsFilesIn(dir.folder()).key);
}

TEST_F(ZmrctlTls, FilesThatDoNotFitAreRefusedAndNothingIsStored) {
  ASSERT_EQ(Run({"--ca", "@ca.pem", "--cert", "@console.pem", "--key", "@console.key"}), ctl::kExitOk);
  const QByteArray kept = [&] {
    QFile f(Stored("cert.pem"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  const std::string folder = tls.path("");
  struct Case {
    QStringList args;
    int status;
    std::string said;
  };
  const std::vector<Case> cases = {
      {{"--ca", "@other-ca.pem", "--cert", "@console.pem", "--key", "@stranger.key"}, ctl::kExitProjectRefused,
       "error: The key " + folder + "stranger.key does not belong to the certificate " + folder +
           "console.pem (zmr-console): nothing was stored.\n"},
      {{"--ca", "@console.key"}, ctl::kExitProjectRefused,
       "error: " + folder + "console.key holds no certificate (PEM or DER).\n"},
      {{"--cert", "@stranger.pem", "--key", "@locked.key"}, ctl::kExitProjectRefused,
       "error: " + folder + "locked.key is protected by a passphrase, which the unattended job cannot type. Store "
       "the key without one: openssl pkey -in " + folder + "locked.key -out key.pem\n"},
      {{"--cert", "@stranger.pem", "--key", "@ca.pem"}, ctl::kExitProjectRefused,
       "error: " + folder + "ca.pem holds no private key (PEM or DER).\n"},
      {{"--ca", "@missing.pem"}, ctl::kExitProjectRefused,
       "error: " + folder + "missing.pem cannot be read: File not found.\n"},
      {{"--cert", "@stranger.pem"}, ctl::kExitUsage, "zmrctl: tls --cert and --key come together\n"},
      {{"--clear", "--ca", "@ca.pem"}, ctl::kExitUsage, "zmrctl: tls takes --clear or files to set, not both\n"},
      {{"ca.pem"}, ctl::kExitUsage, "zmrctl: tls takes no operands, only --ca, --cert, --key or --clear\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.args), c.status) << c.said;
    EXPECT_EQ(err.str(), c.said);
    EXPECT_EQ(QSslCertificate::fromPath(Stored("ca.pem")).front().subjectInfo(QSslCertificate::CommonName),
              QStringList{"Test School CA"})
        << c.said;
    QFile f(Stored("cert.pem"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), kept) << c.said;
  }
}

}  // namespace
}  // namespace zmr
