// Every window says what it is in its own words: the captions a title bar shows.
#include <gtest/gtest.h>

#include <QPrintPreviewDialog>
#include <QPrinter>

#include "editor/ui/scheduleall.h"
#include "hardware/ui/compile.h"
#include "hardware/ui/status.h"
#include "report/ui/printschedule.h"
#include "ui/report_printers.h"
#include "windows/about.h"
#include "windows/newproject.h"
#include "windows/programoptions.h"
#include "windows/start_up.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

TEST(Captions, EveryWindowHasItsOwn) {
  World w;
  ConsoleWindows& windows = w.windows();
  w.started();
  const std::pair<QWidget*, QString> expected[] = {
      {&windows.Mainform(), "Zemra"},
      {&windows.newprojectform(), "Project Properties"},
      {&windows.StartupForm(), "Welcome"},
      {&windows.programoptionsform(), "Program Options"},
      {&windows.aboutform(), "About: ZMR - Console"},
      {&windows.compileform(), "Compile and Download Data"},
      {&windows.statusform(), "ZMR Status"},
      {&windows.scheduleallform(), "Timer Schedule"},
      {&windows.printscheduleform(), "Schedule Report"},
  };
  for (const auto& [window, caption] : expected) {
    EXPECT_EQ(window->windowTitle(), caption) << window->objectName().toStdString();
  }

  // The preview is named by the project's title; without one, by the report.
  for (const auto& [title, caption] : {std::pair{QStringLiteral("Northfield School bells"),
                                                 QStringLiteral("Northfield School bells")},
                                       std::pair{QString(), QStringLiteral("Schedule Report")}}) {
    QPrinter printer;
    PrepareReportPrinter(printer, title);
    const auto preview = MakeReportPreview(printer, nullptr, [](QPagedPaintDevice&) { return 1; });
    EXPECT_EQ(preview->windowTitle(), caption);
  }

  // Saving the report as a PDF file asks under a caption of its own.
  w.prompts.file_answers = {std::nullopt};
  EXPECT_FALSE(windows.printscheduleform().SaveScheduleReportPdf());
  ASSERT_EQ(w.prompts.file_requests.size(), 1u);
  EXPECT_EQ(w.prompts.file_requests[0].caption, "Save Schedule as PDF");
}

}  // namespace
}  // namespace zmr::testing
