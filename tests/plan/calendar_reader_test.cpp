// Holiday calendars: which days each kind of event takes away, in which zone, what is
// passed over, what refuses a calendar, and how far a costly rule is followed.
#include "plan/calendar_reader.h"

#include <gtest/gtest.h>

#include <ctime>

#include "plan/calendar_moments.h"
#include "support/clock_change_cases.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const QDate kHorizon(2028, 12, 31);

QByteArray Calendar(const std::string& events, const std::string& head = "") {
  return QByteArray::fromStdString("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//school//terms//EN\r\n" +
                                   head + events + "END:VCALENDAR\r\n");
}

std::string Event(const std::string& lines, const std::string& summary = "Off") {
  return "BEGIN:VEVENT\r\nUID:" + std::to_string(std::hash<std::string>{}(lines)) +
         "@school\r\nSUMMARY:" + summary + "\r\n" + lines + "END:VEVENT\r\n";
}

// The days as "first..last" texts, in calendar order.
std::vector<std::string> Days(const CalendarReading& r) {
  std::vector<std::string> days;
  for (const HolidaySpan& s : r.spans)
    days.push_back((s.first.toString(Qt::ISODate) + ".." + s.last.toString(Qt::ISODate)).toStdString());
  return days;
}

// Days, warnings and faults ("line 7: ...") in one text, for a child process to hand back.
std::string Said(const CalendarReading& r) {
  std::string said;
  for (const std::string& d : Days(r)) said += d + '\n';
  for (const QString& w : r.warnings) said += "warning: " + w.toStdString() + '\n';
  for (const CalendarFault& f : r.faults)
    said += "fault: line " + std::to_string(f.line) + ": " + f.text.toStdString() + '\n';
  return said;
}

TEST(CalendarReader, EachKindOfEventTakesTheDaysItTouches) {
  struct Case {
    const char* what;
    std::string events;
    std::vector<std::string> days;
  } cases[] = {
      {"all-day, DTEND exclusive",
       Event("DTSTART;VALUE=DATE:20261221\r\nDTEND;VALUE=DATE:20261222\r\n"),
       {"2026-12-21..2026-12-21"}},
      {"all-day without DTEND", Event("DTSTART;VALUE=DATE:20261221\r\n"), {"2026-12-21..2026-12-21"}},
      {"multi-day",
       Event("DTSTART;VALUE=DATE:20261221\r\nDTEND;VALUE=DATE:20270104\r\n"),
       {"2026-12-21..2027-01-03"}},
      {"all-day by DURATION",
       Event("DTSTART;VALUE=DATE:20270301\r\nDURATION:P3D\r\n"),
       {"2027-03-01..2027-03-03"}},
      {"timed within a day",
       Event("DTSTART:20270510T130000\r\nDTEND:20270510T150000\r\n"),
       {"2027-05-10..2027-05-10"}},
      {"timed over midnight",
       Event("DTSTART:20270510T220000\r\nDTEND:20270511T010000\r\n"),
       {"2027-05-10..2027-05-11"}},
      {"timed up to midnight leaves the next day",
       Event("DTSTART:20270510T080000\r\nDTEND:20270511T000000\r\n"),
       {"2027-05-10..2027-05-10"}},
      {"timed, ended by a date",
       Event("DTSTART:20270510T080000\r\nDTEND;VALUE=DATE:20270512\r\n"),
       {"2027-05-10..2027-05-11"}},
      {"UTC noon",
       Event("DTSTART:20270510T120000Z\r\nDTEND:20270510T123000Z\r\n"),
       {"2027-05-10..2027-05-10"}},
      {"leap day",
       Event("DTSTART;VALUE=DATE:20280229\r\nDTEND;VALUE=DATE:20280301\r\n"),
       {"2028-02-29..2028-02-29"}},
      {"a length beyond any plan ends at the horizon",
       Event("DTSTART;VALUE=DATE:20280101\r\nDURATION:P99999W\r\n"),
       {"2028-01-01..2028-12-31"}},
      {"weekly, counted",
       Event("DTSTART;VALUE=DATE:20270104\r\nDTEND;VALUE=DATE:20270105\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\n"),
       {"2027-01-04..2027-01-04", "2027-01-11..2027-01-11", "2027-01-18..2027-01-18"}},
      {"yearly, up to the horizon only",
       Event("DTSTART;VALUE=DATE:20261225\r\nDTEND;VALUE=DATE:20261227\r\nRRULE:FREQ=YEARLY\r\n"),
       {"2026-12-25..2026-12-26", "2027-12-25..2027-12-26", "2028-12-25..2028-12-26"}},
      {"DTSTART off its rule is the first instance",
       Event("DTSTART;VALUE=DATE:20270910\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=31;COUNT=2\r\n"),
       {"2027-09-10..2027-09-10", "2027-10-31..2027-10-31", "2027-12-31..2027-12-31"}},
      {"an excluded occurrence",
       Event("DTSTART;VALUE=DATE:20270104\r\nRRULE:FREQ=DAILY;COUNT=3\r\nEXDATE;VALUE=DATE:20270105\r\n"),
       {"2027-01-04..2027-01-04", "2027-01-06..2027-01-06"}},
      {"an added date",
       Event("DTSTART;VALUE=DATE:20270104\r\nRDATE;VALUE=DATE:20270301\r\n"),
       {"2027-01-04..2027-01-04", "2027-03-01..2027-03-01"}},
      {"an added period keeps its own length",
       Event("DTSTART:20270104T080000\r\nDURATION:PT1H\r\nRDATE;VALUE=PERIOD:20270301T080000/P2D\r\n"),
       {"2027-01-04..2027-01-04", "2027-03-01..2027-03-03"}},
      {"a cancelled event", Event("DTSTART;VALUE=DATE:20270104\r\nSTATUS:CANCELLED\r\n"), {}},
      {"a moved instance",
       "BEGIN:VEVENT\r\nUID:m@s\r\nDTSTART;VALUE=DATE:20270104\r\nRRULE:FREQ=WEEKLY;COUNT=2\r\nEND:VEVENT\r\n"
       "BEGIN:VEVENT\r\nUID:m@s\r\nRECURRENCE-ID;VALUE=DATE:20270111\r\nDTSTART;VALUE=DATE:20270113\r\n"
       "END:VEVENT\r\n",
       {"2027-01-04..2027-01-04", "2027-01-13..2027-01-13"}},
  };
  for (const Case& c : cases) {
    const CalendarReading r = ReadCalendar(Calendar(c.events), "terms.ics", kHorizon);
    EXPECT_TRUE(r.ok()) << c.what << ": " << Said(r);
    EXPECT_EQ(Days(r), c.days) << c.what;
  }
}

