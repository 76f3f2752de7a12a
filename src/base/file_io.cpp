#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>
#include <sys/file.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <optional>
#include <utility>

#include <QFile>

#include "base/errors.h"

namespace zmr {
namespace {

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Temporaries are named "<target>.saving-XXXXXX" and hold an exclusive lock while
// their save runs. A save that was killed leaves its temporary unlocked, so the next
// save of the same target can tell litter from a save in progress and remove it.
constexpr char kTempInfix[] = ".saving-";
constexpr std::size_t kTempSuffixLength = 6;  // what mkstemp puts in place of XXXXXX

// Closes a descriptor and removes the temporary file unless it was committed.
class TempFile {
 public:
  explicit TempFile(const std::string& target) {
    // A cleaner may remove a fresh temporary before we lock it: then take another.
    for (int attempt = 0; attempt < 3 && fd_ < 0; ++attempt) {
      name_ = target + kTempInfix + std::string(kTempSuffixLength, 'X');
      fd_ = ::mkstemp(name_.data());
      if (fd_ < 0) {
        return;
      }
      struct stat st {};
      if (::flock(fd_, LOCK_EX) != 0 || ::fstat(fd_, &st) != 0 || st.st_nlink == 0) {
        if (st.st_nlink != 0) {
          ::unlink(name_.c_str());
        }
        ::close(fd_);
        fd_ = -1;
      }
    }
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
  // Removes the temporary now (the save goes another way).
  void discard() {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
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

bool IsTempNameOf(const std::string& entry, const std::string& base) {
  const std::string prefix = base + kTempInfix;
  if (entry.size() != prefix.size() + kTempSuffixLength || entry.compare(0, prefix.size(), prefix) != 0) {
    return false;
  }
  return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; });
}

// Removes the temporaries of target that no running save holds.
void RemoveStaleTemporaries(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    return;
  }
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTempNameOf(entry->d_name, base)) {
      continue;
    }
    const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      continue;
    }
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(::dirfd(dir), entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == held.st_ino &&
        named.st_dev == held.st_dev) {
      (void)::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::close(fd);
  }
  ::closedir(dir);
}

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

constexpr mode_t kOwnerOnlyMode = 0600;

mode_t DefaultMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool NoWriteBits(const struct stat& st) { return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

// Closes a descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor& operator=(Descriptor&&) = delete;
  int get() const { return fd_; }
  void closeOrThrow() {
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) {
      throw IoError::fromErrno(errno);
    }
  }

 private:
  int fd_;
};

// The rename itself reaches the disk only with its folder: without this, power lost
// just after a replace can bring the old record back. A folder that cannot be opened
// for it (some file systems) is left to the system; a failing disk is told.
void SyncFolderOf(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
  const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0 && ::fsync(fd.get()) != 0 && errno == EIO) {
    throw IoError::fromErrno(EIO);
  }
}

// Opens an existing regular file without blocking (a FIFO or a device is refused).
Descriptor OpenRegular(const std::string& path, int flags) {
  Descriptor fd(::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    throw IoError::fromErrno(errno);
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    throw IoError::fromErrno(errno);
  }
  if (!S_ISREG(st.st_mode)) {
    throw IoError::fromErrno(S_ISDIR(st.st_mode) ? EISDIR : EACCES);
  }
  return fd;
}

// The whole record over the existing file: no new name, so owner, group, mode and every
// hard link stay; a longer file is cut back to the record.
void WriteInPlace(const std::string& target, std::span<const std::uint8_t> bytes) {
  Descriptor fd = OpenRegular(target, O_WRONLY);
  WriteAll(fd.get(), bytes);
  if (::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd.get()) != 0) {
    throw IoError::fromErrno(errno);
  }
  fd.closeOrThrow();
}

