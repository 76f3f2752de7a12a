// The report's pages as they come out, read back with poppler's tools.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QRegularExpression>
#include <memory>

#include "report/paint/schedule_report.h"
#include "support/pdf_in_memory.h"
#include "support/pdf_tools.h"
#include "support/project_fixtures.h"
#include "support/qt_printers.h"
#include "support/report_fixtures.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QCoreApplication::instance() == nullptr) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[12] = "report_pdf";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};
::testing::Environment* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

const QDate kToday(2004, 3, 5);
const QStringList kWeekdays = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

class ReportPdf : public ::testing::Test {
 protected:
  QString Write(const ProjectSetup& project, const QString& name = "week.pdf") {
    const QString path = dir.file(name);
    WriteSchedulePdf(path, project, kToday);
    return path;
  }
  static QStringList PageLines(const QString& path, int page) {
    const QString n = QString::number(page);
    return QString::fromUtf8(RunTool("pdftotext", {"-layout", "-f", n, "-l", n, path, "-"})).split('\n');
  }
  // Lines of the page that are detail rows (they start with an event's time).
  static int Rows(const QStringList& lines) {
    static const QRegularExpression time("^\\s*\\d\\d:\\d\\d, ");
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const QString& l) { return time.match(l).hasMatch(); }));
  }
  // The page header, in order, at the top of the page.
  static void ExpectHeader(const QStringList& lines, const ProjectSetup& p, int page) {
    SCOPED_TRACE("page " + std::to_string(page));
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines[0].trimmed(), "Schedule Report: 05/03/2004");
    const std::pair<QString, QString> fields[] = {
        {"Title:", p.summary.title.text()},     {"Subject:", p.summary.subject.text()},
        {"Author:", p.summary.author.text()},   {"Manager:", p.summary.manager.text()},
        {"Company:", p.summary.company.text()},
    };
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(lines[1 + i].simplified(), (fields[i].first + ' ' + fields[i].second).trimmed());
    }
    const auto heading = std::find_if(lines.begin(), lines.end(), [](const QString& l) { return l.contains("Monday"); });
    ASSERT_NE(heading, lines.end());
    EXPECT_EQ(heading->simplified(), kWeekdays.join(' '));
  }

  TempDir dir;
};

TEST_F(ReportPdf, AFullDayTakesThreeA4PagesEachStartingWithTheWholeHeader) {
  const auto week = ReportWeek(kEventsPerDay, 1);
  const QString path = Write(*week);
  EXPECT_EQ(PdfInfo(path, "Pages"), "3");
  EXPECT_TRUE(PdfInfo(path, "Page size").contains("(A4)"));
  EXPECT_EQ(PdfInfo(path, "Title"), "Northfield School bells");
  // Arial's metric twin is the one font, embedded, so the text fits its cells anywhere.
  const QStringList fonts = QString::fromUtf8(RunTool("pdffonts", {path})).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(fonts.size(), 3);
  EXPECT_TRUE(fonts[2].startsWith("LiberationSans ")) << fonts[2].toStdString();
  EXPECT_TRUE(fonts[2].contains(" yes ")) << fonts[2].toStdString();
  const int rows_per_page[] = {55, 55, 10};
  for (int page = 1; page <= 3; ++page) {
    const QStringList lines = PageLines(path, page);
    ExpectHeader(lines, *week, page);
    EXPECT_EQ(Rows(lines), rows_per_page[page - 1]) << "page " << page;
  }
  EXPECT_TRUE(PageLines(path, 3).join('\n').contains("19:53, "));  // slot 120 is the last row
}

TEST_F(ReportPdf, OneEventGivesOnePageAndAnEmptyWeekItsHeaderAlone) {
  auto one = ReportWeek(0);
  AddPulse(*one, 3, 1, 9, 5, 12, "Bell");
  one->summary.subject.clear();
  const QString path = Write(*one);
  EXPECT_EQ(PdfInfo(path, "Pages"), "1");
  QStringList lines = PageLines(path, 1);
  ExpectHeader(lines, *one, 1);
  EXPECT_EQ(Rows(lines), 1);
  EXPECT_TRUE(lines.join('\n').contains("09:05, 12 Bell"));

  const QString empty = Write(*ReportWeek(0), "empty.pdf");
  EXPECT_EQ(PdfInfo(empty, "Pages"), "1");
  lines = PageLines(empty, 1);
  ExpectHeader(lines, *ReportWeek(0), 1);
  EXPECT_EQ(Rows(lines), 0);
}

TEST_F(ReportPdf, ProducingTheReportTwiceGivesTheSameDocument) {
  const auto week = ReportWeek(kEventsPerDay);
  const QRegularExpression date("/CreationDate \\([^)]*\\)");
  QString first = QString::fromLatin1(SchedulePdf(*week, kToday));
  QString second = QString::fromLatin1(SchedulePdf(*week, kToday));
  EXPECT_EQ(first.replace(date, QString()), second.replace(date, QString()));

  // The report object is reused: its second production starts over from row one.
  ScheduleBandReport report(*week, [] { return kToday; });
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(ProduceInMemory([&](QPagedPaintDevice& device) { return report.print(device); }).pages, 3) << run;
  }
}

