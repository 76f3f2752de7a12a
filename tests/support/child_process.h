#pragma once
// A program run for a test, with its stdout read line by line. The destructor ends it
// (SIGTERM, then SIGKILL if it lingers), so no child outlives its test.
#include <sys/types.h>

#include <string>
#include <vector>

namespace zmr::testing {

class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& args);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Waits up to timeout_ms for a stdout line that contains text (lines already seen
  // count); returns that line, or an empty string on time-out or exit.
  std::string waitForLine(const std::string& text, int timeout_ms = 3000);
  // Reads what the child wrote so far and forgets every line, so that a long run
  // neither fills the pipe (which would stall the child) nor keeps its output.
  void discardOutput();
  // The lines read so far.
  const std::vector<std::string>& lines() const { return lines_; }
  // Sends a signal to the child (e.g. SIGUSR1).
  void signal(int signal) const;
  // SIGTERM and wait; the exit status, or -1 when it had to be killed.
  int stop(int timeout_ms = 2000) { return finish(true, timeout_ms); }
  // Waits for the child to end by itself; its exit status, or -1 when it had to be killed.
  int wait(int timeout_ms = 2000) { return finish(false, timeout_ms); }

 private:
  bool readSome(int timeout_ms);
  int finish(bool terminate, int timeout_ms);

  pid_t pid_ = -1;
  int out_ = -1;
  bool eof_ = false;
  std::string partial_;
  std::vector<std::string> lines_;
};

// zmrsim on a fresh pseudo-terminal; device() is the path a SerialPort opens.
class ZmrsimProcess : public ChildProcess {
 public:
  ZmrsimProcess(const std::string& program, const std::vector<std::string>& args = {});
  const std::string& device() const { return device_; }

 private:
  std::string device_;
};

}  // namespace zmr::testing
