#pragma once
// One private folder per fuzzing process for harnesses whose readers take a path.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include <QString>

namespace zmr::fuzz {

// Removed when the fuzzing process ends normally; a crash leaves it for a look.
class Scratch {
 public:
  Scratch() {
    // In memory where there is such a folder: the settings save flushes every write.
    std::string pattern = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/zmr-fuzz-XXXXXX" : "/tmp/zmr-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) {
      path_ = pattern;
    }
  }
  ~Scratch() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  QString folder() const { return QString::fromStdString(path_.empty() ? std::string("/tmp/") : path_ + '/'); }

 private:
  std::string path_;
};

inline const QString& ScratchFolder() {
  static const Scratch scratch;
  static const QString folder = scratch.folder();
  return folder;
}

inline void WriteWhole(const QString& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.toLocal8Bit().constData(), "wb");
  if (f != nullptr) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
}

}  // namespace zmr::fuzz
