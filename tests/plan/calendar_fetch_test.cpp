// Calendars from web addresses: one fetch under its bounds against a real local server,
// the copy kept and used when a fetch fails, and fetches from a worker thread and over TLS.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QThread>
#include <QTimer>
#include <sys/stat.h>
#include <set>
#include <thread>

#include "plan/calendar_fetch.h"
#include "plan/calendar_loading.h"
#include "plan/holiday_calendar.h"
#include "plan/kept_calendar.h"
#include "support/local_http_server.h"
#include "support/qt_core_environment.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;
using namespace std::chrono_literals;
using Answer = LocalHttpServer::Answer;

QByteArray Calendar(const QByteArray& events) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//school//terms//EN\r\n" + events + "END:VCALENDAR\r\n";
}
QByteArray Event(const QByteArray& summary, const QByteArray& first, const QByteArray& after_last) {
  return "BEGIN:VEVENT\r\nUID:" + first + "@school\r\nSUMMARY:" + summary + "\r\nDTSTART;VALUE=DATE:" + first +
         "\r\nDTEND;VALUE=DATE:" + after_last + "\r\nEND:VEVENT\r\n";
}
const QByteArray kTerms = Calendar(Event("Half term", "20261026", "20261031"));
const QByteArray kTermsLater =
    Calendar(Event("Half term", "20261026", "20261031") + Event("Christmas holidays", "20261221", "20270104"));

Answer Ok(const QByteArray& body, const QByteArray& etag = {}) {
  Answer a;
  a.body = body;
  if (!etag.isEmpty()) a.headers = {{"ETag", etag}, {"Last-Modified", "Fri, 23 Oct 2026 06:00:00 GMT"}};
  return a;
}
Answer Status(int status, const QByteArray& reason) {
  Answer a;
  a.status = status;
  a.reason = reason;
  a.body = "<html>" + reason + "</html>";
  return a;
}

QString Outcome(const FetchAnswer& a, const FetchLimits& limits) {
  switch (a.outcome) {
    case FetchAnswer::Outcome::Fetched: return QStringLiteral("fetched %1 bytes").arg(a.body.size());
    case FetchAnswer::Outcome::NotModified: return QStringLiteral("not modified");
    case FetchAnswer::Outcome::Failed: break;
  }
  return FetchFailureText(a.failure, limits);
}

TEST(CalendarFetch, OneGetUnderItsBounds) {
  const FetchLimits usual;
  FetchLimits quick;
  quick.deadline = 300ms;
  FetchLimits small;
  small.max_bytes = 1000;
  Answer late = Ok(kTerms);
  late.delay = 2s;
  Answer silent;
  silent.silent = true;
  Answer announced_large = Ok(QByteArray(100, 'x'));
  announced_large.headers = {{"Content-Length", QByteArray::number(17 * kMiB)}};
  announced_large.announce_length = false;
  Answer endless = Ok(QByteArray(2000, 'x'));
  endless.announce_length = false;
  Answer not_modified = Status(304, "Not Modified");
  not_modified.body.clear();
  not_modified.headers = {{"ETag", "\"v2\""}};

  struct Case {
    const char* what;
    LocalHttpServer::Handler handler;
    Validators known;
    FetchLimits limits;
    QString outcome;
    std::size_t paths;  // addresses asked (Qt may ask one again on a connection the server closed)
  } cases[] = {
      {"a calendar", LocalHttpServer::Always(Ok(kTerms, "\"v1\"")), {}, usual,
       QStringLiteral("fetched %1 bytes").arg(kTerms.size()), 1},
      {"not found", LocalHttpServer::Always(Status(404, "Not Found")), {}, usual, "the server answered 404 Not Found", 1},
      {"a server fault", LocalHttpServer::Always(Status(503, "Service Unavailable")), {}, usual,
       "the server answered 503 Service Unavailable", 1},
      {"too late", LocalHttpServer::Always(late), {}, quick, "it took longer than 0.3 s", 1},
      {"no answer at all", LocalHttpServer::Always(silent), {}, quick, "it took longer than 0.3 s", 1},
      {"announced larger than 16 MiB", LocalHttpServer::Always(announced_large), {}, usual, "it is larger than 16 MiB", 1},
      {"larger than allowed, without a length", LocalHttpServer::Always(endless), {}, small, "it is larger than 0 MiB", 1},
      {"unchanged since the copy", LocalHttpServer::Always(not_modified), {"\"v1\"", {}}, usual, "not modified", 1},
      {"a 304 to a plain request", LocalHttpServer::Always(not_modified), {}, usual, "the server answered 304 Not Modified", 1},
      {"redirected once", [](const LocalHttpServer::Request& r) {
         return r.path == "/old" ? LocalHttpServer::Redirect("/terms.ics") : Ok(kTerms);
       }, {}, usual, QStringLiteral("fetched %1 bytes").arg(kTerms.size()), 2},
      {"redirected on and on", [](const LocalHttpServer::Request& r) { return LocalHttpServer::Redirect(r.path + "/on"); },
       {}, usual, "it was redirected more than 5 times", 6},
  };
  for (const Case& c : cases) {
    const LocalHttpServer server(c.handler);
    const FetchAnswer a = FetchCalendar(QUrl(server.address("/old")), c.known, c.limits);
    EXPECT_EQ(Outcome(a, c.limits), c.outcome) << c.what;
    std::set<QByteArray> paths;
    for (const LocalHttpServer::Request& r : server.requests()) paths.insert(r.path);
    EXPECT_EQ(paths.size(), c.paths) << c.what;
  }

  // What the copy's validators ask, and what the answer's give.
  const LocalHttpServer server(LocalHttpServer::Always(Ok(kTerms, "\"v1\"")));
  const FetchAnswer a = FetchCalendar(QUrl(server.address("/terms.ics")), {"\"v0\"", "Thu, 22 Oct 2026 06:00:00 GMT"}, usual);
  EXPECT_EQ(a.body, kTerms);
  EXPECT_EQ(a.validators.etag, "\"v1\"");
  EXPECT_EQ(a.validators.last_modified, "Fri, 23 Oct 2026 06:00:00 GMT");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].header("If-None-Match"), "\"v0\"");
  EXPECT_EQ(server.requests()[0].header("If-Modified-Since"), "Thu, 22 Oct 2026 06:00:00 GMT");

  // Nobody listening.
  QString closed;
  {
    const LocalHttpServer gone(LocalHttpServer::Always(Ok(kTerms)));
    closed = gone.address("/terms.ics");
  }
  EXPECT_EQ(Outcome(FetchCalendar(QUrl(closed), {}, usual), usual), "the connection was refused");
}

