#pragma once
// The simulator's end of a serial line: a pseudo-terminal master. The console opens
// the slave device (path()) as its serial port.
#include <filesystem>
#include <string>

namespace zmr::sim {

class PtyLine {
 public:
  // Throws std::runtime_error with the system's reason when no pty can be made.
  PtyLine();
  ~PtyLine();
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  const std::string& path() const { return path_; }
  int fd() const { return master_; }

 private:
  int master_ = -1;
  // Held open so the line stays up (and raw) while no console has it open.
  int slave_ = -1;
  std::string path_;
};

// A symbolic link to the pty for the life of the simulator; removed only if it still
// points where this one made it point.
class LinkGuard {
 public:
  LinkGuard(std::filesystem::path link, const std::string& target);
  ~LinkGuard();
  LinkGuard(const LinkGuard&) = delete;
  LinkGuard& operator=(const LinkGuard&) = delete;

 private:
  std::filesystem::path link_;
  std::string target_;
};

}  // namespace zmr::sim
