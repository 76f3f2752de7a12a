#pragma once
// The timer's own form of the week: 7 days x 128 slots of 4 bytes, written 16 slots at
// a time by ScheduleWrite requests whose payload is a DayChunk.
#include <array>
#include <cstdint>
#include <vector>

#include "project/project_model.h"

namespace zmr {

inline constexpr int kTimerSlotSize = 4;
inline constexpr int kSlotsPerChunk = 16;
inline constexpr int kChunksPerDay = kSlotsPerDay / kSlotsPerChunk;       // 8
inline constexpr int kDayChunkSize = 2 + kSlotsPerChunk * kTimerSlotSize;  // 66
inline constexpr int kTimerDayBytes = kSlotsPerDay * kTimerSlotSize;      // 512
inline constexpr int kChunkBytes = kSlotsPerChunk * kTimerSlotSize;       // 64
inline constexpr int kTimerMemorySize = kDays * kTimerDayBytes;           // 3584

// One slot as the timer holds it: minute, hour, pulse seconds, kind (0xFF 0xFF 0 0 empty).
using TimerSlot = std::array<std::uint8_t, kTimerSlotSize>;
// Timer schedule address (low byte first), then 16 TimerSlots.
using DayChunk = std::array<std::uint8_t, kDayChunkSize>;

TimerSlot ToTimerSlot(const ScheduleEvent& event);

// Address of chunk c (1..8) of day d (1..7) in the timer's schedule memory.
constexpr int ChunkAddress(int day, int chunk) {
  return (day - 1) * kTimerDayBytes + (chunk - 1) * kChunkBytes;
}

struct BuiltChunk {
  DayChunk bytes;
  bool ends_day;  // one of its slots has minute and hour 0xFF
};

// Chunk c (1..8) of day d (1..7), slots copied as stored (121..128 included).
BuiltChunk BuildChunk(const ProjectSetup& project, int day, int chunk);

// What a download sends for a day: chunks 1, 2, ... up to the first that ends the day,
// at most 8 (with slots 1..n occupied that is 1 + n / 16 chunks).
std::vector<DayChunk> ChunksOfDay(const ProjectSetup& project, int day);

}  // namespace zmr
