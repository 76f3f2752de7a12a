#include "plan/event_days.h"

#include <limits>
#include <optional>
#include <vector>

#include "plan/calendar_texts.h"

namespace zmr {
namespace {

constexpr qint64 kSecondsPerDay = 24 * 60 * 60;
// Zones lie little more than a day apart: a rule's walk in its own wall clock goes this
// far past the horizon so that no instance on the horizon's local day is missed.
constexpr int kHorizonMarginDays = 2;

// The n-th line of the event with this property name, or the first whose value holds needle.
const IcsDayLine* DayLine(const IcsEvent& where, const char* name, const QByteArray& needle = {},
                          int n = -1) {
  const IcsDayLine* first = nullptr;
  int seen = 0;
  for (const IcsDayLine& l : where.day_lines) {
    if (l.name != name) continue;
    if (first == nullptr) first = &l;
    if (n >= 0 ? seen++ == n : !needle.isEmpty() && l.value.contains(needle)) return &l;
  }
  return first;
}

int LineOf(const IcsEvent& where, const IcsDayLine* l) { return l != nullptr ? l->line : where.line; }

QString ValueText(const IcsDayLine* l) {
  return l != nullptr ? QString::fromUtf8(l->value.trimmed()) : QString();
}

// An event's length in the unit of an instance: whole days (at least one) for a date, else seconds.
qint64 LengthFor(const Moment& start, qint64 seconds) {
  return start.kind == Moment::Kind::Day ? (seconds + kSecondsPerDay - 1) / kSecondsPerDay : seconds;
}

qint64 DurationSeconds(const icaldurationtype& d) {
  return ((static_cast<qint64>(d.weeks) * 7 + d.days) * 24 + d.hours) * 3600 +
         static_cast<qint64>(d.minutes) * 60 + d.seconds;
}

std::vector<icalproperty*> Properties(icalcomponent* event, icalproperty_kind kind) {
  std::vector<icalproperty*> found;
  for (icalproperty* p = icalcomponent_get_first_property(event, kind); p != nullptr;
       p = icalcomponent_get_next_property(event, kind))
    found.push_back(p);
  return found;
}

}  // namespace

// One VEVENT being read: how it is named, where its faults go, and its times with their
// TZIDs applied. A time whose fields are no real time is a fault of its line.
struct EventDays::Event {
  EventDays& days;
  icalcomponent* component;
  const IcsEvent& where;
  const ZoneBook& zones;
  QString name = EventName(where);

  void fault(const IcsDayLine* l, const QString& text) const {
    days.reading_.faults.push_back({LineOf(where, l), text});
  }

  std::optional<Moment> moment(icalproperty* p, const icaltimetype& t, const char* property) const {
    QByteArray unknown;
    const std::optional<Moment> m = zones.moment(p, t, &unknown);
    if (!unknown.isEmpty())
      days.unknown_zones_.try_emplace(unknown, LineOf(where, DayLine(where, property, unknown)));
    if (!m) {
      const IcsDayLine* l = DayLine(where, property, icaltime_as_ical_string(t));
      fault(l, kIcsNotTimeText.arg(QLatin1String(property), name, ValueText(l)));
    }
    return m;
  }

  // From DTEND, else DURATION: seconds, whole days' worth for a date (0 after a fault).
  qint64 lengthSeconds(const icaltimetype& start_time, const Moment& start, icaltimezone* zone) const {
    if (icalproperty* end_property = icalcomponent_get_first_property(component, ICAL_DTEND_PROPERTY)) {
      icaltimetype end_time = icalproperty_get_dtend(end_property);
      std::optional<Moment> end = moment(end_property, end_time, "DTEND");
      if (!end) return 0;
      if (end->kind != start.kind) {
        // An end of another kind (a date after a time, a floating end) is read in the start's frame.
        if (icaltime_is_date(end_time)) end_time.hour = end_time.minute = end_time.second = 0;
        end_time.is_date = 0;
        end_time.zone = icaltime_is_utc(start_time) ? icaltimezone_get_utc_timezone() : nullptr;
        end =
            start.kind == Moment::Kind::Day
                ? Moment{Moment::Kind::Day, QDate(end_time.year, end_time.month, end_time.day).toJulianDay()}
                : zones.moment(end_time, zone);
      }
      const qint64 difference = end ? end->value - start.value : 0;
      if (difference < 0) {
        const IcsDayLine* l = DayLine(where, "DTEND");
        fault(l, kIcsEndBeforeStartText.arg(name, ValueText(l)));
        return 0;
      }
      return start.kind == Moment::Kind::Day ? difference * kSecondsPerDay : difference;
    }
    if (icalproperty* duration = icalcomponent_get_first_property(component, ICAL_DURATION_PROPERTY)) {
      const icaldurationtype d = icalproperty_get_duration(duration);
      if (d.is_neg) {
        const IcsDayLine* l = DayLine(where, "DURATION");
        fault(l, kIcsNegativeText.arg(name, ValueText(l)));
        return 0;
      }
      return DurationSeconds(d);
    }
    return 0;
  }

