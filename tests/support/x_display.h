#pragma once
// A private X server (Xvfb) for a test that must see what the window system is told:
// window names, the windows a program maps. Ended with the test.
#include <memory>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace zmr::testing {

class XDisplay {
 public:
  // Starts Xvfb on a free display number; throws when it does not come up.
  XDisplay();
  const std::string& name() const { return name_; }  // e.g. ":12"

  // Top-level windows whose name starts with `prefix`: "0x1a00007" ids.
  std::vector<std::string> windowsNamed(const std::string& prefix) const;
  // Waits up to timeout_ms for one such window; its id, or empty.
  std::string waitForWindow(const std::string& prefix, int timeout_ms = 10000) const;
  // One property of a window as xprop prints it, e.g. "_NET_WM_NAME(UTF8_STRING) = \"Zemra\"".
  std::string property(const std::string& id, const std::string& atom) const;

 private:
  std::unique_ptr<ChildProcess> server_;
  std::string name_;
};

}  // namespace zmr::testing
