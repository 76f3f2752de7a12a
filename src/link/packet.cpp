#include "link/packet.h"

#include <algorithm>
#include <cassert>
#include <numeric>

namespace zmr {

std::uint8_t Checksum(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

std::vector<std::uint8_t> BuildFrame(std::uint8_t command, std::uint8_t value,
                                     std::span<const std::uint8_t> payload) {
  assert(payload.size() <= kMaxPayload);
  std::vector<std::uint8_t> frame(kHeaderSize + payload.size() + 1);
  frame[0] = kStartByte;
  frame[1] = command;
  frame[2] = value;
  frame[3] = static_cast<std::uint8_t>(payload.size());
  std::copy(payload.begin(), payload.end(), frame.begin() + kHeaderSize);
  frame.back() = Checksum(std::span(frame).first(frame.size() - 1));
  return frame;
}

}  // namespace zmr
