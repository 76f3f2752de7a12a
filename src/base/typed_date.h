#pragma once
// A date as a person types it into a field: whole, in ISO form (2027-01-18) or in the
// PC's short date form. Nothing is guessed: a part left out is no date.
#include <QDate>
#include <QString>
#include <optional>

namespace zmr {

// `short_format` is the PC's short date format as QLocale gives it ("dd/MM/yyyy",
// "M/d/yy", "dd.MM.yy"). Leading zeros may be typed or left out, the year in two digits
// (this century) or four. Anything else (a missing part, a day the month has not, trailing words)
// is nullopt.
std::optional<QDate> TypedDate(const QString& text, const QString& short_format);

// The example a refusal gives: the date in ISO form and in the short date form.
QString DateExamples(QDate date, const QString& short_format);

}  // namespace zmr
