// Where COM<n> leads, from injected scans of the machine's serial devices.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>

#include "link/port_error.h"
#include "link/port_names.h"
#include "link/serial_port.h"

namespace zmr {
namespace {

const SerialDevice kFtdi{"/dev/ttyUSB0", "FT232R USB UART", "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0", true,
                         true};
const SerialDevice kProlific{"/dev/ttyUSB1", "USB-Serial Controller", "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0",
                             true, true};
const SerialDevice kUsbWithoutId{"/dev/ttyACM0", "", "", true, true};
const SerialDevice kUart0{"/dev/ttyS0", "", "", false, true};
const SerialDevice kUart1Empty{"/dev/ttyS1", "", "", false, false};
const SerialDevice kUart2{"/dev/ttyS2", "", "", false, true};
const SerialDevice kUart10{"/dev/ttyS10", "", "", false, true};

// The six lines the port dialogs show for a machine.
std::vector<QString> Lines(std::vector<SerialDevice> devices) {
  ScopedPortEnumerator scope(std::make_shared<ListedPorts>(std::move(devices)));
  std::vector<QString> lines;
  for (const PortMapping& m : MapPorts(6)) {
    lines.push_back(PortDeviceLine(m));
  }
  return lines;
}

TEST(PortMapping, AdaptersFirstByStableNameThenBuiltInPortsThatExistByNumber) {
  struct Case {
    const char* machine;
    std::vector<SerialDevice> scan;
    std::vector<QString> lines;
  };
  const std::vector<Case> cases = {
      {"none at all",
       {},
       {"Com 1: no device", "Com 2: no device", "Com 3: no device", "Com 4: no device", "Com 5: no device",
        "Com 6: no device"}},
      {"built-in ports only; ttyS1 is a node without a chip",
       {kUart10, kUart1Empty, kUart2, kUart0},
       {"Com 1 is /dev/ttyS0 here", "Com 2 is /dev/ttyS2 here", "Com 3 is /dev/ttyS10 here", "Com 4: no device",
        "Com 5: no device", "Com 6: no device"}},
      {"two adapters, one without a by-id name, and a built-in port; the scan found ttyUSB0 twice",
       {kUart0, kUsbWithoutId, kProlific, kFtdi, {"/dev/ttyUSB0", "FT232R USB UART", "", true, true}},
       {"Com 1 is /dev/ttyUSB0, FT232R USB UART, here", "Com 2 is /dev/ttyUSB1, USB-Serial Controller, here",
        "Com 3 is /dev/ttyACM0 here", "Com 4 is /dev/ttyS0 here", "Com 5: no device", "Com 6: no device"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Lines(c.scan), c.lines) << c.machine;
  }
}

TEST(PortMapping, AnAdapterKeepsItsComPortWhenReplugged) {
  // Plugged in the other order, the kernel hands out the ttyUSB numbers the other way round.
  SerialDevice ftdi = kFtdi;
  SerialDevice prolific = kProlific;
  ftdi.path = "/dev/ttyUSB1";
  prolific.path = "/dev/ttyUSB0";
  const auto lines = Lines({prolific, ftdi, kUart0});
  EXPECT_EQ(lines[0], "Com 1 is /dev/ttyUSB1, FT232R USB UART, here");
  EXPECT_EQ(lines[1], "Com 2 is /dev/ttyUSB0, USB-Serial Controller, here");
  EXPECT_EQ(lines[2], "Com 3 is /dev/ttyS0 here");
  // Unplugged: the built-in port moves up, the adapter's number is free again.
  EXPECT_EQ(Lines({kProlific, kUart0})[0], "Com 1 is /dev/ttyUSB1, USB-Serial Controller, here");
}

TEST(PortMapping, TheEnvironmentOverridesOnePortAndDevicePathsPassThrough) {
  ScopedPortEnumerator scope(std::make_shared<ListedPorts>(std::vector<SerialDevice>{kFtdi, kUart0}));
  qputenv("ZMR_COM2", "/tmp/zmr/COM1");
  qputenv("ZMR_COM6", "/dev/ttyUSB0");
  const auto mappings = MapPorts(6);
  EXPECT_EQ(PortDeviceLine(mappings[0]), "Com 1 is /dev/ttyUSB0, FT232R USB UART, here");
  EXPECT_EQ(PortDeviceLine(mappings[1]), "Com 2 is /tmp/zmr/COM1 here");
  EXPECT_TRUE(mappings[1].overridden);
  EXPECT_EQ(PortDeviceLine(mappings[5]), "Com 6 is /dev/ttyUSB0, FT232R USB UART, here");
  EXPECT_EQ(PortDevice("COM2"), "/tmp/zmr/COM1");
  EXPECT_EQ(PortDevice("COM1"), "/dev/ttyUSB0");
  EXPECT_EQ(PortDevice("COM3"), "");
  EXPECT_EQ(PortDevice("COM0"), "");
  EXPECT_EQ(PortDevice("/dev/ttyAMA0"), "/dev/ttyAMA0");
  EXPECT_EQ(PortDevice("com2"), "/tmp/zmr/COM1");  // COM names in any case
  EXPECT_EQ(PortDevice("Com1"), "/dev/ttyUSB0");
  EXPECT_EQ(PortDevice("./com1"), "./com1");
  qunsetenv("ZMR_COM2");
  qunsetenv("ZMR_COM6");
  EXPECT_EQ(PortDevice("COM2"), "/dev/ttyS0");
}

TEST(SystemPorts, AdaptersComeFromTheirByIdLinksAndEmptyUartNodesAreLeftOut) {
  QTemporaryDir root;
  QDir dir(root.path());
  dir.mkpath("dev/serial/by-id");
  for (const char* node : {"dev/ttyUSB3", "dev/ttyUSB5"}) {
    QFile f(dir.filePath(node));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  const QString by_id = dir.filePath("dev/serial/by-id");
  QFile::link("../../ttyUSB5", by_id + "/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0");
  QFile::link("../../ttyUSB3", by_id + "/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");
  QFile::link("../../ttyUSB9", by_id + "/usb-Unplugged_Adapter-if00-port0");  // left behind
  // Every built-in UART node of this machine reports "no chip".
  for (int n = 0; n < 32; ++n) {
    dir.mkpath(QStringLiteral("sys/ttyS%1").arg(n));
    QFile type(dir.filePath(QStringLiteral("sys/ttyS%1/type").arg(n)));
    ASSERT_TRUE(type.open(QIODevice::WriteOnly));
    type.write("0\n");
  }
  const auto ordered = OrderPorts(MakeSystemPortEnumerator(by_id, dir.filePath("sys"))->scan());
  ASSERT_GE(ordered.size(), 2u);
  EXPECT_EQ(ordered[0].path, dir.canonicalPath() + "/dev/ttyUSB5");
  EXPECT_EQ(ordered[0].description, "FTDI FT232R USB UART A10K3XYZ");
  EXPECT_EQ(ordered[1].path, dir.canonicalPath() + "/dev/ttyUSB3");
  EXPECT_EQ(ordered[1].by_id, "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");
  for (const SerialDevice& d : ordered) {
    EXPECT_FALSE(d.path.contains("ttyUSB9"));
    EXPECT_FALSE(d.path.startsWith("/dev/ttyS")) << d.path.toStdString();
  }
}

TEST(PortErrorHint, TheRealPortTellsWhereAMissingPortLed) {
  ScopedPortEnumerator scope(std::make_shared<ListedPorts>(std::vector<SerialDevice>{}));
  const auto port = MakeQtSerialPort();
  try {
    port->open("COM1");
    FAIL() << "a machine without serial ports opened COM1";
  } catch (const PortError& e) {
    EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
    EXPECT_EQ(e.port(), "COM1");
    EXPECT_EQ(e.device(), "");
  }
  try {
    port->open("/nonexistent/ttyUSB7");
    FAIL() << "a missing device opened";
  } catch (const PortError& e) {
    EXPECT_EQ(e.cause(), PortCause::NoDevice);
    EXPECT_EQ(e.osError(), ENOENT);
    EXPECT_EQ(e.device(), "/nonexistent/ttyUSB7");
    EXPECT_TRUE(PortErrorText(e).endsWith("/nonexistent/ttyUSB7 is not there: the adapter may be unplugged. Plug it "
                                          "in, or choose another port."));
  }
  EXPECT_FALSE(port->isOpen());
}

}  // namespace
}  // namespace zmr
