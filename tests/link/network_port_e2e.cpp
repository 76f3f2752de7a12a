// The timer across the network: zmrsim on a pseudo-terminal, ser2net bridging it to
// 127.0.0.1, and the console's own port, link, download and detection on the far side,
// one test body over every stack (direct, tcp, rfc2217 and their TLS forms); then the
// servers that refuse, turn away, speak the wrong way or misbehave.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <QDateTime>
#include <fstream>
#include <optional>
#include <sstream>

#include "base/clock.h"
#include "hardware/download.h"
#include "hardware/schedule_format.h"
#include "link/detect_port.h"
#include "link/network_address.h"
#include "link/network_port.h"
#include "link/port_error.h"
#include "link/port_lease.h"
#include "link/port_map.h"
#include "link/serial_port.h"
#include "link/timer_link.h"
#include "link/tls_files.h"
#include "project/settings.h"
#include "sim_timer.h"
#include "support/child_process.h"
#include "support/fake_clock.h"
#include "support/project_fixtures.h"
#include "support/qt_core_environment.h"
#include "support/quiet_download_view.h"
#include "support/recording_prompts.h"
#include "support/ser2net_process.h"
#include "support/temp_dir.h"
#include "support/tls_material.h"
#include "support/hostile_server.h"
#include "support/zmrctl_process.h"

namespace zmr {
namespace {

using namespace zmr::testing;
using Mode = Ser2netProcess::Mode;

const std::string kZmrsim = ZMR_BIN_DIR "/zmrsim";

class NoDetectView : public DetectView {
 public:
  void setDetectControlsEnabled(bool) override {}
  void selectPort(int n) override { selected = n; }
  int selected = 0;
};

// Stops the server once the download reached a given day.
class StopServerView : public QuietDownloadView {
 public:
  StopServerView(Ser2netProcess& server, int at_day) : server_(server), at_day_(at_day) {}
  void setProgress(int position, int) override {
    if (position == at_day_ && !stopped) {
      server_.stop();
      stopped = true;
    }
  }
  bool stopped = false;

 private:
  Ser2netProcess& server_;
  int at_day_;
};

// One way to the timer: straight on its line, or through ser2net with each of the
// layers telnet(rfc2217) and ssl(...) there or not. The TLS stacks ask for this PC's
// certificate (clientauth), which the settings folder holds.
struct Stack {
  const char* name;
  bool network;
  Mode mode;
  bool tls;
};
const Stack kDirect{"Direct", false, Mode::Raw, false};
const Stack kTcp{"Tcp", true, Mode::Raw, false};
const Stack kRfc2217{"Rfc2217", true, Mode::Rfc2217, false};
const Stack kTcpTls{"TcpTls", true, Mode::Raw, true};
const Stack kRfc2217Tls{"Rfc2217Tls", true, Mode::Rfc2217, true};
std::string StackName(const ::testing::TestParamInfo<Stack>& info) { return info.param.name; }

class TimerStack : public ::testing::TestWithParam<Stack> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Ser2netInstalled()) << "ser2net is missing; scripts/deps installs it";
    sim = std::make_unique<ZmrsimProcess>(kZmrsim, std::vector<std::string>{"--dump", dump_path()});
    if (!GetParam().network) {
      qputenv("ZMR_COM1", QByteArray::fromStdString(sim->device()));
      return;
    }
    std::optional<Ser2netTls> tls;
    if (GetParam().tls) {
      tls = SharedTlsMaterial().server();
      ASSERT_EQ(StoreTlsFiles(dir.folder(), SharedTlsMaterial().console()), "");
    }
    server = std::make_unique<Ser2netProcess>(sim->device(), GetParam().mode, tls);
    // COM1 leads across the network through the mapping file beside timer.ini.
    MapComPort(dir.folder(), 1, *ParseNetworkAddress(QString::fromStdString(server->address())).address);
  }
  void TearDown() override { qunsetenv("ZMR_COM1"); }

  std::string dump_path() const { return dir.file("dump.txt").toStdString(); }

  // The week zmrsim holds once it has stopped.
  std::string TimerWeek() {
    sim->stop();
    std::ifstream in(dump_path());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  DownloadResult Download(const ProjectSetup& project, DownloadView& view) {
    RecordingPrompts prompts;
    prompts.answers.push_back(BoxAnswer::No);  // do not activate
    DownloadContext context{link, prompts, view};
    ProjectState state;
    return DownloadSchedule(context, project, state, "COM1");
  }

  TempDir dir;
  ScopedPortMapFolder map_folder{dir.folder()};
  std::unique_ptr<ZmrsimProcess> sim;
  std::unique_ptr<Ser2netProcess> server;
  std::unique_ptr<SerialPort> port = MakePort();
  SystemClock clock;
  TimerLink link{*port, clock};
};

