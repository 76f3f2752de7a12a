// The year plan's notice as it comes out: its words read back with pdftotext, where they
// stand on the page, and its colours sampled from a rendered page.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <map>

#include "plan/paint/year_plan_report.h"
#include "plan/plan_look.h"
#include "plan/plan_reader.h"
#include "report/paint/schedule_report.h"
#include "support/pdf_tools.h"
#include "support/plan_fixtures.h"
#include "support/qt_printers.h"

namespace zmr {
namespace {

using namespace zmr::testing;

const QDate kFirst(2026, 9, 14);    // any day of the first month printed
const QDate kPrinted(2026, 10, 23);

// A school year: the usual week, Christmas and summer without bells, mock exams and an
// exam week in their own week, half term from the calendar; `more` periods after them.
std::string SchoolYear(int more = 0) {
  std::string toml = R"(week = "normal.zmr"
holidays = ["terms.ics"]
[[period]]
name = "Exam week"
from = 2027-05-10
to = 2027-05-14
week = "exams.zmr"
[[period]]
name = "Christmas holidays"
from = 2026-12-21
to = 2027-01-03
bells = false
[[period]]
name = "Mock exams"
from = 2027-01-18
to = 2027-01-22
week = "exams.zmr"
[[period]]
name = "Summer holidays"
from = 2027-07-17
to = 2027-09-01
bells = false
)";
  for (int k = 1; k <= more; ++k) {
    const QDate day = QDate(2026, 9, 1).addDays(7 * k);
    toml += QStringLiteral("[[period]]\nname = \"Trip %1\"\nfrom = %2\nto = %2\nbells = false\n")
                .arg(k)
                .arg(day.toString(Qt::ISODate))
                .toStdString();
  }
  return toml;
}

class YearNotice : public ::testing::Test {
 protected:
  // The plan as the reader gives it, its notice written beside it.
  QString Write(const std::string& toml) {
    files.write("north.toml", toml);
    const PlanReading reading = ReadPlan(files.file("north.toml"), kPrinted);
    EXPECT_TRUE(reading.ok()) << FaultLines(reading.faults).join('\n').toStdString();
    plan = reading.plan;
    const QString pdf = files.file("north.pdf");
    WritePdfFile(pdf, YearPlanPdf(plan, kFirst, kPrinted));
    return pdf;
  }
  static QString Text(const QString& pdf, int page) {
    const QString n = QString::number(page);
    return QString::fromUtf8(RunTool("pdftotext", {"-layout", "-f", n, "-l", n, pdf, "-"}));
  }

