// The timer across the network: zmrsim on a pseudo-terminal, ser2net bridging it to
// 127.0.0.1, and the console's own port, link, download and detection on the far side,
// for rfc2217:// and tcp:// alike.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <fstream>
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

class NetworkTimer : public ::testing::TestWithParam<Mode> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Ser2netInstalled()) << "ser2net is missing; scripts/deps installs it";
    sim = std::make_unique<ZmrsimProcess>(kZmrsim, std::vector<std::string>{"--dump", dump_path()});
    server = std::make_unique<Ser2netProcess>(sim->device(), GetParam());
    // COM1 leads across the network through the mapping file beside timer.ini.
    MapComPort(dir.folder(), 1, *ParseNetworkAddress(QString::fromStdString(server->address())).address);
  }

  std::string dump_path() const { return dir.file("dump.txt").toStdString(); }

  // The week zmrsim holds once it has stopped.
  std::string TimerWeek() {
    sim->stop();
    std::ifstream in(dump_path());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // The week a timer holds after it received exactly the chunks a download compiles.
  static std::string CompiledWeek(const ProjectSetup& project) { return CompiledTimerWeek(project); }

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

TEST_P(NetworkTimer, StatusAndAFullWeekThroughTheMappedPort) {
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
  EXPECT_EQ(TimerWeek(), CompiledWeek(*project));
}

TEST_P(NetworkTimer, DetectFindsTheTimerBehindComOne) {
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
  EXPECT_EQ(TimerWeek(), CompiledWeek(*project));
}

TEST_P(NetworkTimer, AServerRestartedWhileThePortSatIdleIsReachedOnTheFirstRequest) {
  const PortLease lease(link, "COM1");
  link.LinkPreamble();
  ASSERT_TRUE(link.QueryStatus());
  server->stop();
  server->start();
  ASSERT_TRUE(port->isOpen());  // nothing has noticed yet
  EXPECT_TRUE(link.QueryStatus());
}

INSTANTIATE_TEST_SUITE_P(Ser2net, NetworkTimer, ::testing::Values(Mode::Rfc2217, Mode::Raw),
                         [](const auto& info) { return info.param == Mode::Rfc2217 ? "Rfc2217" : "RawTcp"; });

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
  };
  for (const Case& c : cases) {
    if (c.address.find("[::1]") != std::string::npos && !LoopbackIpv6()) continue;
    const auto port = MakePort();
    try {
      port->open(QString::fromStdString(c.address));
      ADD_FAILURE() << c.address << " opened";
    } catch (const PortError& e) {
      EXPECT_EQ(PortErrorText(e), c.text) << c.address;
    }
    EXPECT_FALSE(port->isOpen()) << c.address;
  }
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

}  // namespace
}  // namespace zmr
