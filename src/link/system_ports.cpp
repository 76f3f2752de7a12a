// The machine's own serial devices: USB adapters by their /dev/serial/by-id links, the
// rest from QSerialPortInfo. A built-in UART node exists for every possible port
// (ttyS0 .. ttyS31), so one counts only when the kernel found a chip behind it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include "link/port_names.h"

namespace zmr {
namespace {

// The 8250 driver reports the UART type in sysfs; 0 means no chip answered there.
bool UartPresent(const QString& sys_tty, const QString& name) {
  QFile type(sys_tty + '/' + name + QStringLiteral("/type"));
  if (!type.open(QIODevice::ReadOnly)) {
    return true;  // not an 8250-style node: trust the scan
  }
  return type.readAll().trimmed() != "0";
}

// "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0" -> "FTDI FT232R USB UART A10K3XYZ"
QString DescriptionFromById(QString name) {
  if (name.startsWith(QStringLiteral("usb-"))) name = name.mid(4);
  name.remove(QRegularExpression(QStringLiteral("-if[0-9]+(-port[0-9]+)?$")));
  return name.replace('_', ' ');
}

class SystemPortEnumerator final : public PortEnumerator {
 public:
  SystemPortEnumerator(QString by_id, QString sys_tty) : by_id_(std::move(by_id)), sys_tty_(std::move(sys_tty)) {}

  std::vector<SerialDevice> scan() const override {
    const auto infos = QSerialPortInfo::availablePorts();
    auto description_of = [&](const QString& path) {
      for (const auto& info : infos) {
        if (info.systemLocation() == path) return info.description();
      }
      return QString();
    };
    std::vector<SerialDevice> found;
    const QDir by_id(by_id_);
    for (const QFileInfo& link : by_id.entryInfoList(QDir::Files | QDir::System, QDir::Name)) {
      const QString path = link.canonicalFilePath();
      if (path.isEmpty()) continue;  // a link left behind by an unplugged adapter
      QString description = description_of(path);
      if (description.isEmpty()) description = DescriptionFromById(link.fileName());
      found.push_back({path, description, link.fileName(), true, true});
    }
    for (const auto& info : infos) {
      const QString path = info.systemLocation();
      SerialDevice device{path, info.description(), {}, info.hasVendorIdentifier(), true};
      if (!device.usb && info.portName().startsWith(QStringLiteral("ttyS"))) {
        device.present = UartPresent(sys_tty_, info.portName());
      }
      found.push_back(device);  // OrderPorts keeps a device found twice once, by-id first
    }
    return found;
  }

 private:
  QString by_id_;
  QString sys_tty_;
};

}  // namespace

std::unique_ptr<PortEnumerator> MakeSystemPortEnumerator(const QString& by_id_folder, const QString& sys_tty_folder) {
  return std::make_unique<SystemPortEnumerator>(by_id_folder, sys_tty_folder);
}

}  // namespace zmr