// Words as poppler places them: text and left/right edges in points.
struct Word {
  QString text;
  double x_min, x_max, y_min;
};
std::vector<Word> Words(const QString& path) {
  const QString html = QString::fromUtf8(RunTool("pdftotext", {"-bbox", "-f", "1", "-l", "1", path, "-"}));
  static const QRegularExpression word(
      "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"[\\d.]+\">([^<]*)</word>");
  std::vector<Word> words;
  for (auto it = word.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    words.push_back({m.captured(4), m.captured(1).toDouble(), m.captured(3).toDouble(), m.captured(2).toDouble()});
  }
  return words;
}

constexpr double kPointsPerMm = 72 / 25.4;

// Page 1 rendered in grey by pdftoppm.
struct Raster {
  int dpi = 0;
  int width = 0;
  int height = 0;
  QByteArray pixels;

  int px(double mm) const { return static_cast<int>(mm * dpi / 25.4); }
  bool dark(int x, int y) const { return static_cast<unsigned char>(pixels[y * width + x]) < 160; }
  // Dark pixels in a rectangle given in millimetres from the page's top left.
  int darkIn(double left, double right, double top, double bottom) const {
    int n = 0;
    for (int y = px(top); y < px(bottom); ++y)
      for (int x = px(left); x < px(right); ++x) n += dark(x, y);
    return n;
  }
};

Raster Render(const QString& pdf, int dpi) {
  const QString base = pdf + QString::number(dpi);
  RunTool("pdftoppm", {"-gray", "-r", QString::number(dpi), "-f", "1", "-l", "1", "-singlefile", pdf, base});
  QFile pgm(base + ".pgm");
  EXPECT_TRUE(pgm.open(QIODevice::ReadOnly));
  const QByteArray image = pgm.readAll();
  const QList<QByteArray> head = image.left(64).split('\n');  // "P5", "W H", "255", pixels
  EXPECT_EQ(head.value(0), "P5");
  Raster r;
  r.dpi = dpi;
  r.width = head.value(1).split(' ').value(0).toInt();
  r.height = head.value(1).split(' ').value(1).toInt();
  r.pixels = image.mid(head[0].size() + head[1].size() + head[2].size() + 3);
  EXPECT_EQ(r.pixels.size(), r.width * r.height);
  return r;
}

TEST_F(ReportPdf, PlacesAreMillimetresWhateverTheResolution) {
  const auto week = ReportWeek(4);
  std::vector<std::vector<Word>> layouts;
  for (int dpi : {300, 1200}) {
    const QString path = dir.file(QString("week%1.pdf").arg(dpi));
    {
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      QPdfWriter writer(&file);
      writer.setResolution(dpi);
      writer.setPageLayout(ReportPageLayout());
      ScheduleBandReport report(*week, [] { return kToday; });
      ASSERT_EQ(report.print(writer), 1);
    }
    layouts.push_back(Words(path));
  }
  // Poppler may list the words in another order; each one has its twin within a point
  // (glyph hinting at 300 dpi moves a long line's end by about half a point).
  ASSERT_EQ(layouts[0].size(), layouts[1].size());
  for (const Word& w : layouts[1]) {
    const bool twin = std::any_of(layouts[0].begin(), layouts[0].end(), [&](const Word& v) {
      return v.text == w.text && std::abs(v.x_min - w.x_min) < 1.0 && std::abs(v.y_min - w.y_min) < 1.0;
    });
    EXPECT_TRUE(twin) << w.text.toStdString() << " at " << w.x_min << ", " << w.y_min;
  }
  // The captions and fields start where the header places them, 12.7 mm in from the page.
  const auto at = [&](const QString& text) {
    return *std::find_if(layouts[1].begin(), layouts[1].end(), [&](const Word& w) { return w.text == text; });
  };
  EXPECT_NEAR(at("Title:").x_min / kPointsPerMm, 12.7 + 2.1, 0.3);
  EXPECT_NEAR(at("Northfield").x_min / kPointsPerMm, 12.7 + 20.4, 0.3);
  EXPECT_NEAR(at("Subject:").y_min / kPointsPerMm - at("Title:").y_min / kPointsPerMm, 5.1, 0.2);
}

