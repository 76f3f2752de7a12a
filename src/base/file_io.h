#pragma once
// Whole-file reads and crash-safe whole-file writes. A write goes to a temporary file
// in the same folder, is flushed to disk and then replaces the target in one rename,
// so a failure (disk full, no access, a crash) never leaves a half-written file.
#include <cstdint>
#include <span>
#include <vector>

#include <QString>

namespace zmr {

enum class ReplaceMode {
  CreateOrReplace,  // the target may be missing
  ExistingOnly,     // a missing target is "File not found"
};

// Throws IoError with the system's text. The target keeps its permission bits; a
// target without write permission is refused with "File access denied".
void ReplaceFile(const QString& path, std::span<const std::uint8_t> bytes, ReplaceMode mode);

// True when the temporary file beside path can be created (the folder accepts new files).
bool CanCreateFileIn(const QString& path);

// The file's read-only attribute: nobody may write it (or this process may not).
bool IsReadOnlyFile(const QString& path);

// Reads at most max bytes from the start of the file. Throws IoError.
std::vector<std::uint8_t> ReadFileStart(const QString& path, std::size_t max);

}  // namespace zmr