TEST_P(TimerStack, StatusAndAFullWeekThroughComOne) {
  {
    const PortLease lease(link, "COM1");
    link.LinkPreamble();
    ASSERT_TRUE(link.QueryStatus());
    EXPECT_EQ(link.unit_status[unit_status_at::kActivation], 0);
  }
  EXPECT_FALSE(port->isOpen());  // given back: other PCs may reach the timer meanwhile

  const auto project = FullWeekProject();
  QuietDownloadView view;
  EXPECT_EQ(Download(*project, view), DownloadResult::Completed);
  port->close();
  EXPECT_EQ(TimerWeek(), CompiledTimerWeek(*project));
}

TEST_P(TimerStack, DetectFindsTheTimerBehindComOne) {
  ProgramSettings settings;
  DefaultSettings(settings);
  settings.com_port = 4;
  RecordingPrompts prompts;
  NoDetectView view;
  EXPECT_EQ(DetectPort(link, settings, dir.folder(), prompts, view), 1);
  EXPECT_EQ(prompts.texts(), std::vector<QString>{"Timer has been found on Com 1"});
  EXPECT_EQ(view.selected, 1);
  EXPECT_EQ(settings.com_port, 1);
}

INSTANTIATE_TEST_SUITE_P(Stacks, TimerStack, ::testing::Values(kDirect, kTcp, kRfc2217, kTcpTls, kRfc2217Tls),
                         StackName);

// What only a server does: go away, come back, serve another client.
using NetworkTimer = TimerStack;

TEST_P(NetworkTimer, AServerStoppedMidDownloadFailsThatDownloadOnlyAndTheNextOneConnectsAfresh) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  for (int day = 1; day <= kDays; ++day)
    for (int s = 1; s <= 20; ++s) AddPulse(*project, day, s, 7 + day, s, 2);
  StopServerView stopping(*server, 3);
  try {
    Download(*project, stopping);
    ADD_FAILURE() << "the download went on without the server";
  } catch (const PortError& e) {
    // The next request sees the connection gone and connects afresh, which the stopped
    // server refuses; had the loss come to light only mid-request, it reads as lost.
    if (e.cause() == PortCause::Refused) {
      EXPECT_EQ(PortErrorHint(e, "anna", "dialout"),
                QString("Nothing accepts connections at 127.0.0.1 port %1. Check that ser2net or the device "
                        "server runs there and listens on that port.")
                    .arg(server->port()));
    } else {
      EXPECT_EQ(e.cause(), PortCause::Lost) << e.what();
      EXPECT_EQ(PortErrorHint(e, "anna", "dialout"),
                QString("The connection to 127.0.0.1 port %1 was lost. Check the network and that the server "
                        "still runs; the next request connects again.")
                    .arg(server->port()));
    }
  }
  EXPECT_TRUE(stopping.stopped);
  EXPECT_FALSE(port->isOpen());  // a dropped connection closes the port

  server->start();
  QuietDownloadView view;
  EXPECT_EQ(Download(*project, view), DownloadResult::Completed);
  port->close();
  EXPECT_EQ(TimerWeek(), CompiledTimerWeek(*project));
}

