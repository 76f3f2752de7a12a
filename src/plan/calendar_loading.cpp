#include "plan/calendar_loading.h"

#include <QFileInfo>

#include "base/errors.h"
#include "base/file_io.h"
#include "plan/calendar_reader.h"
#include "plan/holiday_calendar.h"
#include "plan/kept_calendar.h"
#include "plan/plan_files.h"

namespace zmr {
namespace {

const QString kCannotReadText = QStringLiteral("calendar '%1' cannot be read: %2");
const QString kTooLargeText = QStringLiteral("calendar '%1' is too large to be a calendar");
const QString kNotValidText = QStringLiteral("calendar '%1' is not a valid calendar: %2");
const QString kWarningText = QStringLiteral("calendar '%1': %2");
const QString kNotAddressText = QStringLiteral("calendar '%1' cannot be fetched: %2");
const QString kNoCopyText = QStringLiteral("calendar '%1' could not be fetched (%2), and no copy of it is kept");
const QString kCopyUsedText = QStringLiteral("calendar '%1' could not be fetched (%2); the copy kept from %3 (%4 old) is used");
const QString kFetchedRefusedText = QStringLiteral("calendar '%1' as fetched now is refused: %2");
const QString kTooLargeWords = QStringLiteral("it is too large to be a calendar");
const QString kRefusedCopyUsedText =
    QStringLiteral("calendar '%1' as fetched now is refused; the copy kept from %2 (%3 old) is used");
const QString kNotKeptText = QStringLiteral("calendar '%1': no copy of it can be kept in %2: %3");

// A calendar's bytes judged by the reader: the days, or why not (without the calendar's name).
struct Judged {
  CalendarReading reading;
  bool too_large = false;
  QStringList faults;  // "line 27: DTSTART of ..."
  bool ok() const { return !too_large && faults.isEmpty(); }
};

Judged Judge(const QByteArray& bytes, const QString& source, QDate horizon) {
  Judged judged;
  if (static_cast<std::size_t>(bytes.size()) > kMaxCalendarBytes) {
    judged.too_large = true;
    return judged;
  }
  judged.reading = ReadCalendar(bytes, source, horizon);
  for (const CalendarFault& f : judged.reading.faults) {
    judged.faults << (f.line > 0 ? QStringLiteral("line %1: %2").arg(f.line).arg(f.text) : f.text);
  }
  return judged;
}

// The days of a calendar that was read, or its faults in the plan's words.
LoadedCalendar Loaded(const Judged& judged, const QString& source) {
  LoadedCalendar loaded;
  if (judged.too_large) loaded.faults << kTooLargeText.arg(source);
  for (const QString& fault : judged.faults) loaded.faults << kNotValidText.arg(source, fault);
  if (!loaded.ok()) return loaded;
  loaded.spans = judged.reading.spans;
  for (const QString& w : judged.reading.warnings) loaded.warnings << kWarningText.arg(source, w);
  return loaded;
}

LoadedCalendar LoadFile(const YearPlan& plan, const QString& source, QDate horizon) {
  const QString file = plan.resolve(source);
  // A folder on the way that the job's user may not search is not a missing file.
  if (const QString unreadable = Unreachable(file); !unreadable.isEmpty()) {
    return {{}, {QStringLiteral("calendar '%1' %2").arg(source, unreadable)}, {}};
  }
  std::vector<std::uint8_t> raw;
  try {
    raw = ReadFileStart(file, kMaxCalendarBytes + 1);
  } catch (const IoError& e) {
    return {{}, {kCannotReadText.arg(source, Sentence(e))}, {}};
  }
  const QByteArray bytes(reinterpret_cast<const char*>(raw.data()), static_cast<qsizetype>(raw.size()));
  return Loaded(Judge(bytes, source, horizon), source);
}

// The copy in place of what the server gave, with the line that says so first.
LoadedCalendar FromCopy(const KeptCalendar& kept, const QString& source, QDate horizon, QStringList said) {
  LoadedCalendar loaded = Loaded(Judge(kept.body, source, horizon), source);
  said << loaded.warnings;
  loaded.warnings = said;
  return loaded;
}

QString When(const KeptCalendar& kept) { return kept.checked.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")); }

// Keeps a copy (fetched now, or confirmed by a 304); one that cannot be kept is said, the
// calendar is used all the same.
void Keep(const CalendarAccess& access, const KeptCalendar& kept, const QString& source, LoadedCalendar& loaded) {
  try {
    KeepCalendar(access.state_folder, kept);
  } catch (const IoError& e) {
    loaded.warnings << kNotKeptText.arg(source, access.state_folder, Sentence(e));
  }
}

LoadedCalendar LoadWeb(const QString& source, QDate horizon, const CalendarAccess& access) {
  if (const QString problem = WebAddressProblem(source); !problem.isEmpty()) {
    return {{}, {kNotAddressText.arg(source, problem)}, {}};
  }
  const QUrl address = FetchAddress(source);
  std::optional<KeptCalendar> kept = ReadKeptCalendar(access.state_folder, address);
  if (kept && !access.fetch_again) return Loaded(Judge(kept->body, source, horizon), source);

  const FetchAnswer answer = FetchCalendar(address, kept ? kept->validators : Validators{}, access.limits);
  if (answer.outcome == FetchAnswer::Outcome::NotModified && kept) {
    LoadedCalendar loaded = Loaded(Judge(kept->body, source, horizon), source);
    kept->checked = access.now.toUTC();
    if (!answer.validators.etag.isEmpty()) kept->validators.etag = answer.validators.etag;
    if (!answer.validators.last_modified.isEmpty()) kept->validators.last_modified = answer.validators.last_modified;
    if (loaded.ok()) Keep(access, *kept, source, loaded);
    return loaded;
  }
  if (answer.outcome == FetchAnswer::Outcome::Fetched) {
    const Judged judged = Judge(answer.body, source, horizon);
    if (judged.ok() || !kept) {
      LoadedCalendar loaded = Loaded(judged, source);
      if (loaded.ok()) Keep(access, {address, access.now.toUTC(), answer.validators, answer.body}, source, loaded);
      return loaded;
    }
    // What the server gives now is refused: the last good copy holds until it mends it.
    QStringList said;
    if (judged.too_large) said << kFetchedRefusedText.arg(source, kTooLargeWords);
    for (const QString& fault : judged.faults) said << kFetchedRefusedText.arg(source, fault);
    said << kRefusedCopyUsedText.arg(source, When(*kept), CopyAge(kept->checked, access.now));
    return FromCopy(*kept, source, horizon, said);
  }
  const QString why = FetchFailureText(answer.failure, access.limits);
  if (!kept) return {{}, {kNoCopyText.arg(source, why)}, {}};
  return FromCopy(*kept, source, horizon, {kCopyUsedText.arg(source, why, When(*kept), CopyAge(kept->checked, access.now))});
}

}  // namespace

LoadedCalendar LoadCalendar(const YearPlan& plan, const QString& source, QDate horizon, const CalendarAccess& access) {
  return IsWebCalendar(source) ? LoadWeb(source, horizon, access) : LoadFile(plan, source, horizon);
}

}  // namespace zmr
