#pragma once
// The lines of an iCalendar text as the file holds them: libical keeps no line numbers,
// so this pass finds where each event and each of its day-deciding properties stands,
// and whether every BEGIN has its END (a calendar cut short loses events silently).
#include <QByteArray>
#include <QString>
#include <vector>

namespace zmr {

// A fault of a calendar, with its line in the .ics (0: the calendar as a whole).
struct CalendarFault {
  int line = 0;
  QString text;
};

// One unfolded content line of a property that decides which days an event takes.
struct IcsDayLine {
  QByteArray name;   // upper case: DTSTART, DTEND, DURATION, RRULE, RDATE, EXDATE, RECURRENCE-ID
  QByteArray text;   // the whole unfolded line, as libical reads it
  QByteArray value;  // what follows the first colon outside quotes
  int line = 0;      // where the property starts in the file
};

// A VEVENT of a VCALENDAR, in file order (the order libical keeps them in).
struct IcsEvent {
  int line = 0;     // of its BEGIN:VEVENT
  QString summary;  // unescaped; empty when it has none
  std::vector<IcsDayLine> day_lines;
};

struct IcsScan {
  std::vector<IcsEvent> events;
  std::vector<CalendarFault> faults;  // BEGIN without END, END without BEGIN
};

IcsScan ScanIcs(const QByteArray& bytes);

// How an event is named in faults and warnings.
QString EventName(const IcsEvent& event);

}  // namespace zmr
