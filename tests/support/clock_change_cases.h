#pragma once
// The nights the clocks change in two zones, with the PC's moment, what the timer's
// clock reads then and what the download's clock check must show. Each case is run in a
// child process with TZ set to its zone, so the zone rules really are in force.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "base/prompts.h"
#include "hardware/download.h"
#include "hardware/wall_clock.h"
#include "support/forked_child.h"
#include "support/temp_dir.h"

namespace zmr::testing {

struct ClockChangeCase {
  const char* zone;
  const char* name;
  qint64 pc_utc;            // the PC's moment, seconds since the epoch
  const char* timer_clock;  // what the timer's clock reads then, "yyyy-MM-dd HH:mm:ss"
  const char* timer_line;   // the memo's timer line up to its seconds (they move on with
  const char* pc_line;      // the exchanges), then the PC line the same way
  bool warned;              // the clock-difference box

  QDateTime timerClock() const {
    const QStringList parts = QString::fromLatin1(timer_clock).split(' ');
    return WallClock(QDate::fromString(parts[0], "yyyy-MM-dd"), QTime::fromString(parts[1], "HH:mm:ss"));
  }
};

// Each night is a Sunday, day 7. The PC moments in the repeated autumn hour come in
// pairs, first and second time round: the wall clock reads the same both times.
inline const ClockChangeCase kClockChangeCases[] = {
    // Berlin: 2026-03-29 02:00 CET becomes 03:00 CEST (01:00 UTC).
    {"Europe/Berlin", "spring, timer a little ahead inside the skipped hour", 1774745980, "2026-03-29 02:00:10",
     "Timer date/time: 29/03/2026 02:00:", "PC date/time:     29/03/2026 01:59:", false},
    {"Europe/Berlin", "spring, timer not moved on", 1774747800, "2026-03-29 02:30:00",
     "Timer date/time: 29/03/2026 02:30:", "PC date/time:     29/03/2026 03:30:", true},
    // Berlin: 2026-10-25 03:00 CEST becomes 02:00 CET (01:00 UTC).
    {"Europe/Berlin", "autumn, first 02:30", 1792888200, "2026-10-25 02:30:10",
     "Timer date/time: 25/10/2026 02:30:", "PC date/time:     25/10/2026 02:30:", false},
    {"Europe/Berlin", "autumn, second 02:30", 1792891800, "2026-10-25 02:30:10",
     "Timer date/time: 25/10/2026 02:30:", "PC date/time:     25/10/2026 02:30:", false},
    // New York: 2026-03-08 02:00 EST becomes 03:00 EDT (07:00 UTC).
    {"America/New_York", "spring, timer a little ahead inside the skipped hour", 1772953180, "2026-03-08 02:00:10",
     "Timer date/time: 08/03/2026 02:00:", "PC date/time:     08/03/2026 01:59:", false},
    {"America/New_York", "spring, timer not moved on", 1772955000, "2026-03-08 02:30:00",
     "Timer date/time: 08/03/2026 02:30:", "PC date/time:     08/03/2026 03:30:", true},
    // New York: 2026-11-01 02:00 EDT becomes 01:00 EST (06:00 UTC).
    {"America/New_York", "autumn, first 01:30", 1793511000, "2026-11-01 01:30:10",
     "Timer date/time: 01/11/2026 01:30:", "PC date/time:     01/11/2026 01:30:", false},
    {"America/New_York", "autumn, second 01:30", 1793514600, "2026-11-01 01:30:10",
     "Timer date/time: 01/11/2026 01:30:", "PC date/time:     01/11/2026 01:30:", false},
};

// Runs body in a child process under TZ=zone and returns the text it returned.
inline std::string InZone(const char* zone, const std::function<std::string()>& body) {
  TempDir dir;
  const std::string file = dir.file("out.txt").toStdString();
  const int code = RunInChild([&] {
    ::setenv("TZ", zone, 1);
    ::tzset();
    std::ofstream(file) << body();
    return 0;
  });
  EXPECT_EQ(code, 0) << zone;
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The memo (or zmrctl's output) holds both clock lines with their minute and weekday,
// the warning exactly when the case expects one, and never the failure text.
inline void ExpectClockLines(const ClockChangeCase& c, const std::string& text) {
  const std::string where = std::string(c.zone) + ", " + c.name + ":\n" + text;
  for (const char* line : {c.timer_line, c.pc_line}) {
    const QRegularExpression whole("^" + QRegularExpression::escape(QString::fromLatin1(line)) + "\\d\\d day 7$",
                                   QRegularExpression::MultilineOption);
    EXPECT_TRUE(whole.match(QString::fromStdString(text)).hasMatch()) << line << " in " << where;
  }
  EXPECT_EQ(text.find(kTimerNotFoundText.toStdString()), std::string::npos) << where;
  EXPECT_EQ(text.find("not valid"), std::string::npos) << where;
  EXPECT_EQ(text.find(kClockDifferenceText.toStdString()) != std::string::npos, c.warned) << where;
}

}  // namespace zmr::testing
