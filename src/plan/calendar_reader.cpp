#include "plan/calendar_reader.h"

extern "C" {
#include <libical/ical.h>
}

#include <QDateTime>
#include <algorithm>
#include <memory>
#include <mutex>
#include <set>

namespace zmr {
namespace {

// A rule that yields more than this before the horizon (every minute, every second) is
// no holiday calendar; refusing it keeps a read of a hostile file short.
constexpr int kMaxOccurrences = 100000;

struct ComponentFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
struct IteratorFree {
  void operator()(icalrecur_iterator* i) const { icalrecur_iterator_free(i); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;
using IteratorPtr = std::unique_ptr<icalrecur_iterator, IteratorFree>;

// A malformed line must come back to us as an X-LIC-ERROR, never abort the program.
void NonFatalErrors() {
  static std::once_flag once;
  std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

// A start or end as the PC's wall clock sees it; a date stays at midnight.
QDateTime Local(const icaltimetype& t) {
  if (icaltime_is_date(t)) return QDateTime(QDate(t.year, t.month, t.day), QTime(0, 0));
  if (icaltime_is_utc(t) || icaltime_get_timezone(t) != nullptr) {
    return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, icaltime_get_timezone(t)));
  }
  return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}

QString FirstError(icalcomponent* c) {
  for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p != nullptr;
       p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
    return QString::fromUtf8(icalproperty_get_xlicerror(p));
  }
  for (icalcomponent* k = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); k != nullptr;
       k = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT)) {
    if (QString e = FirstError(k); !e.isEmpty()) return e;
  }
  return {};
}

class EventExpander {
 public:
  EventExpander(const QString& calendar, QDate horizon, std::vector<HolidaySpan>& spans)
      : calendar_(calendar), horizon_(horizon), spans_(spans) {}

  // Starts of instances that a VEVENT with RECURRENCE-ID moved elsewhere.
  void noteMoved(icalcomponent* event) {
    const icaltimetype id = icalcomponent_get_recurrenceid(event);
    if (!icaltime_is_null_time(id)) moved_.insert({uid(event), Local(id)});
  }

  QString expand(icalcomponent* event) {
    if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED) return {};
    const icaltimetype start = icalcomponent_get_dtstart(event);
    if (icaltime_is_null_time(start) || !icaltime_is_valid_time(start)) return QStringLiteral("an event has no valid DTSTART");
    all_day_ = icaltime_is_date(start) != 0;
    const QDateTime first = Local(start);
    if (!first.isValid()) return QStringLiteral("an event has no valid DTSTART");
    icaltimetype end = icalcomponent_get_dtend(event);
    QDateTime last = icaltime_is_null_time(end) ? first : Local(end);
    if (!last.isValid() || last < first) last = first;
    if (all_day_) {
      length_days_ = std::max<qint64>(1, first.date().daysTo(last.date()));
    } else {
      length_ms_ = first.msecsTo(last);
    }
    summary_ = QString::fromUtf8(icalcomponent_get_summary(event));
    uid_ = uid(event);

    std::set<QDateTime> excluded;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
      excluded.insert(Local(icalproperty_get_exdate(p)));
    }
    // An instance moved by another VEVENT is that one's to add; a moved instance itself is added.
    const bool is_moved_instance = !icaltime_is_null_time(icalcomponent_get_recurrenceid(event));
    auto add = [&](const QDateTime& s) {
      if (excluded.count(s) == 0 && (is_moved_instance || moved_.count({uid_, s}) == 0)) addOccurrence(s);
    };

    bool recurs = false;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
      recurs = true;
      IteratorPtr it(icalrecur_iterator_new(icalproperty_get_rrule(p), start));
      if (!it) return QStringLiteral("a recurrence rule cannot be expanded");
      int count = 0;
      for (icaltimetype t = icalrecur_iterator_next(it.get()); !icaltime_is_null_time(t);
           t = icalrecur_iterator_next(it.get())) {
        const QDateTime s = Local(t);
        if (!s.isValid() || s.date() > horizon_) break;
        if (++count > kMaxOccurrences) return QStringLiteral("an event recurs too often to be a holiday");
        add(s);
      }
    }
    if (!recurs) add(first);
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
      const icaldatetimeperiodtype r = icalproperty_get_rdate(p);
      const icaltimetype t = icaltime_is_null_time(r.time) ? r.period.start : r.time;
      if (const QDateTime s = Local(t); s.isValid() && s.date() <= horizon_) add(s);
    }
    return {};
  }

 private:
  static QString uid(icalcomponent* event) { return QString::fromUtf8(icalcomponent_get_uid(event)); }

  void addOccurrence(const QDateTime& start) {
    QDate last;
    if (all_day_) {
      last = start.date().addDays(length_days_ - 1);
    } else {
      // The day of the event's last moment: an event that ends at midnight leaves the next day alone.
      last = length_ms_ > 0 ? start.addMSecs(length_ms_ - 1).date() : start.date();
    }
    spans_.push_back({summary_, calendar_, start.date(), last});
  }

  const QString& calendar_;
  QDate horizon_;
  std::vector<HolidaySpan>& spans_;
  std::set<std::pair<QString, QDateTime>> moved_;
  bool all_day_ = false;
  qint64 length_days_ = 1;
  qint64 length_ms_ = 0;
  QString summary_;
  QString uid_;
};

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

}  // namespace

CalendarReading ReadCalendar(const QByteArray& bytes, const QString& calendar_name, QDate horizon) {
  NonFatalErrors();
  CalendarReading reading;
  ComponentPtr root(icalparser_parse_string(bytes.constData()));
  const std::vector<icalcomponent*> calendars = root ? Calendars(root.get()) : std::vector<icalcomponent*>{};
  if (calendars.empty()) {
    reading.fault = QStringLiteral("it holds no VCALENDAR");
    return reading;
  }
  if (icalcomponent_count_errors(root.get()) > 0) {
    reading.fault = FirstError(root.get());
    if (reading.fault.isEmpty()) reading.fault = QStringLiteral("it is malformed");
    return reading;
  }
  EventExpander expander(calendar_name, horizon, reading.spans);
  for (icalcomponent* calendar : calendars) {
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e != nullptr;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      expander.noteMoved(e);
    }
  }
  for (icalcomponent* calendar : calendars) {
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e != nullptr;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      if (QString fault = expander.expand(e); !fault.isEmpty()) {
        reading.spans.clear();
        reading.fault = fault;
        return reading;
      }
    }
  }
  return reading;
}

}  // namespace zmr