// Behind a proxy named as Linux programs take it, the calendar comes through it; this
// PC's own addresses are reached directly all the same.
TEST(CalendarFetch, AProxyInTheEnvironmentCarriesTheFetch) {
  const LocalHttpServer proxy(LocalHttpServer::Always(Ok(kTerms)));
  const LocalHttpServer here(LocalHttpServer::Always(Ok(kTerms)));
  setenv("http_proxy", proxy.address({}).toLocal8Bit().constData(), 1);
  struct Unset {
    ~Unset() { unsetenv("http_proxy"); }
  } unset;
  const FetchLimits usual;
  EXPECT_EQ(FetchCalendar(QUrl("http://calendar.school.invalid/terms.ics"), {}, usual).body, kTerms);
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].path, "http://calendar.school.invalid/terms.ics");
  EXPECT_EQ(FetchCalendar(QUrl(here.address("/terms.ics")), {}, usual).body, kTerms);
  EXPECT_EQ(proxy.requests().size(), 1u);
  ASSERT_EQ(here.requests().size(), 1u);
  EXPECT_EQ(here.requests()[0].path, "/terms.ics");
}

TEST(CalendarFetch, WordsAddressesAndAges) {
  const struct {
    const char* source;
    bool web;
    const char* fetched_from;
    const char* problem;
  } sources[] = {
      {"terms.ics", false, "", ""},
      {"/srv/shared/terms.ics", false, "", ""},
      {"https://school.example/terms.ics", true, "https://school.example/terms.ics", ""},
      {"HTTP://school.example/t.ics", true, "http://school.example/t.ics", ""},
      {"webcal://school.example/feed?id=7", true, "https://school.example/feed?id=7", ""},
      {"https:///terms.ics", true, "https:///terms.ics", "it names no host"},
      {"ftp://school.example/terms.ics", false, "", ""},
  };
  for (const auto& s : sources) {
    EXPECT_EQ(IsWebCalendar(s.source), s.web) << s.source;
    if (!s.web) continue;
    EXPECT_EQ(FetchAddress(s.source).toString(), s.fetched_from) << s.source;
    EXPECT_EQ(WebAddressProblem(s.source), s.problem) << s.source;
  }

  const struct {
    const char* summary;
    QStringList only;
    bool counts;
  } events[] = {
      {"Pupils return", {}, true},           {"Half Term", {"half term", "inset"}, true},
      {"INSET day", {"half term", "inset"}, true}, {"Pupils return", {"half term", "inset"}, false},
      {"", {"holiday"}, false},
  };
  for (const auto& e : events) EXPECT_EQ(EventCounts(e.summary, e.only), e.counts) << e.summary;

  const QDateTime checked(QDate(2026, 10, 20), QTime(7, 0), Qt::UTC);
  const struct {
    qint64 later_secs;
    const char* age;
  } ages[] = {{-60, "0 minutes"}, {60, "1 minute"}, {119 * 60, "119 minutes"}, {2 * 3600, "2 hours"},
              {47 * 3600, "47 hours"}, {48 * 3600, "2 days"}, {30 * 86400 + 5, "30 days"}};
  for (const auto& a : ages) EXPECT_EQ(CopyAge(checked, checked.addSecs(a.later_secs)), a.age) << a.later_secs;
}

