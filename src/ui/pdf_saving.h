#pragma once
// A printout saved as a PDF file, the same way for every printout: the save dialog
// through Prompts, the file written in one step under the hourglass, a note that says so.
#include <QByteArray>
#include <QString>
#include <functional>

class QWidget;

namespace zmr {

class Prompts;

struct PdfSaving {
  QString what;           // how the note names the printout: "schedule report", "year plan"
  QString caption;        // of the save dialog
  QString folder;         // where the dialog starts
  QString proposed_name;  // "north year plan.pdf"
  std::function<QByteArray()> pdf;
};

// False when the dialog was cancelled. The note goes to `window` when there is one; a
// file that cannot be written throws IoError with the system's text.
bool SavePdf(Prompts& prompts, QWidget* window, const PdfSaving& saving);

inline QString PdfSavedNote(const QString& what, const QString& file) {
  return QStringLiteral("The %1 was saved as %2.").arg(what, file);
}
inline const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)|*.pdf");

}  // namespace zmr
