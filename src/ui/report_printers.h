#pragma once
// The print system as every printout uses it: is there a printer, the modal print
// preview, a job straight to the default printer. Tests put a fake in its place.
#include <QString>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace zmr {

// The report window's caption, and the preview's when the project has no title.
inline const QString kScheduleReportCaption = QStringLiteral("Schedule Report");
// The caption of the dialog that saves the report as a PDF file.
inline const QString kSavePdfCaption = QStringLiteral("Save Schedule as PDF");
inline const QString kSaveListPdfCaption = QStringLiteral("Save Week List as PDF");

class ReportPrinters {
 public:
  // Draws the whole report on the device; the pages drawn, 0 when the device refused.
  using Paint = std::function<int(QPagedPaintDevice&)>;

  virtual ~ReportPrinters() = default;
  // True when the system has a print queue to send a job to.
  virtual bool hasPrinter() = 0;
  // The preview, shown modally; the user may print from it.
  virtual void preview(QWidget* parent, const QString& title, const Paint& paint) = 0;
  // One job to the default printer without a dialog; false when it failed.
  virtual bool print(const QString& title, const Paint& paint) = 0;
};

std::unique_ptr<ReportPrinters> MakeQtReportPrinters();

// A printer set up for the report: A4 portrait with its margins, all pages, the title as
// the job's name.
void PrepareReportPrinter(QPrinter& printer, const QString& title);

// The preview dialog over printer, drawing with paint; exec() shows it.
std::unique_ptr<QPrintPreviewDialog> MakeReportPreview(QPrinter& printer, QWidget* parent,
                                                       const ReportPrinters::Paint& paint);

}  // namespace zmr
