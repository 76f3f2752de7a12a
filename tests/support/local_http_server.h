#pragma once
// A small HTTP/1.1 server on 127.0.0.1 (optionally over TLS) in a thread of its own, so a
// fetch may block any thread of the test, the main one included. Each request is recorded
// and answered by the test's handler: a status, headers and a body, late, cut, endless or
// not at all. One request per connection (Connection: close).
#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zmr::testing {

class LocalHttpServer {
 public:
  struct Request {
    QByteArray method;
    QByteArray path;
    std::map<QByteArray, QByteArray> headers;  // names in lower case
    int answered_before = 0;                   // answers the server had sent when it came
    QByteArray header(const QByteArray& name) const;
  };
  struct Answer {
    int status = 200;
    QByteArray reason = "OK";
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    std::chrono::milliseconds delay{0};  // before the answer starts
    bool announce_length = true;         // false: the body ends where the connection does
    bool silent = false;                 // never answers
  };
  using Handler = std::function<Answer(const Request&)>;
  // A PEM certificate and its key: the server speaks TLS.
  struct Tls {
    QString certificate_file;
    QString key_file;
  };

  explicit LocalHttpServer(Handler handler, std::optional<Tls> tls = std::nullopt);
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  // "http://127.0.0.1:PORT/terms.ics" (path with its slash)
  QString address(const QString& path, const QString& scheme = QStringLiteral("http")) const;
  std::vector<Request> requests() const;
  // From now on requests are answered by this handler.
  void answerWith(Handler handler);
  // Handlers that answer one way every time.
  static Handler Always(Answer answer);
  static Answer Redirect(const QString& to);

  class Worker;

 private:
  std::unique_ptr<Worker> worker_;
};

// A certificate for 127.0.0.1 made by openssl in folder (cert.pem, key.pem).
LocalHttpServer::Tls MakeLocalCertificate(const QString& folder);

}  // namespace zmr::testing
