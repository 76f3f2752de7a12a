#pragma once
// The schedule report's window: never shown, it holds the report object (the bands and
// their labels) and runs the report as a preview, a print job or a PDF file.
#include <QWidget>
#include <memory>

#include "base/clock.h"
#include "report/paint/schedule_report.h"
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
  bool SaveScheduleReportPdf();

  ScheduleBandReport& QuickRep1() { return report_; }

 private:
  int paint(QPagedPaintDevice& device) { return report_.print(device); }
  void printNow(const QString& title);

  Console& console_;
  std::unique_ptr<ReportPrinters> printers_;
  SystemClock system_clock_;
  const Clock& clock_;
  ScheduleBandReport report_;
};

inline const QString kNoPrinterText = QStringLiteral(
    "No printer is installed on this computer, so the schedule report cannot be printed.\r\n"
    "Do you want to save the schedule report as a PDF file instead?");
inline const QString kPrintFailedText =
    QStringLiteral("The schedule report could not be printed. Please check the printer and try again.");
inline const QString kPdfSavedNote = QStringLiteral("The schedule report was saved as %1.");
inline const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)|*.pdf");

}  // namespace zmr
