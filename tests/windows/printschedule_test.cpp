#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QMenu>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QToolBar>

#include "base/errors.h"
#include "report/ui/printschedule.h"
#include "support/fake_clock.h"
#include "support/fake_printers.h"
#include "support/pdf_in_memory.h"
#include "support/pdf_tools.h"
#include "support/report_fixtures.h"
#include "windows/mainform.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

class RecordingReport : public ScheduleReport {
 public:
  std::vector<int> modes;
  std::vector<int> list_modes;
  int pdfs = 0;
  int list_pdfs = 0;
  void PrintScheduleReport(int mode) override { modes.push_back(mode); }
  bool SaveScheduleReportPdf() override { return ++pdfs, true; }
  void PrintWeekList(int mode) override { list_modes.push_back(mode); }
  bool SaveWeekListPdf() override { return ++list_pdfs, true; }
};

class PrintScheduleTest : public ::testing::Test {
 protected:
  // A full Monday in an open project at dir/Main Hall.zmr.
  void OpenProject(World& world) {
    auto week = ReportWeek(kEventsPerDay, 1);
    week->summary.title.setText("Main Hall");
    world.data->project = *week;
    world.data->state.project_path = world.dir.file("Main Hall.zmr");
    world.data->state.project_open = true;
  }
  Tprintscheduleform& Form() {
    auto printers = std::make_unique<FakePrinters>();
    fake = printers.get();
    form = std::make_unique<Tprintscheduleform>(w.console, nullptr, std::move(printers), &clock);
    OpenProject(w);
    return *form;
  }

  World w;
  FakeClock clock;
  FakePrinters* fake = nullptr;
  std::unique_ptr<Tprintscheduleform> form;
};

TEST_F(PrintScheduleTest, TheHiddenReportWindowComesLastAndEnablesThePrintCommands) {
  TMainform& main = w.started();
  Tprintscheduleform& report = w.windows().printscheduleform();
  EXPECT_EQ(w.console.report, &report);
  EXPECT_FALSE(report.isVisible());
  EXPECT_EQ(report.parent(), &main);
  EXPECT_EQ(main.children().indexOf(&report), main.children().size() - 1);  // created last
  const QList<QAction*> items = Control<QMenu>(main, "Print1")->actions();
  ASSERT_EQ(items.size(), 7);
  EXPECT_EQ(items[1]->objectName(), "printprint");
  EXPECT_EQ(items[2]->objectName(), "printpdf");
  EXPECT_EQ(items[2]->text(), "Save as PDF ...");
  EXPECT_TRUE(items[3]->isSeparator());
  // The week as a list, beside the grid.
  const std::pair<const char*, const char*> list_items[] = {{"listpreview", "Week List Preview"},
                                                            {"listprint", "Print Week List"},
                                                            {"listpdf", "Save Week List as PDF ..."}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(items[4 + i]->objectName(), list_items[i].first);
    EXPECT_EQ(items[4 + i]->text(), list_items[i].second);
  }
  const char* const commands[] = {"printpreview", "printprint",  "printpdf",  "toolbutpreview",
                                  "toolbutprint", "listpreview", "listprint", "listpdf"};
  for (const char* name : commands) {
    EXPECT_FALSE(Control(main, name)->isEnabled()) << name;
  }
  OpenProject(w);
  main.RefreshMainMenu();
  for (const char* name : commands) {
    EXPECT_TRUE(Control(main, name)->isEnabled()) << name;
  }
  QToolBar* bar = Control<QToolBar>(main, "ToolBar1");
  EXPECT_EQ(bar->widgetForAction(Control(main, "toolbutpreview"))->accessibleName(), "Print Preview");
  EXPECT_EQ(bar->widgetForAction(Control(main, "toolbutprint"))->accessibleName(), "Print");

  // Each command calls the report's entry with its mode.
  RecordingReport recording;
  w.console.report = &recording;
  for (const char* name : {"printpreview", "toolbutpreview", "printprint", "toolbutprint", "printpdf"}) {
    Control(main, name)->trigger();
  }
  EXPECT_EQ(recording.modes, (std::vector<int>{kReportPreview, kReportPreview, kReportPrint, kReportPrint}));
  EXPECT_EQ(recording.pdfs, 1);
  for (const char* name : {"listpreview", "listprint", "listpdf"}) {
    Control(main, name)->trigger();
  }
  EXPECT_EQ(recording.list_modes, (std::vector<int>{kReportPreview, kReportPrint}));
  EXPECT_EQ(recording.list_pdfs, 1);
  w.console.report = &report;
}

