#pragma once
// One private folder per fuzzing process for harnesses whose readers take a path.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include <QString>

namespace zmr::fuzz {

inline const QString& ScratchFolder() {
  static const QString folder = [] {
    // In memory where there is such a folder: the settings save flushes every write.
    std::string pattern = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/zmr-fuzz-XXXXXX" : "/tmp/zmr-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern.data());
    return QString::fromStdString(made != nullptr ? std::string(made) + '/' : std::string("/tmp/"));
  }();
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
