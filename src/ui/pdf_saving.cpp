#include "ui/pdf_saving.h"

#include <QFileInfo>

#include "base/prompts.h"
#include "report/paint/schedule_report.h"
#include "ui/transient_note.h"

namespace zmr {

bool SavePdf(Prompts& prompts, QWidget* window, const PdfSaving& saving) {
  FileDialogRequest request;
  request.caption = saving.caption;
  request.initial_folder = saving.folder;
  request.filter = kPdfFilter;
  request.default_suffix = QStringLiteral("pdf");
  request.proposed_name = saving.proposed_name;
  const std::optional<QString> path = prompts.saveFileName(request);
  if (!path) return false;
  {
    BusyCursor busy(prompts);
    WritePdfFile(*path, saving.pdf());
  }
  if (window != nullptr) NoteOf(*window).show(PdfSavedNote(saving.what, QFileInfo(*path).fileName()));
  return true;
}

}  // namespace zmr
