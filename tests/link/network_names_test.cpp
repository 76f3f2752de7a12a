// Network port names: the address forms, the COMn mapping file beside timer.ini and the
// port lines.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "link/network_address.h"
#include "link/network_port.h"
#include "link/port_map.h"
#include "link/port_names.h"

namespace zmr {
namespace {

TEST(NetworkAddress, NamesIpv4AndBracketedIpv6AreTakenAndMistakesNamed) {
  struct Case {
    const char* text;
    const char* canonical;  // empty: refused
    const char* problem;
  };
  const std::vector<Case> cases = {
      {"rfc2217://10.0.4.20:2217", "rfc2217://10.0.4.20:2217", ""},
      {"RFC2217://Timer-Hall.Example.org:2217", "rfc2217://timer-hall.example.org:2217", ""},
      {"tcp://localhost:4001/", "tcp://localhost:4001", ""},
      {"  tcp://127.0.0.1:1  ", "tcp://127.0.0.1:1", ""},
      {"rfc2217://[fd00::20]:2217", "rfc2217://[fd00::20]:2217", ""},
      {"tcp://[::1]:65535", "tcp://[::1]:65535", ""},
      {"rfc2217://fd00::20:2217", "", "Put an IPv6 address in brackets, as in rfc2217://[fd00::20]:2217."},
      {"rfc2217://[fd00::20:2217", "", "Close the IPv6 address with ] and put :PORT after it."},
      {"rfc2217://[10.0.4.20]:2217", "", "\"10.0.4.20\" is not an IPv6 address."},
      {"tcp://10.0.4.256:4001", "", "\"10.0.4.256\" is not an IPv4 address."},
      {"tcp://10.0.4:4001", "", "\"10.0.4\" is not an IPv4 address."},
      {"tcp://timer_hall:4001", "", "\"timer_hall\" is not a host name."},
      {"tcp://-timer:4001", "", "\"-timer\" is not a host name."},
      {"tcp://:4001", "", "The address needs a host: Give the address as rfc2217://HOST:PORT or tcp://HOST:PORT."},
      {"tcp://10.0.4.20", "",
       "The address needs a port number: Give the address as rfc2217://HOST:PORT or tcp://HOST:PORT."},
      {"tcp://10.0.4.20:0", "", "The port number must be 1 to 65535."},
      {"tcp://10.0.4.20:65536", "", "The port number must be 1 to 65535."},
      {"tcp://10.0.4.20:22x", "", "The port number must be 1 to 65535."},
      {"telnet://10.0.4.20:23", "", "Give the address as rfc2217://HOST:PORT or tcp://HOST:PORT."},
      {"/dev/ttyUSB0", "", "Give the address as rfc2217://HOST:PORT or tcp://HOST:PORT."},
  };
  for (const Case& c : cases) {
    const ParsedAddress parsed = ParseNetworkAddress(c.text);
    EXPECT_EQ(parsed.address ? parsed.address->text() : QString(), QString(c.canonical)) << c.text;
    EXPECT_EQ(parsed.problem, QString(c.problem)) << c.text;
  }
  EXPECT_TRUE(IsNetworkPortName("TCP://x"));
  EXPECT_FALSE(IsNetworkPortName("/tmp/zmr/COM1"));
}

TEST(PortMapFile, KeepsValidLinesAndSurvivesAnythingElse) {
  const PortMap map = ParsePortMap(
      "# a comment\n"
      "COM3 rfc2217://10.0.4.20:2217\n"
      "com4=tcp://[fd00::7]:4001\r\n"
      "COM5 ftp://nowhere:21\n"
      "COM0 tcp://a:1\n"
      "COM9999 tcp://a:1\n"
      "COM6\n"
      "\n"
      "COM3 tcp://later.example:4001\n");  // the last line for a port counts
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map.at(3).text(), "tcp://later.example:4001");
  EXPECT_EQ(map.at(4).text(), "tcp://[fd00::7]:4001");
  EXPECT_EQ(ParsePortMap(PortMapText(map)), map);
}

TEST(PortMapFile, MapAndUnmapRewriteTheFileBesideTimerIni) {
  QTemporaryDir dir;
  const QString folder = dir.path() + '/';
  EXPECT_TRUE(ReadPortMap(folder).empty());
  MapComPort(folder, 3, *ParseNetworkAddress("rfc2217://10.0.4.20:2217").address);
  MapComPort(folder, 1, *ParseNetworkAddress("tcp://127.0.0.1:4001").address);
  MapComPort(folder, 3, *ParseNetworkAddress("rfc2217://10.0.4.21:2217").address);
  QFile file(folder + kPortMapFileName);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.endsWith("COM1 tcp://127.0.0.1:4001\nCOM3 rfc2217://10.0.4.21:2217\n")) << text.toStdString();
  EXPECT_TRUE(UnmapComPort(folder, 3));
  EXPECT_FALSE(UnmapComPort(folder, 3));
  EXPECT_EQ(ReadPortMap(folder).size(), 1u);
  EXPECT_FALSE(QFile::exists(folder + "timer.ini"));  // the settings record is not touched
}

TEST(PortMapFile, MappedPortsLeadAcrossTheNetworkUnlessTheEnvironmentSaysOtherwise) {
  QTemporaryDir dir;
  const QString folder = dir.path() + '/';
  MapComPort(folder, 1, *ParseNetworkAddress("tcp://127.0.0.1:4001").address);
  MapComPort(folder, 3, *ParseNetworkAddress("rfc2217://10.0.4.20:2217").address);
  ScopedPortEnumerator scan(std::make_shared<ListedPorts>(
      std::vector<SerialDevice>{{"/dev/ttyUSB0", "FT232R USB UART", "", true, true}, {"/dev/ttyS0", "", "", false, true}}));
  qputenv("ZMR_COM1", "/tmp/zmr/COM1");
  std::vector<QString> lines;
  {
    ScopedPortMapFolder use(folder);
    for (const PortMapping& m : MapPorts(4)) lines.push_back(PortDeviceLine(m));
    EXPECT_EQ(PortDevice("COM3"), "rfc2217://10.0.4.20:2217");
    EXPECT_EQ(PortDevice("COM1"), "/tmp/zmr/COM1");
    EXPECT_EQ(PortDevice("tcp://[::1]:4001"), "tcp://[::1]:4001");  // a name passes through
    // Which port implementation an open takes.
    const std::vector<std::pair<QString, bool>> across = {
        {"COM3", true}, {"COM1", false}, {"COM2", false}, {"COM7", false},
        {"tcp://[::1]:4001", true}, {"RFC2217://h:1", true}, {"/dev/ttyUSB0", false}};
    for (const auto& [name, network] : across) EXPECT_EQ(LeadsAcrossNetwork(name), network) << name.toStdString();
  }
  qunsetenv("ZMR_COM1");
  EXPECT_EQ(lines, (std::vector<QString>{"Com 1 is /tmp/zmr/COM1 here", "Com 2 is /dev/ttyS0 here",
                                         "Com 3 is rfc2217://10.0.4.20:2217 (network)", "Com 4: no device"}));
  // Without a settings folder in use, nothing is mapped.
  EXPECT_EQ(PortDevice("COM3"), "");
}

}  // namespace
}  // namespace zmr
