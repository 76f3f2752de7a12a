#include "plan/calendar_fetch.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

namespace zmr {
namespace {

constexpr int kHttpOk = 200;
constexpr int kHttpNotModified = 304;
constexpr int kFirstRedirect = 300;

int StatusOf(const QNetworkReply& reply) {
  return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

QString StatusText(const QNetworkReply& reply) {
  const QString phrase = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
  const QString code = QString::number(StatusOf(reply));
  return phrase.isEmpty() ? code : code + u' ' + phrase;
}

Validators ValidatorsOf(const QNetworkReply& reply) {
  return {reply.rawHeader("ETag"), reply.rawHeader("Last-Modified")};
}

FetchFailure FailureOf(const QNetworkReply& reply, const QUrl& address) {
  switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError: return {FetchCause::Refused, {}};
    case QNetworkReply::HostNotFoundError: return {FetchCause::UnknownHost, address.host()};
    case QNetworkReply::TimeoutError: return {FetchCause::TimedOut, {}};
    case QNetworkReply::SslHandshakeFailedError: return {FetchCause::Secure, reply.errorString()};
    case QNetworkReply::TooManyRedirectsError: return {FetchCause::TooManyRedirects, {}};
    case QNetworkReply::InsecureRedirectError: return {FetchCause::InsecureRedirect, {}};
    default: break;
  }
  if (StatusOf(reply) >= kFirstRedirect) return {FetchCause::HttpStatus, StatusText(reply)};
  return {FetchCause::Network, reply.errorString()};
}

// A school that reaches the web only through a proxy names it as Linux programs take it
// (http_proxy, https_proxy, no_proxy; under systemd: Environment= in the unit). This PC's
// own addresses never go through one.
class EnvironmentProxies : public QNetworkProxyFactory {
 public:
  QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
    const QString host = query.peerHostName();
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback()) {
      return {QNetworkProxy::NoProxy};
    }
    return systemProxyForQuery(query);
  }
};

// One GET and what it came to; lives on the stack of the thread that fetches.
class Fetch {
 public:
  Fetch(const QUrl& address, const Validators& known, const FetchLimits& limits)
      : address_(address), limits_(limits), conditional_(!known.etag.isEmpty() || !known.last_modified.isEmpty()) {
    manager_.setProxyFactory(new EnvironmentProxies);  // the manager owns it
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkRequest request(address);
    request.setMaximumRedirectsAllowed(limits.max_redirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("zmr-console"));
    if (!known.etag.isEmpty()) request.setRawHeader("If-None-Match", known.etag);
    if (!known.last_modified.isEmpty()) request.setRawHeader("If-Modified-Since", known.last_modified);
    reply_.reset(manager_.get(request));
  }

  FetchAnswer run() {
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [this] { stop(Stop::TimedOut); });
    QObject::connect(reply_.get(), &QNetworkReply::metaDataChanged, [this] { answered(); });
    QObject::connect(reply_.get(), &QNetworkReply::readyRead, [this] { take(); });
    QObject::connect(reply_.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(limits_.deadline);
    // Repaints and timers go on meanwhile; the person's clicks and keys wait for the answer.
    if (!reply_->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    return answer();
  }

 private:
  enum class Stop { No, TimedOut, TooLarge, Status };

  void stop(Stop why) {
    if (stop_ != Stop::No) return;
    stop_ = why;
    reply_->abort();
  }

  // The status line and headers of the final answer (redirects are followed before it).
  void answered() {
    status_ = StatusOf(*reply_);
    if (status_ == kHttpOk) {
      const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
      if (length.isValid() && length.toLongLong() > limits_.max_bytes) stop(Stop::TooLarge);
    }
  }

  // A calendar is taken up to the bound; any other answer's body is passed over unkept.
  void take() {
    if (stop_ != Stop::No) return;
    if (status_ == kHttpOk) {
      body_ += reply_->read(limits_.max_bytes + 1 - body_.size());
      if (body_.size() > limits_.max_bytes) stop(Stop::TooLarge);
      return;
    }
    passed_over_ += reply_->skip(reply_->bytesAvailable());
    if (passed_over_ > limits_.max_bytes) stop(Stop::Status);
  }

  FetchAnswer answer() {
    FetchAnswer a;
    switch (stop_) {
      case Stop::TimedOut: a.failure = {FetchCause::TimedOut, {}}; return a;
      case Stop::TooLarge: a.failure = {FetchCause::TooLarge, {}}; return a;
      case Stop::Status: a.failure = {FetchCause::HttpStatus, StatusText(*reply_)}; return a;
      case Stop::No: break;
    }
    status_ = StatusOf(*reply_);  // as it finished, whether or not its headers were seen
    if (status_ == kHttpNotModified && conditional_) {
      a.outcome = FetchAnswer::Outcome::NotModified;  // the copy kept is the calendar
      a.validators = ValidatorsOf(*reply_);
      return a;
    }
    if (reply_->error() != QNetworkReply::NoError || status_ != kHttpOk) {
      a.failure = FailureOf(*reply_, address_);
      return a;
    }
    take();
    if (stop_ == Stop::TooLarge) {
      a.failure = {FetchCause::TooLarge, {}};
      return a;
    }
    a.outcome = FetchAnswer::Outcome::Fetched;
    a.body = std::move(body_);
    a.validators = ValidatorsOf(*reply_);
    return a;
  }

  QUrl address_;
  FetchLimits limits_;
  bool conditional_;
  QNetworkAccessManager manager_;
  std::unique_ptr<QNetworkReply> reply_;  // before the manager goes
  Stop stop_ = Stop::No;
  int status_ = 0;
  QByteArray body_;
  qint64 passed_over_ = 0;
};

}  // namespace

QString FetchFailureText(const FetchFailure& failure, const FetchLimits& limits) {
  switch (failure.cause) {
    case FetchCause::TimedOut:
      return QStringLiteral("it took longer than %1 s")
          .arg(std::chrono::duration_cast<std::chrono::duration<double>>(limits.deadline).count());
    case FetchCause::TooLarge: return QStringLiteral("it is larger than %1 MiB").arg(limits.max_bytes / kMiB);
    case FetchCause::TooManyRedirects:
      return QStringLiteral("it was redirected more than %1 times").arg(limits.max_redirects);
    case FetchCause::InsecureRedirect: return QStringLiteral("it was redirected from https to http");
    case FetchCause::HttpStatus: return QStringLiteral("the server answered %1").arg(failure.detail);
    case FetchCause::Refused: return QStringLiteral("the connection was refused");
    case FetchCause::UnknownHost: return QStringLiteral("the host %1 is not known").arg(failure.detail);
    case FetchCause::Secure: return QStringLiteral("the secure connection failed: %1").arg(failure.detail);
    case FetchCause::Network: return failure.detail;
  }
  return failure.detail;
}

FetchAnswer FetchCalendar(const QUrl& address, const Validators& known, const FetchLimits& limits) {
  Fetch fetch(address, known, limits);
  return fetch.run();
}

}  // namespace zmr
