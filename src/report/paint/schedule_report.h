#pragma once
// The schedule report: the week's bands and labels at their places, fed by the schedule
// feed, for preview, paper and PDF alike.
#include <QByteArray>
#include <QDate>
#include <functional>
#include <span>

#include "report/paint/band_report.h"
#include "report/schedule_feed.h"

namespace zmr {

// The width of every band: the page between its margins, in mm.
inline constexpr double kReportBandWidth = 184.7;

// A column heading of the page header, over its column.
struct ReportHeading {
  QString text;
  double left = 0;   // mm
  double width = 0;  // mm
  Qt::Alignment alignment = Qt::AlignHCenter;
  double padding = 0;  // mm
};

// The page header every printout of the week shares: the title with the date, the five
// summary fields with their captions, and the column headings along its foot.
Band ReportHeaderBand(std::span<const ReportHeading> headings);
// Fills the header's named labels.
void SetReportHeader(Band& header, const ReportHeaderTexts& texts);

// The header band's labels, captions and headings, and the seven day cells of the
// detail band (qr_mon .. qr_sun), as empty texts.
BandReport ScheduleBands();

// The report object: the bands with their two handlers bound to one project and to
// the clock's today, reused for every production.
class ScheduleBandReport {
 public:
  ScheduleBandReport(const ProjectSetup& project, std::function<QDate()> today);
  ScheduleBandReport(const ScheduleBandReport&) = delete;
  ScheduleBandReport& operator=(const ScheduleBandReport&) = delete;

  // The handlers the bands call.
  void BeforePrint();
  bool NeedData();

  // Pages produced, 0 when the device refused (see BandReport::print).
  int print(QPagedPaintDevice& device) const { return report_.print(device); }
  const BandReport& bands() const { return report_; }

 private:
  const ProjectSetup& project_;
  std::function<QDate()> today_;
  ScheduleFeed feed_;
  BandReport report_;
  std::array<BandLabel*, kDays> cells_{};
};

inline const QString kDayCellNames[kDays] = {"qr_mon", "qr_tue", "qr_wed", "qr_thu", "qr_fri", "qr_sat", "qr_sun"};

// What paint draws, as a PDF document with the given title; throws IoError when no page
// could be produced.
QByteArray ReportPdf(const QString& title, const std::function<int(QPagedPaintDevice&)>& paint);
// Writes a PDF over path in one step; throws IoError with the system's text.
void WritePdfFile(const QString& path, const QByteArray& pdf);

// The report of the project as a PDF document titled with the project's title.
QByteArray SchedulePdf(const ProjectSetup& project, const QDate& today);
// Writes that PDF over path in one step; throws IoError with the system's text.
void WriteSchedulePdf(const QString& path, const ProjectSetup& project, const QDate& today);

}  // namespace zmr
