#include "plan/plan_reader.h"

#include <QDir>
#include <QFileInfo>
#include <set>
#include <sstream>
#include <toml++/toml.h>

#include "base/errors.h"
#include "base/file_io.h"
#include "base/prompts.h"
#include "link/network_address.h"
#include "plan/calendar_reader.h"
#include "plan/holiday_calendar.h"
#include "plan/plan_files.h"
#include "project/project_file.h"

namespace zmr {
namespace {

constexpr std::size_t kMaxPlanBytes = 1024 * 1024;

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The message a project read would show, taken instead of shown.
class NotedPrompts : public HeadlessPrompts {
 public:
  QString text;
  BoxAnswer message(BoxKind, const QString& t, BoxButtons) override {
    text = t;
    return BoxAnswer::Ok;
  }
};

class Checker {
 public:
  explicit Checker(PlanReading& reading)
      : reading_(reading), file_(QFileInfo(reading.plan.path).fileName()) {}

  void fault(int line, std::string_view key, const QString& text) { reading_.faults.push_back(record(line, key, text)); }

  PlanFault record(int line, std::string_view key, const QString& text) const { return {file_, line, Q(key), text}; }

  void plan(const toml::table& top) {
    YearPlan& p = reading_.plan;
    bool has_week = false;
    for (auto&& [key, node] : top) {
      const int line = static_cast<int>(key.source().begin.line);
      const std::string_view k = key.str();
      if (k == "port") {
        if (auto s = text(node, line, "port")) {
          p.port = *s;
          // An address that would be refused at every run is a fault of the plan now.
          if (IsNetworkPortName(*s)) {
            if (const ParsedAddress a = ParseNetworkAddress(*s); !a.address) {
              fault(line, "port", QStringLiteral("'port' is no network address: %1").arg(a.problem));
            }
          }
        }
      } else if (k == "week") {
        has_week = true;
        if (auto s = text(node, line, "week")) p.week = *s;
        reading_.weeks_named.push_back({p.week, line});
      } else if (k == "clock_tolerance") {
        const auto v = node.value_exact<std::int64_t>();
        if (!v || *v < 0 || *v > kMaxClockTolerance) {
          fault(line, "clock_tolerance",
                QStringLiteral("'clock_tolerance' must be a whole number of seconds from 0 to %1")
                    .arg(kMaxClockTolerance));
        } else {
          p.clock_tolerance = static_cast<int>(*v);
        }
      } else if (k == "holidays") {
        holidays(node, line);
      } else if (k == "period") {
        periods(node, line);
      } else {
        fault(line, k, QStringLiteral("unknown key '%1'").arg(Q(k)));
      }
    }
    if (!has_week) {
      fault(0, "week", QStringLiteral("'week' is missing: the week in force when no period says otherwise"));
    }
  }

 private:
  std::optional<QString> text(const toml::node& node, int line, const char* key) {
    const auto v = node.value_exact<std::string>();
    if (!v || v->empty()) {
      fault(line, key, QStringLiteral("'%1' must be a text in quotes, not empty").arg(QLatin1String(key)));
      return std::nullopt;
    }
    return Q(*v);
  }

  std::optional<QDate> date(const toml::node& node, int line, const char* key) {
    const auto d = node.value_exact<toml::date>();
    const QDate q = d ? QDate(d->year, d->month, d->day) : QDate();
    if (!q.isValid()) {
      fault(line, key, QStringLiteral("'%1' must be a date such as 2027-05-10").arg(QLatin1String(key)));
      return std::nullopt;
    }
    return q;
  }

  void holidays(const toml::node& node, int line) {
    const toml::array* list = node.as_array();
    if (list == nullptr) {
      fault(line, "holidays",
            QStringLiteral("'holidays' must be a list of calendar files, e.g. [\"term-dates.ics\"]"));
      return;
    }
    for (const toml::node& item : *list) {
      const int at = item.source().begin.line > 0 ? static_cast<int>(item.source().begin.line) : line;
      if (const toml::table* entry = item.as_table()) {
        calendar(*entry, at);
      } else if (auto s = text(item, at, "holidays")) {
        add({*s, {}}, at);
      }
    }
  }

  // { file = "terms.ics", only = ["half term", "holiday"] }
  void calendar(const toml::table& t, int at) {
    HolidayCalendar calendar;
    bool has_file = false, good = true;
    for (auto&& [key, node] : t) {
      const int line = key.source().begin.line > 0 ? static_cast<int>(key.source().begin.line) : at;
      const std::string_view k = key.str();
      if (k == "file") {
        has_file = true;
        const auto s = text(node, line, "file");
        good = good && s.has_value();
        calendar.source = s.value_or(QString());
      } else if (k == "only") {
        const auto w = words(node, line);
        good = good && w.has_value();
        calendar.only = w.value_or(QStringList());
      } else {
        fault(line, k, QStringLiteral("unknown key '%1' in a holidays entry").arg(Q(k)));
        good = false;
      }
    }
    if (!has_file) fault(at, "file", QStringLiteral("the holidays entry has no 'file'"));
    if (has_file && good) add(calendar, at);
  }

