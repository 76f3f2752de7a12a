// zmrctl reaching the timer across the network: COMn mapped and unmapped, --port with an
// address, and ser2net in front of zmrsim on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "base/clock.h"
#include "hardware/schedule_format.h"
#include "link/packet.h"
#include "link/port_names.h"
#include "project/settings.h"
#include "sim_timer.h"
#include "support/child_process.h"
#include "support/fake_clock.h"
#include "support/project_fixtures.h"
#include "support/ser2net_process.h"
#include "support/temp_dir.h"
#include "support/zmrctl_process.h"
#include "zmrctl/zmrctl.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const std::string kZmrsim = ZMR_BIN_DIR "/zmrsim";

class ZmrctlNetwork : public ZmrctlProcessTest {
 protected:
  // zmrctl in-process, for what it writes to stderr. --port ADDRESS reaches the port
  // through ZMR_COM1, which must not outlive the run here.
  int ZmrctlHere(const QStringList& args) {
    struct Unset {
      ~Unset() { unsetenv("ZMR_COM1"); }
    } unset;
    std::ostringstream out;
    SystemClock clock;
    ctl::Environment env(out, err, clock);
    env.program_folder = dir.folder();
    err.str({});
    return ctl::Run(QStringList{"--settings", dir.folder()} + args, env);
  }

  std::ostringstream err;
};

TEST_F(ZmrctlNetwork, MapAndUnmapAComPortBesideTimerIni) {
  ASSERT_EQ(Zmrctl({"ports", "--map", "COM3", "RFC2217://10.0.4.20:2217"}), 0);
  EXPECT_EQ(output, std::vector<std::string>{"Com 3 is rfc2217://10.0.4.20:2217 (network, cleartext)"});
  ASSERT_EQ(Zmrctl({"ports", "--map", "com4", "tcp+tls://[fd00::20]:4001"}), 0);
  ASSERT_EQ(Zmrctl({"ports", "--map", "Com12", "tcp://10.0.4.32:4001"}), 0);
  ASSERT_EQ(Zmrctl({"ports"}), 0);
  EXPECT_TRUE(OutputHas("  COM3  rfc2217://10.0.4.20:2217  (network, cleartext)"));
  EXPECT_TRUE(OutputHas("  COM4  tcp+tls://[fd00::20]:4001  (network, TLS)"));
  EXPECT_TRUE(OutputHas("  COM12 tcp://10.0.4.32:4001  (network, cleartext)"));  // beyond the six listed
  EXPECT_EQ(QFileInfo(dir.file("timer.ini")).size(), kSettingsFileSize);  // still the fixed record

  ASSERT_EQ(Zmrctl({"ports", "--unmap", "COM3"}), 0);
  ASSERT_EQ(Zmrctl({"ports", "--unmap", "COM3"}), 0);
  EXPECT_TRUE(OutputHas("COM3 was not mapped to a network address"));
  ASSERT_EQ(Zmrctl({"ports"}), 0);
  EXPECT_FALSE(OutputHas("10.0.4.20"));
  EXPECT_TRUE(OutputHas("  COM4  tcp+tls://[fd00::20]:4001  (network, TLS)"));

  // The environment still comes first, and a mapping stored under it says so.
  setenv("ZMR_COM4", "/tmp/zmr/COM4", 1);
  ASSERT_EQ(Zmrctl({"ports"}), 0);
  EXPECT_EQ(ZmrctlHere({"ports", "--map", "COM4", "tcp://10.0.4.24:4001"}), 0);
  unsetenv("ZMR_COM4");
  EXPECT_TRUE(OutputHas("  COM4  /tmp/zmr/COM4  (set by ZMR_COM4)"));
  EXPECT_EQ(err.str(), "ZMR_COM4 is set (to /tmp/zmr/COM4) and wins: while it is set, Com 4 leads there, not to an "
                       "address stored here.\n");

  // A line written by hand that cannot be used is named, its port leads nowhere, and
  // the next --map keeps it.
  {
    std::ofstream map(dir.file("ports.txt").toStdString(), std::ios::app);
    map << "COM2 tcp://0177.0.0.1:4001\nthe hall timer\n";
  }
  ASSERT_EQ(Zmrctl({"ports", "--map", "COM5", "tcp://10.0.4.25:4001"}), 0);
  ASSERT_EQ(Zmrctl({"ports"}), 0);
  const std::string octal = "ports.txt line 5 is ignored: \"0177.0.0.1\" is not an IPv4 address: a number with a "
                            "leading zero is read as octal (010 is 8) and leads to another host. Write each number "
                            "without leading zeros.";
  EXPECT_TRUE(OutputHas("  COM2  nowhere: " + octal));
  EXPECT_TRUE(OutputHas(octal));
  EXPECT_TRUE(OutputHas("ports.txt line 6 is ignored: It is not \"COM<n> ADDRESS\"."));
  EXPECT_TRUE(OutputHas("  COM5  tcp://10.0.4.25:4001  (network, cleartext)"));
}

