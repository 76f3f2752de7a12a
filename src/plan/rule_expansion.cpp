#include "plan/rule_expansion.h"

#include <algorithm>
#include <memory>

#include "plan/calendar_moments.h"

namespace zmr {
namespace {

constexpr long long kSecondsPerDay = 24 * 60 * 60;

struct IteratorFree {
  void operator()(icalrecur_iterator* i) const { icalrecur_iterator_free(i); }
};
using IteratorPtr = std::unique_ptr<icalrecur_iterator, IteratorFree>;

// The shortest span one step of the walk covers; a month or year is at least this long,
// so the steps are never under-counted.
long long StepSeconds(icalrecurrencetype_frequency freq) {
  switch (freq) {
    case ICAL_SECONDLY_RECURRENCE:
      return 1;
    case ICAL_MINUTELY_RECURRENCE:
      return 60;
    case ICAL_HOURLY_RECURRENCE:
      return 60 * 60;
    case ICAL_DAILY_RECURRENCE:
      return kSecondsPerDay;
    case ICAL_WEEKLY_RECURRENCE:
      return 7 * kSecondsPerDay;
    case ICAL_MONTHLY_RECURRENCE:
      return 28 * kSecondsPerDay;
    case ICAL_YEARLY_RECURRENCE:
      return 365 * kSecondsPerDay;
    default:
      return 0;
  }
}

icaltimetype Later(icaltimetype t, long long seconds) {
  icaltime_adjust(&t, static_cast<int>(seconds / kSecondsPerDay), 0, 0,
                  static_cast<int>(seconds % kSecondsPerDay));
  return t;
}

}  // namespace

RuleEnd ExpandRule(icalrecurrencetype rule, const icaltimetype& start, const icaltimetype& last_wanted,
                   long long& calendar_steps_left, const std::function<bool(const icaltimetype&)>& each) {
  const long long step = StepSeconds(rule.freq) * std::max<long long>(1, rule.interval);
  if (step <= 0) return RuleEnd::Unusable;
  const long long allowed = std::min(kMaxRuleSteps, calendar_steps_left);
  const long long wanted = std::max<long long>(0, FieldSeconds(last_wanted) - FieldSeconds(start));
  const bool capped = wanted / step > allowed;
  icaltimetype until = Later(start, capped ? allowed * step : wanted);
  until.zone = start.zone;
  // The rule's own UNTIL, when it comes first, ends the walk as written.
  const bool own_end = !icaltime_is_null_time(rule.until) && icaltime_compare(rule.until, until) <= 0;
  if (!own_end) rule.until = until;

  IteratorPtr it(icalrecur_iterator_new(rule, start));
  if (!it) return RuleEnd::Unusable;
  long long returned = 0;
  icaltimetype last = start;
  bool stopped = false;
  for (icaltimetype t = icalrecur_iterator_next(it.get()); !icaltime_is_null_time(t);
       t = icalrecur_iterator_next(it.get())) {
    last = t;
    // A rule with many occurrences per unit (BYSECOND lists) is bounded here.
    if (++returned > allowed || !each(t)) {
      stopped = true;
      break;
    }
  }
  const bool counted_out = rule.count > 0 && returned >= rule.count;
  // How far the walk went: to the last occurrence when it stopped there, else to its end.
  const icaltimetype reached = stopped || counted_out ? last : rule.until;
  const long long walked = std::max<long long>(0, FieldSeconds(reached) - FieldSeconds(start)) / step;
  calendar_steps_left -= std::min(allowed, walked + returned);
  const bool cut = returned > allowed || (capped && !own_end && !stopped && !counted_out);
  if (!cut) return RuleEnd::Done;
  return allowed < kMaxRuleSteps ? RuleEnd::CalendarBound : RuleEnd::RuleBound;
}

}  // namespace zmr
