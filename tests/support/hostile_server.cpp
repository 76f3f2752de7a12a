#include "support/hostile_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

#include "link/telnet_codec.h"

namespace zmr::testing {

namespace {

constexpr int kAcceptPollMs = 20;
constexpr std::size_t kChunkRepeats = 4096;
constexpr std::size_t kTurnAwayBytes = 12;  // one round of option changes

std::vector<std::uint8_t> Chunk(HostileServer::Kind kind) {
  using namespace telnet;
  const std::vector<std::uint8_t> changes = {kIac, kWill, kOptionBinary, kIac, kWont, kOptionBinary,
                                             kIac, kDo,   kOptionSuppressGoAhead, kIac, kDont, kOptionSuppressGoAhead};
  const std::vector<std::uint8_t> one = kind != HostileServer::Kind::DataFlood ? changes : std::vector<std::uint8_t>{0x55};
  std::vector<std::uint8_t> chunk;
  for (std::size_t i = 0; i < kChunkRepeats; ++i) chunk.insert(chunk.end(), one.begin(), one.end());
  return chunk;
}

}  // namespace

HostileServer::HostileServer(Kind kind) {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::listen(listener_, 4) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    throw std::runtime_error("the hostile server cannot listen");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this, kind] { serve(kind); });
}

HostileServer::~HostileServer() {
  stop_ = true;
  if (const int c = client_.load(); c >= 0) ::shutdown(c, SHUT_RDWR);  // ends a send that waits
  thread_.join();
  ::close(listener_);
}

void HostileServer::serve(Kind kind) {
  const std::vector<std::uint8_t> chunk = Chunk(kind);
  while (!stop_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, kAcceptPollMs) <= 0) continue;
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    client_ = client;
    if (kind == Kind::TurnAway) {
      ::send(client, chunk.data(), kTurnAwayBytes, MSG_NOSIGNAL);
    } else {
      while (!stop_ && ::send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0) {
      }
    }
    client_ = -1;
    ::close(client);
  }
}

}  // namespace zmr::testing
