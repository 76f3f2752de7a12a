#include "exchange/schedule_csv.h"

#include <QStringDecoder>
#include <optional>
#include <string_view>
#include <variant>

#include "editor/editor_texts.h"
#include "editor/entry_checks.h"
#include "exchange/csv_splitter.h"
#include "exchange/exchange_texts.h"

namespace zmr {
namespace {

constexpr std::array<std::string_view, kDays> kDayNames = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<std::string_view, 5> kColumns = {"day", "time", "pulse", "kind", "title"};
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr int kMaxPulseByte = 255;

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A plain decimal number of at most three digits.
std::optional<int> Number(std::string_view text) {
  if (text.empty() || text.size() > 3) {
    return std::nullopt;
  }
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
  }
  return value;
}

// 1..7 from "Mon".."Sun" in any case or from "1".."7".
std::optional<int> Day(std::string_view text) {
  for (int d = 1; d <= kDays; ++d) {
    if (EqualsNoCase(text, kDayNames[static_cast<std::size_t>(d - 1)])) {
      return d;
    }
  }
  if (text.size() == 1 && text[0] >= '1' && text[0] <= '7') {
    return text[0] - '0';
  }
  return std::nullopt;
}

// H:MM or HH:MM within a day.
std::optional<std::pair<int, int>> Time(std::string_view text) {
  if (text.size() < 4 || text.size() > 5 || text[text.size() - 3] != ':') {
    return std::nullopt;
  }
  const std::optional<int> hour = Number(text.substr(0, text.size() - 3));
  const std::string_view minute_text = text.substr(text.size() - 2);
  const std::optional<int> minute = IsDigit(minute_text[0]) ? Number(minute_text) : std::nullopt;
  if (!hour || !minute || !IsValidTime(*hour, *minute)) {
    return std::nullopt;
  }
  return std::pair{*hour, *minute};
}

std::optional<EventKind> Kind(std::string_view text) {
  if (text.empty() || EqualsNoCase(text, "pulse")) return EventKind::Pulse;
  if (EqualsNoCase(text, "on")) return EventKind::On;
  if (EqualsNoCase(text, "off")) return EventKind::Off;
  return std::nullopt;
}

std::optional<QString> Utf8(std::string_view bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (decoder.hasError()) {
    return std::nullopt;
  }
  return text;
}

QString FaultText(CsvFault fault) {
  switch (fault) {
    case CsvFault::UnclosedQuote:
      return kCsvUnclosedQuoteText;
    case CsvFault::TextAfterQuote:
      return kCsvTextAfterQuoteText;
    case CsvFault::StrayQuote:
      break;
  }
  return kCsvStrayQuoteText;
}

// One line as an event of its day, or the refusal of the line.
struct LineEvent {
  int day = 0;
  ScheduleEvent event{};
};

std::variant<LineEvent, QString> ReadLine(const CsvRecord& record) {
  if (record.fault) {
    return FaultText(*record.fault);
  }
  if (record.fieldCount() != kColumns.size()) {
    return kCsvColumnsText.arg(record.fieldCount());
  }
  const std::optional<int> day = Day(record.fields[0]);
  if (!day) return kCsvDayText;
  const auto time = Time(record.fields[1]);
  if (!time) return kInvalidTimeText;
  const std::optional<EventKind> kind = Kind(record.fields[3]);
  if (!kind) return kCsvKindText;
  const std::string& pulse_text = record.fields[2];
  int pulse = 0;
  if (*kind == EventKind::Pulse) {
    const std::optional<int> seconds = Number(pulse_text);
    if (!seconds || !IsValidPulse(*seconds)) return kInsertPulseText;
    pulse = *seconds;
  } else if (!pulse_text.empty()) {
    const std::optional<int> byte = Number(pulse_text);
    if (!byte || *byte > kMaxPulseByte) return kCsvSwitchPulseText;
    pulse = *byte;
  }
  const std::optional<QString> title = Utf8(record.fields[4]);
  if (!title) return kCsvNotUtf8Text;

  return LineEvent{*day, MakeEvent(*kind, *title, time->first, time->second, pulse)};
}

// The header decides the separator: the five names split by ',' or by ';'.
std::optional<char> HeaderSeparator(std::string_view text) {
  for (char separator : {',', ';'}) {
    CsvSplitter splitter(text, separator);
    CsvRecord header;
    if (!splitter.next(header) || header.fault || header.fieldCount() != kColumns.size()) {
      continue;
    }
    bool names = true;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
      names = names && EqualsNoCase(header.fields[i], kColumns[i]);
    }
    if (names) {
      return separator;
    }
  }
  return std::nullopt;
}