TEST(CellElision, CutsAfterAWordWhereOneFitsElseAfterACharacterNeverInTheFixedPart) {
  const auto within = [](int chars) {
    return [chars](const QString& text) { return text.size() <= chars; };
  };
  const struct {
    const char* text;
    int fixed;
    int width;  // characters that fit
    const char* shown;
  } cases[] = {
      {" 12:30, 10 Lunch", 11, 30, " 12:30, 10 Lunch"},                   // fits: untouched
      {" 12:30, 10 Afternoon lessons", 11, 24, " 12:30, 10 Afternoon…"},  // at the word
      {" 12:30, 10 Afternoon break", 11, 24, " 12:30, 10 Afternoon…"},
      {" 12:30, 10 Lunch for the staff", 11, 25, " 12:30, 10 Lunch for the…"},
      {" 12:30, 10 Lunch for the staff", 11, 24, " 12:30, 10 Lunch for…"},
      {" 12:30, 10 Supercalifragilistic", 11, 20, " 12:30, 10 Supercal…"},  // no word fits
      {" 12:30, 10 A Supercalifragilistic", 11, 20, " 12:30, 10 A…"},
      {" 12:30, 10 Lunch", 11, 13, " 12:30, 10 L…"},
      {" 12:30, 10 Lunch", 11, 5, " 12:30, 10 …"},  // even the time does not fit: the cell clips
      {" 18:05, On  x", 11, 11, " 18:05, On …"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ElideText(QString::fromUtf8(c.text), c.fixed, within(c.width)), QString::fromUtf8(c.shown));
  }
}

TEST_F(ReportPdf, ATitleThatDoesNotFitEndsWithAnEllipsisInsideItsCell) {
  auto week = ReportWeek(0);
  AddPulse(*week, 1, 1, 12, 30, 10, "Afternoon lessons begin now");
  AddPulse(*week, 1, 2, 12, 45, 10, "Afternoon break for everyone");
  AddPulse(*week, 1, 3, 13, 0, 59, "Supercalifragilisticexpialidocious");
  AddPulse(*week, 1, 4, 13, 5, 5, "Lunch");
  for (int slot = 5; slot <= 20; ++slot) {
    AddPulse(*week, 1, slot, 14, slot, 5, "Supercalifragilisticexpialidocious-bell");
  }
  AddPulse(*week, 3, 1, 7, 0, 1, "ok");
  const QString path = Write(*week);
  const QString text = PageLines(path, 1).join('\n');
  EXPECT_TRUE(text.contains(QString::fromUtf8("12:30, 10 Afternoon…"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QString::fromUtf8("12:45, 10 Afternoon…")));
  EXPECT_FALSE(text.contains("lessons"));
  EXPECT_TRUE(text.contains("13:05, 5 Lunch"));
  EXPECT_FALSE(text.contains(QString::fromUtf8("Lunch…")));
  // A word wider than the cell keeps its first letters.
  static const QRegularExpression one_word(QString::fromUtf8("13:00, 59 Supercalif\\w*…"));
  EXPECT_TRUE(one_word.match(text).hasMatch()) << text.toStdString();
  EXPECT_TRUE(text.contains("14:20, 5 Super"));
  EXPECT_TRUE(text.contains("07:00, 1 ok"));

  // Every word of Monday's cells, the mark included, lies within Monday's column.
  const double monday_right = (12.7 + 26.5) * kPointsPerMm;
  int marks = 0;
  for (const Word& w : Words(path)) {
    if (w.x_max < monday_right + 20 && w.y_min > (12.7 + 38.4) * kPointsPerMm) {
      EXPECT_LE(w.x_max, monday_right) << w.text.toStdString();
      marks += w.text.endsWith(QChar(0x2026));
    }
  }
  EXPECT_EQ(marks, 19);

  // Nothing of Monday reaches into Tuesday's empty column on paper.
  const Raster page = Render(path, 150);
  const auto dark_in = [&](double left_mm, double right_mm) {
    return page.darkIn(left_mm, right_mm, 12.7 + 38.4 + 4.23, 12.7 + 38.4 + 20 * 4.23);
  };
  EXPECT_GT(dark_in(12.7, 12.7 + 26), 100);                // Monday's times are there
  EXPECT_EQ(dark_in(12.7 + 26.5 + 0.3, 12.7 + 52.5), 0);  // and nothing reaches Tuesday
}

TEST_F(ReportPdf, FramesAndLinesStayVisibleOverTheCellsEvenOnACoarseRaster) {
  const QString path = Write(*ReportWeek(3));
  for (int dpi : {72, 90, 150}) {
    const Raster page = Render(path, dpi);
    // Every column of the report area crosses the header's bottom edge (38.4 mm down)
    // and the page frame's top and bottom edges, each within a pixel of its place.
    const auto line_at = [&](double y_mm, int x) {
      const int y = page.px(y_mm);
      return page.dark(x, y - 1) || page.dark(x, y) || page.dark(x, y + 1);
    };
    for (int x = page.px(12.7 + 1); x < page.px(210 - 12.7 - 1); ++x) {
      ASSERT_TRUE(line_at(12.7 + 38.4, x)) << dpi << " dpi, x " << x;
      ASSERT_TRUE(line_at(12.7, x)) << dpi << " dpi, x " << x;
      ASSERT_TRUE(line_at(297 - 12.7, x)) << dpi << " dpi, x " << x;
    }
  }
}

}  // namespace
}  // namespace zmr
