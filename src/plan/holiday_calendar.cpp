#include "plan/holiday_calendar.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <utility>

namespace zmr {
namespace {

const QStringList kWebSchemes{QStringLiteral("https"), QStringLiteral("http"), QStringLiteral("webcal")};

QString SchemeOf(const QString& source) { return source.section(QStringLiteral("://"), 0, 0).toLower(); }

}  // namespace

bool IsWebCalendar(const QString& source) {
  return source.contains(QStringLiteral("://")) && kWebSchemes.contains(SchemeOf(source));
}

QUrl FetchAddress(const QString& source) {
  QUrl url(source, QUrl::StrictMode);
  // webcal:// is how calendar links ask for a subscription; the calendar itself is served over https.
  if (SchemeOf(source) == QStringLiteral("webcal")) url.setScheme(QStringLiteral("https"));
  return url;
}

QString WebAddressProblem(const QString& source) {
  const QUrl url = FetchAddress(source);
  if (!url.isValid()) return QStringLiteral("it is not a web address: %1").arg(url.errorString());
  if (url.host().isEmpty()) return QStringLiteral("it names no host");
  return {};
}

bool EventCounts(const QString& summary, const QStringList& only) {
  return only.isEmpty() || std::any_of(only.begin(), only.end(), [&](const QString& word) {
           return summary.contains(word, Qt::CaseInsensitive);
         });
}

std::vector<HolidaySpan> CountingSpans(const std::vector<HolidaySpan>& spans, const QStringList& only) {
  std::vector<HolidaySpan> counting;
  std::copy_if(spans.begin(), spans.end(), std::back_inserter(counting),
               [&](const HolidaySpan& span) { return EventCounts(span.summary, only); });
  return counting;
}

namespace {

// A run of days, first and last inclusive, as Julian days.
using DayRun = std::pair<qint64, qint64>;

// The days the runs take, each once: sorted and merged, never walked day by day (an
// event may last for centuries).
int DaysOfRuns(std::vector<DayRun> runs) {
  std::sort(runs.begin(), runs.end());
  qint64 days = 0;
  std::optional<qint64> counted_to;
  for (const auto& [first, last] : runs) {
    const qint64 from = counted_to ? std::max(first, *counted_to + 1) : first;
    if (last < from) continue;
    days += last - from + 1;
    counted_to = last;
  }
  return static_cast<int>(days);
}

DayRun RunOf(const HolidaySpan& span) { return {span.first.toJulianDay(), span.last.toJulianDay()}; }

}  // namespace

int DaysOf(const std::vector<HolidaySpan>& spans) {
  std::vector<DayRun> runs;
  std::transform(spans.begin(), spans.end(), std::back_inserter(runs), RunOf);
  return DaysOfRuns(std::move(runs));
}

std::vector<CalendarEvent> CalendarEvents(const std::vector<HolidaySpan>& spans, const QStringList& only) {
  std::map<QString, std::vector<DayRun>> runs;  // by title
  for (const HolidaySpan& span : spans) runs[span.summary].push_back(RunOf(span));
  std::vector<CalendarEvent> events;
  for (auto& [summary, of_event] : runs) {
    const qint64 first = std::min_element(of_event.begin(), of_event.end())->first;
    events.push_back({summary, QDate::fromJulianDay(first), DaysOfRuns(std::move(of_event)), EventCounts(summary, only)});
  }
  std::stable_sort(events.begin(), events.end(), [](const CalendarEvent& a, const CalendarEvent& b) { return a.first < b.first; });
  return events;
}

}  // namespace zmr
