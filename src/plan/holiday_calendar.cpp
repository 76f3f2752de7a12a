#include "plan/holiday_calendar.h"

#include <algorithm>
#include <map>
#include <set>

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

int DaysOf(const std::vector<HolidaySpan>& spans) {
  std::set<qint64> days;
  for (const HolidaySpan& span : spans) {
    for (qint64 d = span.first.toJulianDay(); d <= span.last.toJulianDay(); ++d) days.insert(d);
  }
  return static_cast<int>(days.size());
}

std::vector<CalendarEvent> CalendarEvents(const std::vector<HolidaySpan>& spans, const QStringList& only) {
  std::map<QString, std::set<qint64>> days;  // by title
  for (const HolidaySpan& span : spans) {
    std::set<qint64>& taken = days[span.summary];
    for (qint64 d = span.first.toJulianDay(); d <= span.last.toJulianDay(); ++d) taken.insert(d);
  }
  std::vector<CalendarEvent> events;
  for (const auto& [summary, taken] : days) {
    if (taken.empty()) continue;
    events.push_back({summary, QDate::fromJulianDay(*taken.begin()), static_cast<int>(taken.size()), EventCounts(summary, only)});
  }
  std::stable_sort(events.begin(), events.end(), [](const CalendarEvent& a, const CalendarEvent& b) { return a.first < b.first; });
  return events;
}

std::vector<CalendarSource> CalendarSources(const YearPlan& plan) {
  std::vector<CalendarSource> sources;
  for (const HolidayCalendar& calendar : plan.holidays) sources.push_back({calendar.source, IsWebCalendar(calendar.source)});
  return sources;
}

}  // namespace zmr
