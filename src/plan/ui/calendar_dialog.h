#pragma once
// One holidays entry of the year plan: its calendar file or web address and the words
// that pick its events, with the calendar's events listed as counting or not, so a
// term-date feed can be cut down to its holidays while looking at it. OK stores nothing
// until the plan reader's checks pass; each fault shows beside its field.
#include <QDate>
#include <memory>
#include <vector>

#include "plan/calendar_loading.h"
#include "plan/plan_edit.h"
#include "ui/console.h"

class QLabel;

namespace Ui {
class Tcalendarform;
}

namespace zmr {

class Tcalendarform : public ConsoleDialog {
 public:
  explicit Tcalendarform(Console& console, QWidget* parent = nullptr);
  ~Tcalendarform() override;

  // The plan the entry belongs to, the entry to show (`replacing` its index, -1 for a new
  // one), the day the checks are made for, and how web calendars are had. A named
  // calendar is read at once.
  void setCalendar(const YearPlan& plan, const HolidayCalendar& entry, int replacing, QDate today,
                   const CalendarAccess& access);
  // The entry as the fields hold it.
  HolidayCalendar calendar() const;
  void FormShow() override;

  void calendarbrowsebutClick();
  void calendarreadbutClick();
  void calendarokClick();
  // The fault last shown beside a field ("" where there is none).
  QString faultBeside(CalendarField field) const;

 private:
  void showEvents();
  void showFaults(const std::vector<CalendarFieldFault>& faults);

  Console& console_;
  std::unique_ptr<Ui::Tcalendarform> ui_;
  YearPlan plan_;
  int replacing_ = -1;
  QDate today_;
  CalendarAccess access_;
  std::vector<HolidaySpan> spans_;  // of the calendar last read, every event's
  bool read_ = false;
};

inline const QString kCalendarFilter = QStringLiteral("holiday calendar (*.ics)|*.ics");
inline const QString kCalendarCountText = QStringLiteral("Events that count: %1 of %2, %3 without bells.");
inline const QString kCalendarNotReadText = QStringLiteral("Name a calendar file or address and Read it to see its events.");
inline const QString kCalendarCountsText = QStringLiteral("yes");
inline const QString kCalendarDoesNotCountText = QStringLiteral("no");

}  // namespace zmr
