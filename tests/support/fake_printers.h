#pragma once
// A print system for window tests (header only; needs the window kit).
#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <vector>

#include "support/pdf_in_memory.h"
#include "ui/report_printers.h"

namespace zmr::testing {

// The print system without one: records what the window asks and produces each job
// as a PDF in memory.
class FakePrinters : public ReportPrinters {
 public:
  bool has_printer = true;
  bool job_succeeds = true;
  std::vector<QString> log;
  std::vector<int> pages;  // pages of each production, in order
  std::vector<QByteArray> documents;

  bool hasPrinter() override { return has_printer; }
  void preview(QWidget*, const QString& title, const Paint& paint) override {
    log.push_back("preview: " + title);
    produce(paint);  // the preview
    produce(paint);  // and the user prints from it
  }
  bool print(const QString& title, const Paint& paint) override {
    log.push_back("print: " + title);
    produce(paint);
    return job_succeeds;
  }

 private:
  void produce(const Paint& paint) {
    const PdfInMemory pdf = ProduceInMemory(paint);
    pages.push_back(pdf.pages);
    documents.push_back(QString::fromLatin1(pdf.bytes).remove(QRegularExpression("/CreationDate \\([^)]*\\)")).toLatin1());
  }
};

}  // namespace zmr::testing
