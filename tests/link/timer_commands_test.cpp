#include <gtest/gtest.h>

#include <optional>

#include "link/packet.h"
#include "link/port_lease.h"
#include "link/timer_commands.h"
#include "support/fake_port.h"

namespace zmr {
namespace {

using testing::FakeClock;
using testing::FakePort;
using Bytes = std::vector<std::uint8_t>;

QDateTime At(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
  return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

TEST(ClockPayload, SecondIsRoundedUpBelow59AndWeekStartsOnMonday) {
  // 2024-06-09 is a Sunday.
  auto result = MakeClockPayload(At(2024, 6, 9, 23, 59, 59, 999));
  ASSERT_TRUE(result.payload);
  EXPECT_EQ(*result.payload, (ClockPayload{9, 6, 24, 23, 59, 59, 7, 0, 0, 0}));

  EXPECT_EQ((*MakeClockPayload(At(2024, 6, 10, 10, 15, 30)).payload)[5], 31);
  EXPECT_EQ((*MakeClockPayload(At(2024, 6, 10, 10, 15, 58)).payload)[5], 59);
  EXPECT_EQ((*MakeClockPayload(At(2024, 6, 10, 10, 15, 0)).payload)[5], 1);
  EXPECT_EQ((*MakeClockPayload(At(2024, 6, 10, 10, 15, 0)).payload)[6], 1);  // Monday
  EXPECT_EQ((*MakeClockPayload(At(2024, 6, 15, 10, 15, 0)).payload)[6], 6);  // Saturday
}

TEST(ClockPayload, YearsOutsideWhatTheTimerCarriesAreRefused) {
  EXPECT_EQ((*MakeClockPayload(At(2000, 1, 1, 0, 0, 0)).payload)[2], 0);
  EXPECT_EQ((*MakeClockPayload(At(2255, 12, 31, 0, 0, 0)).payload)[2], 255);
  for (int year : {1999, 2256}) {
    const auto result = MakeClockPayload(At(year, 1, 1, 0, 0, 0));
    EXPECT_FALSE(result.payload);
    EXPECT_EQ(result.refusal, ClockYearRefusalText(year));
    EXPECT_TRUE(result.refusal.contains(QString::number(year)));
  }
}

TEST(ClockPayload, SendClockFollowsThePreambleWithAClockSetOfTenBytes) {
  FakeClock clock;
  FakePort port(clock);
  port.attach("COM1", [](std::span<const std::uint8_t> request) {
    const Bytes payload = request[1] == 'L' ? Bytes{'O', 'K'} : Bytes{};
    return std::vector<testing::Arrival>{{0, BuildFrame(request[1], 0, payload)}};
  });
  TimerLink link(port, clock);
  const PortLease lease(link, "COM1");
  const ClockPayload payload{9, 6, 24, 23, 59, 59, 7, 0, 0, 0};
  EXPECT_TRUE(SendClock(link, payload));
  ASSERT_EQ(port.writes.size(), 2u);
  EXPECT_EQ(port.writes[0][1], 'L');
  Bytes expected{0xE2, 'U', 0, 10};
  expected.insert(expected.end(), payload.begin(), payload.end());
  expected.push_back(Checksum(expected));
  EXPECT_EQ(port.writes[1], expected);
}

class StatusTest : public ::testing::Test {
 protected:
  StatusTest() {
    port.attach("COM1", [this](auto) { return std::vector<testing::Arrival>{{0, reply}}; });
    lease.emplace(link, "COM1");
  }
  void replyWith(const Bytes& payload) { reply = BuildFrame('G', 0, payload); }
  StatusTexts query() {
    EXPECT_TRUE(link.QueryStatus());
    return MakeStatusTexts(link.link_data, link.unit_status);
  }

  FakeClock clock;
  FakePort port{clock};
  TimerLink link{port, clock};
  std::optional<PortLease> lease;
  Bytes reply;
};

TEST_F(StatusTest, FullReplyFillsUnitStatusAndTheDialogTexts) {
  replyWith({9, 3, 9, 7, 5, 3, 1, 0xAA, 0xBB, 1, 1, 5, 0xCC,
             0, 0, 1, 2, 3, 4, 5, 6, 'Z', 'M', 'R', '1', 0, 'X', 'Y', 'Z'});
  const StatusTexts texts = query();
  EXPECT_EQ(texts.hardwaredt, "09/03/2009   07:05:03 day 1");
  EXPECT_EQ(texts.timerstate, "Activated");
  EXPECT_EQ(texts.firmwareversion, "v 1.5");
  EXPECT_EQ(texts.serialnum, "00123456");
  EXPECT_EQ(texts.productcode, "ZMR1");
  EXPECT_EQ(link.unit_status, (std::array<std::uint8_t, kUnitStatusSize>{
                                  9, 3, 9, 1, 7, 5, 3, 1, 1, 5, 0xCC, 0, 0, 1, 2, 3, 4, 5, 6,
                                  'Z', 'M', 'R', '1', 0, 'X', 'Y', 'Z'}));
}

TEST_F(StatusTest, FieldTextsForUnusualValues) {
  replyWith({25, 12, 255, 23, 59, 58, 7, 0, 0, 2, 1, 10, 0,
             12, 0, 0, 0, 0, 0, 0, 9, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'});
  const StatusTexts texts = query();
  EXPECT_EQ(texts.hardwaredt, "25/12/2255   23:59:58 day 7");
  EXPECT_EQ(texts.timerstate, "Deactivated");  // only 1 means activated
  EXPECT_EQ(texts.firmwareversion, "v 1.10");
  EXPECT_EQ(texts.serialnum, "120000009");
  EXPECT_EQ(texts.productcode, "ABCDEFGH");  // no zero byte: all eight
}

TEST_F(StatusTest, ShortReplyReadsTheMissingBytesAsZero) {
  link.link_data.fill(0x66);
  replyWith({1, 2, 3, 4, 5, 6, 3, 0, 0, 1});
  const StatusTexts texts = query();
  EXPECT_EQ(texts.timerstate, "Activated");
  EXPECT_EQ(texts.firmwareversion, "v 0.0");
  EXPECT_EQ(texts.serialnum, "00000000");
  EXPECT_EQ(texts.productcode, "");
}

TEST_F(StatusTest, FailedQueryKeepsTheEarlierStatus) {
  replyWith({9, 3, 9, 7, 5, 3, 1, 0, 0, 1, 2, 3});
  query();
  reply.back() ^= 0xFF;
  EXPECT_FALSE(link.QueryStatus());
  EXPECT_EQ(link.unit_status[unit_status_at::kFirmwareMajor], 2);
  EXPECT_EQ(link.unit_status[unit_status_at::kFirmwareMinor], 3);
}

TEST(LinkPreamble, IgnoresTheResultAndPauses300Ms) {
  FakeClock clock;
  FakePort port(clock);
  port.attach("COM1", testing::SilentDevice());
  TimerLink link(port, clock);
  const PortLease lease(link, "COM1");
  const auto start = clock.tickMs();
  link.LinkPreamble();
  EXPECT_EQ(port.writes, (std::vector<Bytes>{{0xE2, 'L', 0, 0, 0x2E}}));
  EXPECT_EQ(clock.tickMs() - start, kPauseAfterWriteMs + kFirstByteTimeoutMs + 1 + kPreamblePauseMs);
}

}  // namespace
}  // namespace zmr