// The server's calendar along a school's weeks: kept, confirmed, missed, spoilt, changed.
TEST(CalendarFetch, TheLastGoodCopyStandsInWhenAFetchFails) {
  TempDir state;
  LocalHttpServer server(LocalHttpServer::Always(Ok(kTerms, "\"v1\"")));
  const QString address = server.address("/terms.ics");
  YearPlan plan;
  plan.path = state.file("north.toml");
  CalendarAccess access;
  access.state_folder = state.file("state");
  access.now = QDateTime(QDate(2026, 10, 20), QTime(5, 0), Qt::UTC);
  const QDate horizon(2028, 9, 1);
  const QString kept_at = access.now.toLocalTime().toString("yyyy-MM-dd HH:mm");
  const auto days = [](const LoadedCalendar& c) {
    QStringList d;
    for (const HolidaySpan& s : c.spans) d << s.summary + ' ' + s.first.toString(Qt::ISODate) + ".." + s.last.toString(Qt::ISODate);
    return d;
  };
  const QStringList half_term{"Half term 2026-10-26..2026-10-30"};

  LoadedCalendar first = LoadCalendar(plan, address, horizon, access);
  EXPECT_EQ(days(first), half_term);
  EXPECT_TRUE(first.warnings.isEmpty() && first.ok());
  ASSERT_TRUE(QFile::exists(KeptCalendarFile(access.state_folder, QUrl(address))));

  // Unchanged: the server says so, no body travels, the copy's age starts again.
  server.answerWith([](const LocalHttpServer::Request& r) {
    Answer a = Status(304, "Not Modified");
    a.body.clear();
    return r.header("If-None-Match") == "\"v1\"" ? a : Ok("not asked as it should be");
  });
  access.now = access.now.addDays(1);
  const QString confirmed_at = access.now.toLocalTime().toString("yyyy-MM-dd HH:mm");
  EXPECT_EQ(days(LoadCalendar(plan, address, horizon, access)), half_term);
  EXPECT_EQ(ReadKeptCalendar(access.state_folder, QUrl(address))->checked, access.now);

  struct Step {
    const char* what;
    Answer answer;
    QStringList days, warnings;
  } steps[] = {
      {"the server fails", Status(500, "Internal Server Error"), half_term,
       {QStringLiteral("calendar '%1' could not be fetched (the server answered 500 Internal Server Error); the copy "
                       "kept from %2 (2 days old) is used")
            .arg(address, confirmed_at)}},
      {"the server gives a page that is no calendar", Ok("<html>maintenance</html>", "\"m\""), half_term,
       {QStringLiteral("calendar '%1' as fetched now is refused: it holds no VCALENDAR").arg(address),
        QStringLiteral("calendar '%1' as fetched now is refused; the copy kept from %2 (4 days old) is used")
            .arg(address, confirmed_at)}},
      {"a new version", Ok(kTermsLater, "\"v2\""), half_term + QStringList{"Christmas holidays 2026-12-21..2027-01-03"},
       {}},
  };
  for (Step& step : steps) {
    server.answerWith(LocalHttpServer::Always(step.answer));
    access.now = access.now.addDays(2);
    const LoadedCalendar loaded = LoadCalendar(plan, address, horizon, access);
    EXPECT_TRUE(loaded.ok()) << step.what;
    EXPECT_EQ(days(loaded), step.days) << step.what;
    EXPECT_EQ(loaded.warnings, step.warnings) << step.what;
  }
  EXPECT_EQ(ReadKeptCalendar(access.state_folder, QUrl(address))->validators.etag, "\"v2\"");

  // While the window edits, a kept copy is read without asking the server.
  const std::size_t asked = server.requests().size();
  access.fetch_again = false;
  EXPECT_EQ(LoadCalendar(plan, address, horizon, access).spans.size(), 2u);
  EXPECT_EQ(server.requests().size(), asked);
  access.fetch_again = true;

  // Nothing kept and nothing fetched: refused, as a file that is not there. A kept file
  // that is not a copy of this address (spoilt, or another's) counts as nothing kept.
  server.answerWith(LocalHttpServer::Always(Status(404, "Not Found")));
  const QString no_copy =
      QStringLiteral("calendar '%1' could not be fetched (the server answered 404 Not Found), and no copy of it is kept")
          .arg(address);
  QFile spoilt(KeptCalendarFile(access.state_folder, QUrl(address)));
  ASSERT_TRUE(spoilt.open(QIODevice::WriteOnly | QIODevice::Truncate));
  spoilt.write("zmr-console kept calendar 1\naddress: http://elsewhere.example/terms.ics\nchecked: 2026-10-20T05:00:00Z\n\n" + kTerms);
  spoilt.close();
  EXPECT_EQ(LoadCalendar(plan, address, horizon, access).faults, QStringList{no_copy});
  access.state_folder = state.file("empty-state");
  EXPECT_EQ(LoadCalendar(plan, address, horizon, access).faults, QStringList{no_copy});
  EXPECT_EQ(LoadCalendar(plan, "https:///terms.ics", horizon, access).faults,
            QStringList{"calendar 'https:///terms.ics' cannot be fetched: it names no host"});
  // Larger than the reader takes (8 MiB), within what is fetched (16 MiB): refused as a file would be.
  server.answerWith(LocalHttpServer::Always(Ok(QByteArray(9 * kMiB, 'x'))));
  EXPECT_EQ(LoadCalendar(plan, address, horizon, access).faults,
            QStringList{QStringLiteral("calendar '%1' is too large to be a calendar").arg(address)});

  // A state folder that takes no copy: the calendar fetched now is used all the same.
  server.answerWith(LocalHttpServer::Always(Ok(kTerms)));
  QDir().mkpath(state.file("locked"));
  ::chmod(state.file("locked").toLocal8Bit().constData(), 0500);
  access.state_folder = state.file("locked/state");
  const LoadedCalendar unkept = LoadCalendar(plan, address, horizon, access);
  ::chmod(state.file("locked").toLocal8Bit().constData(), 0700);
  EXPECT_EQ(days(unkept), half_term);
  if (::geteuid() != 0) {  // root writes anywhere
    EXPECT_EQ(unkept.warnings,
              QStringList{QStringLiteral("calendar '%1': no copy of it can be kept in %2: File access denied.")
                              .arg(address, access.state_folder)});
  }
}