// Over TLS the raw socket holds the server's closing record, not data: still a lost
// device, reached afresh on the first request.
TEST_P(NetworkTimer, AServerRestartedWhileThePortSatIdleIsReachedOnTheFirstRequest) {
  const PortLease lease(link, "COM1");
  link.LinkPreamble();
  ASSERT_TRUE(link.QueryStatus());
  server->stop();
  server->start();
  ASSERT_TRUE(port->isOpen());  // nothing has noticed yet
  EXPECT_TRUE(link.QueryStatus());
}

// ser2net serves one client a port; the second hears why it is turned away, and upkeep
// takes that for a port held elsewhere, worth waiting for.
TEST_P(NetworkTimer, ASecondClientHearsThatTheServerIsInUse) {
  const PortLease first(link, "COM1");
  const auto second = MakePort();
  TimerLink other_pc(*second, clock);
  try {
    // The words come at once; the open hears them, or else the first request does.
    const PortLease turned_away(other_pc, "COM1");
    other_pc.QueryStatus();
    ADD_FAILURE() << "a second client was served";
  } catch (const PortError& e) {
    EXPECT_EQ(PortErrorText(e),
              QString("Unable to open com port (win error code: %1)\nAnother program or PC is connected to the "
                      "timer's server at 127.0.0.1 port %2, which serves one at a time. Try again when it is done.")
                  .arg(EBUSY)
                  .arg(server->port()));
    EXPECT_TRUE(e.busy());
  }
  EXPECT_FALSE(second->isOpen());
  ASSERT_TRUE(link.QueryStatus());  // the first is served as before
}

// ser2net now and then turns a second client away after its options without its words.
TEST(NetworkPortErrors, ATelnetServerThatClosesInTheMiddleOfTheOpenIsInUse) {
  HostileServer quiet(HostileServer::Kind::TurnAway);
  const auto port = MakePort();
  try {
    port->open(QString("rfc2217://127.0.0.1:%1").arg(quiet.port()));
    ADD_FAILURE() << "opened";
  } catch (const PortError& e) {
    EXPECT_EQ(PortErrorText(e),
              QString("Unable to open com port (win error code: %1)\nAnother program or PC is connected to the "
                      "timer's server at 127.0.0.1 port %2, which serves one at a time. Try again when it is done.")
                  .arg(EBUSY)
                  .arg(quiet.port()));
    EXPECT_TRUE(e.busy());
  }
}

INSTANTIATE_TEST_SUITE_P(Ser2net, NetworkTimer, ::testing::Values(kTcp, kRfc2217, kTcpTls, kRfc2217Tls), StackName);

// Whether this machine has IPv6 on its loopback (containers often have it off).
bool LoopbackIpv6() {
  const int fd = ::socket(AF_INET6, SOCK_STREAM, 0);
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  const bool ok = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  if (fd >= 0) ::close(fd);
  return ok;
}

TEST(NetworkPortErrors, RefusedUnknownAndMalformedAddressesGiveTheirTexts) {
  const int closed_port = FreeLoopbackPort();
  struct Case {
    std::string address;
    QString text;
  };
  const std::vector<Case> cases = {
      {"rfc2217://127.0.0.1:" + std::to_string(closed_port),
       QString("Unable to open com port (win error code: %1)\nNothing accepts connections at 127.0.0.1 port %2. "
               "Check that ser2net or the device server runs there and listens on that port.")
           .arg(ECONNREFUSED)
           .arg(closed_port)},
      {"tcp://[::1]:" + std::to_string(closed_port),
       QString("Unable to open com port (win error code: %1)\nNothing accepts connections at [::1] port %2. "
               "Check that ser2net or the device server runs there and listens on that port.")
           .arg(ECONNREFUSED)
           .arg(closed_port)},
      {"tcp://no-such-timer.invalid:4001",
       QString("Unable to open com port (win error code: %1)\nThe host name no-such-timer.invalid is not known. "
               "Check the spelling of the address and that this PC can look up names on the network (DNS).")
           .arg(ENXIO)},
      {"rfc2217+tls://no-such-timer.invalid:4001",
       QString("Unable to open com port (win error code: %1)\nThe host name no-such-timer.invalid is not known. "
               "Check the spelling of the address and that this PC can look up names on the network (DNS).")
           .arg(ENXIO)},
  };
  const auto tried = [&](const char* proxies) {
    for (const Case& c : cases) {
      if (c.address.find("[::1]") != std::string::npos && !LoopbackIpv6()) continue;
      const auto port = MakePort();
      try {
        port->open(QString::fromStdString(c.address));
        ADD_FAILURE() << c.address << " opened" << proxies;
      } catch (const PortError& e) {
        EXPECT_EQ(PortErrorText(e), c.text) << c.address << proxies;
      }
      EXPECT_FALSE(port->isOpen()) << c.address << proxies;
    }
  };
  tried("");
  // A web proxy named in the environment is for the web: the timer's server is still
  // reached directly (through the proxy, the unknown host became a time-out).
  const std::string proxy = "http://127.0.0.1:" + std::to_string(closed_port);
  setenv("http_proxy", proxy.c_str(), 1);
  setenv("all_proxy", proxy.c_str(), 1);
  struct Unset {
    ~Unset() {
      unsetenv("http_proxy");
      unsetenv("all_proxy");
    }
  } unset;
  tried(" with a proxy in the environment");
}

