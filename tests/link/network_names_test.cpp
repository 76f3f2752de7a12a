// Network port names: the address forms, the COMn mapping file beside timer.ini and the
// port lines.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/qt_printers.h"

#include "link/network_address.h"
#include "link/network_port.h"
#include "link/port_map.h"
#include "link/port_names.h"

namespace zmr {
namespace {

TEST(NetworkAddress, NamesIpv4AndBracketedIpv6AreTakenAndMistakesNamed) {
  const QString form = "Give the address as rfc2217://HOST:PORT or tcp://HOST:PORT (rfc2217+tls:// or tcp+tls:// "
                       "over TLS).";
  const QString four = "is not an IPv4 address: give four numbers from 0 to 255, as in 10.0.4.20.";
  const QString octal = "is not an IPv4 address: a number with a leading zero is read as octal (010 is 8) and leads "
                        "to another host. Write each number without leading zeros.";
  struct Case {
    QString text;
    QString canonical;  // empty: refused
    QString problem;
  };
  const std::vector<Case> cases = {
      {"rfc2217://10.0.4.20:2217", "rfc2217://10.0.4.20:2217", ""},
      {"RFC2217://Timer-Hall.Example.org:2217", "rfc2217://timer-hall.example.org:2217", ""},
      {"tcp://localhost:4001/", "tcp://localhost:4001", ""},
      {"  tcp://127.0.0.1:1  ", "tcp://127.0.0.1:1", ""},
      {"rfc2217://[fd00::20]:2217", "rfc2217://[fd00::20]:2217", ""},
      {"tcp://[::1]:65535", "tcp://[::1]:65535", ""},
      {"RFC2217+TLS://Bells.School:2217", "rfc2217+tls://bells.school:2217", ""},
      {"tcp+tls://[FD00::20]:4001/", "tcp+tls://[fd00::20]:4001", ""},
      {"tcp://0.0.0.0:4001", "tcp://0.0.0.0:4001", ""},
      {"tcp://10.0.4.20x:4001", "tcp://10.0.4.20x:4001", ""},  // a name: the resolver never reads it as a number
      {"rfc2217://fd00::20:2217", "", "Put an IPv6 address in brackets, as in rfc2217://[fd00::20]:2217."},
      {"rfc2217://[fd00::20:2217", "", "Close the IPv6 address with ] and put :PORT after it."},
      {"rfc2217://[10.0.4.20]:2217", "", "\"10.0.4.20\" is not an IPv6 address."},
      // Numbers the resolver reads in old forms: they would reach another host.
      {"tcp://0177.0.0.1:4001", "", "\"0177.0.0.1\" " + octal},
      {"tcp://192.168.001.010:4001", "", "\"192.168.001.010\" " + octal},
      {"tcp://0x7f.0.0.1:4001", "", "\"0x7f.0.0.1\" " + four},
      {"tcp://0x7f000001:4001", "", "\"0x7f000001\" " + four},
      {"tcp://2130706433:4001", "", "\"2130706433\" " + four},
      {"tcp://127.1:4001", "", "\"127.1\" " + four},
      {"tcp://127.0.0.1.:4001", "", "\"127.0.0.1.\" " + four},
      {"tcp://1.2.3.4.5:4001", "", "\"1.2.3.4.5\" " + four},
      {"tcp://10.0.4.256:4001", "", "\"10.0.4.256\" " + four},
      {"tcp://10.0.4:4001", "", "\"10.0.4\" " + four},
      {"tcp://...:4001", "", "\"...\" is not a host name."},
      {"tcp://timer_hall:4001", "", "\"timer_hall\" is not a host name."},
      {"tcp://-timer:4001", "", "\"-timer\" is not a host name."},
      {"tcp://timer hall:4001", "", "\"timer hall\" is not a host name."},
      {"tcp://:4001", "", "The address needs a host: " + form},
      {"tcp://10.0.4.20", "", "The address needs a port number: " + form},
      {"tcp://timer/status", "", "The address needs a port number: " + form},
      {"tcp://10.0.4.20:0", "", "The port number must be 1 to 65535."},
      {"tcp://10.0.4.20:65536", "", "The port number must be 1 to 65535."},
      {"tcp://10.0.4.20:22x", "", "The port number must be 1 to 65535."},
      {"tcp://10.0.4.20:", "", "The port number must be 1 to 65535."},
      // Credentials are never repeated back; whatever follows the port is named.
      {"tcp://user:pw@host:4001", "", "An address holds no user name or password: give only HOST:PORT."},
      {"rfc2217+tls://admin@10.0.4.20:2217", "", "An address holds no user name or password: give only HOST:PORT."},
      {"tcp://host:4001/status", "", "Nothing may follow the port number: remove \"/status\"."},
      {"tcp://host:4001?baud=9600", "", "Nothing may follow the port number: remove \"?baud=9600\"."},
      {"tcp://host:4001#bells", "", "Nothing may follow the port number: remove \"#bells\"."},
      {"tcp://[::1]:4001/x", "", "Nothing may follow the port number: remove \"/x\"."},
      {"tcp://host:4001 hall b", "", "Nothing may follow the port number: remove \"hall b\"."},
      {"tcp://host:4001 extra:5", "", "Nothing may follow the port number: remove \"extra:5\"."},
      {"tcp://host:4001//", "", "Nothing may follow the port number: remove \"//\"."},
      {"telnet://10.0.4.20:23", "", form},
      {"tls://10.0.4.20:23", "", form},
      {"/dev/ttyUSB0", "", form},
  };
  for (const Case& c : cases) {
    const ParsedAddress parsed = ParseNetworkAddress(c.text);
    EXPECT_EQ(parsed.address ? parsed.address->text() : QString(), c.canonical) << c.text.toStdString();
    EXPECT_EQ(parsed.problem, c.problem) << c.text.toStdString();
  }
  EXPECT_TRUE(ParseNetworkAddress("tcp+tls://h:1").address->tls);
  EXPECT_FALSE(ParseNetworkAddress("rfc2217://h:1").address->tls);
  for (const char* name : {"TCP://x", "rfc2217+tls://x", "Tcp+Tls://"}) EXPECT_TRUE(IsNetworkPortName(name)) << name;
  for (const char* name : {"/tmp/zmr/COM1", "tls://x", "COM3"}) EXPECT_FALSE(IsNetworkPortName(name)) << name;
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