  PlanFolder files;
  YearPlan plan;
};

TEST_F(YearNotice, TheYearsMonthsLegendPeriodsAndHolidaysAreOnTheNotice) {
  const QString pdf = Write(SchoolYear());
  EXPECT_EQ(PdfInfo(pdf, "Pages"), "1");
  EXPECT_EQ(PdfInfo(pdf, "Title"), "Year plan north");
  EXPECT_EQ(PdfInfo(pdf, "Page size"), "595 x 842 pts (A4)");
  const QString text = Text(pdf, 1);
  for (const char* words :
       {"Year plan north", "September 2026 to August 2027 · printed Fri 23 Oct 2026",
        "September 2026", "October 2026", "November 2026", "December 2026", "January 2027", "February 2027",
        "March 2027", "April 2027", "May 2027", "June 2027", "July 2027", "August 2027", "normal.zmr (usual week)",
        "exams.zmr", "No bells", "Periods", "Holidays from the calendars"}) {
    EXPECT_TRUE(text.contains(words)) << words << "\n" << text.toStdString();
  }
  // Each listed with its dates, days and week, in date order.
  const QStringList rows = {
      R"(Christmas holidays\s+Mon 21 Dec 2026\s+Sun 3 Jan 2027\s+14 days\s+No bells)",
      R"(Mock exams\s+Mon 18 Jan 2027\s+Fri 22 Jan 2027\s+5 days\s+exams\.zmr)",
      R"(Exam week\s+Mon 10 May 2027\s+Fri 14 May 2027\s+5 days\s+exams\.zmr)",
      R"(Summer holidays\s+Sat 17 Jul 2027\s+Wed 1 Sep 2027\s+47 days\s+No bells)",
      R"(Half term\s+Mon 26 Oct 2026\s+Fri 30 Oct 2026\s+5 days\s+terms\.ics)",
      R"(May Day\s+Mon 3 May 2027\s+Mon 3 May 2027\s+1 day\s+terms\.ics)",
  };
  qsizetype after = 0;
  for (const QString& row : rows) {
    const QRegularExpressionMatch m = QRegularExpression(row).match(text, after);
    ASSERT_TRUE(m.hasMatch()) << row.toStdString() << "\n" << text.toStdString();
    after = m.capturedEnd();
  }
}

TEST_F(YearNotice, NoWordLeavesThePageAndLongListsGoOnOverPages) {
  constexpr int kTrips = 40;
  const QString pdf = Write(SchoolYear(kTrips));
  const int pages = PdfInfo(pdf, "Pages").toInt();
  ASSERT_GE(pages, 2);
  QString all;
  for (int page = 1; page <= pages; ++page) {
    const QString text = Text(pdf, page);
    EXPECT_TRUE(text.contains("Year plan north")) << page;
    EXPECT_TRUE(text.contains(QStringLiteral("page %1").arg(page))) << page;
    if (page > 1) {
      EXPECT_TRUE(text.contains(QRegularExpression(R"(Periods \(continued\)\n\s*Period\s+From\s+To)"))) << page;
    }
    all += text;
  }
  for (int k = 1; k <= kTrips; ++k) {
    EXPECT_EQ(all.count(QRegularExpression(QStringLiteral("Trip %1\\s").arg(k))), 1) << k;
  }
  // Every word within the margins of 12.7 mm (36 pt) of an A4 page.
  constexpr double kMargin = 36 - 0.5;
  const QString boxes = QString::fromUtf8(RunTool("pdftotext", {"-bbox", pdf, "-"}));
  const QRegularExpression word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re");
  int words = 0;
  for (auto it = word.globalMatch(boxes); it.hasNext(); ++words) {
    const QRegularExpressionMatch m = it.next();
    const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
    const double x1 = m.captured(3).toDouble(), y1 = m.captured(4).toDouble();
    EXPECT_TRUE(x0 >= kMargin && y0 >= kMargin && x1 <= 595.28 - kMargin && y1 <= 841.89 - kMargin)
        << m.captured(5).toStdString() << " at " << x0 << "," << y0 << " - " << x1 << "," << y1;
  }
  EXPECT_GT(words, 500);
}

TEST_F(YearNotice, TheMonthsAreDrawnInTheColoursOfTheirWeeks) {
  const QString pdf = Write(SchoolYear());
  RunTool("pdftoppm", {"-r", "40", "-f", "1", "-l", "1", "-png", "-singlefile", pdf, files.file("page")});
  const QImage page(files.file("page.png"));
  ASSERT_FALSE(page.isNull());
  std::map<QRgb, int> pixels;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) ++pixels[page.pixel(x, y) & RGB_MASK];
  }
  const std::vector<LegendEntry> legend = PlanLegend(plan);
  ASSERT_EQ(legend.size(), 4u);  // normal.zmr, exams.zmr, No events that weekday, No bells
  EXPECT_EQ(legend[2].ringing, DayRinging::NoEventsThatDay);
  const int usual = pixels[legend[0].colour], exams = pixels[legend[1].colour], none = pixels[kNoBellsTint];
  // A day's cell is some 13 x 8 pixels at 40 dpi: 10 exam days, 61 without bells, the
  // weekends blank, the rest usual.
  constexpr int kCell = 60;
  EXPECT_GT(exams, 10 * kCell);
  EXPECT_GT(none, 61 * kCell);
  EXPECT_GT(usual, 180 * kCell);
  EXPECT_GT(usual, none);
  EXPECT_GT(none, exams);
}

}  // namespace
}  // namespace zmr
