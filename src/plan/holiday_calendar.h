#pragma once
// A plan's holidays entry: where its calendar comes from (a file beside the plan, or a
// web address) and which of its events count. A school's term-date feed also holds
// "Pupils return" and parents' evenings; with `only` just the events whose title holds
// one of the words are days without bells.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

#include "plan/plan_model.h"

namespace zmr {

// https://, http:// or webcal:// (any case): a calendar fetched from the web.
bool IsWebCalendar(const QString& source);

// The address a web calendar is fetched from: webcal:// is https://, the rest as written.
QUrl FetchAddress(const QString& source);

// Empty when the address can be fetched, else why not ("it names no host").
QString WebAddressProblem(const QString& source);

// True when the event counts: `only` is empty, or the summary holds one of its words,
// whatever their case.
bool EventCounts(const QString& summary, const QStringList& only);

// The spans of the events that count.
std::vector<HolidaySpan> CountingSpans(const std::vector<HolidaySpan>& spans, const QStringList& only);

// How many days the spans take, each day once.
int DaysOf(const std::vector<HolidaySpan>& spans);

// The events of a calendar as one list: each title once (a recurring event's days
// together), from its first day on, and whether it counts under `only`.
struct CalendarEvent {
  QString summary;
  QDate first;
  int days = 0;  // each day once
  bool counts = true;
};
std::vector<CalendarEvent> CalendarEvents(const std::vector<HolidaySpan>& spans, const QStringList& only);

}  // namespace zmr
