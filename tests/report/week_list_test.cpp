// The week as a list: its rows from the project, and its pages read back with poppler's
// tools (the report tests' Gui application of report_pdf_test.cpp draws them).
#include "report/week_list.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "editor/entry_checks.h"
#include "report/paint/week_list_report.h"
#include "support/pdf_in_memory.h"
#include "support/pdf_tools.h"
#include "support/project_fixtures.h"
#include "support/report_fixtures.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const QDate kToday(2004, 3, 5);
const QString kLongTitle = QStringLiteral(
    "Lunch for the lower school, the upper school and the staff room, then the yard duty changes hands");

QStringList RowTexts(const std::vector<WeekListRow>& rows) {
  QStringList texts;
  for (const WeekListRow& r : rows) {
    texts << QStringList{r.day_name, r.time, r.pulse, r.title}.join('|');
  }
  return texts;
}

TEST(WeekListRows, EachDaysEventsInTimeOrderWithTheDayOnItsFirstRowAndNothingForAnEmptyDay) {
  ProjectSetup p{};
  ResetProject(p);
  // Monday as a loaded file may hold it: out of order, with a gap.
  AddPulse(p, 1, 1, 10, 0, 5, "Break");
  AddPulse(p, 1, 2, 8, 0, 59, kLongTitle);
  AddPulse(p, 1, 4, 9, 5, 1);
  p.slot(3, 1) = MakeEvent(EventKind::On, "Heating", 6, 0, 0);
  p.slot(6, 1) = MakeEvent(static_cast<EventKind>(9), "Odd", 7, 30, 3);
  EXPECT_EQ(RowTexts(WeekListRows(p)), (QStringList{
                                           "Monday|08:00|59 s|" + kLongTitle,
                                           "|09:05|1 s|",
                                           "|10:00|5 s|Break",
                                           "Wednesday|06:00|On|Heating",
                                           "Saturday|07:30||Odd",
                                       }));
  ResetProject(p);
  EXPECT_TRUE(WeekListRows(p).empty());

  // The feed gives the rows once per production and starts over at the next.
  AddPulse(p, 2, 1, 12, 0, 3);
  WeekListFeed feed(p);
  for (int run = 0; run < 2; ++run) {
    feed.BeforePrint();
    WeekListRow row;
    ASSERT_TRUE(feed.NeedData(row));
    EXPECT_EQ(row.day_name, "Tuesday");
    EXPECT_TRUE(row.first_of_day);
    EXPECT_FALSE(feed.NeedData(row));
    EXPECT_FALSE(feed.NeedData(row));
  }
}

TEST(WeekListRows, TheTitleOfThePageAndTheNameOfItsPdf) {
  ProjectSummary s{};
  s.title.setText("Main Hall");
  const ReportHeaderTexts texts = WeekListHeader(s, QDate(2004, 3, 5));
  EXPECT_EQ(texts.qr_maintitle, "Week List: 05/03/2004");
  EXPECT_EQ(texts.qr_title, "Main Hall");
  const std::pair<const char*, const char*> names[] = {{"Main Hall", "Main Hall list.pdf"},
                                                       {"", "Week List.pdf"},
                                                       {"a/b", "a_b list.pdf"},
                                                       {" .. ", "Week List.pdf"}};
  for (const auto& [title, name] : names) {
    EXPECT_EQ(WeekListPdfName(title), name) << title;
  }
}

// A school's usual week: 13 bells Monday to Friday, one title longer than a line.
std::unique_ptr<ProjectSetup> SchoolWeek() {
  auto p = ReportWeek(0);
  const std::pair<int, int> times[] = {{8, 0},   {8, 45},  {9, 30},  {10, 15}, {10, 30}, {11, 15}, {12, 0},
                                       {12, 45}, {13, 30}, {14, 15}, {14, 30}, {15, 15}, {16, 0}};
  for (int d = 1; d <= 5; ++d) {
    int slot = 0;
    for (const auto& [h, m] : times) {
      ++slot;
      AddPulse(*p, d, slot, h, m, 3, h == 12 && m == 0 ? kLongTitle : QStringLiteral("Lesson %1").arg(slot));
    }
  }
  return p;
}

class WeekListPdfTest : public ::testing::Test {
 protected:
  QString Write(const ProjectSetup& p) {
    const QString path = dir.file("list.pdf");
    WriteWeekListPdf(path, p, kToday);
    return path;
  }
  static QStringList Lines(const QString& path, int page) {
    const QString n = QString::number(page);
    QStringList lines;
    for (const QString& l :
         QString::fromUtf8(RunTool("pdftotext", {"-layout", "-f", n, "-l", n, path, "-"})).split('\n')) {
      // Poppler may read the narrow blank of "3 s" as none.
      static const QRegularExpression seconds("(\\d)s\\b");
      if (!l.trimmed().isEmpty()) {
        lines << l.simplified().replace(seconds, "\\1 s");
      }
    }
    return lines;
  }
  static QStringList DaysOn(const QStringList& lines) {
    static const QRegularExpression day("^(Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday) ");
    QStringList days;
    for (const QString& l : lines) {
      if (const auto m = day.match(l); m.hasMatch()) {
        days << m.captured(1);
      }
    }
    return days;
  }
  TempDir dir;
};

TEST_F(WeekListPdfTest, EachEventOnItsOwnLineWithItsWholeTitleAndADayGoingOnOverAPageNamedAgain) {
  const auto week = SchoolWeek();
  const QString path = Write(*week);
  ASSERT_EQ(PdfInfo(path, "Pages"), "2");
  EXPECT_EQ(PdfInfo(path, "Title"), "Northfield School bells");
  const QStringList first = Lines(path, 1);
  const QStringList second = Lines(path, 2);
  for (const QStringList& page : {first, second}) {
    ASSERT_GE(page.size(), 8);
    EXPECT_EQ(page[0], "Week List: 05/03/2004");
    EXPECT_EQ(page[1], "Title: Northfield School bells");
    EXPECT_EQ(page[6], "Day Time Pulse Title");
  }
  EXPECT_EQ(first[7], "Monday 08:00 3 s Lesson 1");
  EXPECT_EQ(first[8], "08:45 3 s Lesson 2");
  EXPECT_EQ(DaysOn(first), (QStringList{"Monday", "Tuesday", "Wednesday", "Thursday"}));
  EXPECT_EQ(DaysOn(second), (QStringList{"Thursday", "Friday"}));
  // 65 events, each on a line of its own; the long title wraps whole onto a second line.
  static const QRegularExpression event("\\d\\d:\\d\\d 3 s ");
  const QStringList all = first + second;
  EXPECT_EQ(all.filter(event).size(), 65);
  const QString text = all.join(' ');
  EXPECT_EQ(text.count("Lunch for the lower school"), 5);
  EXPECT_EQ(text.count("hands"), 5);
  EXPECT_FALSE(text.contains(QChar(0x2026)));
}

TEST_F(WeekListPdfTest, AnEmptyWeekPrintsItsHeaderAloneAndTheReportObjectStartsOverEachTime) {
  const auto empty = ReportWeek(0);
  const QString path = Write(*empty);
  EXPECT_EQ(PdfInfo(path, "Pages"), "1");
  EXPECT_EQ(Lines(path, 1).size(), 7);  // title, five fields, the headings

  const auto week = SchoolWeek();
  WeekListBandReport report(*week, [] { return kToday; });
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(ProduceInMemory([&](QPagedPaintDevice& device) { return report.print(device); }).pages, 2) << run;
  }
}

}  // namespace
}  // namespace zmr
