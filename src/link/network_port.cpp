// SerialPort on a TCP connection to a network serial server, the stack
// telnet(rfc2217) over TLS over TCP with the Telnet and TLS layers each there or not. Like
// the QSerialPort one it runs without an event loop: the blocking waitFor... calls move
// the bytes. For rfc2217 the Telnet layer sets the server's line to 9600 8N1 on every
// connect and keeps option answers and notifications out of the data; tcp carries bytes
// as they are. A connection the server drops closes the port, so the next open connects
// afresh.
//
// Nothing a server sends can hold the console or its memory: the open has one deadline
// for connecting, the handshake and the negotiation; every read, write and purge has its
// own; option answers are capped and sent within a short deadline; and what arrives is
// kept in bounded buffers.
#include "link/network_port.h"

#include <poll.h>
#include <sys/socket.h>

#include <QDeadlineTimer>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <cerrno>
#include <deque>
#include <memory>

#include "link/network_address.h"
#include "link/port_error.h"
#include "link/port_map.h"
#include "link/port_names.h"
#include "link/serial_port.h"
#include "link/telnet_codec.h"
#include "link/tls_files.h"
#include "link/tls_layer.h"

namespace zmr {
namespace {

// Qt's own buffer of received bytes: a flood waits in the kernel, not in our memory.
constexpr qint64 kReadBufferBytes = 64 * 1024;
// Received data not yet read: like a serial driver's buffer (a few replies long), what
// does not fit is lost.
constexpr std::size_t kMaxPendingData = 4096;
// Option answers are a few bytes; a server that does not take them within this long is
// not waited for.
constexpr int kAnswerDeadlineMs = 500;
// A server turns a client away at once: ser2net's "Port already in use", a Telnet
// server's option requests, a TLS 1.3 server's end of a session whose certificate it
// refuses. A tcp link, which expects no greeting, listens this long after connecting so
// that the open says so before a byte of data is sent.
constexpr int kTurnAwayWaitMs = 50;
// The first data bytes of a connection are kept to recognise a server turning us away.
constexpr qsizetype kGreetingBytes = 64;
// ser2net's words to a second client ("Port already in use", "Port's device already in use").
constexpr char kInUse[] = "already in use";

// Why a connect failed, as far as the socket tells.
PortError ConnectFailure(const QTcpSocket& socket, const PortPlace& place) {
  const auto failed = [&](PortCause cause, std::optional<int> os_error = std::nullopt) {
    return PortError(PortStep::Open, cause, place.name, place.device, os_error);
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

// Whether the first bytes of a tcp link are a Telnet command: IAC and a negotiation verb.
bool StartsWithTelnet(const QByteArray& head) {
  const auto verb = static_cast<std::uint8_t>(head.size() > 1 ? head[1] : 0);
  return static_cast<std::uint8_t>(head[0]) == telnet::kIac &&
         (verb == telnet::kSb || (verb >= telnet::kWill && verb <= telnet::kDont));
}

int Remaining(const QDeadlineTimer& deadline) { return static_cast<int>(std::max<qint64>(0, deadline.remainingTime())); }

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
    place_ = {name.toStdString(), address_.text().toStdString()};
    rfc2217_ = address_.scheme == NetworkAddress::Scheme::Rfc2217;

    const QDeadlineTimer deadline(kNetworkConnectTimeoutMs);
    connect(deadline);
    if (rfc2217_) {
      negotiate(deadline);
    } else {
      pull(std::min(kTurnAwayWaitMs, Remaining(deadline)), PortStep::Open);
    }
    session_.opening = false;
  }

  void close() override {
    if (socket_) {
      socket_->abort();
      socket_.reset();
    }
    tls_ = nullptr;
    session_ = Session{};
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
    if (tls_) {
      // The raw socket holds TLS records, not data: a peek would take the server's
      // close_notify for data. The session reads what is there and knows if it ended.
      tls_->waitForReadyRead(0);
      return tls_->state() != QAbstractSocket::ConnectedState;
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
      send(telnet::PurgeCommand(input, output), PortStep::Purge, WriteDeadlineMs(0));
    }
    if (input) {
      pull(0, PortStep::Purge);
      session_.data.clear();
    }
  }

  std::size_t write(std::span<const std::uint8_t> bytes) override {
    requireOpen(PortStep::Write);
    ++session_.writes;
    const std::vector<std::uint8_t> wire =
        rfc2217_ ? telnet::EscapeData(bytes) : std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    const std::size_t left = send(wire, PortStep::Write, WriteDeadlineMs(bytes.size()));
    // What the socket still holds after the time-out goes out later; the caller does not
    // look at the count.
    return bytes.size() - std::min(left, bytes.size());
  }

  std::vector<std::uint8_t> read(std::size_t max) override {
    requireOpen(PortStep::Read);
    if (session_.data.size() < max) {
      pull(0, PortStep::Read);
    }
    std::deque<std::uint8_t>& data = session_.data;
    const std::size_t n = std::min(max, data.size());
    std::vector<std::uint8_t> bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
    data.erase(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
    return bytes;
  }

  bool waitReadable(int ms) override {
    requireOpen(PortStep::Read);
    const QDeadlineTimer deadline(std::max(ms, 0));
    while (session_.data.empty()) {
      // Option answers and notifications wake the wait too; only data ends it.
      if (!pull(Remaining(deadline), PortStep::Read) || deadline.hasExpired()) {
        break;
      }
    }
    return !session_.data.empty();
  }

 private:
  // What one connection has seen; a new connection starts afresh.
  struct Session {
    telnet::Reader reader;
    std::deque<std::uint8_t> data;  // received data not yet read
    QByteArray greeting;            // the first data bytes
    QByteArray head;                // the first bytes of a tcp link, before they are data
    std::size_t received = 0;       // bytes received (data and Telnet alike)
    std::size_t writes = 0;         // data writes on this connection
    bool opening = true;            // the open has not ended yet
  };

  static int WriteDeadlineMs(std::size_t bytes) {
    return static_cast<int>(kWriteMsPerByte * static_cast<qint64>(bytes) + kWriteMsPerWrite);
  }

  // TCP, and TLS inside it when the address asks for it, within the open's deadline. A
  // timer's server is reached directly: a web proxy named in http_proxy (which Qt would
  // otherwise use for every socket) is for the web, not for the school's own network.
  void connect(const QDeadlineTimer& deadline) {
    if (!address_.tls) {
      auto socket = std::make_unique<QTcpSocket>();
      socket->setProxy(QNetworkProxy::NoProxy);
      socket->connectToHost(address_.host, address_.port, QIODevice::ReadWrite);
      if (!socket->waitForConnected(Remaining(deadline))) {
        const PortError failure = ConnectFailure(*socket, place_);
        socket->abort();
        throw failure;
      }
      socket_ = std::move(socket);
    } else {
      std::unique_ptr<QSslSocket> socket = MakeTlsSocket(TlsFilesIn(PortMapFolder()), place_);
      socket->setProxy(QNetworkProxy::NoProxy);
      bool connected = false;  // TCP got through: a failure after this is TLS's
      const QMetaObject::Connection watch =
          QObject::connect(socket.get(), &QAbstractSocket::connected, [&connected] { connected = true; });
      socket->connectToHostEncrypted(address_.host, address_.port, QIODevice::ReadWrite);
      const bool encrypted = socket->waitForEncrypted(Remaining(deadline));
      QObject::disconnect(watch);
      if (!encrypted) {
        const PortError failure = !connected ? ConnectFailure(*socket, place_)
                                  : deadline.hasExpired() && socket->sslHandshakeErrors().isEmpty()
                                      ? HandshakeTimedOut()
                                      : TlsHandshakeFailure(*socket, place_);
        socket->abort();
        throw failure;
      }
      tls_ = socket.get();
      socket_ = std::move(socket);
    }
    // Requests are a few bytes each: send them at once, not after the peer's ack.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_->setReadBufferSize(kReadBufferBytes);
  }

  PortError HandshakeTimedOut() const {
    PortErrorDetails d;
    d.words = QStringLiteral("no TLS handshake within %1 seconds").arg(kNetworkConnectTimeoutMs / 1000);
    return {PortStep::Open, PortCause::TlsFailed, place_.name, place_.device, std::nullopt, d};
  }

  // Offers the options and sets the line. The option's answer is waited for, because a
  // server that refuses it would take the settings as data for the timer, and one that
  // sends no Telnet at all is a raw port; the settings' own answers are not, since
  // servers leave some unanswered.
  void negotiate(const QDeadlineTimer& deadline) {
    telnet::Reader& reader = session_.reader;
    send(reader.startNegotiation(), PortStep::Settings, kAnswerDeadlineMs);
    while (reader.comPortAnswer() == telnet::ComPortAnswer::Unknown && !deadline.hasExpired()) {
      if (!session_.data.empty() && !reader.sawTelnet()) break;  // data first: no Telnet server
      pull(Remaining(deadline), PortStep::Settings);
    }
    if (!reader.sawTelnet()) fail(PortStep::Settings, PortCause::NotTelnet);
    if (reader.comPortAnswer() == telnet::ComPortAnswer::Refused) fail(PortStep::Settings, PortCause::NoPortControl);
    send(telnet::LineSettingCommands({}), PortStep::Settings, WriteDeadlineMs(0));
  }

  // Queues the bytes and waits until they are sent or the deadline passes; returns how
  // many are still queued.
  std::size_t send(const std::vector<std::uint8_t>& wire, PortStep step, int deadline_ms) {
    if (wire.empty()) return 0;
    const auto size = static_cast<qint64>(wire.size());
    if (socket_->write(reinterpret_cast<const char*>(wire.data()), size) != size) {
      dropped(step);
    }
    const QDeadlineTimer deadline(deadline_ms);
    while (socket_->bytesToWrite() > 0 && !deadline.hasExpired()) {
      if (!socket_->waitForBytesWritten(Remaining(deadline)) && socket_->state() != QAbstractSocket::ConnectedState) {
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
    session_.received += static_cast<std::size_t>(got.size());
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(got.constData()), static_cast<std::size_t>(got.size()));
    if (rfc2217_) {
      std::vector<std::uint8_t> data;
      std::vector<std::uint8_t> reply;
      session_.reader.feed(bytes, data, reply);
      if (session_.reader.storm()) fail(step, PortCause::RenegotiationStorm);
      keep(data, step);
      if (!reply.empty()) send(reply, step, kAnswerDeadlineMs);
    } else {
      sniff(got, step);
      keep({bytes.begin(), bytes.end()}, step);
    }
    return true;
  }

  // A Telnet server on a tcp link greets with option requests before anything else.
  void sniff(const QByteArray& got, PortStep step) {
    QByteArray& head = session_.head;
    if (head.size() >= 2 || (!head.isEmpty() && static_cast<std::uint8_t>(head[0]) != telnet::kIac)) return;
    head += got.left(2 - head.size());
    if (StartsWithTelnet(head) && head.size() == 2) fail(step, PortCause::TelnetOnRawLink);
  }

  void keep(const std::vector<std::uint8_t>& data, PortStep step) {
    QByteArray& greeting = session_.greeting;
    if (greeting.size() < kGreetingBytes) {
      greeting.append(reinterpret_cast<const char*>(data.data()),
                      std::min<qsizetype>(kGreetingBytes - greeting.size(), static_cast<qsizetype>(data.size())));
      if (greeting.contains(kInUse)) fail(step, PortCause::ServerInUse);
    }
    const std::size_t room = kMaxPendingData - std::min(kMaxPendingData, session_.data.size());
    session_.data.insert(session_.data.end(), data.begin(),
                         data.begin() + static_cast<std::ptrdiff_t>(std::min(room, data.size())));
  }

  // The connection ended: a server that turned us away said so first; a TLS server that
  // ends the session it just made without a byte, at the latest on the first request (a
  // TLS 1.3 refusal may come after it was sent), refused this PC.
  [[noreturn]] void dropped(PortStep step) {
    if (session_.greeting.contains(kInUse)) fail(step, PortCause::ServerInUse);
    if (tls_ && session_.received == 0 && session_.writes <= 1) {
      const PortError refused = TlsRefused(*tls_, place_);
      close();
      throw refused;
    }
    // ser2net turning a second client away now and then ends the connection after its
    // Telnet options without its words: a Telnet server that closes in the middle of the
    // open, before any data, is turning us away.
    if (rfc2217_ && session_.opening && session_.received > 0 && session_.greeting.isEmpty()) {
      fail(step, PortCause::ServerInUse);
    }
    fail(step, PortCause::Lost);
  }

  // A server that turned us away, or is of the wrong kind, did so from the connect on: the
  // open failed, whatever primitive came upon it. Other failures belong to their step.
  [[noreturn]] void fail(PortStep step, PortCause cause) {
    const bool from_the_start = cause == PortCause::ServerInUse || cause == PortCause::TelnetOnRawLink;
    close();
    throw PortError(from_the_start ? PortStep::Open : step, cause, place_.name, place_.device);
  }

  void requireOpen(PortStep step) const {
    if (!socket_) {
      throw PortError(step, PortCause::NotOpen);
    }
  }

  std::unique_ptr<QTcpSocket> socket_;
  QSslSocket* tls_ = nullptr;  // socket_ itself when the link is TLS
  NetworkAddress address_;
  PortPlace place_;
  bool rfc2217_ = false;
  Session session_;
};

}  // namespace

std::unique_ptr<SerialPort> MakeNetworkPort() { return std::make_unique<NetworkPort>(); }

}  // namespace zmr
