#include "plan/ui/calendar_dialog.h"

#include <QHeaderView>
#include <QPushButton>

#include "base/prompts.h"
#include "plan/calendar_reader.h"
#include "plan/holiday_calendar.h"
#include "plan/ui/plan_file_choice.h"
#include "ui_calendar_dialog.h"

namespace zmr {
namespace {

// Lines of words and rows of events the dialog shows before they scroll.
constexpr int kWordRows = 4;
constexpr int kEventRows = 10;
constexpr int kSourceChars = 60;
// Events that do not count are shown, greyed.
const QColor kNotCountingText(0x70, 0x70, 0x70);

QString Days(int n) { return QStringLiteral("%1 day%2").arg(n).arg(n == 1 ? "" : "s"); }

}  // namespace

Tcalendarform::Tcalendarform(Console& console, QWidget* parent)
    : ConsoleDialog(parent), console_(console), ui_(new Ui::Tcalendarform) {
  ui_->setupUi(this);
  ui_->calendarsource->setMinimumWidth(ui_->calendarsource->fontMetrics().averageCharWidth() * kSourceChars);
  ui_->calendaronly->setFixedHeight(ui_->calendaronly->fontMetrics().lineSpacing() * kWordRows +
                                    2 * ui_->calendaronly->frameWidth() + ui_->calendaronly->document()->documentMargin() * 2);
  ui_->calendarevents->setMinimumHeight(ui_->calendarevents->verticalHeader()->defaultSectionSize() * kEventRows);
  ui_->calendarevents->verticalHeader()->hide();
  ui_->calendarevents->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  ui_->calendarevents->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  connect(ui_->calendarbrowsebut, &QPushButton::clicked, this, &Tcalendarform::calendarbrowsebutClick);
  connect(ui_->calendarreadbut, &QPushButton::clicked, this, &Tcalendarform::calendarreadbutClick);
  connect(ui_->calendarsource, &QLineEdit::returnPressed, this, &Tcalendarform::calendarreadbutClick);
  connect(ui_->calendaronly, &QPlainTextEdit::textChanged, this, &Tcalendarform::showEvents);
  connect(ui_->calendarok, &QPushButton::clicked, this, &Tcalendarform::calendarokClick);
  connect(ui_->calendarcancel, &QPushButton::clicked, this, &Tcalendarform::reject);
}

Tcalendarform::~Tcalendarform() = default;

void Tcalendarform::setCalendar(const YearPlan& plan, const HolidayCalendar& entry, int replacing, QDate today,
                                const CalendarAccess& access) {
  plan_ = plan;
  replacing_ = replacing;
  today_ = today;
  access_ = access;
  ui_->calendarsource->setText(entry.source);
  {
    const QSignalBlocker quiet(ui_->calendaronly);  // listed once, after the read
    ui_->calendaronly->setPlainText(entry.only.join(u'\n'));
  }
  spans_.clear();
  read_ = false;
  ui_->calendarwarnings->clear();
  showFaults({});
  if (!entry.source.isEmpty()) calendarreadbutClick();
  showEvents();
}

void Tcalendarform::FormShow() { ui_->calendarsource->setFocus(Qt::OtherFocusReason); }

HolidayCalendar Tcalendarform::calendar() const {
  HolidayCalendar entry{ui_->calendarsource->text().trimmed(), {}};
  for (const QString& line : ui_->calendaronly->toPlainText().split(u'\n')) {
    if (!line.trimmed().isEmpty()) entry.only << line.trimmed();
  }
  return entry;
}

void Tcalendarform::calendarbrowsebutClick() {
  if (const auto named = ChooseForPlan(console_.prompts, plan_, QStringLiteral("A holiday calendar file"), kCalendarFilter)) {
    ui_->calendarsource->setText(*named);
    calendarreadbutClick();
  }
}

// Reads the calendar as it stands now (a web calendar is fetched); the words only pick
// from what was read, so changing them reads nothing again.
void Tcalendarform::calendarreadbutClick() {
  const QString source = ui_->calendarsource->text().trimmed();
  showFaults({});
  ui_->calendarwarnings->clear();
  spans_.clear();
  read_ = false;
  if (!source.isEmpty()) {
    BusyCursor hourglass(console_.prompts);
    CalendarAccess fetching = access_;
    fetching.fetch_again = true;
    const LoadedCalendar loaded = LoadCalendar(plan_, source, today_.addYears(kRecurrenceYearsAhead), fetching);
    hourglass.restore();
    std::vector<CalendarFieldFault> faults;
    for (const QString& fault : loaded.faults) faults.push_back({CalendarField::Source, fault});
    showFaults(faults);
    ui_->calendarwarnings->setText(loaded.warnings.join(u'\n'));
    spans_ = loaded.spans;
    read_ = loaded.ok();
  }
  showEvents();
}

void Tcalendarform::showEvents() {
  QTableWidget& table = *ui_->calendarevents;
  table.setRowCount(0);
  if (!read_) {
    ui_->calendarcount->setText(kCalendarNotReadText);
    return;
  }
  const std::vector<CalendarEvent> events = CalendarEvents(spans_, calendar().only);
  table.setRowCount(static_cast<int>(events.size()));
  int counting = 0;
  for (int row = 0; row < static_cast<int>(events.size()); ++row) {
    const CalendarEvent& e = events[static_cast<std::size_t>(row)];
    const QStringList cells{e.summary.isEmpty() ? QStringLiteral("(without a name)") : e.summary,
                            e.first.toString(Qt::ISODate), QString::number(e.days),
                            e.counts ? kCalendarCountsText : kCalendarDoesNotCountText};
    for (int column = 0; column < cells.size(); ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      if (!e.counts) item->setForeground(kNotCountingText);
      table.setItem(row, column, item);
    }
    if (e.counts) ++counting;
  }
  const int days = DaysOf(CountingSpans(spans_, calendar().only));
  ui_->calendarcount->setText(kCalendarCountText.arg(counting).arg(events.size()).arg(Days(days)));
}

void Tcalendarform::calendarokClick() {
  CalendarAccess quiet = access_;
  quiet.fetch_again = false;  // just read: the copy kept then is what the check reads
  BusyCursor hourglass(console_.prompts);
  const std::vector<CalendarFieldFault> faults = CheckCalendarEntry(plan_, calendar(), replacing_, today_, quiet);
  hourglass.restore();
  showFaults(faults);
  if (faults.empty()) accept();
}

QString Tcalendarform::faultBeside(CalendarField field) const {
  return (field == CalendarField::Only ? ui_->onlyfault : ui_->sourcefault)->text();
}

void Tcalendarform::showFaults(const std::vector<CalendarFieldFault>& faults) {
  QStringList source, only;
  for (const CalendarFieldFault& f : faults) (f.field == CalendarField::Only ? only : source) << f.text;
  ui_->sourcefault->setText(source.join(u'\n'));
  ui_->onlyfault->setText(only.join(u'\n'));
  ui_->sourcefault->setVisible(!source.isEmpty());
  ui_->onlyfault->setVisible(!only.isEmpty());
}

}  // namespace zmr
