#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/editor_texts.h"
#include "exchange/exchange_texts.h"
#include "exchange/schedule_csv.h"
#include "support/exchange_fixtures.h"

namespace zmr::testing {
namespace {

TEST(ScheduleCsv, ExportWritesTheHeaderAndEachDaysEventsInSlotOrder) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  AddPulse(*project, 1, 1, 7, 5, 3, "Assembly");
  AddPulse(*project, 1, 2, 6, 0, 10, QString::fromUtf8("Caf\u00e9, \"big\" bell"));  // slot order, not time order
  AddSwitch(*project, 7, 1, 23, 59, EventKind::Off, 0, "Night\nquiet");
  AddSwitch(*project, 3, 5, 0, 0, EventKind::On, 200);  // a gap before it is left out
  EXPECT_EQ(ScheduleCsv(*project),
            "day,time,pulse,kind,title\n"
            "Mon,07:05,3,Pulse,Assembly\n"
            "Mon,06:00,10,Pulse,\"Caf\xC3\xA9, \"\"big\"\" bell\"\n"
            "Wed,00:00,200,On,\n"
            "Sun,23:59,0,Off,\"Night\nquiet\"\n");
}

TEST(ScheduleCsv, RoundTripGivesTheSameWeekSlotForSlot) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  // A full Monday, every kind, titles with separators, quotes, line breaks, blanks at the
  // ends, letters outside ASCII and every Windows-1252 byte a title can hold.
  FillDay(*project, 1, kEventsPerDay);
  AddPulse(*project, 2, 1, 6, 30, 1, QString::fromUtf8("Fr\u00fchst\u00fcck; \u20ac 5"));
  AddSwitch(*project, 2, 2, 7, 0, EventKind::On, 0, "Lights \"on\"");
  AddSwitch(*project, 2, 3, 7, 45, EventKind::Off, 255, "line1\r\nline2");
  AddPulse(*project, 4, 1, 12, 0, 59, "  padded  ");
  std::string every_byte;
  for (int b = 1; b <= 100; ++b) every_byte += static_cast<char>(b + 155);  // 0x9C..0xFF
  project->slot(5, 1) = project->slot(4, 1);
  project->slot(5, 1).title.assignBytes(every_byte);
  project->slot(6, 1) = project->slot(4, 1);
  std::string controls("\x81\x8D\x8F\x90\x9D,\x01\t");
  controls.insert(2, 1, '\0');
  project->slot(6, 1).title.assignBytes(controls);

  const CsvImport read = Parse(ScheduleCsv(*project));
  ASSERT_TRUE(read.week) << Joined(read.errors);
  EXPECT_TRUE(read.errors.empty());
  EXPECT_EQ(read.week->events, 120 + 3 + 1 + 1 + 1);
  auto imported = std::make_unique<ProjectSetup>();
  ResetProject(*imported);
  ReplaceWeek(*imported, *read.week);
  ExpectSameWeek(*project, *imported);
}

TEST(ScheduleCsv, ImportSortsEachDayAndKeepsSlotsBeyond120AndTheSummary) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  FillDay(*project, 3, kEventsPerDay);
  project->slot(3, 121).hour = 0x42;
  project->slot(7, 128).title.assignBytes("spare");
  project->summary.title.setText("Main Hall");
  const CsvImport read = Parse(
      "Day;Time;Pulse;Kind;Title\r\n"
      "tue;14:00;5;PULSE;late\r\n"
      "2;7:05;9;;early\r\n"
      "\r\n"
      ";;;;\r\n"
      "TUE;9:30;0;on;\r\n");
  ASSERT_TRUE(read.week) << Joined(read.errors);
  ReplaceWeek(*project, *read.week);
  EXPECT_EQ(EventText(project->slot(2, 1)), "07:05, 9");
  EXPECT_EQ(EventText(project->slot(2, 2)), "09:30, On");
  EXPECT_EQ(EventText(project->slot(2, 3)), "14:00, 5");
  EXPECT_EQ(project->slot(2, 3).title.text(), "late");
  EXPECT_TRUE(project->slot(2, 4).isEmptyKind());
  EXPECT_EQ(project->slot(2, 4).hour, kEmptyTime);
  EXPECT_TRUE(project->slot(3, 1).isEmptyKind());  // the whole week is replaced
  EXPECT_EQ(project->slot(3, 121).hour, 0x42);
  EXPECT_EQ(project->slot(7, 128).title.text(), "spare");
  EXPECT_EQ(project->summary.title.text(), "Main Hall");
  EXPECT_TRUE(HasProjectTags(*project));
}

