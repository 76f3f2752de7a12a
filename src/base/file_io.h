#pragma once
// Whole-file reads and crash-safe whole-file writes. A write goes to a temporary file
// in the same folder, is flushed to disk and then replaces the target in one rename,
// so a failure (disk full, no access, a crash) never leaves a half-written file.
// Where a rename cannot keep the file as it is (the folder takes no new files, the file
// has other hard links, or it belongs to someone else), the record is written over the
// existing file instead. Only regular files are read or written: a FIFO or a device is
// refused at once, never waited on.
#include <cstdint>
#include <span>
#include <vector>

#include <QString>

namespace zmr {

enum class ReplaceMode {
  CreateOrReplace,  // the target may be missing
  ExistingOnly,     // a missing target is "File not found"
};

enum class FileAccess {
  Kept,       // an existing target keeps its owner, group, permission bits and links
  OwnerOnly,  // the file is this account's and only it may read it (mode 0600), always
              // through a fresh temporary: a private key is never written into a file
              // others may read
};

// Throws IoError with the system's text. With FileAccess::Kept the target keeps its
// owner, group, permission bits and links; a target without write permission, or one that
// is not a regular file, is refused with "File access denied". Removes the temporaries
// that killed saves of the same target left behind.
void ReplaceFile(const QString& path, std::span<const std::uint8_t> bytes, ReplaceMode mode,
                 FileAccess access = FileAccess::Kept);
// The same with the file's permission bits given (0644: readable by everyone), whatever
// the umask and the bits the old file had.
void ReplaceFile(const QString& path, std::span<const std::uint8_t> bytes, ReplaceMode mode, unsigned permissions);

// Creates a file that must not exist yet, with exactly these permission bits, its bytes
// on disk when it returns. Throws IoError.
void WriteNewFile(const QString& path, std::span<const std::uint8_t> bytes, unsigned permissions);

// Flushes a folder's entries (the files made or renamed in it) to disk.
void SyncFolder(const QString& folder);

// True when the temporary file beside path can be created (the folder accepts new files).
bool CanCreateFileIn(const QString& path);

// The file's read-only attribute: nobody may write it (or this process may not).
bool IsReadOnlyFile(const QString& path);

// Reads at most max bytes from the start of the regular file. Throws IoError.
std::vector<std::uint8_t> ReadFileStart(const QString& path, std::size_t max);

// Why the path cannot be looked at (an errno value: ENOENT when nothing has that name,
// EACCES when a folder on the way may not be searched), 0 when it can.
int PathError(const QString& path);
// The same for a folder whose files are to be read: also EACCES when this user may not
// list or search it.
int FolderError(const QString& folder);

// False when something other than a regular file (or a link to one) has that name.
bool IsRegularOrMissing(const QString& path);

}  // namespace zmr