// Collects the refusals, listing the first kMaxListedFaults of them.
class Faults {
 public:
  explicit Faults(const QString& file_name) : file_name_(file_name) {}
  void add(int line, const QString& text) {
    if (static_cast<int>(list_.size()) < kMaxListedFaults) {
      list_.push_back(QStringLiteral("%1 line %2: %3").arg(file_name_).arg(line).arg(text));
    } else {
      ++unlisted_;
    }
  }
  bool any() const { return !list_.empty(); }
  std::vector<QString> take() {
    if (unlisted_ > 0) {
      list_.push_back(file_name_ + QStringLiteral(": ") + kCsvMoreFaultsText.arg(unlisted_));
    }
    return std::move(list_);
  }

 private:
  const QString& file_name_;
  std::vector<QString> list_;
  int unlisted_ = 0;
};

void AppendField(std::string& out, std::string_view value) {
  const bool quote = value.find_first_of(",;\"\r\n") != std::string_view::npos ||
                     (!value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                                         value.back() == '\t'));
  if (!quote) {
    out += value;
    return;
  }
  out += '"';
  for (char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string KindName(std::uint8_t kind) {
  switch (static_cast<EventKind>(kind)) {
    case EventKind::Pulse:
      return "Pulse";
    case EventKind::On:
      return "On";
    case EventKind::Off:
      return "Off";
    default:
      return std::to_string(kind);  // a kind without a name is written as stored
  }
}

std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

}  // namespace

std::string ScheduleCsv(const ProjectSetup& project) {
  std::string out = "day,time,pulse,kind,title\n";
  for (int day = 1; day <= kDays; ++day) {
    for (const ScheduleEvent& e : ScheduleSlots(project.day(day))) {
      if (e.isEmptyKind()) {
        continue;
      }
      out += kDayNames[static_cast<std::size_t>(day - 1)];
      out += ',' + TwoDigits(e.hour) + ':' + TwoDigits(e.minute) + ',' + std::to_string(e.pulse_seconds) + ',' +
             KindName(e.kind) + ',';
      AppendField(out, e.title.text().toUtf8().toStdString());
      out += '\n';
    }
  }
  return out;
}

CsvImport ParseScheduleCsv(std::span<const std::uint8_t> bytes, const QString& file_name) {
  CsvImport result;
  Faults faults(file_name);
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (bytes.size() > kMaxCsvBytes) {
    faults.add(1, kCsvTooLargeText.arg(kMaxCsvBytes / (1024 * 1024)));
    result.errors = faults.take();
    return result;
  }
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    faults.add(1, kCsvUtf16Text);
    result.errors = faults.take();
    return result;
  }
  if (text.starts_with(kBom)) {
    text.remove_prefix(kBom.size());
  }
  const std::optional<char> separator = HeaderSeparator(text);
  if (!separator) {
    faults.add(1, kCsvHeaderText);
    result.errors = faults.take();
    return result;
  }

  auto week = std::make_unique<ImportedWeek>();
  for (auto& day : week->days) {
    day.fill(EmptyEvent());
  }
  CsvSplitter splitter(text, *separator);
  CsvRecord record;
  splitter.next(record);  // the header
  while (splitter.next(record)) {
    if (IsBlankRecord(record)) {
      continue;
    }
    const auto line = ReadLine(record);
    if (const QString* refusal = std::get_if<QString>(&line)) {
      faults.add(record.line, *refusal);
      continue;
    }
    const LineEvent& event = std::get<LineEvent>(line);
    if (const auto refusal = AddEventToDay(week->days[static_cast<std::size_t>(event.day - 1)], event.event)) {
      faults.add(record.line, *refusal);
      continue;
    }
    ++week->events;
  }
  if (faults.any()) {
    result.errors = faults.take();
  } else {
    result.week = std::move(week);
  }
  return result;
}

void ReplaceWeek(ProjectSetup& project, const ImportedWeek& week) {
  for (int day = 1; day <= kDays; ++day) {
    std::copy(week.days[static_cast<std::size_t>(day - 1)].begin(), week.days[static_cast<std::size_t>(day - 1)].end(),
              project.day(day).begin());
    SortDay(project, day);
  }
}

}  // namespace zmr
