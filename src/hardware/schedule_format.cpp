#include "hardware/schedule_format.h"

#include <algorithm>

namespace zmr {

TimerSlot ToTimerSlot(const ScheduleEvent& event) {
  return {event.minute, event.hour, event.pulse_seconds, event.kind};
}

BuiltChunk BuildChunk(const ProjectSetup& project, int day, int chunk) {
  BuiltChunk built{{}, false};
  const int address = ChunkAddress(day, chunk);
  built.bytes[0] = static_cast<std::uint8_t>(address & 0xFF);
  built.bytes[1] = static_cast<std::uint8_t>(address >> 8);
  for (int k = 0; k < kSlotsPerChunk; ++k) {
    const TimerSlot slot = ToTimerSlot(project.slot(day, (chunk - 1) * kSlotsPerChunk + k + 1));
    std::copy(slot.begin(), slot.end(), built.bytes.begin() + 2 + k * kTimerSlotSize);
    // The timer knows an empty slot by its time bytes alone.
    if (slot[0] == kEmptyTime && slot[1] == kEmptyTime) {
      built.ends_day = true;
    }
  }
  return built;
}

std::vector<DayChunk> ChunksOfDay(const ProjectSetup& project, int day) {
  std::vector<DayChunk> chunks;
  for (int chunk = 1; chunk <= kChunksPerDay; ++chunk) {
    const BuiltChunk built = BuildChunk(project, day, chunk);
    chunks.push_back(built.bytes);
    if (built.ends_day) {
      break;
    }
  }
  return chunks;
}

}  // namespace zmr
