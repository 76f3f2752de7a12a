#include <gtest/gtest.h>

#include "hardware/activation.h"
#include "support/recording_prompts.h"
#include "support/sim_port.h"

namespace zmr {
namespace {

using namespace zmr::testing;

class ActivationTest : public ::testing::Test {
 protected:
  ActivationTest() { sim.hold(); }
  std::string Commands() const {
    std::string out;
    for (const auto& w : sim.port.writes) out += static_cast<char>(w[1]);
    return out;
  }
  // The timer on COM1 ignores requests of this command.
  void ignores(char command) {
    Device inner = SimDevice(sim.timer);
    sim.port.attach("COM1", [inner, command](std::span<const std::uint8_t> request) {
      return request[1] == command ? std::vector<Arrival>{} : inner(request);
    });
  }

  SimulatedLink sim;
  RecordingPrompts prompts;
};

TEST_F(ActivationTest, ActivateAndDeactivateAskTheTimerAndSaySoOnlyOnFailure) {
  EXPECT_TRUE(ActivateTimer(sim.link, prompts));
  EXPECT_TRUE(sim.timer.activated());
  EXPECT_EQ(Commands(), "LE");  // preamble first

  EXPECT_TRUE(DeactivateTimer(sim.link, prompts));
  EXPECT_FALSE(sim.timer.activated());
  EXPECT_EQ(Commands(), "LED");  // no preamble before D
  EXPECT_EQ(prompts.log, (std::vector<std::string>{"busy", "idle", "busy", "idle"}));
}

TEST_F(ActivationTest, ANoReplyGivesTheBeepAndBoxAfterTheCursorIsBack) {
  sim.port.attach("COM1", SilentDevice());
  const auto start = sim.clock.tickMs();
  EXPECT_FALSE(ActivateTimer(sim.link, prompts));
  EXPECT_GE(sim.clock.tickMs() - start, 1100);  // two unanswered exchanges and the pause
  EXPECT_EQ(prompts.log, (std::vector<std::string>{"busy", "idle", "beep", "error: " + kTimerNotFoundText.toStdString()}));

  prompts.log.clear();
  EXPECT_FALSE(DeactivateTimer(sim.link, prompts));
  EXPECT_EQ(prompts.log, (std::vector<std::string>{"busy", "idle", "beep", "error: " + kTimerNotFoundText.toStdString()}));
}

TEST_F(ActivationTest, OnlyTheCommandsOwnReplyCounts) {
  ignores('L');
  EXPECT_TRUE(ActivateTimer(sim.link, prompts));  // the preamble failed; E answered
  EXPECT_TRUE(prompts.boxes.empty());
  ignores('E');
  EXPECT_FALSE(ActivateTimer(sim.link, prompts));
  EXPECT_EQ(prompts.texts(), (std::vector<QString>{kTimerNotFoundText}));
}

TEST_F(ActivationTest, OutputTestSendsWhatThePreambleLeftAndCarriesNothingOver) {
  EXPECT_TRUE(TestOutput(sim.link, prompts));
  EXPECT_TRUE(sim.timer.relayClosed());
  EXPECT_TRUE(TestOutput(sim.link, prompts));
  EXPECT_EQ(Commands(), "LTLT");
  const std::vector<std::uint8_t> payload(sim.port.writes[1].begin() + 4, sim.port.writes[1].end() - 1);
  EXPECT_EQ(payload, (std::vector<std::uint8_t>{'O', 'K', 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(sim.port.writes[3], sim.port.writes[1]);
  sim.advance(3100);
  EXPECT_FALSE(sim.timer.relayClosed());

  ignores('T');
  EXPECT_FALSE(TestOutput(sim.link, prompts));
  EXPECT_EQ(prompts.texts(), (std::vector<QString>{kTimerNotFoundText}));
}

}  // namespace
}  // namespace zmr
