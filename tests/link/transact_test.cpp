#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <cerrno>

#include "link/packet.h"
#include "link/port_error.h"
#include "link/port_lease.h"
#include "link/timer_link.h"
#include "support/fake_port.h"

namespace zmr {
namespace {

using testing::Arrival;
using testing::FakeClock;
using testing::FakePort;
using Bytes = std::vector<std::uint8_t>;

constexpr auto kL = static_cast<std::uint8_t>(TimerCommand::LinkCheck);
constexpr auto kG = static_cast<std::uint8_t>(TimerCommand::StatusQuery);

Bytes Frame(std::uint8_t command, Bytes payload, std::uint8_t value = 0) {
  return BuildFrame(command, value, payload);
}

class TransactTest : public ::testing::Test {
 protected:
  void SetUp() override { lease.emplace(link, "COM1"); }
  // The device on COM1 answers every request with these arrivals.
  void answer(std::vector<Arrival> arrivals) {
    port.attach("COM1", [arrivals](std::span<const std::uint8_t>) { return arrivals; });
    lease.reset();
    lease.emplace(link, "COM1");
  }
  void answer(Bytes reply, std::int64_t at_ms = 0) { answer({{at_ms, std::move(reply)}}); }

  TransactTest() { port.attach("COM1", testing::SilentDevice()); }

  FakeClock clock;
  FakePort port{clock};
  TimerLink link{port, clock};
  std::optional<PortLease> lease;
};

TEST_F(TransactTest, RequestFrameIsStartCommandValueLengthPayloadAndPlainSum) {
  link.Transact(TimerCommand::LinkCheck, 0, 0);
  ASSERT_EQ(port.writes.size(), 1u);
  EXPECT_EQ(port.writes[0], (Bytes{0xE2, 0x4C, 0x00, 0x00, 0x2E}));

  link.link_data[0] = 0x10;
  link.link_data[1] = 0xF0;
  link.link_data[2] = 0x99;  // beyond the length: not sent
  link.Transact(TimerCommand::ClockSet, 0, 2);
  const auto sum = static_cast<std::uint8_t>(0xE2 + 0x55 + 0 + 2 + 0x10 + 0xF0);
  EXPECT_EQ(port.writes[1], (Bytes{0xE2, 0x55, 0x00, 0x02, 0x10, 0xF0, sum}));
  // Every exchange starts with a purge of both directions before its one write.
  EXPECT_EQ(port.events[port.events.size() - 2], "purge in out");
  EXPECT_EQ(port.events.back(), "write 7");
}

TEST_F(TransactTest, GoodReplyIsStoredAfterBytes0To32AreCleared) {
  link.link_data.fill(0x77);
  answer(Frame(kL, {'O', 'K'}));
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  EXPECT_EQ(link.link_data[0], 'O');
  EXPECT_EQ(link.link_data[1], 'K');
  for (int i = 2; i < kClearedBeforeReply; ++i) EXPECT_EQ(link.link_data[i], 0) << i;
  EXPECT_EQ(link.link_data[kClearedBeforeReply], 0x77);

  // A reply longer than 33 bytes overwrites past the cleared part too.
  Bytes long_payload(40, 0x05);
  answer(Frame(kL, long_payload));
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  EXPECT_EQ(link.link_data[39], 0x05);
  EXPECT_EQ(link.link_data[40], 0x77);
}

TEST_F(TransactTest, EmptyReplyAndNonZeroValueByteAreAccepted) {
  link.link_data.fill(0x11);
  answer(Frame(kL, {}));
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  EXPECT_EQ(link.link_data[0], 0);
  EXPECT_EQ(link.link_data[32], 0);

  answer(Frame(kL, {'O', 'K'}, 0x5A));
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  // The value byte enters the checksum: the same reply summed without it fails.
  Bytes without_value = Frame(kL, {'O', 'K'}, 0x5A);
  without_value.back() = static_cast<std::uint8_t>(without_value.back() - 0x5A);
  answer(without_value);
  EXPECT_FALSE(link.Transact(TimerCommand::LinkCheck, 0, 0));
}

TEST_F(TransactTest, WrongStartByteOrEchoFailsAndLeavesLinkDataAlone) {
  link.link_data.fill(0x33);
  answer(Frame(kG, {'O', 'K'}));  // a stale reply to another command, checksum right
  EXPECT_FALSE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  Bytes wrong_start = Frame(kL, {'O', 'K'});
  wrong_start[0] = 0xE3;
  wrong_start.back() = Checksum(std::span(wrong_start).first(wrong_start.size() - 1));
  answer(wrong_start);
  EXPECT_FALSE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  EXPECT_EQ(link.link_data[0], 0x33);
}

TEST_F(TransactTest, OnlyThePlainSumIsAValidChecksum) {
  Bytes twos_complement = Frame(kL, {'O', 'K'});
  twos_complement.back() = static_cast<std::uint8_t>(-twos_complement.back());
  answer(twos_complement);
  EXPECT_FALSE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  // The received payload already stands in link_data after a checksum mismatch.
  EXPECT_EQ(link.link_data[0], 'O');

  Bytes without_start = Frame(kL, {'O', 'K'});
  without_start.back() = static_cast<std::uint8_t>(without_start.back() - kStartByte);
  answer(without_start);
  EXPECT_FALSE(link.Transact(TimerCommand::LinkCheck, 0, 0));
}

TEST_F(TransactTest, FirstByteMustComeWithin300MsOfThePause) {
  // Arrival times count from the write; the pause after it is 100 ms.
  answer(Frame(kL, {'O', 'K'}), kPauseAfterWriteMs + 300);
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));

