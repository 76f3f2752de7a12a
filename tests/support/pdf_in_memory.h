#pragma once
// A report produced once on a PDF in memory, A4 with the report's margins, for tests
// that count its pages or compare two productions. Needs Qt Gui (header only).
#include <QBuffer>
#include <QByteArray>
#include <QPdfWriter>
#include <functional>

#include "report/paint/band_report.h"

namespace zmr::testing {

struct PdfInMemory {
  QByteArray bytes;
  int pages = 0;  // as the paint function reports them; 0 when the device refused
};

inline PdfInMemory ProduceInMemory(const std::function<int(QPagedPaintDevice&)>& paint) {
  PdfInMemory pdf;
  QBuffer buffer(&pdf.bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageLayout(ReportPageLayout());
    pdf.pages = paint(writer);
  }
  return pdf;
}

}  // namespace zmr::testing
