#include "plan/paint/year_plan_report.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <array>
#include <span>

#include "plan/plan_listing.h"
#include "plan/plan_look.h"
#include "report/paint/band_report.h"
#include "report/paint/schedule_report.h"

namespace zmr {
namespace {

// Sizes in points: read from a notice board, the lists as large as the week's list.
constexpr double kTitlePoints = 14;
constexpr double kSubtitlePoints = 9;
constexpr double kMonthTitlePoints = 10;
constexpr double kWeekdayPoints = 7;
constexpr double kDayPoints = 8;
constexpr double kLegendPoints = 8.5;
constexpr double kSectionPoints = 11;
constexpr double kRowPoints = 9;

// Measures in mm, within the page's margins.
constexpr double kTitleHeight = 7;
constexpr double kSubtitleHeight = 5;
constexpr double kHeaderHeight = 15;  // title, subtitle, the line under them and room
constexpr int kMonthColumns = 3;
constexpr int kMonthRows = 4;
static_assert(kMonthColumns * kMonthRows == kPrintedMonths, "every printed month has its place");
constexpr double kMonthGap = 5;  // between two months side by side
constexpr double kMonthTitleHeight = 6;
constexpr double kWeekdayHeight = 4.2;
constexpr double kWeekHeight = 5.2;
constexpr int kWeeksShown = 6;  // the most weeks a month touches
constexpr double kMonthRowGap = 4;
constexpr double kMonthHeight = kMonthTitleHeight + kWeekdayHeight + kWeeksShown * kWeekHeight;
constexpr double kSwatch = 4;
constexpr double kSwatchTextGap = 1.5;
constexpr double kLegendGap = 6;  // between two entries of the legend
constexpr double kLegendRowHeight = 6;
constexpr double kSectionGap = 5;
constexpr double kSectionHeight = 7;
constexpr double kRowHeight = 5.2;
constexpr double kRowSwatch = 3;
constexpr double kUnderHeadings = 1.2;  // the line under the column headings, and room below it
constexpr double kCellInset = 1;  // text kept off the edges of its column
constexpr double kThinLine = 0.1;
constexpr double kLine = 0.25;
constexpr QRgb kGridGrey = 0x909090;

struct Column {
  const char* heading;
  double left;
  double width;
};
using Columns = std::array<Column, 5>;
// The name column leaves room for a period's colour before the name.
constexpr Columns kPeriodColumns = {{{"Period", 0, 66},
                                     {"From", 66, 30},
                                     {"To", 96, 30},
                                     {"Days", 126, 16},
                                     {"Week", 142, kReportBandWidth - 142}}};
constexpr Columns kHolidayColumns = {{{"Holiday", 0, 66},
                                      {"From", 66, 30},
                                      {"To", 96, 30},
                                      {"Days", 126, 16},
                                      {"Calendar", 142, kReportBandWidth - 142}}};

QColor Tint(PlanRgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

// One notice being drawn: the pen's place on the page, a new page when a part does not
// fit, in mm from the top left of the page's printable area.
class NoticePages {
 public:
  NoticePages(QPainter& painter, QPagedPaintDevice& device, QString title, QString subtitle)
      : painter_(painter),
        device_(device),
        mm_(device),
        area_(device.pageLayout().paintRect(QPageLayout::Millimeter)),
        title_(std::move(title)),
        subtitle_(std::move(subtitle)) {
    header();
  }

  double y = 0;
  int pages = 1;
  bool refused = false;

  double width() const { return std::min(kReportBandWidth, area_.width()); }
  // True when height more fits under y on this page; else a new page is begun.
  bool fits(double height) const { return y + height <= area_.height(); }
  bool newPage() {
    if (!device_.newPage()) {
      refused = true;
      return false;
    }
    ++pages;
    header();
    return true;
  }

  // The text in its box (mm), cut with "…" when it is wider; at the box's top unless
  // align says otherwise.
  void text(const QString& words, QRectF box, double points, bool bold = false, Qt::Alignment align = Qt::AlignLeft,
            bool struck = false, QColor colour = Qt::black) {
    QFont font = ReportFont(points, bold);
    font.setStrikeOut(struck);
    const QRectF at = mm_.rect(box.left(), box.top(), box.width(), box.height());
    const QFontMetricsF metrics(font, painter_.device());
    const QString shown =
        ElideText(words, 0, [&](const QString& candidate) { return metrics.horizontalAdvance(candidate) <= at.width(); });
    painter_.setFont(font);
    painter_.setPen(colour);
    const Qt::Alignment vertical = (align & Qt::AlignVertical_Mask) != 0 ? Qt::Alignment() : Qt::AlignTop;
    painter_.drawText(at, static_cast<int>(align | vertical | Qt::TextSingleLine), shown);
  }
  double textWidth(const QString& words, double points) const {
    return QFontMetricsF(ReportFont(points), painter_.device()).horizontalAdvance(words) / mm_.x(1.0);
  }
  void fill(QRectF box, QColor colour, double frame = kThinLine, QColor frame_colour = QColor::fromRgb(kGridGrey)) {
    painter_.setPen(QPen(frame_colour, mm_.x(frame)));
    painter_.setBrush(colour);
    painter_.drawRect(mm_.rect(box.left(), box.top(), box.width(), box.height()));
    painter_.setBrush(Qt::NoBrush);
  }
  void line(double top) {
    painter_.setPen(QPen(Qt::black, mm_.x(kLine)));
    painter_.drawLine(QPointF(0, mm_.y(top)), QPointF(mm_.x(width()), mm_.y(top)));
  }

 private:
  void header() {
    text(title_, {0, 0, width(), kTitleHeight}, kTitlePoints, true);
    text(QStringLiteral("page %1").arg(pages), {0, 0, width(), kTitleHeight}, kSubtitlePoints, false, Qt::AlignRight);
    text(subtitle_, {0, kTitleHeight, width(), kSubtitleHeight}, kSubtitlePoints);
    line(kTitleHeight + kSubtitleHeight + 1);
    y = kHeaderHeight;
  }

  QPainter& painter_;
  QPagedPaintDevice& device_;
  MmScale mm_;
  QRectF area_;
  QString title_;
  QString subtitle_;
};

void DrawMonth(NoticePages& notice, const YearPlan& plan, const std::vector<LegendEntry>& legend, QDate first,
               QPointF at, double width) {
  const QLocale c = QLocale::c();
  const double cell = width / 7;
  notice.text(c.standaloneMonthName(first.month()) + u' ' + QString::number(first.year()),
              {at.x(), at.y(), width, kMonthTitleHeight}, kMonthTitlePoints, true, Qt::AlignHCenter);
  for (int day = 0; day < 7; ++day) {
    notice.text(c.dayName(day + 1, QLocale::ShortFormat),
                {at.x() + day * cell, at.y() + kMonthTitleHeight, cell, kWeekdayHeight}, kWeekdayPoints, false,
                Qt::AlignHCenter);
  }
  const int offset = first.dayOfWeek() - 1;  // weeks start on Monday
  const double top = at.y() + kMonthTitleHeight + kWeekdayHeight;
  for (int d = 0; d < first.daysInMonth(); ++d) {
    const QDate date = first.addDays(d);
    const DayLook look = LookOfDay(plan, legend, date);
    const QRectF box(at.x() + ((offset + d) % 7) * cell, top + ((offset + d) / 7) * kWeekHeight, cell, kWeekHeight);
    notice.fill(box, Tint(look.colour));
    notice.text(QString::number(date.day()), box, kDayPoints, false, Qt::AlignCenter, !look.bells, look.bells ? QColor(Qt::black) : QColor(Qt::darkGray));
  }
}

void DrawLegend(NoticePages& notice, const std::vector<LegendEntry>& legend) {
  double x = 0;
  for (const LegendEntry& entry : legend) {
    const double wide = kSwatch + kSwatchTextGap + notice.textWidth(entry.label, kLegendPoints);
    if (x > 0 && x + wide > notice.width()) {
      x = 0;
      notice.y += kLegendRowHeight;
    }
    notice.fill({x, notice.y + 0.5, kSwatch, kSwatch}, Tint(entry.colour));
    // The words as the months show such a day: a day without bells struck through.
    notice.text(entry.label, {x + kSwatch + kSwatchTextGap, notice.y + 0.5, wide, kSwatch + 1}, kLegendPoints, false,
                Qt::AlignLeft, entry.ringing == DayRinging::NoBells);
    x += wide + kLegendGap;
  }
  notice.y += kLegendRowHeight;
}

// A list under its heading, over as many pages as it needs; the heading and the column
// headings again at the top of each page it goes on to.
void DrawList(NoticePages& notice, const QString& heading, const Columns& columns,
              const std::vector<ListedStretch>& rows, bool swatches) {
  const auto headings = [&](bool continued) {
    notice.text(continued ? heading + QStringLiteral(" (continued)") : heading,
                {0, notice.y, notice.width(), kSectionHeight}, kSectionPoints, true);
    notice.y += kSectionHeight;
    for (const Column& column : columns) {
      notice.text(QString::fromLatin1(column.heading),
                  {column.left + kCellInset, notice.y, column.width - 2 * kCellInset, kRowHeight}, kRowPoints, true);
    }
    notice.y += kRowHeight;
    notice.line(notice.y - kUnderHeadings / 2);
    notice.y += kUnderHeadings / 2;
  };
  notice.y += kSectionGap;
  // A heading never stands alone at the foot of a page.
  if (!notice.fits(kSectionHeight + 2 * kRowHeight) && !notice.newPage()) return;
  headings(false);
  if (rows.empty()) {
    notice.text(QStringLiteral("None in these months."), {kCellInset, notice.y, notice.width(), kRowHeight}, kRowPoints);
    notice.y += kRowHeight;
    return;
  }
  for (const ListedStretch& row : rows) {
    if (!notice.fits(kRowHeight)) {
      if (!notice.newPage()) return;
      headings(true);
    }
    double name_left = columns[0].left + kCellInset;
    if (swatches) {
      notice.fill({name_left, notice.y + (kRowHeight - kRowSwatch) / 2 - 0.3, kRowSwatch, kRowSwatch}, Tint(row.colour));
      name_left += kRowSwatch + kSwatchTextGap;
    }
    const std::array<QString, 5> cells = {row.name, NoticeDate(row.from), NoticeDate(row.to), DaysText(row),
                                          row.calendar.isEmpty() ? WeekText(row) : row.calendar};
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const double left = i == 0 ? name_left : columns[i].left + kCellInset;
      const double right = columns[i].left + columns[i].width - kCellInset;
      notice.text(cells[i], {left, notice.y, right - left, kRowHeight}, kRowPoints);
    }
    notice.y += kRowHeight;
  }
}

}  // namespace

YearPlanReport::YearPlanReport(const YearPlan& plan, QDate first, QDate printed)
    : plan_(plan), first_(first.year(), first.month(), 1), printed_(printed) {}

int YearPlanReport::print(QPagedPaintDevice& device) const {
  QPainter painter;
  if (!painter.begin(&device)) return 0;
  const QDate last = PrintedYearEnd(first_);
  const QLocale c = QLocale::c();
  // The usual week is the legend's first entry; the line says which year and how fresh.
  const QString subtitle = QStringLiteral("%1 to %2  ·  printed %3")
                               .arg(c.standaloneMonthName(first_.month()) + u' ' + QString::number(first_.year()),
                                    c.standaloneMonthName(last.month()) + u' ' + QString::number(last.year()),
                                    NoticeDate(printed_));
  NoticePages notice(painter, device, YearPlanTitle(plan_), subtitle);
  const std::vector<LegendEntry> legend = PlanLegend(plan_);
  const double month_width = (notice.width() - (kMonthColumns - 1) * kMonthGap) / kMonthColumns;
  const double months_top = notice.y;
  for (int k = 0; k < kPrintedMonths; ++k) {
    const QPointF at((k % kMonthColumns) * (month_width + kMonthGap),
                     months_top + (k / kMonthColumns) * (kMonthHeight + kMonthRowGap));
    DrawMonth(notice, plan_, legend, first_.addMonths(k), at, month_width);
  }
  notice.y = months_top + kMonthRows * (kMonthHeight + kMonthRowGap);
  DrawLegend(notice, legend);
  DrawList(notice, QStringLiteral("Periods"), kPeriodColumns, PeriodsListed(plan_, legend, first_, last), true);
  if (!notice.refused) {
    DrawList(notice, QStringLiteral("Holidays from the calendars"), kHolidayColumns,
             HolidaysListed(plan_, first_, last), false);
  }
  const bool ended = painter.end();
  return notice.refused || !ended ? 0 : notice.pages;
}

QString YearPlanTitle(const YearPlan& plan) { return QStringLiteral("Year plan %1").arg(plan.name); }

QString YearPlanPdfName(const YearPlan& plan) { return QStringLiteral("%1 year plan.pdf").arg(plan.name); }

QByteArray YearPlanPdf(const YearPlan& plan, QDate first, QDate printed) {
  const YearPlanReport report(plan, first, printed);
  return ReportPdf(YearPlanTitle(plan), [&](QPagedPaintDevice& device) { return report.print(device); });
}

}  // namespace zmr
