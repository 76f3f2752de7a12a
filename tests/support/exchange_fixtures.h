#pragma once
// Weeks and CSV texts for the exchange tests.
#include <gtest/gtest.h>

#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/schedule_csv.h"
#include "support/project_fixtures.h"

namespace zmr::testing {

inline void AddSwitch(ProjectSetup& project, int day, int slot, int hour, int minute, EventKind kind, int pulse_byte,
                      const QString& title = {}) {
  AddPulse(project, day, slot, hour, minute, pulse_byte, title);
  project.slot(day, slot).kind = static_cast<std::uint8_t>(kind);
}

// `count` Pulse events from 06:00 on, one a minute, in slots 1..count.
inline void FillDay(ProjectSetup& project, int day, int count) {
  for (int i = 0; i < count; ++i) {
    AddPulse(project, day, i + 1, 6 + i / 60, i % 60, 1 + i % 59, QStringLiteral("Bell %1, day %2").arg(i).arg(day));
  }
}

// A week of 840 events with every kind and awkward titles.
inline void FillWeek(ProjectSetup& project) {
  for (int day = 1; day <= kDays; ++day) {
    FillDay(project, day, kEventsPerDay);
  }
  AddSwitch(project, 2, 1, 6, 0, EventKind::On, 0, QStringLiteral("Lights \"on\""));
  AddSwitch(project, 2, 2, 6, 1, EventKind::Off, 7, QString::fromUtf8("Pause;\nGr\u00fc\u00dfe"));
}

inline CsvImport Parse(std::string_view text, const QString& name = QStringLiteral("week.csv")) {
  return ParseScheduleCsv({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, name);
}

inline std::string Joined(const std::vector<QString>& lines) {
  return QStringList(lines.begin(), lines.end()).join('\n').toStdString();
}

// Slots 1..120 of every day hold the same events: time, kind, pulse byte, title.
inline void ExpectSameWeek(const ProjectSetup& a, const ProjectSetup& b) {
  for (int day = 1; day <= kDays; ++day) {
    for (int slot = 1; slot <= kEventsPerDay; ++slot) {
      const ScheduleEvent& x = a.slot(day, slot);
      const ScheduleEvent& y = b.slot(day, slot);
      SCOPED_TRACE(::testing::Message() << "day " << day << " slot " << slot);
      EXPECT_EQ(x.hour, y.hour);
      EXPECT_EQ(x.minute, y.minute);
      EXPECT_EQ(x.kind, y.kind);
      EXPECT_EQ(x.pulse_seconds, y.pulse_seconds);
      EXPECT_EQ(x.title.bytes(), y.title.bytes());
    }
  }
}

}  // namespace zmr::testing
