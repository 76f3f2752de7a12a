// Reading holiday calendars whose rules cost the most: one event each, read as the plan
// reader reads it (recurrences up to two years after 2026-09-01), and a school's export
// of ordinary size for comparison.
// Run: build/default/bin/calendar_bench [name-part]   (only the cases whose name holds it)
#include <QByteArray>
#include <QDate>
#include <chrono>
#include <cstdio>
#include <string>

#include "bench_timing.h"
#include "plan/calendar_reader.h"
#include "plan/rule_expansion.h"

namespace {

std::string Event(int n, const std::string& start, const std::string& rule) {
  return "BEGIN:VEVENT\r\nUID:" + std::to_string(n) + "@bench\r\nSUMMARY:Rule " + std::to_string(n) + "\r\n" +
         start + "\r\n" + (rule.empty() ? "" : "RRULE:" + rule + "\r\n") + "END:VEVENT\r\n";
}

QByteArray Calendar(const std::string& events) {
  return QByteArray::fromStdString("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n" + events +
                                   "END:VCALENDAR\r\n");
}

QByteArray OneEvent(const std::string& start, const std::string& rule) {
  return Calendar(Event(0, start, rule));
}

// Many costly rules in one calendar: the calendar's own bound ends the reading.
QByteArray ManyRules(int count) {
  std::string events;
  for (int i = 0; i < count; ++i)
    events += Event(i, "DTSTART;TZID=Europe/Berlin:20260101T080000", "FREQ=SECONDLY");
  return Calendar(events);
}

// A year of term dates as a school exports them: 60 all-day events, a weekly club with
// exceptions, and a timed event in a zone.
QByteArray SchoolExport() {
  std::string events;
  QDate day(2026, 8, 24);
  for (int i = 0; i < 60; ++i, day = day.addDays(6)) {
    const std::string d = day.toString(QStringLiteral("yyyyMMdd")).toStdString();
    events += Event(i, "DTSTART;VALUE=DATE:" + d, "");
  }
  events +=
      "BEGIN:VEVENT\r\nUID:club@bench\r\nSUMMARY:Club\r\nDTSTART;TZID=Europe/Berlin:20260902T150000\r\n"
      "DTEND;TZID=Europe/Berlin:20260902T160000\r\nRRULE:FREQ=WEEKLY;BYDAY=WE\r\n"
      "EXDATE;TZID=Europe/Berlin:20261223T150000,20261230T150000\r\nEND:VEVENT\r\n";
  return Calendar(events);
}

// The worst the reader takes: one-day events up to its size limit, then costly rules
// that use up the calendar's steps (so every event is read and every step taken).
QByteArray Largest() {
  std::string rules;
  for (int i = 0; i <= zmr::kMaxCalendarSteps / zmr::kMaxRuleSteps; ++i)
    rules += Event(-1 - i, "DTSTART:20260101T080000", "FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=30");
  const std::size_t limit = zmr::kMaxCalendarBytes - rules.size() - 64;
  std::string events;
  for (int i = 0; events.size() < limit - 200; ++i) events += Event(i, "DTSTART;VALUE=DATE:20261221", "");
  return Calendar(events + rules);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string only = argc > 1 ? argv[1] : "";
  const QDate horizon = QDate(2026, 9, 1).addYears(zmr::kRecurrenceYearsAhead);
  const struct {
    const char* name;
    QByteArray calendar;
  } cases[] = {
      {"school export", SchoolExport()},
      {"DAILY;BYMONTH=2;BYMONTHDAY=30",
       OneEvent("DTSTART;VALUE=DATE:20260101", "FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30")},
      {"HOURLY", OneEvent("DTSTART;TZID=Europe/Berlin:20260101T080000", "FREQ=HOURLY")},
      {"HOURLY from 1970", OneEvent("DTSTART;TZID=Europe/Berlin:19700101T080000", "FREQ=HOURLY")},
      {"SECONDLY", OneEvent("DTSTART;TZID=Europe/Berlin:20260101T080000", "FREQ=SECONDLY")},
      {"MINUTELY;BYMONTH=2;BYMONTHDAY=30",
       OneEvent("DTSTART:20260101T080000", "FREQ=MINUTELY;BYMONTH=2;BYMONTHDAY=30")},
      {"SECONDLY;BYMONTH=2;BYMONTHDAY=30",
       OneEvent("DTSTART:20260101T080000", "FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=30")},
      {"20 x SECONDLY", ManyRules(20)},
      {"largest: one-day events, then costly rules", Largest()},
  };
  std::printf("reading one calendar (recurrences up to %s):\n",
              horizon.toString(Qt::ISODate).toUtf8().constData());
  for (const auto& c : cases) {
    if (!only.empty() && std::string(c.name).find(only) == std::string::npos) continue;
    const double cpu0 = zmr::bench::CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const zmr::CalendarReading read = zmr::ReadCalendar(c.calendar, QStringLiteral("bench.ics"), horizon);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const QString said = read.ok() ? read.warnings.value(0) : read.faults.front().text;
    std::printf("  %-40s %7.3f s wall %7.3f s CPU %7zu spans  %s\n", c.name, wall,
                zmr::bench::CpuSeconds() - cpu0, read.spans.size(), said.left(60).toUtf8().constData());
    std::fflush(stdout);
  }
  return 0;
}