TEST(ScheduleCsv, AcceptedSpellings) {
  const struct {
    std::string text;
    int day, hour, minute, pulse;
    EventKind kind;
    QString title;
  } cases[] = {
      {"\xEF\xBB\xBF" "day,time,pulse,kind,title\nMon,07:30,5,Pulse,x\n", 1, 7, 30, 5, EventKind::Pulse, "x"},
      {"DAY , Time,PULSE,kind , title\r\n7,0:00,59,pulse,\"a\"\"b\"\r\n", 7, 0, 0, 59, EventKind::Pulse, "a\"b"},
      {"day;time;pulse;kind;title\nsAt;23:59;01;;\"x;y\"", 6, 23, 59, 1, EventKind::Pulse, "x;y"},
      {"day,time,pulse,kind,title\rFri,9:05,,OFF,  spaced  \r", 5, 9, 5, 0, EventKind::Off, "spaced"},
      {"day,time,pulse,kind,title\nthu, 12:00 , 17 ,ON, \"  kept  \" \n", 4, 12, 0, 17, EventKind::On, "  kept  "},
      {"day,time,pulse,kind,title\n3,06:07,2,Pulse," + std::string(150, 'a') + "\n", 3, 6, 7, 2, EventKind::Pulse,
       QString(100, 'a')},
      {"day,time,pulse,kind,title\n1,06:07,2,Pulse,\xE6\x97\xA5\xE2\x82\xAC\xF0\x9F\x94\x94\n", 1, 6, 7, 2,
       EventKind::Pulse, QString::fromUtf8("?\u20ac?")},  // outside Windows-1252: one '?' each
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const CsvImport read = Parse(c.text);
    ASSERT_TRUE(read.week) << Joined(read.errors);
    ASSERT_EQ(read.week->events, 1);
    const ScheduleEvent& e = read.week->days[static_cast<std::size_t>(c.day - 1)][0];
    EXPECT_EQ(e.hour, c.hour);
    EXPECT_EQ(e.minute, c.minute);
    EXPECT_EQ(e.pulse_seconds, c.pulse);
    EXPECT_EQ(e.kind, static_cast<std::uint8_t>(c.kind));
    EXPECT_EQ(e.title.text(), c.title);
  }
}

TEST(ScheduleCsv, EveryBadLineIsRefusedWithItsLineNumberAndTheEditorsWords) {
  const std::string text =
      "day,time,pulse,kind,title\n"      // 1
      "Mon,07:30,5,Pulse,ok\n"           // 2
      "Mon,07:30,9,Pulse,again\n"        // 3 same time on the same day
      "Tue,07:30,9,Pulse,other day\n"    // 4 fine
      "Mo,08:00,5,Pulse,\n"              // 5
      "8,08:00,5,Pulse,\n"               // 6
      "Mon,24:00,5,Pulse,\n"             // 7
      "Mon,8:60,5,Pulse,\n"              // 8
      "Mon,8.30,5,Pulse,\n"              // 9
      "Mon,,5,Pulse,\n"                  // 10
      "Mon,08:00,0,Pulse,\n"             // 11
      "Mon,08:00,60,,\n"                 // 12
      "Mon,08:00,,Pulse,\n"              // 13
      "Mon,08:00,abc,Pulse,\n"           // 14
      "Mon,08:00,256,On,\n"              // 15
      "Mon,08:00,-1,Off,\n"              // 16
      "Mon,08:00,5,Bell,\n"              // 17
      "Mon,08:00,5,Pulse\n"              // 18
      "Mon,08:00,5,Pulse,a,b\n"          // 19
      "Mon,08:00,5,Pulse,\"x\"y\n"       // 20
      "Mon,08:00,5,Pulse,x\"y\n"         // 21
      "Mon,08:00,5,Pulse,\xC3(\n"        // 22
      "Mon,08:00,5,Pulse,\"two\nlines\"z\n"  // 23, and 24 inside the quotes
      "Mon,8:00,5,Pulse,fine\n"          // 25
      "Mon,08:01,5,Pulse,\"never closed\n";  // 26
  const CsvImport read = Parse(text, "week.csv");
  EXPECT_FALSE(read.week);
  const std::vector<QString> expected = {
      "week.csv line 3: " + kTimeExistsText,
      "week.csv line 5: " + kCsvDayText,
      "week.csv line 6: " + kCsvDayText,
      "week.csv line 7: " + kInvalidTimeText,
      "week.csv line 8: " + kInvalidTimeText,
      "week.csv line 9: " + kInvalidTimeText,
      "week.csv line 10: " + kInvalidTimeText,
      "week.csv line 11: " + kInsertPulseText,
      "week.csv line 12: " + kInsertPulseText,
      "week.csv line 13: " + kInsertPulseText,
      "week.csv line 14: " + kInsertPulseText,
      "week.csv line 15: " + kCsvSwitchPulseText,
      "week.csv line 16: " + kCsvSwitchPulseText,
      "week.csv line 17: " + kCsvKindText,
      "week.csv line 18: " + kCsvColumnsText.arg(4),
      "week.csv line 19: " + kCsvColumnsText.arg(6),
      "week.csv line 20: " + kCsvTextAfterQuoteText,
      "week.csv line 21: " + kCsvStrayQuoteText,
      "week.csv line 22: " + kCsvNotUtf8Text,
      "week.csv line 23: " + kCsvTextAfterQuoteText,
      "week.csv line 26: " + kCsvUnclosedQuoteText,
  };
  EXPECT_EQ(read.errors, expected);
}

