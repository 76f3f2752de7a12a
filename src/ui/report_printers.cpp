#include "ui/report_printers.h"

#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QToolBar>
#include <algorithm>

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
  // The project's title names the preview; a project without one still gets a caption of
  // its own rather than a bare title bar.
  dialog->setWindowTitle(printer.docName().isEmpty() ? kScheduleReportCaption : printer.docName());
  // Qt's own size shows the page too small to read: take most of the screen's height and
  // a page's width beside it, but never so narrow that the tool bar hides Print.
  const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const QRect room = screen->availableGeometry();
    const int height = room.height() * 9 / 10;
    int width = std::max(height * 4 / 5, dialog->sizeHint().width());
    if (const auto* tools = dialog->findChild<QToolBar*>()) {
      width = std::max(width, tools->sizeHint().width());
    }
    dialog->resize(std::min(room.width(), width), height);
  }
  QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
                   [paint](QPrinter* target) { paint(*target); });
  return dialog;
}

}  // namespace zmr
