#include "editor/typed_time.h"

#include <QRegularExpression>

namespace zmr {
namespace {

constexpr int kMinuteStart = 3;  // the first minute position, after "HH:"

bool IsSeparator(QChar c) { return c == u':' || c == u'.'; }

}  // namespace

std::optional<TimeFieldEdit> TimeFieldKey(const QString& positions, int cursor, QChar key) {
  if (positions.size() != 5) {
    return std::nullopt;
  }
  if (IsSeparator(key)) {
    // Right after the first hour digit the hour has just that one digit, whatever an
    // earlier time left in the second position.
    if (cursor == 1 && positions[0].isDigit()) {
      return TimeFieldEdit{u' ' + positions.left(1) + positions.mid(2), kMinuteStart};
    }
    // Elsewhere in the hour the separator only moves on; in the minutes it is refused.
    return TimeFieldEdit{positions, cursor < kMinuteStart ? kMinuteStart : cursor};
  }
  if (key == u' ' && cursor == 0) {
    return TimeFieldEdit{u' ' + positions.mid(1), 1};
  }
  return std::nullopt;
}

std::optional<QString> TimeFieldFromText(const QString& text) {
  static const QRegularExpression time(QStringLiteral("^(\\d{1,2})[:.]?(\\d\\d)\\z"));
  const QRegularExpressionMatch m = time.match(text.trimmed());
  if (!m.hasMatch()) {
    return std::nullopt;
  }
  return m.captured(1).rightJustified(2, u' ') + u':' + m.captured(2);
}

}  // namespace zmr
