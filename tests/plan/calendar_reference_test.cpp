// The console's holiday days against Debian's python3-recurring-ical-events, day by day
// over two school years, under three PC zones (one whose clocks change at midnight), on
// every golden calendar the console reads whole.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <map>
#include <set>

#include "plan/calendar_reader.h"
#include "support/child_process.h"
#include "support/clock_change_cases.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const QDate kFirst(2026, 8, 1);
const QDate kLast(2028, 7, 31);
const char* const kZones[] = {"Europe/Berlin", "America/New_York", "America/Santiago"};
const QString kData = QStringLiteral(ZMR_SOURCE_DIR "/tests/plan/data");
// dateutil cannot sort RDATE periods among dates: the reference reads no such calendar.
const std::set<std::string> kReferenceCannotRead = {"icalcreator/project-days-periods.ics"};

// The golden calendars read whole: no fault and no rule left out (the reference has no
// bound on its work and would walk a FREQ=SECONDLY rule for hours).
std::vector<std::string> CalendarsReadWhole() {
  std::vector<std::string> names;
  for (QDirIterator it(kData, {QStringLiteral("*.ics")}, QDir::Files, QDirIterator::Subdirectories);
       it.hasNext();) {
    const QString ics = it.next();
    QFile days(ics.left(ics.size() - 4) + ".days");
    EXPECT_TRUE(days.open(QIODevice::ReadOnly)) << ics.toStdString();
    const QByteArray expected = days.readAll();
    if (!expected.contains("fault: ") && !expected.contains(" is left out: "))
      names.push_back(QDir(kData).relativeFilePath(ics).toStdString());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// "zone\tcalendar\tsummary\tday" lines as the reference prints them: by event, so that
// a day one event takes wrongly is not hidden by another event on that day.
std::set<std::string> ReferenceDays(const std::vector<std::string>& names, std::set<std::string>& unread) {
  std::string zones;
  for (const char* z : kZones) zones += (zones.empty() ? "" : ",") + std::string(z);
  std::vector<std::string> args{ZMR_SOURCE_DIR "/tests/plan/reference_days.py", kData.toStdString(),
                                kFirst.toString(Qt::ISODate).toStdString(),
                                kLast.toString(Qt::ISODate).toStdString(), zones};
  args.insert(args.end(), names.begin(), names.end());
  // Debian's python, not one a version manager puts first on PATH.
  ChildProcess reference("/usr/bin/python3", args);
  EXPECT_EQ(reference.wait(120000), 0)
      << "the reference reader failed (is python3-recurring-ical-events installed?)";
  std::set<std::string> days;
  for (const std::string& line : reference.lines()) {
    if (line.ends_with("\tunread")) {
      const std::size_t from = line.find('\t') + 1;
      unread.insert(line.substr(from, line.rfind('\t') - from));
    } else {
      days.insert(line);
    }
  }
  return days;
}

std::set<std::string> ConsoleDays(const std::vector<std::string>& names) {
  std::set<std::string> days;
  for (const char* zone : kZones) {
    const std::string text = InZone(zone, [&] {
      std::string out;
      for (const std::string& name : names) {
        QFile file(kData + '/' + QString::fromStdString(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const CalendarReading read = ReadCalendar(file.readAll(), QString::fromStdString(name), kLast);
        for (const HolidaySpan& s : read.spans) {
          for (QDate d = std::max(s.first, kFirst); d <= std::min(s.last, kLast); d = d.addDays(1))
            out += std::string(zone) + '\t' + name + '\t' + s.summary.toStdString() + '\t' +
                   d.toString(Qt::ISODate).toStdString() + '\n';
        }
      }
      return out;
    });
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) days.insert(line);
  }
  return days;
}

TEST(CalendarReference, TheConsoleTakesTheDaysTheReferenceReaderTakes) {
  const std::vector<std::string> names = CalendarsReadWhole();
  ASSERT_GE(names.size(), 9u);
  std::set<std::string> unread;
  std::set<std::string> reference = ReferenceDays(names, unread);
  EXPECT_EQ(unread, kReferenceCannotRead);
  std::set<std::string> console = ConsoleDays(names);
  std::erase_if(console, [&](const std::string& line) {
    return std::any_of(unread.begin(), unread.end(),
                       [&](const std::string& u) { return line.find('\t' + u + '\t') != std::string::npos; });
  });
  ASSERT_GT(reference.size(), 500u);
  std::vector<std::string> only_reference, only_console;
  std::set_difference(reference.begin(), reference.end(), console.begin(), console.end(),
                      std::back_inserter(only_reference));
  std::set_difference(console.begin(), console.end(), reference.begin(), reference.end(),
                      std::back_inserter(only_console));
  EXPECT_EQ(only_reference, std::vector<std::string>{}) << "days the console misses";
  EXPECT_EQ(only_console, std::vector<std::string>{}) << "days the console takes that the reference does not";
}

}  // namespace
}  // namespace zmr