  answer(Frame(kL, {'O', 'K'}), kPauseAfterWriteMs + 350);
  link.link_data.fill(0x44);
  const auto start = clock.tickMs();
  EXPECT_FALSE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  EXPECT_GT(clock.tickMs() - start, 400);
  EXPECT_LT(clock.tickMs() - start, 410);
  EXPECT_EQ(link.link_data[0], 0x44);

  // The late bytes land after the failure and are purged by the next exchange.
  port.attach("COM1", testing::FixedReplyDevice(Frame(kL, {'O', 'K'})));
  clock.advance(100);
  link.link_data.fill(0);
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
}

TEST_F(TransactTest, SilentTimerCostsAbout400Ms) {
  const auto start = clock.tickMs();
  EXPECT_FALSE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  EXPECT_EQ(clock.tickMs() - start, kPauseAfterWriteMs + kFirstByteTimeoutMs + 1);
}

TEST_F(TransactTest, MissingHeaderBytesReadAsZero) {
  // Only the start byte and the echo arrive in time for the header reads; value and
  // length count as 0, and the checksum over E2 4C 00 00 is 0x2E, which then arrives.
  answer({{0, {kStartByte, kL}}, {kPauseAfterWriteMs + 10, {0x2E}}});
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
}

TEST_F(TransactTest, PacedReplyAt9600BitPerSecondIsRead) {
  answer(testing::Paced(Frame(kL, {'O', 'K'}), 150, 1));
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  EXPECT_EQ(link.link_data[1], 'K');
}

TEST_F(TransactTest, TruncatedReplyFailsAfterTheInterByteWait) {
  Bytes truncated = Frame(kG, Bytes(29, 1));
  truncated.resize(4 + 10);  // header and ten of 29 payload bytes
  answer(truncated);
  const auto start = clock.tickMs();
  EXPECT_FALSE(link.Transact(TimerCommand::StatusQuery, 0, 0));
  EXPECT_EQ(clock.tickMs() - start, kPauseAfterWriteMs + 3 * kHeaderBytePauseMs + kInterByteTimeoutMs);

  Bytes no_checksum = Frame(kL, {'O', 'K'});
  no_checksum.pop_back();
  answer(no_checksum);
  EXPECT_FALSE(link.Transact(TimerCommand::LinkCheck, 0, 0));

  // A byte that comes within the inter-byte wait is still taken.
  Bytes frame = Frame(kL, {'O', 'K'});
  answer({{0, Bytes(frame.begin(), frame.end() - 1)}, {kPauseAfterWriteMs + 40, {frame.back()}}});
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
}

TEST_F(TransactTest, PortFailuresPassThrough) {
  port.close();
  try {
    link.Transact(TimerCommand::LinkCheck, 0, 0);
    FAIL() << "no port error";
  } catch (const PortError& error) {
    EXPECT_EQ(error.step(), PortStep::Purge);
  }
}

// The header at once as the pause after the write ends, then the rest of the frame one
// byte each ms_per_byte.
std::vector<Arrival> TrickledAfterHeader(const Bytes& frame, std::int64_t ms_per_byte) {
  std::vector<Arrival> arrivals = testing::Paced(Bytes(frame.begin() + kHeaderSize, frame.end()),
                                                 kPauseAfterWriteMs + ms_per_byte, ms_per_byte);
  arrivals.insert(arrivals.begin(), {kPauseAfterWriteMs, Bytes(frame.begin(), frame.begin() + kHeaderSize)});
  return arrivals;
}

TEST_F(TransactTest, ATricklingReplyIsCutOffAtTwiceItsLineTimePlusTheMargin) {
  // 255 payload bytes at 45 ms a byte: each byte comes within the inter-byte wait, the
  // whole would take 11.5 s.
  const Bytes slow = Frame(kG, Bytes(255, 7));
  answer(TrickledAfterHeader(slow, 45));
  const auto start = clock.tickMs();
  EXPECT_FALSE(link.Transact(TimerCommand::StatusQuery, 0, 0));
  const auto spent = clock.tickMs() - start;
  EXPECT_EQ(ReplyBudgetMs(255), 50 + 542);
  EXPECT_LE(spent, kPauseAfterWriteMs + ReplyBudgetMs(255));
  EXPECT_GE(spent, kPauseAfterWriteMs + ReplyBudgetMs(255) - kInterByteTimeoutMs);

  // The same reply at the line rate, and at half of it, is read whole.
  for (const std::int64_t ms_per_byte : {1, 2}) {
    answer(TrickledAfterHeader(slow, ms_per_byte));
    EXPECT_TRUE(link.Transact(TimerCommand::StatusQuery, 0, 0)) << ms_per_byte;
    EXPECT_EQ(link.link_data[254], 7);
  }
  // A short reply gets a short budget: 7 bytes, 65 ms from its first byte.
  EXPECT_EQ(ReplyBudgetMs(2), 50 + 15);
  answer(TrickledAfterHeader(Frame(kL, {'O', 'K'}), 20));
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
  answer(TrickledAfterHeader(Frame(kL, {'O', 'K'}), 30));
  EXPECT_FALSE(link.Transact(TimerCommand::LinkCheck, 0, 0));
}

