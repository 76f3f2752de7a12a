// SerialPort on a TCP connection to a network serial server. Like the QSerialPort one it
// runs without an event loop: the blocking waitFor... calls move the bytes. For
// rfc2217:// the Telnet layer sets the server's line to 9600 8N1 on every connect and
// keeps option answers and notifications out of the data; tcp:// carries bytes as they
// are. A connection the server drops closes the port, so the next open connects afresh.
#include <poll.h>
#include <sys/socket.h>

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <cerrno>
#include <deque>
#include <memory>

#include "link/network_address.h"
#include "link/network_port.h"
#include "link/port_error.h"
#include "link/port_names.h"
#include "link/serial_port.h"
#include "link/telnet_codec.h"

namespace zmr {
namespace {

// Why a connect failed, as far as the socket tells.
PortError ConnectFailure(const QTcpSocket& socket, const std::string& name, const std::string& device) {
  const auto failed = [&](PortCause cause, std::optional<int> os_error = std::nullopt) {
    return PortError(PortStep::Open, cause, name, device, os_error);
  };
  switch (socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
      return failed(PortCause::Refused);
    case QAbstractSocket::HostNotFoundError:
      return failed(PortCause::UnknownHost);
    case QAbstractSocket::SocketTimeoutError:
      return failed(PortCause::TimedOut);
    case QAbstractSocket::NetworkError:
      return failed(PortCause::Unreachable);
    case QAbstractSocket::SocketAccessError:
      return failed(PortCause::OsError, EACCES);  // the system would not make the socket
    default:
      // Still connecting when the wait ended is a time-out too.
      return failed(socket.state() == QAbstractSocket::ConnectedState ? PortCause::OsError : PortCause::TimedOut);
  }
}

class NetworkPort final : public SerialPort {
 public:
  void open(const QString& name) override {
    close();
    const QString target = PortDevice(name);
    const ParsedAddress parsed = ParseNetworkAddress(target);
    if (!parsed.address) {
      throw PortError(PortStep::Open, PortCause::BadAddress, name.toStdString(), target.toStdString());
    }
    address_ = *parsed.address;
    name_ = name.toStdString();
    device_ = address_.text().toStdString();
    rfc2217_ = address_.scheme == NetworkAddress::Scheme::Rfc2217;

    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(address_.host, address_.port, QIODevice::ReadWrite);
    if (!socket->waitForConnected(kNetworkConnectTimeoutMs)) {
      const PortError failure = ConnectFailure(*socket, name_, device_);
      socket->abort();
      throw failure;
    }
    // Requests are a few bytes each: send them at once, not after the peer's ack.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_ = std::move(socket);
    if (rfc2217_) {
      negotiate();
    }
  }

  void close() override {
    if (socket_) {
      socket_->abort();
      socket_.reset();
    }
    data_.clear();
    reader_ = telnet::Reader();
  }

  bool isOpen() const override { return socket_ != nullptr; }