// upkeep fetches in worker threads without an event loop of their own; webcal:// is https.
TEST(CalendarFetch, FromWorkerThreadsAndOverTls) {
  const LocalHttpServer plain(LocalHttpServer::Always(Ok(kTerms)));
  std::vector<QString> outcomes(2);
  std::unique_ptr<QThread> worker(QThread::create([&] { outcomes[0] = Outcome(FetchCalendar(QUrl(plain.address("/t")), {}, {}), {}); }));
  worker->start();
  std::thread bare([&] { outcomes[1] = Outcome(FetchCalendar(QUrl(plain.address("/t")), {}, {}), {}); });
  bare.join();
  worker->wait();
  const QString fetched = QStringLiteral("fetched %1 bytes").arg(kTerms.size());
  EXPECT_EQ(outcomes, (std::vector<QString>{fetched, fetched}));

  TempDir keys;
  const LocalHttpServer::Tls tls = MakeLocalCertificate(keys.folder());
  const LocalHttpServer secure(LocalHttpServer::Always(Ok(kTerms)), tls);
  const QString webcal = secure.address("/terms.ics", "webcal");
  const FetchLimits usual;
  const QString untrusted = Outcome(FetchCalendar(FetchAddress(webcal), {}, usual), usual);
  EXPECT_TRUE(untrusted.startsWith("the secure connection failed: ")) << untrusted.toStdString();

  QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
  const QSslConfiguration before = trusting;
  trusting.addCaCertificates(tls.certificate_file);
  QSslConfiguration::setDefaultConfiguration(trusting);
  EXPECT_EQ(Outcome(FetchCalendar(FetchAddress(webcal), {}, usual), usual), fetched);
  // A secure address is never sent on to a plain one.
  const LocalHttpServer downgrading(LocalHttpServer::Always(LocalHttpServer::Redirect(plain.address("/t"))), tls);
  EXPECT_EQ(Outcome(FetchCalendar(QUrl(downgrading.address("/t", "https")), {}, usual), usual),
            "it was redirected from https to http");
  QSslConfiguration::setDefaultConfiguration(before);
  EXPECT_EQ(secure.requests().size(), 1u) << "the untrusted handshake never reached a request";
}

}  // namespace
}  // namespace zmr
