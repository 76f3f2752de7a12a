#include "report/paint/week_list_report.h"

#include "report/paint/schedule_report.h"

namespace zmr {

namespace {

// The list is read from a notice board: larger than the grid's cells, as large as the header.
constexpr double kListPoints = 10;
constexpr double kRowHeight = 5.3;  // one line of 10 pt and the room around it
constexpr double kTextTop = 0.6;    // the text's distance from the line above a day
constexpr double kTextInset = 1.0;  // inside a column's edges, so no text touches the frame

// Left edge and width of each column in mm: day, time, pulse, title.
struct Column {
  const char* heading;
  double left;
  double width;
};
constexpr std::array<Column, 4> kListColumns = {{
    {"Day", 0, 30},
    {"Time", 30, 16},
    {"Pulse", 46, 16},
    {"Title", 62, kReportBandWidth - 62},
}};

}  // namespace

BandReport WeekListBands() {
  BandReport report;
  std::array<ReportHeading, kListColumns.size()> headings;
  for (std::size_t i = 0; i < kListColumns.size(); ++i) {
    headings[i] = {QString::fromLatin1(kListColumns[i].heading), kListColumns[i].left, kListColumns[i].width,
                   Qt::AlignLeft, kTextInset};
  }
  report.page_header = ReportHeaderBand(headings);

  Band& detail = report.detail;
  detail.width = kReportBandWidth;
  detail.height = kRowHeight;
  detail.grows = true;
  for (std::size_t i = 0; i < kListColumns.size(); ++i) {
    BandLabel cell;
    cell.name = kListCellNames[i];
    cell.left = kListColumns[i].left;
    cell.top = kTextTop;
    cell.width = kListColumns[i].width;
    cell.padding = kTextInset;
    cell.height = kRowHeight - kTextTop;
    cell.point_size = kListPoints;
    cell.bold = i == 0;                             // the day's name stands out
    cell.word_wrap = i + 1 == kListColumns.size();  // only the title takes more lines
    detail.labels.push_back(cell);
  }
  return report;
}

WeekListBandReport::WeekListBandReport(const ProjectSetup& project, std::function<QDate()> today)
    : project_(project), today_(std::move(today)), feed_(project), report_(WeekListBands()) {
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    cells_[i] = report_.detail.label(kListCellNames[i]);
  }
  report_.before_print = [this] { BeforePrint(); };
  report_.need_data = [this] { return NeedData(); };
  report_.page_started = [this] { PageStarted(); };
}

void WeekListBandReport::BeforePrint() {
  SetReportHeader(report_.page_header, WeekListHeader(project_.summary, today_()));
  feed_.BeforePrint();
  at_page_top_ = true;
}

bool WeekListBandReport::NeedData() {
  if (!feed_.NeedData(row_)) {
    return false;
  }
  const std::array<const QString*, 4> texts = {&row_.day_name, &row_.time, &row_.pulse, &row_.title};
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    cells_[i]->text = *texts[i];
    // One line across the page above each day; under the page header its frame is the line.
    cells_[i]->line_above = row_.first_of_day && !at_page_top_;
  }
  at_page_top_ = false;
  return true;
}

void WeekListBandReport::PageStarted() {
  // A day that goes on over a page: its first row there says which day it is.
  cells_[0]->text = LongDayName(row_.day);
  for (BandLabel* cell : cells_) {
    cell->line_above = false;
  }
}

QByteArray WeekListPdf(const ProjectSetup& project, const QDate& today) {
  WeekListBandReport report(project, [today] { return today; });
  return ReportPdf(project.summary.title.text(),
                   [&](QPagedPaintDevice& device) { return report.print(device); });
}

void WriteWeekListPdf(const QString& path, const ProjectSetup& project, const QDate& today) {
  WritePdfFile(path, WeekListPdf(project, today));
}

}  // namespace zmr