  std::set<Moment> exdates() const {
    std::set<Moment> excluded;
    for (icalproperty* p : Properties(component, ICAL_EXDATE_PROPERTY)) {
      if (const std::optional<Moment> m = moment(p, icalproperty_get_exdate(p), "EXDATE"))
        excluded.insert(*m);
    }
    return excluded;
  }

  // Each RDATE with its length: the event's, or a period's own.
  std::vector<std::pair<Moment, qint64>> rdates(qint64 seconds) const {
    std::vector<std::pair<Moment, qint64>> added;
    for (icalproperty* p : Properties(component, ICAL_RDATE_PROPERTY)) {
      const icaldatetimeperiodtype r = icalproperty_get_rdate(p);
      const bool period = !icaltime_is_null_time(r.period.start);
      const std::optional<Moment> m = moment(p, period ? r.period.start : r.time, "RDATE");
      if (!m) continue;
      qint64 length = seconds;
      if (period && !icaltime_is_null_time(r.period.end)) {
        const std::optional<Moment> end = moment(p, r.period.end, "RDATE");
        length = end ? std::max<qint64>(0, end->value - m->value) : 0;
      } else if (period) {
        length = DurationSeconds(r.period.duration);
      }
      added.emplace_back(*m, length);
    }
    return added;
  }
};

void EventDays::noteMoved(icalcomponent* event, const IcsEvent& where, const ZoneBook& zones) {
  icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
  if (id == nullptr) return;
  const Event e{*this, event, where, zones};
  if (const std::optional<Moment> m = e.moment(id, icalproperty_get_recurrenceid(id), "RECURRENCE-ID"))
    moved_.insert({QString::fromUtf8(icalcomponent_get_uid(event)), *m});
}

bool EventDays::add(icalcomponent* event, const IcsEvent& where, const ZoneBook& zones) {
  if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED) return true;
  const Event e{*this, event, where, zones};
  const std::size_t faults_before = reading_.faults.size();
  icalproperty* start_property = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
  if (start_property == nullptr) {
    e.fault(nullptr, kIcsNoStartText.arg(e.name));
    return true;
  }
  const icaltimetype start_time = icalproperty_get_dtstart(start_property);
  const std::optional<Moment> start = e.moment(start_property, start_time, "DTSTART");
  if (!start) return true;
  QByteArray known_already;
  icaltimezone* zone = icaltime_is_utc(start_time) ? nullptr : zones.zoneOf(start_property, &known_already);
  const qint64 seconds = e.lengthSeconds(start_time, *start, zone);
  std::set<Moment> skipped = e.exdates();
  const std::vector<std::pair<Moment, qint64>> added = e.rdates(seconds);
  const std::vector<icalproperty*> rules = Properties(event, ICAL_RRULE_PROPERTY);
  for (std::size_t i = 0; i < rules.size(); ++i) {
    if (icalproperty_get_rrule(rules[i]).freq != ICAL_NO_RECURRENCE) continue;
    const IcsDayLine* l = DayLine(where, "RRULE", {}, static_cast<int>(i));
    e.fault(l, kIcsNotRuleText.arg(e.name, ValueText(l)));
  }
  if (reading_.faults.size() != faults_before) return true;

