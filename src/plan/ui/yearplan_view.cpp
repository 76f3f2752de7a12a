// The Year Plan window: the plan shown (months, legend, periods, calendars) and a day explained.
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>

#include "link/port_map.h"
#include "link/port_names.h"
#include "plan/plan_look.h"
#include "plan/ui/plan_looks.h"
#include "plan/ui/plan_months.h"
#include "plan/ui/yearplan.h"
#include "ui_yearplan.h"

namespace zmr {

void Tyearplanform::dayClicked(QDate date) {
  if (!plan_) return;
  const DayLook look = LookOfDay(*plan_, PlanLegend(*plan_), date);
  day_cause_->setText(QStringLiteral("%1: %2").arg(QLocale().toString(date, QLocale::LongFormat), look.text));
}

void Tyearplanform::showPlan() {
  plan_parts_->setEnabled(plan_.has_value());
  ui_->printplanbut->setEnabled(plan_.has_value());
  ui_->pdfplanbut->setEnabled(plan_.has_value());
  for (QLabel* old : legend_->findChildren<QLabel*>()) delete old;
  periods_->setRowCount(0);
  calendars_->clear();
  port_->clear();
  port_->addItem(QStringLiteral("The stored port (%1)").arg(PortName(console_.data.settings.com_port)));
  // Besides any name typed in; the first entry is the stored port.
  port_->addItems(OfferedPorts());
  months_->showPlan(plan_ ? &*plan_ : nullptr, today());
  if (!plan_) {
    calendar_warnings_->hide();
    plan_path_->setText(QString());
    usual_week_->clear();
    day_cause_->setText(kNoPlanText);
    job_->clear();
    job_command_->clear();
    job_command_->setVisible(false);
    ui_->jobcopybut->setVisible(false);
    showJobRows();
    showLastRun();
    return;
  }
  const YearPlan& plan = *plan_;
  plan_path_->setText(plan.path);
  usual_week_->setText(plan.week);
  tolerance_->setValue(plan.clock_tolerance);
  if (plan.port) {
    port_->setCurrentText(*plan.port);
  } else {
    port_->setCurrentIndex(0);
  }
  auto& legend_row = static_cast<QHBoxLayout&>(*legend_->layout());
  for (const LegendEntry& entry : PlanLegend(plan)) {
    auto* swatch = new QLabel(entry.label, legend_);
    swatch->setObjectName(QStringLiteral("legendentry"));
    swatch->setAutoFillBackground(true);
    swatch->setMargin(3);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, PlanColour(entry.colour));
    // Drawn as the days it stands for are.
    palette.setColor(QPalette::WindowText, entry.ringing == DayRinging::NoBells ? Qt::darkGray : Qt::black);
    swatch->setPalette(palette);
    if (entry.ringing == DayRinging::NoBells) {
      QFont struck = swatch->font();
      struck.setStrikeOut(true);
      swatch->setFont(struck);
    }
    legend_row.insertWidget(legend_row.count() - 1, swatch);
  }
  auto* today_entry = new QLabel(QStringLiteral("Today"), legend_);
  today_entry->setObjectName(QStringLiteral("legendentry"));
  QFont marked = today_entry->font();
  marked.setBold(true);
  marked.setUnderline(true);
  today_entry->setFont(marked);
  legend_row.insertWidget(legend_row.count() - 1, today_entry);
  day_cause_->setText(kPickADayText);
  periods_->setRowCount(static_cast<int>(plan.periods.size()));
  for (int row = 0; row < static_cast<int>(plan.periods.size()); ++row) {
    const PlanPeriod& p = plan.periods[row];
    const QStringList cells{p.name, p.from.toString(Qt::ISODate), p.to.toString(Qt::ISODate),
                            p.week.isEmpty() ? QStringLiteral("No bells") : p.week};
    for (int column = 0; column < cells.size(); ++column) {
      periods_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
  }
  for (const HolidayCalendar& calendar : plan.holidays) {
    const int days = HolidayDays(plan, calendar.source);
    const QString only = calendar.only.isEmpty() ? QString() : QStringLiteral(" (only: %1)").arg(calendar.only.join(", "));
    // The days first: a long web address is what the list's width cuts off.
    const QString line =
        QStringLiteral("%1 day%2: %3%4").arg(days).arg(days == 1 ? "" : "s").arg(calendar.source, only);
    calendars_->addItem(line);
    calendars_->item(calendars_->count() - 1)->setToolTip(line);
  }
  // What a calendar passed over, or a web calendar's kept copy used in its place.
  QStringList warnings;
  for (const PlanFault& warning : plan.warnings) warnings << warning.text;
  calendar_warnings_->setText(warnings.join(u'\n'));
  calendar_warnings_->setVisible(!warnings.isEmpty());
  showJob();
  showLastRun();
}

}  // namespace zmr