TEST(ScheduleCsv, The121stEventOfADayIsRefusedAndTheListStopsAtItsLimit) {
  std::string text = "day,time,pulse,kind,title\n";
  for (int i = 0; i < kEventsPerDay + kMaxListedFaults + 7; ++i) {
    text += "Fri," + std::to_string(i / 60) + ":" + (i % 60 < 10 ? "0" : "") + std::to_string(i % 60) + ",5,,\n";
  }
  const CsvImport read = Parse(text, "full.csv");
  EXPECT_FALSE(read.week);
  ASSERT_EQ(read.errors.size(), static_cast<std::size_t>(kMaxListedFaults + 1));
  EXPECT_EQ(read.errors.front(), "full.csv line 122: " + kDayFullText);
  EXPECT_EQ(read.errors[kMaxListedFaults - 1], QStringLiteral("full.csv line %1: ").arg(121 + kMaxListedFaults) + kDayFullText);
  EXPECT_EQ(read.errors.back(), "full.csv: " + kCsvMoreFaultsText.arg(7));
}

TEST(ScheduleCsv, ADamagedProjectExportsAsStoredAndItsImportPointsAtTheDamage) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  AddPulse(*project, 1, 1, 7, 0, 5);
  AddPulse(*project, 1, 2, 7, 0, 6);             // two events at one time
  AddPulse(*project, 1, 3, 9, 0, 0);             // a pulse the editor never writes
  AddSwitch(*project, 2, 1, 30, 0, EventKind::On, 0);  // an hour beyond the day
  AddSwitch(*project, 2, 2, 8, 0, static_cast<EventKind>(7), 3);  // a kind without a name
  const std::string text = ScheduleCsv(*project);
  EXPECT_EQ(text,
            "day,time,pulse,kind,title\nMon,07:00,5,Pulse,\nMon,07:00,6,Pulse,\nMon,09:00,0,Pulse,\n"
            "Tue,30:00,0,On,\nTue,08:00,3,7,\n");
  EXPECT_EQ(Parse(text).errors, (std::vector<QString>{
                                    "week.csv line 3: " + kTimeExistsText,
                                    "week.csv line 4: " + kInsertPulseText,
                                    "week.csv line 5: " + kInvalidTimeText,
                                    "week.csv line 6: " + kCsvKindText,
                                }));
}

TEST(ScheduleCsv, ALineOfVeryManyFieldsIsOneColumnFault) {
  std::string text = "day,time,pulse,kind,title\n" + std::string(100000, ',') + "x\n" + std::string(40, ',') + "\n";
  EXPECT_EQ(Parse(text).errors, (std::vector<QString>{"week.csv line 2: " + kCsvColumnsText.arg(100001),
                                                      "week.csv line 3: " + kCsvColumnsText.arg(41)}));
}

TEST(ScheduleCsv, FilesThatAreNotAScheduleAtAll) {
  const std::pair<std::string, QString> cases[] = {
      {"", kCsvHeaderText},
      {"\xEF\xBB\xBF", kCsvHeaderText},
      {"Mon,07:30,5,Pulse,x\n", kCsvHeaderText},
      {"day,time,pulse,kind\n", kCsvHeaderText},
      {"day,time,kind,pulse,title\n", kCsvHeaderText},
      {"day\ttime\tpulse\tkind\ttitle\n", kCsvHeaderText},
      {std::string("\xFF\xFE" "d\0a\0y\0", 8), kCsvUtf16Text},
      {std::string(kMaxCsvBytes + 1, '\n'), kCsvTooLargeText.arg(kMaxCsvBytes / (1024 * 1024))},
  };
  for (const auto& [text, message] : cases) {
    const CsvImport read = Parse(text, "x.csv");
    EXPECT_FALSE(read.week);
    EXPECT_EQ(read.errors, std::vector<QString>{"x.csv line 1: " + message}) << text.substr(0, 40);
  }
  // A header alone is an empty week, which an import may well want.
  const CsvImport empty = Parse("day,time,pulse,kind,title");
  ASSERT_TRUE(empty.week);
  EXPECT_EQ(empty.week->events, 0);
}

}  // namespace
}  // namespace zmr::testing
