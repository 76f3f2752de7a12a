#include "project/settings.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "base/cp1252.h"
#include "base/file_io.h"

namespace zmr {
namespace {

constexpr std::size_t kComPortOffset = 0;
constexpr std::size_t kShowWelcomeOffset = 2;
constexpr std::size_t kRecentOffset = 3;
constexpr std::size_t kStringFieldSize = 256;
constexpr std::size_t kProjectFolderOffset = kRecentOffset + kRecentProjects * kStringFieldSize;
static_assert(kProjectFolderOffset == 1283);
static_assert(kProjectFolderOffset + kStringFieldSize == kSettingsFileSize);
static_assert(sizeof(ShortString<255>) == kStringFieldSize);

constexpr char kDefaultProjectFolder[] = "my documents";

QString SettingsPath(const QString& program_folder) { return program_folder + kSettingsFileName; }

void PutString(ProgramSettings::Bytes& out, std::size_t offset, const ShortString<255>& s) {
  std::memcpy(out.data() + offset, &s, kStringFieldSize);
}

void GetString(std::span<const std::uint8_t> in, std::size_t offset, ShortString<255>& s) {
  std::memcpy(&s, in.data() + offset, kStringFieldSize);
}

}  // namespace

ProgramSettings::Bytes ProgramSettings::toBytes() const {
  Bytes out{};
  out[kComPortOffset] = static_cast<std::uint8_t>(com_port & 0xFF);
  out[kComPortOffset + 1] = static_cast<std::uint8_t>(com_port >> 8);
  out[kShowWelcomeOffset] = show_welcome;
  for (int k = 0; k < kRecentProjects; ++k) {
    PutString(out, kRecentOffset + k * kStringFieldSize, recent_projects[k]);
  }
  PutString(out, kProjectFolderOffset, project_folder);
  return out;
}

void ProgramSettings::fromBytes(std::span<const std::uint8_t, kSettingsFileSize> in) {
  com_port = static_cast<std::uint16_t>(in[kComPortOffset] | (in[kComPortOffset + 1] << 8));
  show_welcome = in[kShowWelcomeOffset];
  for (int k = 0; k < kRecentProjects; ++k) {
    GetString(in, kRecentOffset + k * kStringFieldSize, recent_projects[k]);
  }
  GetString(in, kProjectFolderOffset, project_folder);
}

void DefaultSettings(ProgramSettings& settings) {
  settings.com_port = 1;
  settings.project_folder.assignBytes(kDefaultProjectFolder);
  settings.show_welcome = 1;
  for (auto& entry : settings.recent_projects) {
    entry.clear();
  }
}

QString ExecutableFolder() {
  QString folder;
  if (QCoreApplication::instance() != nullptr) {
    folder = QCoreApplication::applicationDirPath();
  } else {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    folder = ec ? QDir::currentPath() : QString::fromStdString(exe.parent_path().string());
  }
  return QDir::toNativeSeparators(folder + '/');
}

void LoadSettings(ProgramSettings& settings, const QString& program_folder) {
  const QString path = SettingsPath(program_folder);
  if (!QFileInfo::exists(path)) {
    DefaultSettings(settings);
    SaveSettings(settings, program_folder);
  }
  if (!QFileInfo::exists(path)) {
    DefaultSettings(settings);  // the folder takes no files: defaults for this run
    return;
  }
  if (!IsRegularOrMissing(path) || !QFileInfo(path).isReadable()) {
    return;  // unreadable (or a FIFO, a device): keep what the record held, without a word
  }
  const std::vector<std::uint8_t> bytes = ReadFileStart(path, kSettingsFileSize);
  if (bytes.size() < kSettingsFileSize) {
    // A cut-short file: keep every field it holds whole, take the defaults for the
    // rest; the next save writes the full record again.
    ProgramSettings::Bytes merged = [] {
      ProgramSettings defaults;
      DefaultSettings(defaults);
      return defaults.toBytes();
    }();
    const std::size_t fields[] = {kComPortOffset, kShowWelcomeOffset, kRecentOffset,
                                  kRecentOffset + kStringFieldSize, kRecentOffset + 2 * kStringFieldSize,
                                  kRecentOffset + 3 * kStringFieldSize, kRecentOffset + 4 * kStringFieldSize,
                                  kProjectFolderOffset, kSettingsFileSize};
    for (std::size_t i = 0; i + 1 < std::size(fields); ++i) {
      if (bytes.size() >= fields[i + 1]) {
        std::copy(bytes.begin() + fields[i], bytes.begin() + fields[i + 1], merged.begin() + fields[i]);
      }
    }
    settings.fromBytes(merged);
    return;
  }
  settings.fromBytes(std::span<const std::uint8_t, kSettingsFileSize>(bytes.data(), kSettingsFileSize));
}

void SaveSettings(const ProgramSettings& settings, const QString& program_folder) {
  const QString path = SettingsPath(program_folder);
  // Written over in place when the folder takes no new files but the file may be written.
  const bool writable = QFileInfo::exists(path) ? IsRegularOrMissing(path) && !IsReadOnlyFile(path)
                                                : CanCreateFileIn(path);
  if (!writable) {
    return;  // cannot be written: the settings live for this run only
  }
  const ProgramSettings::Bytes bytes = settings.toBytes();
  ReplaceFile(path, bytes, ReplaceMode::CreateOrReplace);
}

bool PushRecentProject(ProgramSettings& settings, const QString& path) {
  auto& list = settings.recent_projects;
  const std::string wanted = ToCp1252(path);
  if (!list[0].equalsBytes(wanted)) {
    for (int k = 1; k < kRecentProjects; ++k) {
      if (list[k].equalsBytes(wanted)) {
        std::swap(list[0], list[k]);
      }
    }
  }
  if (list[0].equalsBytes(wanted)) {
    return false;
  }
  for (int k = kRecentProjects - 1; k > 0; --k) {
    list[k] = list[k - 1];
  }
  list[0].assignBytes(wanted);
  return true;
}

void ClearRecentProjects(ProgramSettings& settings, const QString& program_folder) {
  for (auto& entry : settings.recent_projects) {
    entry.clear();
  }
  SaveSettings(settings, program_folder);
}

}  // namespace zmr
