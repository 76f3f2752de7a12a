#include "plan/plan_listing.h"

#include <QLocale>
#include <algorithm>

namespace zmr {
namespace {

bool Touches(QDate from, QDate to, QDate first, QDate last) { return from <= last && to >= first; }

void ByFirstDay(std::vector<ListedStretch>& stretches) {
  std::stable_sort(stretches.begin(), stretches.end(), [](const ListedStretch& a, const ListedStretch& b) {
    return a.from != b.from ? a.from < b.from : a.to < b.to;
  });
}

}  // namespace

QDate PrintedYearEnd(QDate first) { return QDate(first.year(), first.month(), 1).addMonths(kPrintedMonths).addDays(-1); }

std::vector<ListedStretch> PeriodsListed(const YearPlan& plan, const std::vector<LegendEntry>& legend, QDate first,
                                         QDate last) {
  std::vector<ListedStretch> listed;
  for (const PlanPeriod& period : plan.periods) {
    if (!Touches(period.from, period.to, first, last)) continue;
    const auto entry = std::find_if(legend.begin(), legend.end(),
                                    [&](const LegendEntry& e) { return !period.week.isEmpty() && e.week == period.week; });
    listed.push_back({period.name, period.from, period.to, period.week, QString(),
                      entry != legend.end() ? entry->colour : kNoBellsTint});
  }
  ByFirstDay(listed);
  return listed;
}

std::vector<ListedStretch> HolidaysListed(const YearPlan& plan, QDate first, QDate last) {
  std::vector<ListedStretch> listed;
  for (const HolidaySpan& span : plan.holiday_spans) {
    if (!Touches(span.first, span.last, first, last)) continue;
    listed.push_back({span.summary.isEmpty() ? QStringLiteral("(without a name)") : span.summary, span.first, span.last,
                      QString(), span.calendar, kNoBellsTint});
  }
  ByFirstDay(listed);
  return listed;
}

QString NoticeDate(QDate date) { return QLocale::c().toString(date, QStringLiteral("ddd d MMM yyyy")); }

QString DaysText(const ListedStretch& stretch) {
  const qint64 days = stretch.from.daysTo(stretch.to) + 1;
  return days == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(days);
}

QString WeekText(const ListedStretch& stretch) {
  return stretch.week.isEmpty() ? QStringLiteral("No bells") : stretch.week;
}

}  // namespace zmr
