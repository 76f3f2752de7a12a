#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "hardware/download.h"
#include "hardware/download_view.h"
#include "hardware/schedule_format.h"
#include "hardware/wall_clock.h"
#include "link/packet.h"
#include "link/port_error.h"
#include "link/timer_commands.h"
#include "support/project_fixtures.h"
#include "support/recording_prompts.h"
#include "support/sim_port.h"

namespace zmr {
namespace {

using namespace zmr::testing;
using Lines = std::vector<QString>;

class RecordingDownloadView : public DownloadView {
 public:
  Lines lines;
  int position = -1, maximum = -1;
  bool download = true, update = true, close = true;
  void addLine(const QString& line) override { lines.push_back(line); }
  void clearLines() override { lines.clear(); }
  void setProgress(int p, int m) override { position = p, maximum = m; }
  void setDownloadEnabled(bool e) override { download = e; }
  void setUpdateEnabled(bool e) override { update = e; }
  void setCloseEnabled(bool e) override { close = e; }
  bool allEnabled() const { return download && update && close; }
};

const DateTimeFormats kFormats{"dd/MM/yyyy", "HH:mm:ss"};
const QDateTime kPcTime(QDate(2004, 3, 5), QTime(14, 2, 7));  // a Friday, day 5

class DownloadTest : public ::testing::Test {
 protected:
  explicit DownloadTest(sim::SimConfig config = {}) : sim(config) {
    ResetProject(*project);
    sim.clock.setNow(kPcTime);
  }

  // The timer answers G with this payload instead of its own status.
  void statusReplyIs(std::function<std::vector<std::uint8_t>()> payload) {
    Device inner = SimDevice(sim.timer);
    sim.port.attach("COM1", [inner, payload](std::span<const std::uint8_t> request) {
      if (request.size() > 1 && request[1] == 'G') {
        return std::vector<Arrival>{{0, BuildFrame('G', 0, payload())}};
      }
      return inner(request);
    });
  }
  // A status payload with the given clock, weekday and activation.
  // The timer's clock offset_secs from the PC clock at the moment it is asked.
  void statusIs(int offset_secs, int weekday, std::uint8_t activated) {
    statusReplyIs([=, this] { return Status(sim.clock.now().addSecs(offset_secs), weekday, activated); });
  }
  static std::vector<std::uint8_t> Status(const QDateTime& t, int weekday, std::uint8_t activated) {
    std::vector<std::uint8_t> p(29, 0);
    p[0] = t.date().day(), p[1] = t.date().month(), p[2] = t.date().year() - 2000;
    p[3] = t.time().hour(), p[4] = t.time().minute(), p[5] = t.time().second();
    p[6] = weekday, p[9] = activated;
    return p;
  }

  DownloadResult Download() {
    state.project_changed = true;
    return DownloadSchedule(context, *project, state, "COM1");
  }
  std::vector<char> Commands() const {
    std::vector<char> out;
    for (const auto& w : sim.port.writes) out.push_back(static_cast<char>(w[1]));
    return out;
  }
  int Writes() const {
    const std::vector<char> commands = Commands();
    return static_cast<int>(std::count(commands.begin(), commands.end(), 'W'));
  }

