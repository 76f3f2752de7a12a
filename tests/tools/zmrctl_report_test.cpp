// zmrctl report as a user runs it: the real program, no display.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <cerrno>

#include "base/errors.h"
#include "support/pdf_tools.h"
#include "support/plan_fixtures.h"
#include "support/project_fixtures.h"
#include "support/qt_printers.h"
#include "support/report_fixtures.h"
#include "support/temp_dir.h"

namespace zmr {
namespace {

using namespace zmr::testing;

struct Outcome {
  int status;
  QString out, err;
};

// Without DISPLAY and without a Qt platform chosen: zmrctl must do without both.
Outcome Zmrctl(const QStringList& args) {
  QProcess ctl;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.remove("QT_QPA_PLATFORM");
  ctl.setProcessEnvironment(env);
  ctl.start(ZMR_BIN_DIR "/zmrctl", args);
  EXPECT_TRUE(ctl.waitForFinished(20000));
  return {ctl.exitStatus() == QProcess::NormalExit ? ctl.exitCode() : -1,
          QString::fromUtf8(ctl.readAllStandardOutput()), QString::fromUtf8(ctl.readAllStandardError())};
}

TEST(ZmrctlReport, WritesTheWeeksReportAsAPdfWithoutADisplay) {
  TempDir dir;
  WriteProject(dir.file("week.zmr"), *ReportWeek(kEventsPerDay));
  const QString pdf = dir.file("week.pdf");
  const Outcome o = Zmrctl({"report", dir.file("week.zmr"), "--pdf", pdf});
  EXPECT_EQ(o.status, 0) << o.err.toStdString();
  EXPECT_TRUE(o.out.isEmpty());
  EXPECT_EQ(PdfInfo(pdf, "Pages"), "3");
  EXPECT_EQ(PdfInfo(pdf, "Title"), "Northfield School bells");

  EXPECT_TRUE(Zmrctl({"--help"}).out.contains("report FILE.zmr --pdf OUT.pdf [--list]"));
  const Outcome usage = Zmrctl({"report", dir.file("week.zmr")});
  EXPECT_EQ(usage.status, 2);
  EXPECT_TRUE(usage.err.contains("report needs --pdf OUT.pdf"));
}

TEST(ZmrctlReport, ListWritesTheWeekAsAListInstead) {
  TempDir dir;
  WriteProject(dir.file("week.zmr"), *ReportWeek(kEventsPerDay, 1));
  const QString pdf = dir.file("list.pdf");
  const Outcome o = Zmrctl({"report", dir.file("week.zmr"), "--pdf", pdf, "--list"});
  EXPECT_EQ(o.status, 0) << o.err.toStdString();
  EXPECT_EQ(PdfInfo(pdf, "Pages"), "3");
  const QString text = QString::fromUtf8(RunTool("pdftotext", {"-f", "1", "-l", "1", pdf, "-"}));
  EXPECT_TRUE(text.contains("Week List: ")) << text.toStdString();
  EXPECT_FALSE(text.contains("Schedule Report: "));
}

TEST(ZmrctlReport, ARefusedProjectOrAnUnwritableFileEndsWithItsOwnStatusAndText) {
  TempDir dir;
  WriteBytes(dir.file("notes.zmr"), std::vector<std::uint8_t>(100, 1));
  WriteProject(dir.file("week.zmr"), *ReportWeek(3));
  const QString pdf = dir.file("week.pdf");
  const struct {
    QString project, out;
    int status;
    QString text;
  } cases[] = {
      {dir.file("missing.zmr"), pdf, 3, "error: Project file not found!\n"},
      {dir.file("notes.zmr"), pdf, 3, "error: This is Not a valid project (.psf) file!\n"},
      {dir.file("week.zmr"), dir.file("no folder/week.pdf"),
       6, QString("error: %1.\n").arg(IoError::fromErrno(ENOENT).what())},
      {dir.file("week.zmr"), dir.folder(), 6, QString("error: %1.\n").arg(IoError::fromErrno(EISDIR).what())},
  };
  for (const auto& c : cases) {
    const Outcome o = Zmrctl({"report", c.project, "--pdf", c.out});
    EXPECT_EQ(o.status, c.status) << c.text.toStdString();
    EXPECT_EQ(o.err, c.text);
    EXPECT_FALSE(QFile::exists(pdf)) << c.text.toStdString();  // no PDF, not even a part of one
  }
}

TEST(ZmrctlReport, PlanPdfWritesTheYearFromTheMonthOfFrom) {
  PlanFolder files;
  files.write("north.toml", "week = \"normal.zmr\"\nholidays = [\"terms.ics\"]\n[[period]]\nname = \"Exam week\"\n"
                            "from = 2027-05-10\nto = 2027-05-14\nweek = \"exams.zmr\"\n");
  const QString pdf = files.file("year.pdf");
  const Outcome o = Zmrctl({"plan", files.file("north.toml"), "--pdf", pdf, "--from", "2026-09-14"});
  EXPECT_EQ(o.status, 0) << o.err.toStdString();
  EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
  EXPECT_EQ(PdfInfo(pdf, "Title"), "Year plan north");
  const QString text = QString::fromUtf8(RunTool("pdftotext", {"-layout", pdf, "-"}));
  for (const char* words : {"September 2026 to August 2027", "Exam week", "Half term", "May Day"}) {
    EXPECT_TRUE(text.contains(words)) << words << "\n" << text.toStdString();
  }
  EXPECT_TRUE(Zmrctl({"--help"}).out.contains("plan PLAN.toml --pdf OUT.pdf [--from YYYY-MM-DD]"));

  files.write("bad.toml", "week = \"normal.zmr\"\nweeks = 3\n");
  const Outcome refused = Zmrctl({"plan", files.file("bad.toml"), "--pdf", files.file("bad.pdf")});
  EXPECT_EQ(refused.status, 3);
  EXPECT_TRUE(refused.err.contains("bad.toml line 2: unknown key 'weeks'")) << refused.err.toStdString();
  EXPECT_FALSE(QFile::exists(files.file("bad.pdf")));
}

}  // namespace
}  // namespace zmr