// permissions: the bits the file gets (else an existing target's, else the umask's);
// owner_only: a private file, always through a fresh temporary and never written in place,
// so that its bytes are never in a file others may read.
void ReplaceFileWith(const QString& path, std::span<const std::uint8_t> bytes, ReplaceMode mode,
                     std::optional<mode_t> permissions, bool owner_only) {
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
    if (!S_ISREG(st.st_mode)) {
      throw IoError::fromErrno(EACCES);  // a FIFO or a device is never a record file
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
  RemoveStaleTemporaries(target);

  // A rename would give the other names of a hard-linked file the old record.
  if (exists && st.st_nlink > 1 && !owner_only) {
    WriteInPlace(target, bytes);
    return;
  }
  TempFile temp(target);
  if (!temp.created()) {
    const int error = errno;
    if (!exists || owner_only || (error != EACCES && error != EPERM)) {
      throw IoError::fromErrno(error);
    }
    WriteInPlace(target, bytes);  // the folder takes no new files, the file may still be written
    return;
  }
  if (exists && !owner_only && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
      ::fchown(temp.fd(), st.st_uid, st.st_gid) != 0) {
    temp.discard();  // a rename would hand the file to us: keep its owner by writing in place
    WriteInPlace(target, bytes);
    return;
  }
  WriteAll(temp.fd(), bytes);
  const mode_t wanted = permissions ? *permissions : exists ? (st.st_mode & 07777) : DefaultMode();
  if (::fchmod(temp.fd(), wanted) != 0) {
    throw IoError::fromErrno(errno);
  }
  if (::fsync(temp.fd()) != 0) {
    throw IoError::fromErrno(errno);
  }
  temp.closeOrThrow();
  if (::rename(temp.name().c_str(), target.c_str()) != 0) {
    throw IoError::fromErrno(errno);
  }
  temp.committed();
  SyncFolderOf(target);
}

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

void ReplaceFile(const QString& path, std::span<const std::uint8_t> bytes, ReplaceMode mode, FileAccess access) {
  const bool owner_only = access == FileAccess::OwnerOnly;
  ReplaceFileWith(path, bytes, mode, owner_only ? std::optional<mode_t>(kOwnerOnlyMode) : std::nullopt, owner_only);
}

void ReplaceFile(const QString& path, std::span<const std::uint8_t> bytes, ReplaceMode mode, unsigned permissions) {
  ReplaceFileWith(path, bytes, mode, static_cast<mode_t>(permissions & 07777), false);
}

void WriteNewFile(const QString& path, std::span<const std::uint8_t> bytes, unsigned permissions) {
  Descriptor fd(::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (fd.get() < 0) {
    throw IoError::fromErrno(errno);
  }
  WriteAll(fd.get(), bytes);
  // Set after the write: the umask must not decide who may read the file.
  if (::fchmod(fd.get(), static_cast<mode_t>(permissions & 07777)) != 0 || ::fsync(fd.get()) != 0) {
    throw IoError::fromErrno(errno);
  }
  fd.closeOrThrow();
}

void SyncFolder(const QString& folder) {
  const Descriptor fd(::open(Native(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0 || ::fsync(fd.get()) != 0) {
    throw IoError::fromErrno(errno);
  }
}

int PathError(const QString& path) {
  struct stat st {};
  return ::stat(Native(path).c_str(), &st) == 0 ? 0 : errno;
}

int FolderError(const QString& folder) {
  if (const int error = PathError(folder); error != 0) return error;
  return ::access(Native(folder).c_str(), R_OK | X_OK) == 0 ? 0 : errno;
}

std::vector<std::uint8_t> ReadFileStart(const QString& path, std::size_t max) {
  Descriptor fd = OpenRegular(Native(path), O_RDONLY);
  std::vector<std::uint8_t> bytes(max);
  std::size_t done = 0;
  while (done < max) {
    const ssize_t n = ::read(fd.get(), bytes.data() + done, max - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      throw IoError::fromErrno(errno);
    }
    if (n == 0) {
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

bool IsRegularOrMissing(const QString& path) {
  struct stat st {};
  if (::stat(Native(path).c_str(), &st) != 0) {
    return errno == ENOENT;
  }
  return S_ISREG(st.st_mode);
}

}  // namespace zmr
