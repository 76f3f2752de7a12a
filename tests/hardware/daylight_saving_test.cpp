// The download's clock check on the nights the clocks change, in two zones. Each case
// runs in a child process with its own TZ, so the zone rules really are in force.
#include <gtest/gtest.h>

#include <iostream>

#include "hardware/download.h"
#include "hardware/download_view.h"
#include "hardware/wall_clock.h"
#include "support/clock_change_cases.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"
#include "support/sim_port.h"

namespace zmr {
namespace {

using namespace zmr::testing;

class MemoView : public DownloadView {
 public:
  std::vector<QString> lines;
  void addLine(const QString& line) override { lines.push_back(line); }
  void clearLines() override { lines.clear(); }
  void setProgress(int, int) override {}
  void setDownloadEnabled(bool) override {}
  void setUpdateEnabled(bool) override {}
  void setCloseEnabled(bool) override {}
};

// The download's memo and boxes, one per line.
std::string DownloadUnderZone(const ClockChangeCase& c) {
  sim::SimConfig config;
  config.start_time = c.timerClock();
  config.activated = true;
  SimulatedLink sim(config);
  sim.clock.setNow(QDateTime::fromSecsSinceEpoch(c.pc_utc));
  RecordingPrompts prompts;
  MemoView view;
  DownloadContext context{sim.link, prompts, view, DateTimeFormats{"dd/MM/yyyy", "HH:mm:ss"}};
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  ProjectState state;
  DownloadSchedule(context, *project, state, "COM1");
  std::string out;
  for (const QString& line : view.lines) out += line.toStdString() + '\n';
  for (const QString& box : prompts.texts()) out += "box: " + box.toStdString() + '\n';
  return out;
}

TEST(DaylightSaving, TheClockCheckComparesWallClocksOnTheNightsTheClocksChange) {
  for (const ClockChangeCase& c : kClockChangeCases) {
    const std::string text = InZone(c.zone, [&] { return DownloadUnderZone(c); });
    // The clock lines and boxes each case printed, for the record.
    std::cout << "[" << c.zone << ", " << c.name << "]\n" << text.substr(text.find("Download Successful!"));
    ExpectClockLines(c, text);
  }
}

TEST(WallClock, ReadingsCompareFieldByFieldWhateverTheirZone) {
  const QDate day(2026, 10, 25);
  const QDateTime utc(day, QTime(2, 30), Qt::UTC);
  const QDateTime offset(day, QTime(2, 30, 5), Qt::OffsetFromUTC, 3600);
  EXPECT_EQ(WallClockMsecs(utc, offset), 5000);
  EXPECT_EQ(WallClock(offset), QDateTime(day, QTime(2, 30, 5), Qt::UTC));
  EXPECT_FALSE(WallClock(QDate(2026, 2, 30), QTime(1, 0)).isValid());
  EXPECT_FALSE(WallClock(QDateTime()).isValid());

  const std::uint8_t reply[] = {29, 3, 26, 2, 30, 0};
  EXPECT_EQ(TimerWallClock(reply), QDateTime(QDate(2026, 3, 29), QTime(2, 30), Qt::UTC));
  for (const auto bad : {std::array<std::uint8_t, 6>{0, 3, 26, 2, 30, 0}, std::array<std::uint8_t, 6>{29, 13, 26, 2, 30, 0},
                         std::array<std::uint8_t, 6>{29, 3, 26, 24, 0, 0}, std::array<std::uint8_t, 6>{29, 3, 26, 2, 60, 0}}) {
    EXPECT_FALSE(TimerWallClock(bad).isValid());
  }
  EXPECT_FALSE(TimerWallClock(std::span(reply).first(5)).isValid());
}

}  // namespace
}  // namespace zmr