  // The server ended the connection while the port sat idle (ser2net restarted, the
  // device server rebooted): the next request connects afresh instead of failing once.
  bool lostDevice() const override {
    if (!socket_) {
      return false;
    }
    if (socket_->state() != QAbstractSocket::ConnectedState) {
      return true;
    }
    pollfd connection{static_cast<int>(socket_->socketDescriptor()), POLLIN, 0};
    if (::poll(&connection, 1, 0) <= 0) {
      return false;
    }
    if ((connection.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      return true;
    }
    char next = 0;  // data still waiting means the server is there; end of stream means it left
    return ::recv(connection.fd, &next, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
  }

  void purge(bool input, bool output) override {
    requireOpen(PortStep::Purge);
    if (rfc2217_) {
      send(telnet::PurgeCommand(input, output), PortStep::Purge);
    }
    if (input) {
      pull(0, PortStep::Purge);
      data_.clear();
    }
  }

  std::size_t write(std::span<const std::uint8_t> bytes) override {
    requireOpen(PortStep::Write);
    const std::size_t left = rfc2217_ ? send(telnet::EscapeData(bytes), PortStep::Write)
                                      : send({bytes.begin(), bytes.end()}, PortStep::Write);
    // What the socket still holds after the time-out goes out later; the caller does not
    // look at the count.
    return bytes.size() - std::min(left, bytes.size());
  }

  std::vector<std::uint8_t> read(std::size_t max) override {
    requireOpen(PortStep::Read);
    if (data_.size() < max) {
      pull(0, PortStep::Read);
    }
    const std::size_t n = std::min(max, data_.size());
    std::vector<std::uint8_t> bytes(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(n));
    data_.erase(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(n));
    return bytes;
  }

  bool waitReadable(int ms) override {
    requireOpen(PortStep::Read);
    const QDeadlineTimer deadline(std::max(ms, 0));
    while (data_.empty()) {
      // Option answers and notifications wake the wait too; only data ends it.
      if (!pull(static_cast<int>(deadline.remainingTime()), PortStep::Read) || deadline.hasExpired()) {
        break;
      }
    }
    return !data_.empty();
  }

 private:
  // Offers the options and sets the line. The option's answer is waited for (briefly),
  // because a server that refuses it would take the settings as data for the timer; the
  // settings' own answers are not, since servers leave some unanswered.
  void negotiate() {
    send(reader_.startNegotiation(), PortStep::Settings);
    const QDeadlineTimer deadline(kNetworkConnectTimeoutMs);
    while (reader_.comPortAnswer() == telnet::ComPortAnswer::Unknown && !deadline.hasExpired()) {
      if (!pull(static_cast<int>(deadline.remainingTime()), PortStep::Settings)) break;
    }
    if (reader_.comPortAnswer() == telnet::ComPortAnswer::Refused) {
      close();
      throw PortError(PortStep::Settings, PortCause::NoPortControl, name_, device_);
    }
    send(telnet::LineSettingCommands({}), PortStep::Settings);
  }

  // Queues the bytes and waits until they are sent or the write time-out ends; returns
  // how many are still queued.
  std::size_t send(const std::vector<std::uint8_t>& wire, PortStep step) {
    if (wire.empty()) return 0;
    const auto size = static_cast<qint64>(wire.size());
    if (socket_->write(reinterpret_cast<const char*>(wire.data()), size) != size) {
      dropped(step);
    }
    const QDeadlineTimer deadline(kWriteMsPerByte * size + kWriteMsPerWrite);
    while (socket_->bytesToWrite() > 0 && !deadline.hasExpired()) {
      if (!socket_->waitForBytesWritten(static_cast<int>(deadline.remainingTime())) &&
          socket_->state() != QAbstractSocket::ConnectedState) {
        dropped(step);
      }
    }
    return static_cast<std::size_t>(socket_->bytesToWrite());
  }

  // Takes what has arrived, waiting up to ms for something when nothing has. Server
  // requests are answered at once. False when nothing arrived.
  bool pull(int ms, PortStep step) {
    if (socket_->bytesAvailable() == 0) {
      socket_->waitForReadyRead(ms);
    }
    const QByteArray got = socket_->readAll();
    if (got.isEmpty()) {
      if (socket_->state() != QAbstractSocket::ConnectedState) {
        dropped(step);
      }
      return false;
    }
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(got.constData()), static_cast<std::size_t>(got.size()));
    if (rfc2217_) {
      std::vector<std::uint8_t> data;
      std::vector<std::uint8_t> reply;
      reader_.feed(bytes, data, reply);
      data_.insert(data_.end(), data.begin(), data.end());
      if (!reply.empty()) send(reply, step);
    } else {
      data_.insert(data_.end(), bytes.begin(), bytes.end());
    }
    return true;
  }

  [[noreturn]] void dropped(PortStep step) {
    close();
    throw PortError(step, PortCause::Lost, name_, device_);
  }

  void requireOpen(PortStep step) const {
    if (!socket_) {
      throw PortError(step, PortCause::NotOpen);
    }
  }

  std::unique_ptr<QTcpSocket> socket_;
  NetworkAddress address_;
  bool rfc2217_ = false;
  telnet::Reader reader_;
  std::deque<std::uint8_t> data_;  // received data not yet read
  std::string name_;
  std::string device_;
};

}  // namespace

std::unique_ptr<SerialPort> MakeNetworkPort() { return std::make_unique<NetworkPort>(); }

}  // namespace zmr
