#pragma once
// Times typed the way people write them ("7:05", "705", "07:05") put into the time
// field's five positions. The field keeps its form: two hour positions (the first may be
// blank), ":", two minute positions; a blank position is ' ' here. Nothing is checked
// for range: an incomplete or impossible time still meets the insert's own refusals.
#include <QString>
#include <optional>

namespace zmr {

// The field's positions and its cursor after a key.
struct TimeFieldEdit {
  QString positions;  // five characters, e.g. " 7:05"
  int cursor = 0;
};

// What a key that the masked field would get wrong does to the field: ":" or "." right
// after the first hour digit makes it a one-digit hour and moves on to the minutes (before the
// minutes it only moves there); a blank as the first hour position leaves it blank.
// Nothing when the key is for the field itself.
std::optional<TimeFieldEdit> TimeFieldKey(const QString& positions, int cursor, QChar key);

// A whole time as pasted or dropped: "7:05", "07:05", "7.05", "705", "0705", blanks
// around it allowed. Nothing when the text is no such time.
std::optional<QString> TimeFieldFromText(const QString& text);

}  // namespace zmr
