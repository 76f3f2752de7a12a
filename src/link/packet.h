#pragma once
// The request/reply frame shared by the console and the simulated timer:
// start byte 0xE2, command, value, length L, L payload bytes, checksum.
#include <cstdint>
#include <span>
#include <vector>

namespace zmr {

inline constexpr std::uint8_t kStartByte = 0xE2;
inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::size_t kMaxPayload = 255;

// Plain sum of the bytes modulo 256: no complement, no seed.
std::uint8_t Checksum(std::span<const std::uint8_t> bytes);

// A whole frame: 5 + payload.size() bytes. The payload must not exceed 255 bytes.
std::vector<std::uint8_t> BuildFrame(std::uint8_t command, std::uint8_t value,
                                     std::span<const std::uint8_t> payload);

}  // namespace zmr