  std::optional<QStringList> words(const toml::node& node, int line) {
    const toml::array* list = node.as_array();
    if (list != nullptr && list->empty()) {
      fault(line, "only", QStringLiteral("'only' is empty, so no event would count; leave it out to count every event"));
      return std::nullopt;
    }
    QStringList words;
    for (std::size_t i = 0; list != nullptr && i < list->size(); ++i) {
      const auto v = (*list)[i].value_exact<std::string>();
      if (v && !Q(*v).trimmed().isEmpty()) words << Q(*v);
    }
    if (list == nullptr || static_cast<std::size_t>(words.size()) != list->size()) {
      fault(line, "only", QStringLiteral("'only' must be a list of words in quotes, e.g. [\"half term\", \"holiday\"]"));
      return std::nullopt;
    }
    return words;
  }

  void add(const HolidayCalendar& calendar, int line) {
    reading_.plan.holidays.push_back(calendar);
    reading_.calendars_named.push_back({calendar.source, line});
  }

  void periods(const toml::node& node, int line) {
    const toml::array* list = node.as_array();
    if (list == nullptr || !list->is_array_of_tables()) {
      fault(line, "period", QStringLiteral("'period' must be written as [[period]] tables"));
      return;
    }
    for (const toml::node& item : *list) period(*item.as_table());
  }

  void period(const toml::table& t) {
    PlanPeriod p;
    p.line = static_cast<int>(t.source().begin.line);
    bool has_week = false, no_bells = false, has_from = false, has_to = false, has_name = false;
    int to_line = p.line;
    for (auto&& [key, node] : t) {
      const int line = static_cast<int>(key.source().begin.line);
      const std::string_view k = key.str();
      if (k == "name") {
        has_name = true;
        if (auto s = text(node, line, "name")) p.name = *s;
      } else if (k == "from") {
        has_from = true;
        if (auto d = date(node, line, "from")) p.from = *d;
      } else if (k == "to") {
        has_to = true;
        to_line = line;
        if (auto d = date(node, line, "to")) p.to = *d;
      } else if (k == "week") {
        has_week = true;
        if (auto s = text(node, line, "week")) {
          p.week = *s;
          reading_.weeks_named.push_back({*s, line});
        }
      } else if (k == "bells") {
        const auto b = node.value_exact<bool>();
        if (!b || *b) {
          fault(line, "bells",
                QStringLiteral("'bells' can only be false: a period with bells names its 'week'"));
        } else {
          no_bells = true;
        }
      } else {
        fault(line, k, QStringLiteral("unknown key '%1' in [[period]]").arg(Q(k)));
      }
    }
    // What a period lacks is said on its first line, of the key it lacks.
    if (!has_name) fault(p.line, "name", QStringLiteral("the period has no 'name'"));
    if (!has_from) fault(p.line, "from", QStringLiteral("the period has no 'from' date"));
    if (!has_to) fault(p.line, "to", QStringLiteral("the period has no 'to' date"));
    if (has_week && no_bells) {
      fault(p.line, "week",
            QStringLiteral("the period has both 'week' and 'bells = false'; it needs one of them"));
    } else if (!has_week && !no_bells) {
      fault(p.line, "week",
            QStringLiteral("the period has neither 'week' nor 'bells = false'; it needs one of them"));
    }
    if (p.from.isValid() && p.to.isValid() && p.to < p.from) {
      fault(to_line, "to",
            QStringLiteral("'to' %1 is before 'from' %2")
                .arg(p.to.toString(Qt::ISODate), p.from.toString(Qt::ISODate)));
    }
    reading_.plan.periods.push_back(p);
  }

