#pragma once
// Dates and times as the download's status report writes them: the system's short date
// and long time formats, a single-digit first field padded with "0".
#include <QDateTime>
#include <QString>

namespace zmr {

struct DateTimeFormats {
  QString short_date;  // e.g. "dd/MM/yyyy" or "M/d/yyyy"
  QString long_time;   // e.g. "HH:mm:ss"

  // The system locale's formats; a time-zone name is left out of the time.
  static DateTimeFormats System();
};

// "05/3/2004 14:02:07": date text, a blank, time text; only a one-digit first field of
// each gets a leading "0".
QString ReportDateTime(const QDateTime& value, const DateTimeFormats& formats);

}  // namespace zmr