TEST_F(PrintScheduleTest, PreviewShowsTheReportUnderTheProjectsTitleAndPrintsTheSameFromIt) {
  Tprintscheduleform& report = Form();
  report.PrintScheduleReport(kReportPreview);
  EXPECT_EQ(fake->log, std::vector<QString>{"preview: Main Hall"});
  EXPECT_EQ(fake->pages, (std::vector<int>{3, 3}));
  EXPECT_EQ(fake->documents[0], fake->documents[1]);
  EXPECT_TRUE(w.prompts.log.empty());
}

TEST_F(PrintScheduleTest, PrintModeGoesStraightToThePrinterAndReportsAFailedJob) {
  Tprintscheduleform& report = Form();
  report.PrintScheduleReport(kReportPrint);
  report.PrintScheduleReport(7);  // any mode but preview prints
  EXPECT_EQ(fake->log, (std::vector<QString>{"print: Main Hall", "print: Main Hall"}));
  EXPECT_EQ(fake->pages, (std::vector<int>{3, 3}));
  EXPECT_EQ(w.prompts.log, (std::vector<std::string>{"busy", "idle", "busy", "idle"}));

  fake->job_succeeds = false;
  report.PrintScheduleReport(kReportPrint);
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Error);
  EXPECT_EQ(w.prompts.boxes[0].text,
            "The schedule report could not be printed. Please check the printer and try again.");
  EXPECT_TRUE(w.prompts.boxes[0].beeped);
  EXPECT_EQ(w.prompts.log.back(), "error: " + w.prompts.boxes[0].text.toStdString());
  EXPECT_EQ(w.prompts.log[w.prompts.log.size() - 3], "idle");  // the cursor is back before the box
}

TEST_F(PrintScheduleTest, WithoutAPrinterTheReportIsOfferedAsAPdf) {
  Tprintscheduleform& report = Form();
  fake->has_printer = false;
  const QString pdf = w.dir.file("wall.pdf");

  w.prompts.answers = {BoxAnswer::No, BoxAnswer::Yes, BoxAnswer::Yes};
  w.prompts.file_answers = {std::nullopt, pdf};
  report.PrintScheduleReport(kReportPrint);  // No: nothing more
  EXPECT_EQ(w.prompts.log, (std::vector<std::string>{"beep", "warning?: " + kNoPrinterText.toStdString()}));
  EXPECT_EQ(kNoPrinterText,
            "No printer is installed on this computer, so the schedule report cannot be printed.\r\n"
            "Do you want to save the schedule report as a PDF file instead?");
  report.PrintScheduleReport(kReportPrint);  // Yes, then the dialog is cancelled
  EXPECT_FALSE(QFile::exists(pdf));
  report.PrintScheduleReport(kReportPrint);  // Yes, and a file chosen
  EXPECT_TRUE(fake->log.empty());            // nothing was sent to a printer
  EXPECT_EQ(w.prompts.boxes.size(), 3u);
  ASSERT_EQ(w.prompts.file_requests.size(), 2u);
  const FileDialogRequest& request = w.prompts.file_requests[1];
  EXPECT_EQ(request.proposed_name, "Main Hall.pdf");
  EXPECT_EQ(request.default_suffix, "pdf");
  EXPECT_EQ(request.filter, "PDF document (*.pdf)|*.pdf");
  EXPECT_EQ(request.initial_folder, w.dir.folder());

  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF-"));
  EXPECT_EQ(PdfInfo(pdf, "Pages"), "3");
  EXPECT_EQ(w.prompts.busy_depth, 0);
}