TEST_F(TransactTest, ADeviceGoneClosesThePortSoTheNextOperationOpensItAfresh) {
  answer(Frame(kL, {'O', 'K'}));
  port.unplug("COM1");
  try {
    link.Transact(TimerCommand::LinkCheck, 0, 0);
    FAIL() << "no port error";
  } catch (const PortError& error) {
    // The lost device is seen before the request, so the error tells the truth: the
    // device is not there. Never a stuck purge.
    EXPECT_EQ(error.step(), PortStep::Open);
  }
  EXPECT_FALSE(port.isOpen());
  lease.reset();
  EXPECT_THROW(PortLease(link, "COM1"), PortError);  // the next operation, while it is still gone
  EXPECT_FALSE(port.isOpen());
  port.attach("COM1", testing::FixedReplyDevice(Frame(kL, {'O', 'K'})));  // plugged in again
  const PortLease again(link, "COM1");
  EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0));
}

TEST_F(TransactTest, ADeviceRepluggedSinceTheLastRequestIsReachedOnTheFirstTryAndAsksOnce) {
  struct Case {
    const char* name;
    bool replug;
    std::vector<std::string> events;  // from the request on
  };
  const Case cases[] = {
      {"same device", false, {"purge in out", "write 5"}},
      {"re-plugged", true, {"close", "open COM1", "purge in out", "purge in out", "write 5"}},
  };
  for (const Case& c : cases) {
    answer(Frame(kL, {'O', 'K'}));
    ASSERT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0)) << c.name;
    if (c.replug) {
      port.unplug("COM1");
      port.attach("COM1", testing::FixedReplyDevice(Frame(kL, {'O', 'K'})));
    }
    port.events.clear();
    port.writes.clear();
    EXPECT_TRUE(link.Transact(TimerCommand::LinkCheck, 0, 0)) << c.name;
    EXPECT_EQ(port.writes.size(), 1u) << c.name;
    EXPECT_EQ(port.events, c.events) << c.name;
  }
}

// A lease holds the port for one operation and gives it back on every way out; one
// inside another on the same port shares its opening, on another port moves it there.
TEST(PortLease, HoldsThePortForOneOperationOnly) {
  using Events = std::vector<std::string>;
  const Events one{"open COM1", "purge in out", "close"};
  struct Case {
    const char* name;
    std::function<void(TimerLink&)> operation;
    Events events;
  } cases[] = {
      {"one operation", [](TimerLink& link) { const PortLease lease(link, "COM1"); }, one},
      {"inside another on the same port",
       [](TimerLink& link) {
         const PortLease outer(link, "COM1");
         const PortLease inner(link, "COM1");
       },
       one},
      {"inside another on another port",
       [](TimerLink& link) {
         const PortLease outer(link, "COM1");
         const PortLease inner(link, "COM2");
       },
       {"open COM1", "purge in out", "close", "open COM2", "purge in out", "close"}},
      {"an error passing through",
       [](TimerLink& link) {
         try {
           const PortLease lease(link, "COM1");
           throw PortError(PortStep::Write, PortCause::OsError, {}, {}, EIO);
         } catch (const PortError&) {
         }
       },
       one},
      {"a port that leads nowhere",
       [](TimerLink& link) {
         try {
           const PortLease lease(link, "COM3");
           ADD_FAILURE() << "no port error";
         } catch (const PortError& error) {
           EXPECT_STREQ(error.what(),
                        ("Unable to open com port (win error code: " + std::to_string(ENOENT) + ")").c_str());
         }
       },
       {"open COM3"}},
  };
  for (const Case& c : cases) {
    FakeClock clock;
    FakePort port(clock);
    port.attach("COM1", testing::SilentDevice());
    port.attach("COM2", testing::SilentDevice());
    TimerLink link(port, clock);
    c.operation(link);
    EXPECT_EQ(port.events, c.events) << c.name;
    EXPECT_FALSE(port.isOpen()) << c.name;
    // Whatever happened, the next operation opens the port afresh.
    port.events.clear();
    { const PortLease next(link, "COM1"); }
    EXPECT_EQ(port.events, one) << c.name;
  }
}

}  // namespace
}  // namespace zmr
