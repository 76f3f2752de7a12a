#pragma once
// The week as a list, for the notice board: each day's events one per line with their
// time, pulse and whole title, day after day, fed one row at a time as the band report
// asks for them. The printed list's page header and file name.
#include <QDate>
#include <QString>
#include <vector>

#include "project/project_model.h"
#include "report/schedule_feed.h"

namespace zmr {

struct WeekListRow {
  int day = 1;  // 1..7
  bool first_of_day = false;
  QString day_name;  // "Monday" on a day's first row, else empty
  QString time;      // "08:00"
  QString pulse;     // "5 s", "On", "Off"; empty for a kind the editor only shows
  QString title;     // whole, as stored
};

// "Monday" .. "Sunday".
QString LongDayName(int day);
QString ListPulseText(const ScheduleEvent& event);

// Every event of the week as the grid shows them (slots 1..120 whose kind is not Empty),
// each day in time order, Monday first; days without events give no rows.
std::vector<WeekListRow> WeekListRows(const ProjectSetup& project);

// The row feed of one production. BeforePrint starts it over, so a preview followed by a
// print gives the same rows.
class WeekListFeed {
 public:
  explicit WeekListFeed(const ProjectSetup& project) : project_(project) {}
  void BeforePrint();
  // Asked before each row and once more to learn that none follows; row holds the row.
  bool NeedData(WeekListRow& row);

 private:
  const ProjectSetup& project_;
  std::vector<WeekListRow> rows_;
  std::size_t next_ = 0;
};

// The page header's texts: as the schedule report's, but titled as the list.
ReportHeaderTexts WeekListHeader(const ProjectSummary& summary, const QDate& today);

// The file name the save dialog proposes: "<title> list.pdf", "Week List.pdf" without one.
QString WeekListPdfName(const QString& title);

inline const QString kWeekListCaption = QStringLiteral("Week List");

}  // namespace zmr
