// Network port names: the address forms, the COMn mapping file beside timer.ini and the
// port lines.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <functional>

#include "support/qt_printers.h"

#include "link/network_address.h"
#include "link/network_port.h"
#include "link/port_map.h"
#include "link/port_names.h"
#include "support/temp_dir.h"
#include "base/errors.h"

namespace zmr {
namespace {

using testing::TempDir;

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
      // A line break before a dot would split the line ports.txt stores it in.
      {"tcp://timer\n.hall:4001", "", "\"timer\n.hall\" is not a host name."},
      {"tcp://0.0.0rr\n.1:4", "", "\"0.0.0rr\n.1\" is not a host name."},
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

// Every line that maps nothing is named with its number and why; a COM<n> whose line
// cannot be used leads nowhere rather than to a device of this PC.
TEST(PortMapFile, EveryIgnoredLineIsNamedAndItsPortLeadsNowhere) {
  const PortMapReading reading = ParsePortMap(
      "# a comment\n"
      "COM3 rfc2217://10.0.4.20:2217\n"
      "com4=tcp://[fd00::7]:4001\r\n"
      "COM5 ftp://nowhere:21\n"
      "COM0 tcp://a:1\n"
      "COM9999 tcp://a:1\n"
      "COM6\n"
      "\n"
      "COM3 tcp+tls://later.example:4001\n"
      "LPT1 tcp://a:1\n"
      "COM7 tcp://192.168.001.010:4001\n"
      "COM8 tcp://a:1 # the hall\n");
  EXPECT_EQ(reading.map.size(), 2u);
  EXPECT_EQ(reading.map.at(3).text(), "tcp+tls://later.example:4001");  // the last line for a port counts
  EXPECT_EQ(reading.map.at(4).text(), "tcp://[fd00::7]:4001");
  const QString form = "Give the address as rfc2217://HOST:PORT or tcp://HOST:PORT (rfc2217+tls:// or tcp+tls:// "
                       "over TLS).";
  EXPECT_EQ(PortMapNotes(reading),
            (QStringList{"ports.txt line 2 is ignored: COM3 is given again on line 9, which counts.",
                         "ports.txt line 4 is ignored: " + form,
                         "ports.txt line 5 is ignored: COM0 is no port: the numbers run from 1 to 255.",
                         "ports.txt line 6 is ignored: COM9999 is no port: the numbers run from 1 to 255.",
                         "ports.txt line 7 is ignored: It is not \"COM<n> ADDRESS\".",
                         "ports.txt line 10 is ignored: It is not \"COM<n> ADDRESS\".",
                         "ports.txt line 11 is ignored: \"192.168.001.010\" is not an IPv4 address: a number with a "
                         "leading zero is read as octal (010 is 8) and leads to another host. Write each number "
                         "without leading zeros.",
                         "ports.txt line 12 is ignored: It is not \"COM<n> ADDRESS\"."}));
  const std::vector<std::pair<int, bool>> blocked = {{3, false}, {4, false}, {5, true}, {6, true},
                                                     {7, true},  {8, true},  {1, false}};
  for (const auto& [n, is_blocked] : blocked) EXPECT_EQ(!reading.blocking(n).isEmpty(), is_blocked) << n;
  EXPECT_EQ(reading.blocking(5), "ports.txt line 4 is ignored: " + form);

  // COM5 of this file leads nowhere, though this PC has a fifth serial device.
  TempDir dir;
  std::ofstream(dir.file(kPortMapFileName).toStdString()) << "COM5 ftp://nowhere:21\nCOM2 tcp://10.0.4.20:4001\n";
  const ScopedPortMapFolder use(dir.folder());
  std::vector<SerialDevice> five;
  for (int i = 0; i < 5; ++i) five.push_back({QString("/dev/ttyUSB%1").arg(i), "", "", true, true});
  const ScopedPortEnumerator scan(std::make_shared<ListedPorts>(five));
  EXPECT_EQ(PortDevice("COM5"), "");
  EXPECT_EQ(PortDevice("com5"), "");
  EXPECT_EQ(PortDevice("Com2"), "tcp://10.0.4.20:4001");
  EXPECT_EQ(PortDevice("COM4"), "/dev/ttyUSB3");
  EXPECT_EQ(PortDeviceLine(MapPort(5, five)), "Com 5 leads nowhere: ports.txt line 1 is ignored");
  EXPECT_EQ(MapPort(5, five).blocked, "ports.txt line 1 is ignored: " + form);
  EXPECT_EQ(PortDeviceLine(MapPort(2, five)), "Com 2 is tcp://10.0.4.20:4001 (network, cleartext)");
}

// A file longer than the read limit: its cut line is never taken, and --map will not
// rewrite what it could not read whole.
TEST(PortMapFile, ACutLineIsNeverTakenAndACutFileNeverRewritten) {
  TempDir dir;
  const QString path = dir.file(kPortMapFileName);
  std::string text = "COM1 tcp://10.0.4.20:4001\n";
  // The limit falls inside ":47401": what was read of the line, "COM2 tcp://10.0.4.21:47",
  // would be an address of its own.
  text += "# " + std::string(kPortMapReadLimit - text.size() - 3 - 23, '.') + "\n";
  text += "COM2 tcp://10.0.4.21:47401\n";
  text += "COM3 tcp://10.0.4.22:4001\n";
  std::ofstream(path.toStdString(), std::ios::binary) << text;
  const PortMapReading reading = ReadPortMapFile(dir.folder());
  EXPECT_FALSE(reading.whole);
  EXPECT_EQ(reading.map.size(), 1u);
  EXPECT_EQ(reading.map.count(2), 0u) << reading.map.at(2).text().toStdString();
  EXPECT_EQ(PortMapNotes(reading),
            QStringList{"ports.txt line 3 is ignored: The file is longer than 64 KiB and is cut off in this line; "
                        "nothing after it is read."});
  EXPECT_FALSE(reading.blocking(2).isEmpty());

  const auto address = *ParseNetworkAddress("tcp://10.0.4.30:4001").address;
  for (const auto& change : std::vector<std::function<void()>>{[&] { MapComPort(dir.folder(), 4, address); },
                                                               [&] { UnmapComPort(dir.folder(), 1); }}) {
    try {
      change();
      ADD_FAILURE() << "rewritten";
    } catch (const IoError& e) {
      EXPECT_STREQ(e.what(), "ports.txt is longer than 64 KiB and is not rewritten; shorten it first");
    }
  }
  std::ifstream in(path.toStdString(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
}

// --map and --unmap change the lines of their port only: comments, lines the console
// does not understand and their line ends stay byte for byte.
TEST(PortMapFile, MapAndUnmapKeepEveryOtherLineAsItStands) {
  TempDir dir;
  const QString path = dir.file(kPortMapFileName);
  const auto read = [&] {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_TRUE(ReadPortMap(dir.folder()).empty());
  EXPECT_FALSE(UnmapComPort(dir.folder(), 3));
  EXPECT_FALSE(QFile::exists(path));  // nothing to unmap writes nothing
  MapComPort(dir.folder(), 3, *ParseNetworkAddress("rfc2217://10.0.4.20:2217").address);
  EXPECT_EQ(read(),
            "# COM ports that lead to a timer across the network (rfc2217://, tcp://, rfc2217+tls:// or tcp+tls://).\n"
            "# Written by the console and by \"zmrctl ports --map\"; ZMR_COM<n> overrides a line.\n"
            "COM3 rfc2217://10.0.4.20:2217\n");

  std::ofstream(path.toStdString(), std::ios::binary)
      << "# hall\xe9 (not UTF-8)\r\ncom3 = tcp://old:1\r\nCOM2 tcp://10.0.4.9:4001 ; the gym\r\nCOM3 ftp://x\r\n"
         "COM1 tcp://10.0.4.1:4001\r\n";
  MapComPort(dir.folder(), 3, *ParseNetworkAddress("tcp+tls://10.0.4.21:4001").address);
  EXPECT_EQ(read(), "# hall\xe9 (not UTF-8)\r\nCOM3 tcp+tls://10.0.4.21:4001\r\nCOM2 tcp://10.0.4.9:4001 ; the gym\r\n"
                    "COM1 tcp://10.0.4.1:4001\r\n");
  MapComPort(dir.folder(), 7, *ParseNetworkAddress("tcp://10.0.4.7:4001").address);
  EXPECT_TRUE(UnmapComPort(dir.folder(), 1));
  EXPECT_FALSE(UnmapComPort(dir.folder(), 2));  // its line is no mapping, but it goes
  EXPECT_EQ(read(), "# hall\xe9 (not UTF-8)\r\nCOM3 tcp+tls://10.0.4.21:4001\r\nCOM7 tcp://10.0.4.7:4001\r\n");
  EXPECT_FALSE(QFile::exists(dir.file("timer.ini")));  // the settings record is not touched
}

TEST(PortMapFile, MappedPortsLeadAcrossTheNetworkUnlessTheEnvironmentSaysOtherwise) {
  QTemporaryDir dir;
  const QString folder = dir.path() + '/';
  MapComPort(folder, 1, *ParseNetworkAddress("tcp://127.0.0.1:4001").address);
  MapComPort(folder, 3, *ParseNetworkAddress("rfc2217://10.0.4.20:2217").address);
  MapComPort(folder, 9, *ParseNetworkAddress("rfc2217+tls://10.0.4.29:2217").address);
  ScopedPortEnumerator scan(std::make_shared<ListedPorts>(
      std::vector<SerialDevice>{{"/dev/ttyUSB0", "FT232R USB UART", "", true, true}, {"/dev/ttyS0", "", "", false, true}}));
  qputenv("ZMR_COM1", "/tmp/zmr/COM1");
  qputenv("ZMR_COM12", "/tmp/zmr/COM12");
  std::vector<QString> lines, every;
  {
    ScopedPortMapFolder use(folder);
    for (const PortMapping& m : MapPorts(4)) lines.push_back(PortDeviceLine(m));
    for (const PortMapping& m : MapPorts(6, true)) every.push_back(PortDeviceLine(m));
    EXPECT_EQ(PortDevice("COM3"), "rfc2217://10.0.4.20:2217");
    EXPECT_EQ(PortDevice("com3"), "rfc2217://10.0.4.20:2217");
    EXPECT_EQ(PortDevice("COM1"), "/tmp/zmr/COM1");
    EXPECT_EQ(PortDevice("tcp://[::1]:4001"), "tcp://[::1]:4001");  // a name passes through
    // Which port implementation an open takes.
    const std::vector<std::pair<QString, bool>> across = {
        {"COM3", true}, {"cOm3", true}, {"COM1", false}, {"COM2", false}, {"COM7", false}, {"COM9", true},
        {"tcp://[::1]:4001", true}, {"RFC2217://h:1", true}, {"tcp+tls://h:1", true}, {"/dev/ttyUSB0", false}};
    for (const auto& [name, network] : across) EXPECT_EQ(LeadsAcrossNetwork(name), network) << name.toStdString();
  }
  qunsetenv("ZMR_COM1");
  qunsetenv("ZMR_COM12");
  EXPECT_EQ(lines, (std::vector<QString>{"Com 1 is /tmp/zmr/COM1 here", "Com 2 is /dev/ttyS0 here",
                                         "Com 3 is rfc2217://10.0.4.20:2217 (network, cleartext)",
                                         "Com 4: no device"}));
  // Every mapping is listed, past the six the dialogs offer.
  EXPECT_EQ(every, (std::vector<QString>{"Com 1 is /tmp/zmr/COM1 here", "Com 2 is /dev/ttyS0 here",
                                         "Com 3 is rfc2217://10.0.4.20:2217 (network, cleartext)",
                                         "Com 4: no device", "Com 5: no device", "Com 6: no device",
                                         "Com 9 is rfc2217+tls://10.0.4.29:2217 (network, TLS)",
                                         "Com 12 is /tmp/zmr/COM12 here"}));
  // Without a settings folder in use, nothing is mapped.
  EXPECT_EQ(PortDevice("COM3"), "");
}

}  // namespace
}  // namespace zmr
