// Transact against a line that delivers the fuzzer's bytes. Input: command, request
// length, the first reply byte's delay (x 4 ms) and the pace (ms a byte) of the reply,
// then the reply stream itself (header, length, payload, checksum, or any part of them).
// A true result must mean a whole, checked reply (header bytes that had not arrived when
// read count as 0), and no exchange may outlast its bounds.
#include <algorithm>
#include <array>
#include <cstring>

#include "fuzz_check.h"
#include "link/packet.h"
#include "link/port_lease.h"
#include "link/timer_link.h"
#include "support/fake_port.h"

namespace {

using namespace zmr;

constexpr std::array kCommands{TimerCommand::LinkCheck,     TimerCommand::StatusQuery,  TimerCommand::ClockSet,
                               TimerCommand::ScheduleWrite, TimerCommand::ActivateCmd,  TimerCommand::DeactivateCmd,
                               TimerCommand::OutputTest};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) {
    return 0;
  }
  const TimerCommand command = kCommands[data[0] % kCommands.size()];
  const std::uint8_t request_length = data[1];
  const std::int64_t first_at = (data[2] % 128) * 4;
  const std::int64_t pace = data[3] % 64;
  const std::vector<std::uint8_t> stream(data + 4, data + size);

  testing::FakeClock clock;
  testing::FakePort port(clock);
  port.attach("COM1", [&](std::span<const std::uint8_t>) { return testing::Paced(stream, first_at, pace); });
  TimerLink link(port, clock);
  const PortLease lease(link, "COM1");
  const auto before = link.link_data;

  const std::int64_t start = clock.tickMs();
  const bool ok = link.Transact(command, 0, request_length);
  const std::int64_t spent = clock.tickMs() - start;
  // The pause, the first-byte wait, three header pauses, the reply's whole budget.
  FUZZ_CHECK(spent <= kPauseAfterWriteMs + kFirstByteTimeoutMs + 1 + 3 * kHeaderBytePauseMs + ReplyBudgetMs(255));
  FUZZ_CHECK(port.writes.size() == 1 && port.writes[0].size() == kHeaderSize + 1 + request_length);

  if (ok) {
    // What the link must have read: the first byte when it came (at the earliest when the
    // pause ended), then header bytes 1..3 a millisecond apart, each the next byte of the
    // stream if it had arrived by then, else 0; then the payload and checksum in order.
    const auto arrival = [&](std::size_t k) { return first_at + static_cast<std::int64_t>(k) * pace; };
    FUZZ_CHECK(!stream.empty());
    const std::int64_t t_first = std::max<std::int64_t>(kPauseAfterWriteMs, arrival(0));
    std::array<std::uint8_t, kHeaderSize> header{stream[0]};
    std::size_t next = 1;
    for (std::size_t i = 1; i < kHeaderSize; ++i) {
      if (next < stream.size() && arrival(next) <= t_first + static_cast<std::int64_t>(i) * kHeaderBytePauseMs) {
        header[i] = stream[next++];
      }
    }
    const std::size_t n = header[3];
    FUZZ_CHECK(header[0] == kStartByte && header[1] == static_cast<std::uint8_t>(command));
    FUZZ_CHECK(stream.size() >= next + n + 1);
    FUZZ_CHECK(std::memcmp(link.link_data.data(), stream.data() + next, n) == 0);
    unsigned sum = Checksum(header);
    for (std::size_t i = 0; i < n; ++i) sum += stream[next + i];
    FUZZ_CHECK(static_cast<std::uint8_t>(sum) == stream[next + n]);
    for (std::size_t i = n; i < static_cast<std::size_t>(kClearedBeforeReply); ++i) {
      FUZZ_CHECK(link.link_data[i] == 0);
    }
  } else if (stream.empty() || stream[0] != kStartByte) {
    FUZZ_CHECK(link.link_data == before);
  }

  // The next exchange starts clean whatever the last one left on the line.
  (void)link.QueryStatus();
  FUZZ_CHECK(port.isOpen());
  return 0;
}