// The days as the PC's zone sees them: run in a child process under TZ. (The golden
// calendars, compared with the reference reader in three zones, carry the other shapes.)
TEST(CalendarReader, ZonedTimesFallOnThePcsDays) {
  const std::string moved =
      "BEGIN:VEVENT\r\nUID:g@s\r\nSUMMARY:Gala\r\nDTSTART;TZID=Europe/Berlin:20260907T003000\r\n"
      "RRULE:FREQ=WEEKLY;COUNT=3\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:g@s\r\nSUMMARY:Gala\r\n"
      "RECURRENCE-ID;TZID=Europe/Berlin:20260914T003000\r\nDTSTART;TZID=Europe/"
      "Berlin:20260916T120000\r\nEND:VEVENT\r\n";
  struct Case {
    const char* zone;
    const char* what;
    std::string calendar;
    std::string said;
  } cases[] = {
      {"UTC", "a TZID and UTC",
       Calendar(
           Event("DTSTART;TZID=Asia/Tokyo:20270510T080000\r\nDTEND;TZID=Asia/Tokyo:20270510T090000\r\n") +
           Event("DTSTART:20270512T233000Z\r\nDTEND:20270513T003000Z\r\n"))
           .toStdString(),
       "2027-05-09..2027-05-09\n2027-05-12..2027-05-13\n"},
      {"Etc/GMT+6", "a time that occurs twice is the first (05:30 UTC)",
       Calendar(Event("DTSTART;TZID=America/New_York:20261101T013000\r\n")).toStdString(),
       "2026-10-31..2026-10-31\n"},
      {"Etc/GMT+7", "a skipped time takes the offset from before (07:30 UTC)",
       Calendar(Event("DTSTART;TZID=America/New_York:20260308T023000\r\n")).toStdString(),
       "2026-03-08..2026-03-08\n"},
      {"America/New_York", "RECURRENCE-ID with TZID frees the moved instance's day",
       Calendar(moved).toStdString(),
       "2026-09-06..2026-09-06\n2026-09-20..2026-09-20\n2026-09-16..2026-09-16\n"},
      {"America/New_York", "RDATE with TZID",
       Calendar(
           Event(
               "DTSTART;TZID=Europe/Berlin:20261001T003000\r\nRDATE;TZID=Europe/Berlin:20261005T003000\r\n"))
           .toStdString(),
       "2026-09-30..2026-09-30\n2026-10-04..2026-10-04\n"},
      {"America/New_York", "a TZID known nowhere is taken as it stands",
       Calendar(Event("DTSTART;TZID=Mars/Olympus:20261010T003000\r\n")).toStdString(),
       "2026-10-10..2026-10-10\nwarning: line 7: TZID \"Mars/Olympus\" names no time zone known here; its "
       "times are "
       "taken as they stand\n"},
  };
  for (const Case& c : cases) {
    const std::string said = InZone(c.zone, [&] {
      return Said(ReadCalendar(QByteArray::fromStdString(c.calendar), "terms.ics", kHorizon));
    });
    EXPECT_EQ(said, c.said) << c.zone << ": " << c.what;
  }
}

