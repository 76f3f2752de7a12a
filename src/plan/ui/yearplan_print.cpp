// The Year Plan window: the plan as a notice for the staff room, in the print preview or
// as a PDF file, twelve months from the first one in sight.
#include <QFileInfo>

#include "plan/paint/year_plan_report.h"
#include "plan/ui/plan_months.h"
#include "plan/ui/yearplan.h"
#include "ui/pdf_saving.h"
#include "ui/zmr_application.h"

namespace zmr {

void Tyearplanform::printplanbutClick() {
  if (!plan_) return;
  const YearPlanReport report(*plan_, months_->firstMonth(), today());
  printers_->preview(this, YearPlanTitle(*plan_), [&](QPagedPaintDevice& device) { return report.print(device); });
}

void Tyearplanform::pdfplanbutClick() {
  if (!plan_) return;
  const YearPlan& plan = *plan_;
  const QDate first = months_->firstMonth();
  const QDate printed = today();
  RunGuarded(console_.prompts, [&] {
    SavePdf(console_.prompts, this,
            {kYearPlanWords, kSaveYearPlanPdfCaption, QFileInfo(plan.path).absolutePath(), YearPlanPdfName(plan),
             [&] { return YearPlanPdf(plan, first, printed); }});
  });
}

}  // namespace zmr
