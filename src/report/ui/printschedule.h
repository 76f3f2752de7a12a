#pragma once
// The schedule report's window: never shown, it holds the report objects (the bands and
// their labels) of the grid report and of the week list, and runs either as a preview, a
// print job or a PDF file.
#include <QWidget>
#include <memory>

#include "base/clock.h"
#include "report/paint/schedule_report.h"
#include "report/paint/week_list_report.h"
#include "ui/pdf_saving.h"
#include "ui/report_printers.h"
#include "ui/console.h"

namespace zmr {

class Tprintscheduleform : public QWidget, public ScheduleReport {
 public:
  // clock: today's date for the title; null for the PC's clock.
  Tprintscheduleform(Console& console, QWidget* parent,
                     std::unique_ptr<ReportPrinters> printers = MakeQtReportPrinters(),
                     const Clock* clock = nullptr);
  ~Tprintscheduleform() override;

  // kReportPreview: the preview; any other mode: straight to the default printer.
  void PrintScheduleReport(int mode) override;
  // The save dialog, then the report as a PDF file there. False when cancelled.
  bool SaveScheduleReportPdf() override;
  // The same for the week as a list.
  void PrintWeekList(int mode) override;
  bool SaveWeekListPdf() override;

  ScheduleBandReport& QuickRep1() { return report_; }
  WeekListBandReport& WeekList() { return list_; }

 private:
  // What differs between the two printouts: their pages and their words.
  struct Printout {
    QString title;  // of the print job and the preview
    ReportPrinters::Paint paint;
    QString what;  // how its messages name it: "schedule report", "week list"
    const QString& pdf_caption;
    QString pdf_name;
    std::function<QByteArray()> pdf;
  };
  Printout reportPrintout();
  Printout listPrintout();
  void run(const Printout& printout, int mode);
  void printNow(const Printout& printout);
  bool savePdf(const Printout& printout);

  Console& console_;
  std::unique_ptr<ReportPrinters> printers_;
  SystemClock system_clock_;
  const Clock& clock_;
  ScheduleBandReport report_;
  WeekListBandReport list_;
};

// The words of a printout that found no printer, whose job failed, or whose PDF was
// saved as `file`; `what` names the printout.
inline QString NoPrinterText(const QString& what) {
  return QStringLiteral(
             "No printer is installed on this computer, so the %1 cannot be printed.\r\n"
             "Do you want to save the %1 as a PDF file instead?")
      .arg(what);
}
inline QString PrintFailedText(const QString& what) {
  return QStringLiteral("The %1 could not be printed. Please check the printer and try again.").arg(what);
}

inline const QString kScheduleReportWords = QStringLiteral("schedule report");
inline const QString kWeekListWords = QStringLiteral("week list");
inline const QString kNoPrinterText = NoPrinterText(kScheduleReportWords);
inline const QString kPrintFailedText = PrintFailedText(kScheduleReportWords);

}  // namespace zmr
