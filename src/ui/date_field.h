#pragma once
// A date field that takes a date typed whole (ISO or the PC's short date form) as it
// stands, with a calendar that pops up from its button, F4 or Alt+Down. A text that is
// no date stays as typed: date() is then invalid and the window says why beside it.
#include <QLineEdit>

class QCalendarWidget;
class QFrame;

namespace zmr {

class DateField : public QLineEdit {
 public:
  explicit DateField(QWidget* parent = nullptr);
  ~DateField() override;

  // The date typed, or an invalid date when the text is no whole date.
  QDate date() const;
  // Writes the date in ISO form.
  void setDate(QDate date);
  // The PC's short date format, as the field reads it.
  static QString shortFormat();

  void showCalendar();
  // The pop-up calendar, for tests; null until first shown.
  QCalendarWidget* calendar() const { return calendar_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void pickFromCalendar(QDate date);

  QFrame* popup_ = nullptr;
  QCalendarWidget* calendar_ = nullptr;
};

}  // namespace zmr
