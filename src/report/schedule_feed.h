#pragma once
// What the schedule report prints, without a printer: the page header's texts and the
// rows of the week, fed one at a time the way the band report asks for them.
#include <QDate>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "project/project_model.h"

namespace zmr {

// The report prints at most this many rows: one per slot position of a day.
inline constexpr int kReportRows = kEventsPerDay;

// The texts the before-print step puts into the page header's named labels.
struct ReportHeaderTexts {
  QString qr_maintitle;  // "Schedule Report: " and the date
  QString qr_title;
  QString qr_subject;
  QString qr_author;
  QString qr_manager;
  QString qr_company;
};

// The date as DD/MM/YYYY, day first and zero-padded, whatever the locale says.
QString ReportDate(const QDate& today);

ReportHeaderTexts ReportHeader(const ProjectSummary& summary, const QDate& today);

// The text of a filled slot in its day cell: " " + EventText + " " + title.
QString ReportCellText(const ScheduleEvent& event);

// Where the title begins in a cell's text: after the blank that follows the time and the
// pulse (or On, Off, nothing); the whole length for a text without a title.
int ReportTitleStart(const QString& cell);

// A slot counts as filled for the report when its hour is set, whatever its kind.
inline bool IsReportFilled(const ScheduleEvent& event) { return event.hour != kEmptyTime; }

// One cell per day, Monday first.
using ReportCells = std::array<QString, kDays>;

// The row feed of one production of the report. BeforePrint starts it over, so a
// preview followed by a print, or two prints, give the same rows.
class ScheduleFeed {
 public:
  explicit ScheduleFeed(const ProjectSetup& project) : project_(project) {}

  void BeforePrint() { row_counter = 1; }
  // Asked before each row and once more to learn that none follows. When a row
  // follows, cells holds it; otherwise cells is left as it was.
  bool NeedData(ReportCells& cells);

  std::uint8_t row_counter = 1;  // slot position of the next row, 1..121

 private:
  const ProjectSetup& project_;
};

// A title as a file name: the characters a file name cannot hold replaced, no leading
// dots, no blanks around it; empty when nothing is left.
QString FileNameOf(const QString& title);

// The file name the save dialog proposes for the report's PDF: the title, with the
// characters a file name cannot hold replaced, and ".pdf"; "Schedule Report.pdf" without one.
QString ReportPdfName(const QString& title);

// Every row one production prints, in order.
std::vector<ReportCells> ReportRows(const ProjectSetup& project);

}  // namespace zmr
