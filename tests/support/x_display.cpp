#include "support/x_display.h"

#include <chrono>
#include <stdexcept>
#include <thread>

namespace zmr::testing {
namespace {
const std::string kXvfb = "/usr/bin/Xvfb";
const std::string kXwininfo = "/usr/bin/xwininfo";
const std::string kXprop = "/usr/bin/xprop";
constexpr int kPollMs = 100;
}  // namespace

XDisplay::XDisplay() {
  // -displayfd: Xvfb picks a free number and writes it to our pipe once it listens.
  server_ = std::make_unique<ChildProcess>(
      kXvfb, std::vector<std::string>{"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
  const std::string number = server_->waitForLine("", 10000);
  if (number.empty()) throw std::runtime_error("Xvfb did not start");
  name_ = ":" + number;
}

std::vector<std::string> XDisplay::windowsNamed(const std::string& prefix) const {
  ChildProcess tree(kXwininfo, {"-display", name_, "-root", "-tree"});
  tree.wait(5000);
  std::vector<std::string> ids;
  const std::string quoted = '"' + prefix;
  for (const std::string& line : tree.lines()) {
    const auto id = line.find("0x");
    if (id != std::string::npos && line.find(quoted, id) != std::string::npos) {
      ids.push_back(line.substr(id, line.find(' ', id) - id));
    }
  }
  return ids;
}

std::string XDisplay::waitForWindow(const std::string& prefix, int timeout_ms) const {
  for (int waited = 0; waited < timeout_ms; waited += kPollMs) {
    if (const auto ids = windowsNamed(prefix); !ids.empty()) return ids.front();
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  }
  return {};
}

std::string XDisplay::property(const std::string& id, const std::string& atom) const {
  ChildProcess prop(kXprop, {"-display", name_, "-id", id, atom});
  prop.wait(5000);
  return prop.lines().empty() ? std::string() : prop.lines().front();
}

}  // namespace zmr::testing
