// Holiday calendars: which days each kind of event takes away.
#include <gtest/gtest.h>

#include <ctime>

#include "plan/calendar_reader.h"

namespace zmr {
namespace {

QByteArray Calendar(const std::string& events) {
  return QByteArray::fromStdString("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//school//terms//EN\r\n" + events +
                                   "END:VCALENDAR\r\n");
}

std::string Event(const std::string& lines) {
  return "BEGIN:VEVENT\r\nUID:" + std::to_string(std::hash<std::string>{}(lines)) +
         "@school\r\nSUMMARY:Off\r\n" + lines + "END:VEVENT\r\n";
}

// The days as "first..last" texts, in calendar order.
std::vector<std::string> Days(const CalendarReading& r) {
  std::vector<std::string> days;
  for (const HolidaySpan& s : r.spans)
    days.push_back((s.first.toString(Qt::ISODate) + ".." + s.last.toString(Qt::ISODate)).toStdString());
  return days;
}

TEST(CalendarReader, EachKindOfEventTakesTheDaysItTouches) {
  const QDate horizon(2028, 12, 31);
  struct Case {
    const char* what;
    std::string events;
    std::vector<std::string> days;
  } cases[] = {
      {"all-day, DTEND exclusive", Event("DTSTART;VALUE=DATE:20261221\r\nDTEND;VALUE=DATE:20261222\r\n"),
       {"2026-12-21..2026-12-21"}},
      {"all-day without DTEND", Event("DTSTART;VALUE=DATE:20261221\r\n"), {"2026-12-21..2026-12-21"}},
      {"multi-day", Event("DTSTART;VALUE=DATE:20261221\r\nDTEND;VALUE=DATE:20270104\r\n"),
       {"2026-12-21..2027-01-03"}},
      {"all-day by DURATION", Event("DTSTART;VALUE=DATE:20270301\r\nDURATION:P3D\r\n"), {"2027-03-01..2027-03-03"}},
      {"timed within a day", Event("DTSTART:20270510T130000\r\nDTEND:20270510T150000\r\n"),
       {"2027-05-10..2027-05-10"}},
      {"timed over midnight", Event("DTSTART:20270510T220000\r\nDTEND:20270511T010000\r\n"),
       {"2027-05-10..2027-05-11"}},
      {"timed up to midnight leaves the next day",
       Event("DTSTART:20270510T080000\r\nDTEND:20270511T000000\r\n"), {"2027-05-10..2027-05-10"}},
      {"UTC noon", Event("DTSTART:20270510T120000Z\r\nDTEND:20270510T123000Z\r\n"), {"2027-05-10..2027-05-10"}},
      {"leap day", Event("DTSTART;VALUE=DATE:20280229\r\nDTEND;VALUE=DATE:20280301\r\n"),
       {"2028-02-29..2028-02-29"}},
      {"weekly, counted",
       Event("DTSTART;VALUE=DATE:20270104\r\nDTEND;VALUE=DATE:20270105\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\n"),
       {"2027-01-04..2027-01-04", "2027-01-11..2027-01-11", "2027-01-18..2027-01-18"}},
      {"yearly, up to the horizon only",
       Event("DTSTART;VALUE=DATE:20261225\r\nDTEND;VALUE=DATE:20261227\r\nRRULE:FREQ=YEARLY\r\n"),
       {"2026-12-25..2026-12-26", "2027-12-25..2027-12-26", "2028-12-25..2028-12-26"}},
      {"an excluded occurrence",
       Event("DTSTART;VALUE=DATE:20270104\r\nRRULE:FREQ=DAILY;COUNT=3\r\nEXDATE;VALUE=DATE:20270105\r\n"),
       {"2027-01-04..2027-01-04", "2027-01-06..2027-01-06"}},
      {"an added date", Event("DTSTART;VALUE=DATE:20270104\r\nRDATE;VALUE=DATE:20270301\r\n"),
       {"2027-01-04..2027-01-04", "2027-03-01..2027-03-01"}},
      {"a cancelled event", Event("DTSTART;VALUE=DATE:20270104\r\nSTATUS:CANCELLED\r\n"), {}},
      {"a moved instance",
       "BEGIN:VEVENT\r\nUID:m@s\r\nDTSTART;VALUE=DATE:20270104\r\nRRULE:FREQ=WEEKLY;COUNT=2\r\nEND:VEVENT\r\n"
       "BEGIN:VEVENT\r\nUID:m@s\r\nRECURRENCE-ID;VALUE=DATE:20270111\r\nDTSTART;VALUE=DATE:20270113\r\n"
       "END:VEVENT\r\n",
       {"2027-01-04..2027-01-04", "2027-01-13..2027-01-13"}},
  };
  for (const Case& c : cases) {
    const CalendarReading r = ReadCalendar(Calendar(c.events), "terms.ics", horizon);
    EXPECT_TRUE(r.fault.isEmpty()) << c.what << ": " << r.fault.toStdString();
    EXPECT_EQ(Days(r), c.days) << c.what;
  }
}

// An event in another time zone falls on the days the PC's wall clock sees it on.
TEST(CalendarReader, ZonedEventsAreTakenInThePcsLocalTime) {
  const QByteArray old_tz = qgetenv("TZ");
  qputenv("TZ", "UTC");
  tzset();
  const CalendarReading r = ReadCalendar(
      Calendar(Event("DTSTART;TZID=Asia/Tokyo:20270510T080000\r\nDTEND;TZID=Asia/Tokyo:20270510T090000\r\n") +
               Event("DTSTART:20270512T233000Z\r\nDTEND:20270513T003000Z\r\n")),
      "terms.ics", QDate(2028, 1, 1));
  EXPECT_TRUE(r.fault.isEmpty()) << r.fault.toStdString();
  EXPECT_EQ(Days(r), (std::vector<std::string>{"2027-05-09..2027-05-09", "2027-05-12..2027-05-13"}));
  if (old_tz.isNull()) {
    qunsetenv("TZ");
  } else {
    qputenv("TZ", old_tz);
  }
  tzset();
}

TEST(CalendarReader, MalformedCalendarsAreRefused) {
  const QDate horizon(2028, 12, 31);
  struct Case {
    const char* what;
    QByteArray bytes;
  } cases[] = {
      {"empty", ""},
      {"not a calendar", "day,time\nMon,08:00\n"},
      {"an event alone", "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20270104\r\nEND:VEVENT\r\n"},
      {"a bad date", Calendar(Event("DTSTART;VALUE=DATE:2027XX04\r\n"))},
      {"no start", Calendar(Event("DTEND;VALUE=DATE:20270105\r\n"))},
      {"a rule too dense", Calendar(Event("DTSTART:19700101T000000\r\nRRULE:FREQ=MINUTELY\r\n"))},
  };
  for (const Case& c : cases) {
    const CalendarReading r = ReadCalendar(c.bytes, "terms.ics", horizon);
    EXPECT_FALSE(r.fault.isEmpty()) << c.what;
    EXPECT_TRUE(r.spans.empty()) << c.what;
  }
}

}  // namespace
}  // namespace zmr
