#pragma once
// The year plan on paper, as a notice for the staff room: twelve months of days in the
// colours of their weeks with the legend, then the periods and the holidays listed with
// their dates and weeks, on as many pages as they need. For preview, paper and PDF alike.
#include <QByteArray>
#include <QDate>
#include <QString>

#include "plan/plan_model.h"

class QPagedPaintDevice;

namespace zmr {

class YearPlanReport {
 public:
  // first: any day of the first month printed; printed: the date the notice names.
  YearPlanReport(const YearPlan& plan, QDate first, QDate printed);

  // Pages produced, 0 when the device refused to start or to take a new page.
  int print(QPagedPaintDevice& device) const;

 private:
  const YearPlan& plan_;
  QDate first_;
  QDate printed_;
};

// "Year plan north", the title of the notice, of the print job and of the PDF.
QString YearPlanTitle(const YearPlan& plan);
// "north year plan.pdf"
QString YearPlanPdfName(const YearPlan& plan);
// The notice as a PDF document; throws IoError when no page could be produced.
QByteArray YearPlanPdf(const YearPlan& plan, QDate first, QDate printed);

}  // namespace zmr
