#include "pty_line.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace zmr::sim {

namespace {
[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}
}  // namespace

PtyLine::PtyLine() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) Fail("posix_openpt");
  // From here on the destructor does not run if we throw, so clean up by hand.
  try {
    if (grantpt(master_) != 0) Fail("grantpt");
    if (unlockpt(master_) != 0) Fail("unlockpt");
    const char* name = ptsname(master_);
    if (name == nullptr) Fail("ptsname");
    path_ = name;
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0) Fail("open " + path_);
    termios settings{};
    if (tcgetattr(slave_, &settings) != 0) Fail("tcgetattr");
    cfmakeraw(&settings);  // no echo of our replies back to us, no line editing
    cfsetspeed(&settings, B9600);
    if (tcsetattr(slave_, TCSANOW, &settings) != 0) Fail("tcsetattr");
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) Fail("fcntl");
  } catch (...) {
    if (slave_ >= 0) ::close(slave_);
    ::close(master_);
    throw;
  }
}

PtyLine::~PtyLine() {
  ::close(slave_);
  ::close(master_);
}

LinkGuard::LinkGuard(std::filesystem::path link, const std::string& target)
    : link_(std::move(link)), target_(target) {
  namespace fs = std::filesystem;
  if (link_.has_parent_path()) {
    fs::create_directories(link_.parent_path());
  }
  // A link left behind by a simulator that was killed is replaced; a real file is not.
  if (fs::is_symlink(fs::symlink_status(link_))) {
    fs::remove(link_);
  }
  fs::create_symlink(target_, link_);
}

LinkGuard::~LinkGuard() {
  std::error_code error;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(link_, error)) &&
      std::filesystem::read_symlink(link_, error) == target_) {
    std::filesystem::remove(link_, error);
  }
}

}  // namespace zmr::sim
