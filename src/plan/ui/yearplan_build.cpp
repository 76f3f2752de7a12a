// The Year Plan window's controls and their layout: the plan file on top, the months on
// the left, what holds every day, the periods and the holiday calendars on the right, the
// timer below.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "plan/ui/plan_looks.h"
#include "plan/ui/plan_months.h"
#include "plan/ui/yearplan.h"

namespace zmr {
namespace {

QPushButton* Button(QWidget* parent, const QString& caption, const char* name, const QString& accessible = {}) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  // Enter in a field stores that field; it must never run upkeep or close the window.
  b->setAutoDefault(false);
  if (!accessible.isEmpty()) b->setAccessibleName(accessible);
  return b;
}

QLabel* Caption(QWidget* parent, const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

QWidget* Tyearplanform::build() {
  auto* body = new QWidget(this);
  auto* grid = new QGridLayout(body);
  grid->setContentsMargins(0, 0, 0, 0);

  // The plan file.
  auto* file_row = new QHBoxLayout;
  plan_path_ = new QLineEdit(body);
  plan_path_->setObjectName(QStringLiteral("planpath"));
  plan_path_->setReadOnly(true);
  file_row->addWidget(Caption(body, QStringLiteral("Plan &file:"), plan_path_));
  file_row->addWidget(plan_path_, 1);
  QPushButton* new_plan = Button(body, QStringLiteral("&New ..."), "newplanbut", QStringLiteral("New plan"));
  QPushButton* open_plan = Button(body, QStringLiteral("&Open ..."), "openplanbut", QStringLiteral("Open plan"));
  file_row->addWidget(new_plan);
  file_row->addWidget(open_plan);
  grid->addLayout(file_row, 0, 0, 1, 2);
  open_faults_ = MakeFaultLabel(body, "openfaults");
  grid->addWidget(open_faults_, 1, 0, 1, 2);

  plan_parts_ = new QWidget(body);
  auto* parts = new QGridLayout(plan_parts_);
  parts->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(plan_parts_, 2, 0, 1, 2);

  // Left: the months, the legend, what decides the day picked.
  auto* calendar = new QGroupBox(QStringLiteral("The months ahead"), plan_parts_);
  auto* cal = new QVBoxLayout(calendar);
  months_ = new PlanMonths(calendar);
  months_->onDay = [this](QDate d) { dayClicked(d); };
  cal->addWidget(months_);
  legend_ = new QWidget(calendar);
  legend_->setObjectName(QStringLiteral("legend"));
  auto* legend_layout = new QHBoxLayout(legend_);
  legend_layout->setContentsMargins(0, 0, 0, 0);
  legend_layout->addStretch();  // the entries go before it, side by side at their own width
  cal->addWidget(legend_);
  day_cause_ = new QLabel(kPickADayText, calendar);
  day_cause_->setObjectName(QStringLiteral("daycause"));
  day_cause_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  cal->addWidget(day_cause_);
  parts->addWidget(calendar, 0, 0, 2, 1);

  // Right: the timer's settings, the periods, the holiday calendars.
  auto* timer = new QGroupBox(QStringLiteral("Every day"), plan_parts_);
  auto* t = new QGridLayout(timer);
  usual_week_ = new QLineEdit(timer);
  usual_week_->setObjectName(QStringLiteral("usualweek"));
  usual_week_->setReadOnly(true);
  t->addWidget(Caption(timer, QStringLiteral("U&sual week:"), usual_week_), 0, 0);
  t->addWidget(usual_week_, 0, 1);
  QPushButton* usual_button =
      Button(timer, QStringLiteral("C&hoose ..."), "usualweekbut", QStringLiteral("Choose the usual week"));
  t->addWidget(usual_button, 0, 2);
  tolerance_ = new QSpinBox(timer);
  tolerance_->setObjectName(QStringLiteral("tolerance"));
  tolerance_->setRange(0, kMaxClockTolerance);
  tolerance_->setSuffix(QStringLiteral(" s"));
  t->addWidget(Caption(timer, QStringLiteral("Clock &tolerance:"), tolerance_), 1, 0);
  t->addWidget(tolerance_, 1, 1);
  port_ = new QComboBox(timer);
  port_->setObjectName(QStringLiteral("portname"));
  port_->setEditable(true);
  port_->setInsertPolicy(QComboBox::NoInsert);
  port_->view()->setAccessibleName(QStringLiteral("Ports"));
  port_->lineEdit()->setPlaceholderText(QStringLiteral("COM2, /dev/ttyUSB0, rfc2217://host:port"));
  t->addWidget(Caption(timer, QStringLiteral("&Port:"), port_), 2, 0);
  t->addWidget(port_, 2, 1, 1, 2);
  faults_ = MakeFaultLabel(timer, "planfaults");
  t->addWidget(faults_, 3, 0, 1, 3);
  parts->addWidget(timer, 0, 1);

  auto* periods = new QGroupBox(QStringLiteral("Periods (a later one wins where they overlap)"), plan_parts_);
  auto* p = new QGridLayout(periods);
  periods_ = new QTableWidget(0, 4, periods);
  periods_->setObjectName(QStringLiteral("periods"));
  periods_->setAccessibleName(QStringLiteral("Periods"));
  periods_->setHorizontalHeaderLabels(
      {QStringLiteral("Name"), QStringLiteral("From"), QStringLiteral("To"), QStringLiteral("Week")});
  periods_->setSelectionBehavior(QAbstractItemView::SelectRows);
  periods_->setSelectionMode(QAbstractItemView::SingleSelection);
  periods_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  periods_->setTabKeyNavigation(false);
  periods_->verticalHeader()->setVisible(false);
  periods_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  periods_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  p->addWidget(periods_, 0, 0, 1, 5);
  QPushButton* add = Button(periods, QStringLiteral("&Add ..."), "addperiodbut", QStringLiteral("Add a period"));
  QPushButton* edit = Button(periods, QStringLiteral("&Edit ..."), "editperiodbut", QStringLiteral("Edit the period"));
  QPushButton* remove = Button(periods, QStringLiteral("&Remove"), "removeperiodbut", QStringLiteral("Remove the period"));
  QPushButton* up = Button(periods, QStringLiteral("Move &up"), "upperiodbut", QStringLiteral("Move the period up"));
  QPushButton* down = Button(periods, QStringLiteral("Move &down"), "downperiodbut", QStringLiteral("Move the period down"));
  int column = 0;
  for (QPushButton* b : {add, edit, remove, up, down}) p->addWidget(b, 1, column++);
  parts->addWidget(periods, 1, 1);

  auto* holidays = new QGroupBox(QStringLiteral("Holiday calendars (days without bells)"), plan_parts_);
  auto* h = new QGridLayout(holidays);
  calendars_ = new QListWidget(holidays);
  calendars_->setObjectName(QStringLiteral("calendars"));
  calendars_->setAccessibleName(QStringLiteral("Holiday calendars"));
  calendars_->setMaximumHeight(calendars_->fontMetrics().height() * 4);
  h->addWidget(calendars_, 0, 0, 2, 1);
  QPushButton* add_calendar =
      Button(holidays, QStringLiteral("Add .&ics ..."), "addcalendarbut", QStringLiteral("Add a holiday calendar"));
  QPushButton* remove_calendar =
      Button(holidays, QStringLiteral("Remo&ve"), "removecalendarbut", QStringLiteral("Remove the holiday calendar"));
  h->addWidget(add_calendar, 0, 1);
  h->addWidget(remove_calendar, 1, 1);
  calendar_faults_ = MakeFaultLabel(holidays, "calendarfaults");
  h->addWidget(calendar_faults_, 2, 0, 1, 2);
  parts->addWidget(holidays, 2, 1);

  // Below: upkeep now, and the unattended job.
  auto* upkeep = new QGroupBox(QStringLiteral("The timer"), plan_parts_);
  auto* u = new QGridLayout(upkeep);
  QPushButton* check = Button(upkeep, QStringLiteral("Chec&k today"), "checktodaybut");
  check->setToolTip(QStringLiteral("Reads the timer and says what upkeep would do now; changes nothing"));
  check->setAccessibleDescription(check->toolTip());
  QPushButton* apply = Button(upkeep, QStringLiteral("Appl&y now"), "applynowbut");
  apply->setToolTip(QStringLiteral("Brings the timer to what the plan says for today"));
  apply->setAccessibleDescription(apply->toolTip());
  u->addWidget(check, 0, 0);
  u->addWidget(apply, 1, 0);
  lines_ = new QPlainTextEdit(upkeep);
  lines_->setObjectName(QStringLiteral("upkeeplines"));
  lines_->setAccessibleName(QStringLiteral("What upkeep says"));
  lines_->setReadOnly(true);
  lines_->setTabChangesFocus(true);
  lines_->setMaximumHeight(lines_->fontMetrics().height() * 6);
  u->addWidget(lines_, 0, 1, 3, 1);
  job_ = new QLabel(upkeep);
  job_->setObjectName(QStringLiteral("jobline"));
  job_->setWordWrap(true);
  u->addWidget(job_, 3, 0, 1, 2);
  job_command_ = new QLineEdit(upkeep);
  job_command_->setObjectName(QStringLiteral("jobcommand"));
  job_command_->setReadOnly(true);
  job_command_->setAccessibleName(QStringLiteral("Command that turns the unattended job on"));
  u->addWidget(job_command_, 4, 0, 1, 2);
  parts->addWidget(upkeep, 2, 0);

  QPushButton* close = Button(body, QStringLiteral("&Close"), "closebut");
  auto* close_row = new QHBoxLayout;
  close_row->addStretch();
  close_row->addWidget(close);
  grid->addLayout(close_row, 3, 0, 1, 2);

  connect(new_plan, &QPushButton::clicked, this, &Tyearplanform::newplanbutClick);
  connect(open_plan, &QPushButton::clicked, this, &Tyearplanform::openplanbutClick);
  connect(usual_button, &QPushButton::clicked, this, &Tyearplanform::usualweekbutClick);
  connect(tolerance_, &QSpinBox::editingFinished, this, &Tyearplanform::toleranceChanged);
  connect(port_->lineEdit(), &QLineEdit::editingFinished, this, &Tyearplanform::portChanged);
  connect(port_, &QComboBox::activated, this, &Tyearplanform::portChanged);
  connect(add, &QPushButton::clicked, this, &Tyearplanform::addperiodbutClick);
  connect(edit, &QPushButton::clicked, this, &Tyearplanform::editperiodbutClick);
  connect(periods_, &QTableWidget::cellDoubleClicked, this, &Tyearplanform::editperiodbutClick);
  connect(remove, &QPushButton::clicked, this, &Tyearplanform::removeperiodbutClick);
  connect(up, &QPushButton::clicked, this, [this] { moveperiod(-1); });
  connect(down, &QPushButton::clicked, this, [this] { moveperiod(+1); });
  connect(add_calendar, &QPushButton::clicked, this, &Tyearplanform::addcalendarbutClick);
  connect(remove_calendar, &QPushButton::clicked, this, &Tyearplanform::removecalendarbutClick);
  connect(check, &QPushButton::clicked, this, &Tyearplanform::checktodaybutClick);
  connect(apply, &QPushButton::clicked, this, &Tyearplanform::applynowbutClick);
  connect(close, &QPushButton::clicked, this, &Tyearplanform::reject);
  return body;
}

}  // namespace zmr
