#pragma once
// The week as a list on paper: the schedule report's page header, then one row per event
// (day, time, pulse, title), the title wrapped whole over as many lines as it needs; each
// day begins under a line, and a day that goes on over a page says its name again.
#include <QByteArray>
#include <QDate>
#include <array>
#include <functional>

#include "report/paint/band_report.h"
#include "report/week_list.h"

namespace zmr {

inline const QString kListCellNames[] = {"list_day", "list_time", "list_pulse", "list_title"};

// The header band with the list's headings and the growing detail band, texts empty.
BandReport WeekListBands();

// The report object: the bands with their handlers bound to one project and to the
// clock's today, reused for every production.
class WeekListBandReport {
 public:
  WeekListBandReport(const ProjectSetup& project, std::function<QDate()> today);
  WeekListBandReport(const WeekListBandReport&) = delete;
  WeekListBandReport& operator=(const WeekListBandReport&) = delete;

  void BeforePrint();
  bool NeedData();
  void PageStarted();

  // Pages produced, 0 when the device refused.
  int print(QPagedPaintDevice& device) const { return report_.print(device); }
  const BandReport& bands() const { return report_; }

 private:
  const ProjectSetup& project_;
  std::function<QDate()> today_;
  WeekListFeed feed_;
  BandReport report_;
  WeekListRow row_;
  bool at_page_top_ = true;            // the next row is the first under a page header
  std::array<BandLabel*, 4> cells_{};  // day, time, pulse, title
};

// The list as a PDF document titled with the project's title, and written to a file.
QByteArray WeekListPdf(const ProjectSetup& project, const QDate& today);
void WriteWeekListPdf(const QString& path, const ProjectSetup& project, const QDate& today);

}  // namespace zmr
