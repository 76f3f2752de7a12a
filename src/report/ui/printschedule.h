#pragma once
// The schedule report's window: never shown, it holds the report objects (the bands and
// their labels) of the grid report and of the week list, and runs either as a preview, a
// print job or a PDF file.
#include <QWidget>
#include <memory>

#include "base/clock.h"
#include "report/paint/schedule_report.h"
#include "report/paint/week_list_report.h"
#include "report/ui/report_printers.h"
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
    const QString& no_printer_text;
    const QString& failed_text;
    const QString& pdf_caption;
    QString pdf_name;
    const QString& saved_note;
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

inline const QString kNoPrinterText = QStringLiteral(
    "No printer is installed on this computer, so the schedule report cannot be printed.\r\n"
    "Do you want to save the schedule report as a PDF file instead?");
inline const QString kPrintFailedText =
    QStringLiteral("The schedule report could not be printed. Please check the printer and try again.");
inline const QString kPdfSavedNote = QStringLiteral("The schedule report was saved as %1.");
inline const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)|*.pdf");
inline const QString kListNoPrinterText = QStringLiteral(
    "No printer is installed on this computer, so the week list cannot be printed.\r\n"
    "Do you want to save the week list as a PDF file instead?");
inline const QString kListPrintFailedText =
    QStringLiteral("The week list could not be printed. Please check the printer and try again.");
inline const QString kListPdfSavedNote = QStringLiteral("The week list was saved as %1.");

}  // namespace zmr
