#include "plan/ics_scan.h"

#include <array>
#include <utility>

#include "plan/calendar_texts.h"

namespace zmr {
namespace {

constexpr std::array<const char*, 7> kDayProperties = {"DTSTART", "DTEND",  "DURATION",     "RRULE",
                                                       "RDATE",   "EXDATE", "RECURRENCE-ID"};

bool DecidesDays(const QByteArray& name) {
  for (const char* p : kDayProperties)
    if (name == p) return true;
  return false;
}

// The name ends at the first ';' or ':'; the value starts after the first ':' that is not
// inside a quoted parameter value (TZID="..." may hold one).
std::pair<QByteArray, qsizetype> NameAndValueStart(const QByteArray& line) {
  qsizetype name_end = 0;
  while (name_end < line.size() && line[name_end] != ';' && line[name_end] != ':') ++name_end;
  bool quoted = false;
  for (qsizetype i = name_end; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return {line.left(name_end).trimmed().toUpper(), i + 1};
  }
  return {line.left(name_end).trimmed().toUpper(), line.size()};
}

QString UnescapeText(const QByteArray& value) {
  QByteArray out;
  out.reserve(value.size());
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      out += (next == 'n' || next == 'N') ? ' ' : next;
    } else {
      out += value[i];
    }
  }
  return QString::fromUtf8(out).trimmed();
}

class Scanner {
 public:
  void line(const QByteArray& text, int number) {
    const auto [name, value_start] = NameAndValueStart(text);
    const QByteArray value = text.mid(value_start);
    if (name == "BEGIN") {
      const QByteArray kind = value.trimmed().toUpper();
      if (kind == "VEVENT" && !open_.empty() && open_.back().first == "VCALENDAR") {
        scan_.events.push_back({number, {}, {}});
        event_depth_ = open_.size() + 1;
      }
      open_.emplace_back(kind, number);
    } else if (name == "END") {
      close(value.trimmed().toUpper(), number);
    } else if (event_depth_ != 0 && open_.size() == event_depth_) {
      if (name == "SUMMARY") scan_.events.back().summary = UnescapeText(value);
      if (DecidesDays(name)) scan_.events.back().day_lines.push_back({name, text, value, number});
    }
  }

  IcsScan finish() {
    for (const auto& [kind, line] : open_)
      scan_.faults.push_back({line, kIcsNeverClosedText.arg(QString::fromUtf8(kind))});
    return std::move(scan_);
  }

 private:
  // An END closes the innermost BEGIN of its kind; those opened inside it and never
  // closed are faults of their own.
  void close(const QByteArray& kind, int number) {
    qsizetype at = static_cast<qsizetype>(open_.size()) - 1;
    while (at >= 0 && open_[static_cast<std::size_t>(at)].first != kind) --at;
    if (at < 0) {
      scan_.faults.push_back({number, kIcsStrayEndText.arg(QString::fromUtf8(kind))});
      return;
    }
    while (static_cast<qsizetype>(open_.size()) > at + 1) {
      scan_.faults.push_back(
          {open_.back().second, kIcsNeverClosedText.arg(QString::fromUtf8(open_.back().first))});
      open_.pop_back();
    }
    open_.pop_back();
    if (open_.size() < event_depth_) event_depth_ = 0;
  }

  IcsScan scan_;
  std::vector<std::pair<QByteArray, int>> open_;  // kind and line of each open BEGIN
  std::size_t event_depth_ = 0;                   // open_.size() inside the current event; 0: none
};

}  // namespace

IcsScan ScanIcs(const QByteArray& bytes) {
  Scanner scanner;
  QByteArray unfolded;
  int start = 0;
  int number = 0;
  qsizetype from = 0;
  while (from < bytes.size()) {
    qsizetype to = bytes.indexOf('\n', from);
    if (to < 0) to = bytes.size();
    QByteArray physical = bytes.mid(from, to - from);
    if (physical.endsWith('\r')) physical.chop(1);
    from = to + 1;
    ++number;
    // A line that starts with a blank continues the one before (RFC 5545 folding).
    if (!physical.isEmpty() && (physical[0] == ' ' || physical[0] == '\t') && start != 0) {
      unfolded += physical.mid(1);
      continue;
    }
    if (!unfolded.trimmed().isEmpty()) scanner.line(unfolded, start);
    unfolded = physical;
    start = number;
  }
  if (!unfolded.trimmed().isEmpty()) scanner.line(unfolded, start);
  return scanner.finish();
}

QString EventName(const IcsEvent& event) {
  return event.summary.isEmpty() ? kIcsNamelessEventText : kIcsEventText.arg(event.summary);
}

}  // namespace zmr
