#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "hardware/schedule_format.h"
#include "link/packet.h"
#include "link/timer_commands.h"
#include "support/sim_port.h"

namespace zmr {
namespace {

using testing::SimulatedLink;
using Bytes = std::vector<std::uint8_t>;

// Monday 10 June 2024.
const QDateTime kMonday0729(QDate(2024, 6, 10), QTime(7, 29, 58));

sim::SimConfig At(const QDateTime& time) {
  sim::SimConfig config;
  config.start_time = time;
  return config;
}

bool Has(const std::vector<std::string>& log, const std::string& part) {
  return std::any_of(log.begin(), log.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

class SimTimerTest : public ::testing::Test {
 protected:
  explicit SimTimerTest(sim::SimConfig config = At(kMonday0729)) : sim(std::move(config)) {
    sim.hold();
  }
  bool send(TimerCommand command, std::uint8_t length = 0) { return sim.link.Transact(command, 0, length); }
  StatusTexts status() {
    EXPECT_TRUE(sim.link.QueryStatus());
    return MakeStatusTexts(sim.link.link_data, sim.link.unit_status);
  }
  SimulatedLink sim;
};

TEST_F(SimTimerTest, AnswersLinkCheckAndStatusFromItsOwnClockAndIdentity) {
  ASSERT_TRUE(send(TimerCommand::LinkCheck));
  EXPECT_EQ(sim.link.link_data[0], 'O');
  EXPECT_EQ(sim.link.link_data[1], 'K');
  const StatusTexts texts = status();
  // The exchanges took 100 ms plus a few header pauses: still 07:29:58.
  EXPECT_EQ(texts.hardwaredt, "10/06/2024   07:29:58 day 1");
  EXPECT_EQ(texts.timerstate, "Deactivated");
  EXPECT_EQ(texts.firmwareversion, "v 1.5");
  EXPECT_EQ(texts.serialnum, "00123456");
  EXPECT_EQ(texts.productcode, "ZMR1");
  sim.advance(61'000);
  EXPECT_EQ(status().hardwaredt, "10/06/2024   07:30:59 day 1");
}

TEST_F(SimTimerTest, ClockSetActivationAndOutputTest) {
  const auto payload = MakeClockPayload(QDateTime(QDate(2030, 1, 6), QTime(23, 0, 5)));  // a Sunday
  ASSERT_TRUE(SendClock(sim.link, *payload.payload));
  EXPECT_EQ(status().hardwaredt, "06/01/2030   23:00:06 day 7");

  sim.link.LinkPreamble();
  ASSERT_TRUE(send(TimerCommand::ActivateCmd));
  EXPECT_EQ(status().timerstate, "Activated");
  ASSERT_TRUE(send(TimerCommand::DeactivateCmd));
  EXPECT_EQ(status().timerstate, "Deactivated");

  sim.link.LinkPreamble();
  ASSERT_TRUE(send(TimerCommand::OutputTest, 10));
  EXPECT_TRUE(sim.timer.relayClosed());
  sim.advance(2'800);
  EXPECT_TRUE(sim.timer.relayClosed());
  sim.advance(300);
  EXPECT_FALSE(sim.timer.relayClosed());
  EXPECT_TRUE(Has(sim.log, "relay closed for 3 s (output test)"));
  EXPECT_TRUE(Has(sim.log, "relay opened (pulse over)"));
}

std::unique_ptr<ProjectSetup> ProjectWith(int day, int hour, int minute, EventKind kind, int pulse) {
  auto project = std::make_unique<ProjectSetup>();
  std::memset(project.get(), 0, sizeof(ProjectSetup));
  for (int d = 1; d <= kDays; ++d) {
    for (int s = 1; s <= kEventsPerDay; ++s) {
      project->slot(d, s).hour = project->slot(d, s).minute = kEmptyTime;
    }
  }
  auto& event = project->slot(day, 1);
  event.hour = static_cast<std::uint8_t>(hour);
  event.minute = static_cast<std::uint8_t>(minute);
  event.kind = static_cast<std::uint8_t>(kind);
  event.pulse_seconds = static_cast<std::uint8_t>(pulse);
  return project;
}

TEST_F(SimTimerTest, StoresChunksAndFiresEventsOnlyWhileActivated) {
  const auto project = ProjectWith(1, 7, 30, EventKind::Pulse, 5);
  for (int day = 1; day <= kDays; ++day) {
    for (const DayChunk& chunk : ChunksOfDay(*project, day)) {
      std::copy(chunk.begin(), chunk.end(), sim.link.link_data.begin());
      ASSERT_TRUE(send(TimerCommand::ScheduleWrite, kDayChunkSize));
    }
  }
  EXPECT_EQ(sim.timer.memory()[0], 30);
  EXPECT_EQ(sim.timer.memory()[1], 7);
  EXPECT_TRUE(sim.timer.weekTable().find("07:30 5s") != std::string::npos);
  EXPECT_TRUE(Has(sim.log, "schedule write at 0x0C00 (Sun slots 1..16)"));

  sim.advance(3'000);  // 07:30 passes while deactivated
  EXPECT_FALSE(sim.timer.relayClosed());

  sim.timer.setTimerClock(kMonday0729);
  ASSERT_TRUE(send(TimerCommand::ActivateCmd));
  sim.advance(2'500);
  EXPECT_TRUE(sim.timer.relayClosed());
  EXPECT_TRUE(Has(sim.log, "relay closed for 5 s (Mon 07:30 5s event)"));
  sim.advance(5'000);
  EXPECT_FALSE(sim.timer.relayClosed());
}

TEST(SimTimerSchedule, OnAndOffEventsHoldTheRelayAndADayEndsAtItsFirstEmptySlot) {
  SimulatedLink sim(At(kMonday0729));
  sim.hold();
  auto project = ProjectWith(1, 7, 30, EventKind::On, 0);
  auto& off = project->slot(1, 3);  // after a gap: never reached
  off.hour = 7;
  off.minute = 31;
  off.kind = static_cast<std::uint8_t>(EventKind::Off);
  auto& second = project->slot(1, 2);
  second.hour = kEmptyTime;
  second.minute = kEmptyTime;
  const BuiltChunk chunk = BuildChunk(*project, 1, 1);
  std::copy(chunk.bytes.begin(), chunk.bytes.end(), sim.link.link_data.begin());
  ASSERT_TRUE(sim.link.Transact(TimerCommand::ScheduleWrite, 0, kDayChunkSize));
  ASSERT_TRUE(sim.link.Transact(TimerCommand::ActivateCmd, 0, 0));
  sim.advance(70'000);
  EXPECT_TRUE(sim.timer.relayClosed());  // On holds; the Off after the gap is not scheduled
  EXPECT_TRUE(Has(sim.log, "relay closed (Mon 07:30 On event)"));
}

TEST(SimTimerFaults, EachFaultMakesTheConsoleSeeAFailure) {
  auto with = [](auto change) {
    sim::SimConfig config;
    change(config.faults);
    return config;
  };
  const std::vector<std::pair<const char*, sim::SimConfig>> failing{
      {"silent", with([](sim::Faults& f) { f.silent = true; })},
      {"wrong echo", with([](sim::Faults& f) { f.wrong_echo = true; })},
      {"bad checksum", with([](sim::Faults& f) { f.bad_checksum = true; })},
      {"too late", with([](sim::Faults& f) { f.delay_ms = kPauseAfterWriteMs + 350; })},
  };
  for (const auto& [name, config] : failing) {
    SimulatedLink sim(config);
    sim.hold();
    EXPECT_FALSE(sim.link.Transact(TimerCommand::LinkCheck, 0, 0)) << name;
    EXPECT_EQ(sim.timer.requests('L'), 1) << name;
  }
  SimulatedLink slow(with([](sim::Faults& f) { f.delay_ms = 250; }), "COM1", true);
  slow.hold();
  EXPECT_TRUE(slow.link.Transact(TimerCommand::StatusQuery, 0, 0));
}

TEST(SimTimerFaults, ShortStatusAndTheNthRequestFailing) {
  sim::SimConfig config;
  config.faults.short_status = 10;
  config.faults.fail = {{'G', 2}, {'E', 1}};
  SimulatedLink sim(config);
  sim.hold();
  ASSERT_TRUE(sim.link.QueryStatus());
  const StatusTexts texts = MakeStatusTexts(sim.link.link_data, sim.link.unit_status);
  EXPECT_EQ(texts.firmwareversion, "v 0.0");
  EXPECT_EQ(texts.serialnum, "00000000");
  EXPECT_FALSE(sim.link.QueryStatus());
  EXPECT_TRUE(sim.link.QueryStatus());
  EXPECT_FALSE(sim.link.Transact(TimerCommand::ActivateCmd, 0, 0));
  EXPECT_FALSE(sim.timer.activated());  // a failed request has no effect
  EXPECT_TRUE(sim.link.Transact(TimerCommand::ActivateCmd, 0, 0));
  EXPECT_TRUE(sim.timer.activated());
  EXPECT_TRUE(Has(sim.log, "request G #2: not answered (fail G:2)"));
}

TEST(SimTimerInput, MalformedRequestsAreDroppedAndTheNextGoodOneIsAnswered) {
  testing::FakeClock clock;
  std::vector<std::string> log;
  sim::SimTimer timer(clock, {}, [&](const std::string& line) { log.push_back(line); });
  const Bytes link_check = BuildFrame('L', 0, {});

  Bytes junk{0x00, 0x13, 0xE2, 'L', 0, 0, 0x2F};  // stray bytes, then a bad checksum
  junk.insert(junk.end(), link_check.begin(), link_check.end());
  auto replies = timer.receive(junk);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].bytes, BuildFrame('L', 0, Bytes{'O', 'K'}));

  // Split across several receives.
  EXPECT_TRUE(timer.receive(std::span(link_check).first(2)).empty());
  EXPECT_EQ(timer.receive(std::span(link_check).subspan(2)).size(), 1u);

  // Unknown command, a chunk of the wrong size or address, an impossible date: no answer.
  EXPECT_TRUE(timer.receive(BuildFrame('Q', 0, {})).empty());
  EXPECT_TRUE(timer.receive(BuildFrame('W', 0, Bytes(10, 0))).empty());
  Bytes chunk(66, 0);
  chunk[0] = 0x20;  // not a multiple of 64
  EXPECT_TRUE(timer.receive(BuildFrame('W', 0, chunk)).empty());
  chunk[0] = 0x00;
  chunk[1] = 0x0E;  // past the memory
  EXPECT_TRUE(timer.receive(BuildFrame('W', 0, chunk)).empty());
  EXPECT_TRUE(timer.receive(BuildFrame('U', 0, Bytes{31, 2, 24, 10, 0, 0, 1, 0, 0, 0})).empty());

  // A torn frame is given up when its bytes stop coming.
  EXPECT_TRUE(timer.receive(Bytes{0xE2, 'W', 0, 66, 1, 2}).empty());
  clock.advance(500);
  EXPECT_EQ(timer.receive(link_check).size(), 1u);

  // Random bytes never crash it, and it still answers afterwards.
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    Bytes noise(1 + random() % 80);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random() % 3 == 0 ? 0xE2 : random());
    timer.receive(noise);
    clock.advance(300);
  }
  EXPECT_EQ(timer.receive(link_check).size(), 1u);
  EXPECT_TRUE(Has(log, "request with a bad checksum dropped"));
  EXPECT_TRUE(Has(log, "unknown command"));
}

}  // namespace
}  // namespace zmr
