#include <gtest/gtest.h>

#include <QLocale>

#include "report/schedule_feed.h"
#include "support/project_fixtures.h"
#include "support/qt_printers.h"
#include "support/report_fixtures.h"

namespace zmr {
namespace {

using namespace zmr::testing;

std::unique_ptr<ProjectSetup> EmptyWeek() {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  return project;
}

TEST(ReportFeed, ThreeMondayEventsAndOneOnWednesdayGiveThreeRows) {
  auto p = EmptyWeek();
  AddPulse(*p, 1, 1, 7, 30, 5, "Morning bell");
  AddPulse(*p, 1, 2, 9, 5, 12, "Bell");
  AddPulse(*p, 1, 3, 10, 0, 3);
  AddPulse(*p, 3, 1, 8, 0, 1, "Assembly");
  const std::vector<ReportCells> rows = ReportRows(*p);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (ReportCells{" 07:30, 5 Morning bell", "", " 08:00, 1 Assembly", "", "", "", ""}));
  EXPECT_EQ(rows[1], (ReportCells{" 09:05, 12 Bell", "", "", "", "", "", ""}));
  EXPECT_EQ(rows[2], (ReportCells{" 10:00, 3 ", "", "", "", "", "", ""}));
}

TEST(ReportFeed, AFullDayGivesAllItsRowsAndNothingPastSlot120) {
  for (int days : {1, 7}) {
    auto p = ReportWeek(kEventsPerDay, days);
    // Slots past the schedule may hold anything; the report never reaches them.
    for (int day = 1; day <= kDays; ++day) {
      AddPulse(*p, day, 121, 23, 59, 1, "beyond");
    }
    const std::vector<ReportCells> rows = ReportRows(*p);
    ASSERT_EQ(rows.size(), 120u) << days;
    EXPECT_EQ(rows[119][0], ReportCellText(p->slot(1, 120)));
    EXPECT_EQ(rows[119][6].isEmpty(), days == 1);

    ScheduleFeed feed(*p);
    feed.BeforePrint();
    ReportCells cells;
    for (int r = 1; r <= 120; ++r) {
      ASSERT_TRUE(feed.NeedData(cells)) << r;
    }
    EXPECT_EQ(feed.row_counter, 121);
    EXPECT_FALSE(feed.NeedData(cells));
    EXPECT_FALSE(feed.NeedData(cells));  // and stays at the end
    EXPECT_EQ(feed.row_counter, 121);
  }
}

TEST(ReportFeed, AGapFromALoadedFileShowsEmptyCellsAndTheFirstEmptyRowEndsTheReport) {
  auto p = EmptyWeek();
  AddPulse(*p, 1, 1, 7, 0, 1);
  AddPulse(*p, 1, 3, 9, 0, 1);  // slot 2 of Monday is a gap
  AddPulse(*p, 2, 1, 7, 0, 2);
  AddPulse(*p, 2, 2, 8, 0, 2);
  AddPulse(*p, 5, 5, 12, 0, 5);  // below a position where every day is empty
  const std::vector<ReportCells> rows = ReportRows(*p);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1][0], "");
  EXPECT_EQ(rows[1][1], " 08:00, 2 ");
  EXPECT_EQ(rows[2][0], " 09:00, 1 ");
  EXPECT_EQ(rows[2][1], "");

  // A slot counts by its hour: a set hour with an empty kind still prints its time.
  p->slot(3, 1).hour = 6;
  p->slot(3, 1).minute = 15;
  EXPECT_EQ(ReportRows(*p)[0][2], " 06:15,  ");
  // And an unset hour hides an event whatever its kind.
  p->slot(1, 1).hour = kEmptyTime;
  EXPECT_EQ(ReportRows(*p)[0][0], "");
}

TEST(ReportFeed, ANewProductionStartsAtRowOneAndCellsKeepTheirTextAtTheEnd) {
  auto p = ReportWeek(3, 2);
  ScheduleFeed feed(*p);
  ReportCells cells;
  feed.BeforePrint();
  while (feed.NeedData(cells)) {
  }
  const ReportCells last = cells;
  EXPECT_EQ(last[0], ReportCellText(p->slot(1, 3)));  // left as the last row had them
  feed.BeforePrint();
  EXPECT_EQ(feed.row_counter, 1);
  ASSERT_TRUE(feed.NeedData(cells));
  EXPECT_EQ(cells[0], ReportCellText(p->slot(1, 1)));
  EXPECT_EQ(ReportRows(*p), ReportRows(*p));

  EXPECT_TRUE(ReportRows(*EmptyWeek()).empty());  // an empty week: no rows at all
}

