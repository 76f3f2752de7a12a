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

#include "base/errors.h"
#include "link/network_address.h"
#include "link/network_port.h"
#include "link/port_names.h"
#include "link/serial_port.h"
#include "link/telnet_codec.h"

namespace zmr {
namespace {

using namespace port_failure;

int ConnectErrorOf(const QTcpSocket& socket) {
  switch (socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
      return ECONNREFUSED;
    case QAbstractSocket::HostNotFoundError:
      return kHostNotFound;
    case QAbstractSocket::SocketTimeoutError:
      return ETIMEDOUT;
    case QAbstractSocket::NetworkError:
      return ENETUNREACH;
    case QAbstractSocket::SocketAccessError:
      return EACCES;
    default:
      // Still connecting when the wait ended is a time-out too.
      return socket.state() == QAbstractSocket::ConnectedState ? EIO : ETIMEDOUT;
  }
}

class NetworkPort final : public SerialPort {
 public:
  void open(const QString& name) override {
    close();
    const QString target = PortDevice(name);
    const ParsedAddress parsed = ParseNetworkAddress(target);
    if (!parsed.address) {
      throw PortError(kOpenFailed, EINVAL, name.toStdString(), target.toStdString());
    }
    address_ = *parsed.address;
    name_ = name.toStdString();
    device_ = address_.text().toStdString();
    rfc2217_ = address_.scheme == NetworkAddress::Scheme::Rfc2217;

    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(address_.host, address_.port, QIODevice::ReadWrite);
    if (!socket->waitForConnected(kNetworkConnectTimeoutMs)) {
      const int error = ConnectErrorOf(*socket);
      socket->abort();
      throw PortError(kOpenFailed, error, name_, device_);
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
    requireOpen(kPurgeFailed);
    if (rfc2217_) {
      send(telnet::PurgeCommand(input, output), kPurgeFailed);
    }
    if (input) {
      pull(0, kPurgeFailed);
      data_.clear();
    }
  }

  std::size_t write(std::span<const std::uint8_t> bytes) override {
    requireOpen(kWriteFailed);
    const std::size_t left = rfc2217_ ? send(telnet::EscapeData(bytes), kWriteFailed)
                                      : send({bytes.begin(), bytes.end()}, kWriteFailed);
    // What the socket still holds after the time-out goes out later; the caller does not
    // look at the count.
    return bytes.size() - std::min(left, bytes.size());
  }

  std::vector<std::uint8_t> read(std::size_t max) override {
    requireOpen(kReadFailed);
    if (data_.size() < max) {
      pull(0, kReadFailed);
    }
    const std::size_t n = std::min(max, data_.size());
    std::vector<std::uint8_t> bytes(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(n));
    data_.erase(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(n));
    return bytes;
  }

  bool waitReadable(int ms) override {
    requireOpen(kReadFailed);
    const QDeadlineTimer deadline(std::max(ms, 0));
    while (data_.empty()) {
      // Option answers and notifications wake the wait too; only data ends it.
      if (!pull(static_cast<int>(deadline.remainingTime()), kReadFailed) || deadline.hasExpired()) {
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
    send(reader_.startNegotiation(), kSettingsFailed);
    const QDeadlineTimer deadline(kNetworkConnectTimeoutMs);
    while (reader_.comPortAnswer() == telnet::ComPortAnswer::Unknown && !deadline.hasExpired()) {
      if (!pull(static_cast<int>(deadline.remainingTime()), kSettingsFailed)) break;
    }
    if (reader_.comPortAnswer() == telnet::ComPortAnswer::Refused) {
      close();
      throw PortError(kSettingsFailed, kComPortRefused, name_, device_);
    }
    send(telnet::LineSettingCommands({}), kSettingsFailed);
  }

  // Queues the bytes and waits until they are sent or the write time-out ends; returns
  // how many are still queued.
  std::size_t send(const std::vector<std::uint8_t>& wire, const char* message) {
    if (wire.empty()) return 0;
    const auto size = static_cast<qint64>(wire.size());
    if (socket_->write(reinterpret_cast<const char*>(wire.data()), size) != size) {
      dropped(message);
    }
    const QDeadlineTimer deadline(kWriteMsPerByte * size + kWriteMsPerWrite);
    while (socket_->bytesToWrite() > 0 && !deadline.hasExpired()) {
      if (!socket_->waitForBytesWritten(static_cast<int>(deadline.remainingTime())) &&
          socket_->state() != QAbstractSocket::ConnectedState) {
        dropped(message);
      }
    }
    return static_cast<std::size_t>(socket_->bytesToWrite());
  }

  // Takes what has arrived, waiting up to ms for something when nothing has. Server
  // requests are answered at once. False when nothing arrived.
  bool pull(int ms, const char* message) {
    if (socket_->bytesAvailable() == 0) {
      socket_->waitForReadyRead(ms);
    }
    const QByteArray got = socket_->readAll();
    if (got.isEmpty()) {
      if (socket_->state() != QAbstractSocket::ConnectedState) {
        dropped(message);
      }
      return false;
    }
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(got.constData()), static_cast<std::size_t>(got.size()));
    if (rfc2217_) {
      std::vector<std::uint8_t> data;
      std::vector<std::uint8_t> reply;
      reader_.feed(bytes, data, reply);
      data_.insert(data_.end(), data.begin(), data.end());
      if (!reply.empty()) send(reply, message);
    } else {
      data_.insert(data_.end(), bytes.begin(), bytes.end());
    }
    return true;
  }

  [[noreturn]] void dropped(const char* message) {
    close();
    throw PortError(message, ECONNRESET, name_, device_);
  }

  void requireOpen(const char* message) const {
    if (!socket_) {
      throw PortError(message, EBADF);
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
