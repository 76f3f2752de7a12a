// Dates typed whole into a field: ISO or the PC's short form, and nothing guessed.
#include <gtest/gtest.h>

#include "base/typed_date.h"

namespace zmr {
namespace {

TEST(TypedDate, IsTheDateTypedWholeOrNone) {
  const QDate none;
  const struct {
    const char* typed;
    const char* short_format;
    QDate date;
  } cases[] = {
      {"2027-01-18", "dd/MM/yyyy", QDate(2027, 1, 18)},
      {" 2027-06-07 ", "dd/MM/yyyy", QDate(2027, 6, 7)},
      {"2027-1-8", "M/d/yy", QDate(2027, 1, 8)},
      {"18/01/2027", "dd/MM/yyyy", QDate(2027, 1, 18)},
      {"18/1/27", "dd/MM/yyyy", QDate(2027, 1, 18)},
      {"1/18/27", "M/d/yy", QDate(2027, 1, 18)},
      {"1/18/2027", "M/d/yy", QDate(2027, 1, 18)},
      {"18.01.27", "dd.MM.yy", QDate(2027, 1, 18)},
      {"2027/01/18", "yyyy/MM/dd", QDate(2027, 1, 18)},
      {"18 janv. 2027", "d MMM yyyy", none},  // names are read only as the C locale writes them
      {"18 Jan 2027", "d MMM yyyy", QDate(2027, 1, 18)},
      // Not whole, not a day, or more than a date: refused, never another date.
      {"2027-01", "dd/MM/yyyy", none},
      {"2027-13-01", "dd/MM/yyyy", none},
      {"2027-02-29", "dd/MM/yyyy", none},
      {"2027-01-18x", "dd/MM/yyyy", none},
      {"27-01-18", "dd/MM/yyyy", none},
      {"18/01", "dd/MM/yyyy", none},
      {"01/18/2027", "dd/MM/yyyy", none},
      {"18/01/2027", "M/d/yy", none},
      {"18/01/202", "dd/MM/yyyy", none},
      {"", "dd/MM/yyyy", none},
      {"tomorrow", "dd/MM/yyyy", none},
  };
  for (const auto& c : cases) {
    const std::optional<QDate> typed = TypedDate(c.typed, c.short_format);
    EXPECT_EQ(typed.value_or(QDate()), c.date) << c.typed << " as " << c.short_format;
  }
}

TEST(TypedDate, ExamplesShowBothFormsOnce) {
  EXPECT_EQ(DateExamples(QDate(2026, 10, 23), "dd/MM/yyyy"), "2026-10-23 or 23/10/2026");
  EXPECT_EQ(DateExamples(QDate(2026, 10, 23), "yyyy-MM-dd"), "2026-10-23");
}

}  // namespace
}  // namespace zmr
