#pragma once
// A server on 127.0.0.1 that misbehaves as asked to every client, in a thread of its
// own, and never reads what it is sent: the kind that once held the console and its
// memory without limit.
#include <atomic>
#include <thread>

namespace zmr::testing {

class HostileServer {
 public:
  enum class Kind {
    OptionFlood,  // Telnet option changes (WILL/WONT, DO/DONT) without end
    DataFlood,    // data bytes without end
    TurnAway,     // a few Telnet option changes, then the connection closed without a word
  };
  explicit HostileServer(Kind kind);
  ~HostileServer();
  HostileServer(const HostileServer&) = delete;
  HostileServer& operator=(const HostileServer&) = delete;

  int port() const { return port_; }

 private:
  void serve(Kind kind);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<int> client_{-1};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace zmr::testing
