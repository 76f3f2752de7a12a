#include "report/ui/printschedule.h"

#include "base/prompts.h"
#include "ui/pdf_saving.h"

namespace zmr {

Tprintscheduleform::Tprintscheduleform(Console& console, QWidget* parent, std::unique_ptr<ReportPrinters> printers,
                                       const Clock* clock)
    : QWidget(parent, Qt::Window),
      console_(console),
      printers_(std::move(printers)),
      clock_(clock != nullptr ? *clock : system_clock_),
      report_(console.data.project, [this] { return clock_.now().date(); }),
      list_(console.data.project, [this] { return clock_.now().date(); }) {
  setObjectName(QStringLiteral("printscheduleform"));
  setWindowTitle(kScheduleReportCaption);
  setAccessibleName(windowTitle());
  setVisible(false);
}

Tprintscheduleform::~Tprintscheduleform() = default;

Tprintscheduleform::Printout Tprintscheduleform::reportPrintout() {
  const ProjectSetup& project = console_.data.project;
  // The job and the report carry the project's title; every page is produced.
  const QString title = project.summary.title.text();
  return {title,
          [this](QPagedPaintDevice& device) { return report_.print(device); },
          kScheduleReportWords,
          kSavePdfCaption,
          ReportPdfName(title),
          [this, &project] { return SchedulePdf(project, clock_.now().date()); }};
}

Tprintscheduleform::Printout Tprintscheduleform::listPrintout() {
  const ProjectSetup& project = console_.data.project;
  const QString title = project.summary.title.text();
  return {title.isEmpty() ? kWeekListCaption : title + QStringLiteral(" - ") + kWeekListCaption,
          [this](QPagedPaintDevice& device) { return list_.print(device); },
          kWeekListWords,
          kSaveListPdfCaption,
          WeekListPdfName(title),
          [this, &project] { return WeekListPdf(project, clock_.now().date()); }};
}

void Tprintscheduleform::PrintScheduleReport(int mode) { run(reportPrintout(), mode); }
void Tprintscheduleform::PrintWeekList(int mode) { run(listPrintout(), mode); }
bool Tprintscheduleform::SaveScheduleReportPdf() { return savePdf(reportPrintout()); }
bool Tprintscheduleform::SaveWeekListPdf() { return savePdf(listPrintout()); }

void Tprintscheduleform::run(const Printout& printout, int mode) {
  if (mode == kReportPreview) {
    printers_->preview(parentWidget(), printout.title, printout.paint);
    return;
  }
  printNow(printout);
}

void Tprintscheduleform::printNow(const Printout& printout) {
  Prompts& prompts = console_.prompts;
  if (!printers_->hasPrinter()) {
    // Printing into nothing would look like success: say so, and offer the PDF instead.
    prompts.beep();
    if (prompts.message(BoxKind::Warning, NoPrinterText(printout.what), BoxButtons::YesNo) == BoxAnswer::Yes) {
      savePdf(printout);
    }
    return;
  }
  bool printed = false;
  {
    BusyCursor busy(prompts);
    printed = printers_->print(printout.title, printout.paint);
  }
  if (!printed) {
    prompts.beep();
    prompts.message(BoxKind::Error, PrintFailedText(printout.what));
  }
}

bool Tprintscheduleform::savePdf(const Printout& printout) {
  // The report window is never shown: the note goes to the window that asked for it.
  return SavePdf(console_.prompts, parentWidget(),
                 {printout.what, printout.pdf_caption, FolderOf(console_.data.state.project_path), printout.pdf_name,
                  printout.pdf});
}

}  // namespace zmr
