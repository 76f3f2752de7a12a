#include "report/ui/report_printers.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "report/paint/band_report.h"

namespace zmr {

namespace {

class QtReportPrinters : public ReportPrinters {
 public:
  bool hasPrinter() override { return !QPrinterInfo::availablePrinters().isEmpty(); }

  void preview(QWidget* parent, const QString& title, const Paint& paint) override {
    QPrinter printer(QPrinter::HighResolution);
    PrepareReportPrinter(printer, title);
    MakeReportPreview(printer, parent, paint)->exec();
  }

  bool print(const QString& title, const Paint& paint) override {
    // The default queue; without one set, the first the system offers.
    QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull() && !QPrinterInfo::availablePrinters().isEmpty()) {
      target = QPrinterInfo::availablePrinters().front();
    }
    QPrinter printer(target, QPrinter::HighResolution);
    PrepareReportPrinter(printer, title);
    if (!printer.isValid()) {
      return false;
    }
    return paint(printer) > 0 && printer.printerState() != QPrinter::Error &&
           printer.printerState() != QPrinter::Aborted;
  }
};

}  // namespace

std::unique_ptr<ReportPrinters> MakeQtReportPrinters() { return std::make_unique<QtReportPrinters>(); }

void PrepareReportPrinter(QPrinter& printer, const QString& title) {
  printer.setPageLayout(ReportPageLayout());
  printer.setFullPage(false);
  printer.setPrintRange(QPrinter::AllPages);
  printer.setFromTo(0, 0);
  printer.setDocName(title);
}

std::unique_ptr<QPrintPreviewDialog> MakeReportPreview(QPrinter& printer, QWidget* parent,
                                                       const ReportPrinters::Paint& paint) {
  auto dialog = std::make_unique<QPrintPreviewDialog>(&printer, parent);
  dialog->setWindowTitle(printer.docName());
  QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
                   [paint](QPrinter* target) { paint(*target); });
  return dialog;
}

}  // namespace zmr
