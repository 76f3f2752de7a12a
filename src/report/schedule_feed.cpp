#include "report/schedule_feed.h"

namespace zmr {

QString ReportDate(const QDate& today) {
  // Joined unpadded, then padded by position: one-digit day, then one-digit month.
  QString date = QString::number(today.day()) + '/' + QString::number(today.month()) + '/' +
                 QString::number(today.year());
  if (date.size() > 1 && date[1] == u'/') {
    date.prepend(u'0');
  }
  if (date.size() > 4 && date[4] == u'/') {
    date.insert(3, u'0');
  }
  return date;
}

ReportHeaderTexts ReportHeader(const ProjectSummary& summary, const QDate& today) {
  return {
      QStringLiteral("Schedule Report: ") + ReportDate(today),
      summary.title.text(),
      summary.subject.text(),
      summary.author.text(),
      summary.manager.text(),
      summary.company.text(),
  };
}

QString ReportCellText(const ScheduleEvent& event) {
  return u' ' + EventText(event) + u' ' + event.title.text();
}

int ReportTitleStart(const QString& cell) {
  constexpr int kAfterTime = 8;  // " HH:MM, " comes first
  const int blank = cell.size() > kAfterTime ? static_cast<int>(cell.indexOf(u' ', kAfterTime)) : -1;
  return blank < 0 ? static_cast<int>(cell.size()) : blank + 1;
}

bool ScheduleFeed::NeedData(ReportCells& cells) {
  const int r = row_counter;
  bool more = false;
  if (r >= 1 && r <= kReportRows) {
    for (int day = 1; day <= kDays && !more; ++day) {
      more = IsReportFilled(project_.slot(day, r));
    }
  }
  if (more) {
    for (int day = 1; day <= kDays; ++day) {
      const ScheduleEvent& event = project_.slot(day, r);
      cells[day - 1] = IsReportFilled(event) ? ReportCellText(event) : QString();
    }
  }
  if (r > kReportRows) {
    return false;
  }
  ++row_counter;
  return more;
}

QString FileNameOf(const QString& title) {
  QString name;
  for (const QChar c : title) {
    const bool unfit = c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c);
    name += unfit ? u'_' : c;
  }
  name = name.trimmed();
  while (name.startsWith(u'.')) {
    name.remove(0, 1);  // no hidden file, no "." or ".."
  }
  return name;
}

QString ReportPdfName(const QString& title) {
  const QString name = FileNameOf(title);
  return (name.isEmpty() ? QStringLiteral("Schedule Report") : name) + QStringLiteral(".pdf");
}

std::vector<ReportCells> ReportRows(const ProjectSetup& project) {
  ScheduleFeed feed(project);
  feed.BeforePrint();
  std::vector<ReportCells> rows;
  ReportCells cells;
  while (feed.NeedData(cells)) {
    rows.push_back(cells);
  }
  return rows;
}

}  // namespace zmr