// A listening socket that never accepts, its queue filled: further connections hang.
class FullListener {
 public:
  FullListener() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(listener_, 0);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
    for (int& fd : fillers_) {
      fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      ::connect(fd, reinterpret_cast<sockaddr*>(&address), size);
    }
  }
  ~FullListener() {
    for (int fd : fillers_) ::close(fd);
    ::close(listener_);
  }
  int port = 0;

 private:
  int listener_ = -1;
  std::array<int, 4> fillers_{};
};

TEST(NetworkPortErrors, AHostThatNeverAnswersCostsTheConnectBoundOnly) {
  FullListener silent;
  const auto port = MakePort();
  const auto t0 = std::chrono::steady_clock::now();
  try {
    port->open(QString("tcp://127.0.0.1:%1").arg(silent.port));
    ADD_FAILURE() << "opened";
  } catch (const PortError& e) {
    EXPECT_EQ(PortErrorText(e), QString("Unable to open com port (win error code: %1)\n127.0.0.1 port %2 did not "
                                        "answer within 3 seconds. Check that the host is switched on and reachable "
                                        "from this PC, and that no firewall blocks the port.")
                                    .arg(ETIMEDOUT)
                                    .arg(silent.port));
  }
  const auto waited = std::chrono::steady_clock::now() - t0;
  EXPECT_GE(waited, std::chrono::milliseconds(kNetworkConnectTimeoutMs));
  EXPECT_LT(waited, std::chrono::milliseconds(kNetworkConnectTimeoutMs + 1000));
  EXPECT_FALSE(port->isOpen());
}

TEST(NetworkPortErrors, AServerWithoutPortControlIsRefusedWithAdvice) {
  ASSERT_TRUE(Ser2netInstalled()) << "ser2net is missing; scripts/deps installs it";
  ZmrsimProcess sim(kZmrsim);
  Ser2netProcess telnet(sim.device(), Mode::TelnetOnly);
  const auto port = MakePort();
  try {
    port->open(QString::fromStdString(telnet.address()));
    ADD_FAILURE() << "opened";
  } catch (const PortError& e) {
    EXPECT_EQ(PortErrorText(e),
              QString("SetCommState function failed (win error code: %1)\n127.0.0.1 port %2 does not offer RFC 2217 "
                      "port control. Turn it on in the server (ser2net: remctl, or telnet(rfc2217) in its YAML "
                      "accepter), or use tcp://127.0.0.1:%2 when the server's line is set to 9600 8N1.")
                  .arg(EPROTONOSUPPORT)
                  .arg(telnet.port()));
  }
  EXPECT_FALSE(port->isOpen());
}

