#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "project/project_model.h"
#include "support/project_fixtures.h"

namespace zmr {
namespace {

using testing::AddPulse;

std::unique_ptr<ProjectSetup> NewProject() {
  auto p = std::make_unique<ProjectSetup>();
  ResetProject(*p);
  return p;
}

const std::uint8_t* Raw(const ProjectSetup& p) { return reinterpret_cast<const std::uint8_t*>(&p); }

TEST(ResetProject, EmptiesSlotsAndTextsSetsTagsAndLeavesTheSpareSlots) {
  auto p = std::make_unique<ProjectSetup>();  // zero bytes, as at start-up
  std::memset(&p->slot(3, 121), 0xAB, sizeof(ScheduleEvent));  // as a loaded file may leave them
  p->summary.title.assignBytes("old");
  ResetProject(*p);

  const std::uint8_t* raw = Raw(*p);
  for (int day = 1; day <= kDays; ++day) {
    for (int slot = 1; slot <= kEventsPerDay; ++slot) {
      const std::size_t at = (day - 1) * 13440 + (slot - 1) * 105;
      ASSERT_EQ(raw[at], 0xFF);
      ASSERT_EQ(raw[at + 1], 0xFF);
      ASSERT_EQ(raw[at + 2], 0);    // title count
      ASSERT_EQ(raw[at + 103], 0);  // kind
      ASSERT_EQ(raw[at + 104], 0);  // pulse
    }
  }
  EXPECT_EQ(raw[(1 - 1) * 13440 + 120 * 105], 0);  // day 1 slot 121 untouched (zero)
  EXPECT_EQ(raw[(3 - 1) * 13440 + 120 * 105], 0xAB);
  EXPECT_EQ(raw[(3 - 1) * 13440 + 120 * 105 + 104], 0xAB);

  const char start[] = "\x07KOLVAR1";
  const char end[] = "\x07KOLVAR2";
  EXPECT_EQ(std::memcmp(raw + 94080, start, 8), 0);
  EXPECT_EQ(std::memcmp(raw + 95062, end, 8), 0);
  for (std::size_t at : {94088u, 94189u, 94290u, 94391u, 94492u, 94593u, 94694u, 94795u, 95051u}) {
    EXPECT_EQ(raw[at], 0) << at;
  }
  EXPECT_TRUE(HasProjectTags(*p));
}

TEST(ProjectTexts, AreCutToTheirFieldsAndNeverReadPastThem) {
  auto p = NewProject();
  p->slot(1, 1).title.setText(QString(150, 'x'));
  EXPECT_EQ(p->slot(1, 1).title.count, 100);
  p->summary.comments.setText(QString(300, 'c'));
  EXPECT_EQ(p->summary.comments.count, 255);

  // A damaged file may claim 200 characters in a 10-character field.
  p->summary.summary_date.assignBytes("2026-12-09");
  p->summary.summary_date.count = 200;
  EXPECT_EQ(p->summary.summary_date.text(), "2026-12-09");
  EXPECT_EQ(p->summary.summary_date.size(), 10u);
}

TEST(EventText, TwoDigitTimeThenPulseOrState) {
  auto p = NewProject();
  AddPulse(*p, 1, 1, 7, 5, 3);
  AddPulse(*p, 1, 2, 15, 30, 45);
  AddPulse(*p, 1, 3, 0, 0, 1);
  AddPulse(*p, 1, 4, 12, 0, 5);
  EXPECT_EQ(EventText(p->slot(1, 1)), "07:05, 3");
  EXPECT_EQ(EventText(p->slot(1, 2)), "15:30, 45");
  EXPECT_EQ(EventText(p->slot(1, 3)), "00:00, 1");
  EXPECT_EQ(EventText(p->slot(1, 4)), "12:00, 5");

  ScheduleEvent& e = p->slot(1, 5);
  e.hour = 6;
  e.minute = 0;
  e.pulse_seconds = 9;
  e.kind = static_cast<std::uint8_t>(EventKind::On);
  EXPECT_EQ(EventText(e), "06:00, On");
  e.kind = static_cast<std::uint8_t>(EventKind::Off);
  EXPECT_EQ(EventText(e), "06:00, Off");
  e.kind = 7;  // unknown kind: occupied, nothing after the separator
  EXPECT_EQ(EventText(e), "06:00, ");
}

TEST(SortDay, OrdersByTimeWithEmptySlotsLastAndMovesWholeSlots) {
  auto p = NewProject();
  AddPulse(*p, 2, 1, 10, 0, 5, "ten");
  AddPulse(*p, 2, 2, 8, 30, 6, "half past eight");
  AddPulse(*p, 2, 4, 9, 15, 7, "quarter past nine");
  std::memset(&p->slot(2, 121), 0x01, sizeof(ScheduleEvent));
  SortDay(*p, 2);
  EXPECT_EQ(EventText(p->slot(2, 1)), "08:30, 6");
  EXPECT_EQ(p->slot(2, 1).title.text(), "half past eight");
  EXPECT_EQ(EventText(p->slot(2, 2)), "09:15, 7");
  EXPECT_EQ(p->slot(2, 2).title.text(), "quarter past nine");
  EXPECT_EQ(EventText(p->slot(2, 3)), "10:00, 5");
  EXPECT_EQ(p->slot(2, 3).title.text(), "ten");
  for (int s = 4; s <= kEventsPerDay; ++s) {
    ASSERT_TRUE(p->slot(2, s).isEmptyKind()) << s;
    ASSERT_EQ(p->slot(2, s).hour, 0xFF);
  }
  EXPECT_EQ(p->slot(2, 121).hour, 0x01);  // spare slots never move
  EXPECT_EQ(p->slot(1, 1).hour, 0xFF);    // other days untouched
}

TEST(SortDay, EqualTimesMayChangePlacesAndAFullDayIsOrdered) {
  auto p = NewProject();
  // Two events with one time (only a loaded file can hold that). Neighbours keep their
  // order; an exchange across a wide gap can swap them: the sort is not stable.
  AddPulse(*p, 1, 1, 9, 0, 1, "first");
  AddPulse(*p, 1, 2, 9, 0, 2, "second");
  AddPulse(*p, 1, 3, 8, 0, 3, "early");
  SortDay(*p, 1);
  EXPECT_EQ(p->slot(1, 1).title.text(), "early");
  EXPECT_EQ(p->slot(1, 2).title.text(), "first");
  EXPECT_EQ(p->slot(1, 3).title.text(), "second");
  auto q = NewProject();
  AddPulse(*q, 1, 1, 9, 0, 1, "first");
  AddPulse(*q, 1, 2, 9, 0, 2, "second");
  AddPulse(*q, 1, 61, 8, 0, 3, "early");
  SortDay(*q, 1);
  EXPECT_EQ(q->slot(1, 1).title.text(), "early");
  EXPECT_EQ(q->slot(1, 2).title.text(), "second");
  EXPECT_EQ(q->slot(1, 3).title.text(), "first");

  // 120 events in reverse order end up ascending with the latest in slot 120.
  for (int s = 1; s <= kEventsPerDay; ++s) {
    const int minutes = (kEventsPerDay - s) * 11;
    AddPulse(*p, 7, s, minutes / 60, minutes % 60, 1);
  }
  SortDay(*p, 7);
  for (int s = 2; s <= kEventsPerDay; ++s) {
    ASSERT_LT(p->slot(7, s - 1).timeKey(), p->slot(7, s).timeKey());
  }
  EXPECT_EQ(p->slot(7, 120).timeKey(), 119 * 11);
}

}  // namespace
}  // namespace zmr