TEST_F(PrintScheduleTest, TheWeekListPrintsPreviewsAndSavesAsTheReportDoesWithItsOwnWords) {
  Tprintscheduleform& report = Form();
  const struct {
    const char* what;
    std::function<void(int)> print;
    std::function<bool()> pdf;
    QString job;
    int pages;  // a full Monday: 120 rows of the grid, 120 lines of the list
    QString no_printer;
    QString failed;
    QString caption, proposed;
  } printouts[] = {
      {"report", [&](int mode) { report.PrintScheduleReport(mode); },
       [&] { return report.SaveScheduleReportPdf(); }, "Main Hall", 3, kNoPrinterText, kPrintFailedText,
       "Save Schedule as PDF", "Main Hall.pdf"},
      {"list", [&](int mode) { report.PrintWeekList(mode); }, [&] { return report.SaveWeekListPdf(); },
       "Main Hall - Week List", 3, NoPrinterText(kWeekListWords), PrintFailedText(kWeekListWords), "Save Week List as PDF",
       "Main Hall list.pdf"},
  };
  EXPECT_EQ(NoPrinterText(kWeekListWords),
            "No printer is installed on this computer, so the week list cannot be printed.\r\n"
            "Do you want to save the week list as a PDF file instead?");
  for (const auto& p : printouts) {
    SCOPED_TRACE(p.what);
    fake->log.clear();
    fake->pages.clear();
    fake->has_printer = true;
    fake->job_succeeds = true;
    w.prompts.boxes.clear();
    w.prompts.file_requests.clear();
    p.print(kReportPreview);
    p.print(kReportPrint);
    EXPECT_EQ(fake->log, (std::vector<QString>{"preview: " + p.job, "print: " + p.job}));
    EXPECT_EQ(fake->pages, std::vector<int>(3, p.pages));
    fake->job_succeeds = false;
    p.print(kReportPrint);
    fake->has_printer = false;
    w.prompts.answers = {BoxAnswer::Yes};
    w.prompts.file_answers = {std::nullopt};
    p.print(kReportPrint);
    EXPECT_EQ(w.prompts.texts(), (std::vector<QString>{p.failed, p.no_printer}));
    const QString pdf = w.dir.file(QString::fromLatin1(p.what) + ".pdf");
    w.prompts.file_answers = {pdf};
    EXPECT_TRUE(p.pdf());
    ASSERT_EQ(w.prompts.file_requests.size(), 2u);
    EXPECT_EQ(w.prompts.file_requests[1].caption, p.caption);
    EXPECT_EQ(w.prompts.file_requests[1].proposed_name, p.proposed);
    EXPECT_EQ(PdfInfo(pdf, "Pages"), QString::number(p.pages));
    EXPECT_EQ(PdfInfo(pdf, "Title"), "Main Hall");
  }
}

TEST_F(PrintScheduleTest, APdfThatCannotBeWrittenEndsWithTheSystemsText) {
  Tprintscheduleform& report = Form();
  w.prompts.file_answers = {w.dir.file("no such folder/week.pdf")};
  try {
    report.SaveScheduleReportPdf();
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), IoError::fromErrno(ENOENT).what());
  }
  EXPECT_EQ(w.prompts.busy_depth, 0);  // the cursor came back on the way out
}

TEST_F(PrintScheduleTest, TheQtPreviewDrawsEveryPageOfTheReport) {
  Tprintscheduleform& report = Form();
  QPrinter printer(QPrinter::HighResolution);
  PrepareReportPrinter(printer, "Main Hall");
  EXPECT_EQ(printer.docName(), "Main Hall");
  EXPECT_EQ(printer.printRange(), QPrinter::AllPages);
  EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
  EXPECT_EQ(printer.pageLayout().margins(QPageLayout::Millimeter), QMarginsF(12.7, 12.7, 12.7, 12.7));
  auto dialog = MakeReportPreview(
      printer, nullptr, [&report](QPagedPaintDevice& device) { return report.QuickRep1().print(device); });
  // Big enough to read: most of the screen's height.
  const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_GE(dialog->height(), room.height() * 85 / 100);
  EXPECT_LE(dialog->height(), room.height());
  EXPECT_LE(dialog->width(), room.width());
  auto* tools = dialog->findChild<QToolBar*>();
  ASSERT_NE(tools, nullptr);
  EXPECT_GE(dialog->width(), tools->sizeHint().width()) << "every tool, Print too, in sight";
  auto* preview = dialog->findChild<QPrintPreviewWidget*>();
  ASSERT_NE(preview, nullptr);
  preview->updatePreview();
  EXPECT_EQ(preview->pageCount(), 3);
}

}  // namespace
}  // namespace zmr::testing
