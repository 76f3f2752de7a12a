#include "base/errors.h"

#include <cerrno>

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

std::string WithFullStop(std::string_view text) {
  std::string result(text);
  if (!result.empty() && static_cast<unsigned char>(result.back()) > static_cast<unsigned char>('.')) {
    result += '.';
  }
  return result;
}

QString Sentence(const IoError& e) { return QString::fromStdString(WithFullStop(e.what())); }

}  // namespace zmr
