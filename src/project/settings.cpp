#include "project/settings.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "base/cp1252.h"
#include "base/errors.h"
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

constexpr char kConfigSubfolder[] = "zmr-console/";
constexpr char kInstalledProgramFolder[] = "/lib/zmr-console";  // <prefix>/lib/zmr-console

QString SettingsPath(const QString& program_folder) { return SettingsFilePath(program_folder); }

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not an absolute path.
QString UserConfigFolder() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
    base = QDir::homePath() + QStringLiteral("/.config");
  }
  if (!base.endsWith('/')) base += '/';
  return base + kConfigSubfolder;
}

// A UTF-8 cut may not end inside a character: drop a trailing partial sequence.
std::size_t Utf8Boundary(std::string_view bytes, std::size_t limit) {
  if (bytes.size() <= limit) return bytes.size();
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) --end;
  return end;
}

void PutString(ProgramSettings::Bytes& out, std::size_t offset, const ShortString<255>& s) {
  std::memcpy(out.data() + offset, &s, kStringFieldSize);
}

void GetString(std::span<const std::uint8_t> in, std::size_t offset, ShortString<255>& s) {
  std::memcpy(&s, in.data() + offset, kStringFieldSize);
}

// The record as stored: a file cut short keeps every field it holds whole, the others
// take their defaults (the next save writes the full record again).
void TakeStoredBytes(ProgramSettings& settings, const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < kSettingsFileSize) {
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

QString PathString::text() const {
  const std::string_view raw = bytes();
  const QByteArray stored(raw.data(), static_cast<qsizetype>(raw.size()));
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString path = utf8(stored);
  return utf8.hasError() ? FromCp1252(raw) : path;
}

void PathString::setText(const QString& path) {
  const QByteArray encoded = QFile::encodeName(path);
  const std::string_view all(encoded.constData(), static_cast<std::size_t>(encoded.size()));
  assignBytes(all.substr(0, Utf8Boundary(all, kCapacity)));
}

QString SettingsFolder(const QString& program_folder) {
  const QString beside = program_folder + kSettingsFileName;
  // An installed program folder belongs to the package even where root may write to it.
  const bool installed = QDir::cleanPath(program_folder).endsWith(kInstalledProgramFolder);
  if (!installed && (CanCreateFileIn(beside) || (QFileInfo::exists(beside) && !IsReadOnlyFile(beside)))) {
    return program_folder;
  }
  const QString user_folder = UserConfigFolder();
  QDir().mkpath(user_folder);  // a failure shows as a folder that takes no files
  return user_folder;
}

QString SettingsFolderOfUser(const QString& program_folder, const QString& home) {
  if (!QDir::cleanPath(program_folder).endsWith(kInstalledProgramFolder)) return program_folder;
  return home + QStringLiteral("/.config/") + kConfigSubfolder;
}

QString SettingsFilePath(const QString& program_folder) {
  return SettingsFolder(program_folder) + kSettingsFileName;
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
  TakeStoredBytes(settings, ReadFileStart(path, kSettingsFileSize));
}

bool ReadStoredSettings(ProgramSettings& settings, const QString& settings_folder) {
  DefaultSettings(settings);
  const QString path = settings_folder + kSettingsFileName;
  if (!IsRegularOrMissing(path) || !QFileInfo(path).isReadable()) return false;
  try {
    TakeStoredBytes(settings, ReadFileStart(path, kSettingsFileSize));
  } catch (const IoError&) {
    return false;
  }
  return true;
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
  // The whole path is compared, so one stored cut never matches again.
  const QByteArray encoded = QFile::encodeName(path);
  const std::string wanted(encoded.constData(), static_cast<std::size_t>(encoded.size()));
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
  list[0].setText(path);
  return true;
}

void ClearRecentProjects(ProgramSettings& settings, const QString& program_folder) {
  for (auto& entry : settings.recent_projects) {
    entry.clear();
  }
  SaveSettings(settings, program_folder);
}

}  // namespace zmr
