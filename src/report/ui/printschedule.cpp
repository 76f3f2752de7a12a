#include "report/ui/printschedule.h"

#include <QFileInfo>

#include "base/prompts.h"
#include "ui/transient_note.h"

namespace zmr {

Tprintscheduleform::Tprintscheduleform(Console& console, QWidget* parent, std::unique_ptr<ReportPrinters> printers,
                                       const Clock* clock)
    : QWidget(parent, Qt::Window),
      console_(console),
      printers_(std::move(printers)),
      clock_(clock != nullptr ? *clock : system_clock_),
      report_(console.data.project, [this] { return clock_.now().date(); }) {
  setObjectName(QStringLiteral("printscheduleform"));
  setWindowTitle(kScheduleReportCaption);
  setAccessibleName(windowTitle());
  setVisible(false);
}

Tprintscheduleform::~Tprintscheduleform() = default;

void Tprintscheduleform::PrintScheduleReport(int mode) {
  // The job and the report carry the project's title; every page is produced.
  const QString title = console_.data.project.summary.title.text();
  const ReportPrinters::Paint paint = [this](QPagedPaintDevice& device) { return this->paint(device); };
  if (mode == kReportPreview) {
    printers_->preview(parentWidget(), title, paint);
    return;
  }
  printNow(title);
}

void Tprintscheduleform::printNow(const QString& title) {
  Prompts& prompts = console_.prompts;
  if (!printers_->hasPrinter()) {
    // Printing into nothing would look like success: say so, and offer the PDF instead.
    prompts.beep();
    if (prompts.message(BoxKind::Warning, kNoPrinterText, BoxButtons::YesNo) == BoxAnswer::Yes) {
      SaveScheduleReportPdf();
    }
    return;
  }
  bool printed = false;
  {
    BusyCursor busy(prompts);
    printed = printers_->print(title, [this](QPagedPaintDevice& device) { return paint(device); });
  }
  if (!printed) {
    prompts.beep();
    prompts.message(BoxKind::Error, kPrintFailedText);
  }
}

bool Tprintscheduleform::SaveScheduleReportPdf() {
  const auto& data = console_.data;
  FileDialogRequest request;
  request.caption = kSavePdfCaption;
  request.initial_folder = FolderOf(data.state.project_path);
  request.filter = kPdfFilter;
  request.default_suffix = QStringLiteral("pdf");
  request.proposed_name = ReportPdfName(data.project.summary.title.text());
  const std::optional<QString> path = console_.prompts.saveFileName(request);
  if (!path) {
    return false;
  }
  {
    BusyCursor busy(console_.prompts);
    WriteSchedulePdf(*path, data.project, clock_.now().date());
  }
  // The report window is never shown: the note goes to the window that asked for it.
  if (parentWidget() != nullptr) {
    NoteOf(*parentWidget()).show(kPdfSavedNote.arg(QFileInfo(*path).fileName()));
  }
  return true;
}

}  // namespace zmr
