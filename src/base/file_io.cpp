#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include <QFile>

#include "base/errors.h"

namespace zmr {
namespace {

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Closes a descriptor and removes the temporary file unless it was committed.
class TempFile {
 public:
  explicit TempFile(std::string target) : name_(std::move(target) + ".XXXXXX") {
    fd_ = ::mkstemp(name_.data());
    created_ = fd_ >= 0;
  }
  ~TempFile() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    if (created_ && !committed_) {
      ::unlink(name_.c_str());
    }
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool created() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& name() const { return name_; }
  void closeOrThrow() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
      throw IoError::fromErrno(errno);
    }
  }
  void committed() { committed_ = true; }

 private:
  std::string name_;
  int fd_ = -1;
  bool created_ = false;
  bool committed_ = false;
};

void WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw IoError::fromErrno(errno);
    }
    done += static_cast<std::size_t>(n);
  }
}

mode_t DefaultMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool NoWriteBits(const struct stat& st) { return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

}  // namespace

bool IsReadOnlyFile(const QString& path) {
  const std::string native = Native(path);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) {
    return false;
  }
  // Root may write anything, so the write bits stand for the attribute too.
  return NoWriteBits(st) || ::access(native.c_str(), W_OK) != 0;
}

bool CanCreateFileIn(const QString& path) {
  TempFile probe(Native(path));
  return probe.created();
}

void ReplaceFile(const QString& path, std::span<const std::uint8_t> bytes, ReplaceMode mode) {
  std::string target = Native(path);
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists) {
    if (mode == ReplaceMode::ExistingOnly || errno != ENOENT) {
      throw IoError::fromErrno(errno);
    }
  } else {
    if (S_ISDIR(st.st_mode)) {
      throw IoError::fromErrno(EISDIR);
    }
    if (IsReadOnlyFile(path)) {
      throw IoError::fromErrno(EACCES);
    }
    // Replace what a link points at, not the link itself.
    if (char* real = ::realpath(target.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }

  TempFile temp(target);
  if (!temp.created()) {
    throw IoError::fromErrno(errno);
  }
  WriteAll(temp.fd(), bytes);
  const mode_t wanted = exists ? (st.st_mode & 07777) : DefaultMode();
  if (::fchmod(temp.fd(), wanted) != 0) {
    throw IoError::fromErrno(errno);
  }
  if (exists && ::geteuid() == 0) {
    (void)::fchown(temp.fd(), st.st_uid, st.st_gid);  // keep the owner when root saves
  }
  if (::fsync(temp.fd()) != 0) {
    throw IoError::fromErrno(errno);
  }
  temp.closeOrThrow();
  if (::rename(temp.name().c_str(), target.c_str()) != 0) {
    throw IoError::fromErrno(errno);
  }
  temp.committed();
}

std::vector<std::uint8_t> ReadFileStart(const QString& path, std::size_t max) {
  const std::string native = Native(path);
  const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    throw IoError::fromErrno(errno);
  }
  std::vector<std::uint8_t> bytes(max);
  std::size_t done = 0;
  int error = 0;
  while (done < max) {
    const ssize_t n = ::read(fd, bytes.data() + done, max - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      error = errno;
      break;
    }
    if (n == 0) {
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (error != 0) {
    throw IoError::fromErrno(error);
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace zmr
