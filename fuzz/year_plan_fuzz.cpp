// A year plan and a holiday calendar from the fuzzer's bytes: the plan's TOML up to the
// first zero byte, the calendar after it. Neither reader may crash or hang; a plan taken
// writes back to a text that reads as the same plan; every fault names the file, and a
// line when it has one; a calendar gives days up to its horizon or faults, never both,
// and no rule keeps it busy for long (libFuzzer's -timeout catches one that does). The
// words of the plan's first `only` table pick from the calendar's events: each event that
// counts holds one of them, and the listing of events agrees with the days picked. Web
// addresses are parsed, never fetched.
#include <QDate>
#include <algorithm>
#include <cstring>
#include <string_view>

#include "fuzz_check.h"
#include "plan/calendar_reader.h"
#include "plan/holiday_calendar.h"
#include "plan/plan_days.h"
#include "plan/plan_reader.h"

namespace {

const QDate kReadFor(2026, 9, 1);

void CheckCalendar(const QByteArray& bytes, zmr::YearPlan& plan) {
  const QDate horizon = kReadFor.addYears(2);
  const zmr::CalendarReading read = zmr::ReadCalendar(bytes, QStringLiteral("terms.ics"), horizon);
  FUZZ_CHECK(read.ok() || (read.spans.empty() && read.warnings.isEmpty()));
  for (const zmr::CalendarFault& f : read.faults) FUZZ_CHECK(f.line >= 0 && !f.text.isEmpty());
  for (const zmr::HolidaySpan& s : read.spans) {
    FUZZ_CHECK(s.first.isValid() && s.last.isValid() && s.first <= s.last && s.last <= horizon);
    FUZZ_CHECK(s.calendar == QStringLiteral("terms.ics"));
  }
  plan.holiday_spans = read.spans;
  QStringList only;
  for (const zmr::HolidayCalendar& c : plan.holidays) {
    if (!c.only.isEmpty()) {
      only = c.only;
      break;
    }
  }
  const std::vector<zmr::HolidaySpan> counting = zmr::CountingSpans(read.spans, only);
  FUZZ_CHECK(counting.size() <= read.spans.size());
  for (const zmr::HolidaySpan& s : counting) {
    FUZZ_CHECK(only.isEmpty() || std::any_of(only.begin(), only.end(), [&](const QString& w) {
                 return s.summary.contains(w, Qt::CaseInsensitive);
               }));
  }
  int counted_events = 0;
  for (const zmr::CalendarEvent& e : zmr::CalendarEvents(read.spans, only)) {
    FUZZ_CHECK(e.days > 0 && e.first.isValid());
    counted_events += e.counts ? 1 : 0;
  }
  FUZZ_CHECK((counted_events == 0) == counting.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zmr;
  const char* text = reinterpret_cast<const char*>(data);
  const void* zero = std::memchr(data, 0, size);
  const std::size_t toml_size = zero != nullptr ? static_cast<const std::uint8_t*>(zero) - data : size;
  const std::string_view toml(text, toml_size);
  const QByteArray calendar = zero != nullptr ? QByteArray(text + toml_size + 1, static_cast<qsizetype>(size - toml_size - 1))
                                              : QByteArray();

  PlanReading reading = ParsePlan(toml, QStringLiteral("/plans/north.toml"));
  for (const PlanFault& fault : reading.faults) FUZZ_CHECK(fault.file == QStringLiteral("north.toml"));
  if (reading.ok()) {
    FUZZ_CHECK(!reading.plan.week.isEmpty());
    for (const HolidayCalendar& c : reading.plan.holidays) {
      FUZZ_CHECK(!c.source.isEmpty());
      for (const QString& w : c.only) FUZZ_CHECK(!w.trimmed().isEmpty());
      if (IsWebCalendar(c.source)) (void)WebAddressProblem(c.source);
    }
    for (const PlanPeriod& p : reading.plan.periods) FUZZ_CHECK(p.from.isValid() && p.from <= p.to);
    const std::string written = PlanText(reading.plan);
    const PlanReading again = ParsePlan(written, QStringLiteral("/plans/north.toml"));
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(PlanText(again.plan) == written);
  }
  if (zero != nullptr) CheckCalendar(calendar, reading.plan);
  if (reading.ok()) {
    for (const DayDecision& d : PlanDays(reading.plan, kReadFor, 400)) {
      FUZZ_CHECK(d.bells != d.week.isEmpty());
      FUZZ_CHECK(!d.reason.isEmpty());
    }
  }
  return 0;
}
