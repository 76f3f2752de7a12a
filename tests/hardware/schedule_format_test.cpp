#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "hardware/schedule_format.h"

namespace zmr {
namespace {

// A project as a new one looks: slots 1..120 empty, 121..128 zero bytes.
std::unique_ptr<ProjectSetup> EmptyProject() {
  auto project = std::make_unique<ProjectSetup>();
  std::memset(project.get(), 0, sizeof(ProjectSetup));
  for (int day = 1; day <= kDays; ++day) {
    for (int slot = 1; slot <= kEventsPerDay; ++slot) {
      project->slot(day, slot).hour = kEmptyTime;
      project->slot(day, slot).minute = kEmptyTime;
    }
  }
  return project;
}

void Put(ProjectSetup& project, int day, int slot, int hour, int minute, EventKind kind, int pulse) {
  auto& event = project.slot(day, slot);
  event.hour = static_cast<std::uint8_t>(hour);
  event.minute = static_cast<std::uint8_t>(minute);
  event.kind = static_cast<std::uint8_t>(kind);
  event.pulse_seconds = static_cast<std::uint8_t>(pulse);
}

void FillDay(ProjectSetup& project, int day, int events) {
  for (int slot = 1; slot <= events; ++slot) {
    Put(project, day, slot, slot / 60, slot % 60, EventKind::Pulse, 3);
  }
}

bool SlotIs(const DayChunk& chunk, int k, TimerSlot expected) {
  return std::equal(expected.begin(), expected.end(), chunk.begin() + 2 + (k - 1) * kTimerSlotSize);
}

TEST(ScheduleFormat, EmptyProjectSendsOneChunkOfEmptySlotsPerDay) {
  const auto project = EmptyProject();
  for (int day = 1; day <= kDays; ++day) {
    const auto chunks = ChunksOfDay(*project, day);
    ASSERT_EQ(chunks.size(), 1u);
    const int address = (day - 1) * 0x200;
    EXPECT_EQ(chunks[0][0], address & 0xFF);
    EXPECT_EQ(chunks[0][1], address >> 8);
    for (int k = 1; k <= kSlotsPerChunk; ++k) {
      EXPECT_TRUE(SlotIs(chunks[0], k, {0xFF, 0xFF, 0, 0})) << day << "/" << k;
    }
  }
  EXPECT_EQ(ChunksOfDay(*project, 7)[0][1], 0x0C);
}

TEST(ScheduleFormat, OnePulseEventMinuteBeforeHourAndPulseBeforeKind) {
  auto project = EmptyProject();
  Put(*project, 1, 1, 7, 30, EventKind::Pulse, 5);
  project->slot(1, 1).title.assignBytes("Morning bell");  // never leaves the PC
  const auto chunks = ChunksOfDay(*project, 1);
  ASSERT_EQ(chunks.size(), 1u);
  const DayChunk& chunk = chunks[0];
  EXPECT_EQ(chunk[0], 0x00);
  EXPECT_EQ(chunk[1], 0x00);
  EXPECT_TRUE(SlotIs(chunk, 1, {0x1E, 0x07, 0x05, 0x04}));
  for (int k = 2; k <= kSlotsPerChunk; ++k) EXPECT_TRUE(SlotIs(chunk, k, {0xFF, 0xFF, 0, 0}));

  Put(*project, 2, 1, 6, 0, EventKind::On, 9);
  EXPECT_TRUE(SlotIs(ChunksOfDay(*project, 2)[0], 1, {0x00, 0x06, 9, 0x01}));
}

TEST(ScheduleFormat, ChunkCountIsOnePlusEventsDiv16) {
  for (const auto& [events, chunks] : std::vector<std::pair<int, std::size_t>>{
           {0, 1}, {15, 1}, {16, 2}, {17, 2}, {111, 7}, {112, 8}, {120, 8}}) {
    auto project = EmptyProject();
    FillDay(*project, 3, events);
    EXPECT_EQ(ChunksOfDay(*project, 3).size(), chunks) << events;
  }
  auto project = EmptyProject();
  FillDay(*project, 3, 16);
  const auto chunks = ChunksOfDay(*project, 3);
  const int second = ChunkAddress(3, 2);
  EXPECT_EQ(second, 0x400 + 0x40);
  EXPECT_EQ(chunks[1][0], second & 0xFF);
  EXPECT_EQ(chunks[1][1], second >> 8);
  EXPECT_TRUE(SlotIs(chunks[1], 1, {0xFF, 0xFF, 0, 0}));
}

TEST(ScheduleFormat, FullDayEndsWithTheStoredSlots121To128) {
  auto project = EmptyProject();
  FillDay(*project, 7, kEventsPerDay);
  Put(*project, 7, 128, 1, 2, EventKind::Off, 4);  // whatever a loaded file held there
  const auto chunks = ChunksOfDay(*project, 7);
  ASSERT_EQ(chunks.size(), 8u);
  const int address = 0xC00 + 0x1C0;
  EXPECT_EQ(chunks[7][0], address & 0xFF);
  EXPECT_EQ(chunks[7][1], address >> 8);
  EXPECT_TRUE(SlotIs(chunks[7], 8, {120 % 60, 120 / 60, 3, 4}));  // slot 120
  EXPECT_TRUE(SlotIs(chunks[7], 9, {0, 0, 0, 0}));                 // slot 121
  EXPECT_TRUE(SlotIs(chunks[7], 16, {2, 1, 4, 2}));                // slot 128
  EXPECT_FALSE(BuildChunk(*project, 7, 8).ends_day);
}

TEST(ScheduleFormat, GapEndsTheDayAndOnlyBothTimeBytesMarkEmpty) {
  auto project = EmptyProject();
  FillDay(*project, 1, 40);
  auto& gap = project->slot(1, 20);
  gap.hour = kEmptyTime;
  gap.minute = kEmptyTime;
  gap.kind = static_cast<std::uint8_t>(EventKind::Pulse);  // kind plays no part
  EXPECT_EQ(ChunksOfDay(*project, 1).size(), 2u);

  auto half = EmptyProject();
  FillDay(*half, 1, 40);
  half->slot(1, 20).hour = kEmptyTime;  // minute still real: not empty
  EXPECT_EQ(ChunksOfDay(*half, 1).size(), 3u);
}

}  // namespace
}  // namespace zmr
