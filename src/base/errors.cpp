#include "base/errors.h"

#include <cerrno>
#include <utility>

namespace zmr {

IoError IoError::fromErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return IoError("File not found");
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EISDIR:
      return IoError("File access denied");
    case ENOSPC:
    case EDQUOT:
      return IoError("Disk full");
    default:
      return IoError("I/O error " + std::to_string(err));
  }
}

PortError::PortError(const std::string& message, int os_error, std::string port, std::string device)
    : std::runtime_error(message + " (win error code: " + std::to_string(os_error) + ")"),
      message_(message),
      os_error_(os_error),
      port_(std::move(port)),
      device_(std::move(device)) {}

std::string WithFullStop(std::string_view text) {
  std::string result(text);
  if (!result.empty() && static_cast<unsigned char>(result.back()) > static_cast<unsigned char>('.')) {
    result += '.';
  }
  return result;
}

}  // namespace zmr
