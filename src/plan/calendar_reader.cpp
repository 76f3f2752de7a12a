#include "plan/calendar_reader.h"

extern "C" {
#include <libical/ical.h>
}

#include <algorithm>
#include <memory>
#include <mutex>

#include "plan/calendar_moments.h"
#include "plan/calendar_texts.h"
#include "plan/event_days.h"

namespace zmr {
namespace {

struct ComponentFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
struct PropertyFree {
  void operator()(icalproperty* p) const { icalproperty_free(p); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;
using PropertyPtr = std::unique_ptr<icalproperty, PropertyFree>;

// A malformed line must come back to us as an X-LIC-ERROR, never abort the program.
void NonFatalErrors() {
  static std::once_flag once;
  std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

std::vector<icalcomponent*> Calendars(icalcomponent* root) {
  std::vector<icalcomponent*> found;
  if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
    found.push_back(root);
  } else if (icalcomponent_isa(root) == ICAL_XROOT_COMPONENT) {
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT); c != nullptr;
         c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
      found.push_back(c);
    }
  }
  return found;
}

int OwnErrors(icalcomponent* c) { return icalcomponent_count_properties(c, ICAL_XLICERROR_PROPERTY); }

// Which of an event's day-deciding lines libical could not read, each a fault. An empty
// RRULE, RDATE, EXDATE, DTEND or DURATION is as if the line were not there.
void CheckDayLines(const IcsEvent& event, std::vector<CalendarFault>& faults) {
  for (const IcsDayLine& l : event.day_lines) {
    const bool needed = l.name == "DTSTART" || l.name == "RECURRENCE-ID";
    if (l.value.trimmed().isEmpty()) {
      if (needed) faults.push_back({l.line, kIcsEmptyText.arg(QString::fromUtf8(l.name), EventName(event))});
      continue;
    }
    if (PropertyPtr(icalproperty_new_from_string(l.text.constData()))) continue;
    const QString value = QString::fromUtf8(l.value.trimmed());
    if (l.name == "RRULE") {
      faults.push_back({l.line, kIcsNotRuleText.arg(EventName(event), value)});
    } else if (l.name == "DURATION") {
      faults.push_back({l.line, kIcsNotDurationText.arg(EventName(event), value)});
    } else {
      faults.push_back({l.line, kIcsNotTimeText.arg(QString::fromUtf8(l.name), EventName(event), value)});
    }
  }
}

int LineAt(const QByteArray& bytes, qsizetype at) { return static_cast<int>(bytes.left(at).count('\n')) + 1; }

}  // namespace

CalendarReading ReadCalendar(const QByteArray& bytes, const QString& calendar_name, QDate horizon) {
  NonFatalErrors();
  CalendarReading reading;
  // A calendar cut short loses its last events silently in libical: its structure is
  // checked first.
  const IcsScan scan = ScanIcs(bytes);
  if (!scan.faults.empty()) {
    reading.faults = scan.faults;
    return reading;
  }
  ComponentPtr root(icalparser_parse_string(bytes.constData()));
  const std::vector<icalcomponent*> calendars = root ? Calendars(root.get()) : std::vector<icalcomponent*>{};
  if (calendars.empty()) {
    reading.faults.push_back({0, kIcsNoCalendarText});
    return reading;
  }
  // libical stops at a zero byte and would drop the rest unseen.
  if (const qsizetype zero = bytes.indexOf('\0'); zero >= 0) {
    reading.faults.push_back({LineAt(bytes, zero), kIcsZeroByteText});
    return reading;
  }

  struct Found {
    icalcomponent* event;
    const ZoneBook* zones;
    bool readable;
  };
  std::vector<std::unique_ptr<ZoneBook>> books;
  std::vector<Found> events;
  for (icalcomponent* calendar : calendars) {
    books.push_back(std::make_unique<ZoneBook>(calendar));
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e != nullptr;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      events.push_back({e, books.back().get(), true});
    }
  }
  // The scan and libical see the same events in the same order; should they ever not,
  // faults are still found, only without their lines.
  const bool lines_known = events.size() == scan.events.size();
  std::vector<IcsEvent> unplaced;
  if (!lines_known) {
    for (const Found& f : events)
      unplaced.push_back({0, QString::fromUtf8(icalcomponent_get_summary(f.event)), {}});
  }
  auto where = [&](std::size_t i) -> const IcsEvent& { return lines_known ? scan.events[i] : unplaced[i]; };

  for (std::size_t i = 0; i < events.size(); ++i) {
    if (OwnErrors(events[i].event) == 0) continue;
    const std::size_t before = reading.faults.size();
    CheckDayLines(where(i), reading.faults);
    events[i].readable = reading.faults.size() == before;
  }
  EventDays days(calendar_name, horizon, reading);
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (events[i].readable) days.noteMoved(events[i].event, where(i), *events[i].zones);
  }
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (events[i].readable && !days.add(events[i].event, where(i), *events[i].zones)) break;
  }
  if (!reading.ok()) {
    std::stable_sort(reading.faults.begin(), reading.faults.end(),
                     [](const CalendarFault& a, const CalendarFault& b) { return a.line < b.line; });
    reading.spans.clear();
    reading.warnings.clear();
    return reading;
  }
  for (const auto& [zone, line] : days.unknownZones())
    reading.warnings << kIcsUnknownZoneText.arg(QString::number(line), QString::fromUtf8(zone));
  if (const int ignored = icalcomponent_count_errors(root.get()); ignored > 0)
    reading.warnings << (ignored == 1 ? kIcsIgnoredOneText : kIcsIgnoredText.arg(ignored));
  return reading;
}

}  // namespace zmr
