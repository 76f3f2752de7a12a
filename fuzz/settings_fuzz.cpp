// LoadSettings on a timer.ini of any length and content, then a push and a save: the
// record read back must be what was saved, a whole 1539 bytes.
#include <cstring>

#include "base/file_io.h"
#include "fuzz_check.h"
#include "project/settings.h"
#include "scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zmr;
  const QString folder = fuzz::ScratchFolder();
  fuzz::WriteWhole(folder + kSettingsFileName, data, size);
  ProgramSettings settings;
  LoadSettings(settings, folder);
  const ProgramSettings::Bytes loaded = settings.toBytes();
  if (size >= kSettingsFileSize) {
    FUZZ_CHECK(std::memcmp(loaded.data(), data, kSettingsFileSize) == 0);
  }
  for (const auto& entry : settings.recent_projects) {
    FUZZ_CHECK(entry.text().size() <= 255);
  }
  FUZZ_CHECK(settings.project_folder.size() <= 255);

  const bool inserted = PushRecentProject(settings, QStringLiteral("/srv/bells/hall.zmr"));
  FUZZ_CHECK(settings.recent_projects[0].text() == QStringLiteral("/srv/bells/hall.zmr"));
  FUZZ_CHECK(inserted || !settings.recent_projects[1].equalsBytes("/srv/bells/hall.zmr"));
  SaveSettings(settings, folder);
  const auto stored = ReadFileStart(folder + kSettingsFileName, kSettingsFileSize + 1);
  const ProgramSettings::Bytes saved = settings.toBytes();
  FUZZ_CHECK(stored.size() == kSettingsFileSize && std::memcmp(stored.data(), saved.data(), kSettingsFileSize) == 0);
  return 0;
}