  PlanReading& reading_;
  QString file_;
};

// Faults in the order of the file's lines; those of the whole file first.
void SortByLine(std::vector<PlanFault>& faults) {
  std::stable_sort(faults.begin(), faults.end(),
                   [](const PlanFault& a, const PlanFault& b) { return a.line < b.line; });
}

const QString kNoneCountsText =
    QStringLiteral("calendar '%1': none of its events holds a word of 'only', so none of them counts");

}  // namespace

QString FaultLine(const PlanFault& fault) {
  return fault.line > 0 ? QStringLiteral("%1 line %2: %3").arg(fault.file).arg(fault.line).arg(fault.text)
                        : QStringLiteral("%1: %2").arg(fault.file, fault.text);
}

QStringList FaultLines(const std::vector<PlanFault>& faults) {
  QStringList lines;
  for (const PlanFault& fault : faults) lines << FaultLine(fault);
  return lines;
}

QString YearPlan::resolve(const QString& named) const {
  return QDir(QFileInfo(path).absolutePath()).filePath(named);
}

PlanReading ParsePlan(std::string_view text, const QString& path) {
  PlanReading reading;
  reading.plan.path = path;
  reading.plan.name = QFileInfo(path).completeBaseName();
  Checker checker(reading);
  try {
    const toml::table top = toml::parse(text, path.toStdString());
    checker.plan(top);
  } catch (const toml::parse_error& e) {
    checker.fault(static_cast<int>(e.source().begin.line), {}, Q(e.description()));
  }
  SortByLine(reading.faults);
  return reading;
}

void LoadPlanFiles(PlanReading& reading, QDate day, const CalendarAccess& access) {
  YearPlan& plan = reading.plan;
  Checker checker(reading);
  std::set<QString> done;
  for (const auto& [week, line] : reading.weeks_named) {
    if (week.isEmpty() || !done.insert(week).second) continue;
    // A folder on the way that the job's user may not search is not a missing file.
    if (const QString unreadable = Unreachable(plan.resolve(week)); !unreadable.isEmpty()) {
      checker.fault(line, "week", QStringLiteral("week '%1' %2").arg(week, unreadable));
      continue;
    }
    auto project = std::make_shared<ProjectSetup>();
    NotedPrompts noted;
    try {
      if (ReadProjectFile(plan.resolve(week), *project, noted) == OpenOutcome::Opened) {
        plan.weeks[week] = std::move(project);
      } else if (!QFileInfo::exists(plan.resolve(week))) {
        checker.fault(line, "week", QStringLiteral("week '%1' is not there").arg(week));
      } else {
        checker.fault(line, "week", QStringLiteral("week '%1' is not a valid project (.psf) file").arg(week));
      }
    } catch (const IoError& e) {
      checker.fault(line, "week", QStringLiteral("week '%1' cannot be read: %2").arg(week, Sentence(e)));
    }
  }
  const QDate horizon = day.addYears(kRecurrenceYearsAhead);
  for (std::size_t i = 0; i < reading.calendars_named.size(); ++i) {
    const auto& [calendar, line] = reading.calendars_named[i];
    const LoadedCalendar loaded = LoadCalendar(plan, calendar, horizon, access);
    for (const QString& fault : loaded.faults) checker.fault(line, "holidays", fault);
    if (!loaded.ok()) continue;
    for (const QString& w : loaded.warnings) plan.warnings.push_back(checker.record(line, "holidays", w));
    const QStringList& only = plan.holidays[i].only;
    const std::vector<HolidaySpan> counting = CountingSpans(loaded.spans, only);
    if (counting.empty() && !loaded.spans.empty()) {
      plan.warnings.push_back(checker.record(line, "only", kNoneCountsText.arg(calendar)));
    }
    plan.holiday_spans.insert(plan.holiday_spans.end(), counting.begin(), counting.end());
  }
  SortByLine(reading.faults);
}

PlanReading ReadPlan(const QString& path, QDate day, const CalendarAccess& access) {
  std::string text;
  try {
    const std::vector<std::uint8_t> bytes = ReadFileStart(path, kMaxPlanBytes + 1);
    if (bytes.size() > kMaxPlanBytes) {
      PlanReading refused;
      refused.plan.path = path;
      refused.plan.name = QFileInfo(path).completeBaseName();
      Checker(refused).fault(0, {}, QStringLiteral("too large to be a plan"));
      return refused;
    }
    text.assign(bytes.begin(), bytes.end());
  } catch (const IoError& e) {
    PlanReading refused;
    refused.plan.path = path;
    refused.plan.name = QFileInfo(path).completeBaseName();
    Checker(refused).fault(0, {}, QStringLiteral("cannot be read: %1").arg(Sentence(e)));
    return refused;
  }
  PlanReading reading = ParsePlan(text, path);
  LoadPlanFiles(reading, day, access);
  return reading;
}

std::string PlanText(const YearPlan& plan) {
  toml::table top;
  if (plan.port) top.insert("port", plan.port->toStdString());
  top.insert("week", plan.week.toStdString());
  if (plan.clock_tolerance != kDefaultClockTolerance) top.insert("clock_tolerance", plan.clock_tolerance);
  if (!plan.holidays.empty()) {
    toml::array calendars;
    for (const HolidayCalendar& c : plan.holidays) {
      if (c.only.isEmpty()) {
        calendars.push_back(c.source.toStdString());
        continue;
      }
      toml::array words;
      for (const QString& w : c.only) words.push_back(w.toStdString());
      toml::table entry{{"file", c.source.toStdString()}, {"only", std::move(words)}};
      entry.is_inline(true);
      calendars.push_back(std::move(entry));
    }
    top.insert("holidays", std::move(calendars));
  }
  if (!plan.periods.empty()) {
    toml::array periods;
    for (const PlanPeriod& p : plan.periods) {
      toml::table t;
      t.insert("name", p.name.toStdString());
      t.insert("from", toml::date(p.from.year(), p.from.month(), p.from.day()));
      t.insert("to", toml::date(p.to.year(), p.to.month(), p.to.day()));
      if (p.week.isEmpty()) {
        t.insert("bells", false);
      } else {
        t.insert("week", p.week.toStdString());
      }
      periods.push_back(std::move(t));
    }
    top.insert("period", std::move(periods));
  }
  std::ostringstream out;
  out << top << '\n';
  return out.str();
}

void WritePlanFile(const YearPlan& plan) {
  const std::string text = PlanText(plan);
  ReplaceFile(plan.path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
              ReplaceMode::CreateOrReplace);
}

}  // namespace zmr