// The PC zone's offset is kept between transitions: it must agree with Qt's local time
// on both sides of every change, hour by hour.
TEST(CalendarReader, LocalDaysAgreeWithTheLocalClock) {
  for (const char* zone : {"Europe/Berlin", "America/Santiago", "Asia/Beirut"}) {
    const std::string disagreements = InZone(zone, [] {
      LocalDays local;
      std::string out;
      for (qint64 s = QDateTime(QDate(2026, 3, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
           s < QDateTime(QDate(2027, 12, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch(); s += 1800) {
        if (local.dayOf(s) != QDateTime::fromSecsSinceEpoch(s).date()) out += std::to_string(s) + ' ';
      }
      return out;
    });
    EXPECT_EQ(disagreements, "") << zone;
  }
}

// What refuses and what is passed over; the faults of day lines are in the golden
// calendar refused/faults-in-days.ics.
TEST(CalendarReader, FaultsThatDecideNoDayAreCountedAndTheOthersRefuse) {
  struct Case {
    const char* what;
    QByteArray bytes;
    std::string said;
  } cases[] = {
      {"empty values and a malformed DTSTAMP, as exports write them",
       Calendar(
           Event("LOCATION:\r\nDESCRIPTION:\r\nCATEGORIES:\r\nDTSTAMP:2026-08-01 08:10\r\nLAST-MODIFIED:\r\n"
                 "DTSTART;VALUE=DATE:20261221\r\n")),
       "2026-12-21..2026-12-21\nwarning: 5 faults in lines that decide no day were ignored\n"},
      {"empty optional day lines are as if not there",
       Calendar(Event("DTSTART;VALUE=DATE:20261221\r\nRRULE:\r\nEXDATE:\r\nRDATE:\r\nDTEND:\r\n")),
       "2026-12-21..2026-12-21\nwarning: 4 faults in lines that decide no day were ignored\n"},
      {"an unknown parameter", Calendar(Event("DTSTART;X-FOO=\"a:b\";VALUE=DATE:20261221\r\n")),
       "2026-12-21..2026-12-21\n"},
      {"an END that closes nothing", Calendar("END:VEVENT\r\n"),
       "fault: line 4: END:VEVENT closes nothing that is open\n"},
      {"a zero byte", Calendar(Event("DTSTART;VALUE=DATE:20261221\r\n")) + QByteArray("\0X", 2),
       "fault: line 10: a zero byte, which no text calendar holds\n"},
      {"not a calendar", "day,time\nMon,08:00\n", "fault: line 0: it holds no VCALENDAR\n"},
      {"an event alone", "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20270104\r\nEND:VEVENT\r\n",
       "fault: line 0: it holds no VCALENDAR\n"},
  };
  for (const Case& c : cases) {
    const CalendarReading r = ReadCalendar(c.bytes, "terms.ics", kHorizon);
    EXPECT_EQ(Said(r), c.said) << c.what;
  }
}

}  // namespace
}  // namespace zmr
