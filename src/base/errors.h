#pragma once
// Failures that a command does not handle itself. They end the command where they
// happen; RAII clean-up runs as they pass, and the application's top-level handler
// shows their text in the general error box.
#include <stdexcept>
#include <string>
#include <string_view>

namespace zmr {

// A file operation failed; what() is the system's description ("File not found", ...).
class IoError : public std::runtime_error {
 public:
  explicit IoError(const std::string& text) : std::runtime_error(text) {}
  // The description of an errno value in the system's words.
  static IoError fromErrno(int err);
};

// A serial-port primitive failed; what() is the message followed by
// " (win error code: N)" with the operating system's error number. An open also
// records the port name and the device it led to (empty when it led to none), so the
// error box can say what to do.
class PortError : public std::runtime_error {
 public:
  PortError(const std::string& message, int os_error, std::string port = {}, std::string device = {});
  const std::string& message() const { return message_; }
  int osError() const { return os_error_; }
  const std::string& port() const { return port_; }
  const std::string& device() const { return device_; }

 private:
  std::string message_;
  int os_error_;
  std::string port_;
  std::string device_;
};

// The text of a failure as the general error box shows it: a full stop is added
// when the last character sorts after '.' (a letter, a digit, '?', ':' ...).
std::string WithFullStop(std::string_view text);

}  // namespace zmr