// The scheme that does not fit the server: each failure names the one that does.
TEST(NetworkPortErrors, TheWrongSchemeIsNamedWithTheRightOne) {
  ASSERT_TRUE(Ser2netInstalled()) << "ser2net is missing; scripts/deps installs it";
  ZmrsimProcess sim(kZmrsim);
  struct Case {
    Mode mode;
    const char* scheme;  // what the console is given
    QString text;        // %1 the port
    std::chrono::milliseconds at_most;
  };
  // An rfc2217 link sends no data before the server speaks Telnet; a tcp link hears a
  // Telnet greeting when it comes, usually before its first request.
  const std::vector<Case> cases = {
      {Mode::Raw, "rfc2217", QString("SetCommState function failed (win error code: %1)\n127.0.0.1 port %2 does not "
                                     "speak Telnet: no negotiation came back within 3 seconds. For a raw TCP port "
                                     "use tcp://127.0.0.1:%2.")
                                 .arg(ENOPROTOOPT),
       std::chrono::milliseconds(kNetworkConnectTimeoutMs + 1000)},
      {Mode::Rfc2217, "tcp", QString("Unable to open com port (win error code: %1)\n127.0.0.1 port %2 speaks Telnet "
                                     "(RFC 2217), not raw TCP. Use rfc2217://127.0.0.1:%2.")
                                 .arg(EPROTOTYPE),
       std::chrono::milliseconds(1000)},
  };
  for (const Case& c : cases) {
    Ser2netProcess server(sim.device(), c.mode);
    const QString address = QString("%1://127.0.0.1:%2").arg(c.scheme).arg(server.port());
    SystemClock clock;
    const auto port = MakePort();
    TimerLink link(*port, clock);
    const auto t0 = std::chrono::steady_clock::now();
    try {
      const PortLease lease(link, address);
      link.QueryStatus();
      ADD_FAILURE() << address.toStdString() << " served";
    } catch (const PortError& e) {
      EXPECT_EQ(PortErrorText(e), c.text.arg(server.port())) << address.toStdString();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - t0, c.at_most) << address.toStdString();
    EXPECT_FALSE(port->isOpen());
    if (c.mode == Mode::Raw) EXPECT_EQ(sim.waitForLine("request", 200), "") << address.toStdString();
  }
}

// TLS refusals, each with its own words; none lets a byte through to the timer.
TEST(NetworkPortErrors, TlsRefusalsSayWhyAndNothingReachesTheTimer) {
  ASSERT_TRUE(Ser2netInstalled()) << "ser2net is missing; scripts/deps installs it";
  const TlsMaterial& tls = SharedTlsMaterial();
  const QString none_set = "%1 asks for this PC's certificate, and none is set. Set it with zmrctl tls --ca FILE "
                           "--cert FILE --key FILE, or with Secure (TLS) in Network timer.";
  struct Case {
    const char* what;
    Mode mode;
    Ser2netTls server;
    TlsChoice ours;
    int code;
    QString advice;              // %1 "HOST port N"
    QString host = "127.0.0.1";  // the address's host
  };
  const QString ca = QString::fromStdString(tls.path("ca.pem"));
  const std::vector<Case> cases = {
      {"no certificate of this PC, rfc2217", Mode::Rfc2217, tls.server(), {ca, "", ""}, ENOKEY, none_set},
      {"no certificate of this PC, tcp", Mode::Raw, tls.server(), {ca, "", ""}, ENOKEY, none_set},
      {"a certificate the server's authdir does not name", Mode::Rfc2217, tls.server(),
       {ca, QString::fromStdString(tls.path("stranger.pem")), QString::fromStdString(tls.path("stranger.key"))},
       ENOKEY,
       "%1 refused this PC's certificate (stranger, issued by Test School CA). Check that the server trusts it: for "
       "ser2net, the CA that issued it belongs in the authdir folder stranger/allowed_certs, rehashed."},
      {"a server of a CA this PC does not trust", Mode::Rfc2217, tls.server(),
       {QString::fromStdString(tls.path("other-ca.pem")), tls.console().cert, tls.console().key}, EKEYREJECTED,
       "The certificate of %1 (bells-server, issued by Test School CA) is not trusted here, so nothing was sent. If "
       "it is your server's, set the CA that issued it with zmrctl tls --ca FILE, or with Secure (TLS) in Network "
       "timer."},
      {"a certificate made out for another name", Mode::Rfc2217, tls.server(), tls.console(), EADDRNOTAVAIL,
       "The certificate of %1 (bells-server) is made out for 127.0.0.1, not for localhost, so nothing was sent. Use "
       "an address the certificate names, or give the server a certificate for this one.",
       "localhost"},
      {"a server whose certificate has expired", Mode::Raw, tls.expiredServer(), tls.console(), EKEYEXPIRED,
       "The certificate of %1 (old-server) expired on " + QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate) +
           ", so nothing was sent. Renew it, then try again."},
  };
  for (const Case& c : cases) {
    ZmrsimProcess sim(kZmrsim);
    Ser2netProcess server(sim.device(), c.mode, c.server);
    TempDir settings;
    ASSERT_EQ(StoreTlsFiles(settings.folder(), c.ours), "") << c.what;
    const ScopedPortMapFolder use(settings.folder());
    SystemClock clock;
    const auto port = MakePort();
    TimerLink link(*port, clock);
    try {
      const PortLease lease(link, QString::fromStdString(server.address()).replace("127.0.0.1", c.host));
      link.QueryStatus();
      ADD_FAILURE() << c.what << ": served";
    } catch (const PortError& e) {
      EXPECT_EQ(PortErrorText(e), QString("Unable to open com port (win error code: %1)\n").arg(c.code) +
                                      c.advice.arg(QString("%1 port %2").arg(c.host).arg(server.port())))
          << c.what;
    }
    EXPECT_FALSE(port->isOpen()) << c.what;
    EXPECT_EQ(sim.waitForLine("request", 200), "") << c.what;
  }
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string word;
  long kib = 0;
  while (status >> word) {
    if (word == "VmRSS:") status >> kib;
  }
  return kib;
}

