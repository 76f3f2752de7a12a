#pragma once
// timer.ini: the console's lasting settings, one 1539-byte binary record beside the
// program, or in the user's configuration folder when the program's folder takes no files.
#include <array>
#include <cstdint>
#include <span>

#include <QString>

#include "project/short_string.h"

namespace zmr {

inline constexpr std::size_t kSettingsFileSize = 1539;
inline constexpr int kRecentProjects = 5;
inline constexpr char kSettingsFileName[] = "timer.ini";

// A stored path: the file system's own bytes (UTF-8 here) rather than Windows-1252, so
// any folder name works; cut at 255 bytes without splitting a character. A stored
// string that is not UTF-8 (an old file's Windows-1252 letters) reads as Windows-1252.
struct PathString : ShortString<255> {
  QString text() const;
  void setText(const QString& path);
};
static_assert(sizeof(PathString) == sizeof(ShortString<255>));

struct ProgramSettings {
  std::uint16_t com_port = 0;
  std::uint8_t show_welcome = 0;
  std::array<PathString, kRecentProjects> recent_projects{};  // entry 1 first
  PathString project_folder{};

  using Bytes = std::array<std::uint8_t, kSettingsFileSize>;
  Bytes toBytes() const;
  void fromBytes(std::span<const std::uint8_t, kSettingsFileSize> bytes);
};

void DefaultSettings(ProgramSettings& settings);

// The folder of the running executable, with a trailing separator.
QString ExecutableFolder();

// The folder timer.ini lives in: program_folder when that folder takes files (a portable
// copy, the build folder) or already holds a timer.ini that may be written, else the
// user's $XDG_CONFIG_HOME/zmr-console/. An installed program folder (<prefix>/lib/
// zmr-console) always sends it there, so not even root writes into the package's
// folder. With a trailing separator.
QString SettingsFolder(const QString& program_folder);
// The settings folder of the user whose home is `home`, as a program run for that user
// by root (sudo) takes it: the user's ~/.config/zmr-console/ for an installed program,
// else the program's own folder. With a trailing separator.
QString SettingsFolderOfUser(const QString& program_folder, const QString& home);
// The settings file for the program in program_folder.
QString SettingsFilePath(const QString& program_folder);

// Loads timer.ini from program_folder, creating it with the defaults when missing.
// A file shorter than the record keeps every field it holds whole; the fields it cuts
// short take their defaults, and the next save writes the full record. Something that is
// not a regular file (a FIFO, a device) is treated as unreadable: the record keeps what it
// held, and nothing waits on it.
void LoadSettings(ProgramSettings& settings, const QString& program_folder);

// Reads timer.ini in settings_folder (with a trailing separator) and never writes it:
// the defaults, and whatever fields a readable file holds. False when there is none.
bool ReadStoredSettings(ProgramSettings& settings, const QString& settings_folder);

// Both take timer.ini from SettingsFolder(program_folder).
// Replaces timer.ini in program_folder with the record (in place when the folder takes
// no new files). When the file can be neither created nor written it writes nothing and
// says nothing; a failure after that throws IoError.
void SaveSettings(const ProgramSettings& settings, const QString& program_folder);

// Brings the path to the head of the recent list; true when it was not in the list
// (and so was inserted), false when it was already there (the list may be reordered).
bool PushRecentProject(ProgramSettings& settings, const QString& path);

// Empties the five entries and saves.
void ClearRecentProjects(ProgramSettings& settings, const QString& program_folder);

}  // namespace zmr