TEST_F(ZmrctlNetwork, MistakesAreUsageErrorsAndNothingIsStored) {
  struct Case {
    QStringList args;
    std::string said;
  };
  const std::vector<Case> cases = {
      {{"ports", "--map", "COM3", "rfc2217://10.0.4.20"},
       "zmrctl: bad address rfc2217://10.0.4.20: The address needs a port number: Give the address as "
       "rfc2217://HOST:PORT or tcp://HOST:PORT (rfc2217+tls:// or tcp+tls:// over TLS).\n"},
      {{"ports", "--map", "COM3", "/dev/ttyUSB0"},
       "zmrctl: bad address /dev/ttyUSB0: Give the address as rfc2217://HOST:PORT or tcp://HOST:PORT "
       "(rfc2217+tls:// or tcp+tls:// over TLS).\n"},
      {{"ports", "--map", "LPT1", "tcp://a:1"}, "zmrctl: bad port LPT1 (COM1 .. COM255)\n"},
      {{"ports", "--map", "COM3"}, "zmrctl: ports --map COMn takes one address\n"},
      {{"ports", "--unmap", "COM0"}, "zmrctl: bad port COM0 (COM1 .. COM255)\n"},
      {{"--port", "tcp://fd00::20:4001", "status"},
       "zmrctl: bad port tcp://fd00::20:4001: Put an IPv6 address in brackets, as in rfc2217://[fd00::20]:2217.\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ZmrctlHere(c.args), ctl::kExitUsage) << c.said;
    EXPECT_EQ(err.str(), c.said);
  }
  EXPECT_FALSE(QFileInfo::exists(dir.file("ports.txt")));
}

TEST_F(ZmrctlNetwork, RefusedAndUnknownHostsArePortErrorsWithAdvice) {
  const int closed = FreeLoopbackPort();
  const std::string refused = QString("error: Unable to open com port (win error code: %1)\nNothing accepts "
                                      "connections at 127.0.0.1 port %2. Check that ser2net or the device server "
                                      "runs there and listens on that port.\n")
                                  .arg(ECONNREFUSED)
                                  .arg(closed)
                                  .toStdString();
  EXPECT_EQ(ZmrctlHere({"--port", QString("rfc2217://127.0.0.1:%1").arg(closed), "status"}), ctl::kExitPortError);
  EXPECT_EQ(err.str(), refused);
  EXPECT_EQ(ZmrctlHere({"--port", "tcp://no-such-timer.invalid:4001", "status"}), ctl::kExitPortError);
  EXPECT_EQ(err.str(), QString("error: Unable to open com port (win error code: %1)\nThe host name "
                               "no-such-timer.invalid is not known. Check the spelling of the address and that "
                               "this PC can look up names on the network (DNS).\n")
                           .arg(ENXIO)
                           .toStdString());

  // COM names in any case lead where COM<n> leads; one whose line cannot be used leads
  // nowhere, and the error says which line and why.
  std::ofstream(dir.file("ports.txt").toStdString())
      << "COM3 rfc2217://127.0.0.1:" << closed << "\nCOM2 tcp://127.0.0.1:" << closed << "/status\n";
  EXPECT_EQ(ZmrctlHere({"--port", "com3", "status"}), ctl::kExitPortError);
  EXPECT_EQ(err.str(), refused);
  EXPECT_EQ(ZmrctlHere({"--port", "COM2", "status"}), ctl::kExitPortError);
  EXPECT_EQ(err.str(), QString("error: Unable to open com port (win error code: %1)\nports.txt line 2 is ignored: "
                               "Nothing may follow the port number: remove \"/status\". Mend ports.txt beside "
                               "timer.ini, or map COM2 again (Network timer ..., or zmrctl ports --map COM2 "
                               "ADDRESS).\n")
                           .arg(ENOENT)
                           .toStdString());
}

TEST_F(ZmrctlNetwork, StatusDownloadAndDetectThroughSer2net) {
  ASSERT_TRUE(Ser2netInstalled()) << "ser2net is missing; scripts/deps installs it";
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  for (int s = 1; s <= 20; ++s) AddPulse(*project, 3, s, 9, s, 4);
  AddPulse(*project, 6, 1, 12, 0, 59);
  WriteProject(dir.file("week.zmr"), *project);
  const std::string dump = dir.file("dump.txt").toStdString();
  {
    ZmrsimProcess sim(kZmrsim, {"--dump", dump, "--product", "NETW"});
    Ser2netProcess rfc2217(sim.device(), Ser2netProcess::Mode::Rfc2217);
    EXPECT_EQ(Zmrctl({"--port", rfc2217.address(), "status"}), 0);
    EXPECT_TRUE(OutputHas("Product Code:\t\tNETW"));
    rfc2217.stop();  // ser2net holds the line while it runs

    Ser2netProcess raw(sim.device(), Ser2netProcess::Mode::Raw);
    ASSERT_EQ(Zmrctl({"ports", "--map", "COM1", raw.address()}), 0);
    EXPECT_EQ(Zmrctl({"download", dir.file("week.zmr").toStdString()}), 0);  // timer.ini's COM1
    EXPECT_TRUE(OutputHas("Download Successful!"));
    EXPECT_EQ(Zmrctl({"detect"}), 0);
    EXPECT_TRUE(OutputHas("Timer has been found on Com 1"));
    raw.stop();
    sim.stop();
  }
  FakeClock clock;
  sim::SimTimer expected(clock);
  for (int day = 1; day <= kDays; ++day)
    for (const DayChunk& chunk : ChunksOfDay(*project, day)) expected.receive(BuildFrame('W', 0, chunk));
  std::ifstream in(dump);
  std::stringstream dumped;
  dumped << in.rdbuf();
  EXPECT_EQ(dumped.str(), expected.weekTable());
}

}  // namespace
}  // namespace zmr