  // The instances: DTSTART always first, then the rules' and the RDATEs', each once; an
  // instance another VEVENT replaces (RECURRENCE-ID) is that one's to add.
  const QString uid = QString::fromUtf8(icalcomponent_get_uid(event));
  if (icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) == nullptr) {
    const Moment least{Moment::Kind::Day, std::numeric_limits<qint64>::min()};
    for (auto it = moved_.lower_bound({uid, least}); it != moved_.end() && it->first == uid; ++it)
      skipped.insert(it->second);
  }
  std::set<Moment> seen;
  DaySpan previous;
  auto take = [&](const Moment& m, qint64 length) {
    if (skipped.count(m) != 0 || !seen.insert(m).second) return;
    addDays(m, LengthFor(m, length), where.summary, previous);
  };
  take(*start, seconds);
  for (std::size_t i = 0; i < rules.size(); ++i) {
    std::vector<Moment> found;
    const RuleEnd end = expandRule(e, rules[i], start_time, zone, found);
    const IcsDayLine* l = DayLine(where, "RRULE", {}, static_cast<int>(i));
    switch (end) {
      case RuleEnd::Done:
        for (const Moment& m : found) take(m, seconds);
        break;
      case RuleEnd::Unusable:
        e.fault(l, kIcsNotRuleText.arg(e.name, ValueText(l)));
        break;
      case RuleEnd::RuleBound:
        reading_.warnings << kIcsRuleBoundText.arg(QString::number(LineOf(where, l)), e.name,
                                                   QString::number(kMaxRuleSteps), ValueText(l));
        break;
      case RuleEnd::CalendarBound:
        e.fault(l, kIcsCalendarBoundText.arg(e.name, QString::number(kMaxCalendarSteps)));
        return false;
    }
  }
  for (const auto& [m, length] : added) take(m, length);
  return true;
}

RuleEnd EventDays::expandRule(const Event& e, icalproperty* rule_property, const icaltimetype& start_time,
                              icaltimezone* zone, std::vector<Moment>& found) {
  // A rule in a zone is walked on the zone's wall clock, the zone applied to each instance
  // on its own: libical would carry a time the clocks skip (00:30 in Santiago on
  // 2026-09-06 becomes 01:30) into every later instance.
  icaltimezone* rule_zone = e.zones.ruleZone(zone, start_time);
  icaltimetype rule_start = start_time;
  icalrecurrencetype rule = icalproperty_get_rrule(rule_property);
  if (rule_zone != nullptr) {
    if (icaltime_is_utc(start_time)) rule_start = icaltime_convert_to_zone(start_time, rule_zone);
    rule_start.zone = nullptr;
    if (!icaltime_is_null_time(rule.until) && !icaltime_is_date(rule.until)) {
      if (rule.until.zone != nullptr) rule.until = icaltime_convert_to_zone(rule.until, rule_zone);
      rule.until.zone = nullptr;
    }
  }
  icaltimetype last_wanted = rule_start;
  const QDate beyond = horizon_.addDays(kHorizonMarginDays);
  last_wanted.year = beyond.year();
  last_wanted.month = beyond.month();
  last_wanted.day = beyond.day();
  last_wanted.hour = last_wanted.minute = last_wanted.second = 0;
  // A rule's instances count only when it is expanded whole.
  return ExpandRule(rule, rule_start, last_wanted, steps_left_, [&](const icaltimetype& t) {
    const std::optional<Moment> m = e.zones.moment(t, rule_zone);
    if (!m) return true;
    if (local_.span(*m, 0).first > horizon_) return false;
    found.push_back(*m);
    return true;
  });
}

void EventDays::addDays(const Moment& start, qint64 length, const QString& summary, DaySpan& previous) {
  DaySpan days = local_.span(start, length);
  if (!days.first.isValid() || days.first > horizon_) return;
  // Days past the horizon are never decided; a span that runs for ever stops there.
  if (!days.last.isValid() || days.last > horizon_) days.last = horizon_;
  if (days.first == previous.first && days.last == previous.last) return;
  previous = days;
  reading_.spans.push_back({summary, calendar_, days.first, days.last});
}

}  // namespace zmr