TEST(ReportFeed, CellTextIsABlankTheEventTextABlankAndTheTitle) {
  auto p = EmptyWeek();
  AddPulse(*p, 1, 1, 7, 30, 5, "Morning bell");
  AddPulse(*p, 1, 2, 9, 5, 12, "Bell");
  ScheduleEvent& on = p->slot(1, 3);
  on = p->slot(1, 1);
  on.hour = 18;
  on.minute = 5;
  on.kind = static_cast<std::uint8_t>(EventKind::On);
  on.title.clear();
  ScheduleEvent off = on;
  off.kind = static_cast<std::uint8_t>(EventKind::Off);
  off.title.setText(QString(100, u'x'));
  ScheduleEvent odd = on;
  odd.kind = 7;
  EXPECT_EQ(ReportCellText(p->slot(1, 1)), " 07:30, 5 Morning bell");
  EXPECT_EQ(ReportCellText(p->slot(1, 2)), " 09:05, 12 Bell");
  EXPECT_EQ(ReportCellText(on), " 18:05, On ");
  EXPECT_EQ(ReportCellText(off), " 18:05, Off " + QString(100, u'x'));
  EXPECT_EQ(ReportCellText(odd), " 18:05,  ");

  // The title begins where the time and pulse end, whatever the kind.
  odd.title.setText("Odd one");
  const std::pair<ScheduleEvent, QString> titles[] = {
      {p->slot(1, 1), "Morning bell"}, {p->slot(1, 2), "Bell"}, {on, ""},
      {off, QString(100, u'x')},       {odd, "Odd one"},
  };
  for (const auto& [event, title] : titles) {
    const QString cell = ReportCellText(event);
    EXPECT_EQ(cell.mid(ReportTitleStart(cell)), title) << cell.toStdString();
  }
  EXPECT_EQ(ReportTitleStart(QString()), 0);
}

TEST(ReportHeader, TheTitleDateIsDayFirstAndPaddedWhateverTheLocale) {
  const std::pair<QDate, QString> dates[] = {
      {QDate(2004, 3, 5), "05/03/2004"},   {QDate(2004, 12, 25), "25/12/2004"},
      {QDate(2026, 1, 31), "31/01/2026"},  {QDate(2026, 11, 9), "09/11/2026"},
      {QDate(2026, 10, 10), "10/10/2026"},
  };
  const QLocale saved;
  for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates),
                                QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Japanese)}) {
    QLocale::setDefault(locale);
    for (const auto& [date, text] : dates) {
      EXPECT_EQ(ReportDate(date), text) << locale.name().toStdString();
    }
  }
  QLocale::setDefault(saved);

  auto p = ReportWeek(0);
  p->summary.manager.clear();
  const ReportHeaderTexts h = ReportHeader(p->summary, QDate(2004, 3, 5));
  EXPECT_EQ(h.qr_maintitle, "Schedule Report: 05/03/2004");
  EXPECT_EQ(h.qr_title, "Northfield School bells");
  EXPECT_EQ(h.qr_subject, "Main building, winter term");
  EXPECT_EQ(h.qr_author, "J. Fletcher");
  EXPECT_EQ(h.qr_manager, "");
  EXPECT_EQ(h.qr_company, "Northfield Community School");
}

TEST(ReportHeader, ThePdfNameComesFromTheTitle) {
  const std::pair<QString, QString> names[] = {
      {"Main Hall", "Main Hall.pdf"},
      {"Term 1/2: \"bells\"?", "Term 1_2_ _bells__.pdf"},
      {"  ..hidden ", "hidden.pdf"},
      {"", "Schedule Report.pdf"},
      {"///", "___.pdf"},
  };
  for (const auto& [title, name] : names) {
    EXPECT_EQ(ReportPdfName(title), name) << title.toStdString();
  }
}

}  // namespace
}  // namespace zmr