  SimulatedLink sim;
  std::unique_ptr<ProjectSetup> project = std::make_unique<ProjectSetup>();
  ProjectState state;
  RecordingPrompts prompts;
  RecordingDownloadView view;
  DownloadContext context{sim.link, prompts, view, kFormats};
};

TEST_F(DownloadTest, AFullDownloadReportsEachStepAndFillsTheTimersMemory) {
  AddPulse(*project, 1, 1, 7, 30, 5);
  for (int s = 1; s <= 20; ++s) AddPulse(*project, 3, s, 8, s, 2);
  sim.timer.setTimerClock(kPcTime);
  prompts.answers.push_back(BoxAnswer::No);

  EXPECT_EQ(Download(), DownloadResult::Completed);
  const QString now = ReportDateTime(sim.clock.now(), kFormats);  // about a second after the start
  EXPECT_EQ(now, "05/03/2004 14:02:08");
  EXPECT_EQ(view.lines, (Lines{"Establishing a Connection . . .", "Connected . . .", "Downloading Day 1",
                               "Downloading Day 2", "Downloading Day 3", "Downloading Day 4", "Downloading Day 5",
                               "Downloading Day 6", "Downloading Day 7", "Download Successful!",
                               "Timer date/time: " + now + " day 5", "PC date/time:     " + now + " day 5"}));
  EXPECT_FALSE(state.project_changed);
  EXPECT_EQ(view.position, 7);
  EXPECT_EQ(view.maximum, 7);
  EXPECT_TRUE(view.allEnabled());
  EXPECT_EQ(prompts.busy_depth, 0);
  // Preamble, checked link check, 8 writes (day 3 takes two), preamble, status.
  EXPECT_EQ(Commands(), (std::vector<char>{'L', 'L', 'W', 'W', 'W', 'W', 'W', 'W', 'W', 'W', 'L', 'G'}));
  EXPECT_EQ(prompts.process_events_calls, 9);  // before each write and once after the last day

  // What the timer now holds is what the chunks carried.
  for (int day = 1; day <= kDays; ++day) {
    for (const DayChunk& chunk : ChunksOfDay(*project, day)) {
      const int address = chunk[0] | (chunk[1] << 8);
      ASSERT_EQ(std::memcmp(sim.timer.memory().data() + address, chunk.data() + 2, kChunkBytes), 0)
          << "day " << day << " address " << address;
    }
  }
  // Not activated: the question, with its beep, answered No adds nothing; a beep ends it.
  EXPECT_EQ(prompts.log, (std::vector<std::string>{"busy", "idle", "beep",
                                                   "warning?: The Timer is not activated, would you like to do so?",
                                                   "beep"}));
}

TEST_F(DownloadTest, AnEmptyWeekSendsOneChunkPerDayAndAFullDayEight) {
  sim.timer.setTimerClock(kPcTime);
  prompts.answers = {BoxAnswer::No, BoxAnswer::No};
  EXPECT_EQ(Download(), DownloadResult::Completed);
  EXPECT_EQ(Writes(), 7);

  sim.port.writes.clear();
  for (int s = 1; s <= kEventsPerDay; ++s) AddPulse(*project, 6, s, s / 60, s % 60, 1);
  EXPECT_EQ(Download(), DownloadResult::Completed);
  EXPECT_EQ(Writes(), 6 + 8);
  EXPECT_EQ(view.position, 7);
}

TEST_F(DownloadTest, NoTimerEndsBeforeAnythingIsSent) {
  sim.port.attach("COM1", SilentDevice());
  EXPECT_EQ(Download(), DownloadResult::NoConnection);
  EXPECT_EQ(view.lines, (Lines{"Establishing a Connection . . .",
                               "Timer was not found, or there was a problem establishing a connection!"}));
  EXPECT_EQ(Commands(), (std::vector<char>{'L', 'L'}));
  EXPECT_TRUE(prompts.boxes.empty());
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_TRUE(state.project_changed);
  EXPECT_TRUE(view.allEnabled());
  EXPECT_EQ(prompts.busy_depth, 0);
}

TEST_F(DownloadTest, AFailedWriteStopsTheDownloadWhereItWas) {
  for (int s = 1; s <= 20; ++s) AddPulse(*project, 1, s, 6, s, 1);  // day 1: two chunks
  for (int s = 1; s <= 40; ++s) AddPulse(*project, 2, s, 7, s, 1);  // day 2: three chunks
  Device inner = SimDevice(sim.timer);
  int writes = 0;
  sim.port.attach("COM1", [&, inner](std::span<const std::uint8_t> request) {
    if (request[1] == 'W' && ++writes == 5) return std::vector<Arrival>{};  // day 2, chunk 3
    return inner(request);
  });

  EXPECT_EQ(Download(), DownloadResult::WriteFailed);
  ASSERT_GE(view.lines.size(), 2u);
  EXPECT_EQ(view.lines[view.lines.size() - 2], "Downloading Day 2");
  EXPECT_EQ(view.lines.back(), "Downloading was unsuccessful!");
  EXPECT_EQ(view.position, 2);
  EXPECT_TRUE(state.project_changed);
  EXPECT_EQ(Writes(), 5);
  EXPECT_TRUE(prompts.boxes.empty());
  EXPECT_TRUE(view.allEnabled());
  EXPECT_EQ(prompts.busy_depth, 0);
}

TEST_F(DownloadTest, AStatusThatCannotBeReadEndsWithTheErrorBoxButTheDownloadCounts) {
  Device inner = SimDevice(sim.timer);
  sim.port.attach("COM1", [inner](std::span<const std::uint8_t> request) {
    return request[1] == 'G' ? std::vector<Arrival>{} : inner(request);
  });
  EXPECT_EQ(Download(), DownloadResult::StatusFailed);
  EXPECT_EQ(view.lines.back(), "Download Successful!");
  EXPECT_FALSE(state.project_changed);
  EXPECT_EQ(prompts.texts(), (std::vector<QString>{kTimerNotFoundText}));
  EXPECT_TRUE(prompts.boxes[0].beeped);
  EXPECT_TRUE(view.allEnabled());
  EXPECT_EQ(prompts.busy_depth, 0);
}

TEST_F(DownloadTest, AStatusWithoutAValidClockEndsAsAnUnreadableOne) {
  statusReplyIs([] {
    auto status = Status(kPcTime, 5, 1);
    status[1] = 13;  // month 13
    return status;
  });
  EXPECT_EQ(Download(), DownloadResult::StatusFailed);
  EXPECT_EQ(view.lines.back(), "Timer date/time is not valid: 5/13/2004 14:2:7");
  EXPECT_EQ(prompts.texts(), (std::vector<QString>{kTimerNotFoundText}));
  EXPECT_TRUE(view.allEnabled());
}

TEST_F(DownloadTest, ClockWarningsForMoreThanAMinuteAndForAnotherWeekday) {
  const auto warnings = [&] {
    return std::count(prompts.log.begin(), prompts.log.end(),
                      "warning: The Date/Time difference between PC & ZMR clocks exceeds 1 minute.");
  };
  statusIs(-59, 5, 1);
  EXPECT_EQ(Download(), DownloadResult::Completed);
  EXPECT_EQ(warnings(), 0);

  statusIs(-61, 5, 1);
  Download();
  EXPECT_EQ(warnings(), 1);
  EXPECT_TRUE(view.lines[10].startsWith("Timer date/time: 05/03/2004 14:01:")) << view.lines[10].toStdString();

  statusIs(0, 4, 1);
  Download();
  EXPECT_EQ(warnings(), 2);

  statusIs(3600, 2, 1);
  Download();
  EXPECT_EQ(warnings(), 4);  // both faults: two boxes
  EXPECT_TRUE(prompts.boxes.back().beeped);
  EXPECT_EQ(prompts.busy_depth, 0);
  // An activated timer is never asked about.
  EXPECT_EQ(std::count_if(prompts.boxes.begin(), prompts.boxes.end(),
                          [](const auto& b) { return b.buttons == BoxButtons::YesNo; }),
            0);
}

TEST_F(DownloadTest, ANotActivatedTimerIsOfferedActivation) {
  sim.timer.setTimerClock(kPcTime);
  prompts.answers.push_back(BoxAnswer::Yes);
  EXPECT_EQ(Download(), DownloadResult::Completed);
  EXPECT_EQ(view.lines.back(), "Activation successful!");
  EXPECT_TRUE(sim.timer.activated());
  EXPECT_EQ(Commands().back(), 'E');

  // Activated now: no question at all.
  const auto boxes = prompts.boxes.size();
  Download();
  EXPECT_EQ(prompts.boxes.size(), boxes);
  EXPECT_TRUE(view.lines.back().startsWith("PC date/time:     05/03/2004 14:0"));
}

TEST_F(DownloadTest, AFailedActivationAddsItsLineAfterItsBox) {
  Device inner = SimDevice(sim.timer);
  sim.timer.setTimerClock(kPcTime);
  sim.port.attach("COM1", [inner](std::span<const std::uint8_t> request) {
    return request[1] == 'E' ? std::vector<Arrival>{} : inner(request);
  });
  prompts.answers.push_back(BoxAnswer::Yes);
  EXPECT_EQ(Download(), DownloadResult::Completed);
  EXPECT_EQ(view.lines.back(), "Activation unsuccessful!");
  EXPECT_EQ(prompts.texts().back(), kTimerNotFoundText);
}

TEST_F(DownloadTest, APortErrorPartWayLeavesTheWindowUsable) {
  Device inner = SimDevice(sim.timer);
  int writes = 0;
  sim.port.attach("COM1", [&, inner](std::span<const std::uint8_t> request) {
    if (request[1] == 'W' && ++writes == 3) throw PortError(PortStep::Write, PortCause::OsError, {}, {}, EIO);
    return inner(request);
  });
  EXPECT_THROW(Download(), PortError);
  EXPECT_EQ(view.lines.back(), "Downloading was unsuccessful!");
  EXPECT_TRUE(view.allEnabled());
  EXPECT_EQ(prompts.busy_depth, 0);
  EXPECT_TRUE(state.project_changed);
}

// A failed download never shows the last run's full bar, and a port error before
// "Connected" stays readable in the memo once its box is gone.
TEST_F(DownloadTest, AFailureBeforeConnectedLeavesAnEmptyBarAndItsOwnLastLine) {
  const std::string unable = "Unable to open com port (win error code: " + std::to_string(ENOENT) + ")";
  struct Case {
    const char* name;
    std::function<void()> fault;
    Lines lines;
  };
  const Case cases[] = {
      {"silent timer", [&] { sim.port.attach("COM1", SilentDevice()); },
       {"Establishing a Connection . . .", kTimerNotFoundText}},
      {"device gone since the last run", [&] { sim.port.unplug("COM1"); }, {QString::fromStdString(unable)}},
      {"line fails on the preamble", [&] {
         sim.port.attach("COM1", [](std::span<const std::uint8_t>) -> std::vector<Arrival> {
           throw PortError(PortStep::Write, PortCause::OsError, {}, {}, EIO);
         });
       },
       {QString::fromStdString("WriteFile function failed (win error code: " + std::to_string(EIO) + ")")}},
  };
  for (const Case& c : cases) {
    sim.port.attach("COM1", SimDevice(sim.timer));
    ASSERT_EQ(Download(), DownloadResult::Completed) << c.name;
    ASSERT_EQ(view.position, kDays) << c.name;
    c.fault();
    try {
      Download();
    } catch (const PortError&) {
    }
    EXPECT_EQ(view.lines, c.lines) << c.name;
    EXPECT_EQ(view.position, 0) << c.name;
    EXPECT_TRUE(view.allEnabled()) << c.name;
    EXPECT_EQ(prompts.busy_depth, 0) << c.name;
  }
}

TEST_F(DownloadTest, ClockSynchronisationSendsThePcClockPlusOneSecond) {
  sim.timer.setTimerClock(QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
  view.lines = {"kept"};
  EXPECT_TRUE(SynchronizeClock(context, "COM1"));
  EXPECT_EQ(view.lines, (Lines{"kept", "Timer date/time update was successful!"}));
  EXPECT_EQ(Commands(), (std::vector<char>{'L', 'U'}));
  // The PC time read before the preamble, plus one second; the timer then ran on.
  EXPECT_EQ(sim.timer.timerNow().toSecsSinceEpoch(), WallClock(kPcTime.addSecs(1)).toSecsSinceEpoch());
  EXPECT_TRUE(view.update);
  EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(DownloadTest, ClockSynchronisationFailuresShowTheirBoxes) {
  sim.port.attach("COM1", SilentDevice());
  EXPECT_FALSE(SynchronizeClock(context, "COM1"));
  EXPECT_EQ(prompts.log, (std::vector<std::string>{"busy", "idle", "beep", "error: " + kTimerNotFoundText.toStdString()}));
  EXPECT_TRUE(view.update);

  // A PC clock the timer cannot hold: refused, nothing sent.
  sim.port.writes.clear();
  sim.clock.setNow(QDateTime(QDate(1999, 12, 31), QTime(23, 0)));
  EXPECT_FALSE(SynchronizeClock(context, "COM1"));
  EXPECT_TRUE(sim.port.writes.empty());
  EXPECT_EQ(prompts.texts().back(), ClockYearRefusalText(1999));
  EXPECT_TRUE(view.update);
}

TEST(ReportDateTime, PadsOnlyAOneDigitFirstField) {
  const QDateTime t(QDate(2004, 3, 5), QTime(9, 5, 7));
  EXPECT_EQ(ReportDateTime(t, {"d/M/yyyy", "H:mm:ss"}), "05/3/2004 09:05:07");
  EXPECT_EQ(ReportDateTime(t, {"M/d/yyyy", "h:mm:ss AP"}), "03/5/2004 09:05:07 AM");
  EXPECT_EQ(ReportDateTime(QDateTime(QDate(2004, 12, 25), QTime(14, 0)), {"d/M/yyyy", "H:mm:ss"}),
            "25/12/2004 14:00:00");
  EXPECT_EQ(ReportDateTime(t, {"yyyy-MM-dd", "HH:mm:ss"}), "2004-03-05 09:05:07");
}

}  // namespace
}  // namespace zmr
