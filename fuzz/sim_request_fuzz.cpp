// The simulated timer's request parser on any line bytes, in pieces of the sizes the first
// byte gives, with time passing between them: it may drop what it cannot use, but every
// reply it sends must be a well-formed frame echoing a command it knows.
#include <string>

#include "fuzz_check.h"
#include "link/packet.h"
#include "sim_timer.h"
#include "support/fake_clock.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zmr;
  if (size < 1) {
    return 0;
  }
  testing::FakeClock clock;
  sim::SimTimer timer(clock);
  const std::size_t piece = 1 + data[0] % 32;
  const std::string known = "LGUWEDT";
  for (std::size_t at = 1; at < size; at += piece) {
    const std::size_t n = std::min(piece, size - at);
    for (const sim::SimReply& reply : timer.receive(std::span(data + at, n))) {
      const auto& b = reply.bytes;
      FUZZ_CHECK(b.size() >= kHeaderSize + 1 && b.size() == kHeaderSize + 1 + b[3]);
      FUZZ_CHECK(b[0] == kStartByte && known.find(static_cast<char>(b[1])) != std::string::npos);
      FUZZ_CHECK(Checksum(std::span(b).first(b.size() - 1)) == b.back());
      FUZZ_CHECK(reply.delay_ms >= 0);
    }
    clock.advance(static_cast<std::int64_t>(data[at]) * 20);
    timer.tick();
  }
  (void)timer.weekTable();
  return 0;
}