// A server that floods the link: the operation ends within its bound, with its own
// words, and the console's memory stays where it was.
TEST(NetworkPortErrors, AFloodingServerIsGivenUpWithinItsBoundAndMemoryStaysFlat) {
  struct Case {
    HostileServer::Kind kind;
    const char* scheme;
    std::optional<QString> text;  // empty: the request simply finds no timer
  };
  const std::vector<Case> cases = {
      {HostileServer::Kind::OptionFlood, "rfc2217",
       QString("SetCommState function failed (win error code: %1)\nThe server at 127.0.0.1 port %2 keeps changing "
               "its Telnet options instead of serving the timer, so the connection was given up. Check that it is "
               "ser2net or a serial device server, and restart it.")
           .arg(EPROTO)},
      {HostileServer::Kind::DataFlood, "rfc2217",
       QString("SetCommState function failed (win error code: %1)\n127.0.0.1 port %2 does not speak Telnet: no "
               "negotiation came back within 3 seconds. For a raw TCP port use tcp://127.0.0.1:%2.")
           .arg(ENOPROTOOPT)},
      {HostileServer::Kind::DataFlood, "tcp", std::nullopt},
  };
  for (const Case& c : cases) {
    HostileServer hostile(c.kind);
    const QString address = QString("%1://127.0.0.1:%2").arg(c.scheme).arg(hostile.port());
    const long before = ResidentKiB();
    const auto t0 = std::chrono::steady_clock::now();
    SystemClock clock;
    const auto port = MakePort();
    TimerLink link(*port, clock);
    try {
      const PortLease lease(link, address);
      link.LinkPreamble();
      EXPECT_FALSE(link.QueryStatus()) << address.toStdString();
      EXPECT_FALSE(c.text) << address.toStdString() << ": no port error";
    } catch (const PortError& e) {
      ASSERT_TRUE(c.text) << e.what();
      EXPECT_EQ(PortErrorText(e), c.text->arg(hostile.port()));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(kNetworkConnectTimeoutMs + 2000))
        << address.toStdString();
    EXPECT_LT(ResidentKiB() - before, 32 * 1024) << address.toStdString() << ": memory grew";
  }
}

}  // namespace
}  // namespace zmr
