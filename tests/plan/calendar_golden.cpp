// One golden calendar: reads the .ics as a plan read on 2026-08-01 would and compares
// what it gives with the .days file beside it: each event's days (runs of days as
// "first..last"), then the warnings, then the faults with their lines.
// Run: calendar_golden FILE.ics [--print]   (--print: what the reader gives, for a new file)
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <map>
#include <set>

#include "plan/calendar_reader.h"

namespace {

const QDate kReadFor(2026, 8, 1);

QStringList Given(const QByteArray& bytes, const QString& name) {
  const zmr::CalendarReading read =
      zmr::ReadCalendar(bytes, name, kReadFor.addYears(zmr::kRecurrenceYearsAhead));
  std::map<std::pair<qint64, QString>, QDate> runs;  // first day and summary -> last day
  std::map<QString, std::set<qint64>> days;
  for (const zmr::HolidaySpan& s : read.spans)
    for (QDate d = s.first; d <= s.last; d = d.addDays(1)) days[s.summary].insert(d.toJulianDay());
  for (const auto& [summary, set] : days) {
    for (auto it = set.begin(); it != set.end();) {
      const qint64 first = *it;
      qint64 last = first;
      while (++it != set.end() && *it == last + 1) last = *it;
      runs[{first, summary}] = QDate::fromJulianDay(last);
    }
  }
  QStringList lines;
  for (const auto& [key, last] : runs) {
    const QDate first = QDate::fromJulianDay(key.first);
    const QString when = first == last ? first.toString(Qt::ISODate)
                                       : first.toString(Qt::ISODate) + ".." + last.toString(Qt::ISODate);
    lines << when + ' ' + key.second;
  }
  for (const QString& w : read.warnings) lines << "warning: " + w;
  for (const zmr::CalendarFault& f : read.faults)
    lines << QStringLiteral("fault: line %1: %2").arg(f.line).arg(f.text);
  return lines;
}

QStringList Expected(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {"(no " + path + ")"};
  QStringList lines;
  for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
    if (!line.trimmed().isEmpty() && !line.startsWith('#')) lines << line.trimmed();
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const QString ics = QString::fromLocal8Bit(argv[1]);
  QFile file(ics);
  if (!file.open(QIODevice::ReadOnly)) return 2;
  const QStringList given = Given(file.readAll(), QFileInfo(ics).fileName());
  if (argc > 2) {
    for (const QString& line : given) std::printf("%s\n", line.toUtf8().constData());
    return 0;
  }
  const QString days = ics.left(ics.size() - 4) + ".days";
  const QStringList expected = Expected(days);
  if (given == expected) return 0;
  std::printf("%s does not give what %s says.\n", qPrintable(ics), qPrintable(days));
  for (const QString& line : expected)
    if (!given.contains(line)) std::printf("  missing: %s\n", line.toUtf8().constData());
  for (const QString& line : given)
    if (!expected.contains(line)) std::printf("  extra:   %s\n", line.toUtf8().constData());
  return 1;
}
