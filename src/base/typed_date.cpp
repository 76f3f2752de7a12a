#include "base/typed_date.h"

#include <QRegularExpression>
#include <vector>

namespace zmr {
namespace {

constexpr int kCenturyOfShortYears = 2000;  // school years are of this century
constexpr int kShortYearDigits = 2;
constexpr int kYearDigits = 4;

enum class Part { Day, Month, Year };

// The format as a pattern with one group per part, in the format's order; nullopt when the
// format holds a part that is not a number (a month's or a day's name).
struct ShortPattern {
  QRegularExpression pattern;
  std::vector<Part> parts;
};

std::optional<ShortPattern> PatternOf(const QString& format) {
  QString pattern = QStringLiteral("^");
  std::vector<Part> parts;
  for (qsizetype at = 0; at < format.size();) {
    const QChar c = format[at];
    qsizetype run = 1;
    while (at + run < format.size() && format[at + run] == c) ++run;
    if (c == u'd' || c == u'M') {
      if (run > 2) return std::nullopt;
      parts.push_back(c == u'd' ? Part::Day : Part::Month);
      pattern += QStringLiteral("(\\d{1,2})");
    } else if (c == u'y') {
      if (run != kShortYearDigits && run != kYearDigits) return std::nullopt;
      // Either length is taken, whichever the PC writes.
      parts.push_back(Part::Year);
      pattern += QStringLiteral("(\\d{2}|\\d{4})");
    } else if (c.isLetter() || c == u'\'') {
      return std::nullopt;
    } else {
      pattern += QRegularExpression::escape(format.mid(at, run));
    }
    at += run;
  }
  return ShortPattern{QRegularExpression(pattern + QStringLiteral("\\z")), parts};
}

std::optional<QDate> DateOf(const QRegularExpressionMatch& match, const std::vector<Part>& parts) {
  if (!match.hasMatch()) return std::nullopt;
  int day = 0, month = 0, year = 0;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const int value = match.captured(static_cast<int>(k) + 1).toInt();
    switch (parts[k]) {
      case Part::Day: day = value; break;
      case Part::Month: month = value; break;
      case Part::Year:
        year = match.capturedLength(static_cast<int>(k) + 1) == kShortYearDigits ? kCenturyOfShortYears + value : value;
        break;
    }
  }
  const QDate date(year, month, day);
  return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

}  // namespace

std::optional<QDate> TypedDate(const QString& text, const QString& short_format) {
  const QString typed = text.trimmed();
  static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})\\z"));
  if (auto date = DateOf(iso.match(typed), {Part::Year, Part::Month, Part::Day})) return date;
  if (const std::optional<ShortPattern> form = PatternOf(short_format)) {
    return DateOf(form->pattern.match(typed), form->parts);
  }
  // A short form with names in it: only what Qt reads back exactly.
  const QDate date = QDate::fromString(typed, short_format);
  return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

QString DateExamples(QDate date, const QString& short_format) {
  const QString iso = date.toString(Qt::ISODate);
  const QString local = date.toString(short_format);
  return local == iso ? iso : QStringLiteral("%1 or %2").arg(iso, local);
}

}  // namespace zmr
