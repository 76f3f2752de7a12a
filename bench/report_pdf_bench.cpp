// The schedule report of a full week (7 x 120 events, 3 pages) as a PDF: time from the
// project record to the finished document in memory, median of several runs.
// Run: build/default/bin/report_pdf_bench [runs] [--out week.pdf]
#include <QGuiApplication>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "report/paint/schedule_report.h"
#include "support/report_fixtures.h"

int main(int argc, char** argv) {
  int runs = 15;
  const char* out = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
      out = argv[++i];
    } else {
      runs = std::max(1, std::atoi(argv[i]));
    }
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const auto week = zmr::testing::ReportWeek(zmr::kEventsPerDay);
  const QDate today(2004, 3, 5);

  (void)zmr::SchedulePdf(*week, today);  // fonts loaded once, as in a running program
  std::vector<double> ms;
  QByteArray pdf;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    pdf = zmr::SchedulePdf(*week, today);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("full week report PDF: %d runs, median %.1f ms, min %.1f ms, max %.1f ms, %lld bytes\n", runs,
              ms[ms.size() / 2], ms.front(), ms.back(), static_cast<long long>(pdf.size()));
  if (out != nullptr) {
    QFile file(QString::fromLocal8Bit(out));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size()) {
      std::fprintf(stderr, "cannot write %s\n", out);
      return 1;
    }
  }
  return 0;
}
