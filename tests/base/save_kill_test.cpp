// A saving process killed at random moments: the file is always one record whole, old
// or new, and the next save clears what the killed one left.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include "project/project_file.h"
#include "project/settings.h"
#include "support/forked_child.h"
#include "support/project_fixtures.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;
using Bytes = std::vector<std::uint8_t>;

constexpr int kKillsPerFile = 260;

struct KillStats {
  int kills = 0;
  int litter = 0;  // kills that left a temporary behind
};

// save(k) writes version k; record(k) is its bytes. The child saves versions 1 and 2 in
// turn, forever; the parent kills it after 0..4 ms, checks, then saves version 3 or 4.
KillStats KillWhileSaving(const TempDir& dir, const QString& target, const std::function<void(int)>& save,
                          const std::function<Bytes(int)>& record) {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> delay_us(0, 4000);
  KillStats stats;
  save(3);
  Bytes previous = record(3);
  const QString name = QFileInfo(target).fileName();
  for (int i = 0; i < kKillsPerFile; ++i) {
    const pid_t child = StartChild([&] {
      for (int k = 0;; ++k) {
        save(1 + k % 2);
      }
    });
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
    EXPECT_TRUE(KillAndReap(child));
    ++stats.kills;

    const Bytes now = ReadBytes(target);
    EXPECT_TRUE(now == previous || now == record(1) || now == record(2)) << "kill " << i << ": size " << now.size();
    stats.litter += QDir(dir.folder()).entryList(QDir::Files | QDir::Hidden).size() > 1 ? 1 : 0;

    save(3 + i % 2);
    previous = record(3 + i % 2);
    EXPECT_EQ(QDir(dir.folder()).entryList(QDir::Files | QDir::Hidden), QStringList{name}) << "kill " << i;
    if (::testing::Test::HasFailure()) {
      break;
    }
  }
  return stats;
}

TEST(KillDuringSave, TheProjectFileIsAlwaysOneWholeRecordAndNoTemporaryOutlivesTheNextSave) {
  TempDir dir;
  const QString path = dir.file("hall.zmr");
  auto data = MakeConsoleData(dir.folder());
  std::array<std::unique_ptr<ProjectSetup>, 5> versions;
  for (int k = 1; k <= 4; ++k) {
    versions[k] = std::make_unique<ProjectSetup>();
    ResetProject(*versions[k]);
    for (int s = 1; s <= kEventsPerDay; ++s) {
      AddPulse(*versions[k], 1 + s % 7, 1 + s / 7, k, s % 60, k);
    }
  }
  WriteEmptyProject(path);
  data->state.project_path = path;
  data->state.project_open = true;
  const auto record = [&](int k) {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(versions[k].get());
    return Bytes(raw, raw + sizeof(ProjectSetup));
  };
  const KillStats stats = KillWhileSaving(dir, path, [&](int k) {
    data->project = *versions[k];
    SaveProject(*data);
  }, record);
  EXPECT_EQ(stats.kills, kKillsPerFile);
  RecordProperty("temporaries_left_by_kills", stats.litter);
}

TEST(KillDuringSave, TimerIniIsAlwaysOneWholeRecordAndNoTemporaryOutlivesTheNextSave) {
  TempDir dir;
  std::array<ProgramSettings, 5> versions;
  for (int k = 1; k <= 4; ++k) {
    DefaultSettings(versions[k]);
    versions[k].com_port = static_cast<std::uint16_t>(k);
    for (auto& entry : versions[k].recent_projects) {
      entry.setText(QString(200, QChar('a' + k)));
    }
  }
  const auto record = [&](int k) {
    const auto bytes = versions[k].toBytes();
    return Bytes(bytes.begin(), bytes.end());
  };
  const KillStats stats = KillWhileSaving(dir, dir.file("timer.ini"),
                                          [&](int k) { SaveSettings(versions[k], dir.folder()); }, record);
  EXPECT_EQ(stats.kills, kKillsPerFile);
  RecordProperty("temporaries_left_by_kills", stats.litter);
}

}  // namespace
}  // namespace zmr
