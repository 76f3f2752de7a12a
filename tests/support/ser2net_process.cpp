#include "support/ser2net_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace zmr::testing {

namespace {

constexpr char kSer2net[] = "/usr/sbin/ser2net";
constexpr int kListenWaitMs = 5000;
constexpr char kListenState[] = "0A";  // TCP_LISTEN in /proc/net/tcp

// Whether something listens on 127.0.0.1:port, read from the kernel's table so that no
// probing connection reaches the server.
bool Listening(int port) {
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);  // header
  char wanted[16];
  std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state;
    fields >> slot >> local >> remote >> state;
    if (local == wanted && state == kListenState) return true;
  }
  return false;
}

}  // namespace

int FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    if (fd >= 0) ::close(fd);
    throw std::runtime_error("no free loopback port");
  }
  ::close(fd);
  return ntohs(address.sin_port);
}

bool Ser2netInstalled() { return ::access(kSer2net, X_OK) == 0; }

Ser2netProcess::Ser2netProcess(std::string device, Mode mode, std::optional<Ser2netTls> tls)
    : device_(std::move(device)), mode_(mode), tls_(std::move(tls)), port_(FreeLoopbackPort()) {
  if (tls_) {
    config_path_ = (std::filesystem::temp_directory_path() /
                    ("zmr-ser2net-" + std::to_string(::getpid()) + "-" + std::to_string(port_) + ".yaml"))
                       .string();
    std::ofstream(config_path_) << yaml();
  }
  start();
}

Ser2netProcess::~Ser2netProcess() {
  process_.reset();
  if (!config_path_.empty()) std::filesystem::remove(config_path_);
}

std::string Ser2netProcess::address() const {
  return std::string(mode_ == Mode::Raw ? "tcp" : "rfc2217") + (tls_ ? "+tls" : "") + "://127.0.0.1:" +
         std::to_string(port_);
}

// The stack as the YAML accepter names it, outermost first: telnet(rfc2217),ssl(...),tcp.
std::string Ser2netProcess::yaml() const {
  const std::string telnet = mode_ == Mode::Raw ? "" : mode_ == Mode::Rfc2217 ? "telnet(rfc2217)," : "telnet,";
  const std::string ssl = "ssl(key=" + tls_->key + ",cert=" + tls_->cert + (tls_->authdir.empty() ? "" : ",clientauth") + "),";
  std::string text = "connection: &timer\n"
                     "  accepter: " + telnet + ssl + "tcp,127.0.0.1," + std::to_string(port_) + "\n"
                     "  connector: serialdev," + device_ + ",9600n81,local\n";
  if (!tls_->authdir.empty()) text += "  options:\n    authdir: " + tls_->authdir + "\n";
  return text;
}

void Ser2netProcess::start() {
  // -n stays in the foreground, -u leaves the UUCP lock folder alone.
  std::vector<std::string> args{"-n", "-u", "-c", config_path_};
  if (!tls_) {
    // The one-line form: port:state:timeout:device:options; remctl turns RFC 2217 on.
    const std::string line = "127.0.0.1," + std::to_string(port_) + (mode_ == Mode::Raw ? ":raw:" : ":telnet:") +
                             "0:" + device_ + ":9600 8DATABITS NONE 1STOPBIT" +
                             (mode_ == Mode::Rfc2217 ? " remctl" : "");
    args = {"-n", "-u", "-C", line};
  }
  process_ = std::make_unique<ChildProcess>(kSer2net, args);
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kListenWaitMs);
  while (!Listening(port_)) {
    if (std::chrono::steady_clock::now() > until) throw std::runtime_error("ser2net did not start listening");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void Ser2netProcess::stop() {
  process_->stop();
  process_.reset();
}

}  // namespace zmr::testing
