#pragma once
// Expanding one RRULE with a bound on the work, not only on the occurrences returned:
// libical walks a rule one unit of its FREQ at a time inside a single call, so a rule
// that never matches (FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=30) would walk for hours.
// The walk is given an UNTIL no further than the steps allowed reach, so every call
// returns soon; each unit walked and each occurrence returned is a step.
#include <functional>

extern "C" {
#include <libical/ical.h>
}

namespace zmr {

// Steps one rule may take, and all the rules of one calendar together: about 0.4 s of
// work at most. A daily rule from 2000 to the horizon takes about 20 000 (a step per day
// walked and one per day returned); what schools publish takes a few hundred.
inline constexpr long long kMaxRuleSteps = 20000;
inline constexpr long long kMaxCalendarSteps = 150000;

enum class RuleEnd {
  Done,           // every occurrence up to last_wanted was given (or `each` said stop)
  RuleBound,      // the rule needs more than kMaxRuleSteps
  CalendarBound,  // the calendar's steps ran out during this rule
  Unusable,       // libical cannot expand it (no FREQ, BYMONTH=13, INTERVAL=0 ...)
};

// Calls each(t) for the occurrences of rule from start, in order, up to last_wanted
// (fields in start's frame), until it returns false. Draws the steps taken from
// calendar_steps_left.
RuleEnd ExpandRule(icalrecurrencetype rule, const icaltimetype& start, const icaltimetype& last_wanted,
                   long long& calendar_steps_left, const std::function<bool(const icaltimetype&)>& each);

}  // namespace zmr
