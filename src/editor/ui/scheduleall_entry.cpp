// The editor window's entry row and day buttons: what the fields hold, the time field's
// refusal to be left half typed, the write-back on leaving a field or on Enter.
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "base/prompts.h"
#include "editor/several_days.h"
#include "editor/ui/editor_artwork.h"
#include "editor/ui/scheduleall.h"
#include "editor/ui/time_field.h"
#include "ui/field_looks.h"
#include "ui_scheduleall.h"

namespace zmr {
namespace {

constexpr int kDayIconSize = 22;

bool IsFocusMove(QEvent* event) {
  const auto reason = static_cast<QFocusEvent*>(event)->reason();
  // Another window taking the keyboard (a message box, the combo's list) moves no focus here.
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

void Tscheduleallform::buildEntryRow() {
  ui_->Label1->setBuddy(ui_->timer_name);
  ui_->Label2->setBuddy(ui_->timer_length);
  ui_->Label4->setBuddy(ui_->time_on);
  ui_->timer_name->setAccessibleName(ui_->Label1->text());
  ui_->timer_length->setAccessibleName(ui_->Label2->text());
  ui_->time_on->setAccessibleName(ui_->Label4->text());
  ui_->timer_length->lineEdit()->setAccessibleName(ui_->Label2->text());
  ui_->timer_length->view()->setAccessibleName(ui_->Label2->text());  // the drop-down list

  const std::array<QPushButton*, kDays> days = {ui_->bmon, ui_->btue, ui_->bwed, ui_->bthu,
                                                ui_->bfri, ui_->bsat, ui_->bsun};
  for (int d = 1; d <= kDays; ++d) {
    QPushButton* button = days[d - 1];
    button->setIcon(EditorIcon(EditorGlyph::DayInsert, kDayIconSize));
    button->setIconSize({kDayIconSize, kDayIconSize});
    connect(button, &QPushButton::clicked, this, [this, d] { DayButtonClick(d); });
  }
  // The line that says what to do next never widens the window: a long one is shortened.
  ui_->edithint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  ElideWhenTooLong(*ui_->edithint);
  connect(ui_->bweekdays, &QPushButton::clicked, this, &Tscheduleallform::bweekdaysClick);
  connect(ui_->beveryday, &QPushButton::clicked, this, &Tscheduleallform::beverydayClick);
  connect(ui_->bsameall, &QPushButton::clicked, this, &Tscheduleallform::bsameallClick);
  for (QWidget* field : entryWidgets()) {
    field->installEventFilter(this);
  }
  time_keys_ = std::make_unique<TimeFieldKeys>(*ui_->time_on);  // sees the field's keys first
}

std::array<QWidget*, 3> Tscheduleallform::entryWidgets() const {
  return {ui_->timer_name, ui_->timer_length, ui_->time_on};
}

EntryFields Tscheduleallform::entryFields() const {
  // The time as its five positions read, a position left blank being a blank.
  QString time = ui_->time_on->displayText();
  time.replace(QLatin1Char('_'), QLatin1Char(' '));
  return {ui_->timer_name->text(), ui_->timer_length->currentText(), time};
}

void Tscheduleallform::setTimeOn(const QString& text) { ui_->time_on->setText(text); }
void Tscheduleallform::setTimerLength(const QString& text) { ui_->timer_length->setEditText(text); }
void Tscheduleallform::setTimerName(const QString& text) { ui_->timer_name->setText(text); }

void Tscheduleallform::clearEntryFields() {
  ui_->time_on->clear();
  // clear() counts as an edit of a masked field; an emptied field is an unedited one.
  ui_->time_on->setModified(false);
  ui_->timer_name->clear();
  ui_->timer_length->setEditText(QString());
}

void Tscheduleallform::setDayButtonsEnabled(bool enabled) {
  for (QPushButton* b : {ui_->bmon, ui_->btue, ui_->bwed, ui_->bthu, ui_->bfri, ui_->bsat, ui_->bsun,
                         ui_->bweekdays, ui_->beveryday}) {
    b->setEnabled(enabled);
  }
}

void Tscheduleallform::setSameOnAllDaysEnabled(bool enabled) { ui_->bsameall->setEnabled(enabled); }

void Tscheduleallform::setHint(const QString& text) { ui_->edithint->setText(text); }

void Tscheduleallform::editboxes_focused() { setClipboardButtons(false, false, false); }

void Tscheduleallform::timer_propertyExit() {
  if (editor_.state().event_edit_mode) {
    editor_.UpdateEvent();
  }
}

void Tscheduleallform::timer_propertyKeyPress(int character) {
  if (character == '\r' && editor_.state().event_edit_mode) {
    editor_.UpdateEvent();
  }
}

bool Tscheduleallform::timeFieldKeptThePress() {
  if (!exit_refused_) {
    return false;
  }
  // The press that should have brought the focus here was refused by the time field.
  exit_refused_ = false;
  return ui_->time_on->hasFocus();
}

void Tscheduleallform::DayButtonClick(int day) {
  if (!timeFieldKeptThePress()) {
    editor_.InsertEvent(day);
  }
}

void Tscheduleallform::bweekdaysClick() {
  if (!timeFieldKeptThePress()) {
    editor_.InsertEventDays(kMondayToFriday);
  }
}

void Tscheduleallform::beverydayClick() {
  if (!timeFieldKeptThePress()) {
    editor_.InsertEventDays(kEveryDay);
  }
}

// The press has already taken the focus from a field, which wrote the event back.
void Tscheduleallform::bsameallClick() { editor_.SameOnAllDays(); }

bool Tscheduleallform::timeOnRefusesExit() {
  QLineEdit& field = *ui_->time_on;
  if (!field.isModified() || field.hasAcceptableInput()) {
    return false;
  }
  exit_refused_ = true;
  refocusing_ = true;
  console_.prompts.message(BoxKind::Error, kMaskErrorText, BoxButtons::Ok);
  field.setFocus(Qt::OtherFocusReason);
  refocusing_ = false;
  return true;
}

bool Tscheduleallform::fieldEvent(QObject* field, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
      if (!refocusing_ && IsFocusMove(event)) {
        if (field == ui_->time_on) {
          time_on_at_entry_ = ui_->time_on->text();
        }
        editboxes_focused();
      }
      return false;
    case QEvent::FocusOut:
      if (!refocusing_ && IsFocusMove(event)) {
        if (field == ui_->time_on && timeOnRefusesExit()) {
          return false;
        }
        if (field == ui_->time_on) {
          exit_refused_ = false;
        }
        timer_propertyExit();
      }
      return false;
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        timer_propertyKeyPress('\r');
        return true;
      }
      if (key->key() == Qt::Key_Escape && field == ui_->time_on && ui_->time_on->isModified()) {
        ui_->time_on->setText(time_on_at_entry_);
        ui_->time_on->setModified(false);
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace zmr
