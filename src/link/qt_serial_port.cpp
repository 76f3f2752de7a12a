// SerialPort on QSerialPort. It runs without an event loop: the blocking waitFor...
// calls move the bytes between the driver and QSerialPort's buffers.
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QSerialPort>
#include <cerrno>
#include <optional>

#include "link/port_error.h"
#include "link/port_names.h"
#include "link/serial_port.h"

namespace zmr {
namespace {

constexpr int kBaudRate = 9600;
// QSerialPort keeps only its own error kind: the cause behind it and the OS number it stands for.
struct Failure {
  PortCause cause;
  int os_error;
};

Failure FailureOf(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      return {PortCause::NoDevice, ENOENT};
    case QSerialPort::PermissionError:
      return {PortCause::NotAllowed, EACCES};
    case QSerialPort::OpenError:
      return {PortCause::Busy, EBUSY};
    case QSerialPort::NotOpenError:
      return {PortCause::NotOpen, EBADF};
    case QSerialPort::UnsupportedOperationError:
      return {PortCause::OsError, ENOTTY};
    case QSerialPort::ResourceError:
      return {PortCause::NoDevice, ENXIO};
    case QSerialPort::TimeoutError:
      return {PortCause::OsError, ETIMEDOUT};
    default:
      return {PortCause::OsError, EIO};
  }
}

// QSerialPort reports a port that another program holds (its lock file, or the
// device's exclusive mode) as a permission error too; the device's own access rights
// tell the two apart.
Failure OpenFailureOf(QSerialPort::SerialPortError error, const QString& device) {
  if (error != QSerialPort::PermissionError) {
    return FailureOf(error);
  }
  if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0) {
    return errno == ENOENT ? Failure{PortCause::NoDevice, ENOENT} : Failure{PortCause::NotAllowed, EACCES};
  }
  return {PortCause::Busy, EBUSY};
}

class QtSerialPort final : public SerialPort {
 public:
  void open(const QString& name) override {
    close();
    const QString device = PortDevice(name);
    if (device.isEmpty()) {
      throw PortError(PortStep::Open, PortCause::NoDevice, name.toStdString());  // COM<n> leads to no device
    }
    port_.setPortName(device);
    name_ = name.toStdString();
    device_ = device.toStdString();
    // QSerialPort applies these while it opens and closes the device again when one fails.
    port_.setBaudRate(kBaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
      const auto error = port_.error();
      port_.clearError();
      const bool device_failed = error == QSerialPort::DeviceNotFoundError ||
                                 error == QSerialPort::PermissionError ||
                                 error == QSerialPort::OpenError;
      const Failure failure = OpenFailureOf(error, device);
      throw PortError(device_failed ? PortStep::Open : PortStep::Settings, failure.cause, name.toStdString(),
                      device.toStdString(), failure.os_error);
    }
    // A pseudo-terminal has no modem lines; holding them inactive is best effort.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.clearError();
    struct stat opened {};
    opened_device_ = ::fstat(port_.handle(), &opened) == 0 ? std::optional<dev_t>(opened.st_rdev) : std::nullopt;
  }

  void close() override {
    if (port_.isOpen()) {
      port_.close();
    }
    port_.clearError();
  }

  bool isOpen() const override { return port_.isOpen(); }

  void purge(bool input, bool output) override {
    requireOpen(PortStep::Purge);
    QSerialPort::Directions directions;
    if (input) directions |= QSerialPort::Input;
    if (output) directions |= QSerialPort::Output;
    if (directions && !port_.clear(directions)) {
      fail(PortStep::Purge);
    }
  }

  std::size_t write(std::span<const std::uint8_t> bytes) override {
    requireOpen(PortStep::Write);
    const auto size = static_cast<qint64>(bytes.size());
    if (port_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
      fail(PortStep::Write);
    }
    QDeadlineTimer deadline(kWriteMsPerByte * size + kWriteMsPerWrite);
    while (port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
      if (!port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
        if (port_.error() != QSerialPort::TimeoutError && port_.error() != QSerialPort::NoError) {
          fail(PortStep::Write);
        }
        port_.clearError();
      }
    }
    // What is still queued after the time-out is dropped by the next purge.
    return static_cast<std::size_t>(size - port_.bytesToWrite());
  }

  std::vector<std::uint8_t> read(std::size_t max) override {
    requireOpen(PortStep::Read);
    if (port_.bytesAvailable() < static_cast<qint64>(max)) {
      pull(0);
    }
    std::vector<std::uint8_t> bytes(max);
    const qint64 got = port_.read(reinterpret_cast<char*>(bytes.data()), static_cast<qint64>(max));
    if (got < 0) {
      fail(PortStep::Read);
    }
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
  }

  bool lostDevice() const override {
    if (!port_.isOpen()) {
      return false;
    }
    // A line whose far end went away reports a hang-up; the node is then gone or, once
    // the device is back, a new one (a pseudo-terminal may even get the old number).
    pollfd line{port_.handle(), 0, 0};
    if (::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      return true;
    }
    struct stat now {};
    if (::stat(device_.c_str(), &now) != 0) {
      return true;
    }
    return opened_device_ && now.st_rdev != *opened_device_;
  }

  bool waitReadable(int ms) override {
    requireOpen(PortStep::Read);
    if (port_.bytesAvailable() > 0) {
      return true;
    }
    pull(ms);
    return port_.bytesAvailable() > 0;
  }

 private:
  // Moves what the driver holds into QSerialPort's buffer, waiting up to ms for a first byte.
  void pull(int ms) {
    if (!port_.waitForReadyRead(ms)) {
      const auto error = port_.error();
      port_.clearError();
      if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError) {
        fail(PortStep::Read, error);
      }
    }
  }

  void requireOpen(PortStep step) const {
    if (!port_.isOpen()) {
      throw PortError(step, PortCause::NotOpen);
    }
  }

  [[noreturn]] void fail(PortStep step) {
    const auto error = port_.error();
    port_.clearError();
    fail(step, error);
  }

  [[noreturn]] void fail(PortStep step, QSerialPort::SerialPortError error) const {
    const Failure failure = FailureOf(error);
    throw PortError(step, failure.cause, name_, device_, failure.os_error);
  }

  QSerialPort port_;
  std::string name_;    // the port and device last opened, for the error box's advice
  std::string device_;
  std::optional<dev_t> opened_device_;  // the device number behind the open port
};

}  // namespace

std::unique_ptr<SerialPort> MakeQtSerialPort() { return std::make_unique<QtSerialPort>(); }

}  // namespace zmr
