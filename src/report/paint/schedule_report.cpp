#include "report/paint/schedule_report.h"

#include <QBuffer>
#include <QPdfWriter>
#include <span>

#include "base/errors.h"
#include "base/file_io.h"
#include "report/week_list.h"

namespace zmr {

namespace {

constexpr double kHeaderHeight = 38.4;
constexpr double kBandWidth = kReportBandWidth;
constexpr double kRowHeight = 4.23;
constexpr double kHeaderPoints = 10;
constexpr double kCellPoints = 7;
constexpr double kFieldHeight = 4.5;
constexpr double kCaptionLeft = 2.1;
constexpr double kFieldLeft = 20.4;
constexpr double kHeadingTop = 32.8;
constexpr double kHeadingHeight = 6.35;

// Left edge and width of each day's column, Monday first; headings and cells share them.
constexpr std::array<std::pair<double, double>, kDays> kColumns = {{
    {0, 26.5}, {26.5, 26.5}, {52.9, 26.5}, {79.4, 26.5}, {105.8, 26.5}, {132.3, 26.5}, {158.8, 25.8},
}};

BandLabel Field(const QString& name, const QString& text, double left, double top) {
  BandLabel label;
  label.name = name;
  label.text = text;
  label.left = left;
  label.top = top;
  label.height = kFieldHeight;
  label.point_size = kHeaderPoints;
  label.fits_text = true;
  return label;
}

}  // namespace

Band ReportHeaderBand(std::span<const ReportHeading> headings) {
  Band header;
  header.width = kBandWidth;
  header.height = kHeaderHeight;
  header.framed = true;

  BandLabel title = Field(QStringLiteral("qr_maintitle"), {}, 0, 1.1);
  title.width = 184.2;
  title.fits_text = false;
  title.alignment = Qt::AlignHCenter;
  header.labels.push_back(title);
  const struct {
    const char* caption;
    const char* name;
    double top;
  } fields[] = {
      {"Title:", "qr_title", 5.0},     {"Subject:", "qr_subject", 10.1}, {"Author:", "qr_author", 15.3},
      {"Manager:", "qr_manager", 20.4}, {"Company:", "qr_company", 25.4},
  };
  for (const auto& f : fields) {
    header.labels.push_back(Field({}, QString::fromLatin1(f.caption), kCaptionLeft, f.top));
    header.labels.push_back(Field(QString::fromLatin1(f.name), {}, kFieldLeft, f.top));
  }
  for (const ReportHeading& h : headings) {
    BandLabel heading;
    heading.text = h.text;
    heading.left = h.left;
    heading.top = kHeadingTop;
    heading.width = h.width;
    heading.height = kHeadingHeight;
    heading.point_size = kHeaderPoints;
    heading.alignment = h.alignment;
    heading.padding = h.padding;
    heading.line_above = true;
    header.labels.push_back(heading);
  }
  return header;
}

void SetReportHeader(Band& header, const ReportHeaderTexts& texts) {
  header.label(QStringLiteral("qr_title"))->text = texts.qr_title;
  header.label(QStringLiteral("qr_subject"))->text = texts.qr_subject;
  header.label(QStringLiteral("qr_author"))->text = texts.qr_author;
  header.label(QStringLiteral("qr_manager"))->text = texts.qr_manager;
  header.label(QStringLiteral("qr_company"))->text = texts.qr_company;
  header.label(QStringLiteral("qr_maintitle"))->text = texts.qr_maintitle;
}

BandReport ScheduleBands() {
  BandReport report;
  std::array<ReportHeading, kDays> headings;
  for (int d = 0; d < kDays; ++d) {
    headings[d] = {LongDayName(d + 1), kColumns[d].first, kColumns[d].second, Qt::AlignHCenter};
  }
  report.page_header = ReportHeaderBand(headings);

  Band& detail = report.detail;
  detail.width = kBandWidth;
  detail.height = kRowHeight;
  for (int d = 0; d < kDays; ++d) {
    BandLabel cell;
    cell.name = kDayCellNames[d];
    cell.left = kColumns[d].first;
    cell.width = kColumns[d].second;
    cell.height = kRowHeight;
    cell.point_size = kCellPoints;
    cell.elide = true;  // one line fits the row; the time and pulse are never cut
    detail.labels.push_back(cell);
  }
  return report;
}

ScheduleBandReport::ScheduleBandReport(const ProjectSetup& project, std::function<QDate()> today)
    : project_(project), today_(std::move(today)), feed_(project), report_(ScheduleBands()) {
  for (int d = 0; d < kDays; ++d) {
    cells_[d] = report_.detail.label(kDayCellNames[d]);
  }
  report_.before_print = [this] { BeforePrint(); };
  report_.need_data = [this] { return NeedData(); };
}

void ScheduleBandReport::BeforePrint() {
  SetReportHeader(report_.page_header, ReportHeader(project_.summary, today_()));
  feed_.BeforePrint();
}

bool ScheduleBandReport::NeedData() {
  ReportCells cells;
  for (int d = 0; d < kDays; ++d) {
    cells[d] = cells_[d]->text;
  }
  const bool more = feed_.NeedData(cells);
  for (int d = 0; d < kDays; ++d) {
    cells_[d]->text = cells[d];
    cells_[d]->fixed_chars = ReportTitleStart(cells[d]);
  }
  return more;
}

QByteArray ReportPdf(const QString& title, const std::function<int(QPagedPaintDevice&)>& paint) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageLayout(ReportPageLayout());
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("ZMR Console"));
    if (paint(writer) == 0) {
      throw IoError("The PDF document could not be produced");
    }
  }
  return bytes;
}

void WritePdfFile(const QString& path, const QByteArray& pdf) {
  ReplaceFile(path, std::span(reinterpret_cast<const std::uint8_t*>(pdf.constData()), pdf.size()),
              ReplaceMode::CreateOrReplace);
}

QByteArray SchedulePdf(const ProjectSetup& project, const QDate& today) {
  ScheduleBandReport report(project, [today] { return today; });
  return ReportPdf(project.summary.title.text(),
                   [&](QPagedPaintDevice& device) { return report.print(device); });
}

void WriteSchedulePdf(const QString& path, const ProjectSetup& project, const QDate& today) {
  WritePdfFile(path, SchedulePdf(project, today));
}

}  // namespace zmr
