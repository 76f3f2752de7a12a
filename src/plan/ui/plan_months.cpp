#include "plan/ui/plan_months.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTextCharFormat>

#include "plan/ui/plan_looks.h"

namespace zmr {

PlanMonths::PlanMonths(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("planmonths"));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  auto* earlier = new QPushButton(QStringLiteral("< Earlier"), this);
  earlier->setObjectName(QStringLiteral("earlierbut"));
  earlier->setAccessibleName(QStringLiteral("Earlier months"));
  auto* later = new QPushButton(QStringLiteral("Later >"), this);
  later->setObjectName(QStringLiteral("laterbut"));
  later->setAccessibleName(QStringLiteral("Later months"));
  auto* today = new QPushButton(QStringLiteral("Today"), this);
  today->setObjectName(QStringLiteral("todaybut"));
  today->setAccessibleName(QStringLiteral("Today's month"));
  today->setToolTip(QStringLiteral("Show the months from today's and what decides today"));
  for (QPushButton* b : {earlier, today, later}) b->setAutoDefault(false);  // Enter picks a day, never pages
  auto* nav = new QHBoxLayout;
  nav->addWidget(earlier);
  nav->addStretch();
  nav->addWidget(today);
  nav->addStretch();
  nav->addWidget(later);
  grid->addLayout(nav, 0, 0, 1, kPlanMonthsShown);
  for (int k = 0; k < kPlanMonthsShown; ++k) {
    titles_[k] = new QLabel(this);
    titles_[k]->setAlignment(Qt::AlignCenter);
    QFont bold = titles_[k]->font();
    bold.setBold(true);
    titles_[k]->setFont(bold);
    grid->addWidget(titles_[k], 1, k);
    auto* month = new QCalendarWidget(this);
    month->setObjectName(QStringLiteral("month%1").arg(k + 1));
    month->setNavigationBarVisible(false);
    month->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    month->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    month->setFirstDayOfWeek(Qt::Monday);
    month->setGridVisible(true);
    // The plan's colours say which days have which week; a weekend colour would blur them.
    QTextCharFormat plain;
    for (Qt::DayOfWeek day : {Qt::Saturday, Qt::Sunday}) month->setWeekdayTextFormat(day, plain);
    grid->addWidget(month, 2, k);
    months_[k] = month;
    connect(month, &QCalendarWidget::clicked, this, &PlanMonths::pick);
    connect(month, &QCalendarWidget::selectionChanged, this, [this, month] {
      if (!painting_ && month->hasFocus()) pick(month->selectedDate());
    });
  }
  connect(earlier, &QPushButton::clicked, this, &PlanMonths::earlierClick);
  connect(later, &QPushButton::clicked, this, &PlanMonths::laterClick);
  connect(today, &QPushButton::clicked, this, &PlanMonths::todayClick);
}

void PlanMonths::showPlan(const YearPlan* plan, QDate today, QDate first) {
  plan_ = plan;
  today_ = today;
  if (first.isValid()) {
    first_ = QDate(first.year(), first.month(), 1);
  } else if (!first_.isValid()) {
    first_ = QDate(today.year(), today.month(), 1);
  }
  legend_ = plan_ != nullptr ? PlanLegend(*plan_) : std::vector<LegendEntry>{};
  paintMonths();
}

void PlanMonths::startAt(QDate today) {
  today_ = today;
  first_ = QDate(today.year(), today.month(), 1);
  picked_ = QDate();
}

void PlanMonths::earlierClick() {
  first_ = first_.addMonths(-kPlanMonthsShown);
  paintMonths();
}

void PlanMonths::laterClick() {
  first_ = first_.addMonths(kPlanMonthsShown);
  paintMonths();
}

void PlanMonths::todayClick() {
  first_ = QDate(today_.year(), today_.month(), 1);
  pick(today_);
}

void PlanMonths::pick(QDate date) {
  picked_ = date;
  paintMonths();
  if (onDay) onDay(date);
}

void PlanMonths::paintMonths() {
  painting_ = true;
  const QLocale locale;
  for (int k = 0; k < kPlanMonthsShown; ++k) {
    const QDate first = first_.addMonths(k);
    const QDate last = first.addDays(first.daysInMonth() - 1);
    QCalendarWidget& month = *months_[k];
    const QString title = locale.standaloneMonthName(first.month()) + u' ' + QString::number(first.year());
    titles_[k]->setText(title);
    month.setAccessibleName(title);
    month.setDateTextFormat(QDate(), QTextCharFormat());  // forget the months shown before
    month.setDateRange(first, last);
    month.setCurrentPage(first.year(), first.month());
    for (QDate d = first; d <= last; d = d.addDays(1)) {
      QTextCharFormat format;
      if (plan_ != nullptr) {
        const DayLook look = LookOfDay(*plan_, legend_, d);
        format.setBackground(PlanColour(look.colour));
        // A weekday without events stays in black on white: grey text is what the calendar
        // gives the days of the months beside.
        if (look.ringing == DayRinging::NoBells) {
          format.setFontStrikeOut(true);
          format.setForeground(Qt::darkGray);
        }
      }
      if (d == today_) {
        format.setFontWeight(QFont::Bold);
        format.setFontUnderline(true);
      }
      month.setDateTextFormat(d, format);
    }
    // A calendar always has a day selected. Only the day picked shows as selected; in the
    // other months the selection takes the looks of the day it sits on. The keyboard
    // starts from today where it is shown.
    const bool holds_pick = picked_ >= first && picked_ <= last;
    const QDate resting = today_ >= first && today_ <= last ? today_ : first;
    month.setSelectedDate(holds_pick ? picked_ : resting);
    // Nothing to pick without a plan; a disabled calendar would draw the day its selection
    // rests on (the 1st of a month) like today. With a plan again, the selection comes back
    // (the calendar skips a date it holds already).
    if (auto* view = month.findChild<QAbstractItemView*>()) {
      if (plan_ == nullptr) {
        view->selectionModel()->clearSelection();
      } else if (!view->selectionModel()->hasSelection()) {
        view->selectionModel()->select(view->currentIndex(), QItemSelectionModel::ClearAndSelect);
      }
    }
    QPalette palette = month.palette();
    const QPalette standard = QApplication::palette(&month);
    const QTextCharFormat under = month.dateTextFormat(resting);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      palette.setColor(group, QPalette::Highlight,
                       holds_pick ? standard.color(group, QPalette::Highlight)
                                  : under.background().style() != Qt::NoBrush ? under.background().color()
                                                                              : standard.color(group, QPalette::Base));
      palette.setColor(group, QPalette::HighlightedText,
                       holds_pick ? standard.color(group, QPalette::HighlightedText)
                                  : under.foreground().style() != Qt::NoBrush ? under.foreground().color()
                                                                              : standard.color(group, QPalette::Text));
    }
    month.setPalette(palette);
  }
  painting_ = false;
}

}  // namespace zmr
