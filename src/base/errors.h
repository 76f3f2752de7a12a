#pragma once
// Failures that a command does not handle itself. They end the command where they
// happen; RAII clean-up runs as they pass, and the application's top-level handler
// shows their text in the general error box. (A port's failures are link/port_error.h.)
#include <QString>
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

// The text of a failure as the general error box shows it: a full stop is added
// when the last character sorts after '.' (a letter, a digit, '?', ':' ...).
std::string WithFullStop(std::string_view text);
// An IoError's text as a message quotes it: "File not found."
QString Sentence(const IoError& e);

}  // namespace zmr
