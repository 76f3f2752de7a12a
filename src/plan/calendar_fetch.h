#pragma once
// Fetching a calendar from a web address: one GET under one bound of time and size, with
// the validators of the copy already kept so an unchanged calendar costs a 304. Works on
// any thread: the GUI thread keeps repainting (its input waits) and a worker thread needs
// no event loop of its own; each fetch runs a local one until its answer or its deadline.
#include <QByteArray>
#include <QString>
#include <QUrl>
#include <chrono>

namespace zmr {

inline constexpr qint64 kMiB = 1024 * 1024;

struct FetchLimits {
  std::chrono::milliseconds deadline{10'000};  // everything: name, connection, redirects, body
  qint64 max_bytes = 16 * kMiB;
  int max_redirects = 5;
};

// What a server said of a calendar's version, sent back to ask "has it changed?".
struct Validators {
  QByteArray etag;           // If-None-Match
  QByteArray last_modified;  // If-Modified-Since
};

enum class FetchCause {
  TimedOut,
  TooLarge,
  TooManyRedirects,
  InsecureRedirect,  // https sent on to http
  HttpStatus,        // detail: "404 Not Found"
  Refused,
  UnknownHost,       // detail: the host
  Secure,            // the TLS handshake failed; detail: why
  Network,           // anything else; detail: the system's words
};

struct FetchFailure {
  FetchCause cause = FetchCause::Network;
  QString detail;
};

// "it took longer than 10 s", "the server answered 404 Not Found"
QString FetchFailureText(const FetchFailure& failure, const FetchLimits& limits);

struct FetchAnswer {
  enum class Outcome { Fetched, NotModified, Failed };
  Outcome outcome = Outcome::Failed;
  QByteArray body;        // Fetched only
  Validators validators;  // as the answer gave them (Fetched and NotModified)
  FetchFailure failure;   // Failed only
};

// GETs address (http or https). A 304 is NotModified only when validators were sent;
// its body, if any, is not read.
FetchAnswer FetchCalendar(const QUrl& address, const Validators& known, const FetchLimits& limits);

}  // namespace zmr
