#include "support/local_http_server.h"

#include <QFile>
#include <QMetaObject>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <mutex>
#include <stdexcept>

namespace zmr::testing {
namespace {

constexpr int kOpensslWaitMs = 30'000;

std::optional<LocalHttpServer::Request> Parse(const QByteArray& head) {
  const QList<QByteArray> lines = head.split('\n');
  const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
  if (first.size() < 2) return std::nullopt;
  LocalHttpServer::Request request{first[0], first[1], {}};
  for (const QByteArray& line : lines.mid(1)) {
    const qsizetype colon = line.indexOf(':');
    if (colon > 0) request.headers[line.left(colon).trimmed().toLower()] = line.mid(colon + 1).trimmed();
  }
  return request;
}

QByteArray Head(const LocalHttpServer::Answer& a) {
  QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + ' ' + a.reason + "\r\nConnection: close\r\n";
  if (a.announce_length) head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
  for (const auto& [name, value] : a.headers) head += name + ": " + value + "\r\n";
  return head + "\r\n";
}

}  // namespace

// Everything of the server lives in its thread; the test's thread only reads the record.
class LocalHttpServer::Worker {
 public:
  Worker(Handler handler, std::optional<Tls> tls) : handler_(std::move(handler)) {
    context_.moveToThread(&thread_);
    thread_.start();
    QString failure;
    QMetaObject::invokeMethod(&context_, [&] { failure = listen(tls); }, Qt::BlockingQueuedConnection);
    if (!failure.isEmpty()) {
      stop();
      throw std::runtime_error(failure.toStdString());
    }
  }
  ~Worker() { stop(); }
  quint16 port() const { return port_; }
  std::vector<Request> requests() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }
  void answerWith(Handler handler) {
    const std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(handler);
  }

 private:
  // Ends the server in its thread, then the thread; the context comes back to this one.
  void stop() {
    if (!thread_.isRunning()) return;
    QThread* here = QThread::currentThread();
    QMetaObject::invokeMethod(
        &context_,
        [this, here] {
          server_.reset();
          context_.moveToThread(here);
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
  }

  // Empty when listening, else why not.
  QString listen(const std::optional<Tls>& tls) {
    if (tls) {
      auto server = std::make_unique<QSslServer>();
      QSslConfiguration config = QSslConfiguration::defaultConfiguration();
      QFile certificate(tls->certificate_file), key(tls->key_file);
      if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly)) return QStringLiteral("no certificate");
      config.setLocalCertificate(QSslCertificate(&certificate, QSsl::Pem));
      config.setPrivateKey(QSslKey(&key, QSsl::Rsa, QSsl::Pem));
      config.setPeerVerifyMode(QSslSocket::VerifyNone);
      server->setSslConfiguration(config);
      server_ = std::move(server);
    } else {
      server_ = std::make_unique<QTcpServer>();
    }
    QObject::connect(server_.get(), &QTcpServer::pendingConnectionAvailable, server_.get(), [this] {
      while (server_->hasPendingConnections()) serve(server_->nextPendingConnection());
    });
    if (!server_->listen(QHostAddress::LocalHost)) return server_->errorString();
    port_ = server_->serverPort();
    return {};
  }

  void serve(QTcpSocket* socket) {
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
      *buffer += socket->readAll();
      const qsizetype end = buffer->indexOf("\r\n\r\n");
      if (end < 0) return;
      const std::optional<Request> request = Parse(buffer->left(end));
      buffer->clear();
      if (!request) return;
      Handler handler;
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(*request);
        requests_.back().answered_before = answers_;
        handler = handler_;
      }
      const Answer answer = handler(*request);
      if (answer.silent) return;
      const auto send = [this, socket, answer] {
        {
          const std::lock_guard<std::mutex> lock(mutex_);
          ++answers_;
        }
        socket->write(Head(answer));
        socket->write(answer.body);
        socket->disconnectFromHost();  // after what is written is sent
      };
      if (answer.delay.count() > 0) {
        QTimer::singleShot(answer.delay, socket, send);
      } else {
        send();
      }
    });
  }

  Handler handler_;
  QThread thread_;
  QObject context_;  // moved to the thread: the server's calls run there
  std::unique_ptr<QTcpServer> server_;
  quint16 port_ = 0;
  mutable std::mutex mutex_;
  std::vector<Request> requests_;
  int answers_ = 0;
};

QByteArray LocalHttpServer::Request::header(const QByteArray& name) const {
  const auto at = headers.find(name.toLower());
  return at == headers.end() ? QByteArray() : at->second;
}

LocalHttpServer::LocalHttpServer(Handler handler, std::optional<Tls> tls)
    : worker_(std::make_unique<Worker>(std::move(handler), std::move(tls))) {}

LocalHttpServer::~LocalHttpServer() = default;

QString LocalHttpServer::address(const QString& path, const QString& scheme) const {
  return QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(worker_->port()).arg(path);
}

std::vector<LocalHttpServer::Request> LocalHttpServer::requests() const { return worker_->requests(); }

void LocalHttpServer::answerWith(Handler handler) { worker_->answerWith(std::move(handler)); }

LocalHttpServer::Handler LocalHttpServer::Always(Answer answer) {
  return [answer](const Request&) { return answer; };
}

LocalHttpServer::Answer LocalHttpServer::Redirect(const QString& to) {
  Answer answer;
  answer.status = 302;
  answer.reason = "Found";
  answer.headers = {{"Location", to.toUtf8()}};
  return answer;
}

LocalHttpServer::Tls MakeLocalCertificate(const QString& folder) {
  const LocalHttpServer::Tls tls{folder + QStringLiteral("/cert.pem"), folder + QStringLiteral("/key.pem")};
  QProcess openssl;
  openssl.start(QStringLiteral("openssl"),
                QStringList{"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
                            "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", tls.key_file, "-out",
                            tls.certificate_file});
  if (!openssl.waitForFinished(kOpensslWaitMs) || openssl.exitCode() != 0) {
    throw std::runtime_error("openssl made no certificate: " + openssl.readAllStandardError().toStdString());
  }
  return tls;
}

}  // namespace zmr::testing
