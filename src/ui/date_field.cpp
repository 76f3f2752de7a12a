#include "ui/date_field.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>
#include <QVBoxLayout>

#include "base/typed_date.h"

namespace zmr {

DateField::DateField(QWidget* parent) : QLineEdit(parent) {
  // Named before it is added: its button takes the name from it then.
  auto* pop = new QAction(style()->standardIcon(QStyle::SP_ArrowDown), QStringLiteral("Calendar"), this);
  pop->setObjectName(QStringLiteral("calendarpop"));
  pop->setToolTip(QStringLiteral("Pick the date from a calendar (F4)"));
  addAction(pop, QLineEdit::TrailingPosition);
  connect(pop, &QAction::triggered, this, &DateField::showCalendar);
}

DateField::~DateField() = default;

QString DateField::shortFormat() { return QLocale().dateFormat(QLocale::ShortFormat); }

QDate DateField::date() const { return TypedDate(text(), shortFormat()).value_or(QDate()); }

void DateField::setDate(QDate date) { setText(date.toString(Qt::ISODate)); }

void DateField::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F4 || (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
    showCalendar();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void DateField::showCalendar() {
  if (popup_ == nullptr) {
    popup_ = new QFrame(this, Qt::Popup);
    popup_->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(popup_);
    layout->setContentsMargins(0, 0, 0, 0);
    calendar_ = new QCalendarWidget(popup_);
    calendar_->setObjectName(QStringLiteral("datefieldcalendar"));
    calendar_->setAccessibleName(QStringLiteral("Calendar"));
    calendar_->setFirstDayOfWeek(Qt::Monday);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    layout->addWidget(calendar_);
    connect(calendar_, &QCalendarWidget::clicked, this, &DateField::pickFromCalendar);
    connect(calendar_, &QCalendarWidget::activated, this, &DateField::pickFromCalendar);
  }
  // The calendar opens on the date typed, else on today.
  const QDate shown = date().isValid() ? date() : QDate::currentDate();
  calendar_->setSelectedDate(shown);
  calendar_->setCurrentPage(shown.year(), shown.month());
  popup_->adjustSize();
  popup_->move(mapToGlobal(QPoint(0, height())));
  popup_->show();
  calendar_->setFocus(Qt::PopupFocusReason);
}

void DateField::pickFromCalendar(QDate date) {
  popup_->hide();
  setDate(date);
  setFocus(Qt::PopupFocusReason);
}

}  // namespace zmr
