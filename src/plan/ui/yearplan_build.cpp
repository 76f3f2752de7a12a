// The Year Plan window's controls (yearplan.ui) and what the form cannot say of them:
// ranges, the port list's name, the table's columns, sizes, and which handler each runs.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include "plan/ui/job_table.h"
#include "plan/ui/plan_months.h"
#include "plan/ui/table_rows.h"
#include "plan/ui/yearplan.h"
#include "ui_yearplan.h"

namespace zmr {
namespace {

// Lines of text the small boxes show before they scroll.
constexpr int kCalendarRows = 4;
constexpr int kUpkeepRows = 6;
// Periods in sight however the window's other parts grow (a job line of two lines and a
// command): the window grows instead.
constexpr int kPeriodRowsInSight = 3;
// Room between the last run's lines and the job's, so the two read as two.
constexpr int kLastRunGap = 6;
// The job line's sentences wrap to two lines beside a command; the window makes room for
// them rather than cut them.
constexpr int kJobLineRows = 2;

}  // namespace

void Tyearplanform::build() {
  ui_ = std::make_unique<Ui::Tyearplanform>();
  ui_->setupUi(this);
  plan_path_ = ui_->planpath;
  months_ = ui_->planmonths;
  legend_ = ui_->legend;
  day_cause_ = ui_->daycause;
  usual_week_ = ui_->usualweek;
  tolerance_ = ui_->tolerance;
  port_ = ui_->portname;
  periods_ = ui_->periods;
  calendars_ = ui_->calendars;
  lines_ = ui_->upkeeplines;
  last_run_ = ui_->lastrun;
  job_ = ui_->jobline;
  job_command_ = ui_->jobcommand;
  job_rows_ = ui_->jobtable;
  faults_ = ui_->planfaults;
  calendar_faults_ = ui_->calendarfaults;
  calendar_warnings_ = ui_->calendarwarnings;
  open_faults_ = ui_->openfaults;
  plan_parts_ = ui_->planparts;

  months_->onDay = [this](QDate d) { dayClicked(d); };
  day_cause_->setText(kPickADayText);
  tolerance_->setRange(0, kMaxClockTolerance);
  port_->view()->setAccessibleName(QStringLiteral("Ports"));
  // Typing goes into the line, which a screen reader announces by itself.
  port_->lineEdit()->setAccessibleName(QStringLiteral("Port"));
  port_->lineEdit()->setPlaceholderText(QStringLiteral("COM2, /dev/ttyUSB0, rfc2217://host:port"));
  periods_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  periods_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  calendars_->setMinimumHeight(calendars_->fontMetrics().height() * kCalendarRows);
  periods_->setMinimumHeight(HeightForRows(*periods_, kPeriodRowsInSight));
  lines_->setMaximumHeight(lines_->fontMetrics().height() * kUpkeepRows);
  last_run_->setContentsMargins(0, 0, 0, kLastRunGap);
  job_->setMinimumHeight(job_->fontMetrics().lineSpacing() * kJobLineRows);

  connect(ui_->newplanbut, &QPushButton::clicked, this, &Tyearplanform::newplanbutClick);
  connect(ui_->openplanbut, &QPushButton::clicked, this, &Tyearplanform::openplanbutClick);
  connect(ui_->printplanbut, &QPushButton::clicked, this, &Tyearplanform::printplanbutClick);
  connect(ui_->pdfplanbut, &QPushButton::clicked, this, &Tyearplanform::pdfplanbutClick);
  connect(ui_->usualweekbut, &QPushButton::clicked, this, &Tyearplanform::usualweekbutClick);
  connect(tolerance_, &QSpinBox::editingFinished, this, &Tyearplanform::toleranceChanged);
  connect(port_->lineEdit(), &QLineEdit::editingFinished, this, &Tyearplanform::portChanged);
  connect(port_, &QComboBox::activated, this, &Tyearplanform::portChanged);
  connect(ui_->addperiodbut, &QPushButton::clicked, this, &Tyearplanform::addperiodbutClick);
  connect(ui_->editperiodbut, &QPushButton::clicked, this, &Tyearplanform::editperiodbutClick);
  connect(periods_, &QTableWidget::cellDoubleClicked, this, &Tyearplanform::editperiodbutClick);
  connect(ui_->removeperiodbut, &QPushButton::clicked, this, &Tyearplanform::removeperiodbutClick);
  connect(ui_->upperiodbut, &QPushButton::clicked, this, [this] { moveperiod(-1); });
  connect(ui_->downperiodbut, &QPushButton::clicked, this, [this] { moveperiod(+1); });
  connect(ui_->addcalendarbut, &QPushButton::clicked, this, &Tyearplanform::addcalendarbutClick);
  connect(ui_->editcalendarbut, &QPushButton::clicked, this, &Tyearplanform::editcalendarbutClick);
  connect(calendars_, &QListWidget::itemDoubleClicked, this, &Tyearplanform::editcalendarbutClick);
  connect(ui_->removecalendarbut, &QPushButton::clicked, this, &Tyearplanform::removecalendarbutClick);
  connect(ui_->checktodaybut, &QPushButton::clicked, this, &Tyearplanform::checktodaybutClick);
  connect(ui_->applynowbut, &QPushButton::clicked, this, &Tyearplanform::applynowbutClick);
  connect(ui_->jobcopybut, &QPushButton::clicked, this, &Tyearplanform::jobcopybutClick);
  connect(ui_->closebut, &QPushButton::clicked, this, &Tyearplanform::reject);
}

}  // namespace zmr
